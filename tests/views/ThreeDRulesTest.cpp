// Projection of the 3-D plots, the mapping of rows (the forcing-phase cylinder), the box size's
// zoom, Auto Scale, the captions and limit checks of the boundary dialogs, and the View Angle
// dialog's scroll steps.
#include "views/rows/3DGeometry.h"
#include "views/rows/LimitDialogRules.h"
#include "views/rows/ProjectedRows.h"
#include "views/rows/ViewAngleRules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {
// The default box (+-10 on every axis) spanning 400 pixels, the origin at (300, 200).
C3DPlotGeometry Box400(int pitch, int yaw)
{
    C3DPlotGeometry g;
    g.m_nBoxSize = 400;
    g.m_ptOrigin = CPoint(300, 200);
    g.SetPitchDegrees(pitch);
    g.SetYawDegrees(yaw);
    return g;
}
} // namespace

TEST(Projection, KnownPointsAtKnownAngles)
{
    struct Case
    {
        int pitch, yaw;
        double x, y, z;
        CPoint expected;
    };
    const Case cases[] = {
        // At yaw 90 x runs to the right: half the box right of the origin, on its row.
        {30, 90, 10, 0, 0, {500, 200}},
        {30, 90, -10, 0, 0, {100, 200}},
        // sin 30 degrees is a hair below one half: 200 * sin 30 truncates to 99, not 100.
        {30, 0, 10, 0, 0, {300, 299}},
        {30, 90, 0, 10, 0, {300, 101}},
        {-30, 90, 0, 10, 0, {300, 299}},
        // z points up at pitch 0 and shrinks with cos(pitch).
        {0, 90, 0, 0, 10, {300, 0}},
        {60, 90, 0, 0, 10, {300, 100}},
        {90, 90, 0, 0, 10, {300, 200}},
        {90, 90, 0, 10, 0, {300, 0}},
        // Yaw turns the x-y plane about z.
        {0, 180, 0, 10, 0, {100, 200}},
        {0, -90, 10, 0, 0, {100, 200}},
        {0, 45, 10, 10, 0, {582, 200}},
    };
    for (const Case& c : cases) {
        const C3DPlotGeometry g = Box400(c.pitch, c.yaw);
        const CPoint p = g.Project(c.x, c.y, c.z);
        EXPECT_EQ(p, c.expected) << "pitch " << c.pitch << " yaw " << c.yaw << " point " << c.x
                                 << "," << c.y << "," << c.z << " gave " << p.x << "," << p.y;
    }
}

// The box's centre lands on the plot's centre plus the pan, whatever the box and the angles.
TEST(Projection, OriginCentresTheBoxOnThePlot)
{
    struct Case
    {
        double lo[3], hi[3];
        int pitch, yaw;
        CPoint pan;
    };
    const Case cases[] = {
        {{-10, -10, -10}, {10, 10, 10}, 30, 90, {0, 0}},
        {{0, 0, 0}, {20, 40, 8}, 30, 70, {0, 0}},
        {{-3, 5, 100}, {7, 9, 300}, -45, 200, {25, -40}},
        {{0, 0, 0}, {1, 1, 1}, 0, 0, {-300, 7}},
    };
    for (const Case& c : cases) {
        C3DPlotGeometry g;
        g.m_rcPlot = CRect(30, 40, 630, 440); // centre (330, 240)
        g.m_nBoxSize = 300;
        g.m_dXLo = c.lo[0], g.m_dYLo = c.lo[1], g.m_dZLo = c.lo[2];
        g.m_dXHi = c.hi[0], g.m_dYHi = c.hi[1], g.m_dZHi = c.hi[2];
        g.SetPitchDegrees(c.pitch);
        g.SetYawDegrees(c.yaw);
        g.m_ptPan = c.pan;
        g.m_ptOrigin = g.CalcOrigin();
        const CPoint centre =
            g.Project((c.lo[0] + c.hi[0]) / 2, (c.lo[1] + c.hi[1]) / 2, (c.lo[2] + c.hi[2]) / 2);
        // Each of origin and point is truncated once: a pixel either way.
        EXPECT_LE(std::abs(centre.x - (330 + c.pan.x)), 1) << c.pitch << " " << c.yaw;
        EXPECT_LE(std::abs(centre.y - (240 + c.pan.y)), 1) << c.pitch << " " << c.yaw;
    }
}

