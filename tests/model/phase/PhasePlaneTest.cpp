#include "PlaneTestUtil.h"

#include "model/phase/FixedPoints.h"
#include "model/phase/Manifolds.h"
#include "model/phase/Nullclines.h"
#include "model/phase/PhaseLine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

namespace {

struct Expected
{
    double x, y;
    const char* text; // as the list of fixed points shows it
};

// Nullclines and fixed points as the F layer computes them: the nullcline of x'' (Newtonian)
// or x' (two-variable), then the crossings of the other rate along it, sorted by x.
CFixedPointSearch Search(PlaneCase& c, const CPlaneFrame& f)
{
    const int along = c.model->Kind() == SystemKind::Newtonian ? 1 : 0;
    const int pitch = f.GridPitch(30);
    CVFTrack nullcline;
    CalcNullcline(*c.field, along, f, pitch, 0, nullcline);
    CFixedPointSearch s = FindFixedPoints(*c.field, along, nullcline, f, pitch, 1e-6, 0);
    std::sort(s.points.begin(), s.points.end(), [](auto& a, auto& b) { return a.x < b.x; });
    return s;
}

struct FixedPointCase
{
    SystemKind kind;
    const char *eqX, *eqY;
    std::vector<Expected> points;
};

const CPlaneFrame kFrames[] = {
    Frame(600, 600), Frame(601, 599), Frame(400, 300),         Frame(1200, 900),
    Frame(750, 500), Frame(300, 400), Frame(640, 480, -7, 13), Frame(517, 389, -3, 3),
};

// x'' = -sin x: saddles at odd multiples of pi, the rest centres of the linearisation only.
std::vector<Expected> Pendulum()
{
    std::vector<Expected> points;
    for (int k = -4; k <= 4; ++k)
        points.push_back({k * std::numbers::pi, 0, k % 2 ? "saddle point" : "indeterminate"});
    return points;
}

TEST(FixedPoints, TypesAcrossPlotSizes)
{
    const auto N = SystemKind::Newtonian, T = SystemKind::TwoVariable;
    const FixedPointCase cases[] = {
        {N, "-x", "", {{0, 0, "center"}}},
        {N, "x", "", {{0, 0, "saddle point"}}},
        {N, "-x-x'", "", {{0, 0, "stable spiral"}}},
        {N, "-x-3*x'", "", {{0, 0, "stable node"}}},
        {N, "-x+x'", "", {{0, 0, "unstable spiral"}}},
        {N,
         "x-x^3-0.5*x'",
         "",
         {{-1, 0, "stable spiral"}, {0, 0, "saddle point"}, {1, 0, "stable spiral"}}},
        // Not homogeneous, or a centre of its linearisation only: indeterminate.
        {N, "-(x-2)", "", {{2, 0, "indeterminate"}}},
        {N, "-sin(x)", "", Pendulum()},
        {T, "y", "-x", {{0, 0, "center"}}},
        {T, "x", "-y", {{0, 0, "saddle point"}}},
        {T, "-x", "-2*y", {{0, 0, "stable node"}}},
        {T, "y", "-x-y", {{0, 0, "stable spiral"}}},
        {T, "x-2", "2*y-2", {{2, 1, "unstable node"}}},
        {T, "x-y", "x+y-2", {{1, 1, "unstable spiral"}}},
    };
    EXPECT_STREQ(FixedPointText(42), "indeterminate");
    for (const auto& c : cases) {
        PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
        for (const CPlaneFrame& f : kFrames) {
            SCOPED_TRACE(std::string(c.eqX) + " / " + c.eqY + " on " + std::to_string(f.right) +
                         "x" + std::to_string(f.bottom) + " from " + std::to_string(f.xmin));
            const CFixedPointSearch s = Search(p, f);
            std::vector<Expected> want;
            for (const Expected& e : c.points)
                if (e.x > f.xmin && e.x < f.xmax && e.y > f.ymin && e.y < f.ymax)
                    want.push_back(e);
            ASSERT_EQ(s.points.size(), want.size());
            EXPECT_FALSE(s.limitReached);
            for (std::size_t i = 0; i < want.size(); ++i) {
                EXPECT_NEAR(s.points[i].x, want[i].x, 1e-6);
                EXPECT_NEAR(s.points[i].y, want[i].y, 1e-6);
                EXPECT_STREQ(FixedPointText(s.points[i].type), want[i].text);
                if (c.kind == N) {
                    EXPECT_EQ(s.points[i].y, 0);
                }
            }
        }
    }
}

// With m = 4, x'' = -x / 4 is still the linear centre.
TEST(FixedPoints, MassKeepsTheLinearCentre)
{
    PlaneCase heavy = MakePlane(SystemKind::Newtonian, "-x");
    heavy.model->m_dMass = 4;
    CNewtonianField field(CPlaneModel::Of(*heavy.model));
    EXPECT_EQ(ClassifyFixedPoint(field, 0, 0, Frame(600, 600), 1e-6, 0).type, FP_CENTER);
}

TEST(FixedPoints, OnlyTheFirstTenAreKept)
{
    PlaneCase p = MakePlane(SystemKind::TwoVariable, "y", "-sin(x)");
    const CPlaneFrame f = Frame(800, 600, -25, 25);
    const CFixedPointSearch s = Search(p, f);
    EXPECT_TRUE(s.limitReached);
    ASSERT_EQ(s.points.size(), 10u);
    for (const CFixedPoint& fp : s.points) {
        const double k = fp.x / std::numbers::pi;
        EXPECT_NEAR(k, std::round(k), 1e-7);
        EXPECT_EQ(fp.type, std::lround(k) % 2 == 0 ? FP_INDETERMINATE : FP_SADDLE);
    }
}

// Fixed points on neighbouring grid corners, and fixed points closer than a cell that the walk
// brackets apart: each is listed.
TEST(FixedPoints, NeighboursAreKept)
{
    const auto N = SystemKind::Newtonian, T = SystemKind::TwoVariable;
    const std::vector<Expected> wells = {
        {-0.5, 0, "stable spiral"}, {0, 0, "saddle point"}, {0.5, 0, "stable spiral"}};
    const struct
    {
        SystemKind kind;
        const char *eqX, *eqY;
        CPlaneFrame frame;
        std::vector<Expected> points;
    } cases[] = {
        // Cells of exactly 1: the points lie on neighbouring grid corners.
        {N,
         "x-x^3-0.5*x'",
         "",
         Frame(480, 480, -15, 15),
         {{-1, 0, "stable spiral"}, {0, 0, "saddle point"}, {1, 0, "stable spiral"}}},
        {T,
         "x*(1-y)",
         "y*(x-1)",
         Frame(480, 480, -15, 15),
         {{0, 0, "saddle point"}, {1, 1, "indeterminate"}}},
        // Half a unit apart in cells of 2/3 by 1/2 and more.
        {N, "x-4*x^3-0.5*x'", "", Frame(400, 300), wells},
        {N, "x-4*x^3-0.5*x'", "", Frame(640, 480), wells},
        {N, "x-4*x^3-0.5*x'", "", Frame(800, 800), wells},
        {N, "x-4*x^3-0.5*x'", "", Frame(1200, 900), wells},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.eqX) + " on " + std::to_string(c.frame.right));
        PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
        const CFixedPointSearch s = Search(p, c.frame);
        ASSERT_EQ(s.points.size(), c.points.size());
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_NEAR(s.points[i].x, c.points[i].x, 1e-6);
            EXPECT_NEAR(s.points[i].y, c.points[i].y, 1e-6);
            EXPECT_STREQ(FixedPointText(s.points[i].type), c.points[i].text);
        }
    }
}

