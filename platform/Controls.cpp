#include "platform/Controls.h"

#include "platform/Latin1.h"
#include "platform/WndWidget.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace {

template <class C> C* ControlOf(const vx::WndLink* link)
{
    return dynamic_cast<C*>(CWnd::FromHandle(link->m_hWnd));
}

QWidget* ParentWidget(const CREATESTRUCT& cs)
{
    return cs.pParent ? cs.pParent->GetWidget() : nullptr;
}

// A one-line edit; with ES_WANTRETURN it takes Enter (rather than passing it on to the view)
// and reports it as EN_MAXTEXT.
class EditWidget : public vx::WndWidgetT<QLineEdit>
{
public:
    EditWidget(QWidget* parent, bool bWantReturn) : WndWidgetT(parent), m_bWantReturn(bWantReturn)
    {
        connect(this, &QLineEdit::textEdited, this, [this] { Notify(EN_CHANGE); });
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (enter && m_bWantReturn) {
            e->accept();
            Notify(EN_MAXTEXT);
            return;
        }
        QLineEdit::keyPressEvent(e);
    }

private:
    void Notify(UINT nCode)
    {
        if (auto* edit = ControlOf<CEdit>(this))
            edit->NotifyParent(nCode);
    }
    bool m_bWantReturn;
};

// Two arrow buttons, one above the other; with UDS_ARROWKEYS the Up and Down keys step too.
class SpinWidget : public vx::WndWidget
{
public:
    SpinWidget(QWidget* parent, bool bArrowKeys) : WndWidgetT(parent)
    {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        for (bool up : {true, false}) {
            auto* b = new QToolButton(this);
            b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
            b->setAutoRepeat(true);
            b->setFocusPolicy(Qt::NoFocus);
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
            connect(b, &QToolButton::clicked, this, [this, up] { Step(up); });
            box->addWidget(b);
        }
        setFocusPolicy(bArrowKeys ? Qt::StrongFocus : Qt::NoFocus);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)
            Step(e->key() == Qt::Key_Up);
        else
            QWidget::keyPressEvent(e);
    }

private:
    void Step(bool up)
    {
        if (auto* spin = ControlOf<CSpinButtonCtrl>(this))
            spin->Step(up);
    }
};

// A check box that toggles itself only when automatic.
class CheckWidget : public vx::WndWidgetT<QCheckBox>
{
public:
    CheckWidget(QWidget* parent, bool bAuto) : WndWidgetT(parent), m_bAuto(bAuto) {}

protected:
    void nextCheckState() override
    {
        if (m_bAuto)
            QCheckBox::nextCheckState();
    }

private:
    bool m_bAuto;
};

} // namespace

// CControlWnd ----------------------------------------------------------------------------------

BOOL CControlWnd::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(nullptr, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

CSize CControlWnd::GetTextExtent(const std::string& text) const
{
    if (!GetWidget())
        return {};
    const QFontMetrics fm = GetWidget()->fontMetrics();
    return {fm.horizontalAdvance(Latin1(text)), fm.height()};
}

void CControlWnd::NotifyParent(UINT nCode)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKELPARAM(static_cast<int>(GetDlgCtrlID()), nCode),
                            reinterpret_cast<LPARAM>(m_hWnd));
}

// CEdit ----------------------------------------------------------------------------------------

QWidget* CEdit::CreateWidget(const CREATESTRUCT& cs)
{
    const bool wantReturn =
        (cs.style & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN);
    auto* w = new EditWidget(ParentWidget(cs), wantReturn);
    w->setFrame((cs.style & WS_BORDER) != 0);
    return w;
}

void CEdit::SetWindowText(const std::string& text)
{
    if (auto* w = static_cast<QLineEdit*>(GetWidget()))
        w->setText(Latin1(text));
    NotifyParent(EN_CHANGE);
}

std::string CEdit::GetWindowText() const
{
    auto* w = static_cast<QLineEdit*>(GetWidget());
    return w ? w->text().toLatin1().toStdString() : std::string();
}

