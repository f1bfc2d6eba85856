#include "model/ProgressBarWnd.h"

#include "model/RunProtocol.h"
#include "platform/WndWidget.h"

#include <QProgressBar>
#include <QScreen>

#include <algorithm>

VX_IMPLEMENT_CLASS(CProgressBarWnd, CFrameWnd)

namespace {
constexpr DWORD kPopupStyle = 0x80000000 | WS_VISIBLE | WS_CAPTION;
constexpr UINT kProgressCtrlId = 2023;
// Room left for a window manager's title bar and borders, which are not known before the
// window is shown.
constexpr int kCaptionRoom = 32;
constexpr int kBorderRoom = 8;

// The window's place: the lower right of the owner's window, above its status bar, clear of its
// menus, and wholly on the screen with its title bar.
CRect PlaceAtLowerRight(CWnd* pParent, CSize size)
{
    QWidget* owner = pParent ? pParent->GetWidget() : nullptr;
    if (!owner)
        return CRect(0, 0, size.cx, size.cy);
    const QRect area(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    const QRect screen = owner->screen()->availableGeometry();
    int x = area.right() - size.cx - 4 * kBorderRoom;
    int y = area.bottom() - size.cy - 2 * kCaptionRoom;
    x = std::clamp(x, screen.left() + kBorderRoom, screen.right() - size.cx - kBorderRoom);
    y = std::clamp(y, screen.top() + kCaptionRoom, screen.bottom() - size.cy - kBorderRoom);
    return CRect(x, y, x + size.cx, y + size.cy);
}
} // namespace

QWidget* CreateToolWindowWidget(CWnd* pParent)
{
    // A tool window has a caption; leaving out the system menu leaves out the Close button.
    const Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    return new vx::WndWidget(pParent ? pParent->GetWidget() : nullptr, flags);
}

void CProgressCtrl::StepIt()
{
    if (!m_pBar)
        return;
    int pos = m_pBar->value() + m_nStep;
    if (pos > m_pBar->maximum())
        pos = m_pBar->minimum() + (pos - m_pBar->maximum()); // starts over, as the old control
    m_pBar->setValue(pos);
}

int CProgressCtrl::GetPos() const
{
    return m_pBar ? m_pBar->value() : 0;
}

CProgressBarWnd::CProgressBarWnd()
{
    MapMessage(WM_PROGRESS_STEP, &CProgressBarWnd::OnProgressStep);
}

HWND CProgressBarWnd::Open(const char* lpszTitle, CWnd* pParent)
{
    auto* pWnd = new CProgressBarWnd;
    // Wide enough that the title bar shows the whole caption.
    const CSize size(std::max(200, CaptionWidth(lpszTitle)), 40);
    if (!pWnd->Create(nullptr, lpszTitle, kPopupStyle, PlaceAtLowerRight(pParent, size), pParent,
                      0)) {
        delete pWnd;
        return nullptr;
    }
    pWnd->ShowWindow(SW_SHOW);
    return pWnd->GetSafeHwnd();
}

void CProgressBarWnd::Close(HWND hWnd)
{
    if (CWnd* pWnd = CWnd::FromHandle(hWnd))
        pWnd->DestroyWindow();
}

QWidget* CProgressBarWnd::CreateWidget(const CREATESTRUCT& cs)
{
    return CreateToolWindowWidget(cs.pParent);
}

BOOL CProgressBarWnd::OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext)
{
    auto* bar = new QProgressBar(GetWidget());
    bar->setObjectName(QString::number(kProgressCtrlId));
    bar->setGeometry(0, 0, pCs->rect.Width() - 4, 10);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->show();
    m_ctlProgress.Attach(bar);
    m_ctlProgress.SetStep(3);
    return CFrameWnd::OnCreateClient(pCs, pContext);
}

LRESULT CProgressBarWnd::OnProgressStep(WPARAM wParam, LPARAM)
{
    if (wParam == 1)
        DestroyWindow(); // the object goes with its window
    else
        m_ctlProgress.StepIt();
    return 0;
}
