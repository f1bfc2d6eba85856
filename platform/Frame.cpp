#include "platform/Frame.h"

#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Help.h"
#include "platform/Resources.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

VX_IMPLEMENT_CLASS(CFrameWnd, CWnd)
VX_IMPLEMENT_CLASS(CMDIChildWnd, CFrameWnd)
VX_IMPLEMENT_CLASS(CMDIFrameWnd, CFrameWnd)

namespace {

QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// Field n of a "\n"-separated resource string.
std::string Field(const std::string& s, int n)
{
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = s.find('\n', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    return s.substr(start, s.find('\n', start) - start);
}

// Applies an update handler's answers to a menu or toolbar action.
class ActionCmdUI : public CCmdUI
{
public:
    ActionCmdUI(UINT id, QAction* a) : CCmdUI(id), m_pAction(a) {}
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        m_pAction->setEnabled(bOn != 0);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        m_pAction->setCheckable(true);
        m_pAction->setChecked(nCheck != 0);
    }
    void SetText(const std::string& text) override
    {
        CCmdUI::SetText(text);
        m_pAction->setText(Latin1(text));
    }
    void Show(BOOL bShow) override
    {
        CCmdUI::Show(bShow);
        m_pAction->setVisible(bShow != 0);
    }

private:
    QAction* m_pAction;
};

UINT ActionId(const QAction* a)
{
    return a->data().toUInt();
}

// Queues a command from a menu, toolbar or key, unless its update handler disables it now.
// It runs after Qt has finished with the menu or button, since a command may close windows
// and rebuild the menus.
void RunCommand(CMDIFrameWnd* pFrame, UINT id)
{
    CCmdUI ui(id);
    pFrame->UpdateCommand(&ui);
    if (ui.m_bEnabled)
        pFrame->PostMessage(WM_COMMAND, id);
}

QAction* MakeAction(CMDIFrameWnd* pFrame, QObject* parent, UINT id, const std::string& text)
{
    auto* a = new QAction(Latin1(text), parent);
    a->setData(id);
    const std::string prompt = vx::res::LoadString(id);
    a->setStatusTip(Latin1(Field(prompt, 0)));
    const HWND h = pFrame->m_hWnd;
    QObject::connect(a, &QAction::triggered, [h, id] {
        if (auto* f = dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandle(h)))
            RunCommand(f, id);
    });
    return a;
}

void FillMenu(CMDIFrameWnd* pFrame, QMenu* menu, const std::vector<vx::res::MenuItem>& items)
{
    for (const auto& item : items) {
        if (!item.items.empty()) {
            QMenu* sub = menu->addMenu(Latin1(item.text));
            FillMenu(pFrame, sub, item.items);
            QObject::connect(sub, &QMenu::aboutToShow, [pFrame, sub] { pFrame->UpdateMenu(sub); });
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(MakeAction(pFrame, menu, item.id, item.text));
        }
    }
}

class MainWindowWidget : public vx::WndWidgetT<QMainWindow>
{
protected:
    void dragEnterEvent(QDragEnterEvent* e) override
    {
        if (e->mimeData()->hasUrls())
            e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override
    {
        std::vector<std::string> paths;
        for (const QUrl& url : e->mimeData()->urls())
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile().toLatin1().toStdString());
        e->acceptProposedAction();
        if (auto* f = dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandle(m_hWnd)))
            vx_MdiAccess::DropFiles(f, paths);
    }
};

// The MDI area paints its background through the CWnd that owns its viewport.
class MdiArea : public QMdiArea
{
public:
    HWND m_hClient = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        CWnd* pClient = CWnd::FromHandle(m_hClient);
        if (!pClient)
            return;
        QPainter p(viewport());
        vx_WndAccess::PaintDirect(pClient, &p);
    }
    bool viewportEvent(QEvent* e) override
    {
        if (e->type() == QEvent::Resize)
            if (CWnd* pClient = CWnd::FromHandle(m_hClient))
                vx_WndAccess::DispatchEvent(pClient, e, false);
        return QMdiArea::viewportEvent(e);
    }
};

