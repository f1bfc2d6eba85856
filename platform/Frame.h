#pragma once
// Frames: CFrameWnd holds views and routes commands (active view, its document, the frame,
// the main frame, the application); CMDIChildWnd is a document window inside the main frame's
// MDI area; CMDIFrameWnd is the main window with menus, accelerators, toolbar and status bar
// built from the program's resource tables (platform/Resources.h).
#include "platform/View.h"
#include "platform/Wnd.h"

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMdiArea;
class QToolBar;
class QStatusBar;
class QLabel;
class CMDIChildWnd;
class CMDIFrameWnd;

class CFrameWnd : public CWnd
{
    VX_DECLARE_CLASS(CFrameWnd)
public:
    CFrameWnd();

    // Creates the frame (PreCreateWindow, the window, OnCreate, OnCreateClient).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                           CCreateContext* pContext = nullptr);
    CView* GetActiveView() const;
    void SetActiveView(CView* pView, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    // Makes the view with the id of the first pane fill the frame.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Runs the initial update of every view and shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // Makes a view of the context's class with the given child id.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // The nearest thing to greying Close in the frame's system menu: closing is refused.
    void EnableClose(BOOL bEnable);
    BOOL IsCloseEnabled() const { return m_bCloseEnabled; }

    bool OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI) override;
    UINT GetResourceID() const { return m_nIDResource; }
    DWORD GetFrameStyle() const { return m_dwFrameStyle; }

    // Help commands, for the program's frames to map: the contents; F1 (the active view's
    // WM_COMMANDHELP, else the contents); Shift+F1 (help mode).
    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();

protected:
    virtual BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext);
    int OnCreate(CREATESTRUCT* pCs) override;
    void OnClose() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void PostNcDestroy() override;
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    // Whether commands go on to the application after this frame (not for MDI children:
    // their main frame does that after its own handlers).
    virtual bool RoutesToApp() const { return true; }

    UINT m_nIDResource = 0;
    DWORD m_dwFrameStyle = 0;

private:
    HWND m_hViewActive = nullptr;
    bool m_bCloseEnabled = true;
    CCreateContext* m_pCreateContext = nullptr;
};

class CMDIChildWnd : public CFrameWnd
{
    VX_DECLARE_CLASS(CMDIChildWnd)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                   CCreateContext* pContext = nullptr) override;
    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // While the layer reports a state change, the state before it (see OnSysCommand).
    BOOL IsIconic() const;
    BOOL IsZoomed() const;

    QWidget* GetFrameWidget() const override;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    bool RoutesToApp() const override { return false; }
    void OnSysCommand(UINT nID, LPARAM lParam) override;

private:
    friend class vx_MdiAccess;
    bool m_bInSysCommand = false;
    QWidget* m_pSubWindow = nullptr;
    int m_nStateBefore = -1; // Qt window state before a restore, while it is reported
};

// The main window's toolbar: its buttons come from a toolbar resource and can be replaced.
class CToolBar
{
public:
    CToolBar();
    ~CToolBar();
    BOOL CreateEx(CMDIFrameWnd* pParent);
    BOOL LoadToolBar(UINT nIDResource);
    UINT GetLoadedID() const { return m_nLoaded; }
    QToolBar* GetToolBar() const { return m_pBar; }
    // Runs the update handlers of the buttons (on idle).
    void UpdateButtons();

private:
    CMDIFrameWnd* m_pFrame = nullptr;
    QToolBar* m_pBar = nullptr;
    UINT m_nLoaded = 0;
};

class CStatusBar
{
public:
    BOOL Create(CMDIFrameWnd* pParent);
    // The first id (ID_SEPARATOR) is the message pane; the others are indicator panes.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    void SetPaneText(int nIndex, const std::string& text);
    std::string GetPaneText(int nIndex) const;
    QStatusBar* GetStatusBar() const { return m_pBar; }

private:
    QStatusBar* m_pBar = nullptr;
    std::vector<QLabel*> m_panes; // indicators (index 1 ...)
};

class CMDIFrameWnd : public CFrameWnd
{
    VX_DECLARE_CLASS(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd = nullptr,
                   CCreateContext* pContext = nullptr) override;
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    std::vector<CMDIChildWnd*> GetChildFrames() const;
    CFrameWnd* GetActiveFrame() override;
    CDocument* GetActiveDocument() override;
    void DragAcceptFiles(BOOL bAccept = TRUE);
    // The menu shown while the given template's document is active (0: the frame's own).
    void ShowMenu(UINT nIDMenu);
    UINT GetShownMenu() const { return m_nMenuShown; }
    // Runs every update handler of a menu's items (before it opens) and of the toolbars.
    void UpdateMenu(QMenu* pMenu);
    void OnIdleUpdateCmdUI();
    // Registers a toolbar so that idle time updates its buttons.
    void AddToolBar(CToolBar* pBar) { m_toolBars.push_back(pBar); }
    // The frame's first toolbar (the one the documents' views switch), or null.
    CToolBar* GetMainToolBar() const { return m_toolBars.empty() ? nullptr : m_toolBars.front(); }
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    HWND m_hWndMDIClient = nullptr;

    bool OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI) override;

protected:
    int OnCreate(CREATESTRUCT* pCs) override;
    void OnClose() override;
    void OnDestroy() override;
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext) override;
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnViewToolBar();
    void OnUpdateViewToolBar(CCmdUI* pCmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);

private:
    friend class vx_MdiAccess;
    void OnChildActivated(CMDIChildWnd* pChild);

    QMdiArea* m_pMdiArea = nullptr;
    std::unique_ptr<CWnd> m_pDefaultClient; // the MDI client until the program subclasses it
    std::vector<CToolBar*> m_toolBars;
    std::vector<QAction*> m_accelerators;
    UINT m_nMenuShown = 0;
    HWND m_hActiveChild = nullptr;
};

// Internal hooks used by the layer's MDI widgets.
class vx_MdiAccess
{
public:
    static void ChildActivated(CMDIFrameWnd* pFrame, CMDIChildWnd* pChild)
    {
        pFrame->OnChildActivated(pChild);
    }
    static void StateChanged(CMDIChildWnd* pChild, int oldState, int newState);
    static void DropFiles(CMDIFrameWnd* pFrame, const std::vector<std::string>& paths);
};
