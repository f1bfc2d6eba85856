#include "platform/MDIFrameWnd.h"

#include "platform/FileNames.h"
#include "platform/FrameActions.h"
#include "platform/MdiSubWindow.h"
#include "platform/Tiling.h"
#include "platform/ToolBar.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QUrl>

VX_IMPLEMENT_CLASS(CMDIFrameWnd, CFrameWnd)

using namespace vx::frame;

namespace {

// Three quarters of the screen in each direction, in its middle: room for the frame all round.
QRect RestoredPlace(const QRect& avail)
{
    const QSize size = avail.size() * 3 / 4;
    return QRect(avail.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

class MainWindowWidget : public vx::WndWidgetT<QMainWindow>
{
protected:
    // A window shown maximised at first has the screen's size as its normal size, which puts
    // its title bar above the screen once restored: it is given a normal place instead.
    void changeEvent(QEvent* e) override
    {
        vx::WndWidgetT<QMainWindow>::changeEvent(e);
        if (e->type() != QEvent::WindowStateChange || windowState() != Qt::WindowNoState ||
            !(static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMaximized) ||
            !screen())
            return;
        const QRect avail = screen()->availableGeometry();
        if (!avail.contains(frameGeometry()) || size().width() >= avail.width() ||
            size().height() >= avail.height())
            setGeometry(RestoredPlace(avail));
    }
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
                paths.push_back(PathFromQt(url.toLocalFile()));
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

class DefaultClient : public CWnd
{
public:
    using CWnd::AttachWidget;
};

} // namespace

CMDIFrameWnd::CMDIFrameWnd()
{
    MapCommand(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnWindowCascade);
    MapCommand(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnWindowTile);
    MapCommand(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnWindowArrange);
    constexpr UINT lastChild = AFX_IDM_FIRST_MDICHILD + AFX_MDI_WINDOW_LIST_MAX - 1;
    MapCommandRange(AFX_IDM_FIRST_MDICHILD, lastChild, &CMDIFrameWnd::OnWindowActivateChild);
    MapUpdateRange(AFX_IDM_FIRST_MDICHILD, lastChild, &CMDIFrameWnd::OnUpdateWindowActivateChild);
    MapCommand(AFX_IDM_WINDOW_MORE, &CMDIFrameWnd::OnWindowMore);
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
    // Windows moved out of a smaller main window stay within reach.
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
    m_menuSets.Show(bar, nIDMenu, [&] { return MakeMenuSet(bar, *items); });
}

std::vector<QAction*> CMDIFrameWnd::MakeMenuSet(QMenuBar* pBar,
                                                const std::vector<vx::res::MenuItem>& items)
{
    std::vector<QAction*> set;
    for (const auto& item : items) {
        if (!item.items.empty()) {
            auto* menu = new QMenu(Latin1(item.text), pBar);
            FillMenu(this, menu, item.items);
            QObject::connect(menu, &QMenu::aboutToShow, [this, menu] { UpdateMenu(menu); });
            set.push_back(menu->menuAction());
        } else if (item.id != 0) {
            set.push_back(MakeAction(this, pBar, item.id, item.text));
        }
    }
    return set;
}

void CMDIFrameWnd::UpdateMenu(QMenu* pMenu)
{
    for (QAction* a : pMenu->actions())
        if (ActionId(a) == ID_WINDOW_CASCADE) {
            m_windowList.Fill(this, pMenu, AllChildWindows(), m_hActiveChild);
            break;
        }
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
    if (!IsCloseEnabled()) {
        OnCloseRefused();
        return;
    }
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

// The child frames in the order they were opened.
std::vector<HWND> CMDIFrameWnd::AllChildWindows() const
{
    std::vector<HWND> list;
    if (m_pMdiArea)
        for (QMdiSubWindow* s : m_pMdiArea->subWindowList(QMdiArea::CreationOrder))
            if (auto* sub = dynamic_cast<MdiSubWindow*>(s))
                list.push_back(sub->m_hFrame);
    return list;
}

// "More Windows...": the window chosen from all becomes active.
void CMDIFrameWnd::OnWindowMore()
{
    ActivateListed(ChooseWindow(GetWidget(), AllChildWindows(), m_hActiveChild));
}

// A window chosen from a list: restored when minimised, and made active (none when it is gone).
void CMDIFrameWnd::ActivateListed(HWND hWnd)
{
    if (auto* child = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandle(hWnd))) {
        if (child->IsIconic())
            child->ShowWindow(SW_RESTORE);
        MDIActivate(child);
    }
}

void CMDIFrameWnd::OnWindowActivateChild(UINT nID)
{
    ActivateListed(m_windowList.At(nID - AFX_IDM_FIRST_MDICHILD));
}

void CMDIFrameWnd::OnUpdateWindowActivateChild(CCmdUI* pCmdUI)
{
    const HWND listed = m_windowList.At(pCmdUI->m_nID - AFX_IDM_FIRST_MDICHILD);
    const CMDIChildWnd* active = MDIGetActive();
    pCmdUI->Enable(listed && IsWindow(listed));
    pCmdUI->SetCheck(active && active->m_hWnd == listed);
}

QRect CMDIFrameWnd::NextChildGeometry() const
{
    return vx::frame::NextChildGeometry(m_pMdiArea);
}

void CMDIFrameWnd::SetMessageText(const std::string& text)
{
    if (auto* main = dynamic_cast<QMainWindow*>(GetWidget()))
        main->statusBar()->showMessage(Latin1(text));
}

void CMDIFrameWnd::ClearMessageText(const std::string& text)
{
    if (auto* main = dynamic_cast<QMainWindow*>(GetWidget()))
        if (main->statusBar()->currentMessage() == Latin1(text))
            main->statusBar()->showMessage(Latin1(vx::res::LoadString(AFX_IDS_IDLEMESSAGE)));
}

void CMDIFrameWnd::OnWindowCascade()
{
    if (m_pMdiArea)
        Cascade(m_pMdiArea);
}

void CMDIFrameWnd::OnWindowTile()
{
    TileChildren(false);
}

void CMDIFrameWnd::TileChildren(bool bSideBySide)
{
    if (m_pMdiArea)
        Tile(m_pMdiArea, bSideBySide);
}

void CMDIFrameWnd::OnWindowArrange()
{
    if (m_pMdiArea)
        ArrangeIcons(m_pMdiArea);
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
