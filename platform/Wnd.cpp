#include "platform/Wnd.h"

#include "platform/Dc.h"
#include "platform/Frame.h"
#include "platform/WndWidget.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QScreen>
#include <QTimerEvent>

#include <memory>
#include <utility>

VX_IMPLEMENT_CLASS(CWnd, CCmdTarget)

CWnd::CWnd() : m_pInvalid(std::make_unique<QRegion>())
{
}

CWnd::~CWnd()
{
    m_bInDestructor = true;
    if (m_hWnd)
        DestroyWindowImpl(true);
}

CWnd* CWnd::FromWidget(const QWidget* pWidget)
{
    const auto* link = dynamic_cast<const vx::WndLink*>(pWidget);
    return link ? FromHandle(link->m_hWnd) : nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

QWidget* CWnd::CreateWidget(const CREATESTRUCT& cs)
{
    auto* w = new vx::WndWidget(cs.pParent ? cs.pParent->GetWidget() : nullptr);
    w->m_bPaintsImage = true;
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    w->setMouseTracking(true);
    w->setFocusPolicy(Qt::StrongFocus);
    return w;
}

QWidget* CWnd::GetFrameWidget() const
{
    return m_pWidget;
}

void CWnd::AttachWidget(QWidget* pWidget, bool bOwned, HWND hParent)
{
    m_pWidget = pWidget;
    m_hParent = hParent;
    m_bOwnsWidget = bOwned;
    m_hWnd = vx::RegisterWindow(this);
    if (auto* w = dynamic_cast<vx::WndLink*>(pWidget))
        w->m_hWnd = m_hWnd;
}

BOOL CWnd::Create(const char*, const char* lpszWindowName, DWORD dwStyle, const CRect& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext*)
{
    CREATESTRUCT cs;
    cs.style = dwStyle;
    cs.rect = rect;
    cs.pParent = pParentWnd;
    cs.name = lpszWindowName ? lpszWindowName : "";
    cs.nID = nID;
    if (m_hWnd || !PreCreateWindow(cs))
        return FALSE;
    AttachWidget(CreateWidget(cs), true, pParentWnd ? pParentWnd->m_hWnd : nullptr);
    m_nID = cs.nID;
    m_dwStyle = cs.style;
    if (!cs.name.empty())
        SetWindowText(cs.name);
    if (!cs.rect.IsRectNull())
        MoveWindow(cs.rect, FALSE);
    if (OnCreate(&cs) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (cs.style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

int CWnd::OnCreate(CREATESTRUCT*)
{
    return 0;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    CWnd* pOld = vx::LookupWindow(hWnd);
    if (!pOld || m_hWnd)
        return FALSE;
    m_pWidget = std::exchange(pOld->m_pWidget, nullptr);
    m_bOwnsWidget = std::exchange(pOld->m_bOwnsWidget, false);
    m_hParent = pOld->m_hParent;
    m_nID = pOld->m_nID;
    m_hWnd = std::exchange(pOld->m_hWnd, nullptr);
    vx::RebindWindow(hWnd, this);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd || m_bDestroying)
        return FALSE;
    DestroyWindowImpl(true);
    return TRUE;
}

void CWnd::DestroyWindowImpl(bool bDeleteWidget)
{
    m_bDestroying = true;
    for (auto& [id, qtId] : m_timers)
        if (m_pWidget)
            m_pWidget->killTimer(qtId);
    m_timers.clear();
    OnDestroy();
    // Children after the parent's OnDestroy, each completely (a snapshot: handlers may destroy).
    for (HWND h : vx::AllWindows()) {
        CWnd* pChild = vx::LookupWindow(h);
        if (pChild && pChild->m_hParent == m_hWnd && pChild != this)
            pChild->DestroyWindow();
    }
    QWidget* frame = GetFrameWidget(); // asked while the window still has its handle
    vx::UnregisterWindow(m_hWnd);
    m_hWnd = nullptr;
    QWidget* widget = std::exchange(m_pWidget, nullptr);
    if (bDeleteWidget && m_bOwnsWidget && widget) {
        if (frame && frame != widget)
            delete frame; // an MDI child's sub-window holds the widget
        else
            delete widget;
    }
    m_bDestroying = false;
    if (!m_bInDestructor)
        PostNcDestroy();
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it)
        if (it->msg == msg) {
            auto fn = it->fn;
            return fn(wParam, lParam);
        }
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_COMMAND:
        if (lParam) { // from a child control
            OnControlNotify(LOWORD(wParam), HIWORD(wParam));
            return 0;
        }
        return ExecuteCommand(static_cast<UINT>(wParam & 0xFFFF)) ? 1 : 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wParam));
        return 0;
    case WM_PAINT:
        UpdateWindow();
        return 0;
    default:
        return 0;
    }
}