// A box without a range, or a point beyond all numbers, still gives pixels within bounds.
TEST(Projection, DegenerateBoxesGiveBoundedPixels)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        double zLo, zHi, x, y, z;
    };
    const Case cases[] = {{0, 0, 0, 0, 5},          {0, 0, 0, 0, 0},
                          {0, 0, 3, 3, -5},         {-10, 10, inf, 0, 0},
                          {-10, 10, nan, nan, nan}, {-10, 10, 1e300, -1e300, 1e300}};
    for (const Case& c : cases) {
        C3DPlotGeometry g = Box400(30, 90);
        g.m_dZLo = c.zLo;
        g.m_dZHi = c.zHi;
        g.m_rcPlot = CRect(0, 0, 600, 400);
        const CPoint p = g.Project(c.x, c.y, c.z);
        EXPECT_LE(std::abs(p.x), kPixelLimit);
        EXPECT_LE(std::abs(p.y), kPixelLimit);
        const CPoint o = g.CalcOrigin();
        EXPECT_LE(std::abs(o.x), kPixelLimit);
        EXPECT_LE(std::abs(o.y), kPixelLimit);
    }
}

TEST(BoundaryAutoScale, PlaneLimitsArePaddedAndRounded)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        DataExtent x, y;
        bool exactH;
        PlotLimits expected;
        DataExtent xAfter; // the extent as Auto Scale leaves it
    };
    const Case cases[] = {
        // x 0 .. 7.3 and y -2 .. 2: four digits for both.
        {{0, 7.3},
         {-2, 2},
         false,
         {{-0.3833, 7.665, -0.3833, 7.665}, {-2.21, 2.2, -2.21, 2.2}},
         {0, 7.3}},
        {{0, 7.3}, {-2, 2}, true, {{0, 7.3, 0, 7.3}, {-2.21, 2.2, -2.21, 2.2}}, {0, 7.3}},
        // A constant series is widened by 10 each side, then padded.
        {{5, 5}, {-2, 2}, false, {{-6.05, 16, -6.05, 16}, {-2.21, 2.2, -2.21, 2.2}}, {-5, 15}},
        {{5, 5}, {-2, 2}, true, {{-5, 15, -5, 15}, {-2.21, 2.2, -2.21, 2.2}}, {-5, 15}},
        // An extent widened before is not widened again.
        {{-5, 15}, {-2, 2}, true, {{-5, 15, -5, 15}, {-2.21, 2.2, -2.21, 2.2}}, {-5, 15}},
        // A diverged run's extent counts as the default box.
        {{0, inf}, {-2, 2}, true, {{-10, 10, -10, 10}, {-2.21, 2.2, -2.21, 2.2}}, {-10, 10}},
    };
    for (const Case& c : cases) {
        DataExtent x = c.x, y = c.y;
        const PlotLimits g = AutoScale2D(x, y, c.exactH);
        const AxisLimits* got[2] = {&g.x, &g.y};
        const AxisLimits* want[2] = {&c.expected.x, &c.expected.y};
        for (int a = 0; a < 2; ++a) {
            EXPECT_NEAR(got[a]->min, want[a]->min, 1e-12) << c.x.min << " axis " << a;
            EXPECT_NEAR(got[a]->max, want[a]->max, 1e-12) << c.x.min << " axis " << a;
            EXPECT_EQ(got[a]->absMin, got[a]->min);
            EXPECT_EQ(got[a]->absMax, got[a]->max);
        }
        EXPECT_EQ(x.min, c.xAfter.min);
        EXPECT_EQ(x.max, c.xAfter.max);
    }
}

