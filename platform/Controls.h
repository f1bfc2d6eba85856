#pragma once
// The controls a view puts into its own window (its control strips): the one-line edit, the
// up-down (spin) control, the push button and the check box. Each is a child CWnd made by
// Create and tells its parent what happened as WM_COMMAND (the control's id in the low word,
// the notification in the high word, its handle in lParam), which the parent binds with
// CWnd::MapControl(id, code, &C::fn):
//
//   EN_CHANGE   the edit's text changed: typed, or written with SetWindowText (every write,
//               also of the same text, as an up-down's buddy needs)
//   EN_MAXTEXT  Enter in an edit made with ES_MULTILINE | ES_WANTRETURN: such an edit is one
//               line high and takes Enter as its overflow, which is how a view receives Enter
//   BN_CLICKED  the button or check box was clicked (an automatic check box has toggled first)
//
// An up-down with UDS_SETBUDDYINT writes its position into its buddy edit (so the buddy's
// EN_CHANGE follows) and takes its position back from the buddy's text in GetPos.
#include "platform/Wnd.h"

// Notifications.
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_MAXTEXT = 0x0501;

// Styles.
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_TYPEMASK = 0x000F;

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// What the controls share: creation as a child and the notification of the parent.
class CControlWnd : public CWnd
{
public:
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
    // The extent of text in the control's font.
    CSize GetTextExtent(const std::string& text) const;
    // Sends the notification nCode to the parent.
    void NotifyParent(UINT nCode);
};

class CEdit : public CControlWnd
{
public:
    void SetWindowText(const std::string& text) override;
    std::string GetWindowText() const override;
    // Selects characters nStart up to nEnd (-1: to the end) and shows the caret there.
    void SetSel(int nStart, int nEnd);

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
};

class CSpinButtonCtrl : public CControlWnd
{
public:
    // Returns the previous buddy.
    CWnd* SetBuddy(CWnd* pWndBuddy);
    CWnd* GetBuddy() const;
    // The arrows move toward nUpper (up) and nLower (down); either may be the larger.
    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    // Returns the previous position; the position is held to the range.
    int SetPos(int nPos);
    // The position, taken first from the buddy's text when it holds a whole number.
    int GetPos();
    // One arrow click (or arrow key): a step toward the upper (bUp) or lower end.
    void Step(bool bUp);

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;

private:
    void WriteBuddy();
    int Clamp(int nPos) const;
    HWND m_hBuddy = nullptr;
    int m_nLower = 0, m_nUpper = 100, m_nPos = 0;
};

class CButton : public CControlWnd
{
public:
    using CControlWnd::Create;
    BOOL Create(const char* lpszCaption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd,
                UINT nID);
    void SetWindowText(const std::string& text) override;
    std::string GetWindowText() const override;
    int GetCheck() const;
    void SetCheck(int nCheck);

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
};
