#pragma once
// Which rows of a run's ring (or of an imported table) a plot view joins into segments, the
// row before a live one, the test that a segment's values are finite, the rows of a section
// (one per forcing cycle) and the rows that end a return-marked segment. No Qt here.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
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

// Rows a walk of the ring visits: its length once wrapped, else the rows stored.
inline int StoredRows(const RingSpan& ring)
{
    return ring.wrapped ? ring.rows
                        : static_cast<int>(std::clamp<std::int64_t>(ring.count, 0, ring.rows));
}

// Calls segment(prev, cur) for the segments a repaint draws, oldest first: those starting at or
// after tMin - dt, stopping at the first that starts at or after tMax (an infinite window walks
// every row). The first call joins the oldest row with itself. A segment that also takes the
// age of cur (0 for the oldest row) gets it as a third argument.
template <class Segment>
void WalkSegments(const RingSpan& ring, double tMin, double tMax, double dt, Segment segment)
{
    if (ring.rows <= 0 || ring.t == nullptr || ring.index < 0 || ring.index >= ring.rows)
        return;
    const int n = StoredRows(ring);
    int prev = ring.index, cur = ring.index;
    for (int i = 0; i < n; ++i) {
        const double tp = ring.t[prev];
        if (tp >= tMin - dt) {
            if (tp >= tMax)
                return;
            if constexpr (std::is_invocable_v<Segment&, int, int, int>)
                segment(prev, cur, i);
            else
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

// --- sections and return marks ------------------------------------------------------------

// Rows of the table per forcing cycle: chronons per cycle over the table interval (integer
// division), at least 1 whatever the settings hold.
int RowsPerCycle(int chrononsPerCycle, int tableInterval);

// Whether time t lies within dt/2 of a whole number of periods; never for a period or step
// that is not positive and finite.
bool OnSectionPhase(double t, double period, double dt);

// The section rows of a ring, as ring rows: the first on the section phase walking forward from
// the oldest row and the last walking backward from the newest. Only a wrapped ring is searched
// (a run's first row starts its first cycle), each way for one pass at most; where no row lies
// on the phase (onPhase false), and in a ring that has not wrapped, the sections count from the
// oldest row and the last is the last row a stride walk from there reaches.
struct SectionRows
{
    int first = 0;
    int last = 0;
    bool onPhase = false;
};
SectionRows FindSectionRows(const RingSpan& ring, int stride, double period, double dt);

// Calls visit(row) for every stride-th row from row first (a row of the ring) up to the newest
// row, oldest first. The walk never passes the newest row into the oldest ones, and an imported
// table (index 0, rows its own length) is never wrapped at another table's length.
template <class Visit> void WalkStride(const RingSpan& ring, int first, int stride, Visit visit)
{
    if (ring.rows <= 0 || stride <= 0 || ring.index < 0 || ring.index >= ring.rows || first < 0 ||
        first >= ring.rows)
        return;
    const int n = StoredRows(ring);
    int age = first - ring.index;
    if (age < 0)
        age += ring.rows;
    for (std::int64_t a = age; a < n; a += stride)
        visit(static_cast<int>((ring.index + a) % ring.rows));
}

// Calls visit(row) for every section row of a table, oldest first: from the first row on the
// section phase, one a stride. A wrapped ring without a row on the phase has none (its rows
// all lie off the forcing cycle's start); a table that has not wrapped counts from its row 0.
template <class Visit>
void WalkSections(const RingSpan& ring, int stride, double period, double dt, Visit visit)
{
    const SectionRows rows = FindSectionRows(ring, stride, period, dt);
    if (ring.wrapped && !rows.onPhase)
        return;
    WalkStride(ring, rows.first, stride, visit);
}

// The rows that end a return-marked segment: those whose age (0 for the oldest row; a live
// row's sequence number) less the offset is a multiple of the stride. Stride 0: no marks.
struct MarkRule
{
    int stride = 0;
    int offset = 0;
    bool Marked(std::int64_t age) const { return stride > 0 && (age - offset) % stride == 0; }
};

// Where a wrapped ring's marks follow the forcing phase: the oldest row (time t0) lies at
// phase f of its cycle, so the next cycle starts lround((1 - f) s) rows later (mod s); 0 where
// the period or t0 gives no phase.
int PhaseOffsetRows(double t0, double period, int stride);

// The section rule as a model's settings give it, the one place every view takes it from: a
// cycle's rows of the table, the forcing period and the run's step (which also widens a time
// window by a row).
struct SectionRule
{
    int stride = 1;
    double period = 0;
    double step = 0;

    SectionRows Find(const RingSpan& ring) const
    {
        return FindSectionRows(ring, stride, period, step);
    }
    template <class Visit> void Walk(const RingSpan& ring, Visit visit) const
    {
        WalkSections(ring, stride, period, step, visit);
    }
    // A live row's place in its cycle by its sequence number: the run's first row starts one.
    int CyclePlace(std::int64_t sequence) const { return static_cast<int>(sequence % stride); }
    bool StartsCycle(std::int64_t sequence) const { return CyclePlace(sequence) == 0; }
    // The return marks of a table: a row each cycle, counted from the oldest row or, with phase
    // set and a wrapped ring, placed by the oldest row's forcing phase.
    MarkRule Marks(const RingSpan& ring, bool phase) const;
};

class CModelCore;
SectionRule SectionRuleOf(const CModelCore& s);

// The return marks of a table by the model's section rule (see SectionRule::Marks).
MarkRule CycleMarks(const CModelCore& s, const RingSpan& ring, bool phase);
