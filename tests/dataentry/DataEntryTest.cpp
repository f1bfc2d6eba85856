// The data-entry window: placement by document number, caption, tool window, its edit; the
// window of real documents.
#include "model/ModelFixture.h"

#include "dataentry/DataEntry.h"
#include "platform/Help.h"
#include "platform/Resources.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(DataEntry, PlacedByDocumentNumber)
{
    struct Case
    {
        int n, width, fontHeight;
        CRect expected;
    };
    const Case cases[] = {
        {1, 1000, 20, CRect(730, 45, 940, 65)},
        {2, 1000, 20, CRect(720, 50, 930, 70)}, // 5 lower, 10 further left
        {3, 800, 16, CRect(510, 55, 720, 71)},
        {1, 1000, 0, CRect(730, 45, 940, 77)}, // no font known: 32 pixels
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDataEntry::PlaceFor(c.n, c.width, c.fontHeight), c.expected) << c.n;
}

TEST(DataEntry, CaptionedToolWindowWithItsEdit)
{
    auto* entry = new CDataEntry(nullptr, SystemKind::TwoVariable);
    ASSERT_TRUE(entry->CreateEntry("DS2-1 Set name=value", CRect(100, 50, 300, 70), nullptr));
    const HWND h = entry->GetSafeHwnd();
    EXPECT_EQ(entry->GetWindowText(), "DS2-1 Set name=value");
    EXPECT_TRUE(entry->IsWindowVisible());
    const Qt::WindowFlags flags = entry->GetFrameWidget()->windowFlags();
    EXPECT_TRUE(flags & Qt::Tool);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    ASSERT_NE(entry->Edit().GetEdit(), nullptr);
    entry->DestroyWindow(); // the object goes with its window
    EXPECT_FALSE(IsWindow(h));
}

// The window of real documents in the main frame: numbering, placement, Enter, the colour
// dialog, Up and help.
namespace {

QLineEdit* LineOf(CDynSys* doc)
{
    auto* entry = dynamic_cast<CDataEntry*>(doc->DataEntry());
    return entry ? entry->Edit().GetEdit() : nullptr;
}

// Types the line into the document's window and presses Enter.
QLineEdit* Type(CDynSys* doc, const char* line)
{
    QLineEdit* edit = LineOf(doc);
    edit->clear();
    QTest::keyClicks(edit, line);
    QTest::keyClick(edit, Qt::Key_Return);
    return edit;
}

QRect Placed(CDynSys* doc)
{
    return doc->DataEntry()->GetFrameWidget()->geometry();
}

} // namespace

TEST_F(ModelTest, DataEntryWindowsAreNumberedAndPlacedPerKind)
{
    CDynSys* n = NewDoc(SystemKind::Newtonian);
    CDynSys* one = NewDoc(SystemKind::OneVariable);
    EXPECT_EQ(n->DataEntry()->GetWindowText(), "NS1-1 Set name=value");
    EXPECT_EQ(one->DataEntry()->GetWindowText(), "DS1-1 Set name=value");
    EXPECT_EQ(Placed(n), Placed(one));
    EXPECT_GE(LineOf(n)->height(), LineOf(n)->minimumSizeHint().height()); // no letter cut

    CDynSys* a = NewDoc(SystemKind::TwoVariable);
    CDynSys* b = NewDoc(SystemKind::TwoVariable);
    EXPECT_EQ(Placed(b).topLeft(), Placed(a).topLeft() + QPoint(-10, 5));
    EXPECT_GE(Placed(a).width(), 210); // wider where its caption needs it
    a->OnCloseDocument();
    CDynSys* c = NewDoc(SystemKind::TwoVariable);
    EXPECT_EQ(c->DataEntry()->GetWindowText(), "DS2-2 Set name=value");
    EXPECT_EQ(Placed(c), Placed(b));
}

TEST_F(ModelTest, EnterSetsAsksAndRefusesInTheWindow)
{
    CDynSys* doc = NewDoc(SystemKind::TwoVariable);
    CHookView* view = FirstView(doc);
    QLineEdit* edit = Type(doc, "TMAX=");
    EXPECT_EQ(edit->text(), "tmax=6.28319");
    EXPECT_EQ(edit->selectedText(), edit->text());
    EXPECT_FALSE(doc->IsModified());
    if (const char* dir = std::getenv("VELTRIX_SHOTS")) // the offscreen platform draws no caption
        doc->DataEntry()->GetFrameWidget()->grab().save(QString(dir) + "/data-entry.png");

    view->m_hints.clear();
    Type(doc, "tmax=3");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(doc->m_dGraphTMax, 3);
    EXPECT_EQ(view->m_hints, std::vector<LPARAM>{HINT_GRAPH_LIMITS});
    EXPECT_TRUE(doc->IsModified());

    Type(doc, "gl=9");
    EXPECT_EQ(m_messages, std::vector<std::string>{"value out of range"});
    EXPECT_EQ(edit->text(), "gl=9");
    EXPECT_EQ(edit->selectedText(), "gl=9");

    // An equation longer than the line is refused, not cut to another one.
    std::string longRate = "x'=";
    while (longRate.size() < 130)
        longRate += "x+";
    Type(doc, (longRate + "100*x").c_str());
    EXPECT_EQ(m_messages.back(), "Please enter no more than 132 characters.");
    EXPECT_EQ(doc->m_strXRate, "a*x+b*y");
}

TEST_F(ModelTest, ColourKeyOpensTheDialogOnTheCurrentColour)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    CHookView* view = FirstView(doc);
    const auto saved = CDataEntry::s_pickColor;
    std::optional<COLORREF> answer = RGB(10, 20, 30);
    COLORREF started = 0;
    CDataEntry::s_pickColor = [&](COLORREF initial, QWidget*) {
        started = initial;
        return answer;
    };
    doc->m_clrSection[2] = RGB(5, 6, 7);
    view->m_hints.clear();
    Type(doc, "os3clr=");
    EXPECT_EQ(started, RGB(5, 6, 7));
    EXPECT_EQ(doc->m_clrSection[2], RGB(10, 20, 30));
    EXPECT_EQ(view->m_hints, std::vector<LPARAM>{HINT_PLOT_STYLE});

    doc->SetModifiedFlag(FALSE);
    answer.reset();
    QLineEdit* edit = Type(doc, "x''nclr=");
    EXPECT_EQ(doc->m_clrNullcline2, RGB(0, 0, 255));
    EXPECT_EQ(edit->text(), "");
    EXPECT_FALSE(doc->IsModified());
    CDataEntry::s_pickColor = saved;
}

TEST_F(ModelTest, UpPastesAndHelpAnswersTheWindowsTopic)
{
    CDynSys* doc = NewDoc(SystemKind::ThreeVariable);
    QLineEdit* edit = LineOf(doc);
    QApplication::clipboard()->setText("rtl=30");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "rtl=30");
    EXPECT_EQ(doc->DataEntry()->SendMessage(WM_HELPHITTEST), 0x507D1);
    vx::res::RegisterHelpTopic(0x507D1, {"Data entry", "<p>name=value</p>"});
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(vx::help::ShownTopic(), 0x507D1u);
    vx::help::Close();
}
