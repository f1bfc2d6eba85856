#include "common/MessageRecorder.h"
#include "common/TypeText.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/graph/GraphDialogNames.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {
QRadioButton* Radio(CPlotStyleDlg& d, const char* text)
{
    for (QRadioButton* r : d.GetDialog()->findChildren<QRadioButton*>())
        if (r->text() == text)
            return r;
    return nullptr;
}
} // namespace

TEST(PlotStyleDialog, WideLinesAreAlwaysSolid)
{
    MessageRecorder rec;
    CPlotStyleDlg d;
    d.m_nWidth = 3;
    d.m_nLineType = 1;
    d.Create(0);
    EXPECT_FALSE(Radio(d, "Dash")->isEnabled());
    EXPECT_FALSE(Radio(d, "Dot")->isEnabled());
    EXPECT_TRUE(Radio(d, "Solid")->isChecked());
    EXPECT_FALSE(d.GetDialog()->findChild<QCheckBox*>()->isEnabled());

    Type(d.m_editWidth, "1");
    EXPECT_TRUE(Radio(d, "Dash")->isEnabled());
    Radio(d, "Dot")->setChecked(true);
    Type(d.m_editWidth, "2");
    EXPECT_FALSE(Radio(d, "Dot")->isEnabled());
    EXPECT_TRUE(Radio(d, "Solid")->isChecked());
    d.m_editWidth->clear(); // an empty field changes nothing
    QTest::keyClick(d.m_editWidth, Qt::Key_Backspace);
    EXPECT_TRUE(rec.messages.empty());

    Type(d.m_editWidth, "1");
    Radio(d, "Dot")->setChecked(true);
    d.OnOK();
    EXPECT_FALSE(d.IsWindowVisible()); // OK ended it
    EXPECT_EQ(d.m_nLineType, 2);
    EXPECT_EQ(d.m_nWidth, 1);
}

TEST(PlotStyleDialog, WidthOutOfRangeIsRefused)
{
    MessageRecorder rec;
    CPlotStyleDlg d;
    d.m_nWidth = 1;
    d.m_nLineType = 0;
    d.Create(0);
    Type(d.m_editWidth, "11");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Please enter an integer between 1 and 10.");
    d.OnOK();
    EXPECT_TRUE(d.IsWindowVisible()); // still open
    Type(d.m_editWidth, "x");
    EXPECT_EQ(rec.messages.back(), "Please enter an integer.");
}

TEST(PlotStyleDialog, ColourOnlyModeAndAnUnknownStyle)
{
    CPlotStyleDlg d;
    d.m_nMode = 3;
    d.m_nWidth = 4;
    d.m_nLineType = 1;
    d.Create(0);
    EXPECT_FALSE(d.m_editWidth->isEnabled());
    EXPECT_FALSE(Radio(d, "Solid")->isEnabled());
    d.OnOK();
    EXPECT_EQ(d.m_nLineType, 0);
    EXPECT_EQ(d.m_nWidth, 1);

    CPlotStyleDlg odd;
    odd.m_nMode = 1;
    odd.m_nWidth = 1;
    odd.m_nLineType = -1; // a stored style the dialog does not know
    odd.Create(0);
    EXPECT_TRUE(odd.GetDialog()->findChild<QCheckBox*>()->isEnabled());
    odd.OnOK();
    EXPECT_EQ(odd.m_nLineType, -1);
}

TEST(PlotStyleDialog, ColourIsTakenOnlyWhenPicked)
{
    const auto saved = CPlotStyleDlg::s_pickColor;
    COLORREF seen = 0;
    std::optional<COLORREF> answer = RGB(1, 2, 3);
    CPlotStyleDlg::s_pickColor = [&](COLORREF initial, QWidget*) {
        seen = initial;
        return answer;
    };
    CPlotStyleDlg d;
    d.m_clrColor = RGB(255, 0, 0);
    d.m_nWidth = 1;
    d.Create(0);
    QPushButton* set = nullptr;
    for (QPushButton* b : d.GetDialog()->findChildren<QPushButton*>())
        if (b->text() == "Set Color")
            set = b;
    ASSERT_NE(set, nullptr);
    answer.reset();
    set->click();
    EXPECT_EQ(seen, RGB(255, 0, 0));
    EXPECT_FALSE(d.m_bColorChanged);
    answer = RGB(1, 2, 3);
    set->click();
    EXPECT_TRUE(d.m_bColorChanged);
    EXPECT_EQ(d.m_clrNew, RGB(1, 2, 3));
    answer.reset();
    set->click(); // cancelling later keeps the earlier pick
    EXPECT_TRUE(d.m_bColorChanged);
    CPlotStyleDlg::s_pickColor = saved;
}

