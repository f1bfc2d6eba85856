#pragma once
// The rules of the orbit views in space that need no window: the number of orbit sections and
// the row of each section within a forcing cycle, and the turning points that the Cycle Planes
// view marks. No Qt here.
#include "views/rows/RingWalk.h"

#include <optional>
#include <string>

constexpr int kMinSections = 2, kMaxSections = 15;

// A section count held to 2..15, wherever it comes from (a model file, an edit, an up-down).
int ClampSections(int n);

// The "# Secs" edit's text read as a section count: a whole number from 2 to 15 ("15.0" too),
// leading blanks skipped and trailing text ignored; none for anything else.
std::optional<int> ParseSections(const std::string& text);

// The section whose point row j of a forcing cycle of `stride` rows is, for n sections, or -1.
// Section k's point is the row floor(stride k / n) of the cycle, and the sections are met in
// order: where the cycle has fewer rows than sections, two sections share a row and only
// section 0 (at the cycle's start) is met.
int SectionOfCycleRow(long long j, int stride, int n);

// Whether the segment from velocity v0 to v1 crosses a turning point of the motion: the
// velocity turns from non-negative to non-positive (a segment starting at v = 0 is one).
inline bool TurnsAt(double v0, double v1)
{
    return v0 >= 0 && v0 * v1 <= 0;
}

// Calls visit(row, k) for every row of a table that is the point of section k of n: its rows are
// walked from the ring row first, a cycle's start, to the newest row, stride rows a cycle.
template <class Visit>
void WalkSectionPoints(const RingSpan& ring, int first, int stride, int n, Visit visit)
{
    if (stride <= 0)
        return;
    int j = 0;
    WalkStride(ring, first, 1, [&](int row) {
        const int k = SectionOfCycleRow(j, stride, n);
        if (k >= 0)
            visit(row, k);
        if (++j == stride)
            j = 0;
    });
}
