#include "platform/base/Archive.h"

#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(std::endian::native == std::endian::little, "files are little-endian");

CArchiveException::CArchiveException(Cause cause)
    : std::runtime_error(cause == endOfFile ? "Unexpected end of file" : "Bad file format"),
      m_cause(cause)
{
}

CArchive::CArchive() : m_mode(store)
{
}

CArchive::CArchive(std::vector<std::uint8_t> data) : m_mode(load), m_data(std::move(data))
{
}

void CArchive::Put(const void* p, std::size_t n)
{
    const auto* b = static_cast<const std::uint8_t*>(p);
    m_data.insert(m_data.end(), b, b + n);
}

void CArchive::Take(void* p, std::size_t n)
{
    if (n > Remaining())
        throw CArchiveException(CArchiveException::endOfFile);
    std::memcpy(p, m_data.data() + m_pos, n);
    m_pos += n;
}

void CArchive::WriteInt(std::int32_t v)
{
    Put(&v, sizeof v);
}
void CArchive::WriteDouble(double v)
{
    Put(&v, sizeof v);
}
void CArchive::WritePoint(const POINT& p)
{
    WriteInt(p.x);
    WriteInt(p.y);
}

void CArchive::WriteString(const std::string& s)
{
    const std::size_t n = s.size();
    if (n < 0xFF) {
        const auto b = static_cast<std::uint8_t>(n);
        Put(&b, 1);
    } else {
        const std::uint8_t ff = 0xFF;
        Put(&ff, 1);
        if (n < 0xFFFE) {
            const auto w = static_cast<std::uint16_t>(n);
            Put(&w, 2);
        } else {
            const std::uint16_t w = 0xFFFF;
            const auto d = static_cast<std::uint32_t>(n);
            Put(&w, 2);
            Put(&d, 4);
        }
    }
    Put(s.data(), n);
}

std::uint8_t CArchive::ReadByte()
{
    return Raw<std::uint8_t>();
}

std::uint16_t CArchive::ReadWord()
{
    return Raw<std::uint16_t>();
}

std::uint32_t CArchive::ReadDword()
{
    return Raw<std::uint32_t>();
}

std::int32_t CArchive::ReadInt()
{
    return Raw<std::int32_t>();
}

double CArchive::ReadDouble()
{
    return Raw<double>();
}

POINT CArchive::ReadPoint()
{
    // One block: a point that is not there whole is not read at all.
    if (Remaining() < 8)
        throw CArchiveException(CArchiveException::endOfFile);
    POINT p;
    p.x = ReadInt();
    p.y = ReadInt();
    return p;
}

// The prefix: a byte below 0xFF, else 0xFF and a word below 0xFFFE, else 0xFF 0xFFFF and a
// dword. The word 0xFFFE marks a 16-bit text whose own prefix follows.
std::uint32_t CArchive::ReadLength(bool& wide)
{
    wide = false;
    for (;;) {
        const std::uint8_t b = ReadByte();
        if (b < 0xFF)
            return b;
        const std::uint16_t w = ReadWord();
        if (w == 0xFFFE) {
            if (wide)
                throw CArchiveException(CArchiveException::badFormat);
            wide = true;
            continue;
        }
        if (w < 0xFFFF)
            return w;
        return ReadDword();
    }
}

std::string CArchive::ReadString()
{
    bool wide = false;
    const std::uint32_t n = ReadLength(wide);
    const std::size_t bytes = wide ? std::size_t{n} * 2 : std::size_t{n};
    if (bytes > Remaining()) // checked before allocating: a bad length is not a huge buffer
        throw CArchiveException(CArchiveException::endOfFile);
    std::string s;
    s.resize(n);
    if (!wide) {
        Take(s.data(), n);
        return s;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint16_t c = ReadWord();
        s[i] = c < 0x100 ? static_cast<char>(c) : '?';
    }
    return s;
}