class MdiSubWindow : public QMdiSubWindow
{
public:
    HWND m_hFrame = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // The frame's WM_CLOSE decides and destroys this window itself, after Qt's handling.
        e->ignore();
        ::PostMessage(m_hFrame, WM_CLOSE);
    }
    void changeEvent(QEvent* e) override
    {
        if (e->type() == QEvent::WindowStateChange)
            if (auto* f = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(m_hFrame)))
                vx_MdiAccess::StateChanged(
                    f, int(static_cast<QWindowStateChangeEvent*>(e)->oldState()),
                    int(windowState()));
        QMdiSubWindow::changeEvent(e);
    }
};

class DefaultClient : public CWnd
{
public:
    using CWnd::AttachWidget;
};

} // namespace

// --- CFrameWnd ----------------------------------------------------------------------------

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

void CFrameWnd::EnableClose(BOOL bEnable)
{
    m_bCloseEnabled = bEnable != 0;
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

void CFrameWnd::OnClose()
{
    if (!m_bCloseEnabled)
        return;
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

// --- CMDIChildWnd -------------------------------------------------------------------------

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
    pMain->GetMdiArea()->addSubWindow(sub);
    // The old platform's default size: most of the client area.
    const QSize area = pMain->GetMdiArea()->viewport()->size();
    sub->resize(std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4));
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

// --- CToolBar and CStatusBar ---------------------------------------------------------------

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::CreateEx(CMDIFrameWnd* pParent)
{
    auto* main = dynamic_cast<QMainWindow*>(pParent ? pParent->GetWidget() : nullptr);
    if (!main)
        return FALSE;
    m_pFrame = pParent;
    m_pBar = new QToolBar(main);
    m_pBar->setMovable(false);
    m_pBar->setFloatable(false);
    m_pBar->setObjectName("toolbar");
    main->addToolBar(Qt::TopToolBarArea, m_pBar);
    pParent->AddToolBar(this);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    const vx::res::ToolBar* def = vx::res::FindToolBar(nIDResource);
    if (!m_pBar || !def)
        return FALSE;
    if (m_nLoaded == nIDResource)
        return TRUE;
    m_pBar->clear();
    m_pBar->setIconSize(QSize(def->cxButton, def->cyButton));
    for (UINT id : def->buttons) {
        if (id == 0) {
            m_pBar->addSeparator();
            continue;
        }
        QAction* a = MakeAction(m_pFrame, m_pBar, id, Field(vx::res::LoadString(id), 1));
        const QImage img = vx::res::LoadButtonImage(id, def->cxButton, def->cyButton);
        if (!img.isNull())
            a->setIcon(QIcon(QPixmap::fromImage(img)));
        a->setToolTip(Latin1(Field(vx::res::LoadString(id), 1)));
        m_pBar->addAction(a);
    }
    m_nLoaded = nIDResource;
    UpdateButtons();
    return TRUE;
}

void CToolBar::UpdateButtons()
{
    if (!m_pBar || !m_pFrame)
        return;
    for (QAction* a : m_pBar->actions())
        if (UINT id = ActionId(a)) {
            ActionCmdUI ui(id, a);
            m_pFrame->UpdateCommand(&ui);
        }
}

BOOL CStatusBar::Create(CMDIFrameWnd* pParent)
{
    auto* main = dynamic_cast<QMainWindow*>(pParent ? pParent->GetWidget() : nullptr);
    if (!main)
        return FALSE;
    m_pBar = main->statusBar();
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (!m_pBar)
        return FALSE;
    for (QLabel* l : m_panes)
        delete l;
    m_panes.clear();
    for (int i = 1; i < nIDCount; ++i) {
        const std::string text = vx::res::LoadString(lpIDArray[i]);
        auto* label = new QLabel(Latin1(text), m_pBar);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Latin1(text)) + 12);
        label->setAlignment(Qt::AlignCenter);
        // Qt cannot read the lock keys' state, so the indicators stay grey.
        label->setEnabled(false);
        m_pBar->addPermanentWidget(label);
        m_panes.push_back(label);
    }
    m_pBar->showMessage(Latin1(vx::res::LoadString(AFX_IDS_IDLEMESSAGE)));
    return TRUE;
}

void CStatusBar::SetPaneText(int nIndex, const std::string& text)
{
    if (!m_pBar)
        return;
    if (nIndex == 0)
        m_pBar->showMessage(Latin1(text));
    else if (nIndex - 1 < int(m_panes.size()))
        m_panes[size_t(nIndex - 1)]->setText(Latin1(text));
}

