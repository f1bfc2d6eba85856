#include "views/rows/CurveWalk.h"

RingSpan RunSpan(const CModelCore& s, const TableRing& r)
{
    return {ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows), s.m_nTableRows, r.index, r.count,
            r.wrapped};
}

int FiniteRun(const double* v, int n)
{
    int i = 0;
    while (i < n && std::isfinite(v[i]))
        ++i;
    return i;
}
