#include "views/base/CurveWalk.h"

RingSpan RunSpan(const CModelCore& s, const TableRing& r)
{
    return {ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows), s.m_nTableRows, r.index, r.count,
            r.wrapped};
}