std::string CStatusBar::GetPaneText(int nIndex) const
{
    if (!m_pBar)
        return {};
    if (nIndex == 0)
        return m_pBar->currentMessage().toLatin1().toStdString();
    if (nIndex - 1 < int(m_panes.size()))
        return m_panes[size_t(nIndex - 1)]->text().toLatin1().toStdString();
    return {};
}

// --- CMDIFrameWnd -------------------------------------------------------------------------

CMDIFrameWnd::CMDIFrameWnd()
{
    MapCommand(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnWindowCascade);
    MapCommand(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnWindowTile);
    MapCommand(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnWindowArrange);
    MapCommand(ID_VIEW_TOOLBAR, &CMDIFrameWnd::OnViewToolBar);
    MapUpdate(ID_VIEW_TOOLBAR, &CMDIFrameWnd::OnUpdateViewToolBar);
    MapCommand(ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnViewStatusBar);
    MapUpdate(ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnUpdateViewStatusBar);
}

CMDIFrameWnd::~CMDIFrameWnd() = default;

BOOL CMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext)
{
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

QWidget* CMDIFrameWnd::CreateWidget(const CREATESTRUCT&)
{
    auto* w = new MainWindowWidget;
    w->resize(800, 600);
    return w;
}

int CMDIFrameWnd::OnCreate(CREATESTRUCT* pCs)
{
    if (CFrameWnd::OnCreate(pCs) == -1)
        return -1;
    // A picture with the frame's resource id is the icon of all the program's windows.
    const QImage icon = vx::res::LoadBitmap(m_nIDResource);
    if (!icon.isNull())
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    ShowMenu(0);
    if (const auto* keys = vx::res::FindAccelerators(m_nIDResource)) {
        for (const auto& k : *keys) {
            QAction* a = MakeAction(this, GetWidget(), k.id, "");
            a->setShortcut(QKeySequence(QString::fromLatin1(k.keys.c_str())));
            a->setShortcutContext(Qt::WindowShortcut);
            GetWidget()->addAction(a);
            m_accelerators.push_back(a);
        }
    }
    return 0;
}

BOOL CMDIFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext*)
{
    auto* main = static_cast<QMainWindow*>(GetWidget());
    auto* area = new MdiArea;
    m_pMdiArea = area;
    main->setCentralWidget(area);
    auto client = std::make_unique<DefaultClient>();
    client->AttachWidget(area->viewport(), false, m_hWnd);
    m_hWndMDIClient = client->m_hWnd;
    area->m_hClient = m_hWndMDIClient;
    m_pDefaultClient = std::move(client);
    const HWND h = m_hWnd;
    QObject::connect(area, &QMdiArea::subWindowActivated, [h](QMdiSubWindow* sub) {
        auto* f = dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandle(h));
        auto* s = dynamic_cast<MdiSubWindow*>(sub);
        if (f)
            f->OnChildActivated(s ? dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(s->m_hFrame))
                                  : nullptr);
    });
    return TRUE;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    auto* child = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(m_hActiveChild));
    if (pbMaximized)
        *pbMaximized = child && child->IsZoomed();
    return child;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    auto* child = dynamic_cast<CMDIChildWnd*>(pWndActivate);
    if (!child || !m_pMdiArea)
        return;
    if (auto* sub = dynamic_cast<QMdiSubWindow*>(child->GetFrameWidget()))
        m_pMdiArea->setActiveSubWindow(sub);
    // Qt reports no activation while the main window is hidden; the frame keeps track itself.
    OnChildActivated(child);
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const
{
    std::vector<CMDIChildWnd*> children;
    for (HWND h : vx::AllWindows())
        if (auto* c = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(h)); c && c->GetParent() == this)
            children.push_back(c);
    return children;
}

