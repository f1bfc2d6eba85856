#pragma once
// The pixels of a 3-D drawing's rows, segment by segment and oldest first, exactly as each row
// maps on its own (MappedColumns::Pixel with the drawing's turner), but with the long stretches
// of rows that surely map worked out a batch at a time in tight loops of their own: a repaint
// maps every row of a long run.
#include "views/rows/3DGeometry.h"
#include "views/rows/RingWalk.h"

#include <algorithm>
#include <limits>

class RowProjector
{
public:
    static constexpr int kAhead = 256;

    RowProjector(const C3DPlotGeometry& g, const C3DProjection& proj, const MappedColumns& c);
    // The pixel of row i, the next row the turner meets; false when it maps to no point.
    bool Pixel(int i, CPoint& p)
    {
        return PointPixel(m_proj, m_map(m_t[i], Value(0, i), Value(1, i), Value(2, i), &m_turner),
                          p);
    }
    // The pixels of rows i, i + 1 ... (at most n, and kAhead) as Pixel gives them, up to the
    // first row that may map to no point or has a time that is not a number or infinite (a
    // segment from it is skipped or ends the walk); returns how many.
    int Ahead(int i, int n, CPoint* out);

private:
    // A mapped column, or one not mapped that reads its one 0 whatever the row: no test a row.
    struct Column
    {
        const double* v;
        int rowMask;
        double operator[](int i) const { return v[i & rowMask]; }
    };
    Column At(int k) const { return {m_v[k], m_rowMask[k]}; }
    double Value(int k, int i) const { return At(k)[i]; }
    int CylinderAhead(int i, int n, CPoint* out);
    int ColumnsAhead(int i, int n, CPoint* out);

    static constexpr double kNone = 0;
    RowMap m_map;
    C3DProjection m_proj;
    const double* m_t;
    const double* m_v[3];
    int m_rowMask[3];
    AngleTurner m_turner;
};

// Calls visit(p1, p2, age, fresh) for each segment that WalkSegments gives over all the stored
// rows (no time window) whose two rows map to points: p1 and p2 their pixels, age the segment's
// (0 for the oldest row's), fresh when p1 was mapped for this segment rather than kept from the
// one before. A row that maps to no point (a diverged run) draws nothing, and the next segment
// maps its first row afresh. The rows meet the turner in the order of WalkSegments' segments.
template <class Visit> void WalkRowPixels(const RingSpan& ring, RowProjector& rows, Visit visit)
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
