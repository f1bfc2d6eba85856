#include "platform/FrameWnd.h"

#include "platform/Document.h"
#include "platform/FrameActions.h"
#include "platform/Help.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QMenu>

VX_IMPLEMENT_CLASS(CFrameWnd, CWnd)

using vx::frame::Field;

CFrameWnd::CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext)
{
    m_nIDResource = nIDResource;
    m_pCreateContext = pContext;
    const std::string title = Field(vx::res::LoadString(nIDResource), 0);
    BOOL ok = Create(nullptr, title.c_str(), dwDefaultStyle, CRect(), pParentWnd, 0, pContext);
    m_pCreateContext = nullptr;
    return ok;
}

QWidget* CFrameWnd::CreateWidget(const CREATESTRUCT& cs)
{
    auto* w = new vx::WndWidget(cs.pParent ? cs.pParent->GetWidget() : nullptr);
    return w;
}

int CFrameWnd::OnCreate(CREATESTRUCT* pCs)
{
    m_dwFrameStyle = pCs->style & FWS_ADDTOTITLE;
    return OnCreateClient(pCs, m_pCreateContext) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* obj = pContext->m_pNewViewClass->CreateObject();
    auto* pView = dynamic_cast<CWnd*>(obj);
    if (!pView) {
        delete obj;
        return nullptr;
    }
    // A view whose OnCreate fails is destroyed with its window and deletes itself.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(), this, nID,
                       pContext))
        return nullptr;
    RecalcLayout();
    return pView;
}

CView* CFrameWnd::GetActiveView() const
{
    return dynamic_cast<CView*>(CWnd::FromHandle(m_hViewActive));
}

void CFrameWnd::SetActiveView(CView* pView, BOOL bNotify)
{
    CView* pOld = GetActiveView();
    if (pOld == pView)
        return;
    m_hViewActive = pView ? pView->m_hWnd : nullptr;
    if (!bNotify)
        return;
    if (pOld)
        pOld->OnActivateView(FALSE, pView, pOld);
    if (pView) {
        pView->OnActivateView(TRUE, pView, pOld);
        pView->SetFocus();
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* v = GetActiveView();
    return v ? v->GetDocument() : nullptr;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    CRect rc;
    GetClientRect(&rc);
    for (HWND h : vx::AllWindows()) {
        CWnd* w = CWnd::FromHandle(h);
        if (w && w->GetParent() == this && w->GetDlgCtrlID() == AFX_IDW_PANE_FIRST)
            w->MoveWindow(rc, FALSE);
    }
}

void CFrameWnd::OnSize(UINT, int, int)
{
    RecalcLayout();
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    std::vector<CView*> views;
    for (HWND h : vx::AllWindows())
        if (auto* v = dynamic_cast<CView*>(CWnd::FromHandle(h)); v && v->GetParent() == this)
            views.push_back(v);
    CView* pPane = nullptr;
    for (CView* v : views)
        if (v->GetDlgCtrlID() == AFX_IDW_PANE_FIRST)
            pPane = v;
    if (!GetActiveView() && pPane)
        SetActiveView(pPane, FALSE);
    for (CView* v : views)
        if (CWnd::FromHandle(v->m_hWnd))
            v->SendMessage(WM_INITIALUPDATE);
    if (bMakeVisible) {
        ActivateFrame();
        if (CView* v = GetActiveView()) {
            m_hViewActive = nullptr;
            SetActiveView(v, TRUE);
        }
    }
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    const std::string title = Field(vx::res::LoadString(m_nIDResource), 0);
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && (m_dwFrameStyle & FWS_ADDTOTITLE) && doc)
        SetWindowText(title.empty() ? doc->GetTitle() : title + " - " + doc->GetTitle());
    else if (!title.empty())
        SetWindowText(title);
}

void CFrameWnd::EnableClose(BOOL bEnable, const std::string& whyNot)
{
    // The reason a close was refused does not outlast the refusal.
    if (bEnable && !m_strCloseRefused.empty())
        ClearMessageText(m_strCloseRefused);
    m_bCloseEnabled = bEnable != 0;
    m_strCloseRefused = whyNot;
    if (QWidget* w = GetFrameWidget()) {
        if (auto* sub = dynamic_cast<QMdiSubWindow*>(w)) {
            for (QAction* a : sub->systemMenu() ? sub->systemMenu()->actions() : QList<QAction*>())
                if (a->shortcut() == QKeySequence::Close || a->text().contains("Close"))
                    a->setEnabled(m_bCloseEnabled);
        }
    }
}

bool CFrameWnd::OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI)
{
    if (CView* v = GetActiveView(); v && v->OnCmdMsg(nID, kind, pCmdUI))
        return true;
    if (CCmdTarget::OnCmdMsg(nID, kind, pCmdUI))
        return true;
    return RoutesToApp() && AfxGetApp() && AfxGetApp()->OnCmdMsg(nID, kind, pCmdUI);
}

void CFrameWnd::OnCloseRefused()
{
    if (!m_strCloseRefused.empty())
        SetMessageText(m_strCloseRefused);
}

void CFrameWnd::SetMessageText(const std::string& text)
{
    if (auto* main = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); main && main != this)
        main->SetMessageText(text);
}

void CFrameWnd::ClearMessageText(const std::string& text)
{
    if (auto* main = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); main && main != this)
        main->ClearMessageText(text);
}

void CFrameWnd::OnClose()
{
    if (!m_bCloseEnabled) {
        OnCloseRefused();
        return;
    }
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    if (doc && doc->m_bAutoDelete) {
        bool otherFrame = false;
        for (CView* v : doc->GetViews())
            otherFrame = otherFrame || v->GetParentFrame() != this;
        if (!otherFrame) {
            doc->OnCloseDocument(); // destroys this frame too
            return;
        }
    }
    DestroyWindow();
}

void CFrameWnd::OnHelpFinder()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(0, HELP_FINDER);
}

void CFrameWnd::OnHelp()
{
    CFrameWnd* frame = GetActiveFrame();
    CView* view = frame ? frame->GetActiveView() : nullptr;
    if (view && view->SendMessage(WM_COMMANDHELP))
        return;
    OnHelpFinder();
}

void CFrameWnd::OnContextHelp()
{
    vx::help::EnterHelpMode();
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

int CFrameWnd::CaptionWidth(const std::string& caption)
{
    constexpr int kTitleBarRoom = 110; // icon and three buttons
    if (!QApplication::instance())
        return 0;
    QFont title = QApplication::font("QMdiSubWindowTitleBar");
    title.setBold(true);
    return QFontMetrics(title).horizontalAdvance(QString::fromLatin1(caption)) + kTitleBarRoom;
}
