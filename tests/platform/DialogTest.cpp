// The dialog base: data exchange with its checks and messages, and property sheets built on it;
// every modal window with the memory reserve given back while it shows.
#include "Fixtures.h"
#include "common/MessageRecorder.h"
#include "common/NextModal.h"
#include "common/PumpUntil.h"
#include "common/TypeText.h"
#include "platform/Application.h"
#include "platform/ListChoice.h"
#include "platform/PropertyPage.h"
#include "platform/PropertySheet.h"
#include "platform/WinApp.h"
#include "platform/base/MemoryReserve.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

// One control of each kind, exchanged in this order.
class CFieldsDlg : public CDialog
{
public:
    int m_nCount = 3;
    double m_dSize = 0.5;
    std::string m_strName = "abc";
    bool m_bShown = true;
    int m_nChoice = 1;

    QLineEdit *m_editCount = nullptr, *m_editSize = nullptr, *m_editName = nullptr;
    QCheckBox* m_check = nullptr;
    QButtonGroup* m_group = nullptr;

    BOOL OnInitDialog() override
    {
        QDialog* d = GetDialog();
        auto* layout = new QVBoxLayout(d);
        for (QLineEdit** e : {&m_editCount, &m_editSize, &m_editName}) {
            *e = new QLineEdit(d);
            layout->addWidget(*e);
        }
        m_check = new QCheckBox("shown", d);
        layout->addWidget(m_check);
        m_group = new QButtonGroup(d);
        for (int i = 0; i < 3; ++i) {
            auto* r = new QRadioButton(QString::number(i), d);
            m_group->addButton(r, i);
            layout->addWidget(r);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
        QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
        layout->addWidget(buttons);
        return CDialog::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, m_editCount, m_nCount);
        DDV_MinMaxInt(pDX, m_nCount, 1, 10);
        DDX_Text(pDX, m_editSize, m_dSize);
        DDV_MinMaxDouble(pDX, m_dSize, 1e-30, 1e30);
        DDX_Text(pDX, m_editName, m_strName);
        DDV_MaxChars(pDX, m_strName, 5);
        DDX_Check(pDX, m_check, m_bShown);
        DDX_Radio(pDX, m_group, m_nChoice);
    }
};

// Runs the dialog modally with act once it is shown; a dialog that act leaves open ends with -1.
int RunModal(CDialog& d, std::function<void()> act)
{
    QTimer::singleShot(0, [&d, act] {
        QPointer<QDialog> shown = d.GetDialog();
        act();
        QTimer::singleShot(0, [shown] {
            if (shown && shown->isVisible())
                shown->done(-1);
        });
    });
    return d.DoModal();
}

} // namespace

TEST(DataExchange, LoadsTheControlsFromTheMembers)
{
    CFieldsDlg d;
    d.m_dSize = 2 * 3.141592653589793 / 20;
    d.m_nChoice = -1;
    ASSERT_TRUE(d.Create(0));
    EXPECT_EQ(d.m_editCount->text(), "3");
    EXPECT_EQ(d.m_editSize->text(), "0.314159265358979"); // 15 significant digits
    EXPECT_EQ(d.m_editName->text(), "abc");
    EXPECT_EQ(d.m_editName->maxLength(), 5); // no longer text can be typed
    EXPECT_TRUE(d.m_check->isChecked());
    EXPECT_EQ(d.m_group->checkedButton(), nullptr); // no choice checks no button

    // A text that is already there is left alone (the caret stays where it was).
    d.m_editCount->setCursorPosition(0);
    d.m_nCount = 3;
    d.m_nChoice = 2;
    d.UpdateData(FALSE);
    EXPECT_EQ(d.m_editCount->cursorPosition(), 0);
    EXPECT_EQ(d.m_group->checkedId(), 2);
    d.DestroyWindow();
}

