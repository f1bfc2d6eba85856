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
    return d;
}
} // namespace

CFullOrbitView::CFullOrbitView(SystemKind kind) : CCylinderView(FullOrbitPlot(kind), kind)
{
}
