#include "platform/WindowList.h"

#include "platform/FrameActions.h"
#include "platform/ListChoice.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <string>

namespace vx::frame {

namespace {

// A window's caption as a menu shows it: a literal "&" doubled.
std::string MenuText(std::string caption)
{
    for (size_t at = caption.find('&'); at != std::string::npos; at = caption.find('&', at + 2))
        caption.insert(at, 1, '&');
    return caption;
}

// Takes the previous list, and its separator, out of the menu.
void RemoveList(QMenu* pMenu)
{
    for (QAction* a : pMenu->actions())
        if ((ActionId(a) >= AFX_IDM_FIRST_MDICHILD && ActionId(a) <= AFX_IDM_WINDOW_MORE) ||
            (a->isSeparator() && a->objectName() == "list"))
            delete a;
}

} // namespace

void WindowList::Fill(CMDIFrameWnd* pFrame, QMenu* pMenu, const std::vector<HWND>& all,
                      HWND hActive)
{
    RemoveList(pMenu);
    m_listed.assign(all.begin(),
                    all.begin() + std::min<size_t>(all.size(), AFX_MDI_WINDOW_LIST_MAX));
    // The active window is always listed: past the list's end it takes the last place.
    if (hActive && !m_listed.empty() &&
        std::find(m_listed.begin(), m_listed.end(), hActive) == m_listed.end() &&
        std::find(all.begin(), all.end(), hActive) != all.end())
        m_listed.back() = hActive;
    if (m_listed.empty())
        return;
    pMenu->addSeparator()->setObjectName("list");
    for (size_t i = 0; i < m_listed.size(); ++i) {
        CWnd* child = CWnd::FromHandle(m_listed[i]);
        const UINT id = AFX_IDM_FIRST_MDICHILD + UINT(i);
        // Appended rather than "&" + ...: GCC 12 at -O3 warns of an overlap it imagines there.
        std::string label = "&";
        label += std::to_string(i + 1);
        label += ' ';
        label += MenuText(child ? child->GetWindowText() : std::string());
        pMenu->addAction(MakeAction(pFrame, pMenu, id, label));
    }
    if (all.size() > AFX_MDI_WINDOW_LIST_MAX)
        pMenu->addAction(MakeAction(pFrame, pMenu, AFX_IDM_WINDOW_MORE, "&More Windows..."));
}

HWND ChooseWindow(QWidget* pParent, const std::vector<HWND>& all, HWND hActive)
{
    QStringList titles;
    int current = -1;
    for (HWND h : all) {
        if (h == hActive)
            current = int(titles.size());
        CWnd* child = CWnd::FromHandle(h);
        titles << (child ? child->GetFrameWidget()->windowTitle() : QString());
    }
    const int row = ChooseFromList(pParent, "Select Window", "&Select Window:", titles, current);
    return row < 0 ? nullptr : all[size_t(row)];
}

} // namespace vx::frame