void CEdit::SetSel(int nStart, int nEnd)
{
    auto* w = static_cast<QLineEdit*>(GetWidget());
    if (!w)
        return;
    const int len = static_cast<int>(w->text().size());
    const int start = std::clamp(nStart, 0, len);
    const int end = nEnd < 0 ? len : std::clamp(nEnd, start, len);
    w->setSelection(start, end - start);
}

// CSpinButtonCtrl ------------------------------------------------------------------------------

QWidget* CSpinButtonCtrl::CreateWidget(const CREATESTRUCT& cs)
{
    return new SpinWidget(ParentWidget(cs), (cs.style & UDS_ARROWKEYS) != 0);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    CWnd* old = GetBuddy();
    m_hBuddy = pWndBuddy ? pWndBuddy->GetSafeHwnd() : nullptr;
    return old;
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    return CWnd::FromHandle(m_hBuddy);
}

void CSpinButtonCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPos = Clamp(m_nPos);
}

void CSpinButtonCtrl::GetRange(int& nLower, int& nUpper) const
{
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CSpinButtonCtrl::SetPos(int nPos)
{
    const int old = m_nPos;
    m_nPos = Clamp(nPos);
    WriteBuddy();
    return old;
}

int CSpinButtonCtrl::GetPos()
{
    if (CWnd* buddy = GetBuddy(); buddy && (GetStyle() & UDS_SETBUDDYINT)) {
        const std::string text = buddy->GetWindowText();
        int value = 0;
        const char* end = text.data() + text.size();
        auto [p, ec] = std::from_chars(text.data(), end, value);
        if (ec == std::errc() && p == end && !text.empty())
            m_nPos = Clamp(value);
    }
    return m_nPos;
}

void CSpinButtonCtrl::Step(bool bUp)
{
    const int old = GetPos();
    const int dir = (m_nUpper >= m_nLower) == bUp ? 1 : -1;
    const int pos = Clamp(old + dir);
    if (pos != old) // at an end nothing moves and nothing is written
        SetPos(pos);
}

int CSpinButtonCtrl::Clamp(int nPos) const
{
    return std::clamp(nPos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
}

void CSpinButtonCtrl::WriteBuddy()
{
    if (CWnd* buddy = GetBuddy(); buddy && (GetStyle() & UDS_SETBUDDYINT))
        buddy->SetWindowText(std::to_string(m_nPos));
}

// CButton --------------------------------------------------------------------------------------

BOOL CButton::Create(const char* lpszCaption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd,
                     UINT nID)
{
    if (!CControlWnd::Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SetWindowText(lpszCaption ? lpszCaption : "");
    return TRUE;
}

QWidget* CButton::CreateWidget(const CREATESTRUCT& cs)
{
    const DWORD type = cs.style & BS_TYPEMASK;
    QAbstractButton* b = nullptr;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
        b = new CheckWidget(ParentWidget(cs), type == BS_AUTOCHECKBOX);
    else
        b = new vx::WndWidgetT<QPushButton>(ParentWidget(cs));
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QAbstractButton::clicked, b, [link = dynamic_cast<vx::WndLink*>(b)] {
        if (auto* button = ControlOf<CButton>(link))
            button->NotifyParent(BN_CLICKED);
    });
    return b;
}

void CButton::SetWindowText(const std::string& text)
{
    if (auto* b = static_cast<QAbstractButton*>(GetWidget()))
        b->setText(Latin1(text));
}

std::string CButton::GetWindowText() const
{
    auto* b = static_cast<QAbstractButton*>(GetWidget());
    return b ? b->text().toLatin1().toStdString() : std::string();
}

int CButton::GetCheck() const
{
    auto* b = static_cast<QAbstractButton*>(GetWidget());
    return b && b->isCheckable() && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck)
{
    if (auto* b = static_cast<QAbstractButton*>(GetWidget()); b && b->isCheckable())
        b->setChecked(nCheck == BST_CHECKED);
}
