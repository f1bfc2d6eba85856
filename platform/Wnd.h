#pragma once
// CWnd: a window of the program. Each CWnd owns (or, after SubclassWindow, borrows) one QWidget
// and is known to other threads only by its handle (see Messages.h). Qt's events reach the
// CWnd as calls of its virtual handlers; window messages (posted or sent) reach WindowProc,
// which runs the handlers mapped with MapMessage and otherwise DefWindowProc.
//
// Drawing: a window made by Create draws into its own backing image (at the screen's pixel
// ratio), which its paint event copies to the screen; so a CClientDC may draw at any time on
// the user-interface thread, and Invalidate/UpdateWindow repaint through OnEraseBkgnd and
// OnPaint. Only the user-interface thread touches a CWnd; other threads use its handle.
#include "platform/CmdTarget.h"
#include "platform/Ids.h"
#include "platform/Messages.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class QImage;
class QPainter;
class QRegion;
class QEvent;
class CDC;
class CFrameWnd;
struct CCreateContext;

// Window styles used by the program.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000; // frame caption shows the document title

struct CREATESTRUCT
{
    DWORD style = 0;
    CRect rect;
    CWnd* pParent = nullptr;
    std::string name;
    UINT nID = 0;
};

class CWnd : public CCmdTarget
{
    VX_DECLARE_CLASS(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The live window of a handle, or nullptr (user-interface thread).
    static CWnd* FromHandle(HWND hWnd) { return vx::LookupWindow(hWnd); }
    // The window whose widget this is (a dialog's QDialog, a view's widget), or nullptr.
    static CWnd* FromWidget(const QWidget* pWidget);
    QWidget* GetWidget() const { return m_pWidget; }
    // The widget that carries the caption and the window state (an MDI child's sub-window).
    virtual QWidget* GetFrameWidget() const;

    // Creates the window as a QWidget child of pParent (a top-level window without parent).
    virtual BOOL Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                        const CRect& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Takes over the window of an existing handle (its events now reach this object).
    BOOL SubclassWindow(HWND hWnd);
    // Destroys the window: OnDestroy here, then the child windows, then PostNcDestroy here.
    virtual BOOL DestroyWindow();

    // Messages to this window (see Messages.h).
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Geometry and state.
    void GetClientRect(CRect* pRect) const;
    void GetWindowRect(CRect* pRect) const;
    void MoveWindow(const CRect& rect, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    // The caption (a control's text, see Controls.h).
    virtual void SetWindowText(const std::string& text);
    virtual std::string GetWindowText() const;
    CWnd* GetParent() const;
    CFrameWnd* GetParentFrame() const;
    UINT GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(UINT nID) { m_nID = nID; }
    void SetFocus();
    void ClientToScreen(CPoint* pPoint) const;
    void ScreenToClient(CPoint* pPoint) const;
    // The mouse is captured by Qt while a button is held; these keep the old calls harmless.
    void SetCapture() {}
    static void ReleaseCapture() {}

    // Repainting.
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(const CRect* pRect, BOOL bErase = TRUE);
    void ValidateRect(const CRect* pRect);
    // Repaints what is invalid now, into the backing image, and shows it.
    void UpdateWindow();
    // Invalidate + UpdateWindow.
    void RedrawWindow();

    // Timers: OnTimer(nIDEvent) every nElapse milliseconds until KillTimer.
    UINT SetTimer(UINT nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT nIDEvent);

    // The picture of a window that draws into its own image (empty image otherwise).
    const QImage& GetBackingImage() const;

protected:
    // Handlers of Qt's events and of the standard messages. Defaults do the usual thing.
    virtual int OnCreate(CREATESTRUCT* pCs);
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}
    virtual void OnClose();
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnPaint();
    virtual void OnTimer(UINT nIDEvent);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Binds a window message (for example a private WM_APP message) to a handler.
    template <class T> void MapMessage(UINT msg, LRESULT (T::*fn)(WPARAM, LPARAM))
    {
        T* self = static_cast<T*>(this);
        m_messages.push_back({msg, [self, fn](WPARAM w, LPARAM l) { return (self->*fn)(w, l); }});
    }

    // Binds a notification (nCode: EN_CHANGE, BN_CLICKED ...) of the child control nID, which the
    // control sends as WM_COMMAND with its handle in lParam (see Controls.h).
    template <class T> void MapControl(UINT nID, UINT nCode, void (T::*fn)())
    {
        T* self = static_cast<T*>(this);
        m_controls.push_back({nID, nCode, [self, fn] { (self->*fn)(); }});
    }

    // Makes the widget of this window (the layer's frames and dialogs override it).
    virtual QWidget* CreateWidget(const CREATESTRUCT& cs);
    // Attaches a widget made elsewhere and registers the handle.
    void AttachWidget(QWidget* pWidget, bool bOwned, HWND hParent = nullptr);
    DWORD GetStyle() const { return m_dwStyle; }

    bool m_bSkipAutoErase = false;

private:
    friend class vx_WndAccess;
    void DestroyWindowImpl(bool bDeleteWidget);
    void EnsureBacking();
    void PaintInvalid();
    // The painter on the backing image, begun when first needed; ended before the image is
    // shown, looked at from outside or replaced, so nobody reads an image being painted.
    QPainter* ImagePainter();
    void EndImagePainter() const;

    QWidget* m_pWidget = nullptr;
    bool m_bOwnsWidget = false;
    bool m_bDestroying = false;
    bool m_bInDestructor = false;
    HWND m_hParent = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    std::map<UINT, int> m_timers; // our id -> Qt timer id
    struct MessageEntry
    {
        UINT msg;
        std::function<LRESULT(WPARAM, LPARAM)> fn;
    };
    std::vector<MessageEntry> m_messages;
    struct ControlEntry
    {
        UINT nID, nCode;
        std::function<void()> fn;
    };
    std::vector<ControlEntry> m_controls;
    void OnControlNotify(UINT nID, UINT nCode);

    // Backing image and the drawing state that CDC uses.
    std::unique_ptr<QImage> m_pImage;
    std::unique_ptr<QRegion> m_pInvalid;
    bool m_bEraseNeeded = false;
    bool m_bInPaint = false;
    QPainter* m_pDirectPainter = nullptr; // painting straight onto a borrowed widget
    mutable std::unique_ptr<QPainter> m_pImagePainter;
    int m_nPainterUsers = 0;
    mutable const void* m_pPainterOwner = nullptr;

    friend class CDC;
    friend class CPaintDC;
    friend class CClientDC;
};

// Internal bridge between Qt's widgets and CWnd (used by the layer's widget classes).
class vx_WndAccess
{
public:
    // bInput: mouse and keys go to the CWnd's handlers (drawing windows only).
    static bool DispatchEvent(CWnd* pWnd, QEvent* e, bool bInput);
    static void PaintEvent(CWnd* pWnd, QWidget* pWidget, const QRegion& exposed);
    static void PaintDirect(CWnd* pWnd, QPainter* pPainter);
    static void WidgetGone(CWnd* pWnd);
    static void SysCommand(CWnd* pWnd, UINT nID) { pWnd->OnSysCommand(nID, 0); }
};
