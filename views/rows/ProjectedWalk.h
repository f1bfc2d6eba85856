#pragma once
// The rows of a table as a 3-D plot's drawing walks them: each row mapped to a point of the box
// (its columns, or the forcing-phase cylinder), projected, and handed to the painter as a segment
// clipped to the plot from the row before, or as a point (every row's, or the section rows' one
// a forcing cycle). The painter is a template parameter, so the call a row stays inline; it
// draws, the walk only maps and clips. No Qt here.
#include "views/rows/3DGeometry.h"
#include "views/rows/ProjectedRows.h"
#include "views/rows/RingWalk.h"

#include <algorithm>
#include <limits>

// How a drawing shows its rows: segments between them, or one point a row; with sections only
// the rows on the section phase, one a cycle by the rule.
struct ProjectedWalkRows
{
    bool points = false;
    bool sections = false;
    SectionRule rule;
};

// A painter has Point(p, age), Segment(a, b, age), Finish(), and SievesOnly(): when it does, a
// segment goes to InsideSegment(a, b) where both ends lie well inside the plot and what is left
// of one at the plot's edge to ClippedSegment(a, b), with no age.
template <class Painter> class CProjectedWalk
{
public:
    CProjectedWalk(const C3DPlotGeometry& g, Painter& painter) : m_g(g), m_painter(painter) {}

    // Walks a table's rows (ring.t is taken from c), oldest first, through the projection as
    // the geometry stands, and finishes the painter. A table without times draws nothing.
    void Walk(const MappedColumns& c, RingSpan ring, const ProjectedWalkRows& rows);

private:
    // Inline in its caller, so the state that the caller's visit keeps a row stays in registers.
    template <class Visit>
    [[gnu::always_inline]] static inline void WalkPixels(const RingSpan& ring, RowProjector& rows,
                                                         Visit visit);
    template <class Draw> void WalkClipped(const RingSpan& ring, RowProjector& rows, Draw draw);

    const C3DPlotGeometry& m_g;
    Painter& m_painter;
};

template <class Painter>
void CProjectedWalk<Painter>::Walk(const MappedColumns& c, RingSpan ring,
                                   const ProjectedWalkRows& rows)
{
    if (!c.t || ring.rows <= 0)
        return;
    ring.t = c.t;
    RowProjector projector(m_g, m_g.Projection(), c);
    Painter& painter = m_painter;
    if (rows.sections) {
        int k = 0;
        rows.rule.Walk(ring, [&](int row) {
            CPoint p;
            if (projector.Pixel(row, p))
                painter.Point(p, k);
            ++k;
        });
    } else if (rows.points) {
        WalkPixels(ring, projector,
                   [&](CPoint, CPoint p, int age, bool) { painter.Point(p, age); });
    } else if (painter.SievesOnly()) {
        WalkClipped(ring, projector, [&](CPoint a, CPoint b, int, bool inside) {
            inside ? painter.InsideSegment(a, b) : painter.ClippedSegment(a, b);
        });
    } else {
        WalkClipped(ring, projector,
                    [&](CPoint a, CPoint b, int age, bool) { painter.Segment(a, b, age); });
    }
    painter.Finish();
}

// Calls visit(p1, p2, age, fresh) for each segment that WalkSegments gives over all the stored
// rows (no time window) whose two rows map to points: p1 and p2 their pixels, age the segment's
// (0 for the oldest row's), fresh when p1 was mapped for this segment rather than kept from the
// one before. A row that maps to no point (a diverged run) draws nothing, and the next segment
// maps its first row afresh. The rows meet the turner in the order of WalkSegments' segments,
// the long stretches of rows that surely map a batch at a time.
template <class Painter>
template <class Visit>
void CProjectedWalk<Painter>::WalkPixels(const RingSpan& ring, RowProjector& rows, Visit visit)
{
    if (ring.rows <= 0 || ring.t == nullptr || ring.index < 0 || ring.index >= ring.rows)
        return;
    const int n = StoredRows(ring);
    const double inf = std::numeric_limits<double>::infinity();
    int i = 0, prev = ring.index, cur = ring.index, last = -1;
    CPoint pLast;
    CPoint ahead[RowProjector::kAhead];
    auto next = [&](int m) { // on by m segments
        i += m;
        prev = cur + m - 1;
        cur = cur + m == ring.rows ? 0 : cur + m;
    };
    while (i < n) {
        CPoint p1 = pLast;
        bool fresh = false;
        int m = 0;
        // After a segment drawn from a row with a time that goes on, the rows follow in order.
        if (last == prev && ring.t[prev] < inf)
            m = rows.Ahead(cur, std::min(n - i, ring.rows - cur), ahead);
        if (m == 0) { // one segment as WalkSegments gives it
            const double tp = ring.t[prev];
            if (tp >= inf)
                return;
            fresh = prev != last;
            m = 1;
            if (!(tp >= -inf) || (fresh && !rows.Pixel(prev, p1)) || !rows.Pixel(cur, ahead[0])) {
                last = tp >= -inf ? -1 : last;
                next(1);
                continue;
            }
        }
        for (int k = 0; k < m; ++k, fresh = false) {
            visit(p1, ahead[k], i + k, fresh);
            p1 = ahead[k];
        }
        pLast = p1;
        next(m);
        last = prev;
    }
}

// The segments of WalkPixels clipped to the plot: draw(q1, q2, age, inside) with what is left
// of each, inside when both ends lie well inside (as most do; it is kept for the next segment,
// which starts there).
template <class Painter>
template <class Draw>
void CProjectedWalk<Painter>::WalkClipped(const RingSpan& ring, RowProjector& rows, Draw draw)
{
    const CPlotPage& page = m_g;
    const CRect r = page.m_rcPlot;
    const auto spanX = static_cast<unsigned>(std::max(0, r.right - r.left - 1));
    const auto spanY = static_cast<unsigned>(std::max(0, r.bottom - r.top - 1));
    auto wellInside = [&](CPoint p) { // as CPlotPage::WellInside, without a branch
        return (static_cast<unsigned>(p.x - r.left - 1) < spanX) &
               (static_cast<unsigned>(p.y - r.top - 1) < spanY);
    };
    bool inLast = false;
    WalkPixels(ring, rows, [&](CPoint p1, CPoint p2, int age, bool fresh) {
        const bool in1 = fresh ? wellInside(p1) : inLast;
        inLast = wellInside(p2);
        if (in1 & inLast)
            draw(p1, p2, age, true);
        else
            page.ClipAndDraw(p1, p2, [&](CPoint q1, CPoint q2) { draw(q1, q2, age, false); });
    });
}
