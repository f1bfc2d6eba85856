#pragma once
// The layer's widget classes: a QWidget (or QMainWindow, QDialog ...) that forwards its events
// to the CWnd named by its handle. Internal to platform/.
#include "platform/Wnd.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPaintEvent>
#include <QWidget>

namespace vx {

// What every layer widget knows of its window.
struct WndLink
{
    virtual ~WndLink() = default;
    HWND m_hWnd = nullptr;
    bool m_bPaintsImage = false; // copies its CWnd's backing image in paint events
};

template <class Base> class WndWidgetT : public Base, public WndLink
{
public:
    template <class... Args> explicit WndWidgetT(Args&&... args) : Base(std::forward<Args>(args)...)
    {
    }
    ~WndWidgetT() override
    {
        if (CWnd* pWnd = LookupWindow(m_hWnd))
            vx_WndAccess::WidgetGone(pWnd);
    }

protected:
    bool event(QEvent* e) override
    {
        if (CWnd* pWnd = LookupWindow(m_hWnd)) {
            if (e->type() == QEvent::Close) {
                // WM_CLOSE decides and destroys the window when it agrees; it is posted, so the
                // widget is not deleted inside Qt's own close handling.
                e->ignore();
                pWnd->PostMessage(WM_CLOSE);
                return true;
            }
            if (vx_WndAccess::DispatchEvent(pWnd, e, m_bPaintsImage))
                return true;
        }
        return Base::event(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        CWnd* pWnd = LookupWindow(m_hWnd);
        if (m_bPaintsImage && pWnd)
            vx_WndAccess::PaintEvent(pWnd, this, e->region());
        else
            Base::paintEvent(e);
    }
};

using WndWidget = WndWidgetT<QWidget>;

} // namespace vx
