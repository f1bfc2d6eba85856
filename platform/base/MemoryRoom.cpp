#include "platform/base/MemoryRoom.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// The start of a file of /proc, read without allocating: memory may be short.
template <size_t N> bool ReadProc(const char* path, char (&text)[N])
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd >= 0 ? ::read(fd, text, N - 1) : 0;
    if (fd >= 0)
        ::close(fd);
    text[n > 0 ? n : 0] = 0;
    return n > 0;
}

// The address space this process holds.
double HeldAddressSpace()
{
    char text[64];
    return ReadProc("/proc/self/statm", text)
               ? std::strtod(text, nullptr) * double(::sysconf(_SC_PAGESIZE))
               : 0;
}

// The memory the machine has free for new work; unbounded where it does not say.
double AvailableMemory()
{
    char text[4096];
    const char* line =
        ReadProc("/proc/meminfo", text) ? std::strstr(text, "MemAvailable:") : nullptr;
    return line ? std::strtod(line + 13, nullptr) * 1024 : kUnbounded;
}

// The lines of a file, read without allocating; one longer than the buffer is skipped.
class Lines
{
public:
    explicit Lines(const char* path) : m_fd(::open(path, O_RDONLY | O_CLOEXEC)) {}
    Lines(const Lines&) = delete;
    Lines& operator=(const Lines&) = delete;
    ~Lines()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // The next line, without its line break; null at the end.
    char* Next()
    {
        for (;;) {
            if (auto* end = static_cast<char*>(std::memchr(m_text + m_at, '\n', m_end - m_at))) {
                char* line = m_text + m_at;
                *end = 0;
                m_at = size_t(end + 1 - m_text);
                if (!std::exchange(m_skipping, false))
                    return line;
                continue;
            }
            std::memmove(m_text, m_text + m_at, m_end - m_at);
            m_end -= m_at;
            m_at = 0;
            if (m_end == sizeof m_text - 1) // no line break in a whole buffer
                m_end = 0, m_skipping = true;
            const ssize_t n =
                m_fd >= 0 ? ::read(m_fd, m_text + m_end, sizeof m_text - 1 - m_end) : 0;
            if (n > 0) {
                m_end += size_t(n);
                continue;
            }
            m_text[m_end] = 0; // the last line, without a line break
            const bool last = m_end > 0 && !m_skipping;
            m_end = 0;
            return last ? m_text : nullptr;
        }
    }

private:
    int m_fd;
    char m_text[4096];
    size_t m_at = 0, m_end = 0;
    bool m_skipping = false;
};

// Whether a comma-separated list holds item.
bool ListHolds(const char* list, const char* item)
{
    const size_t n = std::strlen(item);
    for (const char* at = list; (at = std::strstr(at, item)); at += n)
        if ((at == list || at[-1] == ',') && (at[n] == 0 || at[n] == ','))
            return true;
    return false;
}