// Each axis of the box keeps the digits of its own range.
TEST(BoundaryAutoScale, BoxAxesRoundWithTheirOwnDigits)
{
    std::array<DataExtent, 3> e{DataExtent{0, 0.02}, DataExtent{0, 200}, DataExtent{1, 1}};
    const std::array<AxisLimits, 3> a = AutoScale3D(e);
    EXPECT_NEAR(a[0].max, 0.021, 1e-15);
    EXPECT_NEAR(a[0].min, -0.00105, 1e-15);
    EXPECT_NEAR(a[1].max, 210, 1e-12);
    EXPECT_NEAR(a[1].min, -10.5, 1e-12);
    EXPECT_NEAR(a[2].max, 12, 1e-12); // 1 widened to -9 .. 11
    EXPECT_NEAR(a[2].min, -10.05, 1e-12);
    EXPECT_EQ(e[2].min, -9);
    for (const AxisLimits& x : a) {
        EXPECT_EQ(x.absMin, x.min);
        EXPECT_EQ(x.absMax, x.max);
    }
}

TEST(BoundaryChecks, WorkingLimitsAreHeldInsideTheAbsoluteOnes)
{
    const char* const names[3] = {"x", "y", "z"};
    const AxisLimits box{-10, 10, -10, 10};
    struct Case
    {
        AxisLimits typed[3];
        AxisLimits expected[3];
        std::vector<std::string> messages;
    };
    const std::string high = " upper limit is too high.\nSetting value to match absolute limit.";
    const std::string low = " lower limit is too low.\nSetting value to match absolute limit.";
    const Case cases[] = {
        {{box, box, box}, {box, box, box}, {}},
        {{{-12, 11, -10, 10}, box, {-5, 20, -10, 10}},
         {box, box, {-5, 10, -10, 10}},
         {"Working x" + high, "Working x" + low, "Working z" + high}},
        // Reversed pairs are swapped without a word, then held inside.
        {{{5, -5, 10, -10}, box, {12, -3, -10, 10}},
         {{-5, 5, -10, 10}, box, {-3, 10, -10, 10}},
         {"Working z" + high}},
        // A window beyond the other end of its bounds leaves no range: nothing is taken.
        {{box, {20, 30, -10, 10}, box}, {box, box, box}, {kClosedRangeMessage}},
        {{box, box, {-5, 5, 3, 3}}, {box, box, box}, {kClosedRangeMessage}},
    };
    for (const Case& c : cases) {
        AxisLimits a[3] = {c.typed[0], c.typed[1], c.typed[2]};
        const AxisLimits before[3] = {box, box, box};
        EXPECT_EQ(HoldWorkingInside(a, names, 3, before), c.messages);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(a[i], c.expected[i]) << "axis " << i;
    }
}

TEST(ViewAngleScroll, StepsClampAndDecideTheRedraw)
{
    struct Case
    {
        int angle;
        AngleScroll code;
        int pos;
        bool hold;
        int viewAngle;
        AngleStep expected;
    };
    const Case cases[] = {
        {30, AngleScroll::LineUp, 0, false, 30, {31, true, true}},
        {180, AngleScroll::LineUp, 0, false, 180, {180, true, false}}, // stays, nothing to do
        {-175, AngleScroll::PageDown, 0, false, -175, {-180, true, true}},
        {0, AngleScroll::PageUp, 0, false, 0, {10, true, true}},
        {0, AngleScroll::LineDown, 0, false, 0, {-1, true, true}},
        // The bar's position is minus the angle; Home sets -180 and End +180.
        {0, AngleScroll::Thumb, 45, false, 0, {-45, true, true}},
        {0, AngleScroll::Top, 0, false, 0, {-180, true, true}},
        {0, AngleScroll::Bottom, 0, false, 0, {180, true, true}},
        // Holding updates: every step is quick, the end of the scroll redraws fully.
        {0, AngleScroll::Thumb, -20, true, 0, {20, false, true}},
        {20, AngleScroll::EndScroll, 0, true, 20, {20, true, true}},
        {20, AngleScroll::EndScroll, 0, false, 20, {20, true, false}},
        // The dialog shows another view's angle: the step goes from the angle shown.
        {50, AngleScroll::LineUp, 0, false, 10, {51, true, true}},
    };
    for (const Case& c : cases) {
        const AngleStep s = ScrollAngle(c.angle, c.code, c.pos, c.hold, c.viewAngle);
        EXPECT_EQ(s.angle, c.expected.angle) << c.angle << " code " << int(c.code);
        EXPECT_EQ(s.redraw, c.expected.redraw) << c.angle << " code " << int(c.code);
        EXPECT_EQ(s.apply, c.expected.apply) << c.angle << " code " << int(c.code);
    }
}

