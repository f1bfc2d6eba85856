#include "platform/Dialog.h"

#include "platform/FrameWnd.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"
#include "platform/base/NoMemory.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <new>
#include <utility>

VX_IMPLEMENT_CLASS(CDialog, CWnd)

namespace {
// Enter and Escape (and the title bar's close) reach OnOK and OnCancel.
class DialogWidget : public vx::WndWidgetT<QDialog>
{
public:
    using vx::WndWidgetT<QDialog>::WndWidgetT;
    void accept() override
    {
        if (auto* d = dynamic_cast<CDialog*>(CWnd::FromHandle(m_hWnd)))
            d->OnOK();
    }
    void reject() override
    {
        if (auto* d = dynamic_cast<CDialog*>(CWnd::FromHandle(m_hWnd)))
            d->OnCancel();
    }
    void Finish(int r) { QDialog::done(r); }
};

// Return and Enter in a field go on up to its dialog, which presses its default button. A desktop
// theme whose Return presses buttons (GNOME's) has a group box keep them on their way from a
// field inside it, check box or not: they are handed on past it, as with no theme. A group box
// that has the focus itself still takes them.
class CGroupBoxKeys : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        // The receiver first: an event posted by another thread, to no group box, is not read.
        auto* box = qobject_cast<QGroupBox*>(o);
        if (!box || box->hasFocus() ||
            (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease))
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        e->ignore(); // the application offers an ignored key to the parent next
        return true;
    }
};

void PassEnterPastGroupBoxes()
{
    QCoreApplication::instance()->installEventFilter(
        new CGroupBoxKeys(QCoreApplication::instance()));
}
} // namespace

// Every window of the program, dialogs made by the layer or by Qt, from the application's start.
Q_COREAPP_STARTUP_FUNCTION(PassEnterPastGroupBoxes)

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog() = default;

QWidget* CDialog::CreateWidget(const CREATESTRUCT& cs)
{
    QWidget* parent = cs.pParent ? cs.pParent->GetWidget() : nullptr;
    auto* d = new DialogWidget(parent);
    d->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    return d;
}

QDialog* CDialog::GetDialog() const
{
    return dynamic_cast<QDialog*>(GetWidget());
}

namespace {
// Wide enough that the title bar shows the whole caption beside its buttons.
void FitCaption(QDialog* d)
{
    const int caption = CFrameWnd::CaptionWidth(d->windowTitle().toLatin1().toStdString());
    if (!d->testAttribute(Qt::WA_Resized))
        d->resize(std::max(d->sizeHint().width(), caption), d->sizeHint().height());
    else if (d->width() < caption)
        d->resize(caption, d->height());
}
} // namespace

bool CDialog::MakeWindow()
{
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (!CWnd::Create(nullptr, nullptr, 0, CRect(), parent, m_nIDTemplate) || !OnInitDialog())
        return false;
    FitCaption(GetDialog());
    return true;
}

int CDialog::DoModal()
{
    // A dialog that memory ran out in, made or shown, is one cancelled.
    bool made = true;
    const int result = ShowModal(
        [this, &made] {
            made = m_hWnd || MakeWindow();
            if (!made)
                return -1;
            m_bModal = true;
            m_nResult = IDCANCEL;
            RunModalLoop(*GetDialog());
            return m_nResult;
        },
        IDCANCEL);
    m_bModal = false;
    if (made && m_hWnd)
        DestroyWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!MakeWindow())
        return FALSE;
    GetDialog()->show();
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    if (auto* d = dynamic_cast<DialogWidget*>(GetWidget())) {
        if (m_bModal)
            d->Finish(nResult);
        else
            d->hide();
    }
}

std::optional<COLORREF> PickColorWithDialog(COLORREF initial, QWidget* parent)
{
    const QColor c = ShowModal(
        [&] {
            QColorDialog dlg(QColor(GetRValue(initial), GetGValue(initial), GetBValue(initial)),
                             parent);
            return RunModalLoop(dlg) == QDialog::Accepted ? dlg.selectedColor() : QColor();
        },
        QColor());
    if (!c.isValid())
        return std::nullopt;
    return RGB(c.red(), c.green(), c.blue());
}

namespace {
// Ends a modal loop when its dialog is hidden, however it was closed (not when the desktop
// minimises it).
class CModalLoopEnd : public QObject
{
public:
    explicit CModalLoopEnd(QEventLoop& loop) : m_loop(loop) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide && !e->spontaneous())
            m_loop.exit();
        return false;
    }

private:
    QEventLoop& m_loop;
};

// The program's modal loops that run, innermost first.
class CShownModal
{
public:
    CShownModal(QEventLoop& loop, QDialog& dlg) : m_loop(loop), m_dlg(dlg), m_outer(s_innermost)
    {
        s_innermost = this;
    }
    ~CShownModal() { s_innermost = m_outer; }
    CShownModal(const CShownModal&) = delete;
    CShownModal& operator=(const CShownModal&) = delete;

    bool RanOut() const { return m_ranOut; }
    void SetRanOut() { m_ranOut = true; }

    // Ends the innermost loop as one that memory ran out in, unless a window of Qt's own loop
    // shows over its dialog; false when there is none to end.
    static bool EndInnermost() noexcept
    {
        CShownModal* m = s_innermost;
        QWidget* top = QApplication::activeModalWidget();
        if (!m || (top && !Shows(top)))
            return false;
        if (!std::exchange(m->m_ranOut, true))
            m->m_loop.exit(); // sets a flag: the loop ends once the handler has returned
        return true;
    }

private:
    static bool Shows(const QWidget* w)
    {
        for (const CShownModal* m = s_innermost; m; m = m->m_outer)
            if (&m->m_dlg == w)
                return true;
        return false;
    }
    QEventLoop& m_loop;
    QDialog& m_dlg;
    CShownModal* m_outer;
    bool m_ranOut = false;
    static inline CShownModal* s_innermost = nullptr;
};
} // namespace

bool vx::EndModalLoopForNoMemory() noexcept
{
    return CShownModal::EndInnermost();
}

int RunModalLoop(QDialog& dlg)
{
    QEventLoop loop;
    CModalLoopEnd end(loop);
    const QPointer<QDialog> alive(&dlg);
    QObject::connect(&dlg, &QObject::destroyed, &loop, &QEventLoop::quit);
    dlg.installEventFilter(&end);
    dlg.setWindowModality(Qt::ApplicationModal);
    dlg.setResult(QDialog::Rejected);
    CShownModal shown(loop, dlg);
    try {
        dlg.show();
    } catch (const std::bad_alloc&) {
        shown.SetRanOut();
    }
    if (!shown.RanOut() && dlg.isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (alive)
        dlg.removeEventFilter(&end);
    if (!shown.RanOut())
        return alive ? dlg.result() : int(QDialog::Rejected);
    // Closed as cancelled, still as the innermost loop: memory that runs out again on the way
    // ends nothing else.
    if (alive)
        dlg.hide();
    throw std::bad_alloc();
}

bool AcceptedModal(QDialog& dlg)
{
    return ShowModal([&dlg] { return RunModalLoop(dlg); }, int(QDialog::Rejected)) ==
           QDialog::Accepted;
}
