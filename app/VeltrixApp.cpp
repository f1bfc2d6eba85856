#include "app/VeltrixApp.h"

#include "app/AboutDlg.h"
#include "app/ChildFrm.h"
#include "app/CommandHelp.h"
#include "app/DocTypes.h"
#include "app/MainFrm.h"
#include "app/ShellGlobals.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "model/ViewFrame.h"
#include "model/core/Globals.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/base/Archive.h"
#include "resources/ResourceIds.h"
#include "resources/ShellResources.h"
#include "views/rows/ViewAngleFlag.h"

CVeltrixApp theApp;

CVeltrixApp::CVeltrixApp() : CWinApp("Veltrix")
{
    MapCommand(ID_APP_ABOUT, &CVeltrixApp::OnAppAbout);
}

BOOL CVeltrixApp::InitInstance()
{
    // A file-size limit makes a write fail with its reason, not the program end.
    IgnoreFileSizeSignal();
    RegisterShellResources();
    RegisterModelCommandTopics();
    // There is no OLE on this platform: its initialisation cannot fail, and the control
    // container needs nothing.
    EnableControlContainer();
    SetRegistryKey("Tessaly Works");
    LoadStdProfileSettings(4);

    for (const DocTypeInfo& t : ShellDocTypes()) {
        // The lessons are the shell's own; the model kinds are found by their class names.
        const bool lesson = t.nIDResource == IDR_VXTEXTTYPE;
        auto* pTemplate = new CMultiDocTemplate(
            t.nIDResource, lesson ? VX_RUNTIME_CLASS(CVXTextDoc) : FindDocClass(t.docClass),
            VX_RUNTIME_CLASS(CChildFrame),
            lesson ? VX_RUNTIME_CLASS(CVXTextView) : FindViewClass(t.viewClass));
        if (lesson)
            pTemplate->SetContainerInfo(IDR_CNTR_INPLACE);
        AddDocTemplate(pTemplate);
    }

    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE; // a frame that fails to load has destroyed itself
    m_pMainWnd = pMainFrame;
    pMainFrame->DragAcceptFiles();

    // The file types are registered for the desktop by scripts/install-desktop.sh. Shell open
    // is enabled once the configuration is read and the log-on answered (CMDIClientWnd).

    // No empty document at start, and a file named on the command line is not opened.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    pMainFrame->ShowWindow(SW_SHOWMAXIMIZED);
    pMainFrame->UpdateWindow();

    g_nExportsNewtonian = 0;
    g_nExportsOneVariable = 0;
    g_nExportsTwoVariable = 0;
    g_nExportsThreeVariable = 0;
    g_bViewAngleDlgOpen = false;
    g_nDocsNewtonian = 0;
    g_nDocsOneVariable = 0;
    g_nDocsTwoVariable = 0;
    g_nDocsThreeVariable = 0;
    g_nDocsAll = 0;
    return TRUE;
}

BOOL CVeltrixApp::OnIdle(LONG lCount)
{
    if (CWinApp::OnIdle(lCount))
        return TRUE;
    auto* pMainFrame = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd);
    CMDIChildWnd* pChild = pMainFrame ? pMainFrame->MDIGetActive() : nullptr;
    CDocument* pDoc = pChild ? pChild->GetActiveDocument() : nullptr;
    if (!pDoc)
        return FALSE;
    const HWND hChild = pChild->m_hWnd;
    // A model file's saved views reopen once, when its document is first the active one.
    if (auto* pSaved = dynamic_cast<ISavedViews*>(pDoc); pSaved && !pSaved->ViewsRestored()) {
        pSaved->RestoreViews();
        return FALSE;
    }
    for (const IdleDocumentHandler& handler : IdleDocumentHandlers()) {
        handler(pDoc);
        // A handler may open or close windows; the document is only used while its frame is.
        if (!IsWindow(hChild) || pMainFrame->MDIGetActive() != pChild)
            break;
    }
    return FALSE;
}

void CVeltrixApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
