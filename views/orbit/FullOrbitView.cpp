#include "views/orbit/FullOrbitView.h"

VX_IMPLEMENT_ABSTRACT(CFullOrbitView, CCylinderView)
VX_IMPLEMENT_CLASS(CSys1PSO, CFullOrbitView)
VX_IMPLEMENT_CLASS(CSys1NNPSO, CFullOrbitView)
VX_IMPLEMENT_CLASS(CSys2PSO, CFullOrbitView)

namespace {
Plot3DDescription FullOrbitPlot(SystemKind kind)
{
    Plot3DDescription d = CylinderDescription(kViewFullOrbit, kind);
    d.style = &CModelSettings::m_nStyleFO;
    d.width = &CModelSettings::m_nWidthFO;
    d.color = &CModelSettings::m_clrFO;
    d.markFlag = 2;
    d.markStyle = &CModelSettings::m_nStyleFO2;
    d.markWidth = &CModelSettings::m_nWidthFO2;
    d.markColor = &CModelSettings::m_clrFO2;
    // The Newtonian marks of a wrapped ring keep to the forcing phase of time 0.
    d.phaseMarks = kind == SystemKind::Newtonian;
    d.importPen = 2;
    d.importMarkPen = 3;
    return d;
}
} // namespace

CFullOrbitView::CFullOrbitView(SystemKind kind) : CCylinderView(FullOrbitPlot(kind), kind)
{
}
