// Spinning a parameter of a Vector Field view, without its controls: the ranges, the positions,
// the steps, choosing a parameter and typed values; and the phase plane the view keeps: when its
// results are current, what a spin step and a new model discard, the time and step it uses.
#include "views/phase/VectorFieldSpin.h"
#include "common/DoubleWell.h"
#include "model/core/ModelCore.h"
#include "views/phase/PhasePlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

namespace {
std::unique_ptr<CModelCore> Model(SystemKind kind)
{
    auto m = std::make_unique<CModelCore>(kind);
    m->SetDefaults();
    m->EvaluateParameters();
    CSpinModel::StartSpinCopies(*m);
    return m;
}
} // namespace

TEST(VectorFieldSpin, RangesRoundTheValue)
{
    const struct
    {
        double v;
        SpinRange around, af;
    } cases[] = {
        {0, {-10, 10}, {0, 2}}, {3, {-3, 9}, {-3, 9}}, {0.5, {-0.5, 1.5}, {0, 2}},
        {-2, {-6, 2}, {0, 2}},  {1, {-1, 3}, {0, 2}},  {5, {-5, 15}, {-5, 15}},
        {2, {-2, 6}, {-2, 6}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpinRangeAround(c.v), c.around) << c.v;
        EXPECT_EQ(SpinRangeOfAF(c.v), c.af) << c.v;
        if (c.v != 0) {
            EXPECT_DOUBLE_EQ(SpinValueAt(c.around, 50), c.v) << "the value sits in the middle";
        }
    }
}

