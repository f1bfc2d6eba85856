// What OK writes back into the document, when it discards the run, and what Cancel restores.
#include "tests/dialogs/SheetFixture.h"

#include "model/core/NumberText.h"
#include "model/core/SettingsTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using Edit = void (*)(SheetFixture&);

struct OkCase
{
    const char* what;
    Edit edit;
    bool discarded;
};

const OkCase kOkCases[] = {
    {"nothing edited", [](SheetFixture&) {}, false},
    {"columns only", [](SheetFixture& f) { f.Go(2), f.Table().m_checkColumn[1]->click(); }, false},
    {"chronons per cycle", [](SheetFixture& f) { Type(f.Time().m_editChrononsPerCycle, "200"); },
     true},
    {"frequency", [](SheetFixture& f) { Type(f.Time().m_editAngFreq, "2"); }, true},
    {"phase", [](SheetFixture& f) { Type(f.Time().m_editPhase, "1"); }, true},
    {"table interval", [](SheetFixture& f) { f.Go(2), Type(f.Table().m_editInterval, "4"); }, true},
    {"integrator",
     [](SheetFixture& f) { f.Go(1), f.Space().m_groupIntegrator->button(0)->click(); }, true},
    {"a force", [](SheetFixture& f) { f.Go(1), Type(f.Space().m_editEquation[2], "-2*c*x'"); },
     true},
    {"mass", [](SheetFixture& f) { f.Go(3), Type(f.Object().m_editValue[0], "2"); }, true},
};

// Values of every described setting, as text, to compare two records.
std::vector<std::string> AllSettings(CModelSettings& s)
{
    std::vector<std::string> out;
    for (const SettingField& f : SettingsTable()) {
        switch (f.type) {
        case FieldType::Double:
            out.push_back(f.name + "=" + std::to_string(f.Double(s)));
            break;
        case FieldType::Text:
            out.push_back(f.name + "=" + f.Text(s));
            break;
        case FieldType::Point:
            out.push_back(f.name);
            break;
        default:
            out.push_back(f.name + "=" + std::to_string(f.Int(s)));
        }
    }
    return out;
}

} // namespace

TEST(PropertySheet, OkDiscardsTheRunOnlyWhenItsShapeChanged)
{
    for (const OkCase& c : kOkCases) {
        SCOPED_TRACE(c.what);
        SheetFixture f(SystemKind::Newtonian, [](CModelCore& m) { m.m_nTableCount = 50; });
        c.edit(f);
        const auto discarded = f.Ok();
        ASSERT_TRUE(discarded.has_value());
        EXPECT_EQ(*discarded, c.discarded);
        EXPECT_EQ(f.doc.m_nTableCount, c.discarded ? 0 : 50);
        EXPECT_TRUE(f.messages.messages.empty());
    }
}

TEST(PropertySheet, OkTakesTheEditsWithTheirDerivedValues)
{
    SheetFixture f(SystemKind::ThreeVariable, [](CModelCore& m) {
        m.m_dGraphTMax = 20;
        m.m_nYDelay = 3;
        m.m_dX = 4;
    });
    Type(f.Time().m_editRunTimeLimit, "12");
    Type(f.Time().m_editPeriod, "4");
    Type(f.Time().m_editPhase, "-3.1415926");
    f.Go(1);
    Type(f.Space().m_editParam[0], "3");
    Type(f.Space().m_editParam[1], "2*a"); // sees the new a
    Type(f.Space().m_editParam[2], "x");   // the current state
    f.Go(2);
    Type(f.Table().m_editInterval, "2");
    const BOOL zpShown = f.doc.m_bTabZp;
    f.Table().m_checkColumn[5]->click();
    f.Go(3);
    Type(f.Object().m_editValue[2], "-1.5");
    ASSERT_TRUE(f.Ok().has_value());
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0],
              "Time axis maximum is too large.\nSetting value to match run time.");
    EXPECT_EQ(f.doc.m_dRunTimeLimit, 12);
    EXPECT_EQ(f.doc.m_dGraphTMax, 12);
    EXPECT_EQ(f.doc.m_dAngFreq, kTwoPi / 4);
    EXPECT_EQ(f.doc.m_dChronon, 0.04);
    EXPECT_EQ(f.doc.m_dPhase, RoundToDigits(-3.1415926, 6)); // as data entry stores it
    EXPECT_DOUBLE_EQ(f.doc.m_dYDelayTime, 0.12);             // as the run reads it
    EXPECT_EQ(f.doc.m_dParamB, 6);
    EXPECT_EQ(f.doc.m_dParamC, 4);
    EXPECT_EQ(f.doc.m_nTableInterval, 2);
    EXPECT_EQ(f.doc.m_bTabZp, !zpShown);
    EXPECT_EQ(f.doc.m_dInitZ, -1.5);
    EXPECT_EQ(f.doc.m_dZ, -1.5); // the run starts afresh from it
    EXPECT_EQ(f.doc.m_nActivePage, 3);
}

TEST(PropertySheet, RunTimeAtTheAxisMaximumGivesNoMessage)
{
    SheetFixture f(SystemKind::TwoVariable, [](CModelCore& m) {
        m.m_dGraphTMax = 5;
        m.m_dVFTime = 4;
    });
    Type(f.Time().m_editRunTimeLimit, "5");
    ASSERT_TRUE(f.Ok().has_value());
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.doc.m_dVFTime, 4);
    SheetFixture g(SystemKind::TwoVariable, [](CModelCore& m) { m.m_dVFTime = 4; });
    Type(g.Time().m_editRunTimeLimit, "3");
    ASSERT_TRUE(g.Ok().has_value());
    EXPECT_EQ(g.doc.m_dVFTime, 3);
}

TEST(PropertySheet, CancelRestoresTheDocumentExactly)
{
    for (SystemKind kind : {SystemKind::Newtonian, SystemKind::OneVariable, SystemKind::TwoVariable,
                            SystemKind::ThreeVariable}) {
        SheetFixture f(kind);
        CModelSettings original = f.doc;
        Type(f.Time().m_editChrononsPerCycle, "200");
        ASSERT_TRUE(f.Go(2));
        Type(f.Table().m_editInterval, "4");
        ASSERT_TRUE(f.Go(1));
        Type(f.Space().m_editParam[0], "7");
        Type(f.Space().m_editEquation[0], "x*0+42");
        ASSERT_TRUE(f.Go(3)); // the parameter is stored, the equation recorded
        ASSERT_EQ(f.doc.m_dParamA, 7);
        f.Cancel();
        original.m_nActivePage = 3; // the page last shown is remembered either way
        EXPECT_EQ(AllSettings(f.doc), AllSettings(original)) << int(kind);
        EXPECT_EQ(f.doc.m_pParser->m_dA, original.m_dParamA);
        // The equation that runs is the document's own, not the cancelled one.
        int status = 0;
        f.doc.m_pParser->m_nList = 1;
        const double replayed = f.doc.EvaluateExpression("", &status, FALSE);
        const double stored = f.doc.CheckExpression(*f.doc.Equations()[0], &status);
        EXPECT_EQ(replayed, stored);
        EXPECT_NE(replayed, 42);
    }
}
