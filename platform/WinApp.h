#pragma once
// CWinApp: the application object. The program derives one class from it and makes one
// global instance; AfxWinMain creates the QApplication, runs InitInstance, the event loop
// (calling OnIdle whenever the queue runs empty) and ExitInstance. It owns the document
// templates, the recent-file list (kept in QSettings under the registry key) and the printer.
#include "platform/CmdTarget.h"
#include "platform/Ids.h"
#include "platform/base/MessageHook.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class CDocument;
class CDocTemplate;
class QPrinter;
class QString;

using msgbox::IDCANCEL;
using msgbox::IDNO;
using msgbox::IDOK;
using msgbox::IDYES;
using msgbox::MB_DEFBUTTON1;
using msgbox::MB_DEFBUTTON2;
using msgbox::MB_DEFBUTTON3;
using msgbox::MB_ICONEXCLAMATION;
using msgbox::MB_ICONINFORMATION;
using msgbox::MB_ICONQUESTION;
using msgbox::MB_ICONSTOP;
using msgbox::MB_OK;
using msgbox::MB_OKCANCEL;
using msgbox::MB_YESNO;
using msgbox::MB_YESNOCANCEL;

// What the command line asks for; the program may overwrite the command before processing.
struct CCommandLineInfo
{
    enum Command
    {
        FileNew,
        FileOpen,
        FileNothing
    };
    Command m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp : public CCmdTarget
{
    VX_DECLARE_CLASS(CWinApp)
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Called when the event queue runs empty, with 0, 1, 2 ... while it returns TRUE.
    // The base updates the toolbar buttons at count 0 and wants no more after that.
    virtual BOOL OnIdle(LONG lCount);
    // The event loop; returns the exit code.
    virtual int Run();

    CWnd* m_pMainWnd = nullptr;
    std::string m_strAppName;

    void AddDocTemplate(CDocTemplate* pTemplate); // takes ownership
    std::vector<CDocTemplate*> GetDocTemplates() const;
    virtual CDocument* OpenDocumentFile(const char* lpszFileName);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    // The recent-file list lives under this key (the maker's name) in QSettings.
    void SetRegistryKey(const char* lpszRegistryKey);
    const std::string& GetRegistryKey() const { return m_strRegistryKey; }
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(const std::string& path);
    const std::vector<std::string>& GetRecentFiles() const { return m_recent; }

    // Command-line handling and shell registration.
    void SetCommandLine(std::vector<std::string> args) { m_args = std::move(args); }
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    const std::vector<std::string>& GetShellOpenFiles() const { return m_shellOpenFiles; }
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    // Files that the desktop asks to open ("--open FILE ..." on the command line, which the
    // desktop entry uses) are opened at the first idle time after this call, like a shell open
    // request; a plain file name on the command line is left to ProcessShellCommand.
    void EnableShellOpen() { m_bShellOpen = true; }
    // Nothing to switch on for controls on Qt.
    void EnableControlContainer() {}

    // Shows the help page of a context number (HELP_CONTEXT) or the contents (HELP_FINDER).
    virtual void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT);

    QPrinter* GetPrinter();
    // Replaces the printer (tests print to a file).
    void SetPrinter(std::unique_ptr<QPrinter> pPrinter);

    // The filters of File/Open: each template's, in registration order, then all files.
    std::string GetOpenFilter() const;

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnOpenRecentFile(UINT nID);

protected:
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    // The type list of File/New; nullptr when cancelled.
    virtual CDocTemplate* ChooseNewTemplate();

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::string m_strRegistryKey;
    std::vector<std::string> m_recent;
    UINT m_nMaxMRU = 0;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::vector<std::string> m_args;
    std::vector<std::string> m_shellOpenFiles;
    bool m_bShellOpen = false;
    friend int AfxWinMain(int argc, char** argv);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Loads a toolbar resource into the main frame's toolbar; FALSE without a main frame or toolbar.
BOOL AfxLoadMainToolBar(UINT nIDResource);
// A message box on the user-interface thread; from another thread the caller waits for it.
int AfxMessageBox(const std::string& text, UINT nType = MB_OK);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
// While it lives, the pointer shows that the program is busy: for work on the user-interface
// thread that can take more than a moment.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
// Installs the message box of the user interface behind ShowMessageBox (see MessageHook.h), with
// what it needs when memory has run out made ready.
void InstallMessageBoxHook();
// Start-up of a program: the QApplication, InitInstance, the event loop, ExitInstance.
int AfxWinMain(int argc, char** argv);
// Ends the process at once with the exit code (a fatal start-up condition): nothing of the
// framework runs any more, so no window or destructor can act on a half-started program.
[[noreturn]] void AfxExitProcess(int nExitCode);
// The file dialog of File/Open and of the data files: empty when cancelled.
std::string AfxPromptFileName(bool bOpen, const std::string& title, const std::string& filter,
                              const std::string& initial = {});
// The file dialog itself, past the tests' hook, with the memory reserve given back while it
// shows (RunModalLoop): the path chosen, empty when cancelled or when memory ran out (the user
// is told).
std::string ShowFileDialog(bool bOpen, const QString& title, const QString& initial,
                           const QString& filter);
namespace vx {
// Keeps p for the rest of the program, never destroyed: a printer, or the painter of its job,
// whose job could not be ended (destroying it would end the job again, in a destructor).
void KeepForGood(const void* p) noexcept;
} // namespace vx
// Tests: answers the file dialogs in place of the user (an empty hook shows the dialog again);
// returns the previous hook.
using FileDialogHook = std::function<std::string(bool bOpen, const std::string& filter)>;
FileDialogHook SetFileDialogHook(FileDialogHook hook);
