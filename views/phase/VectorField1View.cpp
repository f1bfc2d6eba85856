#include "views/phase/VectorField1View.h"

#include "model/core/KindVars.h"
#include "views/phase/PhaseLineDraw.h"

VX_IMPLEMENT_CLASS(CSys1NNVF, CVectorFieldBase)

namespace {
PlotDescription OneVariablePlot()
{
    PlotDescription d;
    d.block = LimitBlock::VectorField;
    d.xColumn = kSlotX;
    d.yColumn = kSlotXp;
    d.names = {"x", "x'"};
    d.title = " Vector Field";
    d.redrawHints = {HINT_VF_LIMITS};
    d.key = {kViewVectorField, SystemKind::OneVariable};
    return d;
}
} // namespace

CSys1NNVF::CSys1NNVF()
    : CVectorFieldBase(OneVariablePlot(), false),
      m_pPhaseLine(&Layers().Add<CPhaseLineLayer>(
          [this]() -> CModelCore* { return GetModel() ? &GetModel()->Core() : nullptr; },
          [] { return true; }, kVectorFieldTouch))
{
}

CSys1NNVF::~CSys1NNVF() = default;

// The curve and its zeros are computed again at once (they write the model's extents of x'),
// so the repaint shows them.
void CSys1NNVF::Spun()
{
    Layers().MarkStale(*m_pPhaseLine);
    Layers().ComputeStale();
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CSys1NNVF::ModelChanged()
{
    Layers().MarkStale(*m_pPhaseLine);
}

void CSys1NNVF::DrawMargins(CDC* pDC)
{
    DrawVectorFieldMargins(pDC, {GetModel()->Core().m_dInitX});
}