void CMDIFrameWnd::OnChildActivated(CMDIChildWnd* pChild)
{
    CMDIChildWnd* pOld = MDIGetActive();
    if (!pChild && pOld)
        return; // Qt reports no active window while the application is inactive
    const HWND hNew = pChild ? pChild->m_hWnd : nullptr;
    if (hNew == m_hActiveChild && (pChild || m_nMenuShown == m_nIDResource))
        return;
    m_hActiveChild = hNew;
    CView* pOldView = pOld ? pOld->GetActiveView() : nullptr;
    CView* pNewView = pChild ? pChild->GetActiveView() : nullptr;
    if (pOldView)
        pOldView->OnActivateView(FALSE, pNewView, pOldView);
    if (pNewView)
        pNewView->OnActivateView(TRUE, pNewView, pOldView);
    ShowMenu(pChild ? pChild->GetResourceID() : 0);
    OnUpdateFrameTitle(TRUE);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument()
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

void CMDIFrameWnd::DragAcceptFiles(BOOL bAccept)
{
    if (GetWidget())
        GetWidget()->setAcceptDrops(bAccept != 0);
}

void CMDIFrameWnd::ShowMenu(UINT nIDMenu)
{
    const auto* items = nIDMenu ? vx::res::FindMenu(nIDMenu) : nullptr;
    if (!items) {
        nIDMenu = m_nIDResource;
        items = vx::res::FindMenu(nIDMenu);
    }
    auto* main = dynamic_cast<QMainWindow*>(GetWidget());
    if (!items || !main || nIDMenu == m_nMenuShown)
        return;
    m_nMenuShown = nIDMenu;
    QMenuBar* bar = main->menuBar();
    bar->clear();
    for (const auto& item : *items) {
        if (!item.items.empty()) {
            QMenu* menu = bar->addMenu(Latin1(item.text));
            FillMenu(this, menu, item.items);
            QObject::connect(menu, &QMenu::aboutToShow, [this, menu] { UpdateMenu(menu); });
        } else if (item.id != 0) {
            bar->addAction(MakeAction(this, bar, item.id, item.text));
        }
    }
}

void CMDIFrameWnd::UpdateMenu(QMenu* pMenu)
{
    for (QAction* a : pMenu->actions())
        if (UINT id = ActionId(a)) {
            ActionCmdUI ui(id, a);
            UpdateCommand(&ui);
        }
}

void CMDIFrameWnd::OnIdleUpdateCmdUI()
{
    for (CToolBar* bar : m_toolBars)
        bar->UpdateButtons();
    std::vector<QAction*> actions = m_accelerators; // a disabled key must not run its command
    if (auto* main = dynamic_cast<QMainWindow*>(GetWidget()))
        for (QAction* a : main->menuBar()->actions())
            actions.push_back(a);
    for (QAction* a : actions)
        if (UINT id = ActionId(a)) {
            ActionCmdUI ui(id, a);
            UpdateCommand(&ui);
        }
}

bool CMDIFrameWnd::OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI)
{
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(nID, kind, pCmdUI))
        return true;
    return CFrameWnd::OnCmdMsg(nID, kind, pCmdUI);
}

void CMDIFrameWnd::OnClose()
{
    if (!IsCloseEnabled())
        return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(FALSE);
    }
    DestroyWindow();
}

void CMDIFrameWnd::OnDestroy()
{
    m_toolBars.clear();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::quit();
    }
}

void CMDIFrameWnd::OnWindowCascade()
{
    if (m_pMdiArea)
        m_pMdiArea->cascadeSubWindows();
}

void CMDIFrameWnd::OnWindowTile()
{
    if (m_pMdiArea)
        m_pMdiArea->tileSubWindows();
}

void CMDIFrameWnd::OnWindowArrange()
{
    if (!m_pMdiArea)
        return;
    for (QMdiSubWindow* s : m_pMdiArea->subWindowList())
        if (s->isMinimized())
            s->showMinimized();
}

void CMDIFrameWnd::OnViewToolBar()
{
    for (CToolBar* bar : m_toolBars)
        bar->GetToolBar()->setVisible(!bar->GetToolBar()->isVisible());
}

void CMDIFrameWnd::OnUpdateViewToolBar(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(!m_toolBars.empty() && m_toolBars.front()->GetToolBar()->isVisible());
}

void CMDIFrameWnd::OnViewStatusBar()
{
    if (auto* main = dynamic_cast<QMainWindow*>(GetWidget()))
        main->statusBar()->setVisible(!main->statusBar()->isVisible());
}

void CMDIFrameWnd::OnUpdateViewStatusBar(CCmdUI* pCmdUI)
{
    auto* main = dynamic_cast<QMainWindow*>(GetWidget());
    pCmdUI->SetCheck(main && main->statusBar()->isVisible());
}

void vx_MdiAccess::DropFiles(CMDIFrameWnd*, const std::vector<std::string>& paths)
{
    if (CWinApp* app = AfxGetApp())
        for (const std::string& p : paths)
            app->OpenDocumentFile(p.c_str());
}