// The value of a "key value" line of a file such as memory.stat; 0 where it has none.
double ValueOf(const char* path, const char* key)
{
    const size_t n = std::strlen(key);
    Lines lines(path);
    while (const char* line = lines.Next())
        if (std::strncmp(line, key, n) == 0 && line[n] == ' ')
            return std::strtod(line + n + 1, nullptr);
    return 0;
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// A field of mountinfo with its octal escapes ("\040" for a space) decoded, in place.
void Unescape(char* field)
{
    char* to = field;
    for (const char* from = field; *from; ++to)
        if (from[0] == '\\' && from[1] >= '0' && from[1] <= '3' && IsOctal(from[2]) &&
            IsOctal(from[3])) {
            *to = char((from[1] - '0') << 6 | (from[2] - '0') << 3 | (from[3] - '0'));
            from += 4;
        } else {
            *to = *from++;
        }
    *to = 0;
}

// A hierarchy of control groups: the files of its limit and its use, memory.stat's key for the
// page cache on its inactive list, where it is mounted, the part of it the mount shows, and the
// process's group in it.
struct Hierarchy
{
    const char* limitFile;
    const char* usedFile;
    const char* inactiveFileKey;
    char mount[512] = "";
    char root[512] = "";
    char group[512] = "";

    bool Found() const { return mount[0] && group[0]; }
};

// What the limit of the group in dir leaves; unbounded where none is set. Its clean page cache
// is room: the kernel reclaims it before it refuses memory, as its working set counts.
double GroupRoom(const Hierarchy& h, const char* dir)
{
    char path[1100], text[64];
    std::snprintf(path, sizeof path, "%s/%s", dir, h.limitFile);
    const double limit = ReadProc(path, text) ? std::strtod(text, nullptr) : 0;
    // "max", or the memory controller's page counter's largest value, sets none.
    std::snprintf(path, sizeof path, "%s/%s", dir, h.usedFile);
    if (!(limit > 0 && limit < 0x1p60) || !ReadProc(path, text))
        return kUnbounded;
    const double usage = std::strtod(text, nullptr);
    std::snprintf(path, sizeof path, "%s/memory.stat", dir);
    return limit - std::max(usage - ValueOf(path, h.inactiveFileKey), 0.0);
}

// What the limits of the groups from the process's own up to the mount leave, the least of
// them; unbounded where none is set.
double RoomIn(const Hierarchy& h)
{
    const size_t rootLength = std::strcmp(h.root, "/") == 0 ? 0 : std::strlen(h.root);
    if (std::strncmp(h.group, h.root, rootLength) != 0 ||
        (h.group[rootLength] != '/' && h.group[rootLength] != 0))
        return kUnbounded; // outside what the mount shows
    char dir[1024];
    std::snprintf(dir, sizeof dir, "%s%s", h.mount, h.group + rootLength);
    const size_t top = std::strlen(h.mount);
    double room = kUnbounded;
    for (;;) {
        room = std::min(room, GroupRoom(h, dir));
        char* slash = std::strrchr(dir, '/');
        if (!slash || size_t(slash - dir) < top)
            return room;
        *slash = 0;
    }
}

// Where each hierarchy is mounted and the part of it the mount shows, from mountinfo.
void ReadMounts(const char* mountinfo, Hierarchy& unified, Hierarchy& memory)
{
    Lines mounts(mountinfo);
    while (const char* line = mounts.Next()) {
        char root[512], mount[512], type[64], options[512];
        const char* tail = std::strstr(line, " - ");
        if (!tail || std::sscanf(line, "%*s %*s %*s %511s %511s", root, mount) != 2 ||
            std::sscanf(tail + 3, "%63s %*s %511s", type, options) != 2)
            continue;
        Hierarchy* h = std::strcmp(type, "cgroup2") == 0                                  ? &unified
                       : std::strcmp(type, "cgroup") == 0 && ListHolds(options, "memory") ? &memory
                                                                                          : nullptr;
        if (h && !h->mount[0]) {
            Unescape(root);
            Unescape(mount);
            std::strcpy(h->root, root);
            std::strcpy(h->mount, mount);
        }
    }
}

// The process's group in each hierarchy. A line is "id:controllers:path", the path all the rest
// of it, spaces too; the unified hierarchy's names no controller.
void ReadGroups(const char* cgroups, Hierarchy& unified, Hierarchy& memory)
{
    Lines groups(cgroups);
    while (char* line = groups.Next()) {
        char* controllers = std::strchr(line, ':');
        char* path = controllers ? std::strchr(controllers + 1, ':') : nullptr;
        if (!path || std::strlen(path + 1) >= sizeof memory.group)
            continue;
        *path++ = 0;
        ++controllers;
        Hierarchy* h = !*controllers                      ? &unified
                       : ListHolds(controllers, "memory") ? &memory
                                                          : nullptr;
        if (h)
            std::strcpy(h->group, path);
    }
}

} // namespace

double ControlGroupRoom(const char* mountinfo, const char* cgroups)
{
    Hierarchy unified{"memory.max", "memory.current", "inactive_file"};
    // Its usage counts the groups below, as total_inactive_file does.
    Hierarchy memory{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_inactive_file"};
    ReadMounts(mountinfo, unified, memory);
    ReadGroups(cgroups, unified, memory);
    double room = kUnbounded;
    for (const Hierarchy* h : {&unified, &memory})
        if (h->Found())
            room = std::min(room, RoomIn(*h));
    return room;
}

double MemoryRoom()
{
    // A quarter left for the rest of the machine's work.
    double room = AvailableMemory() * 3 / 4;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        room = std::min(room, double(limit.rlim_cur) - HeldAddressSpace());
    room = std::min(room, ControlGroupRoom("/proc/self/mountinfo", "/proc/self/cgroup"));
    return std::max(room, 0.0);
}