// x'' = k (x - r1)(x - r2)(x - r3) - x' / 2 with r2 less than a unit right of r1, on four plot
// sizes: every root further than a cell from the others is found, nothing else is listed and
// no root twice. Of the roots within a cell of another, the walk cannot bracket some apart;
// the share it misses is printed.
TEST(FixedPoints, RandomCubics)
{
    std::mt19937 rng(28);
    std::uniform_real_distribution<double> where(-8, 8), gap(0.02, 1);
    const CPlaneFrame frames[] = {Frame(400, 300), Frame(600, 600), Frame(800, 600),
                                  Frame(1200, 900)};
    int close = 0, missed = 0;
    for (int n = 0; n < 300; ++n) {
        const double r1 = where(rng), r2 = r1 + gap(rng), r3 = where(rng);
        const double k = rng() % 2 ? 1 : -1;
        char eq[160];
        std::snprintf(eq, sizeof eq, "%g*(x-(%.17g))*(x-(%.17g))*(x-(%.17g))-0.5*x'", k, r1, r2,
                      r3);
        PlaneCase p = MakePlane(SystemKind::Newtonian, eq);
        const double roots[] = {r1, r2, r3};
        for (const CPlaneFrame& f : frames) {
            SCOPED_TRACE(std::string(eq) + " on " + std::to_string(f.right));
            const CFixedPointSearch s = Search(p, f);
            const double cell = f.GridPitch(30) * f.ScaleX();
            for (std::size_t i = 0; i < s.points.size(); ++i) {
                EXPECT_TRUE(std::ranges::any_of(roots, [&](double r) {
                    return std::fabs(s.points[i].x - r) < 1e-6;
                })) << s.points[i].x;
                if (i > 0) {
                    EXPECT_GT(s.points[i].x - s.points[i - 1].x, 1e-6);
                }
            }
            for (double r : roots) {
                const bool found = std::ranges::any_of(
                    s.points, [&](const CFixedPoint& fp) { return std::fabs(fp.x - r) < 1e-6; });
                const bool near = std::ranges::count_if(roots, [&](double o) {
                                      return std::fabs(o - r) <= cell;
                                  }) > 1;
                close += near;
                missed += near && !found;
                if (!near) {
                    EXPECT_TRUE(found) << r;
                }
            }
        }
    }
    std::printf("roots within a cell of another: %d, missed: %d (%.1f %%)\n", close, missed,
                100.0 * missed / close);
    EXPECT_GT(close, 600);
    EXPECT_LT(missed, close * 0.6); // merging by distance alone misses 72 %
}

