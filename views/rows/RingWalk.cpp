#include "views/rows/RingWalk.h"

#include "model/core/ModelCore.h"

#include <cmath>

int PreviousLiveRow(int nRow, int rows, bool wrapped)
{
    if (nRow < 0 || nRow >= rows)
        return -1;
    if (nRow > 0)
        return nRow - 1;
    return wrapped ? rows - 1 : nRow;
}

int RowsPerCycle(int chrononsPerCycle, int tableInterval)
{
    if (tableInterval <= 0)
        return 1;
    return std::max(1, chrononsPerCycle / tableInterval);
}

bool OnSectionPhase(double t, double period, double dt)
{
    if (!(period > 0) || !std::isfinite(period) || !(dt >= 0) || !std::isfinite(t))
        return false;
    const double r = std::fmod(t, period);
    return std::abs(r) <= dt / 2 || std::abs(std::abs(r) - period) <= dt / 2;
}

namespace {
int RowOfAge(const RingSpan& ring, int age)
{
    const int row = ring.index + age;
    return row >= ring.rows ? row - ring.rows : row;
}
} // namespace

SectionRows FindSectionRows(const RingSpan& ring, int stride, double period, double dt)
{
    const int n = StoredRows(ring);
    if (ring.rows <= 0 || ring.index < 0 || ring.index >= ring.rows || n <= 0 || stride <= 0)
        return {std::max(ring.index, 0), std::max(ring.index, 0), false};
    SectionRows s{ring.index, RowOfAge(ring, (n - 1) / stride * stride), false};
    if (!ring.wrapped || !ring.t)
        return s;
    int first = 0, last = n - 1;
    while (first < n && !OnSectionPhase(ring.t[RowOfAge(ring, first)], period, dt))
        ++first;
    if (first == n)
        return s; // no row on the phase: one pass and no more
    while (!OnSectionPhase(ring.t[RowOfAge(ring, last)], period, dt))
        --last; // stops at first at the latest
    return {RowOfAge(ring, first), RowOfAge(ring, last), true};
}

int PhaseOffsetRows(double t0, double period, int stride)
{
    if (stride <= 0 || !(period > 0) || !std::isfinite(period) || !std::isfinite(t0))
        return 0;
    double f = t0 / period;
    f -= std::trunc(f);
    // A time before zero (f below 0) gives 1 - f above 1: the remainder takes it back.
    return static_cast<int>(std::lround((1 - f) * stride) % stride);
}

MarkRule SectionRule::Marks(const RingSpan& ring, bool phase) const
{
    const bool offset =
        phase && ring.wrapped && ring.t && ring.index >= 0 && ring.index < ring.rows;
    return {stride, offset ? PhaseOffsetRows(ring.t[ring.index], period, stride) : 0};
}

SectionRule SectionRuleOf(const CModelCore& s)
{
    return {RowsPerCycle(s.m_nChrononsPerCycle, s.m_nTableInterval), s.m_dPeriod, s.RunStep()};
}

MarkRule CycleMarks(const CModelCore& s, const RingSpan& ring, bool phase)
{
    return SectionRuleOf(s).Marks(ring, phase);
}
