#include "views/orbit/FullOrbitView.h"

#include "model/core/ModelCore.h"
#include "views/orbit/OrbitPens.h"
#include "views/orbit/OrbitPlaneKinds.h"

VX_IMPLEMENT_ABSTRACT(CFullOrbitView, CCylinderView)
VX_IMPLEMENT_CLASS(CSys1PSO, CFullOrbitView)
VX_IMPLEMENT_CLASS(CSys1NNPSO, CFullOrbitView)
VX_IMPLEMENT_CLASS(CSys2PSO, CFullOrbitView)

namespace {
Plot3DDescription FullOrbitPlot(SystemKind kind)
{
    Plot3DDescription d = CylinderDescription(kViewFullOrbit, kind);
    UseOrbitPens(d, kFullOrbitPens);
    // The Newtonian marks of a wrapped ring keep to the forcing phase of time 0.
    d.phaseMarks = kind == SystemKind::Newtonian;
    d.importPen = 2;
    d.importMarkPen = 3;
    const OrbitPlaneKind& k = OrbitPlaneKindOf(kind);
    d.legend = k.legendY;
    d.cursor.wrap = CursorWrap::Array;
    d.cursor.readouts = k.readouts;
    d.cursor.color = &CModelSettings::m_clrFO;
    d.cursor.importItem = 2;
    return d;
}
} // namespace

CFullOrbitView::CFullOrbitView(SystemKind kind) : CCylinderView(FullOrbitPlot(kind), kind)
{
}

// The radius variable's name right of the plot's bottom corner, on the run's colour and (with
// imported rows) on theirs: labels only.
void CFullOrbitView::DrawMargins(CDC* pDC)
{
    CCylinderView::DrawMargins(pDC);
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    const char* name = OrbitPlaneKindOf(Kind()).legendX;
    const int x = m_rcPlot.right + 3;
    const int w = DrawLegendSwatch(pDC, x, m_rcPlot.bottom, name, s.m_clrFO);
    if (s.m_bHaveImport)
        DrawLegendSwatch(pDC, x + w, m_rcPlot.bottom, name, s.m_clrImportView[2]);
    pDC->SetBkMode(TRANSPARENT);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}
