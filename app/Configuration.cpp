#include "app/Configuration.h"

#include "app/AboutDlg.h"
#include "app/ConfigDlgs.h"
#include "app/ShellGlobals.h"
#include "platform/FileNames.h"
#include "platform/WinApp.h"

#include <filesystem>

namespace {

constexpr const char* kNoPunctuation = "No punctuation allowed in log on name";

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

std::string MakeUserFolder(const std::string& dir, const std::string& name)
{
    // The name is a text; a folder made before under its Latin-1 bytes keeps the user's files.
    const std::string old = dir + "/" + name + "/";
    const std::string path = dir + "/" + PathFromText(name) + "/";
    std::error_code ec;
    if (old != path && std::filesystem::is_directory(old, ec))
        return old;
    std::filesystem::create_directory(path, ec);
    return path;
}

int StartUpConfiguration()
{
    // A file that cannot even be opened is treated as one that cannot be read: the program
    // does not run on without its access level.
    if (!LoadConfigurationFile(kConfigFileName)) {
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

void ReadConfigurationAndLogOn()
{
    const int code = StartUpConfiguration();
    if (code >= 0)
        AfxExitProcess(code);
}
