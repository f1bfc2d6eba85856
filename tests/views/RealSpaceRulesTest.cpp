// The Real Space view's modes and where the pendulum and the trace of a row lie.
#include "views/graph/RealSpaceRules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {
constexpr double kPi = 3.14159265358979323846;
} // namespace

TEST(RealSpaceModes, SubtitlesAndWindows)
{
    CModelSettings s;
    s.m_dGraphTMax = 50;
    s.m_dGraphVMin = -4, s.m_dGraphVMax = 6;
    s.m_dPOMin1 = -1, s.m_dPOMax1 = 2, s.m_dPOMin2 = -3, s.m_dPOMax2 = 4;
    struct Case
    {
        int mode;
        const char* subtitle;
        RealSpaceWorld w;
    };
    const Case cases[] = {
        // Time runs downwards: the top is -tmax, t = 0 the middle.
        {1, " p vs t", {-4, 6, 50, -50}},
        {2, " p,v vs time", {-4, 6, 50, -50}},
        {3, " p,v vs time, damped", {-4, 6, 50, -50}},
        {4, " p vs v", {-1, 2, -3, 4}},
        {5, " p vs v, damped", {-1, 2, -3, 4}},
        // Out of range (typed through data entry): no subtitle, drawn by the nearer kind.
        {0, "", {-4, 6, 50, -50}},
        {-3, "", {-4, 6, 50, -50}},
        {7, "", {-1, 2, -3, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(RealSpaceSubtitle(c.mode)), c.subtitle) << c.mode;
        const RealSpaceWorld w = RealSpaceWindow(c.mode, s);
        EXPECT_EQ(w.xMin, c.w.xMin) << c.mode;
        EXPECT_EQ(w.xMax, c.w.xMax) << c.mode;
        EXPECT_EQ(w.yMin, c.w.yMin) << c.mode;
        EXPECT_EQ(w.yMax, c.w.yMax) << c.mode;
    }
}

TEST(RealSpacePendulum, BobForKnownAngles)
{
    // Zero line at y 200, x0 at 300, rod 100: the pivot hangs r + L above the line.
    struct Case
    {
        double angle;
        CPoint bob;
    };
    const Case cases[] = {
        {0, {300, 190}}, // resting on the zero line with its lowest point
        {kPi / 2, {400, 90}},  {-kPi / 2, {200, 90}},
        {kPi / 6, {349, 176}}, // sin 30 degrees truncates to 49 pixels
        {kPi, {300, -10}},     {2 * kPi + kPi / 2, {400, 90}},
    };
    for (const Case& c : cases) {
        const Pendulum p = PendulumAt(300, 200, 100, c.angle);
        EXPECT_EQ(p.pivot, CPoint(300, 90));
        EXPECT_EQ(p.bob, c.bob) << c.angle << " gave " << p.bob.x << "," << p.bob.y;
    }
    // A rod of a tall screen: half of 768 rows less the bob.
    EXPECT_EQ(RodLength(768), 374);
    // A diverged angle still gives pixels within bounds.
    const Pendulum far = PendulumAt(300, 200, 100, std::numeric_limits<double>::infinity());
    EXPECT_LE(std::abs(far.bob.x), kPixelLimit);
}

TEST(RealSpaceTrace, RowsInTimeAndPhaseModes)
{
    struct Case
    {
        double x, xp;
        CPoint time, phase;
    };
    // x0 300, zero line 200, plot height 402 (a quarter is 100), rod 100; time pixel 250.
    const Case cases[] = {
        {0, 0, {300, 250}, {300, 300}},
        {kPi / 2, -kPi / 2, {400, 250}, {400, 400}},
        {-kPi / 6, kPi / 6, {251, 250}, {251, 251}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeModePoint(300, 100, c.x, 250), c.time) << c.x;
        EXPECT_EQ(PhaseModePoint(300, 200, 402, 100, c.x, c.xp), c.phase) << c.x;
    }
}