TEST(DataExchange, TheFirstFailingFieldStopsTheExchangeWithItsMessage)
{
    struct Case
    {
        const char* count;
        const char* size;
        const char* name;
        const char* message; // empty: accepted
        int failing;         // 0 count, 1 size, 2 name
    };
    const Case cases[] = {
        {"abc", "1", "x", "Please enter an integer.", 0},
        {"2.5", "1", "x", "Please enter an integer.", 0},
        {"0", "1", "x", "Please enter an integer between 1 and 10.", 0},
        {"11", "1", "x", "Please enter an integer between 1 and 10.", 0},
        {"4", "", "x", "Please enter a number.", 1},
        {"4", "1,5", "x", "Please enter a number.", 1},
        {"4", "0", "x", "Please enter a number between 1e-030 and 1e+030.", 1},
        {"4", "-1e31", "x", "Please enter a number between 1e-030 and 1e+030.", 1},
        {"4", "2e1", "toolong", "Please enter no more than 5 characters.", 2},
        {" 10 ", "+1e30", "short", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " | " + c.size + " | " + c.name);
        MessageRecorder rec;
        CFieldsDlg d;
        ASSERT_TRUE(d.Create(0));
        d.m_editName->setMaxLength(32767); // as a text that came from elsewhere
        Type(d.m_editCount, c.count);
        Type(d.m_editSize, c.size);
        d.m_editName->setText(c.name);
        d.m_check->setChecked(false);
        d.OnOK();
        QLineEdit* edits[] = {d.m_editCount, d.m_editSize, d.m_editName};
        if (!*c.message) {
            EXPECT_TRUE(rec.messages.empty());
            EXPECT_FALSE(d.IsWindowVisible()); // OK ended the dialog
            EXPECT_EQ(d.m_nCount, 10);
            EXPECT_EQ(d.m_dSize, 1e30);
            EXPECT_FALSE(d.m_bShown);
            continue;
        }
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0], c.message);
        EXPECT_TRUE(d.IsWindowVisible()); // the dialog stays open
        QLineEdit* failing = edits[c.failing];
        EXPECT_EQ(d.GetDialog()->focusWidget(), failing);
        EXPECT_EQ(failing->selectedText(), failing->text());
        EXPECT_TRUE(d.m_bShown); // nothing after the failing field was read
        if (c.failing > 0) {
            EXPECT_EQ(d.m_nCount, 4); // the fields before it keep their new values
        }
        d.DestroyWindow();
    }
}

TEST(DataExchange, ModalOkAndCancel)
{
    MessageRecorder rec;
    CFieldsDlg d;
    const int result = RunModal(d, [&] {
        Type(d.m_editCount, "12");
        d.OnOK(); // refused: the dialog stays
        Type(d.m_editCount, "7");
        QTest::keyClick(d.m_editCount, Qt::Key_Return); // the default button
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(d.m_nCount, 7);
    EXPECT_EQ(rec.messages.size(), 1u);

    CFieldsDlg cancelled;
    const int second = RunModal(cancelled, [&] {
        Type(cancelled.m_editCount, "9");
        QTest::keyClick(cancelled.m_editCount, Qt::Key_Escape);
    });
    EXPECT_EQ(second, IDCANCEL);
    EXPECT_EQ(cancelled.m_nCount, 3); // nothing read back
}

namespace {

// A page with one integer in a range; it counts its activations and what the sheet tells it.
class CCountPage : public CPropertyPage
{
public:
    CCountPage(std::string caption, int lo, int hi)
        : CPropertyPage(0, std::move(caption)), m_nLo(lo), m_nHi(hi)
    {
    }
    int m_nValue = 0;
    int m_nSetActive = 0, m_nOK = 0, m_nCancel = 0;
    QLineEdit* m_edit = nullptr;

    BOOL OnInitDialog() override
    {
        auto* layout = new QVBoxLayout(GetWidget());
        m_edit = new QLineEdit(GetWidget());
        layout->addWidget(m_edit);
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        ++m_nSetActive;
        return CPropertyPage::OnSetActive();
    }
    void OnOK() override { ++m_nOK; }
    void OnCancel() override { ++m_nCancel; }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, m_edit, m_nValue);
        DDV_MinMaxInt(pDX, m_nValue, m_nLo, m_nHi);
    }

private:
    int m_nLo, m_nHi;
};

class CTwoPageSheet : public CPropertySheet
{
public:
    CTwoPageSheet() : CPropertySheet("Two Pages")
    {
        AddPage(&m_first);
        AddPage(&m_second);
    }
    CCountPage m_first{"First", 30, 100000};
    CCountPage m_second{"Second", 1, 100000};
};

QDialogButtonBox* Buttons(CPropertySheet& s)
{
    return s.GetDialog()->findChild<QDialogButtonBox*>();
}

} // namespace