// A sign change across a pole is no zero: no nullcline runs along it, no fixed point sits on
// it and the phase line marks nothing there.
TEST(Poles, AreNoZeros)
{
    const double pi = std::numbers::pi;
    // x'' = tan x - x': saddles at the multiples of pi only.
    PlaneCase tangent = MakePlane(SystemKind::Newtonian, "tan(x)-x'");
    // x'' = 1/x: none at all; nor a nullcline.
    PlaneCase inverse = MakePlane(SystemKind::Newtonian, "1/x");
    for (const CPlaneFrame& f : kFrames) {
        SCOPED_TRACE(std::to_string(f.right) + "x" + std::to_string(f.bottom));
        const CFixedPointSearch s = Search(tangent, f);
        int multiples = 0;
        for (int k = -10; k <= 10; ++k)
            multiples += k * pi > f.xmin && k * pi < f.xmax;
        EXPECT_EQ(static_cast<int>(s.points.size()), multiples);
        for (const CFixedPoint& fp : s.points) {
            EXPECT_NEAR(std::remainder(fp.x, pi), 0, 1e-9);
            EXPECT_EQ(fp.type, FP_SADDLE);
        }
        EXPECT_TRUE(Search(inverse, f).points.empty());
        CVFTrack track;
        EXPECT_FALSE(CalcNullcline(*inverse.field, 1, f, f.GridPitch(30), 0, track));
        // x' = 1/x - y: the nullcline is y = 1/x alone.
        PlaneCase hyperbola = MakePlane(SystemKind::TwoVariable, "1/x-y", "0");
        ASSERT_TRUE(CalcNullcline(*hyperbola.field, 0, f, f.GridPitch(30), 0, track));
        for (int i = 0; i < track.Count(); ++i)
            EXPECT_NEAR(track.m_arrX[i] * track.m_arrY[i], 1, 1e-4) << track.m_arrX[i];
    }
    // The phase line, with and without a column on the pole itself.
    for (const CPlaneFrame& f : {Frame(600, 400), Frame(601, 400), Frame(777, 400, -7, 13)}) {
        PlaneCase p = MakePlane(SystemKind::OneVariable, "1/x");
        EXPECT_TRUE(CalcPhaseLine(*p.field, f, 0, kVectorFieldTouch).m_zeros.empty()) << f.right;
        PlaneCase t = MakePlane(SystemKind::OneVariable, "tan(x)");
        const CPhaseLine line = CalcPhaseLine(*t.field, f, 0, kVectorFieldTouch);
        EXPECT_FALSE(line.m_zeros.empty());
        for (const CPhaseZero& z : line.m_zeros)
            EXPECT_NEAR(std::remainder(z.x, pi), 0, f.ScaleX()) << z.x;
    }
}

