// The controls of a view's strip, driven as a user drives them: typing, Enter, the arrows of an
// up-down and its keys, clicks on buttons and check boxes; the parent hears of each by its id.
#include "platform/Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
constexpr UINT kName = 2011, kValue = 2009, kBuddy = 2008, kSpin = 2010, kPush = 2012,
               kCheck = 2022, kAuto = 2023;

// A window with a strip of controls that records the notifications it maps, in order.
class CStripWnd : public CWnd
{
public:
    CStripWnd()
    {
        Create(nullptr, "strip", WS_VISIBLE, CRect(0, 0, 400, 100), nullptr, 0);
        name.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, CRect(10, 0, 58, 20),
                    this, kName);
        value.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(90, 0, 190, 20), this, kValue);
        buddy.Create(0, CRect(0, 0, 30, 20), this, kBuddy);
        spin.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                    CRect(60, 0, 81, 20), this, kSpin);
        spin.SetBuddy(&buddy);
        spin.SetRange(0, 100);
        push.Create("D", WS_VISIBLE | BS_PUSHBUTTON, CRect(200, 0, 220, 20), this, kPush);
        check.Create("", WS_VISIBLE | BS_CHECKBOX, CRect(230, 0, 246, 16), this, kCheck);
        autoCheck.Create("Auto", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(250, 0, 320, 16), this, kAuto);
        for (UINT id : {kName, kValue, kBuddy}) {
            Map(id, EN_CHANGE, "change");
            Map(id, EN_MAXTEXT, "enter");
        }
        for (UINT id : {kPush, kCheck, kAuto})
            Map(id, BN_CLICKED, "click");
        QApplication::processEvents();
    }
    void Map(UINT id, UINT code, const char* what)
    {
        m_names[{id, code}] = std::to_string(id) + " " + what;
        MapControl(id, code, &CStripWnd::Record);
    }
    // All mapped to one handler: the last WM_COMMAND tells which.
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == WM_COMMAND && l)
            m_last = {static_cast<UINT>(LOWORD(w)), static_cast<UINT>(HIWORD(w))};
        return CWnd::WindowProc(msg, w, l);
    }
    void Record() { heard.push_back(m_names[m_last]); }

    CEdit name, value, buddy;
    CSpinButtonCtrl spin;
    CButton push, check, autoCheck;
    std::vector<std::string> heard;

private:
    std::map<std::pair<UINT, UINT>, std::string> m_names;
    std::pair<UINT, UINT> m_last;
};

QToolButton* Arrow(CSpinButtonCtrl& spin, bool up)
{
    for (auto* b : spin.GetWidget()->findChildren<QToolButton*>())
        if (b->arrowType() == (up ? Qt::UpArrow : Qt::DownArrow))
            return b;
    return nullptr;
}
} // namespace

TEST(Controls, AnEditReportsTypingAndTakesEnterOnlyWhenItWantsReturn)
{
    CStripWnd w;
    QTest::keyClicks(w.name.GetWidget(), "af");
    QTest::keyClick(w.name.GetWidget(), Qt::Key_Return);
    QTest::keyClick(w.value.GetWidget(), Qt::Key_Return);
    EXPECT_EQ(w.heard, (std::vector<std::string>{"2011 change", "2011 change", "2011 enter"}));
    EXPECT_EQ(w.name.GetWindowText(), "af");

    // Every write notifies, also of the text it holds already.
    w.heard.clear();
    w.value.SetWindowText("3.5");
    w.value.SetWindowText("3.5");
    EXPECT_EQ(w.heard, (std::vector<std::string>{"2009 change", "2009 change"}));
    w.value.SetSel(0, -1);
    EXPECT_EQ(static_cast<QLineEdit*>(w.value.GetWidget())->selectedText(), "3.5");
    EXPECT_GT(w.value.GetTextExtent("888").cx, 0);
}

