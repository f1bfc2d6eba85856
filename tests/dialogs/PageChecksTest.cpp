// What each page refuses when it is left, and what it shows while the user types.
#include "tests/dialogs/SheetFixture.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using Edit = QLineEdit* (*)(SheetFixture&);
using Prepare = void (*)(CModelCore&);

struct LeaveCase
{
    const char* what;
    SystemKind kind;
    int page;
    Edit edit;
    const char* text;
    const char* message; // "" when the page lets go
    Prepare prepare = nullptr;
};

const Edit CC = [](SheetFixture& f) { return f.Time().m_editChrononsPerCycle; };
const Edit AF = [](SheetFixture& f) { return f.Time().m_editAngFreq; };
const Edit Per = [](SheetFixture& f) { return f.Time().m_editPeriod; };
const Edit PA = [](SheetFixture& f) { return f.Time().m_editPhase; };
const Edit XDel = [](SheetFixture& f) { return f.Time().m_editDelay[0]; };
const Edit ZDel = [](SheetFixture& f) { return f.Time().m_editDelay[2]; };
const Edit RTL = [](SheetFixture& f) { return f.Time().m_editRunTimeLimit; };
const Edit ParamA = [](SheetFixture& f) { return f.Space().m_editParam[0]; };
const Edit ParamC = [](SheetFixture& f) { return f.Space().m_editParam[2]; };
const Edit Eq0 = [](SheetFixture& f) { return f.Space().m_editEquation[0]; };
const Edit Eq1 = [](SheetFixture& f) { return f.Space().m_editEquation[1]; };
const Edit Rows = [](SheetFixture& f) { return f.Table().m_editRows; };
const Edit TI = [](SheetFixture& f) { return f.Table().m_editInterval; };
const Edit Obj0 = [](SheetFixture& f) { return f.Object().m_editValue[0]; };
const Edit Obj1 = [](SheetFixture& f) { return f.Object().m_editValue[1]; };

const Prepare TenthInterval = [](CModelCore& m) { m.m_nTableInterval = 10; };
const Prepare VectorFieldOpen = [](CModelCore& m) { m.m_nOpenViews[7] = 1; };
const Prepare AxisFrom2 = [](CModelCore& m) { m.m_dGraphTMin = 2; };

const char* const kBadParamC = "Enter a valid parameter in the parameter C\nbox.  For help on "
                               "what constitutes a valid\nparameter, see the Function "
                               "Parameters\nsection of the Help documentation.";
const char* const kBanned = "Use of delayed variables is incompatible with \nThe vector field "
                            "view.  All vector field views\nmust be closed before delayed "
                            "variables can be\ninvoked.";

constexpr SystemKind N = SystemKind::Newtonian, K1 = SystemKind::OneVariable,
                     K2 = SystemKind::TwoVariable, K3 = SystemKind::ThreeVariable;