TEST(GraphLimitsDialog, AutoScaleAndValidation)
{
    MessageRecorder rec;
    CDS2GraphLimDlg d;
    d.m_dTMax = 6.28319;
    d.m_dVMax = 10;
    d.m_dVMin = -10;
    d.m_dVAbsMax = 10;
    d.m_dVAbsMin = -10;
    d.m_bHaveData = true;
    d.m_extents[kSlotX] = {-2, 3, true};
    d.m_extents[kSlotY] = {-50, 50, false};
    d.Create(0);
    EXPECT_TRUE(d.m_btnAutoScale->isEnabled());
    EXPECT_EQ(d.Field(1022)->text(), "6.28319");
    d.m_btnAutoScale->click();
    EXPECT_EQ(d.Field(1026)->text(), "3.25");
    EXPECT_EQ(d.Field(1024)->text(), "3.25");
    EXPECT_EQ(d.Field(1023)->text(), "-2.2625");

    Type(d.Field(1021), "-1");
    d.OnOK();
    EXPECT_TRUE(d.IsWindowVisible()); // still open
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Please enter a number between 0 and 1e+030.");
    Type(d.Field(1021), "0");
    Type(d.Field(1022), "0");
    d.OnOK();
    EXPECT_EQ(rec.messages.back(), "Please enter a number between 1e-030 and 1e+030.");
    Type(d.Field(1022), "abc");
    d.OnOK();
    EXPECT_EQ(rec.messages.back(), "Please enter a number.");
    Type(d.Field(1022), "5");
    d.OnOK();
    EXPECT_FALSE(d.IsWindowVisible()); // OK ended it
    EXPECT_EQ(d.m_dTMax, 5.0);
    EXPECT_EQ(d.m_dVAbsMin, -2.2625);
}

TEST(GraphLimitsDialog, AutoScaleNeedsDataAndCancelKeepsMembers)
{
    CDS1GraphLimDlg d;
    d.m_dVMax = 7;
    d.Create(0);
    EXPECT_FALSE(d.m_btnAutoScale->isEnabled());
    QTimer::singleShot(0, d.GetDialog(), [&] {
        d.m_bHaveData = true;
        d.OnAutoScale();
        d.OnCancel();
    });
    EXPECT_EQ(d.DoModal(), msgbox::IDCANCEL);
    EXPECT_EQ(d.m_dVMax, 11.0); // members changed; the caller copies nothing back on Cancel
}

// One box per curve of the kind; OK takes them.
TEST(GraphVariablesDialog, OneBoxPerCurveOfTheKind)
{
    for (GraphKind kind : {GraphKind::Newtonian, GraphKind::OneVariable, GraphKind::TwoVariable}) {
        CGraphVarDlg k(kind);
        k.Create(0);
        EXPECT_EQ(k.GetDialog()->findChildren<QCheckBox*>().size(), KindInfo(kind).curves.size());
    }
    CDS3GraphVarDlg d;
    for (VarSlot s : KindInfo(GraphKind::ThreeVariable).curves)
        d.m_bPlot[s] = true;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(d.Box(kSlotZp)->text(), "z' (plotz')");
        for (QCheckBox* b : d.GetDialog()->findChildren<QCheckBox*>())
            b->setChecked(false);
        d.OnOK();
    });
    EXPECT_EQ(d.DoModal(), msgbox::IDOK);
    for (bool shown : d.m_bPlot)
        EXPECT_FALSE(shown);
}