TEST(PropertySheet, OpensOnTheChosenPageWithOkAndCancelOnly)
{
    for (int start : {0, 1}) {
        CTwoPageSheet s;
        s.m_first.m_nValue = 50;
        s.m_second.m_nValue = 7;
        s.SetActivePage(start);
        ASSERT_TRUE(s.Create(0));
        EXPECT_EQ(s.GetWindowText(), "Two Pages");
        EXPECT_EQ(s.GetActiveIndex(), start);
        EXPECT_EQ(s.GetTabControl()->currentIndex(), start);
        EXPECT_EQ(s.GetTabControl()->tabText(1), "Second");
        // Every page has its window, so the sheet takes the largest; the page shown shows its
        // member.
        CCountPage* shown = start == 0 ? &s.m_first : &s.m_second;
        CCountPage* other = start == 0 ? &s.m_second : &s.m_first;
        EXPECT_NE(shown->GetSafeHwnd(), nullptr);
        EXPECT_NE(other->GetSafeHwnd(), nullptr);
        EXPECT_EQ(shown->m_edit->text(), start == 0 ? "50" : "7");
        EXPECT_EQ(Buttons(s)->buttons().size(), 2); // no Apply
        EXPECT_NE(Buttons(s)->button(QDialogButtonBox::Ok), nullptr);
        EXPECT_NE(Buttons(s)->button(QDialogButtonBox::Cancel), nullptr);
        s.DestroyWindow();
    }
}

TEST(PropertySheet, APageWithABadValueIsNotLeftAndALaterVisitReloadsIt)
{
    MessageRecorder rec;
    CTwoPageSheet s;
    s.m_first.m_nValue = 50;
    s.m_second.m_nValue = 5;
    ASSERT_TRUE(s.Create(0));
    Type(s.m_first.m_edit, "29");
    s.GetTabControl()->setCurrentIndex(1); // a click on the second tab
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Please enter an integer between 30 and 100000.");
    EXPECT_EQ(s.GetActiveIndex(), 0);
    EXPECT_EQ(s.GetTabControl()->currentIndex(), 0);

    s.OnOK(); // OK asks the shown page too
    EXPECT_EQ(rec.messages.size(), 2u);
    EXPECT_TRUE(s.IsWindowVisible());
    EXPECT_EQ(s.m_first.m_nOK, 0);

    Type(s.m_first.m_edit, "60");
    s.m_second.m_nValue = 6; // changed after the page was made: its first showing loads it
    EXPECT_TRUE(s.SetActivePage(1));
    EXPECT_EQ(s.m_second.m_edit->text(), "6");
    EXPECT_EQ(s.m_first.m_nValue, 60);
    EXPECT_EQ(s.GetActivePage(), &s.m_second);
    // A later activation reloads the page: its member may have changed behind it.
    s.m_first.m_nValue = 70;
    s.SetActivePage(0);
    EXPECT_EQ(s.m_first.m_edit->text(), "70");
    EXPECT_EQ(s.m_first.m_nSetActive, 2);
    EXPECT_EQ(s.m_second.m_nSetActive, 1);
    s.DestroyWindow();
}

