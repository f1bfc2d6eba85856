#include "platform/Help.h"

#include "platform/Latin1.h"
#include "platform/Resources.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <set>

namespace vx::help {
namespace {

std::string Hex(DWORD n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(n));
    return buf;
}

std::string ContentsPage(const char* note)
{
    std::string html = "<h2>Contents</h2>";
    if (note)
        html += std::string("<p><i>") + note + "</i></p>";
    html += "<ul>";
    std::set<std::string> listed; // a title that two context numbers share is listed once
    for (DWORD id : vx::res::HelpTopicIds()) {
        const std::string& title = vx::res::FindHelpTopic(id)->title;
        if (listed.insert(title).second)
            html += "<li><a href=\"topic:" + Hex(id) + "\">" + title + "</a></li>";
    }
    return html + "</ul>";
}

class HelpBrowser : public QTextBrowser
{
public:
    HelpBrowser()
    {
        setOpenLinks(false);
        resize(560, 480);
        connect(this, &QTextBrowser::anchorClicked, [this](const QUrl& url) {
            if (url.scheme() == "topic")
                ShowTopic(url.path().toUInt(nullptr, 16), HELP_CONTEXT);
        });
    }
    void ShowTopic(DWORD context, UINT nCmd)
    {
        const vx::res::HelpTopic* topic =
            nCmd == HELP_CONTEXT ? vx::res::FindHelpTopic(context) : nullptr;
        const std::string app = AfxGetApp() ? AfxGetApp()->m_strAppName : std::string();
        if (topic) {
            m_shown = context;
            setWindowTitle(Latin1(app + " Help - " + topic->title));
            setHtml(Latin1("<h2>" + topic->title + "</h2>" + topic->html));
        } else {
            m_shown = 0;
            setWindowTitle(Latin1(app + " Help"));
            setHtml(Latin1(
                ContentsPage(nCmd == HELP_CONTEXT ? "There is no help for this item." : nullptr)));
        }
    }
    DWORD m_shown = 0;
};

QPointer<HelpBrowser>& Window()
{
    static QPointer<HelpBrowser> window;
    return window;
}

// The help context of what was clicked in help mode; 0 when nothing answers.
DWORD ContextAt(QWidget* w, QPoint pos)
{
    if (auto* button = qobject_cast<QToolButton*>(w))
        if (QAction* a = button->defaultAction(); a && a->data().toUInt())
            return HID_BASE_COMMAND + a->data().toUInt();
    if (auto* bar = qobject_cast<QToolBar*>(w))
        if (QAction* a = bar->actionAt(pos); a && a->data().toUInt())
            return HID_BASE_COMMAND + a->data().toUInt();
    if (auto* menu = qobject_cast<QMenu*>(w))
        if (QAction* a = menu->actionAt(pos); a && a->data().toUInt())
            return HID_BASE_COMMAND + a->data().toUInt();
    for (QWidget* p = w; p; p = p->parentWidget()) {
        auto* link = dynamic_cast<WndLink*>(p);
        CWnd* pWnd = link ? CWnd::FromHandle(link->m_hWnd) : nullptr;
        if (!pWnd)
            continue;
        const QPoint at = p->mapFromGlobal(w->mapToGlobal(pos));
        if (LRESULT ctx = pWnd->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(at.x(), at.y())))
            return static_cast<DWORD>(ctx);
    }
    return 0;
}

class HelpModeFilter : public QObject
{
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(o);
        switch (e->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
                End();
                return true;
            }
            return false;
        case QEvent::MouseButtonPress: {
            if (!w || qobject_cast<QMenuBar*>(w))
                return false; // menus still open in help mode
            const QPoint pos = static_cast<QMouseEvent*>(e)->position().toPoint();
            End();
            const DWORD ctx = ContextAt(w, pos);
            Show(ctx, ctx ? HELP_CONTEXT : HELP_FINDER);
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return w && !qobject_cast<QMenuBar*>(w);
        default:
            return false;
        }
    }
    void End()
    {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        m_bActive = false;
    }
    bool m_bActive = false;
};

// A new help window stands at the top right of the main window's client area, so that it
// leaves the menus and toolbar free (a window manager may put it at the screen's corner).
void PlaceBesideTheMenus(QWidget* help)
{
    CWinApp* app = AfxGetApp();
    auto* main =
        app && app->m_pMainWnd ? qobject_cast<QMainWindow*>(app->m_pMainWnd->GetWidget()) : nullptr;
    if (!main || !main->centralWidget())
        return;
    const QPoint client = main->centralWidget()->mapToGlobal(QPoint(0, 0));
    const QRect screen = main->screen()->availableGeometry();
    const int right = client.x() + main->centralWidget()->width();
    const int x = std::clamp(right - help->width(), screen.left(),
                             std::max(screen.left(), screen.right() - help->width()));
    const int y = std::clamp(client.y(), screen.top(),
                             std::max(screen.top(), screen.bottom() - help->height()));
    help->move(x, y);
}

HelpModeFilter& Filter()
{
    static HelpModeFilter* filter = new HelpModeFilter;
    return *filter;
}

} // namespace

void Show(DWORD dwData, UINT nCmd)
{
    QPointer<HelpBrowser>& window = Window();
    if (!window) {
        window = new HelpBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QWidget::close);
        PlaceBesideTheMenus(window);
    }
    window->ShowTopic(dwData, nCmd);
    window->show();
    window->raise();
}

DWORD ShownTopic()
{
    return Window() ? Window()->m_shown : 0;
}

void Close()
{
    if (Window())
        delete Window().data();
}

void EnterHelpMode()
{
    HelpModeFilter& f = Filter();
    if (f.m_bActive)
        return;
    f.m_bActive = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    qApp->installEventFilter(&f);
}

bool InHelpMode()
{
    return Filter().m_bActive;
}

} // namespace vx::help
