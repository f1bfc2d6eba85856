#include "views/phase/VectorField1View.h"

#include "model/core/KindVars.h"

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

CSys1NNVF::CSys1NNVF() : CVectorFieldBase(OneVariablePlot(), false)
{
}

CSys1NNVF::~CSys1NNVF() = default;

void CSys1NNVF::Spun()
{
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CSys1NNVF::ModelChanged()
{
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CSys1NNVF::DrawMargins(CDC* pDC)
{
    DrawVectorFieldMargins(pDC, {GetModel()->Core().m_dInitX});
}