TEST(PlaneField, PixelsOfFarAndBrokenPoints)
{
    const double inf = std::numeric_limits<double>::infinity();
    const CPlaneFrame f = Frame(600, 400);
    const struct
    {
        double x, y;
        bool drawn;
        int px, py;
    } cases[] = {
        {-10, 10, true, 0, 0},
        {0, 0, true, 300, 200},
        {1e300, -1e300, true, 1 << 24, 1 << 24},
        {-inf, 5, false, 0, 0},
        {std::nan(""), 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        int px = -1, py = -1;
        EXPECT_EQ(f.WorldToPixel(c.x, c.y, px, py), c.drawn) << c.x;
        if (c.drawn) {
            EXPECT_EQ(px, c.px);
            EXPECT_EQ(py, c.py);
        }
    }
    // A plot of no width still converts without undefined behaviour.
    int px, py;
    EXPECT_TRUE(Frame(0, 0).WorldToPixel(3, 3, px, py));
}

TEST(PlaneField, DelayedNamesReadTheCurrentPoint)
{
    const struct
    {
        SystemKind kind;
        const char *delayedX, *delayedY, *plainX, *plainY;
    } cases[] = {
        {SystemKind::Newtonian, "-x:-x'", "", "-x-x'", ""},
        {SystemKind::TwoVariable, "y:-x", "x:*y", "y-x", "x*y"},
        {SystemKind::OneVariable, "sin(x:)", "", "sin(x)", ""},
    };
    for (const auto& c : cases) {
        PlaneCase d = MakePlane(c.kind, c.delayedX, c.delayedY);
        PlaneCase p = MakePlane(c.kind, c.plainX, c.plainY);
        for (double x : {-2.5, 0.0, 1.75})
            for (double y : {-1.0, 3.0})
                for (int i : {0, 1})
                    EXPECT_EQ(d.field->Rate(i, 0, x, y), p.field->Rate(i, 0, x, y)) << c.plainX;
    }
}

TEST(Nullclines, PointsLieOnTheCurve)
{
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
        int rate;
        double (*residual)(double x, double y);
    };
    const Case cases[] = {
        {SystemKind::TwoVariable, "x-2", "0", 0, [](double x, double) { return x - 2; }},
        {SystemKind::Newtonian, "-x-x'", "", 1, [](double x, double y) { return x + y; }},
        {SystemKind::TwoVariable, "0", "x^2+y^2-6.25", 1,
         [](double x, double y) { return std::hypot(x, y) - 2.5; }},
        {SystemKind::TwoVariable, "0", "y-sin(x)*5", 1,
         [](double x, double y) { return y - 5 * std::sin(x); }},
    };
    for (const Case& c : cases)
        for (const CPlaneFrame& f : kFrames) {
            SCOPED_TRACE(std::string(c.eqX) + c.eqY + " " + std::to_string(f.right));
            PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
            CVFTrack track;
            ASSERT_TRUE(CalcNullcline(*p.field, c.rate, f, f.GridPitch(30), 0, track));
            ASSERT_EQ(track.m_arrBreak.size(), track.m_arrX.size());
            EXPECT_EQ(track.m_arrBreak[0], -1);
            const double tol = 1e-5 * std::min(f.XRange(), f.YRange());
            for (int i = 0; i < track.Count(); ++i)
                EXPECT_NEAR(c.residual(track.m_arrX[i], track.m_arrY[i]), 0, tol) << i;
        }
}

TEST(Nullclines, ClosedCurveEndsWhereItStarted)
{
    // A circle wholly inside the plot is one closed branch: the walk comes back to its start.
    PlaneCase p = MakePlane(SystemKind::TwoVariable, "x^2+y^2-25");
    CVFTrack track;
    const CPlaneFrame f = Frame(600, 600);
    ASSERT_TRUE(CalcNullcline(*p.field, 0, f, f.GridPitch(30), 0, track));
    EXPECT_EQ(std::count(track.m_arrBreak.begin(), track.m_arrBreak.end(), -1), 1);
    EXPECT_EQ(track.m_arrX.front(), track.m_arrX.back());
    EXPECT_EQ(track.m_arrY.front(), track.m_arrY.back());
    // A plot smaller than one cell, or a field without zeros, gives nothing.
    EXPECT_FALSE(CalcNullcline(*p.field, 0, Frame(15, 15), 20, 0, track));
    PlaneCase none = MakePlane(SystemKind::TwoVariable, "1");
    EXPECT_FALSE(CalcNullcline(*none.field, 0, f, 20, 0, track));
    EXPECT_TRUE(track.Empty());
}