TEST(PropertySheet, OkAndCancelReachEveryPageThatWasShown)
{
    struct Case
    {
        bool ok;
        bool visitSecond;
        int result;
    };
    for (const Case& c :
         {Case{true, true, IDOK}, Case{true, false, IDOK}, Case{false, true, IDCANCEL}}) {
        SCOPED_TRACE(std::to_string(c.ok) + std::to_string(c.visitSecond));
        CTwoPageSheet s;
        s.m_first.m_nValue = 50;
        s.m_second.m_nValue = 5;
        const int result = RunModal(s, [&] {
            if (c.visitSecond) {
                s.SetActivePage(1);
                Type(s.m_second.m_edit, "8");
            }
            QWidget* focus = c.visitSecond ? s.m_second.m_edit : s.m_first.m_edit;
            QTest::keyClick(focus, c.ok ? Qt::Key_Return : Qt::Key_Escape);
        });
        EXPECT_EQ(result, c.result);
        const int told = c.ok ? s.m_first.m_nOK : s.m_first.m_nCancel;
        const int toldSecond = c.ok ? s.m_second.m_nOK : s.m_second.m_nCancel;
        EXPECT_EQ(told, 1);
        EXPECT_EQ(toldSecond, c.visitSecond ? 1 : 0);
        EXPECT_EQ(s.m_second.m_nValue, c.ok && c.visitSecond ? 8 : 5);
    }
}

namespace {
// Memory runs out where the dialog is made, or while it shows.
class CNoMemoryDlg : public CDialog
{
public:
    explicit CNoMemoryDlg(bool bShown) : m_bShown(bShown) {}
    BOOL OnInitDialog() override
    {
        if (!m_bShown)
            throw std::bad_alloc();
        QTimer::singleShot(0, [] { throw std::bad_alloc(); });
        return CDialog::OnInitDialog();
    }
    bool m_bShown;
};
} // namespace

// A modal window needs memory of its own to show, where there may be none: each gives the memory
// reserve back while it shows, as a message box does, and the reserve is taken again after.
TEST(ModalWindows, ShowWithTheMemoryReserveGivenBack)
{
    TestApp(); // the printer's
    CTestView view;
    ASSERT_TRUE(view.Create(nullptr, "view", 0, CRect(0, 0, 200, 150), nullptr, 0));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"dialog", [] { CFieldsDlg().DoModal(); }},
        {"property sheet", [] { CTwoPageSheet().DoModal(); }},
        {"file dialog", [] { AfxPromptFileName(false, "Save As", "Any (*)"); }},
        {"colour", [] { PickColorWithDialog(RGB(1, 2, 3), nullptr); }},
        {"list",
         [] {
             vx::ChooseFromList(nullptr, "New", "&New", {"a", "b"}, 0);
         }},
        {"print", [&view] { view.ExecuteCommand(ID_FILE_PRINT); }},
        {"print preview", [&view] { view.ExecuteCommand(ID_FILE_PRINT_PREVIEW); }},
        {"print setup", [] { TestApp().OnFilePrintSetup(); }},
    };
    TakeMemoryReserve();
    MessageRecorder boxes;
    for (const auto& [name, open] : cases) {
        SCOPED_TRACE(name);
        std::string shown;
        bool held = true, heldAfterBox = true;
        OnNextModal([&](QWidget* w) {
            shown = w->metaObject()->className();
            held = MemoryReserveHeld();
            ShowMessageBox("over it"); // a box over the window leaves it without the reserve
            heldAfterBox = MemoryReserveHeld();
            qobject_cast<QDialog*>(w)->reject();
        });
        open();
        EXPECT_NE(shown, "");
        EXPECT_FALSE(held);
        EXPECT_FALSE(heldAfterBox);
        EXPECT_TRUE(MemoryReserveHeld());
    }
    GiveBackMemoryReserve();
}