void CWnd::OnControlNotify(UINT nID, UINT nCode)
{
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        if (it->nID == nID && it->nCode == nCode) {
            auto fn = it->fn; // the handler may map again
            fn();
            return;
        }
}

void CWnd::OnClose()
{
    DestroyWindow();
}

void CWnd::OnSysCommand(UINT nID, LPARAM)
{
    QWidget* w = GetFrameWidget();
    if (!w)
        return;
    switch (nID & 0xFFF0) {
    case SC_RESTORE:
        w->showNormal();
        break;
    case SC_MAXIMIZE:
        w->showMaximized();
        break;
    case SC_MINIMIZE:
        w->showMinimized();
        break;
    case SC_CLOSE:
        SendMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}

void CWnd::OnSize(UINT, int, int)
{
}

BOOL CWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    pDC->GetClipBox(&rc);
    pDC->FillSolidRect(&rc, GetSysColor(COLOR_WINDOW));
    return TRUE;
}

void CWnd::OnPaint()
{
    CPaintDC dc(this);
}

void CWnd::OnTimer(UINT)
{
}
void CWnd::OnMouseMove(UINT, CPoint)
{
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
}
void CWnd::OnLButtonDblClk(UINT, CPoint)
{
}
void CWnd::OnRButtonDown(UINT, CPoint)
{
}
void CWnd::OnRButtonUp(UINT, CPoint)
{
}
void CWnd::OnKeyDown(UINT, UINT, UINT)
{
}
void CWnd::OnKeyUp(UINT, UINT, UINT)
{
}
void CWnd::OnChar(UINT, UINT, UINT)
{
}
void CWnd::OnSetFocus(CWnd*)
{
}
void CWnd::OnKillFocus(CWnd*)
{
}

void CWnd::GetClientRect(CRect* pRect) const
{
    *pRect = m_pWidget ? CRect(0, 0, m_pWidget->width(), m_pWidget->height()) : CRect();
}

void CWnd::GetWindowRect(CRect* pRect) const
{
    QWidget* w = GetFrameWidget();
    if (!w) {
        *pRect = CRect();
        return;
    }
    QPoint tl = w->mapToGlobal(QPoint(0, 0));
    *pRect = CRect(tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height());
}

void CWnd::MoveWindow(const CRect& rect, BOOL bRepaint)
{
    if (QWidget* w = GetFrameWidget())
        w->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    if (bRepaint)
        Invalidate();
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    QWidget* w = GetFrameWidget();
    if (!w)
        return FALSE;
    BOOL wasVisible = w->isVisible();
    switch (nCmdShow) {
    case SW_HIDE:
        w->hide();
        break;
    case SW_SHOWMAXIMIZED:
        // Without a window manager (a bare X server) only the geometry makes it fill the screen.
        if (w->isWindow() && w->screen())
            w->setGeometry(w->screen()->availableGeometry());
        w->showMaximized();
        break;
    case SW_SHOWMINIMIZED:
        w->showMinimized();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        w->showNormal();
        break;
    default:
        w->show();
        break;
    }
    if (w != m_pWidget && nCmdShow != SW_HIDE)
        m_pWidget->show();
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_pWidget && m_pWidget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return FALSE;
    BOOL wasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(bEnable != 0);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_pWidget && m_pWidget->isEnabled();
}

BOOL CWnd::IsIconic() const
{
    QWidget* w = GetFrameWidget();
    return w && w->isMinimized();
}

BOOL CWnd::IsZoomed() const
{
    QWidget* w = GetFrameWidget();
    return w && w->isMaximized();
}

void CWnd::SetWindowText(const std::string& text)
{
    if (QWidget* w = GetFrameWidget())
        w->setWindowTitle(QString::fromLatin1(text.c_str()));
}

std::string CWnd::GetWindowText() const
{
    QWidget* w = GetFrameWidget();
    return w ? w->windowTitle().toLatin1().toStdString() : std::string();
}