// A search is complete when a curve runs to the grid's border or closes; not when every curve
// stops inside, where the rate is undefined, nor when there is no curve.
TEST(Nullclines, ACurveIsCompleteWhenItRunsToTheBorderOrCloses)
{
    // y' = g(x, y), x' = 1.
    struct Field final : IPlaneField
    {
        double (*g)(double x, double y);
        explicit Field(double (*rate)(double, double)) : g(rate) {}
        double Rate(int i, double, double x, double y) override { return i ? g(x, y) : 1; }
        void Rates(double, double x, double y, double& fx, double& fy) override
        {
            fx = 1;
            fy = g(x, y);
        }
        void SetPulse(double, double) override {}
        bool SecondIsRateOfFirst() const override { return false; }
        double Chronon() const override { return 0.01; }
    };
    const struct
    {
        const char* name;
        double (*g)(double, double);
        bool found, complete;
    } cases[] = {
        {"a line across", [](double x, double y) { return y - 0.5 * x; }, true, true},
        {"a circle inside", [](double x, double y) { return x * x + y * y - 25; }, true, true},
        // y' = y - 0.1 where x > -3 (and x < 3), undefined elsewhere.
        {"from inside to the border",
         [](double x, double y) { return x > -3 ? y - 0.1 : std::nan(""); }, true, true},
        {"both ends inside",
         [](double x, double y) { return x > -3 && x < 3 ? y - 0.1 : std::nan(""); }, true, false},
        {"no zero", [](double, double) { return 1.0; }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Field field(c.g);
        const CPlaneFrame f = Frame(600, 600);
        CVFTrack track;
        bool complete = !c.complete;
        EXPECT_EQ(CalcNullcline(field, 1, f, f.GridPitch(30), 0, track, nullptr, &complete),
                  c.found);
        EXPECT_EQ(complete, c.complete);
    }
    // A plot without a whole cell has nothing to look for.
    Field line([](double, double y) { return y; });
    CVFTrack track;
    bool complete = false;
    EXPECT_FALSE(CalcNullcline(line, 1, Frame(15, 15), 20, 0, track, nullptr, &complete));
    EXPECT_TRUE(complete);
}

TEST(DirectionField, GridAndDirections)
{
    struct Case
    {
        int w, h, gl;
        const char *eqX, *eqY;
        std::size_t segments;
        double dx, dy; // direction of every segment, or 0, 0 for a vanishing field
    };
    const Case cases[] = {
        {600, 600, 30, "1", "0", 225, 1, 0},
        {600, 400, 20, "0", "-2", 150, 0, -1},
        {599, 401, 20, "0", "0", 15 * 11, 0, 0},
        {10, 10, 30, "1", "1", 25, std::sqrt(0.5), std::sqrt(0.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        PlaneCase p = MakePlane(SystemKind::TwoVariable, c.eqX, c.eqY);
        const CPlaneFrame f = Frame(c.w, c.h);
        CDirectionField df;
        CalcDirectionField(*p.field, f, f.GridPitch(c.gl), 0, df);
        ASSERT_EQ(df.m_arrX1.size(), c.segments);
        ASSERT_EQ(df.m_arrY2.size(), c.segments);
        const double len = 0.25 * 2 * f.GridPitch(c.gl) * std::hypot(f.ScaleX(), f.ScaleY());
        for (std::size_t i = 0; i < c.segments; ++i) {
            EXPECT_NEAR(df.m_arrX2[i] - df.m_arrX1[i], len * c.dx, 1e-12);
            EXPECT_NEAR(df.m_arrY2[i] - df.m_arrY1[i], len * c.dy, 1e-12);
        }
        EXPECT_EQ(df.m_arrX1[0], f.xmin); // the grid starts at the top-left corner
        EXPECT_EQ(df.m_arrY1[0], f.ymax);
    }
}

TEST(DirectionField, FarLimitsKeepTheirSegments)
{
    // Limits near the largest double: the length is a quarter of the spacing along the diagonal
    // of a pixel, 10 pixels each way here, not an overflow.
    PlaneCase p = MakePlane(SystemKind::TwoVariable, "1", "1");
    const CPlaneFrame f = Frame(600, 600, -1e300, 1e300);
    CDirectionField df;
    CalcDirectionField(*p.field, f, f.GridPitch(30), 0, df);
    ASSERT_EQ(df.m_arrX1.size(), 225u);
    for (std::size_t i = 0; i < df.m_arrX1.size(); ++i) {
        EXPECT_NEAR((df.m_arrX2[i] - df.m_arrX1[i]) / f.ScaleX(), 10, 1e-9);
        EXPECT_NEAR((df.m_arrY2[i] - df.m_arrY1[i]) / f.ScaleY(), 10, 1e-9);
    }
}

TEST(PlaneField, FarSegmentsKeepTheirDirection)
{
    const double inf = std::numeric_limits<double>::infinity();
    const CPlaneFrame f = Frame(600, 400); // 30 and 20 pixels per unit
    const struct
    {
        double x1, y1, x2, y2;
        bool drawn;
        double dx, dy; // the direction in pixels
    } cases[] = {
        {0, 0, 1, 1, true, 30, -20},       {0, 0, 1e300, 5e299, true, 3, -1},
        {-1e300, 1e300, 0, 0, true, 3, 2}, {1e300, 0, 2e300, 1, false, 0, 0}, // wholly far away
        {0, 0, inf, 0, false, 0, 0},       {0, std::nan(""), 1, 1, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x2);
        int x1, y1, x2, y2;
        ASSERT_EQ(f.SegmentToPixels(c.x1, c.y1, c.x2, c.y2, x1, y1, x2, y2), c.drawn);
        if (!c.drawn)
            continue;
        for (int v : {x1, y1, x2, y2})
            EXPECT_LE(std::abs(v), 1 << 24);
        const double len = std::hypot(x2 - x1, y2 - y1);
        EXPECT_NEAR((x2 - x1) / len, c.dx / std::hypot(c.dx, c.dy), 1e-6);
        EXPECT_NEAR((y2 - y1) / len, c.dy / std::hypot(c.dx, c.dy), 1e-6);
    }
    int x1, y1, x2, y2;
    ASSERT_TRUE(f.SegmentToPixels(-10, 10, 0, 0, x1, y1, x2, y2));
    EXPECT_EQ(std::vector<int>({x1, y1, x2, y2}), std::vector<int>({0, 0, 300, 200}));
}

TEST(Tracks, IntegratorAccuracy)
{
    // Typed equations and the built-in forms that are the same model give the same track.
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
        int form;
        FormParams params;
        double x0, y0;
        double (*x)(double t), (*y)(double t);
    };
    auto cosT = [](double t) { return std::cos(t); };
    auto minusSinT = [](double t) { return -std::sin(t); };
    const Case cases[] = {
        {SystemKind::Newtonian, "-x", "", 0, {}, 1, 0, cosT, minusSinT},
        {SystemKind::Newtonian, "-x", "", 3, {0, 1, 0, 0, 0, 0}, 1, 0, cosT, minusSinT},
        {SystemKind::TwoVariable, "y", "-x", 0, {}, 1, 0, cosT, minusSinT},
        {SystemKind::TwoVariable, "y", "-x", 5, {0, 1, -1, 0, 0, 0}, 1, 0, cosT, minusSinT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.eqX) + " form " + std::to_string(c.form));
        PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY, c.form);
        CPlaneModel pm = CPlaneModel::Of(*p.model);
        pm.params = c.params;
        std::unique_ptr<CFieldBase> field = MakePlaneField(pm);
        // Fifth order: halving the step divides the error by about 32.
        double err[2];
        for (int k = 0; k < 2; ++k) {
            const int steps = 50 << k;
            double t = 0.25;
            const CVFTrack tr = CalcTrack(*field, c.x0, c.y0, t, 1.0 / steps, steps);
            ASSERT_EQ(tr.Count(), steps + 1);
            EXPECT_TRUE(tr.m_arrBreak.empty());
            EXPECT_NEAR(t, 1.25, 1e-12); // the time is left advanced
            err[k] = std::hypot(tr.m_arrX.back() - c.x(1), tr.m_arrY.back() - c.y(1));
        }
        EXPECT_LT(err[0], 1e-8);
        if (err[0] > 1e-13) {
            EXPECT_GT(err[0] / err[1], 20);
        }
    }
}

