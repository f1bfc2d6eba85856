#pragma once
// Which rows of a run's ring (or of an imported table) a plot view joins into segments, the
// row before a live one, and the test that a segment's values are finite. No Qt here.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A table as a plot view reads it: a time column and the row bookkeeping of the ring.
struct RingSpan
{
    const double* t = nullptr; // time column, rows long
    int rows = 0;              // length of the ring (or of the imported table)
    int index = 0;             // oldest row once the ring has wrapped, else 0
    std::int64_t count = 0;    // rows stored (not capped at rows; past 2^31 on a long run)
    bool wrapped = false;
};

// A column's data when it holds at least the rows a reader walks, else null.
inline const double* ColumnData(const std::vector<double>& c, int rows = 1)
{
    return rows >= 0 && c.size() >= static_cast<std::size_t>(rows) && !c.empty() ? c.data()
                                                                                 : nullptr;
}

// Calls segment(prev, cur) for the segments a repaint draws, oldest first: those starting at or
// after tMin - dt, stopping at the first that starts at or after tMax (an infinite window walks
// every row). The first call joins the oldest row with itself.
template <class Segment>
void WalkSegments(const RingSpan& ring, double tMin, double tMax, double dt, Segment segment)
{
    if (ring.rows <= 0 || ring.t == nullptr || ring.index < 0 || ring.index >= ring.rows)
        return;
    const int n =
        ring.wrapped ? ring.rows : static_cast<int>(std::min<std::int64_t>(ring.count, ring.rows));
    int prev = ring.index, cur = ring.index;
    for (int i = 0; i < n; ++i) {
        const double tp = ring.t[prev];
        if (tp >= tMin - dt) {
            if (tp >= tMax)
                return;
            segment(prev, cur);
        }
        prev = cur;
        if (++cur == ring.rows)
            cur = 0;
    }
}

// The row before nRow in a live run: the last row once wrapped, else nRow itself (no segment).
// -1 when nRow is not a row of the ring.
int PreviousLiveRow(int nRow, int rows, bool wrapped);

inline bool Finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}
