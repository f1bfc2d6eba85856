#pragma once
// The Projected Orbit's pens, with which the three-variable Projected Orbit draws its run and
// the Cycle Planes view its orbit: the orbit's, and while its "Mark Return Chronon" is on the
// second pen of the return marks (of the turning points in the Cycle Planes).
#include "views/base/3DView.h"

inline void UseProjectedOrbitPens(Plot3DDescription& d)
{
    d.style = &CModelSettings::m_nStylePO;
    d.width = &CModelSettings::m_nWidthPO;
    d.color = &CModelSettings::m_clrPO;
    d.markFlag = 0;
    d.markStyle = &CModelSettings::m_nStylePO2;
    d.markWidth = &CModelSettings::m_nWidthPO2;
    d.markColor = &CModelSettings::m_clrPO2;
}