CWnd* CWnd::GetParent() const
{
    return vx::LookupWindow(m_hParent);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* p = GetParent(); p; p = p->GetParent())
        if (p->IsKindOf(VX_RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(p);
    return nullptr;
}

void CWnd::SetFocus()
{
    if (m_pWidget)
        m_pWidget->setFocus();
}

void CWnd::ClientToScreen(CPoint* p) const
{
    if (!m_pWidget)
        return;
    QPoint g = m_pWidget->mapToGlobal(QPoint(p->x, p->y));
    *p = CPoint(g.x(), g.y());
}

void CWnd::ScreenToClient(CPoint* p) const
{
    if (!m_pWidget)
        return;
    QPoint c = m_pWidget->mapFromGlobal(QPoint(p->x, p->y));
    *p = CPoint(c.x(), c.y());
}

void CWnd::Invalidate(BOOL bErase)
{
    InvalidateRect(nullptr, bErase);
}

void CWnd::InvalidateRect(const CRect* pRect, BOOL bErase)
{
    if (!m_pWidget)
        return;
    QRect r =
        pRect ? QRect(pRect->left, pRect->top, pRect->Width(), pRect->Height()) : m_pWidget->rect();
    *m_pInvalid += r.normalized();
    m_bEraseNeeded = m_bEraseNeeded || bErase;
    m_pWidget->update(r.normalized());
}

void CWnd::ValidateRect(const CRect* pRect)
{
    if (!pRect)
        *m_pInvalid = QRegion();
    else
        *m_pInvalid -= QRect(pRect->left, pRect->top, pRect->Width(), pRect->Height());
}

void CWnd::UpdateWindow()
{
    if (!m_pWidget)
        return;
    auto* w = dynamic_cast<vx::WndLink*>(m_pWidget);
    if (w && w->m_bPaintsImage) {
        PaintInvalid();
        m_pWidget->update();
    } else {
        m_pWidget->repaint();
    }
}

void CWnd::RedrawWindow()
{
    Invalidate(TRUE);
    UpdateWindow();
}

UINT CWnd::SetTimer(UINT nIDEvent, UINT nElapse)
{
    if (!m_pWidget)
        return 0;
    KillTimer(nIDEvent);
    m_timers[nIDEvent] = m_pWidget->startTimer(static_cast<int>(nElapse));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT nIDEvent)
{
    auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end())
        return FALSE;
    if (m_pWidget)
        m_pWidget->killTimer(it->second);
    m_timers.erase(it);
    return TRUE;
}

const QImage& CWnd::GetBackingImage() const
{
    static const QImage empty;
    EndImagePainter();
    return m_pImage ? *m_pImage : empty;
}

QPainter* CWnd::ImagePainter()
{
    EnsureBacking();
    if (!m_pImage)
        return nullptr;
    if (!m_pImagePainter) {
        m_pImagePainter = std::make_unique<QPainter>(m_pImage.get());
        m_pPainterOwner = nullptr; // a new painter: every DC sets its state up again
    }
    return m_pImagePainter.get();
}

void CWnd::EndImagePainter() const
{
    m_pImagePainter.reset();
    m_pPainterOwner = nullptr;
}

void CWnd::EnsureBacking()
{
    if (!m_pWidget)
        return;
    const qreal dpr = m_pWidget->devicePixelRatioF();
    const QSize size = m_pWidget->size().expandedTo(QSize(1, 1)) * dpr;
    if (m_pImage && m_pImage->size() == size)
        return;
    EndImagePainter();
    m_pImage = std::make_unique<QImage>(size, QImage::Format_RGB32);
    m_pImage->setDevicePixelRatio(dpr);
    m_pImage->fill(Qt::white);
    *m_pInvalid = QRegion(m_pWidget->rect());
    m_bEraseNeeded = true;
}

void CWnd::PaintInvalid()
{
    EnsureBacking();
    if (m_pInvalid->isEmpty() || m_bInPaint || !m_pImage)
        return;
    m_bInPaint = true;
    OnPaint();
    m_bInPaint = false;
    *m_pInvalid = QRegion();
    m_bEraseNeeded = false;
}

