#include "views/rows/PlotGeometry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {
const int kCaptionWidths[5] = {14, 15, 16, 18, 19};

C2DPlotGeometry LaidOut(int width, int height, int h, double x0, double x1, double y0, double y1)
{
    C2DPlotGeometry g;
    g.m_dXMin = x0;
    g.m_dXMax = x1;
    g.m_dYMin = y0;
    g.m_dYMax = y1;
    g.Layout(CRect(0, 0, width, height), h, kCaptionWidths);
    return g;
}
} // namespace

TEST(PlotLayout, MarginsAndRectanglesFollowTheTextHeight)
{
    const C2DPlotGeometry g = LaidOut(640, 480, 14, 0, 10, -5, 5);
    EXPECT_EQ(g.m_nMarginLeft, 42);
    EXPECT_EQ(g.m_nMarginTop, 56);
    EXPECT_EQ(g.m_nMarginRight, 42);
    EXPECT_EQ(g.m_nMarginBottom, 28);
    EXPECT_EQ(g.m_rcPlot, (CRect{42, 56, 598, 452}));
    EXPECT_EQ(g.m_rcPlotHit, g.m_rcPlot);
    EXPECT_EQ(g.m_rcVAxisName, (CRect{21, 56, 40, 452}));
    EXPECT_EQ(g.m_rcHAxisName, (CRect{42, 454, 598, 466}));
    EXPECT_EQ(g.m_rcMarginLeftArea, (CRect{0, 56, 42, 452}));
    EXPECT_EQ(g.m_rcMarginTopArea, (CRect{0, 0, 640, 56}));
    EXPECT_EQ(g.m_rcMarginRightArea, (CRect{598, 56, 640, 452}));
    EXPECT_EQ(g.m_rcMarginBottomArea, (CRect{0, 452, 640, 480}));
    EXPECT_EQ(g.m_rcCaption[0], (CRect{626, 416, 640, 416}));
    EXPECT_EQ(g.m_rcCaption[2], (CRect{612, 72, 626, 72}));
    EXPECT_EQ(g.m_rcCaption[4], (CRect{612, 273, 626, 273}));
    EXPECT_EQ(g.m_rcMouseValueX.top, 454);
    EXPECT_EQ(g.m_rcCrossValueX.bottom, 480);
    EXPECT_EQ(g.m_rcCrossValueY.left, 14);
    EXPECT_DOUBLE_EQ(g.m_dScaleX, 10.0 / 556);
    EXPECT_DOUBLE_EQ(g.m_dScaleY, 10.0 / 396);
}

TEST(PlotTransforms, EdgesMapOntoTheCRectangle)
{
    // Half a world unit per pixel on both axes.
    const C2DPlotGeometry g = LaidOut(640, 480, 14, 0, 278, -99, 99);
    EXPECT_EQ(g.WorldToPixelX(0), 42);
    EXPECT_EQ(g.WorldToPixelX(278), 598);
    EXPECT_EQ(g.WorldToPixelY(99), 56);
    EXPECT_EQ(g.WorldToPixelY(-99), 452);
    EXPECT_EQ(g.WorldToPixelY(0), 254);
    EXPECT_EQ(g.PixelToWorldX(42), 0.0);
    EXPECT_EQ(g.PixelToWorldY(56), 99.0);
    EXPECT_EQ(g.PixelToWorldX(320), 139.0);
    EXPECT_EQ(g.PixelToWorldY(254), 0.0);
}

TEST(PlotTransforms, XAddsTheMarginAfterTruncatingYBefore)
{
    const C2DPlotGeometry g = LaidOut(640, 480, 14, 0, 556, 0, 396);
    // One world unit per pixel: a value left of the window truncates toward zero before the
    // margin for x, after it for y.
    EXPECT_EQ(g.WorldToPixelX(-0.5), 42);
    EXPECT_EQ(g.WorldToPixelX(-1.5), 41);
    EXPECT_EQ(g.WorldToPixelY(396.5), 55); // 56 - 0.5 = 55.5 -> 55
    EXPECT_EQ(g.WorldToPixelY(397.5), 54);
}

TEST(PlotTransforms, ResultsStayBoundedForWildInput)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const C2DPlotGeometry g = LaidOut(640, 480, 14, 0, 10, -5, 5);
    EXPECT_EQ(g.WorldToPixelX(1e300), kPixelLimit + 42);
    EXPECT_EQ(g.WorldToPixelX(-inf), -kPixelLimit + 42);
    EXPECT_EQ(g.WorldToPixelY(-1e300), kPixelLimit);
    EXPECT_EQ(g.WorldToPixelX(nan), 42);

    // A zero range and a zero-height plot give a zero or infinite scale.
    const C2DPlotGeometry flat = LaidOut(640, 108, 14, 3, 3, 1, 1);
    EXPECT_EQ(flat.m_rcPlot.Height(), 24);
    EXPECT_EQ(flat.WorldToPixelX(3), 42); // 0/0
    EXPECT_EQ(flat.WorldToPixelX(4), kPixelLimit + 42);
    const C2DPlotGeometry empty = LaidOut(84, 84, 14, 0, 1, 0, 1);
    EXPECT_EQ(empty.m_rcPlot.Width(), 0);
    EXPECT_EQ(empty.WorldToPixelX(0.5), 42);
}

