#include "app/Configuration.h"

#include "app/AboutDlg.h"
#include "app/ConfigDlgs.h"
#include "app/ShellGlobals.h"
#include "platform/WinApp.h"
#include "platform/base/Archive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

const char* const kConfigFileName = "KRVX500.CFG";
const char* const kConfigReadFailed =
    "Unable to read file KRVX500.CFG.\nThe program will not run without access\nto this "
    "configuration file.  Make sure\nthat this file is in the directory with\nthe executable "
    "file Veltrix.exe.  If\nthis file is damaged, contact Tessaly\nWorks at the address on the "
    "'About'\ndialog which shows up when you clear\nclear this message.";

namespace {

constexpr const char* kNoPunctuation = "No punctuation allowed in log on name";

// The whole file, made empty when it is missing and never truncated; false when it cannot be
// opened for reading and writing or read.
bool ReadOrCreate(const char* path, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return false;
    bytes.clear();
    std::uint8_t buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    ::close(fd);
    return n == 0;
}

bool LoadRecord()
{
    std::vector<std::uint8_t> bytes;
    if (!ReadOrCreate(kConfigFileName, bytes))
        return false;
    try {
        CArchive ar(std::move(bytes));
        SerializeConfiguration(ar);
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

// The log-on name, asked until it has no punctuation; false when the user cancels.
bool AskLogOnName(std::string& name)
{
    CLogOnDlg dlg;
    for (;;) {
        if (dlg.DoModal() != IDOK)
            return false;
        if (!HasLogOnPunctuation(dlg.m_strName))
            break;
        AfxMessageBox(kNoPunctuation);
    }
    name = dlg.m_strName;
    return true;
}

} // namespace

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

std::string MakeUserFolder(const std::string& dir, const std::string& name)
{
    const std::string path = dir + "/" + name + "/";
    std::error_code ec;
    std::filesystem::create_directory(path, ec);
    return path;
}

int StartUpConfiguration()
{
    // A file that cannot even be opened is treated as one that cannot be read: the program
    // does not run on without its access level.
    if (!LoadRecord()) {
        AfxMessageBox(kConfigReadFailed, MB_OK | MB_ICONSTOP);
        CAboutDlg about;
        about.DoModal();
        return 1;
    }
    if (g_nAccessLevel != 0)
        return -1;
    std::string name;
    if (!AskLogOnName(name))
        return 0;
    g_strLogOnName = name;
    g_strUserDir = MakeUserFolder(g_strStartDir, name);
    return -1;
}

bool WriteConfigurationFile(const std::string& path)
{
    CArchive ar;
    SerializeConfiguration(ar);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    const std::vector<std::uint8_t>& bytes = ar.Buffer();
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), 0);
    const int saved = errno;
    const bool closed = ::close(fd) == 0;
    errno = saved;
    return n == static_cast<ssize_t>(bytes.size()) && closed;
}

void ReadConfigurationAndLogOn()
{
    const int code = StartUpConfiguration();
    if (code >= 0)
        AfxExitProcess(code);
}
