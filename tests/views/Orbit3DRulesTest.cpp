// The window-free rules of the orbit views in space: the cylinder's radii and heights, the rows
// and colours of the orbit sections, the section count's edit text and the Cycle Planes'
// turning points.
#include "model/core/ModelCore.h"
#include "views/orbit/OrbitRules.h"
#include "views/rows/3DGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {
// The sections of one cycle as the counting walk finds them: section k at row floor(s k / n),
// met in order, the count going back to 0 at each cycle's start.
std::vector<int> CountedSections(int s, int n)
{
    std::vector<int> out(s, -1);
    for (int j = 0, k = 0; j < s; ++j)
        if (k < n && j == s * k / n)
            out[j] = k++;
    return out;
}
} // namespace

// Default limits in a box of -10..10: x = -10, 0, 10 at radius 5, 10, 15 box units, and the
// second variable's -10..10 at heights -5..5; a working range moves the radii with it.
TEST(Orbit3DRules, CylinderRadiiAndHeights)
{
    struct Case
    {
        double xMin, xMax, x, v, radius, height;
    };
    const Case cases[] = {
        {-10, 10, -10, -10, 5, -5}, {-10, 10, 0, 0, 10, 0}, {-10, 10, 10, 10, 15, 5},
        {10, 20, 10, 0, 20, 0},     {10, 20, 20, 2, 30, 1}, {-1, 1, 1, 10, 15, 5},
    };
    for (const Case& c : cases) {
        CylinderScales cyl;
        cyl.m_dRadiusOffset = 10;
        cyl.SetLimits(c.xMin, c.xMax, -10, 10, 20, 20);
        const Point3 at0 = cyl.Map(1.0, 0.0, c.x, c.v); // phase 0: on the x axis
        EXPECT_NEAR(at0.x, c.radius, 1e-12) << c.x;
        EXPECT_NEAR(at0.y, 0, 1e-12);
        EXPECT_NEAR(at0.z, c.height, 1e-12) << c.v;
        const Point3 quarter = cyl.Map(2.0, std::acos(-1.0) / 4, c.x, c.v); // af t = pi/2
        EXPECT_NEAR(quarter.x, 0, 1e-9);
        EXPECT_NEAR(quarter.y, c.radius, 1e-9);
    }
}

// Equal or broken working limits keep the scales they had: nothing divides by zero.
TEST(Orbit3DRules, CylinderScalesSurviveClosedRanges)
{
    CylinderScales cyl;
    cyl.SetLimits(-10, 10, -10, 10, 20, 20);
    for (double lo : {3.0, double(NAN), double(INFINITY)}) {
        cyl.SetLimits(lo, lo, lo, 3.0, 20, 20);
        EXPECT_TRUE(std::isfinite(cyl.m_dRadiusScale));
        EXPECT_TRUE(std::isfinite(cyl.m_dHeightScale));
    }
}

// For 2 to 15 sections and cycles of 1 to 60 rows, each row's section is the counting walk's.
TEST(Orbit3DRules, SectionRowsMatchTheCountingWalk)
{
    for (int n = kMinSections; n <= kMaxSections; ++n)
        for (int s = 1; s <= 60; ++s) {
            const std::vector<int> counted = CountedSections(s, n);
            for (int j = 0; j < s; ++j)
                ASSERT_EQ(SectionOfCycleRow(j, s, n), counted[j]) << "s " << s << " n " << n;
        }
}

