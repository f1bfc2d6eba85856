// The turn of a photograph stored turned, beside what it takes of the process's memory, and the
// room it has inside a memory control group that holds page cache.
#include "app/PictureOrientation.h"
#include "app/TestFiles.h"
#include "common/JpegFile.h"
#include "platform/base/MemoryRoom.h"
#ifndef VELTRIX_SANITIZED
#include "common/CountedAllocations.h"
#endif

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

UprightJpeg Turned(const QByteArray& file, PhotoTurn turn, double room)
{
    return JpegTurnedUpright(reinterpret_cast<const unsigned char*>(file.constData()),
                             size_t(file.size()), turn, room);
}

std::string BytesOf(const UprightJpeg& u)
{
    return u.bytes ? std::string(reinterpret_cast<const char*>(u.bytes.get()), u.size) : "";
}

#ifndef VELTRIX_SANITIZED // their runtimes count allocations themselves
struct TurnCase
{
    const char* name;
    QSize upright;
    int orientation, hSamp, vSamp;
    bool progressive;
    PhotoTurn turn;
    bool lossless;
};

void PrintTo(const TurnCase& c, std::ostream* os)
{
    *os << c.name;
}

class TurnMemory : public testing::TestWithParam<TurnCase>
{
};

// The memory that a turn counts on, which decides whether it is tried at a scale, is what it
// takes, counted allocation by allocation, and little more: told a little less, it does not try
// it and goes in smaller (or turned the other way); told a little more, it turns as with all the
// memory there is.
TEST_P(TurnMemory, IsWhatItCountsOn)
{
    const TurnCase& c = GetParam();
    JpegPlan plan = Photograph(c.upright, c.orientation, c.hSamp, c.vSamp, true);
    plan.progressive = c.progressive;
    const QByteArray file = JpegOf(plan);
    size_t peak = 0;
    std::string whole;
    {
        const CountedAllocations counted;
        const UprightJpeg u = Turned(file, c.turn, std::numeric_limits<double>::infinity());
        peak = counted.Peak();
        ASSERT_EQ(u.outcome, UprightJpeg::Outcome::Upright);
        whole = BytesOf(u);
    }
    const UprightJpeg less = Turned(file, c.turn, 0.97 * double(peak));
    EXPECT_FALSE(less.outcome == UprightJpeg::Outcome::Upright && BytesOf(less) == whole);
    if (!c.lossless) {
        EXPECT_EQ(less.outcome, UprightJpeg::Outcome::Smaller);
    }
    const UprightJpeg more = Turned(file, c.turn, 1.15 * double(peak));
    EXPECT_EQ(more.outcome, UprightJpeg::Outcome::Upright);
    EXPECT_TRUE(BytesOf(more) == whole) << peak << " bytes at the peak";
}