// The forcing-phase cylinder in the default box: x = -10, 0, 10 of the default working range lie
// at radius 5, 10 and 15, x' = +-10 at height +-5; a working range of 10 .. 20 puts the orbit at
// radii 20 to 30, outside the box; equal limits keep the scale they had.
TEST(ForcingCylinder, RadiiAndHeightsFromTheWorkingLimits)
{
    const double pi = std::acos(-1.0);
    struct Case
    {
        double rMin, rMax, hMin, hMax; // working limits
        double af, t, x, v;
        Point3 expected;
    };
    const Case cases[] = {
        {-10, 10, -10, 10, 1, 0, -10, 10, {5, 0, 5}},
        {-10, 10, -10, 10, 1, 0, 0, 0, {10, 0, 0}},
        {-10, 10, -10, 10, 1, 0, 10, -10, {15, 0, -5}},
        {-10, 10, -10, 10, 2, pi / 4, 10, 0, {0, 15, 0}}, // af t is the angle
        {-10, 10, -10, 10, 1, pi, 0, 0, {-10, 0, 0}},
        {10, 20, -10, 10, 1, 0, 10, 0, {20, 0, 0}},
        {10, 20, -10, 10, 1, 0, 20, 0, {30, 0, 0}},
        {-10, 10, 0, 1, 1, 0, -30, 1, {-5, 0, 10}}, // a negative radius crosses the axis
        {3, 3, 2, 2, 1, 0, 10, 10, {20, 0, 10}},    // no range: the scales stay 1
    };
    for (const Case& c : cases) {
        C3DPlotGeometry g;
        g.m_rowMapping = RowMapping::ForcingCylinder;
        g.m_dAngFreq = c.af;
        g.SetCylinderLimits(c.rMin, c.rMax, c.hMin, c.hMax);
        const Point3 p = g.MapRow(c.t, c.x, c.v, 99);
        EXPECT_NEAR(p.x, c.expected.x, 1e-9) << c.rMin << " " << c.x;
        EXPECT_NEAR(p.y, c.expected.y, 1e-9) << c.rMin << " " << c.x;
        EXPECT_NEAR(p.z, c.expected.z, 1e-9) << c.rMin << " " << c.x;
    }
}

// The centres the orbit axes are drawn about follow the working ranges.
TEST(ForcingCylinder, CentresOfTheOrbitAxes)
{
    C3DPlotGeometry g;
    g.SetCylinderLimits(10, 20, -4, 0);
    EXPECT_DOUBLE_EQ(g.m_cyl.m_dRadiusOffset, 10);
    EXPECT_DOUBLE_EQ(g.m_cyl.m_dRadiusCentre, 15);
    EXPECT_DOUBLE_EQ(g.m_cyl.m_dHeightScale, 2.5);
    EXPECT_DOUBLE_EQ(g.m_cyl.m_dHeightCentre, -5);
}