TEST(Manifolds, StartPointsAndDirections)
{
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
        double sx, sy, ux, uy; // stable and unstable start offsets, up to sign
    };
    const double e = 0.2 / std::sqrt(2.0);
    // x'' = x - 0.5 x': lambda = (-0.5 +- sqrt(4.25)) / 2, eigenvectors (1, lambda).
    const double l1 = (-0.5 + std::sqrt(4.25)) / 2, l2 = (-0.5 - std::sqrt(4.25)) / 2;
    const double n1 = 0.2 / std::hypot(1, l1), n2 = 0.2 / std::hypot(1, l2);
    const Case cases[] = {
        {SystemKind::Newtonian, "x", "", e, -e, e, e},
        {SystemKind::Newtonian, "x-0.5*x'", "", n2, n2 * l2, n1, n1 * l1},
        {SystemKind::TwoVariable, "x", "-y", 0, 0.2, 0.2, 0},
        {SystemKind::TwoVariable, "y", "x", e, -e, e, e},
    };
    const int mid = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eqX);
        PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
        const CPlaneFrame f = Frame(600, 600);
        const CFixedPointSearch s = Search(p, f);
        ASSERT_EQ(s.points.size(), 1u);
        std::array<CVFTrack, kManifoldSlots> slots;
        CManifoldPens pens;
        pens.stableColor = RGB(1, 2, 3);
        const CManifoldResult r =
            CalcManifolds(*p.field, s.points, 0.01 * 20, mid, 0.05, 0, pens, slots);
        EXPECT_EQ(r.saddles, 1);
        EXPECT_FALSE(r.ranOut);
        const CVFTrack &st = slots[0], &un = slots[1];
        EXPECT_EQ(st.m_nBranchKind, BranchKind::Stable);
        EXPECT_EQ(un.m_nBranchKind, BranchKind::Unstable);
        EXPECT_EQ(st.m_clrLine, RGB(1, 2, 3));
        for (const CVFTrack* tr : {&st, &un}) {
            ASSERT_EQ(tr->Count(), 2 * mid);
            EXPECT_EQ(std::count(tr->m_arrBreak.begin(), tr->m_arrBreak.end(), -1), 1);
            EXPECT_TRUE(tr->StartsBranch(mid));
        }
        for (int b : {0, mid}) {
            // Each branch starts eps from the saddle along its eigenvector.
            EXPECT_NEAR(std::fabs(st.m_arrX[b] * c.sx + st.m_arrY[b] * c.sy), 0.04, 1e-9);
            EXPECT_NEAR(std::fabs(un.m_arrX[b] * c.ux + un.m_arrY[b] * c.uy), 0.04, 1e-9);
            EXPECT_EQ(st.m_arrX[b], -st.m_arrX[mid - b]);
            EXPECT_EQ(un.m_arrY[b], -un.m_arrY[mid - b]);
            // Both branches run away from the saddle (the stable one backwards in time) and
            // stay on their eigen-lines.
            const int last = b + mid - 1;
            for (const CVFTrack* tr : {&st, &un}) {
                const double x = tr->m_arrX[last], y = tr->m_arrY[last];
                const double dx = tr == &st ? c.sx : c.ux, dy = tr == &st ? c.sy : c.uy;
                EXPECT_GT(std::hypot(x, y), 0.3);
                EXPECT_NEAR(x * dy - y * dx, 0, 1e-6 * std::hypot(x, y));
            }
        }
        for (int i = 2; i < kManifoldSlots; ++i)
            EXPECT_TRUE(slots[i].Empty());
    }
}