// Sides of 2404 leave part blocks that no quarter turn keeps at their edge.
INSTANTIATE_TEST_SUITE_P(
    PhotographTurn, TurnMemory,
    testing::Values(
        TurnCase{"LosslessQuarter", {2400, 1800}, 6, 2, 2, false, PhotoTurn::Rot90, true},
        TurnCase{"LosslessMirrorFullChroma", {2400, 1800}, 2, 1, 1, false, PhotoTurn::HFlip, true},
        TurnCase{"PixelsQuarter", {2404, 1800}, 6, 2, 2, false, PhotoTurn::Rot90, false},
        TurnCase{"PixelsQuarterFullChroma", {2404, 1800}, 6, 1, 1, false, PhotoTurn::Rot90, false},
        TurnCase{"PixelsQuarterProgressive", {2404, 1800}, 6, 2, 2, true, PhotoTurn::Rot90, false}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

// Whether a comma-separated list holds memory.
bool HoldsMemory(const std::string& list)
{
    return ("," + list + ",").find(",memory,") != std::string::npos;
}

// The text written to a file of the kernel's, in one write; false where it is refused.
bool Put(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    out << text << std::flush;
    return bool(out);
}

// A hierarchy of memory control groups: the folder of this process's group, and the files of a
// group's limit and use.
struct MemoryGroups
{
    std::string own;
    const char* limitFile = "memory.limit_in_bytes";
    const char* usedFile = "memory.usage_in_bytes";
};

// The memory controller's hierarchy, or else the unified one.
MemoryGroups FindMemoryGroups()
{
    std::string root, mount, unified;
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        const size_t dash = line.find(" - ");
        std::istringstream head(line), tail(line.substr(std::min(dash + 3, line.size())));
        std::string skip, r, m, type, options;
        head >> skip >> skip >> skip >> r >> m;
        tail >> type >> skip >> options;
        if (type == "cgroup" && HoldsMemory(options))
            root = r, mount = m;
        else if (type == "cgroup2")
            unified = m;
    }
    std::ifstream groups("/proc/self/cgroup");
    MemoryGroups found;
    for (std::string line; std::getline(groups, line);) {
        const size_t a = line.find(':'), b = line.find(':', a + 1);
        if (b == std::string::npos)
            continue;
        const std::string controllers = line.substr(a + 1, b - a - 1), path = line.substr(b + 1);
        if (!mount.empty() && HoldsMemory(controllers) && path.starts_with(root))
            return {mount + path.substr(root == "/" ? 0 : root.size())};
        if (mount.empty() && !unified.empty() && controllers.empty())
            found = {unified + path, "memory.max", "memory.current"};
    }
    return found;
}

// A memory control group made below this process's own, with a limit. When it goes, every
// process left in it moves back out and it is removed.
class ChildGroup
{
public:
    explicit ChildGroup(double limit) : m_groups(FindMemoryGroups())
    {
        if (m_groups.own.empty()) {
            why = "No memory control group hierarchy is mounted here.";
            return;
        }
        const std::string dir = m_groups.own + "/veltrix-room-" + std::to_string(getpid());
        if (::mkdir(dir.c_str(), 0755) != 0) {
            why = "No group can be made in " + m_groups.own + ": " + std::strerror(errno) + ".";
            return;
        }
        m_dir = dir;
        if (!Put(m_dir + "/" + m_groups.limitFile, std::to_string(std::int64_t(limit))))
            why = "No memory limit can be set in " + m_dir + ": memory is not delegated there.";
    }
    ~ChildGroup()
    {
        if (m_dir.empty())
            return;
        for (int tries = 0; tries < 100; ++tries) {
            std::ifstream procs(m_dir + "/cgroup.procs");
            for (std::string pid; procs >> pid;)
                Put(m_groups.own + "/cgroup.procs", pid);
            if (::rmdir(m_dir.c_str()) == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "The group " << m_dir << " is left: " << std::strerror(errno);
    }
    ChildGroup(const ChildGroup&) = delete;
    ChildGroup& operator=(const ChildGroup&) = delete;

    const std::string& Dir() const { return m_dir; }
    std::string Used() const { return m_dir + "/" + m_groups.usedFile; }

    std::string why; // empty where the group is there with its limit

private:
    MemoryGroups m_groups;
    std::string m_dir;
};

constexpr int kCacheMiB = 1100;

// The file written and on disk: clean page cache of the group the writer is in.
bool WriteCache(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const std::vector<char> block(1 << 20, 'v');
    bool written = fd >= 0;
    for (int i = 0; written && i < kCacheMiB; ++i)
        written = ::write(fd, block.data(), block.size()) == ssize_t(block.size());
    written = written && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return written;
}

// What the child inside the group saw.
struct Seen
{
    bool moved = false, cached = false;
    double used = 0;      // the group's usage with the cache written
    double groupRoom = 0; // what the groups' limits leave then
    double room = 0;      // and all the room the turn has
    UprightJpeg::Outcome outcome = UprightJpeg::Outcome::Unreadable;
};

// Moves this process into the group, writes the cache there and turns the photograph in the room
// it then has.
Seen TurnInside(const ChildGroup& group, const std::string& cache, const QByteArray& photo)
{
    Seen seen;
    seen.moved = Put(group.Dir() + "/cgroup.procs", std::to_string(getpid()));
    seen.cached = seen.moved && WriteCache(cache);
    if (!seen.cached)
        return seen;
    std::ifstream(group.Used()) >> seen.used;
    seen.groupRoom = ControlGroupRoom("/proc/self/mountinfo", "/proc/self/cgroup");
    seen.room = MemoryRoom();
    seen.outcome = Turned(photo, PhotoTurn::Rot90, seen.room).outcome;
    return seen;
}

// Inside a memory control group whose clean page cache fills most of its limit, the cache counts
// as room, and a phone's 50-megapixel photograph stored turned goes in upright at its own size:
// the kernel gives the cache back before it refuses memory, and nothing is killed.
TEST(PhotographTurn, GoesInAtItsOwnSizeInAControlGroupFullOfPageCache)
{
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "One thread's work on 50 million pixels, which ThreadSanitizer takes a "
                    "minute over; the address sanitizer's build runs it.";
#endif
    struct statfs disk = {};
    if (::statfs(::testing::TempDir().c_str(), &disk) == 0 && disk.f_type == TMPFS_MAGIC)
        GTEST_SKIP() << "The test folder is on tmpfs, whose pages are no page cache.";
    const QByteArray photo = JpegOf(Photograph({6120, 8160}, 6));
    const std::string cache = Temp("page-cache");
    const ChildGroup group(1536.0 * (1 << 20));
    if (!group.why.empty())
        GTEST_SKIP() << group.why;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const Seen seen = TurnInside(group, cache, photo);
        _exit(::write(ends[1], &seen, sizeof seen) == ssize_t(sizeof seen) ? 0 : 1);
    }
    ::close(ends[1]);
    Seen seen;
    const bool told = pid > 0 && ::read(ends[0], &seen, sizeof seen) == ssize_t(sizeof seen);
    ::close(ends[0]);
    int status = 0;
    if (pid > 0)
        ::waitpid(pid, &status, 0);
    fs::remove(cache);
    ASSERT_TRUE(told) << "The child ended without a word"
                      << (WIFSIGNALED(status) ? ", killed by signal " : ", status ")
                      << (WIFSIGNALED(status) ? WTERMSIG(status) : status) << ".";
    ASSERT_TRUE(seen.moved) << "It could not move into " << group.Dir();
    ASSERT_TRUE(seen.cached) << "It could not write " << cache;
    constexpr double kMiB = 1 << 20;
    ASSERT_GT(seen.used, kCacheMiB * kMiB) << "The group does not hold the cache.";
    EXPECT_GT(seen.groupRoom, 1024 * kMiB) << seen.used / kMiB << " MiB used.";
    EXPECT_EQ(seen.outcome, UprightJpeg::Outcome::Upright)
        << seen.room / kMiB << " MiB of room with " << seen.used / kMiB << " MiB used.";
}

} // namespace