const LeaveCase kLeaveCases[] = {
    {"c/c below its range", N, 0, CC, "25", "Please enter an integer between 30 and 100000."},
    {"c/c not a multiple of ti", N, 0, CC, "45",
     "Number of chronons per cycle must be integral multiple\nof the table interval = 10",
     TenthInterval},
    {"c/c a multiple of ti", K2, 0, CC, "50", "", TenthInterval},
    {"per of 0", N, 0, Per, "0", "Please enter a number between 1e-030 and 1e+030."},
    {"af of 0", K1, 0, AF, "0", "Please enter a number between 1e-030 and 6.28318530717959e+030."},
    {"pa past pi", K2, 0, PA, "3.1416", "Please enter a number between -3.1415926 and 3.1415926."},
    {"pa of eight decimals, three variables", K3, 0, PA, "-3.14159265",
     "Please enter a number between -3.1415926 and 3.1415926."},
    {"pa of eight decimals, Newtonian", N, 0, PA, "3.14159265",
     "Please enter a number between -3.1415926 and 3.1415926."},
    {"pa of eight decimals, one variable", K1, 0, PA, "3.14159265", ""},
    {"pa past eight decimals, one variable", K1, 0, PA, "-3.1415927",
     "Please enter a number between -3.14159265 and 3.14159265."},
    {"pa of seven decimals", K2, 0, PA, "-3.1415926", ""},
    {"delay of 0", K1, 0, XDel, "0", "Please enter an integer between 1 and 100000."},
    {"z delay past its range", K3, 0, ZDel, "100001",
     "Please enter an integer between 1 and 100000."},
    {"delay not a number", N, 0, XDel, "x", "Please enter an integer."},
    {"empty run time", N, 0, RTL, "", "Please enter a number."},
    {"run ending where the axis starts", K2, 0, RTL, "2",
     "Please enter a number between 2 and 1e+030.", AxisFrom2},
    {"parameter not an expression", N, 1, ParamC, "2*(", kBadParamC},
    {"parameter of no finite value", K3, 1, ParamC, "1/0", kBadParamC},
    {"parameter reading x", K1, 1, ParamA, "x", ""},
    {"bad force", N, 1, Eq1, "-b*",
     "Enter a valid function in the Restoring Force\nbox.  For help on what constitutes a "
     "valid\nfunction, see the Functions section of\nthe Help documentation."},
    {"bad y rate", K2, 1, Eq1, "c*y+",
     "Enter a valid function in the y rate of change\nbox.  For help on what constitutes a "
     "valid\nfunction, see the Functions section of\nthe Help documentation."},
    {"delayed force with a vector field", N, 1, Eq0, "a*x:", kBanned, VectorFieldOpen},
    {"delayed force without one", N, 1, Eq0, "a*x:", ""},
    {"delayed parameter, then the rate", K1, 1, ParamA, "x:", kBanned, VectorFieldOpen},
    {"delayed rate of three variables", K3, 1, Eq1, "x:*y", "", VectorFieldOpen},
    {"equation over 132 characters", K1, 1, Eq0, nullptr,
     "Please enter no more than 132 characters."},
    {"rows below their range", N, 2, Rows, "25", "Please enter an integer between 30 and 1000000."},
    {"ti past c/c", K2, 2, TI, "101", "Please enter an integer between 1 and 100."},
    {"ti not dividing c/c", N, 2, TI, "7",
     "Table interval must divide evenly into the number of\nchronons per cycle = 100"},
    {"mass of 0", N, 3, Obj0, "0", "Please enter a number between 1e-030 and 1e+030."},
    {"mass of 1e-30", N, 3, Obj0, "1e-30", ""},
    {"initial value of -1e30", K3, 3, Obj1, "-1e30", ""},
    {"initial value of -2e30", K2, 3, Obj1, "-2e30",
     "Please enter a number between -1e+030 and 1e+030."},
};

} // namespace

TEST(PropertyPages, LeavingChecksEachField)
{
    for (const LeaveCase& c : kLeaveCases) {
        SCOPED_TRACE(c.what);
        SheetFixture f(c.kind, c.prepare);
        ASSERT_TRUE(f.Go(c.page));
        QLineEdit* edit = c.edit(f);
        if (c.text) {
            Type(edit, c.text);
        } else { // pasted from elsewhere: longer than typing allows
            edit->setMaxLength(200);
            edit->setText(QString(133, 'x'));
        }
        f.messages.messages.clear();
        const bool left = f.Go((c.page + 1) % 4);
        if (*c.message == '\0') {
            EXPECT_TRUE(left);
            EXPECT_TRUE(f.messages.messages.empty());
            continue;
        }
        EXPECT_FALSE(left);
        ASSERT_EQ(f.messages.messages.size(), 1u);
        EXPECT_EQ(f.messages.messages[0], c.message);
        EXPECT_EQ(f.sheet->GetActiveIndex(), c.page);
        EXPECT_FALSE(f.Ok().has_value()); // OK keeps the sheet open too
    }
}