// A dialog that memory runs out in is one cancelled, and the user is told.
TEST(ModalWindows, ADialogThatMemoryRanOutInIsCancelledWithTheMessage)
{
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "made");
        MessageRecorder boxes;
        CNoMemoryDlg d(shown);
        EXPECT_EQ(d.DoModal(), IDCANCEL);
        EXPECT_EQ(d.GetSafeHwnd(), nullptr);
        EXPECT_EQ(boxes.messages, std::vector<std::string>{"Not enough memory to go on."});
    }
}

// Memory that runs out in a handler where no window of the program's own loop shows: the user
// is told once, after, however often it ran out; a dialog in Qt's own loop is closed as
// cancelled first.
TEST(ModalWindows, MemoryThatRunsOutOutsideTheProgramsLoopsIsToldOnceAfter)
{
    const std::vector<std::string> once{"Not enough memory to go on."};
    MessageRecorder boxes;
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    EXPECT_TRUE(PumpUntil([&] { return !boxes.messages.empty(); }));
    EXPECT_EQ(boxes.messages, once);

    boxes.messages.clear();
    QDialog dlg;
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_TRUE(PumpUntil([&] { return !boxes.messages.empty(); }));
    EXPECT_EQ(boxes.messages, once);

    // Over a window of the program's own loop, only the dialog of Qt's loop closes.
    boxes.messages.clear();
    QDialog outer, inner;
    bool outerShown = false;
    OnNextModal([&](QWidget*) {
        QTimer::singleShot(0, [] { throw std::bad_alloc(); });
        QTimer::singleShot(5000, &inner, &QDialog::reject); // were it left open
        EXPECT_EQ(inner.exec(), QDialog::Rejected);
        EXPECT_TRUE(PumpUntil([&] { return !boxes.messages.empty(); }));
        outerShown = outer.isVisible();
        outer.reject();
    });
    int result = -1;
    EXPECT_NO_THROW(result = RunModalLoop(outer));
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(outerShown);
    EXPECT_EQ(boxes.messages, once);
}

// The dialog that memory ran out in, gone before the user was told, leaves no mark: a shortage
// told later over a dialog at its address (here the same one again) closes nothing.
TEST(ModalWindows, TheMessageClosesOnlyTheDialogMemoryRanOutIn)
{
    MessageRecorder boxes;
    QDialog dlg;
    QTimer::singleShot(0, [&dlg] {
        QMetaObject::invokeMethod(&dlg, &QDialog::accept, Qt::QueuedConnection);
        throw std::bad_alloc();
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(PumpUntil([&] { return boxes.messages.size() == 1; }));
    QTimer::singleShot(0, [&dlg] {
        std::thread([] { vx::MemoryRanOutInHandler(); }).join();
        QMetaObject::invokeMethod(&dlg, &QDialog::accept, Qt::QueuedConnection); // once told
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(boxes.messages, std::vector<std::string>(2, "Not enough memory to go on."));
    GiveBackMemoryReserve();
}

// A message box that memory runs out in is closed, answers as one closed without a button, and
// the user is told in a box of its own once it has closed, which stays until it is answered
// though memory runs out in it too.
TEST(ModalWindows, ABoxThatMemoryRanOutInIsClosed)
{
    const MessageBoxHook old = SetMessageBoxHook({});
    InstallMessageBoxHook();
    std::vector<std::string> shown;
    bool answered = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&shown, &answered] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        const std::string text = box->text().toStdString();
        if (shown.empty() || shown.back() != text) {
            shown.push_back(text);
            QTimer::singleShot(0, [] { throw std::bad_alloc(); });
        } else if (shown.size() == 2 && !answered) {
            answered = true;
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(5);
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO), IDNO);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"Go on?", "Not enough memory to go on."}));
    EXPECT_TRUE(answered);
    SetMessageBoxHook(old);
    GiveBackMemoryReserve();
}
