#include "platform/FrameActions.h"

#include "platform/MDIFrameWnd.h"

namespace vx::frame {

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

namespace {

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

} // namespace

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

} // namespace vx::frame