TEST(VectorFieldSpin, TimePositionsAreWholePercentsOfTheRunTime)
{
    const double pi = std::acos(-1.0);
    const struct
    {
        double t, rtl;
        int p;
    } cases[] = {
        {pi, 2 * pi, 50},
        {0, 2 * pi, 0},
        {2 * pi, 2 * pi, 100},
        {0.99, 100, 0},
        {3 * pi, 2 * pi, 100},
        {-1, 2 * pi, 0},
        {1, 0, 0},
        {1, -5, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimePosition(c.t, c.rtl), c.p) << c.t << " of " << c.rtl;
}

TEST(VectorFieldSpin, StepsWriteTheSpunValue)
{
    auto model = Model(SystemKind::Newtonian);
    CModelCore& m = *model;
    m.m_dParamA = 3;
    m.m_dAngFreq = 1;
    m.m_bSpinCopies = false;
    CSpinModel::StartSpinCopies(m);
    CSpinModel spin(true);
    spin.RangesFromModel(m);
    const struct
    {
        int param, position;
        double CModelCore::*member;
        double value;
    } cases[] = {
        {kSpinA, 0, &CModelCore::m_dParamA, -3},
        {kSpinA, 100, &CModelCore::m_dParamA, 9},
        {kSpinT, 50, &CModelCore::m_dVFTime, m.m_dRunTimeLimit / 2},
        {kSpinAF, 25, &CModelCore::m_dSpinAF, 0.5},
        {kSpinPA, 100, &CModelCore::m_dSpinPA, 10},
    };
    for (const auto& c : cases) {
        m.m_nSpinParam = c.param;
        spin.Step(m, c.position);
        EXPECT_DOUBLE_EQ(m.*c.member, c.value) << spin.Name(c.param) << " at " << c.position;
    }
    EXPECT_EQ(m.m_strParamA, "1") << "a step leaves the text";
    EXPECT_DOUBLE_EQ(m.m_dAngFreq, 1) << "af and pa spin in their copies";
    EXPECT_DOUBLE_EQ(m.m_dPhase, 0);
}

TEST(VectorFieldSpin, ChoosingAParameterPutsItInTheMiddleExceptTAndASmallAF)
{
    auto model = Model(SystemKind::Newtonian);
    CModelCore& m = *model;
    CSpinModel spin(true);
    m.m_dParamB = 2;
    m.m_dSpinAF = 0.37;
    m.m_dSpinPA = 4;
    spin.RangesFromModel(m);
    m.m_dParamB = 5; // spun away from where its range was set
    m.m_dVFTime = 1.234;
    m.m_dSpinPA = -1;
    const struct
    {
        int param;
        double CModelCore::*member;
        double after;
        int position;
    } cases[] = {
        {kSpinB, &CModelCore::m_dParamB, 2, 50},
        {kSpinT, &CModelCore::m_dVFTime, 1.234, TimePosition(1.234, m.m_dRunTimeLimit)},
        {kSpinAF, &CModelCore::m_dSpinAF, 0.37, 19}, // 0..2: kept at its place
        {kSpinPA, &CModelCore::m_dSpinPA, 4, 50},
    };
    for (const auto& c : cases) {
        m.m_nSpinParam = c.param;
        spin.Choose(m);
        EXPECT_DOUBLE_EQ(m.*c.member, c.after) << spin.Name(c.param);
        EXPECT_EQ(spin.Position(m), c.position) << spin.Name(c.param);
    }
}

TEST(VectorFieldSpin, NamesAreExactAndByKind)
{
    const CSpinModel newtonian(true), plane(false);
    const struct
    {
        const char* name;
        int withForcing, without;
    } cases[] = {{"t", kSpinT, kSpinT}, {"a", kSpinA, kSpinA}, {"d", kSpinD, kSpinD},
                 {"af", kSpinAF, 0},    {"pa", kSpinPA, 0},    {"A", 0, 0},
                 {"e", 0, 0},           {"a ", 0, 0},          {"", 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(newtonian.ParamOfName(c.name), c.withForcing) << c.name;
        EXPECT_EQ(plane.ParamOfName(c.name), c.without) << c.name;
    }
    EXPECT_NE(std::string(newtonian.NameRefusal()).find("a, b, c, d, af, pa and t"),
              std::string::npos);
    EXPECT_NE(std::string(plane.NameRefusal()).find("a, b, c, d and t"), std::string::npos);
}

TEST(VectorFieldSpin, TypedValuesInTheirBoundsOrNothingChanges)
{
    const struct
    {
        int param;
        const char* text;
        bool accepted;
        const char* message;
    } cases[] = {
        {kSpinT, "0", true, ""},
        {kSpinT, "2*pi", true, ""},
        {kSpinT, "7", false, "Please enter a number from 0 to 6.28319"},
        {kSpinT, "-1", false, "Please enter a number from 0 to 6.28319"},
        {kSpinA, "2*3", true, ""},
        {kSpinA, "1e31", false, "Please enter a number from -1e30 to +1e30"},
        {kSpinA, "3+", false, "Please enter a number from -1e30 to +1e30"},
        {kSpinAF, "-0.5", false, "Please enter a number from 0.0 to +1e30"},
        {kSpinAF, "0", true, ""},
        {kSpinPA, "-1e30", true, ""},
    };
    for (const auto& c : cases) {
        auto model = Model(SystemKind::Newtonian);
        CModelCore& m = *model;
        CSpinModel spin(true);
        spin.RangesFromModel(m);
        m.m_nSpinParam = c.param;
        const auto before =
            std::make_tuple(m.m_strParamA, m.m_dParamA, m.m_dVFTime, m.m_strSpinAF, m.m_dSpinAF);
        const SpinRange range = spin.Range(c.param);
        const CSpinModel::Entry e = spin.Enter(m, c.text);
        EXPECT_EQ(e.accepted, c.accepted) << c.text;
        EXPECT_EQ(e.message, c.message) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(std::make_tuple(m.m_strParamA, m.m_dParamA, m.m_dVFTime, m.m_strSpinAF,
                                      m.m_dSpinAF),
                      before);
            EXPECT_EQ(spin.Range(c.param), range);
        }
    }
    auto model = Model(SystemKind::TwoVariable);
    CModelCore& m = *model;
    CSpinModel spin(false);
    m.m_nSpinParam = kSpinC;
    ASSERT_TRUE(spin.Enter(m, "2*3").accepted);
    EXPECT_EQ(m.m_strParamC, "2*3");
    EXPECT_DOUBLE_EQ(m.m_dParamC, 6);
    EXPECT_EQ(spin.Range(kSpinC), SpinRange({-6, 18}));
}

// --- the phase plane -----------------------------------------------------------------------

namespace {
const CPlaneFrame kFrame{0, 0, 600, 400, -2, 2, -2, 2};
const VFPen kPens[2] = {{RGB(0, 255, 0), 0, 1}, {RGB(0, 0, 255), 0, 1}};

std::unique_ptr<CModelCore> DoubleWell(SystemKind kind)
{
    auto model = Model(kind);
    SetDoubleWell(*model);
    return model;
}
} // namespace

TEST(PhasePlane, ResultsAreCurrentForTheirWindowAndGeneration)
{
    for (SystemKind kind : {SystemKind::Newtonian, SystemKind::TwoVariable}) {
        auto model = DoubleWell(kind);
        CModelCore& m = *model;
        CPhasePlane plane(kind);
        plane.TakeModel(m);
        plane.SetFrame(kFrame, 30);
        EXPECT_EQ(plane.Pitch(), 13); // 400 / 30, the smaller quotient
        plane.CalcNullclines(kPens, nullptr);
        plane.CalcFixedPoints(1e-6);
        ASSERT_EQ(plane.FixedPoints().size(), 3u);
        EXPECT_TRUE(plane.HasSaddle());
        EXPECT_EQ(plane.CalcManifolds(50, {}, nullptr), 1);
        plane.CalcTrack(1, 1, 20, {}, nullptr);
        for (auto r :
             {CPhasePlane::kNullclines, CPhasePlane::kFixedPoints, CPhasePlane::kManifolds})
            EXPECT_TRUE(plane.Current(r)) << r;
        EXPECT_FALSE(plane.Current(CPhasePlane::kDirField)) << "never computed";

        // A new window: stale, kept.
        plane.SetFrame({0, 0, 600, 400, -2, 2, -1, 1}, 30);
        EXPECT_FALSE(plane.Current(CPhasePlane::kNullclines));
        plane.SetFrame(kFrame, 30);
        EXPECT_TRUE(plane.Current(CPhasePlane::kNullclines)) << "back to the window it was for";
        plane.SetFrame(kFrame, 10); // another grid
        EXPECT_FALSE(plane.Current(CPhasePlane::kNullclines));
        plane.SetFrame(kFrame, 30);

        // A spin step: stale, the tracks kept; a new model: everything gone.
        plane.TakeParameters(m);
        EXPECT_FALSE(plane.Current(CPhasePlane::kFixedPoints));
        EXPECT_TRUE(plane.EverComputed(CPhasePlane::kFixedPoints));
        EXPECT_EQ(plane.Tracks().size(), 1u);
        plane.Clear();
        EXPECT_TRUE(plane.Tracks().empty());
        EXPECT_TRUE(plane.FixedPoints().empty());
        EXPECT_FALSE(plane.EverComputed(CPhasePlane::kNullclines));
    }
}

TEST(PhasePlane, FieldAtTheVectorFieldTimeAndTheModelsStep)
{
    auto model = Model(SystemKind::TwoVariable);
    CModelCore& m = *model;
    SetRates(m, "1", "t");
    m.m_nModelForm = 0;
    m.m_dVFTime = 1;
    CPhasePlane plane(SystemKind::TwoVariable);
    plane.TakeModel(m);
    plane.SetFrame(kFrame, 30);
    plane.CalcDirectionField(nullptr);
    const CDirectionField& df = plane.DirectionField();
    ASSERT_FALSE(df.m_arrX1.empty());
    EXPECT_NEAR(df.m_arrX2[0] - df.m_arrX1[0], df.m_arrY2[0] - df.m_arrY1[0], 1e-12)
        << "at t = 1 the segments run at 45 degrees";

    // Tracks go on from where the last one ended; a spin step starts again at the field's time.
    m.m_nChrononsPerCycle = 50;
    ComputeDerivedValues(m, SystemKind::TwoVariable);
    plane.TakeModel(m);
    EXPECT_DOUBLE_EQ(plane.Step(), m.m_dChronon) << "the step follows chronons per cycle";
    plane.CalcTrack(0, 0, 10, {}, nullptr);
    plane.CalcTrack(0, 0, 10, {}, nullptr);
    const double h = m.m_dChronon;
    // y' = t, each step taken from the time already advanced: y = 10 h t0 + 60 h^2.
    const double y1 = plane.Tracks()[0].m_arrY.back(), y2 = plane.Tracks()[1].m_arrY.back();
    EXPECT_NEAR(y1, 10 * h * 1 + 60 * h * h, 1e-9);
    EXPECT_NEAR(y2, 10 * h * (1 + 10 * h) + 60 * h * h, 1e-9);
    plane.TakeParameters(m);
    plane.CalcTrack(0, 0, 10, {}, nullptr);
    EXPECT_NEAR(plane.Tracks()[2].m_arrY.back(), y1, 1e-12);
}