TEST(Controls, AnUpDownStepsItsBuddyWithinItsRange)
{
    struct Case
    {
        const char* buddyText; // typed into the buddy first ("" leaves it)
        int lower, upper;
        bool up;
        const char* after; // buddy text after the click; null: unchanged and not notified
    };
    const Case cases[] = {
        {"50", 0, 100, true, "51"},       {"50", 0, 100, false, "49"},
        {"100", 0, 100, true, nullptr},   {"0", 0, 100, false, nullptr},
        {"7", 10, 0, true, "6"},          {"x", 0, 100, true, "1"},
        {"1000", 0, 1000, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.buddyText) + (c.up ? " up" : " down"));
        CStripWnd w;
        w.spin.SetRange(c.lower, c.upper);
        w.spin.SetPos(0);
        w.buddy.SetWindowText(c.buddyText);
        w.heard.clear();
        QTest::mouseClick(Arrow(w.spin, c.up), Qt::LeftButton);
        if (c.after) {
            EXPECT_EQ(w.buddy.GetWindowText(), c.after);
            EXPECT_EQ(w.heard, std::vector<std::string>{"2008 change"});
            EXPECT_EQ(w.spin.GetPos(), std::stoi(c.after));
        } else {
            EXPECT_EQ(w.buddy.GetWindowText(), c.buddyText);
            EXPECT_TRUE(w.heard.empty());
        }
    }
}

TEST(Controls, AnUpDownTakesArrowKeysAndItsPositionFromTheBuddy)
{
    CStripWnd w;
    w.spin.SetPos(50);
    EXPECT_EQ(w.buddy.GetWindowText(), "50");
    QTest::keyClick(w.spin.GetWidget(), Qt::Key_Up);
    QTest::keyClick(w.spin.GetWidget(), Qt::Key_Up);
    QTest::keyClick(w.spin.GetWidget(), Qt::Key_Down);
    EXPECT_EQ(w.buddy.GetWindowText(), "51");
    w.buddy.SetWindowText("73");
    EXPECT_EQ(w.spin.GetPos(), 73);
    w.buddy.SetWindowText("250");
    EXPECT_EQ(w.spin.GetPos(), 100) << "held to the range";
    int lo = -1, hi = -1;
    w.spin.GetRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 100);
}

TEST(Controls, ButtonsAndCheckBoxesReportClicks)
{
    CStripWnd w;
    QTest::mouseClick(w.push.GetWidget(), Qt::LeftButton);
    QTest::mouseClick(w.check.GetWidget(), Qt::LeftButton);
    EXPECT_EQ(w.check.GetCheck(), BST_UNCHECKED) << "a plain check box leaves it to its parent";
    w.check.SetCheck(BST_CHECKED);
    EXPECT_EQ(w.check.GetCheck(), BST_CHECKED);
    QTest::mouseClick(w.autoCheck.GetWidget(), Qt::LeftButton);
    EXPECT_EQ(w.autoCheck.GetCheck(), BST_CHECKED);
    EXPECT_EQ(w.heard, (std::vector<std::string>{"2012 click", "2022 click", "2023 click"}));
    EXPECT_EQ(w.push.GetWindowText(), "D");
    EXPECT_EQ(w.push.GetCheck(), BST_UNCHECKED);
}

TEST(Controls, AControlWithoutAHandlerRunsNoCommand)
{
    // A control's id may equal a command's: its notifications never run the command.
    struct CCmdWnd : CStripWnd
    {
        CCmdWnd() { MapCommand(kValue, &CCmdWnd::OnCommand); }
        void OnCommand() { ++commands; }
        int commands = 0;
    } w;
    QTest::keyClick(w.value.GetWidget(), Qt::Key_Return);
    w.autoCheck.DestroyWindow();
    w.spin.SetPos(3); // the buddy's handler still runs
    EXPECT_EQ(w.commands, 0);
    EXPECT_EQ(w.heard.back(), "2008 change");
    w.SendMessage(WM_COMMAND, kValue);
    EXPECT_EQ(w.commands, 1);
}
