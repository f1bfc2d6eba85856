// The 3-D drawing's walk of a table's rows: what it hands a painter is what the rows give one by
// one (the ring's segments, each row mapped on its own and clipped to the plot), in the box and
// on the forcing-phase cylinder, over a wrapped ring with rows of a run that blew up.
#include "views/rows/ProjectedWalk.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Call
{
    char kind; // 's' Segment, 'i' InsideSegment, 'c' ClippedSegment, 'p' Point
    CPoint a, b;
    std::int64_t age;
    bool operator==(const Call& o) const
    {
        return kind == o.kind && a == o.a && b == o.b && age == o.age;
    }
};

struct RecordingPainter
{
    bool sieves = false;
    std::vector<Call> calls;
    int finished = 0;

    bool SievesOnly() const { return sieves; }
    void Segment(CPoint a, CPoint b, std::int64_t age) { calls.push_back({'s', a, b, age}); }
    void InsideSegment(CPoint a, CPoint b) { calls.push_back({'i', a, b, -1}); }
    void ClippedSegment(CPoint a, CPoint b) { calls.push_back({'c', a, b, -1}); }
    void Point(CPoint p, std::int64_t age) { calls.push_back({'p', p, p, age}); }
    void Finish() { ++finished; }
};

enum class Look
{
    Lines,
    Sieved,
    Points,
    Sections
};

// A wrapped ring of 2000 rows, 2700 stored at 0.05 a row: the orbit swings past the plot's edges,
// and after row 1200 some rows have values that are not numbers or times that are not.
struct Table
{
    static constexpr int kRows = 2000, kStored = 2700;
    std::vector<double> t, x, y, z;
    Table() : t(kRows), x(kRows), y(kRows), z(kRows)
    {
        for (int i = 0; i < kStored; ++i) {
            const int r = i % kRows;
            const bool late = i > 1200;
            t[r] = late && i % 397 == 5 ? kNaN : 0.05 * i;
            x[r] = late && i % 211 == 3 ? kNaN : 14 * std::sin(0.031 * i);
            y[r] = late && i % 307 == 1 ? -kInf : 9 * std::cos(0.07 * i);
            z[r] = 6 * std::sin(0.011 * i);
        }
    }
    RingSpan Ring() const { return {t.data(), kRows, kStored % kRows, kStored, true}; }
};

C3DPlotGeometry Geometry(bool cylinder)
{
    C3DPlotGeometry g;
    const int widths[7] = {};
    g.Layout(CRect(0, 0, 640, 480), 16, widths);
    g.m_nBoxSize = 520; // larger than the plot: rows cross its edges
    g.SetPitchDegrees(30);
    g.SetYawDegrees(70);
    if (cylinder) {
        g.m_rowMapping = RowMapping::ForcingCylinder;
        g.m_dAngFreq = 1.3;
        g.SetCylinderLimits(-10, 10, -10, 10);
    }
    g.m_ptOrigin = g.CalcOrigin();
    return g;
}

// The pixel of row i of Geometry's box, worked out by hand: on the cylinder the point at the
// angle 1.3 t, radius 10 + x / 2 and height y / 2; the point turned by the yaw (70 degrees)
// about the upright axis and tipped by the pitch (30), 26 pixels a unit (520 for a range of
// 20), whole pixels from the centre of the plot, which the centred box's origin is on.
bool ByHand(const C3DPlotGeometry& g, bool cylinder, const MappedColumns& c, int i, CPoint& p)
{
    const double pi = 3.14159265358979323846, yaw = 70 * pi / 180, pitch = 30 * pi / 180;
    double x = c.V(0, i), y = c.V(1, i), z = c.V(2, i);
    if (cylinder) {
        const double r = 10 + 0.5 * x, angle = 1.3 * c.t[i];
        z = 0.5 * y;
        x = r * std::cos(angle);
        y = r * std::sin(angle);
    }
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return false;
    const double X = 26 * x, Y = 26 * y, Z = 26 * z;
    const double across = X * std::sin(yaw) + Y * std::cos(yaw);
    const double up =
        (Y * std::sin(yaw) - X * std::cos(yaw)) * std::sin(pitch) + Z * std::cos(pitch);
    const CRect& plot = g.m_rcPlot;
    p = CPoint((plot.left + plot.right) / 2 + static_cast<int>(across),
               (plot.top + plot.bottom) / 2 - static_cast<int>(up));
    return true;
}