TEST(Manifolds, SixSaddlesFillFiveRecordPairs)
{
    PlaneCase p = MakePlane(SystemKind::TwoVariable, "x", "-y");
    CFixedPoint saddle = ClassifyFixedPoint(*p.field, 0, 0, Frame(600, 600), 1e-6, 0);
    CFixedPoint node;
    node.type = FP_STABLE_NODE;
    const std::vector<CFixedPoint> points = {node,   saddle, saddle, saddle,
                                             saddle, saddle, node,   saddle};
    std::array<CVFTrack, kManifoldSlots> slots;
    const CManifoldResult r = CalcManifolds(*p.field, points, 0.2, 5, 0.01, 0, {}, slots);
    EXPECT_EQ(r.saddles, 5);
    EXPECT_TRUE(r.ranOut);
    for (const CVFTrack& tr : slots)
        EXPECT_EQ(tr.Count(), 10);
}

TEST(PhaseLine, ZerosAndTheirKinds)
{
    const double pi = std::numbers::pi;
    const struct
    {
        const char* eq;
        int form;
        std::vector<CPhaseZero> zeros; // within two columns
    } cases[] = {
        {"sin(x)",
         0,
         {{-3 * pi, kZeroStable},
          {-2 * pi, kZeroUnstable},
          {-pi, kZeroStable},
          {0, kZeroUnstable},
          {pi, kZeroStable},
          {2 * pi, kZeroUnstable},
          {3 * pi, kZeroStable}}},
        {"x-0.31", 0, {{0.31, kZeroUnstable}}},
        {"0.31-x", 0, {{0.31, kZeroStable}}},
        // The logistic form with b = 0 takes b = 1: x (1 - x).
        {"", 3, {{0, kZeroUnstable}, {1, kZeroStable}}},
        {"1+x^2", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eq);
        PlaneCase p = MakePlane(SystemKind::OneVariable, c.eq, "", c.form);
        CPlaneModel pm = CPlaneModel::Of(*p.model);
        pm.params = {1, 0, 0, 0, 0, 0};
        CRateField field(pm);
        const CPlaneFrame f = Frame(600, 400);
        const CPhaseLine line = CalcPhaseLine(field, f, 0, kVectorFieldTouch);
        ASSERT_EQ(line.m_arrX.size(), 601u);
        ASSERT_EQ(line.m_zeros.size(), c.zeros.size());
        for (std::size_t i = 0; i < c.zeros.size(); ++i) {
            EXPECT_NEAR(line.m_zeros[i].x, c.zeros[i].x, 2 * f.ScaleX());
            EXPECT_EQ(line.m_zeros[i].kind, c.zeros[i].kind);
        }
    }
}

