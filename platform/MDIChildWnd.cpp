#include "platform/MDIChildWnd.h"

#include "platform/Document.h"
#include "platform/MDIFrameWnd.h"
#include "platform/MdiSubWindow.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QMdiArea>

VX_IMPLEMENT_CLASS(CMDIChildWnd, CFrameWnd)

using vx::frame::MdiSubWindow;

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext)
{
    CWnd* parent = pParentWnd ? pParentWnd : (AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr);
    if (!dynamic_cast<CMDIFrameWnd*>(parent))
        return FALSE;
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle | WS_CHILD, parent, pContext))
        return FALSE;
    static_cast<MdiSubWindow*>(m_pSubWindow)->m_hFrame = m_hWnd;
    return TRUE;
}

QWidget* CMDIChildWnd::CreateWidget(const CREATESTRUCT& cs)
{
    auto* pMain = static_cast<CMDIFrameWnd*>(cs.pParent);
    auto* sub = new MdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* content = new vx::WndWidget;
    sub->setWidget(content);
    const QRect place = pMain->NextChildGeometry();
    pMain->GetMdiArea()->addSubWindow(sub);
    sub->setGeometry(place); // a placed window is not moved again when it is shown
    m_pSubWindow = sub;
    return content;
}

QWidget* CMDIChildWnd::GetFrameWidget() const
{
    return m_hWnd ? m_pSubWindow : nullptr;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    return dynamic_cast<CMDIFrameWnd*>(GetParent());
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* f = GetMDIFrame())
        f->MDIActivate(this);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    if (!m_pSubWindow)
        return;
    auto* sub = static_cast<MdiSubWindow*>(m_pSubWindow);
    CMDIFrameWnd* f = GetMDIFrame();
    CMDIChildWnd* active = f ? f->MDIGetActive() : nullptr;
    if (nCmdShow == -1 && active && active != this && active->IsZoomed())
        sub->showMaximized();
    else if (nCmdShow == SW_SHOWMAXIMIZED)
        sub->showMaximized();
    else if (nCmdShow == SW_SHOWMINIMIZED)
        sub->showMinimized();
    else
        sub->show();
    GetWidget()->show();
    MDIActivate();
}

void CMDIChildWnd::OnDestroy()
{
    CMDIFrameWnd* f = GetMDIFrame();
    CMDIChildWnd* active = f ? f->MDIGetActive() : nullptr;
    m_hKeepActive = active && active != this ? active->m_hWnd : nullptr;
    CFrameWnd::OnDestroy();
}

void CMDIChildWnd::PostNcDestroy()
{
    const HWND keep = m_hKeepActive;
    CFrameWnd::PostNcDestroy(); // deletes this
    // Qt counts a child it was given as the last one active (even one never shown, as the frame
    // of a file that fails to open), and on its removal activates another: the user's window
    // stays active instead. Not while the main window itself goes.
    auto* child = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(keep));
    CMDIFrameWnd* f = child ? child->GetMDIFrame() : nullptr;
    if (f && AfxGetApp() && AfxGetApp()->m_pMainWnd == f && f->MDIGetActive() != child)
        f->MDIActivate(child);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (bAddToTitle && (m_dwFrameStyle & FWS_ADDTOTITLE))
        if (CDocument* doc = GetActiveDocument())
            SetWindowText(doc->GetTitle());
    if (CMDIFrameWnd* f = GetMDIFrame())
        f->OnUpdateFrameTitle(TRUE);
}

BOOL CMDIChildWnd::IsIconic() const
{
    if (m_nStateBefore >= 0)
        return (m_nStateBefore & Qt::WindowMinimized) != 0;
    return CWnd::IsIconic();
}

BOOL CMDIChildWnd::IsZoomed() const
{
    if (m_nStateBefore >= 0)
        return (m_nStateBefore & Qt::WindowMaximized) != 0;
    return CWnd::IsZoomed();
}

void CMDIChildWnd::OnSysCommand(UINT nID, LPARAM lParam)
{
    m_bInSysCommand = true;
    CFrameWnd::OnSysCommand(nID, lParam);
    m_bInSysCommand = false;
}

void vx_MdiAccess::StateChanged(CMDIChildWnd* pChild, int oldState, int newState)
{
    const int sizeBits = Qt::WindowMinimized | Qt::WindowMaximized;
    if (pChild->m_bInSysCommand || (newState & sizeBits) || !(oldState & sizeBits))
        return;
    // A restore done by Qt's own buttons or menu: report it as the restore command, with the
    // state before it visible to the handler.
    pChild->m_nStateBefore = oldState;
    pChild->m_bInSysCommand = true;
    vx_WndAccess::SysCommand(pChild, SC_RESTORE);
    pChild->m_bInSysCommand = false;
    pChild->m_nStateBefore = -1;
}
