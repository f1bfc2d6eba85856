#include "app/Configuration.h"

#include "app/AboutDlg.h"
#include "app/ConfigDlgs.h"
#include "app/ShellGlobals.h"
#include "platform/WinApp.h"

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