TEST(Orbit3DRules, SectionRowsAndColours)
{
    struct Case
    {
        int s, n;
        std::vector<int> rows; // the rows of sections 0, 1, ...
    };
    const Case cases[] = {
        {100, 6, {0, 16, 33, 50, 66, 83}},
        {100, 2, {0, 50}},
        {15, 15, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {3, 5, {0}}, // fewer rows than sections: one point a cycle, in colour 0
        {1, 2, {0}},
    };
    CModelCore defaults(SystemKind::Newtonian);
    defaults.SetDefaults();
    for (const Case& c : cases) {
        std::vector<int> rows;
        for (int j = 0; j < c.s; ++j) {
            const int k = SectionOfCycleRow(j, c.s, c.n);
            if (k < 0)
                continue;
            EXPECT_EQ(k, static_cast<int>(rows.size()));
            rows.push_back(j);
            // Even sections magenta, odd ones cyan; the imported ones darker.
            EXPECT_EQ(defaults.m_clrSection[k], k % 2 ? RGB(0, 255, 255) : RGB(255, 0, 255));
            EXPECT_EQ(defaults.m_clrSectionImport[k], k % 2 ? RGB(0, 180, 180) : RGB(180, 0, 180));
        }
        EXPECT_EQ(rows, c.rows) << c.s << " " << c.n;
    }
    for (long long j : {-1LL, 100LL, 1LL << 40})
        EXPECT_EQ(SectionOfCycleRow(j, 100, 6), -1);
    EXPECT_EQ(SectionOfCycleRow(0, 0, 6), -1);
}

TEST(Orbit3DRules, SectionCountText)
{
    struct Case
    {
        const char* text;
        int n; // 0: refused
    };
    const Case cases[] = {{"7", 7},   {"15", 15}, {"15.0", 15}, {"2", 2},   {" 9", 9},
                          {"9 x", 9}, {"7.5", 0}, {"0", 0},     {"16", 0},  {"1", 0},
                          {"abc", 0}, {"", 0},    {"-3", 0},    {"1e99", 0}};
    for (const Case& c : cases) {
        const std::optional<int> n = ParseSections(c.text);
        EXPECT_EQ(n.value_or(0), c.n) << c.text;
    }
    for (auto [in, out] : {std::pair{-5, 2}, {0, 2}, {2, 2}, {6, 6}, {15, 15}, {40, 15}})
        EXPECT_EQ(ClampSections(in), out);
}

// A turning point: the velocity goes from non-negative to non-positive.
TEST(Orbit3DRules, CyclePlaneTurningPoints)
{
    struct Case
    {
        double v0, v1;
        bool marked;
    };
    const Case cases[] = {{0.1, -0.1, true},   {-0.1, 0.1, false}, {0.0, 0.3, true},
                          {0.0, -0.3, true},   {0.2, 0.0, true},   {0.2, 0.1, false},
                          {-0.2, -0.1, false}, {NAN, -1, false},   {1, NAN, false}};
    for (const Case& c : cases)
        EXPECT_EQ(TurnsAt(c.v0, c.v1), c.marked) << c.v0 << " " << c.v1;
}

// Angles met in order are turned on from row to row; they stay those worked out alone (to a
// millionth of a pixel on a cylinder hundreds of pixels wide), through long runs of even steps,
// changed steps, uneven times and a time that is not finite.
TEST(Orbit3DRules, TurnedAnglesKeepToTheirTimes)
{
    struct Case
    {
        const char* how;
        std::function<double(int)> time;
    };
    const double dt = 2 * std::acos(-1.0) / 100;
    const Case cases[] = {
        {"even steps", [dt](int i) { return i * dt; }},
        {"far from zero", [dt](int i) { return 1e5 + i * dt; }},
        {"steps that change", [dt](int i) { return (i < 500 ? i : 2 * i - 500) * dt; }},
        {"uneven", [dt](int i) { return i * dt + 0.001 * std::sin(i * 7.0); }},
        {"backwards", [dt](int i) { return -i * dt; }},
        {"not finite", [dt](int i) { return i == 300 ? NAN : i * dt; }},
    };
    for (const Case& c : cases) {
        AngleTurner turner;
        double worst = 0;
        for (int i = 0; i < 5000; ++i) {
            const double theta = 1.3 * c.time(i);
            double cosA, sinA;
            turner.At(theta, cosA, sinA);
            if (!std::isfinite(theta)) {
                EXPECT_FALSE(std::isfinite(cosA)) << c.how;
                continue;
            }
            worst = std::max(
                {worst, std::abs(cosA - std::cos(theta)), std::abs(sinA - std::sin(theta))});
        }
        EXPECT_LT(worst, 1e-8) << c.how;
    }
}