TEST(PropertyPages, ValuesLoadedUnchangedAreNeverRefused)
{
    // What data entry and files may leave in a model: the extreme frequency (its period lies
    // past the period's own range), the phase as data entry rounds it, a long equation text.
    SheetFixture f(SystemKind::OneVariable, [](CModelCore& m) {
        m.m_dAngFreq = 1e-30;
        m.m_dPeriod = kTwoPi / 1e-30;
        m.m_dPhase = 3.141593;
        for (m.m_strXRate = "a*x"; m.m_strXRate.size() < 143;)
            m.m_strXRate += "+1";
        m.m_nTableInterval = 0; // a damaged file: counts as 1, never divides by 0
    });
    for (int page : {1, 2, 3, 0})
        EXPECT_TRUE(f.Go(page));
    Type(f.Time().m_editChrononsPerCycle, "45");
    EXPECT_EQ(f.doc.m_nChrononsPerCycle, 45);
    const auto discarded = f.Ok();
    EXPECT_TRUE(f.messages.messages.empty());
    ASSERT_TRUE(discarded.has_value());
    EXPECT_EQ(f.doc.m_dPeriod, kTwoPi / 1e-30); // exactly, not its 15-digit text
    EXPECT_EQ(f.doc.m_strXRate.size(), 143u);
}

// The phase that data entry stores (pi rounded to six places) passes every page untouched,
// though it lies past the seven decimals those pages take typed.
TEST(PropertyPages, AStoredPhaseIsNeverRefused)
{
    for (SystemKind kind : {N, K1, K2, K3}) {
        SCOPED_TRACE(static_cast<int>(kind));
        SheetFixture f(kind, [](CModelCore& m) { m.m_dPhase = -3.141593; });
        EXPECT_TRUE(f.Go(1));
        EXPECT_TRUE(f.Ok().has_value());
        EXPECT_TRUE(f.messages.messages.empty());
        EXPECT_EQ(f.doc.m_dPhase, -3.141593);
    }
}

TEST(PropertyPages, DerivedValuesFollowTheTyping)
{
    SheetFixture f(SystemKind::TwoVariable, [](CModelCore& m) { m.m_nXDelay = 5; });
    CTimePage& t = f.Time();
    EXPECT_EQ(t.m_stcChrononSize->text(), "0.0628319");
    EXPECT_EQ(t.m_stcDelayTime[0]->text(), "0.314159");

    Type(t.m_editChrononsPerCycle, "3"); // still typing: nothing moves
    EXPECT_EQ(f.doc.m_nChrononsPerCycle, 100);
    EXPECT_EQ(t.m_stcChrononSize->text(), "0.0628319");
    QTest::keyClicks(t.m_editChrononsPerCycle, "0");
    EXPECT_EQ(f.doc.m_nChrononsPerCycle, 30); // at once, in the document
    EXPECT_EQ(t.m_stcChrononSize->text(), "0.20944");
    EXPECT_EQ(t.m_stcDelayTime[0]->text(), "1.0472");

    Type(t.m_editAngFreq, "2");
    QTest::keyClicks(t.m_editAngFreq, "e");
    EXPECT_EQ(t.m_editPeriod->text(), "3.14159265358979"); // as 2 left it
    QTest::keyClicks(t.m_editAngFreq, "1");
    EXPECT_EQ(t.m_editPeriod->text(), "0.314159265358979");
    EXPECT_EQ(t.m_editAngFreq->text(), "2e1"); // not rewritten from the period

    Type(t.m_editPeriod, "1");
    QTest::keyClicks(t.m_editPeriod, ".");
    EXPECT_EQ(t.m_editAngFreq->text(), "6.28318530717959");
    Type(t.m_editDelay[1], "30");
    EXPECT_EQ(t.m_stcDelayTime[1]->text(), "1");

    ASSERT_TRUE(f.Go(2));
    CTablePage& tab = f.Table();
    EXPECT_EQ(tab.m_stcTableSize->text(), "391"); // 10000 rows of 40 bytes
    Type(tab.m_editRows, "25");
    EXPECT_EQ(tab.m_stcTableSize->text(), "391");
    Type(tab.m_editRows, "2500");
    EXPECT_EQ(tab.m_stcTableSize->text(), "98");
    Type(tab.m_editInterval, "3"); // 30 chronons per cycle now
    EXPECT_EQ(f.doc.m_nTableInterval, 3);
    Type(tab.m_editInterval, "31");
    EXPECT_EQ(f.doc.m_nTableInterval, 3);
}

