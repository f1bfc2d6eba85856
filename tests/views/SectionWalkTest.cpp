// Section rows, stride walks and return marks of a ring, and the row decimation of a repaint.
#include "model/core/ModelCore.h"
#include "views/rows/RingWalk.h"
#include "views/rows/RowDecimation.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {
constexpr double kPer = 1.0;

// A ring of `rows` rows that stored `stored` rows of step dt from time t0; the oldest row is at
// stored % rows once wrapped.
struct Ring
{
    Ring(int rows, int stored, double dt, double t0 = 0) : t(rows, 0.0)
    {
        for (int i = 0; i < stored; ++i)
            t[i % rows] = t0 + i * dt;
        const bool wrapped = stored > rows;
        span = {t.data(), rows, wrapped ? stored % rows : 0, stored, wrapped};
    }
    std::vector<double> t;
    RingSpan span;
};

std::vector<int> Stride(const RingSpan& r, int first, int stride)
{
    std::vector<int> rows;
    WalkStride(r, first, stride, [&](int row) { rows.push_back(row); });
    return rows;
}
} // namespace

TEST(SectionWalk, RowsPerCycle)
{
    const struct
    {
        int cc, ti, s;
    } cases[] = {{100, 1, 100}, {100, 10, 10}, {100, 100, 1}, {100, 0, 1}, {5, 10, 1}, {0, 1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(RowsPerCycle(c.cc, c.ti), c.s) << c.cc << "/" << c.ti;
}

TEST(SectionWalk, SectionPhase)
{
    const struct
    {
        double t, per, dt;
        bool on;
    } cases[] = {{0, 1, 0.1, true},    {2.04, 1, 0.1, true},      {2.96, 1, 0.1, true},
                 {2.5, 1, 0.1, false}, {-3.02, 1, 0.1, true},     {1, 0, 0.1, false},
                 {1, NAN, 0.1, false}, {INFINITY, 1, 0.1, false}, {2.06, 1, 0.1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(OnSectionPhase(c.t, c.per, c.dt), c.on) << c.t;
}

// s = 10 rows a cycle (dt 0.1, period 1): the first and last rows on the phase, and the walk
// from the first that stops at the newest row.
TEST(SectionWalk, FirstLastAndTheStrideWalk)
{
    const struct
    {
        int rows, stored;
        int first, last;
        bool onPhase;
        std::vector<int> walk;
    } cases[] = {
        // Not wrapped: from row 0, the last a stride walk reaches.
        {100, 95, 0, 90, false, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90}},
        {100, 0, 0, 0, false, {}},
        // Wrapped, 37 rows (not a multiple of 10): oldest row 3 at t 0.3, newest row 2 at
        // t 3.9; on the phase t 1, 2, 3.
        {37, 40, 10, 30, true, {10, 20, 30}},
        // Oldest row 15 at t 5.2, newest row 14 at t 8.8: t 6, 7 and 8 after the seam.
        {37, 89, 23, 6, true, {23, 33, 6}},
    };
    for (const auto& c : cases) {
        const Ring r(c.rows, c.stored, 0.1);
        const SectionRows s = FindSectionRows(r.span, 10, kPer, 0.1);
        EXPECT_EQ(s.first, c.first) << c.stored;
        EXPECT_EQ(s.last, c.last) << c.stored;
        EXPECT_EQ(s.onPhase, c.onPhase) << c.stored;
        EXPECT_EQ(Stride(r.span, s.first, 10), c.walk) << c.stored;
        for (const int row : c.walk)
            EXPECT_TRUE(OnSectionPhase(r.t[row], kPer, 0.1)) << row;
    }
}

// A wrapped ring without a row on the phase: one pass each way, then the oldest row.
TEST(SectionWalk, SearchStopsAfterOnePass)
{
    const Ring r(37, 80, 0.1, 0.05); // every row half a step off the phase
    const SectionRows s = FindSectionRows(r.span, 10, kPer, 0.01);
    EXPECT_FALSE(s.onPhase);
    EXPECT_EQ(s.first, r.span.index);
    EXPECT_EQ(s.last, (r.span.index + 30) % 37);
    EXPECT_EQ(FindSectionRows(r.span, 10, 0.0, 0.1).first, r.span.index); // no period
}

TEST(SectionWalk, ImportedRowsWrapAtTheirOwnLength)
{
    std::vector<double> t(25);
    const RingSpan imported{t.data(), 25, 0, 25, false};
    EXPECT_EQ(Stride(imported, 0, 10), (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(Stride(imported, 0, 1000), (std::vector<int>{0}));
    EXPECT_TRUE(Stride(imported, 25, 10).empty()); // not a row
    EXPECT_TRUE(Stride(imported, 0, 0).empty());
}

// The offset of the marks in rows: the oldest row at phase f puts the cycle's start
// lround((1 - f) s) rows later.
TEST(SectionWalk, PhaseOffsetInRows)
{
    const struct
    {
        double t0;
        int s, k0;
    } cases[] = {{0, 10, 0},    {3.0, 10, 0},  {3.25, 10, 8}, {3.25, 4, 3}, {3.96, 10, 0},
                 {3.94, 10, 1}, {-0.25, 4, 1}, {3.5, 1, 0},   {NAN, 10, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PhaseOffsetRows(c.t0, kPer, c.s), c.k0) << c.t0 << " " << c.s;
    EXPECT_EQ(PhaseOffsetRows(3.25, 0, 10), 0);
}

// With table interval 10 (s = 10 rows, 100 chronons a cycle) the marked rows lie on whole
// periods, which a count of chronons would miss.
TEST(SectionWalk, MarksFallOnWholePeriods)
{
    const Ring r(37, 89, 0.1); // oldest row t 5.2
    const int s = 10;
    const MarkRule rule{s, PhaseOffsetRows(r.t[r.span.index], kPer, s)};
    int marks = 0;
    for (int age = 0; age < 37; ++age) {
        const int row = (r.span.index + age) % 37;
        EXPECT_EQ(rule.Marked(age), OnSectionPhase(r.t[row], kPer, 0.1)) << age;
        marks += rule.Marked(age);
    }
    EXPECT_EQ(marks, 3); // t 6, 7 and 8
    EXPECT_FALSE(MarkRule{}.Marked(0));
    EXPECT_TRUE((MarkRule{3, 2}.Marked(-1))); // a negative count is marked as its remainder says
}

// The rule every view takes from the settings: a stored run's section rows, its return marks
// and a live row's cycle start agree row for row, and the stride never falls to 0.
TEST(SectionWalk, OneRuleForStoredAndLiveRows)
{
    const struct
    {
        int cc, ti;
        double per;
        int stride;
    } cases[] = {{100, 10, 1.0, 10}, {100, 1, 2.0, 100}, {10, 20, 1.0, 1}, {7, 2, 0.7, 3}};
    for (const auto& c : cases) {
        CModelCore m(SystemKind::TwoVariable);
        m.m_nChrononsPerCycle = c.cc;
        m.m_nTableInterval = c.ti;
        m.m_dPeriod = c.per;
        m.m_dRunStep = c.per / c.cc;
        const SectionRule rule = SectionRuleOf(m);
        EXPECT_EQ(rule.stride, c.stride) << c.cc << "/" << c.ti;
        EXPECT_EQ(rule.step, m.RunStep());
        const Ring r(500, 61, c.ti * rule.step); // a run that has not wrapped
        std::set<int> walked;
        rule.Walk(r.span, [&](int row) { walked.insert(row); });
        const MarkRule marks = rule.Marks(r.span, true);
        for (int row = 0; row < 61; ++row) {
            EXPECT_EQ(walked.count(row) == 1, rule.StartsCycle(row)) << row;
            EXPECT_EQ(marks.Marked(row), rule.StartsCycle(row)) << row;
            EXPECT_EQ(rule.CyclePlace(row), row % c.stride);
        }
    }
}

namespace {
using Segs = std::vector<std::pair<CPoint, CPoint>>;

Segs Fold(const Segs& in)
{
    ColumnFold f;
    Segs out;
    auto sink = [&](CPoint a, CPoint b) { out.emplace_back(a, b); };
    for (const auto& [a, b] : in)
        f.Add(a, b, sink);
    f.Flush(sink);
    return out;
}

// The pixels a vertical stretch covers: each segment from its smaller y up to its larger.
std::set<int> Column(const Segs& segs, int x)
{
    std::set<int> ys;
    for (const auto& [a, b] : segs)
        if (a.x == x && b.x == x)
            for (int y = std::min(a.y, b.y); y < std::max(a.y, b.y); ++y)
                ys.insert(y);
    return ys;
}
} // namespace

TEST(RowDecimation, ColumnFoldKeepsTheColumnsPixels)
{
    Segs in{{{0, 5}, {1, 6}}};
    const int ys[] = {6, 9, 2, 8, 4, 7};
    for (int i = 0; i + 1 < 6; ++i)
        in.push_back({{1, ys[i]}, {1, ys[i + 1]}});
    in.push_back({{1, 7}, {2, 7}});
    in.push_back({{2, 7}, {2, 7}}); // a point
    const Segs out = Fold(in);
    EXPECT_EQ(out.size(), 5u); // in, down to 2, up to 9, back to 7, out
    EXPECT_EQ(Column(out, 1), Column(in, 1));
    EXPECT_EQ(out.front(), in.front());
    EXPECT_EQ(out.back(), (std::pair<CPoint, CPoint>{{1, 7}, {2, 7}}));
    // A stretch that does not join the last one starts a new column; a column that goes back
    // and forth between two rows is one segment.
    EXPECT_EQ(Fold({{{1, 1}, {1, 3}}, {{1, 5}, {1, 4}}, {{1, 4}, {1, 5}}, {{1, 5}, {1, 4}}}),
              (Segs{{{1, 1}, {1, 3}}, {{1, 5}, {1, 4}}}));
}

TEST(RowDecimation, SieveSkipsOnlyWhatSetsNothing)
{
    PixelSieve sieve(CRect(0, 0, 10, 10));
    EXPECT_TRUE(sieve.Adds({2, 2}, {3, 2}));  // sets 2,2
    EXPECT_FALSE(sieve.Adds({3, 2}, {2, 2})); // sets 2,2 whichever way
    EXPECT_TRUE(sieve.Adds({3, 2}, {4, 2}));  // sets 3,2
    EXPECT_FALSE(sieve.Adds({4, 2}, {3, 2})); // only 3,2: 4,2 is the end left out
    EXPECT_FALSE(sieve.Adds({2, 2}, {4, 2})); // two pixels apart: 2,2 and 3,2, both set
    EXPECT_TRUE(sieve.Adds({2, 2}, {6, 2}));  // 4,2 and 5,2 are new
    EXPECT_TRUE(sieve.Adds({3, 3}, {2, 4}));  // diagonal: sets 2,4 (the smaller x)
    EXPECT_FALSE(sieve.Adds({2, 4}, {3, 3}));
    EXPECT_TRUE(sieve.Adds({5, 5}, {5, 6}));     // upright: sets 5,5 (the smaller y)
    EXPECT_TRUE(sieve.Adds({5, 7}, {5, 6}));     // sets 5,6
    EXPECT_TRUE(sieve.Adds({12, 12}, {11, 11})); // beyond the area: never known
    EXPECT_TRUE(sieve.Adds({12, 12}, {11, 11}));
    EXPECT_TRUE(sieve.AddsPoint({6, 5}));
    EXPECT_FALSE(sieve.AddsPoint({6, 5}));
    EXPECT_FALSE(sieve.AddsPoint({5, 6})); // set by a line
    EXPECT_TRUE(sieve.AddsPoint({-1, 5}));
    EXPECT_TRUE(sieve.AddsPoint({-1, 5}));
    PixelSieve empty(CRect(5, 5, 0, 0)); // an upside-down area knows nothing
    EXPECT_TRUE(empty.AddsPoint({1, 1}));
    EXPECT_TRUE(empty.AddsPoint({1, 1}));
}

// The line's pixels against a plain 64-bit 16.16 stepping: short segments every way (one step,
// diagonals, steep and flat) and spans past 2^15, where the quotient needs 64 bits.
TEST(RowDecimation, LinePixelsMatchPlainStepping)
{
    using Pixels = std::vector<std::pair<int, int>>;
    auto plain = [](CPoint a, CPoint b) {
        Pixels out;
        const bool steep = std::abs(b.x - a.x) < std::abs(b.y - a.y);
        int m0 = steep ? a.y : a.x, m1 = steep ? b.y : b.x;
        int n0 = steep ? a.x : a.y, n1 = steep ? b.x : b.y;
        if (m0 > m1) {
            std::swap(m0, m1);
            std::swap(n0, n1);
        }
        if (m0 == m1)
            return out;
        const auto inc = static_cast<std::int32_t>((std::int64_t(n1 - n0) << 16) / (m1 - m0));
        std::int32_t n = n0 * 65536 + (inc > 0 ? (32 * inc) >> 6 : 0);
        for (int m = m0; m < m1; ++m, n += inc)
            out.push_back(steep ? std::pair(n >> 16, m) : std::pair(m, n >> 16));
        return out;
    };
    auto listed = [](CPoint a, CPoint b) {
        Pixels out;
        ForEachLinePixel(a, b, [&](int x, int y) { out.emplace_back(x, y); });
        return out;
    };
    for (int dx = -4; dx <= 4; ++dx)
        for (int dy = -4; dy <= 4; ++dy)
            EXPECT_EQ(listed({10, 20}, {10 + dx, 20 + dy}), plain({10, 20}, {10 + dx, 20 + dy}))
                << dx << "," << dy;
    for (const auto& [a, b] : std::vector<std::pair<CPoint, CPoint>>{
             {{0, 0}, {40000, 3}}, {{5, -7}, {-3, 32767}}, {{0, 0}, {32768, -32768}}})
        EXPECT_EQ(listed(a, b), plain(a, b));
}

// The sieve against a plain set of the pixels drawn: a segment adds pixels exactly when one of
// its pixels is not in the set yet, whether or not the sieve is told its ends lie inside. Crowded
// short segments (where whole boxes are set and the box test skips them), a thin curve drawn again
// and again (where the box test is left off and tried now and then), long segments, and segments
// reaching past the area and across its words.
TEST(RowDecimation, SieveAgreesWithTheSetOfPixelsDrawn)
{
    const CRect area(3, 5, 153, 125); // lines of 151 pixels: three words each
    const int w = area.Width() + 1, h = area.Height() + 1;
    std::mt19937 rng(11);
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const struct
    {
        const char* name;
        std::function<std::pair<CPoint, CPoint>(int)> segment;
    } cases[] = {
        {"crowded",
         [&](int) {
             const CPoint a(area.left + 60 + in(0, 40), area.top + 30 + in(0, 40));
             return std::pair(a, CPoint(a.x + in(-12, 12), a.y + in(-12, 12)));
         }},
        {"thin, drawn again",
         [&](int i) {
             const CPoint ring[] = {{10, 10}, {70, 14}, {140, 60}, {90, 110}, {20, 80}};
             const CPoint a = ring[i % 5], b = ring[(i + 1) % 5];
             return std::pair(CPoint(area.left + a.x, area.top + a.y),
                              CPoint(area.left + b.x, area.top + b.y));
         }},
        {"long, and past the area",
         [&](int) {
             return std::pair(CPoint(in(area.left - 20, area.right + 20), in(0, 140)),
                              CPoint(in(area.left - 20, area.right + 20), in(0, 140)));
         }},
    };
    for (const auto& c : cases) {
        PixelSieve sieve(area);
        std::set<std::pair<int, int>> drawn;
        int adds = 0, skips = 0;
        for (int i = 0; i < 6000; ++i) {
            const auto [a, b] = c.segment(i);
            bool expected = false;
            auto mark = [&](int x, int y) {
                const bool inside =
                    x >= area.left && x < area.left + w && y >= area.top && y < area.top + h;
                expected |= !inside || drawn.insert({x, y}).second;
            };
            const int dx = b.x - a.x, dy = b.y - a.y;
            if (std::abs(dx) <= 1 && std::abs(dy) <= 1) { // one pixel: the end that comes first
                if (a != b)
                    mark((dx > 0 || (dx == 0 && dy > 0) ? a : b).x,
                         (dx > 0 || (dx == 0 && dy > 0) ? a : b).y);
            } else {
                ForEachLinePixel(a, b, mark);
            }
            auto within = [&](CPoint p) {
                return p.x >= area.left && p.x <= area.right && p.y >= area.top &&
                       p.y <= area.bottom;
            };
            // Every other segment with both ends in the area as one known to be inside.
            const bool known = i % 2 && within(a) && within(b);
            ASSERT_EQ(known ? sieve.AddsWithin(a, b) : sieve.Adds(a, b), expected)
                << c.name << " " << i;
            (expected ? adds : skips) += 1;
        }
        EXPECT_GT(skips, 1000) << c.name;
        EXPECT_GE(adds, 5) << c.name;
    }
}
