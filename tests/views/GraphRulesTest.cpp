#include "views/graph/GraphRules.h"
#include "views/rows/LimitRules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {
constexpr double kTwoPi = 6.283185307179586;

// The Graph block's defaults: time 0 .. 2 pi (its bounds 0 and the run time), values +-10.
PlotLimits Defaults()
{
    return {{0.0, kTwoPi, 0.0, kTwoPi}, {-10.0, 10.0, -10.0, 10.0}};
}
} // namespace

TEST(GraphZoom, FarIsDisabledAtTheBoundsAndClampsEachSide)
{
    PlotLimits g = Defaults();
    EXPECT_FALSE(CanZoomFar(g));
    g.x.min = 1.0;
    ASSERT_TRUE(CanZoomFar(g));
    const double range = g.x.max - g.x.min;
    ZoomFar(g);
    EXPECT_NEAR(g.x.min, 1.0 - 0.05 * range, 1e-12);
    EXPECT_EQ(g.x.max, kTwoPi);
    EXPECT_EQ(g.y.min, -10.0);
    EXPECT_EQ(g.y.max, 10.0);
}

TEST(GraphZoom, NearShrinksAroundTheCentreWithoutLimit)
{
    PlotLimits g = Defaults();
    for (int i = 0; i < 2000; ++i)
        ZoomNear(g);
    EXPECT_LE(g.y.min, g.y.max);
    EXPECT_NEAR((g.y.min + g.y.max) / 2, 0.0, 1e-12);
    EXPECT_LT(g.y.max - g.y.min, 1e-50);
}

TEST(GraphPan, KeepsTheRangeAndStopsAtTheBounds)
{
    PlotLimits g = Defaults();
    g.x.min = 1.0;
    g.x.max = 5.0;
    ASSERT_TRUE(CanPanLeft(g));
    PanLeft(g);
    EXPECT_EQ(g.x.min, 0.0);
    EXPECT_EQ(g.x.max, 4.0);
    EXPECT_FALSE(CanPanLeft(g));

    PanRight(g); // 4 + 2 = 6 < 2 pi
    EXPECT_EQ(g.x.max, 6.0);
    EXPECT_EQ(g.x.min, 2.0);
    PanRight(g);
    EXPECT_EQ(g.x.max, kTwoPi);
    EXPECT_NEAR(g.x.min, kTwoPi - 4.0, 1e-12);
    EXPECT_FALSE(CanPanRight(g));

    g.y.min = -2;
    g.y.max = 2;
    PanUp(g);
    EXPECT_EQ(g.y.min, 0.0);
    EXPECT_EQ(g.y.max, 4.0);
    for (int i = 0; i < 5; ++i)
        PanDown(g);
    EXPECT_EQ(g.y.min, -10.0);
    EXPECT_EQ(g.y.max, -6.0);
    EXPECT_FALSE(CanPanDown(g));
    EXPECT_TRUE(CanPanUp(g));

    ResetLimits(g);
    EXPECT_EQ(g, Defaults());
}

TEST(GraphSetLimits, OrdersPairsAndHoldsBounds)
{
    const double dt = kTwoPi / 100;
    PlotLimits g = Defaults();
    GraphLimitFields f{0.0, 100.0, 5.0, -5.0, -10.0, 10.0};
    const auto messages = ApplyLimitFields(g, f, dt);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Time axis maximum is too large.\nSetting value to match run time.");
    EXPECT_EQ(g.x.max, kTwoPi); // unrounded run time
    EXPECT_EQ(g.y.min, -5.0);
    EXPECT_EQ(g.y.max, 5.0);

    // The rounded run time is what the entered maximum is compared with.
    g = Defaults();
    EXPECT_TRUE(ApplyLimitFields(g, {0.0, 6.28319, -1, 1, -10, 10}, dt).empty());
    EXPECT_EQ(g.x.max, 6.28319);

    g = Defaults();
    const auto both = ApplyLimitFields(g, {1.0, 2.0, -20.0, 20.0, -8.0, 8.0}, dt);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], "Vertical axis working maximum is too large.\n"
                       "Setting value to match absolute maximum.");
    EXPECT_EQ(both[1], "Vertical axis working minimum is too small.\n"
                       "Setting value to match absolute minimum.");
    EXPECT_EQ(g, (PlotLimits{{1.0, 2.0, 0.0, kTwoPi}, {-8.0, 8.0, -8.0, 8.0}}));
}