TEST(PhaseLine, TouchingZeros)
{
    // x' = +-x^2 with a column exactly on 0: every marker near 0 shows the flow passing by.
    for (const auto& [eq, kind] : {std::pair{"x^2", kZeroTouchRight}, {"0-x^2", kZeroTouchLeft}}) {
        PlaneCase p = MakePlane(SystemKind::OneVariable, eq);
        const CPlaneFrame f = Frame(400, 400, -2, 2);
        const CPhaseLine line = CalcPhaseLine(*p.field, f, 0, kVectorFieldTouch);
        ASSERT_FALSE(line.m_zeros.empty());
        for (const CPhaseZero& z : line.m_zeros) {
            EXPECT_EQ(z.kind, kind) << eq;
            EXPECT_LT(std::fabs(z.x), 0.1);
        }
        EXPECT_EQ(std::max(std::fabs(line.m_dLargest), std::fabs(line.m_dSmallest)), 4);
    }
}

// A double root k (x - c)^2 halfway between two columns (0.3 and 0.3 + 1/30), x' range 20: the
// pairs round c have products k^2 x 7.7e-8, 6.9e-7, 1.7e-5, 9.4e-5 ..., each touching zero where
// it lies below 2e-5 in the Vector Field, below 2e-7 in the Basins view.
TEST(PhaseLine, EachViewLooksForTouchingZerosAsFineAsItsOwnRule)
{
    const struct
    {
        const char* eq;
        double touch;
        size_t zeros;
    } cases[] = {
        {"10*(x-0.3-1/60)^2", kVectorFieldTouch, 1},
        {"10*(x-0.3-1/60)^2", kBasinsTouch, 0},
        {"(x-0.3-1/60)^2", kVectorFieldTouch, 5},
        {"(x-0.3-1/60)^2", kBasinsTouch, 1},
    };
    const CPlaneFrame f = Frame(600, 400);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.eq) + " / " + std::to_string(c.touch));
        PlaneCase p = MakePlane(SystemKind::OneVariable, c.eq);
        const CPhaseLine line = CalcPhaseLine(*p.field, f, 0, c.touch);
        ASSERT_EQ(line.m_zeros.size(), c.zeros);
        for (const CPhaseZero& z : line.m_zeros) {
            EXPECT_EQ(z.kind, kZeroTouchRight);
            EXPECT_NEAR(z.x, 0.3 + 1.0 / 60, 0.07);
        }
    }
}

// x' = +-(x - a) with a column a ten-thousandth beside a: its near-zero pair is the crossing's
// own, one marker of the crossing's kind; double roots a column misses still touch (a run of
// neighbouring touching markers counts once here).
TEST(PhaseLine, ACrossingBesideAColumnIsOneZero)
{
    const struct
    {
        const char* eq;
        std::vector<PhaseZeroKind> kinds;
    } cases[] = {
        {"x-0.3001", {kZeroUnstable}},
        {"x-0.2999", {kZeroUnstable}},
        {"0.3001-x", {kZeroStable}},
        {"0.2999-x", {kZeroStable}},
        {"(x-0.3001)*(x+5.00001)", {kZeroStable, kZeroUnstable}},
        {"(x-0.3001)^2", {kZeroTouchRight}},
        {"0-(x-0.2999)^2", {kZeroTouchLeft}},
    };
    const CPlaneFrame f = Frame(600, 400); // a column at 0.3 and at -5
    for (const auto& c : cases) {
        PlaneCase p = MakePlane(SystemKind::OneVariable, c.eq);
        const CPhaseLine line = CalcPhaseLine(*p.field, f, 0, kVectorFieldTouch);
        std::vector<PhaseZeroKind> kinds;
        for (const CPhaseZero& z : line.m_zeros)
            if (kinds.empty() || kinds.back() != z.kind || z.kind < kZeroTouchRight)
                kinds.push_back(z.kind);
        EXPECT_EQ(kinds, c.kinds) << c.eq;
    }
}

} // namespace