// A row maps to a pixel through the view's mapping, or to none when it is not finite.
TEST(RowMapping, RowsBecomePixelsOrNothing)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    C3DPlotGeometry g = Box400(30, 90);
    const double t[] = {0, 1, inf, 3};
    const double x[] = {10, nan, 0, 1e300};
    const double y[] = {0, 0, 0, 1e300};
    MappedColumns columns{t, {x, y, nullptr}}; // z not mapped: 0
    CPoint p;
    ASSERT_TRUE(columns.Pixel(g, 0, p));
    EXPECT_EQ(p, CPoint(500, 200));
    EXPECT_FALSE(columns.Pixel(g, 1, p));
    EXPECT_TRUE(columns.Pixel(g, 2, p)); // time is no coordinate of the plain mapping
    ASSERT_TRUE(columns.Pixel(g, 3, p));
    EXPECT_LE(std::abs(p.x), kPixelLimit);
    g.m_rowMapping = RowMapping::ForcingCylinder;
    EXPECT_FALSE(columns.Pixel(g, 2, p)); // the angle of an infinite time
    EXPECT_FALSE(columns.Pixel(g, 1, p));
}

// A point's pixel, within reach of the origin or not: each offset clamped, then the origin's
// pixel moved by it and clamped, as the projection has always given it.
TEST(Projection, PixelsWithinReachAreTheClampedOnes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double L = kPixelLimit;
    int near = 0;
    for (const CPoint origin : {CPoint(300, 200), CPoint(kPixelLimit - 5, -kPixelLimit + 3),
                                CPoint(-kPixelLimit, 7), CPoint(kPixelLimit + 9, 0)}) {
        C3DPlotGeometry g = Box400(30, 90);
        g.m_ptOrigin = origin;
        const C3DProjection proj = g.Projection();
        for (const double u : {0.0, 0.99, -0.99, 5.5, -5.7, 123.5, -123.5, L - 4.5, L - 5, -(L + 1),
                               L, 3e9, inf, -inf, nan, 1e300}) {
            for (const double v : {0.0, -2.7, 4.2, L - 3, -(L - 3.5), L + 0.5, nan, -inf}) {
                const CPoint plain(ClampToPixel(double(origin.x) + ClampToPixel(u)),
                                   ClampToPixel(double(origin.y) - ClampToPixel(v)));
                EXPECT_EQ(proj.Pixel(u, v), plain) << origin.x << " " << u << " " << v;
                CPoint batch;
                if (proj.NearPixels(&u, &v, 1, &batch)) { // else Pixel gives it
                    EXPECT_EQ(batch, plain) << origin.x << " " << u << " " << v;
                    ++near;
                }
            }
        }
    }
    EXPECT_GE(near, 40);
}

// Angles turned a batch at a time are those turned one at a time, the state carried between.
TEST(RowMapping, AnglesTurnedInBatchesAreTurnedOneByOne)
{
    std::vector<double> theta(3000);
    for (int i = 0; i < 3000; ++i)
        theta[i] = i % 701 == 5 ? std::numeric_limits<double>::quiet_NaN()
                   : i < 1500   ? 1e4 + 0.0628 * i
                                : 0.03 * i + 0.001 * std::sin(i);
    AngleTurner one, batch;
    std::vector<double> c1(3000), s1(3000), c2(3000), s2(3000);
    for (int i = 0; i < 3000; ++i)
        one.At(theta[i], c1[i], s1[i]);
    for (int i = 0, n = 1; i < 3000; i += n, n = n * 3 % 257 + 1)
        batch.Turn(&theta[i], std::min(n, 3000 - i), &c2[i], &s2[i]);
    for (int i = 0; i < 3000; ++i) {
        EXPECT_EQ(std::isnan(c1[i]), std::isnan(c2[i])) << i;
        if (!std::isnan(c1[i])) {
            EXPECT_EQ(c1[i], c2[i]) << i;
            EXPECT_EQ(s1[i], s2[i]) << i;
        }
    }
}