TEST(GraphSetLimits, FieldsAreRoundedToTheirScale)
{
    PlotLimits g = Defaults();
    g.y.min = -1.234567;
    g.y.max = 1.234567;
    const GraphLimitFields f = LimitFieldsFor(g, kTwoPi / 100);
    EXPECT_EQ(f.tMax, 6.28319);       // dt digits 5
    EXPECT_DOUBLE_EQ(f.vMax, 1.2346); // range 2.47: digits 4
    EXPECT_EQ(f.vAbsMin, -10.0);
}

TEST(GraphAutoScale, TheDigitRulesOfTheKinds)
{
    // Nothing shown: from +-10 with the combined range's digits.
    const auto none = AutoScale({{-2, 3, false}, {0, 1, false}}, AutoScaleDigits::Overall);
    EXPECT_EQ(none.vAbsMax, 11.0);
    EXPECT_EQ(none.vAbsMin, -11.05);

    const auto x = AutoScale({{-2, 3, true}, {0, 100, false}}, AutoScaleDigits::Overall);
    EXPECT_EQ(x.vAbsMax, 3.25);
    EXPECT_DOUBLE_EQ(x.vAbsMin, -2.2625);

    // Per variable: the largest digit count wins, shown or not (0.05 gives 5 digits).
    const auto per =
        AutoScale({{-2, 3.123456, true}, {0, 0.05, false}}, AutoScaleDigits::PerVariable);
    EXPECT_DOUBLE_EQ(per.vAbsMax, 3.37963);
    const auto overall =
        AutoScale({{-2, 3.123456, true}, {0, 0.05, false}}, AutoScaleDigits::Overall);
    EXPECT_DOUBLE_EQ(overall.vAbsMax, 3.3796);
}

TEST(GraphAutoScale, DegenerateExtentsGiveAnOpenFiniteRange)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        std::vector<VarExtent> vars;
        AutoScaleDigits rule;
    };
    const Case cases[] = {
        {{{2, 2, true}}, AutoScaleDigits::PerVariable}, // a variable that never moved
        {{{2, 2, true}}, AutoScaleDigits::Overall},
        {{{0, 0, true}, {0, 0, true}}, AutoScaleDigits::Overall},
        {{{-3e-9, -3e-9, true}}, AutoScaleDigits::PerVariable}, // rounds to nothing at 4 digits
        {{{1e300, 1e300, true}}, AutoScaleDigits::Overall},
        {{{5, 5.00000001, true}}, AutoScaleDigits::PerVariable},
        {{{-1, inf, true}, {-inf, 4, true}}, AutoScaleDigits::Overall}, // a diverged run
    };
    for (const Case& c : cases) {
        const AutoScaleResult r = AutoScale(c.vars, c.rule);
        SCOPED_TRACE(std::to_string(c.vars[0].min) + " " + std::to_string(r.vAbsMin) + " .. " +
                     std::to_string(r.vAbsMax));
        EXPECT_TRUE(std::isfinite(r.vAbsMax));
        EXPECT_TRUE(std::isfinite(r.vAbsMin));
        EXPECT_LT(r.vAbsMin, r.vAbsMax);
        EXPECT_LE(r.vAbsMin, c.vars[0].min);
        EXPECT_GE(r.vAbsMax, std::min(c.vars[0].max, 4.0));
    }
}

// Whatever the Set Limits fields hold, the window that results is a proper range on both axes;
// fields that would close one leave the limits as they were, with a message.
TEST(GraphSetLimits, NoFieldsLeaveAClosedRange)
{
    const double dt = kTwoPi / 100;
    const GraphLimitFields cases[] = {
        {1.0, 1.0, -1, 1, -10, 10},    // time minimum = maximum
        {0.0, 2.0, 3, 3, -10, 10},     // vertical minimum = maximum
        {0.0, 2.0, -1, 1, 4, 4},       // equal bounds
        {0.0, 2.0, 15, 20, -10, 10},   // window above the bounds: held to the maximum 10
        {0.0, 2.0, -20, -15, -10, 10}, // below them
        {7.0, 100.0, -1, 1, -10, 10},  // time beyond the run time
    };
    for (const GraphLimitFields& f : cases) {
        SCOPED_TRACE(std::to_string(f.tMin) + " " + std::to_string(f.vMin));
        PlotLimits g = Defaults();
        const auto messages = ApplyLimitFields(g, f, dt);
        EXPECT_LT(g.x.min, g.x.max);
        EXPECT_LT(g.y.min, g.y.max);
        EXPECT_LT(g.y.absMin, g.y.absMax);
        EXPECT_FALSE(messages.empty());
    }
}
