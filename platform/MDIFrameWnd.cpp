#include "platform/MDIFrameWnd.h"

#include "platform/FileNames.h"
#include "platform/FrameActions.h"
#include "platform/MdiSubWindow.h"
#include "platform/ToolBar.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

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
    // Each menu is made once and kept: the bar only swaps which set it shows.
    std::vector<QAction*>& set = m_menuSets[nIDMenu];
    if (set.empty())
        set = MakeMenuSet(bar, *items);
    bar->clear();
    for (QAction* a : set)
        bar->addAction(a);
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
            FillWindowList(pMenu);
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

// The numbered list of the open windows at the end of the Window menu, in the order they were
// opened.
void CMDIFrameWnd::FillWindowList(QMenu* pMenu)
{
    for (QAction* a : pMenu->actions())
        if ((ActionId(a) >= AFX_IDM_FIRST_MDICHILD && ActionId(a) <= AFX_IDM_WINDOW_MORE) ||
            (a->isSeparator() && a->objectName() == "list"))
            delete a;
    m_windowList.clear();
    if (!m_pMdiArea)
        return;
    const std::vector<HWND> all = AllChildWindows();
    m_windowList.assign(all.begin(),
                        all.begin() + std::min<size_t>(all.size(), AFX_MDI_WINDOW_LIST_MAX));
    // The active window is always listed: past the list's end it takes the last place.
    if (m_hActiveChild && !m_windowList.empty() &&
        std::find(m_windowList.begin(), m_windowList.end(), m_hActiveChild) == m_windowList.end() &&
        std::find(all.begin(), all.end(), m_hActiveChild) != all.end())
        m_windowList.back() = m_hActiveChild;
    if (m_windowList.empty())
        return;
    pMenu->addSeparator()->setObjectName("list");
    for (size_t i = 0; i < m_windowList.size(); ++i) {
        CWnd* child = CWnd::FromHandle(m_windowList[i]);
        std::string caption = child ? child->GetWindowText() : std::string();
        for (size_t at = caption.find('&'); at != std::string::npos; at = caption.find('&', at + 2))
            caption.insert(at, 1, '&');
        const UINT id = AFX_IDM_FIRST_MDICHILD + UINT(i);
        // Appended rather than "&" + ...: GCC 12 at -O3 warns of an overlap it imagines there.
        std::string label = "&";
        label += std::to_string(i + 1);
        label += ' ';
        label += caption;
        pMenu->addAction(MakeAction(this, pMenu, id, label));
    }
    if (all.size() > AFX_MDI_WINDOW_LIST_MAX)
        pMenu->addAction(MakeAction(this, pMenu, AFX_IDM_WINDOW_MORE, "&More Windows..."));
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

// "More Windows...": every window by its title; the one chosen becomes active.
void CMDIFrameWnd::OnWindowMore()
{
    const std::vector<HWND> all = AllChildWindows();
    QDialog dlg(GetWidget());
    dlg.setWindowTitle("Select Window");
    auto* layout = new QVBoxLayout(&dlg);
    auto* label = new QLabel("&Select Window:", &dlg);
    auto* list = new QListWidget(&dlg);
    label->setBuddy(list);
    for (HWND h : all) {
        CWnd* child = CWnd::FromHandle(h);
        list->addItem(child ? child->GetFrameWidget()->windowTitle() : QString());
        if (h == m_hActiveChild)
            list->setCurrentRow(list->count() - 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    if (dlg.exec() == QDialog::Accepted && list->currentRow() >= 0)
        ActivateListed(all[size_t(list->currentRow())]);
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
    const size_t i = nID - AFX_IDM_FIRST_MDICHILD;
    if (i < m_windowList.size())
        ActivateListed(m_windowList[i]);
}

void CMDIFrameWnd::OnUpdateWindowActivateChild(CCmdUI* pCmdUI)
{
    const size_t i = pCmdUI->m_nID - AFX_IDM_FIRST_MDICHILD;
    const CMDIChildWnd* active = MDIGetActive();
    pCmdUI->Enable(i < m_windowList.size() && IsWindow(m_windowList[i]));
    pCmdUI->SetCheck(active && i < m_windowList.size() && active->m_hWnd == m_windowList[i]);
}

// The old platform's default size of a child window: most of the client area.
QSize CMDIFrameWnd::ChildSize() const
{
    const QSize area = m_pMdiArea ? m_pMdiArea->viewport()->size() : QSize(800, 600);
    return {std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4)};
}

// The n-th place of a cascade: one title bar lower and further right than the one before,
// starting again at the top left when the window would leave the client area.
QPoint CMDIFrameWnd::CascadePosition(int n, QSize size) const
{
    const QSize area = m_pMdiArea ? m_pMdiArea->viewport()->size() : size;
    const int step = std::max(
        16, m_pMdiArea ? m_pMdiArea->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4 : 24);
    const int room = std::min(area.width() - size.width(), area.height() - size.height());
    const int places = std::max(1, room / step + 1);
    const int k = n % places;
    return {k * step, k * step};
}

QRect CMDIFrameWnd::NextChildGeometry() const
{
    int open = 0;
    if (m_pMdiArea)
        for (QMdiSubWindow* s : m_pMdiArea->subWindowList())
            open += s->isVisible() && !s->isMinimized() ? 1 : 0;
    const QSize size = ChildSize();
    return {CascadePosition(open, size), size};
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

// Overlapping windows, each at the size a new window gets, the active one on top.
void CMDIFrameWnd::OnWindowCascade()
{
    if (!m_pMdiArea)
        return;
    QMdiSubWindow* active = m_pMdiArea->activeSubWindow();
    const QSize size = ChildSize();
    int n = 0;
    for (QMdiSubWindow* s : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (s->isMinimized() || !s->isVisible())
            continue;
        if (s->isMaximized())
            s->showNormal();
        s->setGeometry(QRect(CascadePosition(n++, size), size));
        s->raise();
    }
    if (active && !active->isMinimized()) {
        active->raise();
        m_pMdiArea->setActiveSubWindow(active);
    }
}

namespace {

// The k-th of n parts of a length, as equal as whole pixels allow, meeting without a gap.
std::pair<int, int> Part(int length, int k, int n)
{
    return {length * k / n, length * (k + 1) / n};
}

// The places of n windows tiled over the area: in columns of windows one above the other (with
// bSideBySide, in rows of windows next to each other), as many to a column as there are
// columns, so that each window keeps a usable height and width; the last column takes what is
// left, its windows taller.
std::vector<QRect> TilePlaces(int n, const QRect& area, bool bSideBySide)
{
    int perLine = 1;
    while (perLine * perLine < n)
        ++perLine;
    const int lines = (n + perLine - 1) / perLine;
    const int across = bSideBySide ? area.height() : area.width();
    const int along = bSideBySide ? area.width() : area.height();
    std::vector<QRect> places;
    for (int line = 0; line < lines; ++line) {
        const int count = std::min(perLine, n - line * perLine);
        const auto [a0, a1] = Part(across, line, lines);
        for (int k = 0; k < count; ++k) {
            const auto [b0, b1] = Part(along, k, count);
            places.push_back(bSideBySide ? QRect(b0, a0, b1 - b0, a1 - a0)
                                         : QRect(a0, b0, a1 - a0, b1 - b0));
        }
    }
    for (QRect& r : places)
        r.translate(area.topLeft());
    return places;
}

} // namespace

void CMDIFrameWnd::OnWindowTile()
{
    TileChildren(false);
}

// Minimised windows keep their places along the bottom, and the tiles stay above them.
void CMDIFrameWnd::TileChildren(bool bSideBySide)
{
    if (!m_pMdiArea)
        return;
    QRect area = m_pMdiArea->viewport()->rect();
    QList<QMdiSubWindow*> shown;
    // The top window first, as the stack lists them from the bottom.
    const QList<QMdiSubWindow*> stack = m_pMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (!(*it)->isVisible())
            continue;
        if (!(*it)->isMinimized())
            shown << *it;
        else if ((*it)->y() > area.height() / 2)
            area.setBottom(std::min(area.bottom(), (*it)->y() - 1));
    }
    QMdiSubWindow* active = m_pMdiArea->activeSubWindow();
    const std::vector<QRect> places = TilePlaces(int(shown.size()), area, bSideBySide);
    for (size_t i = 0; i < places.size(); ++i) {
        if (shown[qsizetype(i)]->isMaximized())
            shown[qsizetype(i)]->showNormal();
        shown[qsizetype(i)]->setGeometry(places[i]);
    }
    if (active && shown.contains(active))
        m_pMdiArea->setActiveSubWindow(active);
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
