#pragma once
// Which rows of a run's ring (or of an imported table) the Graph vs Time view joins, and which
// row a click in the plot means. No Qt here.
#include <cmath>
#include <vector>

// A table as the view reads it: a time column and the row bookkeeping of the ring.
struct RingSpan
{
    const double* t = nullptr; // time column, rows long
    int rows = 0;              // length of the ring (or of the imported table)
    int index = 0;             // oldest row once the ring has wrapped, else 0
    int count = 0;             // rows stored (not capped at rows)
    bool wrapped = false;
};

// Calls segment(prev, cur) for the segments a repaint draws, oldest first: those starting at or
// after tMin - dt, stopping at the first that starts at or after tMax. The first call joins the
// oldest row with itself.
template <class Segment>
void WalkSegments(const RingSpan& ring, double tMin, double tMax, double dt, Segment segment)
{
    if (ring.rows <= 0 || ring.t == nullptr || ring.index < 0 || ring.index >= ring.rows)
        return;
    int n = ring.wrapped ? ring.rows : ring.count;
    if (n > ring.rows)
        n = ring.rows;
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

// Rows posted to the Data Table view for a click at time t; -1 posts nothing.
int ClickedGeneratedRow(double t, double t0, int tableInterval, double chronon);
int ClickedImportedRow(double t, const double* times, int rows);

inline bool Finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}