// The calls the rows give one by one: each segment of the ring, its rows mapped in turn.
std::vector<Call> OneByOne(const C3DPlotGeometry& g, bool cylinder, const MappedColumns& c,
                           const RingSpan& ring, Look look, const SectionRule& rule)
{
    std::vector<Call> calls;
    const auto pixel = [&](int i, CPoint& p) { return ByHand(g, cylinder, c, i, p); };
    if (look == Look::Sections) {
        // The oldest stored row's time (35) is a whole period: it and every cycle's row after
        // it, their ages counted in cycles.
        for (int i = 0, k = 0; i < StoredRows(ring); i += rule.stride, ++k) {
            CPoint p;
            if (pixel((ring.index + i) % ring.rows, p))
                calls.push_back({'p', p, p, k});
        }
        return calls;
    }
    int last = -1;
    CPoint pLast;
    WalkSegments(ring, -kInf, kInf, 0, [&](int a, int b, int age) {
        CPoint p1 = pLast, p2;
        const bool ok = (a == last || pixel(a, p1)) && pixel(b, p2);
        last = ok ? b : -1;
        pLast = p2;
        const bool inside = g.WellInside(p1) && g.WellInside(p2);
        if (!ok || (look != Look::Points && !g.ClipToPlotRect(p1, p2)))
            return;
        if (look == Look::Points)
            calls.push_back({'p', p2, p2, age});
        else if (look == Look::Sieved)
            calls.push_back({inside ? 'i' : 'c', p1, p2, -1});
        else
            calls.push_back({'s', p1, p2, age});
    });
    return calls;
}
} // namespace

TEST(ProjectedWalk, HandsThePainterWhatTheRowsGiveOneByOne)
{
    const Table table;
    const SectionRule rule{20, 1.0, 0.05};
    const struct
    {
        bool cylinder;
        Look look;
    } cases[] = {{false, Look::Lines},    {false, Look::Sieved}, {false, Look::Points},
                 {false, Look::Sections}, {true, Look::Lines},   {true, Look::Sieved},
                 {true, Look::Points},    {true, Look::Sections}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cylinder << " " << static_cast<int>(c.look));
        const C3DPlotGeometry g = Geometry(c.cylinder);
        const MappedColumns cols{
            table.t.data(),
            {table.x.data(), table.y.data(), c.cylinder ? nullptr : table.z.data()}};
        RecordingPainter painter;
        painter.sieves = c.look == Look::Sieved;
        CProjectedWalk<RecordingPainter>(g, painter)
            .Walk(cols,
                  {nullptr, Table::kRows, Table::kStored % Table::kRows, Table::kStored, true},
                  {c.look == Look::Points, c.look == Look::Sections, rule});
        const std::vector<Call> expected =
            OneByOne(g, c.cylinder, cols, table.Ring(), c.look, rule);
        EXPECT_EQ(painter.finished, 1);
        ASSERT_EQ(painter.calls.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(painter.calls[i], expected[i]) << i;
        int clipped = 0;
        for (const Call& call : expected)
            clipped += call.kind == 'c';
        if (c.look == Look::Sieved) {
            EXPECT_GT(clipped, 20); // the edges were met
        }
        EXPECT_GT(expected.size(), c.look == Look::Sections ? 50u : 500u);
    }
}

// The oldest row starts the drawing joined with itself; a time that is infinite ends it; a table
// without times draws nothing and finishes nothing.
TEST(ProjectedWalk, EndsOfTheWalk)
{
    std::vector<double> t = {0, 1, 2, kInf, 4}, x = {0, 1, 2, 3, 4};
    const C3DPlotGeometry g = Geometry(false);
    const MappedColumns c{t.data(), {x.data(), x.data(), x.data()}};
    RecordingPainter painter;
    CProjectedWalk<RecordingPainter>(g, painter).Walk(c, {nullptr, 5, 0, 5, false}, {});
    const CPoint o = g.Project(0, 0, 0);
    // Rows 0-0, 0-1, 1-2 and 2-3; the segment from the infinite time ends the walk.
    ASSERT_EQ(painter.calls.size(), 4u);
    EXPECT_EQ(painter.calls[0], (Call{'s', o, o, 0}));
    EXPECT_EQ(painter.calls[3], (Call{'s', g.Project(2, 2, 2), g.Project(3, 3, 3), 3}));

    RecordingPainter none;
    CProjectedWalk<RecordingPainter>(g, none).Walk({}, {nullptr, 5, 0, 5, false}, {});
    EXPECT_TRUE(none.calls.empty());
    EXPECT_EQ(none.finished, 0);
}
