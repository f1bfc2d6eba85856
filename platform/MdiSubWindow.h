#pragma once
// The MDI child frame's Qt window: closing asks the frame, state changes reach it. Internal to
// platform/.
#include "platform/MDIFrameWnd.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiSubWindow>

namespace vx::frame {

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

} // namespace vx::frame