TEST(PropertyPages, ImportedDataChoosesTheTableShown)
{
    SheetFixture plain(SystemKind::Newtonian);
    ASSERT_TRUE(plain.Go(2));
    EXPECT_FALSE(plain.Table().m_btnImported->isEnabled());
    EXPECT_TRUE(plain.Table().m_btnGenerated->isChecked());

    SheetFixture f(SystemKind::ThreeVariable, [](CModelCore& m) {
        m.m_bHaveImport = 1;
        m.m_nImportRows = 1000;
    });
    ASSERT_TRUE(f.Go(2));
    CTablePage& t = f.Table();
    t.m_btnImported->click();
    EXPECT_FALSE(t.m_editRows->isEnabled());
    EXPECT_EQ(t.m_stcTableSize->text(), "54");
    ASSERT_TRUE(f.Go(3));
    ASSERT_TRUE(f.Go(2));
    EXPECT_FALSE(t.m_editInterval->isEnabled());
    t.m_btnGenerated->click();
    EXPECT_TRUE(t.m_editInterval->isEnabled());
    EXPECT_EQ(t.m_stcTableSize->text(), "547");
}

namespace {
// Chooses the radio button of the form (or cancels) in the standard-form dialog.
void ChooseForm(int form)
{
    OnNextModal([form](QWidget* w) {
        auto* dlg = static_cast<QDialog*>(w);
        if (form < 0) {
            dlg->reject();
            return;
        }
        dlg->findChildren<QRadioButton*>()[form]->click();
        dlg->accept();
    });
}
} // namespace

TEST(PropertyPages, StandardFormsFillTheEquations)
{
    SheetFixture f(SystemKind::Newtonian);
    ASSERT_TRUE(f.Go(1));
    CSpacePage& s = f.Space();
    Type(s.m_editParam[1], "2.5"); // typed before Select, kept after it
    ChooseForm(2);
    s.m_btnSelect->click();
    EXPECT_EQ(s.m_editEquation[0]->text(), "a*cos(af*t+pa)");
    EXPECT_EQ(s.m_editEquation[1]->text(), "-b*x^3");
    EXPECT_EQ(s.m_editEquation[2]->text(), "-c*x'");
    EXPECT_FALSE(s.m_editEquation[0]->isEnabled());
    EXPECT_EQ(s.m_editParam[1]->text(), "2.5");

    ChooseForm(0); // User Defined Function: the texts stay, to be edited
    s.m_btnSelect->click();
    EXPECT_TRUE(s.m_editEquation[2]->isEnabled());
    EXPECT_EQ(s.m_editEquation[2]->text(), "-c*x'");

    SheetFixture two(SystemKind::TwoVariable, [](CModelCore& m) { m.m_nModelForm = 3; });
    ASSERT_TRUE(two.Go(1));
    CSpacePage& s2 = two.Space();
    EXPECT_FALSE(s2.m_editEquation[0]->isEnabled());
    ChooseForm(-1); // Cancel keeps form 3 and writes its texts again
    s2.m_btnSelect->click();
    EXPECT_EQ(s2.m_editEquation[0]->text(), "a*y+b*y^2+c*y^3");
    EXPECT_EQ(s2.m_editEquation[1]->text(), "d*x");
    EXPECT_FALSE(s2.m_editEquation[1]->isEnabled());

    SheetFixture three(SystemKind::ThreeVariable);
    ASSERT_TRUE(three.Go(1));
    ChooseForm(1);
    three.Space().m_btnSelect->click();
    EXPECT_EQ(three.Space().m_editEquation[1]->text(), "x+a*y");
    ASSERT_TRUE(three.Ok().has_value());
    EXPECT_EQ(three.doc.m_nModelForm, 1);
    EXPECT_EQ(three.doc.m_strZRate, "b+z*(x-c)");
}
