#pragma once
// The Window menu's numbered list of the open windows and its More Windows... choice. Internal
// to platform/.
#include "platform/Types.h"

#include <cstddef>
#include <vector>

class CMDIFrameWnd;
class QMenu;
class QWidget;

namespace vx::frame {

class WindowList
{
public:
    // Puts the numbered list at the end of the Window menu in place of the one before: the
    // first windows of all (in the order they were opened), the active one always among them,
    // and "More Windows..." when some are left out.
    void Fill(CMDIFrameWnd* pFrame, QMenu* pMenu, const std::vector<HWND>& all, HWND hActive);
    // The window at that place of the list as it was last shown, or null.
    HWND At(size_t i) const { return i < m_listed.size() ? m_listed[i] : nullptr; }

private:
    std::vector<HWND> m_listed;
};

// "More Windows...": every window by its title, the active one selected; the one chosen, or
// null.
HWND ChooseWindow(QWidget* pParent, const std::vector<HWND>& all, HWND hActive);

} // namespace vx::frame
