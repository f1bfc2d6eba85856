// A repaint's block walk visits the segments of the row-by-row walk in its order, with each
// row's pixels as the one-value mapping gives them, leaves out only segments that stay on one
// pixel, and lets a visitor take the rest of a pixel column along.
#include "views/rows/RowPixels.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <vector>

namespace {
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const int kCaptionWidths[5] = {14, 15, 16, 18, 19};

C2DPlotGeometry Geometry()
{
    C2DPlotGeometry g;
    g.m_dXMin = -4;
    g.m_dXMax = 6;
    g.m_dYMin = -5;
    g.m_dYMax = 5;
    g.Layout(CRect(0, 0, 640, 480), 14, kCaptionWidths);
    return g;
}

// A ring's columns: time, and x and y that crawl across pixels (many rows on one pixel, some
// not finite, some far outside the window).
struct Table
{
    std::vector<double> t, x, y;
    explicit Table(int rows)
    {
        for (int i = 0; i < rows; ++i) {
            t.push_back(0.01 * i);
            x.push_back(i % 89 == 5 ? kNan : i % 131 == 7 ? 1e300 : 5 * std::sin(0.0005 * i));
            y.push_back(i % 97 == 3 ? kInf : 4 * std::cos(0.0004 * i));
        }
    }
};

struct Ring
{
    const char* name;
    int rows;
    std::int64_t count;
    int index;
    double tMin = -kInf, tMax = kInf;
    std::vector<std::pair<int, double>> times = {}; // rows whose time is set apart
};

const Ring kRings[] = {
    {"one row", 1, 1, 0},
    {"short", 7, 5, 0},
    {"a block and one", 513, 513, 0},
    {"wrapped across blocks", 1300, 5000, 1111},
    {"wrapped at a block edge", 1024, 3000, 512},
    {"window", 1300, 5000, 700, 4.0, 9.0},
    {"times not finite", 1300, 1300, 0, -kInf, kInf, {{40, kNan}, {600, kNan}, {900, kInf}}},
    {"times out of order", 1300, 1300, 0, 2.0, 8.0, {{300, -3.0}, {301, kNan}, {500, 1.0}}},
};

using Segment = std::tuple<int, int, int>;

RingSpan SpanOf(const Ring& r, Table& table)
{
    for (const auto& [row, t] : r.times)
        table.t[row] = t;
    const int index = r.count > r.rows ? r.index : 0;
    return {table.t.data(), r.rows, index, r.count, r.count > r.rows};
}

std::vector<Segment> RowByRow(const Ring& r, const RingSpan& span)
{
    std::vector<Segment> s;
    WalkSegments(span, r.tMin, r.tMax, 0.01,
                 [&](int a, int b, int age) { s.emplace_back(a, b, age); });
    return s;
}
} // namespace