namespace {

// A descriptor that closes itself; the helpers below report errors, never throw them.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }
    bool Close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// The mode a new file of ours gets: the old file's, else what the umask allows.
mode_t ModeFor(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a symbolic link leads to, or the path itself.
std::string LinkTarget(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string target = real;
    std::free(real);
    return target;
}

// The errno for a path that is there but is no regular file; -1 to return.
int NotARegularFile(const struct stat& st)
{
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return -1;
}

// A short name in the path's folder: the path's own name may already be as long as a name can
// be, so nothing is added to it.
std::string TempBeside(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".vx-XXXXXX";
}

} // namespace

// Checked before the open, so a device is not even opened, and again on what was opened, so a
// name changed in between cannot slip a pipe in. O_NONBLOCK keeps a FIFO's open from waiting
// for a writer.
int OpenRegularFile(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return NotARegularFile(st);
    Fd f(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (f.Get() < 0 || ::fstat(f.Get(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode))
        return NotARegularFile(st);
    if (::fcntl(f.Get(), F_SETFL, ::fcntl(f.Get(), F_GETFL) & ~O_NONBLOCK) != 0)
        return -1;
    return f.Release();
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes)
{
    Fd f(OpenRegularFile(path));
    if (f.Get() < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(f.Get(), &st) == 0 && static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        errno = EFBIG;
        return false;
    }
    try {
        std::vector<std::uint8_t> bytes;
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t got = ::read(f.Get(), chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + got);
            if (bytes.size() > maxBytes) { // it grew while being read
                errno = EFBIG;
                return false;
            }
        }
        out = std::move(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return false;
    }
}

// The new text goes to a temporary file beside the old one and replaces it only when all of it
// is on disk, so a full disk or a lost write leaves the old file as it was.
CFileWriter::~CFileWriter()
{
    Discard();
}

void CFileWriter::Discard()
{
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
        ::unlink(m_strTemp.c_str());
    }
}

bool CFileWriter::Fail(int nError)
{
    if (nError == 0)
        nError = EIO;
    if (m_strError.empty())
        m_strError = std::strerror(nError);
    errno = nError;
    return false;
}

bool CFileWriter::Open(const std::string& named, bool bFollowLink)
{
    struct stat st
    {
    };
    if (named.empty())
        return Fail(ENOENT);
    const int found = bFollowLink ? ::stat(named.c_str(), &st) : ::lstat(named.c_str(), &st);
    if (found == 0 && !S_ISREG(st.st_mode) && !(S_ISLNK(st.st_mode) && !bFollowLink))
        return Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // Followed, a link stays a link to the new text; otherwise the rename replaces the link.
    m_strPath = bFollowLink ? LinkTarget(named) : named;
    m_strTemp = TempBeside(m_strPath);
    m_fd = ::mkostemp(m_strTemp.data(), O_CLOEXEC);
    if (m_fd < 0)
        return Fail(errno);
    return ::fchmod(m_fd, ModeFor(m_strPath)) == 0 || Fail(errno);
}

bool CFileWriter::Write(const void* p, std::size_t n)
{
    if (m_fd < 0)
        return Fail(EBADF);
    errno = 0;
    return WriteAll(m_fd, static_cast<const std::uint8_t*>(p), n) || Fail(errno);
}

bool CFileWriter::Commit()
{
    if (m_fd < 0)
        return Fail(EBADF);
    Fd f(std::exchange(m_fd, -1));
    const bool written = (::fsync(f.Get()) == 0 || Fail(errno)) && (f.Close() || Fail(errno)) &&
                         (::rename(m_strTemp.c_str(), m_strPath.c_str()) == 0 || Fail(errno));
    if (!written)
        ::unlink(m_strTemp.c_str());
    return written;
}

bool WriteFileBytes(const std::string& named, const std::vector<std::uint8_t>& data,
                    bool bFollowLink)
{
    CFileWriter f;
    return f.Open(named, bFollowLink) && f.Write(data.data(), data.size()) && f.Commit();
}

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

const std::string& PrivateTempFolder()
{
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string name = std::string(base && *base ? base : "/tmp") + "/veltrix-XXXXXX";
        return ::mkdtemp(name.data()) ? name : std::string(); // mkdtemp makes it 0700
    }();
    return folder;
}