// Rows worked out ahead are the pixels rows give one by one, up to a row that may map to no
// point or whose time is not a number or infinite; the rows after it go on as one by one. On
// the cylinder and in the box, with rows of a run that blew up.
TEST(RowMapping, RowsWorkedOutAheadAreThoseOfOneByOne)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const int n = 2000;
    std::vector<double> t(n), x(n), y(n), z(n);
    for (int i = 0; i < n; ++i) { // the first 800 rows whole, then rows that blew up
        const bool late = i > 800;
        t[i] = late && i % 389 == 7 ? nan : i == 1700 ? inf : 0.0628 * i;
        x[i] = late && i % 211 == 3 ? nan : late && i % 503 == 9 ? 1e308 : 9 * std::sin(0.013 * i);
        y[i] = late && i % 307 == 1 ? -inf : 8 * std::cos(0.7 * i);
        z[i] = 3 * std::sin(0.1 * i);
    }
    for (const bool cylinder : {true, false}) {
        C3DPlotGeometry g = Box400(30, 70);
        if (cylinder) {
            g.m_rowMapping = RowMapping::ForcingCylinder;
            g.m_dAngFreq = 1.3;
            g.SetCylinderLimits(-10, 10, -10, 10);
        }
        const MappedColumns c{t.data(), {x.data(), y.data(), cylinder ? nullptr : z.data()}};
        const C3DProjection proj = g.Projection();
        RowProjector one(g, proj, c), ahead(g, proj, c);
        CPoint out[RowProjector::kAhead];
        int i = 0, batches = 0, full = 0;
        while (i < n) {
            const int m = ahead.Ahead(i, n - i, out);
            full += m == RowProjector::kAhead;
            for (int k = 0; k < m; ++k) {
                CPoint p;
                ASSERT_TRUE(one.Pixel(i + k, p)) << cylinder << " " << i + k;
                EXPECT_EQ(out[k], p) << cylinder << " " << i + k;
            }
            batches += m > 1;
            i += m;
            if (i < n && m < RowProjector::kAhead) { // the row it stopped at goes one by one
                CPoint p1, p2;
                const bool ok = one.Pixel(i, p1);
                EXPECT_EQ(ahead.Pixel(i, p2), ok) << cylinder << " " << i;
                EXPECT_TRUE(!ok || p1 == p2) << cylinder << " " << i;
                EXPECT_TRUE(!ok || !(t[i] < inf)) << "a row that maps stops a batch: " << i;
                ++i;
            }
        }
        EXPECT_GT(batches, 10) << cylinder;
        EXPECT_GE(full, 3) << cylinder;
    }
}

TEST(BoxZoom, SizesStepsAndLimits)
{
    const BoxZoom z;
    EXPECT_EQ(z.HomeSize(600, 402), 301); // three quarters of the smaller side, truncated
    EXPECT_EQ(z.HomeSize(-5, 100), 0);
    EXPECT_EQ(z.Nearer(301), 331);
    EXPECT_EQ(z.Farther(331), 300);
    EXPECT_TRUE(z.FartherOffered(100));
    EXPECT_FALSE(z.FartherOffered(99));
    int s = 300;
    for (int i = 0; i < 1000; ++i)
        s = z.Nearer(s);
    EXPECT_EQ(s, kPixelLimit); // no bound the user meets, and no overflow
}

TEST(BoundaryCaptions, NameTheBlocksFields)
{
    struct Case
    {
        const char* prefix;
        const char* name;
        bool max, absolute;
        const char* expected;
    };
    const Case cases[] = {
        {"fo", "x", false, false, "Minimum x (foxlo)"},
        {"fo", "x'", true, true, "Maximum x' (foax'hi)"},
        {"os", "y", false, true, "Minimum y (osaylo)"},
        {"", "z", true, false, "Maximum z (zhi)"},
        {"", "x", false, true, "Minimum x (axlo)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LimitCaption(c.prefix, c.name, c.max, c.absolute), c.expected);
}

// The dialog shows each pair rounded to the decimals its own range gives.
TEST(BoundaryCaptions, ValuesAreRoundedToTheirRanges)
{
    const AxisLimits a = RoundedForDialog({0.123456, 7.654321, -1000.4321, 1000.4321});
    EXPECT_DOUBLE_EQ(a.min, 0.1235);
    EXPECT_DOUBLE_EQ(a.max, 7.6543);
    EXPECT_DOUBLE_EQ(a.absMin, -1000.4);
    EXPECT_DOUBLE_EQ(a.absMax, 1000.4);
}