TEST(PlotClip, SegmentsAgainstThePlotEdges)
{
    C2DPlotGeometry g;
    g.m_rcPlot = CRect(100, 100, 200, 200);
    struct Case
    {
        CPoint a, b;
        bool drawn;
        CPoint ca, cb;
    } cases[] = {
        {{150, 150}, {160, 170}, true, {150, 150}, {160, 170}}, // inside: unchanged
        {{150, 150}, {250, 150}, true, {150, 150}, {200, 150}}, // cut at the right edge
        {{250, 150}, {150, 150}, true, {200, 150}, {150, 150}}, // the same the other way
        {{150, 150}, {250, 250}, true, {150, 150}, {200, 200}}, // through the corner
        {{50, 150}, {150, 250}, false, {}, {}},                 // touches the corner only
        {{50, 120}, {90, 180}, false, {}, {}},                  // both left
        {{100, 120}, {100, 180}, false, {}, {}},                // along the left edge
        {{150, 100}, {180, 100}, false, {}, {}},                // along the top edge
        {{120, 250}, {180, 300}, false, {}, {}},                // both below
        {{150, 50}, {150, 250}, true, {150, 100}, {150, 200}},  // crosses top and bottom
        {{0, 150}, {300, 150}, true, {100, 150}, {200, 150}},   // crosses left and right
    };
    for (const Case& c : cases) {
        CPoint a = c.a, b = c.b;
        SCOPED_TRACE(testing::Message() << c.a.x << "," << c.a.y << " - " << c.b.x << "," << c.b.y);
        ASSERT_EQ(g.ClipToPlotRect(a, b), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(a, c.ca);
            EXPECT_EQ(b, c.cb);
        }
    }
}

TEST(PlotClip, CorrectionsTruncateTowardZero)
{
    C2DPlotGeometry g;
    g.m_rcPlot = CRect(0, 0, 100, 100);
    CPoint a{-10, 50}, b{20, 57}; // slope 7/30: -10 -> 0 moves y by 2.33
    ASSERT_TRUE(g.ClipToPlotRect(a, b));
    EXPECT_EQ(a, (CPoint{0, 52}));
    CPoint c{-10, 50}, d{20, 43};
    ASSERT_TRUE(g.ClipToPlotRect(c, d));
    EXPECT_EQ(c, (CPoint{0, 48}));
}

TEST(PlotClip, FarPixelsDoNotOverflow)
{
    C2DPlotGeometry g;
    g.m_rcPlot = CRect(42, 56, 598, 452);
    CPoint a{300, 300}, b{kPixelLimit, -kPixelLimit};
    ASSERT_TRUE(g.ClipToPlotRect(a, b));
    EXPECT_EQ(a, (CPoint{300, 300}));
    EXPECT_GE(b.x, 300);
    EXPECT_LE(b.x, 598);
    EXPECT_EQ(b.y, 56);
}

// A block of values mapped at once gives each the pixel the one-value mapping gives, kNoPixel
// for a value that is not finite: values on and beside pixel edges, far beyond the window, at
// the clamp, and windows whose scale is zero or infinite; block lengths that leave a tail.
TEST(PlotTransforms, BlockMappingMatchesValueByValue)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        const char* name;
        C2DPlotGeometry g;
    } geometries[] = {
        {"half units", LaidOut(640, 480, 14, 0, 278, -99, 99)},
        {"odd scale", LaidOut(640, 480, 14, -10, 10, -10, 10)},
        {"zero range", LaidOut(640, 108, 14, 3, 3, 1, 1)},
        {"zero width", LaidOut(84, 84, 14, 0, 1, 0, 1)},
    };
    for (const auto& [name, g] : geometries) {
        std::vector<double> v = {0,    -0.0, 3,    1,      nan,  inf,   -inf,   1e300, -1e300,
                                 1e12, 5e8,  -5e8, 1e-300, 99.5, -99.5, 278.25, 1.5,   -1.5};
        // Each pixel's edge in either world direction, and the doubles on both sides of it.
        for (int p = 40; p < 600; p += 7)
            for (double w : {g.PixelToWorldX(p), g.PixelToWorldY(p)})
                v.insert(v.end(), {w, std::nextafter(w, inf), std::nextafter(w, -inf)});
        for (const int n : {int(v.size()), int(v.size()) - 1, 3, 1}) {
            std::vector<int> px(n), py(n);
            g.WorldToPixelsX(v.data(), n, px.data());
            g.WorldToPixelsY(v.data(), n, py.data());
            for (int i = 0; i < n; ++i) {
                const bool finite = std::isfinite(v[i]);
                EXPECT_EQ(px[i], finite ? g.WorldToPixelX(v[i]) : kNoPixel) << name << " " << v[i];
                EXPECT_EQ(py[i], finite ? g.WorldToPixelY(v[i]) : kNoPixel) << name << " " << v[i];
            }
        }
    }
}