namespace {

UINT KeyFlags(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    UINT f = 0;
    if (buttons & Qt::LeftButton)
        f |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        f |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        f |= MK_CONTROL;
    return f;
}

UINT VirtualKey(int key)
{
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<UINT>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    static const std::pair<int, UINT> table[] = {
        {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE},   {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_PageDown, VK_NEXT},  {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
        {Qt::Key_Left, VK_LEFT},      {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Down, VK_DOWN},      {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
    };
    for (auto [qt, vk] : table)
        if (qt == key)
            return vk;
    return 0;
}

bool DispatchMouse(CWnd* pWnd, QMouseEvent* m, const std::function<void(UINT, CPoint)>& call)
{
    const QPoint p = m->position().toPoint();
    call(KeyFlags(m->modifiers(), m->buttons()), CPoint(p.x(), p.y()));
    (void)pWnd;
    return true;
}

} // namespace

bool vx_WndAccess::DispatchEvent(CWnd* w, QEvent* e, bool bInput)
{
    switch (e->type()) {
    case QEvent::Resize: {
        auto* r = static_cast<QResizeEvent*>(e);
        if (w->m_pImage)
            w->EnsureBacking();
        w->OnSize(w->IsIconic() ? SIZE_MINIMIZED : (w->IsZoomed() ? SIZE_MAXIMIZED : SIZE_RESTORED),
                  r->size().width(), r->size().height());
        return false;
    }
    case QEvent::Timer: {
        int qtId = static_cast<QTimerEvent*>(e)->timerId();
        for (const auto& [id, q] : w->m_timers)
            if (q == qtId) {
                w->OnTimer(id);
                return true;
            }
        return false;
    }
    case QEvent::FocusIn:
        w->OnSetFocus(nullptr);
        return false;
    case QEvent::FocusOut:
        w->OnKillFocus(nullptr);
        return false;
    default:
        break;
    }
    if (!bInput)
        return false;
    switch (e->type()) {
    case QEvent::MouseMove:
        return DispatchMouse(w, static_cast<QMouseEvent*>(e),
                             [w](UINT f, CPoint p) { w->OnMouseMove(f, p); });
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(e);
        const bool left = m->button() == Qt::LeftButton;
        const bool right = m->button() == Qt::RightButton;
        if (!left && !right)
            return false;
        return DispatchMouse(w, m, [w, e, left](UINT f, CPoint p) {
            if (e->type() == QEvent::MouseButtonPress)
                left ? w->OnLButtonDown(f, p) : w->OnRButtonDown(f, p);
            else if (e->type() == QEvent::MouseButtonRelease)
                left ? w->OnLButtonUp(f, p) : w->OnRButtonUp(f, p);
            else if (left)
                w->OnLButtonDblClk(f, p);
            else
                w->OnRButtonDown(f, p);
        });
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        const UINT vk = VirtualKey(k->key());
        const UINT repeat = k->isAutoRepeat() ? 1u : 0u;
        if (e->type() == QEvent::KeyRelease) {
            if (vk)
                w->OnKeyUp(vk, 1, repeat << 14);
            return vk != 0;
        }
        if (vk)
            w->OnKeyDown(vk, 1, repeat << 14);
        const QByteArray text = k->text().toLatin1();
        if (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
            w->OnChar(static_cast<unsigned char>(text[0]), 1, 0);
        return vk != 0 || !text.isEmpty();
    }
    default:
        return false;
    }
}

void vx_WndAccess::PaintEvent(CWnd* w, QWidget* pWidget, const QRegion& exposed)
{
    w->PaintInvalid();
    if (!w->m_pImage)
        return;
    w->EndImagePainter(); // a DC kept for live drawing begins it again at its next call
    QPainter p(pWidget);
    p.setClipRegion(exposed);
    p.drawImage(0, 0, *w->m_pImage);
}

void vx_WndAccess::PaintDirect(CWnd* w, QPainter* pPainter)
{
    w->m_pDirectPainter = pPainter;
    w->m_bInPaint = true;
    w->m_bEraseNeeded = true;
    *w->m_pInvalid = QRegion(w->m_pWidget ? w->m_pWidget->rect() : QRect());
    w->OnPaint();
    w->m_bInPaint = false;
    w->m_bEraseNeeded = false;
    *w->m_pInvalid = QRegion();
    w->m_pDirectPainter = nullptr;
}

void vx_WndAccess::WidgetGone(CWnd* w)
{
    if (!w->m_bDestroying)
        w->DestroyWindowImpl(false);
}
