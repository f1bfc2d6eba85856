#include "views/phase/VectorField1View.h"

#include "model/core/KindVars.h"
#include "views/base/MarginTexts.h"
#include "views/base/PlotText.h"

VX_IMPLEMENT_CLASS(CSys1NNVF, C2DView)

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

CSys1NNVF::CSys1NNVF() : C2DView(OneVariablePlot())
{
}

CSys1NNVF::~CSys1NNVF() = default;

void CSys1NNVF::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    DrawInitialValues(pDC, *this, SystemKind::OneVariable, s, m_nDigitsX, m_nDigitsY);
    DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, s.m_dChronon, DigitsForStep(s.m_dChronon));
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    pDC->SetBkColor(s.m_clrVFTrack);
    pDC->SetTextColor(s.m_clrVFTrack ^ 0xFFFFFF);
    pDC->TextOut(m_rcPlot.right + 3, m_rcPlot.bottom, " x ");
    pDC->TextOut(m_rcPlot.left, m_rcPlot.top - 1, " x' ");
    DrawEquations(pDC, *this, SystemKind::OneVariable, s);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}
