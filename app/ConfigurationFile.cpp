#include "app/Configuration.h"

#include "app/ShellGlobals.h"
#include "platform/base/Archive.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

const char* const kConfigFileName = "KRVX500.CFG";
const char* const kConfigReadFailed =
    "Unable to read file KRVX500.CFG.\nThe program will not run without access\nto this "
    "configuration file.  Make sure\nthat this file is in the directory with\nthe executable "
    "file Veltrix.exe.  If\nthis file is damaged, contact Tessaly\nWorks at the address on the "
    "'About'\ndialog which shows up when you clear\nclear this message.";

namespace {

// Far more than a record with any password typed in: what follows the record is never read.
constexpr std::size_t kMaxRecordBytes = 1 << 20;

// The start of the file, made empty when it is missing and never truncated; false when it
// cannot be opened for reading and writing or read, or is no plain file (a pipe or a device
// would block the start or never end).
bool ReadOrCreate(const char* path, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    bytes.clear();
    std::uint8_t buf[4096];
    while (ok && bytes.size() < kMaxRecordBytes) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    ::close(fd);
    return ok;
}

} // namespace

bool LoadConfigurationFile(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadOrCreate(path, bytes))
        return false;
    try {
        CArchive ar(std::move(bytes));
        SerializeConfiguration(ar);
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

void SerializeConfiguration(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteInt(static_cast<std::int32_t>(g_nAccessLevel));
        ar.WriteString(g_strTeacherPassword);
    } else {
        // Both fields are read before either global changes: a damaged file changes nothing.
        const auto level = static_cast<std::uint32_t>(ar.ReadInt());
        std::string password = ar.ReadString();
        g_nAccessLevel = level;
        g_strTeacherPassword = std::move(password);
    }
}

bool HasLogOnPunctuation(const std::string& name)
{
    return name.find_first_of(",./<>?:;'\"\\|") != std::string::npos;
}

// The new record, then what the old file holds past the new record's length, as a record written
// over the old one's start leaves it; all of it goes in through a file beside the old one, so a
// failed write leaves the old file whole.
bool WriteConfigurationFile(const std::string& path, std::string& strError)
{
    CArchive ar;
    SerializeConfiguration(ar);
    std::vector<std::uint8_t> bytes = ar.Buffer();
    std::vector<std::uint8_t> old;
    if (!ReadFileBytes(path, old) && errno != ENOENT) {
        strError = std::strerror(errno);
        return false;
    }
    if (old.size() > bytes.size())
        bytes.insert(bytes.end(), old.begin() + std::ptrdiff_t(bytes.size()), old.end());
    CFileWriter file;
    if (file.Open(path) && file.Write(bytes.data(), bytes.size()) && file.Commit())
        return true;
    strError = file.Error();
    return false;
}