TEST(RowPixels, WalkVisitsTheRowByRowSegmentsWithTheirPixels)
{
    const C2DPlotGeometry g = Geometry();
    for (const Ring& r : kRings) {
        Table table(r.rows);
        const RingSpan span = SpanOf(r, table);
        const std::vector<Segment> expected = RowByRow(r, span);
        std::vector<Segment> all, moving;
        for (const bool skipStill : {false, true}) {
            CRowPixels pixels(g, r.rows, table.x.data(), {nullptr, table.y.data()});
            std::vector<Segment>& visited = skipStill ? moving : all;
            pixels.Walk(
                span, r.tMin, r.tMax, 0.01, skipStill, [&](int a, int b, int age, int slot) {
                    visited.emplace_back(a, b, age);
                    const auto pixel = [&](const std::vector<double>& v, int row, bool vertical) {
                        if (!std::isfinite(v[row]))
                            return kNoPixel;
                        return vertical ? g.WorldToPixelY(v[row]) : g.WorldToPixelX(v[row]);
                    };
                    EXPECT_EQ(pixels.X(slot - 1), pixel(table.x, a, false))
                        << r.name << " row " << b;
                    EXPECT_EQ(pixels.X(slot), pixel(table.x, b, false)) << r.name << " row " << b;
                    EXPECT_EQ(pixels.Y(1)[slot - 1], pixel(table.y, a, true))
                        << r.name << " row " << b;
                    EXPECT_EQ(pixels.Y(1)[slot], pixel(table.y, b, true)) << r.name << " row " << b;
                    EXPECT_EQ(pixels.Y(0), nullptr);
                    return 0;
                });
        }
        EXPECT_EQ(all, expected) << r.name;
        // Left out: exactly the segments whose ends share both pixels.
        std::vector<Segment> still;
        for (const auto& [a, b, age] : expected) {
            const bool moves = (std::isfinite(table.x[a]) ? g.WorldToPixelX(table.x[a]) : 0) !=
                                   (std::isfinite(table.x[b]) ? g.WorldToPixelX(table.x[b]) : 0) ||
                               std::isfinite(table.y[a]) != std::isfinite(table.y[b]) ||
                               std::isfinite(table.x[a]) != std::isfinite(table.x[b]) ||
                               (std::isfinite(table.y[a]) && std::isfinite(table.y[b]) &&
                                g.WorldToPixelY(table.y[a]) != g.WorldToPixelY(table.y[b]));
            if (moves)
                still.emplace_back(a, b, age);
        }
        EXPECT_EQ(moving, still) << r.name;
        if (r.rows > 500) { // crowded: most rows stay
            EXPECT_LT(moving.size(), expected.size() / 2) << r.name;
        }
    }
}

// A visitor that takes along the rest of each pixel column, where the whole block is walked,
// sees the other rows; those it took are the ones after it on its pixel.
TEST(RowPixels, AVisitorTakesTheRestOfAColumnAlong)
{
    const C2DPlotGeometry g = Geometry();
    for (const Ring& r : kRings) {
        Table table(r.rows);
        const RingSpan span = SpanOf(r, table);
        std::vector<int> rows;
        CRowPixels pixels(g, r.rows, table.x.data(), {});
        int taken = 0;
        pixels.Walk(span, r.tMin, r.tMax, 0.01, false, [&](int, int b, int, int slot) {
            rows.push_back(b);
            const int n = pixels.AllVisited() ? pixels.ColumnRun(slot) : 0;
            for (int k = 1; k <= n; ++k) {
                EXPECT_EQ(pixels.X(slot + k), pixels.X(slot)) << r.name;
                rows.push_back(b + k);
            }
            taken += n;
            return n;
        });
        std::vector<int> expected;
        for (const auto& [a, b, age] : RowByRow(r, span))
            expected.push_back(b);
        EXPECT_EQ(rows, expected) << r.name;
        if (r.rows > 500 && r.times.empty() && r.tMin == -kInf) { // blocks walked whole
            EXPECT_GT(taken, r.rows / 2) << r.name;
        }
    }
}

// Rows a stride apart take a block each, the row before them mapped with them.
TEST(RowPixels, ReachMapsRowsAStrideApart)
{
    const C2DPlotGeometry g = Geometry();
    Table table(1000);
    CRowPixels pixels(g, 1000, table.x.data(), {table.y.data()}, 1);
    for (const auto& [a, b] : {std::pair{0, 0}, {0, 100}, {100, 200}, {990, 999}, {999, 5}}) {
        const int slot = pixels.Reach(a, b);
        for (const auto& [row, s] : {std::pair{a, slot - 1}, {b, slot}}) {
            EXPECT_EQ(pixels.X(s),
                      std::isfinite(table.x[row]) ? g.WorldToPixelX(table.x[row]) : kNoPixel);
            EXPECT_EQ(pixels.Y(0)[s],
                      std::isfinite(table.y[row]) ? g.WorldToPixelY(table.y[row]) : kNoPixel);
        }
    }
}
