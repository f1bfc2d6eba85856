#pragma once
// The main window: an MDI area of child frames, with menus, accelerators, toolbar and status bar
// built from the program's resource tables (platform/Resources.h).
#include "platform/ActionSets.h"
#include "platform/MDIChildWnd.h"
#include "platform/WindowList.h"

#include <memory>
#include <string>
#include <vector>

class CToolBar;
class QAction;
class QMenu;
class QMdiArea;
class QMenuBar;
namespace vx::res {
struct MenuItem;
}
class QRect;

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
    // Where a new child window goes and its size: cascaded below the windows already open,
    // wholly inside the client area.
    QRect NextChildGeometry() const;
    // Tiles the windows that are not minimised: in columns of windows one above the other, or
    // with bSideBySide in rows of windows next to each other.
    void TileChildren(bool bSideBySide);
    void SetMessageText(const std::string& text) override;
    void ClearMessageText(const std::string& text) override;
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
    void OnWindowActivateChild(UINT nID);
    void OnUpdateWindowActivateChild(CCmdUI* pCmdUI);
    void OnWindowMore();
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);

private:
    friend class vx_MdiAccess;
    void OnChildActivated(CMDIChildWnd* pChild);
    std::vector<HWND> AllChildWindows() const;
    void ActivateListed(HWND hWnd);
    std::vector<QAction*> MakeMenuSet(QMenuBar* pBar, const std::vector<vx::res::MenuItem>& items);

    QMdiArea* m_pMdiArea = nullptr;
    std::unique_ptr<CWnd> m_pDefaultClient; // the MDI client until the program subclasses it
    std::vector<CToolBar*> m_toolBars;
    std::vector<QAction*> m_accelerators;
    UINT m_nMenuShown = 0;
    vx::frame::ActionSets m_menuSets; // the bar's items of each menu
    HWND m_hActiveChild = nullptr;
    vx::frame::WindowList m_windowList;
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
