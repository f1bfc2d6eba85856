#pragma once
// The Projected Orbit's pens, with which the three-variable Projected Orbit draws its run and
// the Cycle Planes view its orbit: the orbit's, and while its "Mark Return Chronon" is on the
// second pen of the return marks (of the turning points in the Cycle Planes).
#include "views/base/3DView.h"

// An orbit item's pen and its return marks' pen, by the settings members that keep them.
struct OrbitPenSet
{
    int CModelSettings::*style;
    int CModelSettings::*width;
    COLORREF CModelSettings::*color;
    int markFlag; // the item's entry in m_bMarkReturn
    int CModelSettings::*markStyle;
    int CModelSettings::*markWidth;
    COLORREF CModelSettings::*markColor;
};

inline constexpr OrbitPenSet kProjectedOrbitPens{
    &CModelSettings::m_nStylePO,  &CModelSettings::m_nWidthPO,  &CModelSettings::m_clrPO, 0,
    &CModelSettings::m_nStylePO2, &CModelSettings::m_nWidthPO2, &CModelSettings::m_clrPO2};
inline constexpr OrbitPenSet kFullOrbitPens{
    &CModelSettings::m_nStyleFO,  &CModelSettings::m_nWidthFO,  &CModelSettings::m_clrFO, 2,
    &CModelSettings::m_nStyleFO2, &CModelSettings::m_nWidthFO2, &CModelSettings::m_clrFO2};

inline void UseOrbitPens(Plot3DDescription& d, const OrbitPenSet& p)
{
    d.style = p.style;
    d.width = p.width;
    d.color = p.color;
    d.markFlag = p.markFlag;
    d.markStyle = p.markStyle;
    d.markWidth = p.markWidth;
    d.markColor = p.markColor;
}

inline void UseProjectedOrbitPens(Plot3DDescription& d)
{
    UseOrbitPens(d, kProjectedOrbitPens);
}
