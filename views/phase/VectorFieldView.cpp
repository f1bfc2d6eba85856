#include "views/phase/VectorFieldView.h"

#include "model/core/KindVars.h"
#include "views/base/MarginTexts.h"
#include "views/base/PlotText.h"

VX_IMPLEMENT_ABSTRACT(CVectorFieldView, C2DView)
VX_IMPLEMENT_CLASS(CSys1VF, CVectorFieldView)
VX_IMPLEMENT_CLASS(CSys2VF, CVectorFieldView)

namespace {
PlotDescription VectorFieldPlot(SystemKind kind)
{
    PlotDescription d;
    d.block = LimitBlock::VectorField;
    d.xColumn = kSlotX;
    const bool newtonian = kind == SystemKind::Newtonian;
    d.yColumn = newtonian ? kSlotXp : kSlotY;
    d.names = {"x", newtonian ? "x'" : "y"};
    d.title = " Vector Field";
    d.redrawHints = {HINT_VF_LIMITS, HINT_VF_GRID};
    d.key = {kViewVectorField, kind};
    return d;
}
} // namespace

const VectorFieldKindInfo& VectorFieldKind(SystemKind kind)
{
    static const VectorFieldKindInfo newtonian{" x' ", " x''=0 "};
    static const VectorFieldKindInfo twoVariable{" y ", " y'=0 "};
    return kind == SystemKind::Newtonian ? newtonian : twoVariable;
}

CVectorFieldView::CVectorFieldView(SystemKind kind) : C2DView(VectorFieldPlot(kind)), m_kind(kind)
{
}

CVectorFieldView::~CVectorFieldView() = default;

void CVectorFieldView::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    DrawInitialValues(pDC, *this, m_kind, s, m_nDigitsX, m_nDigitsY);
    DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, s.m_dChronon, DigitsForStep(s.m_dChronon));
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    pDC->SetBkColor(s.m_clrVFTrack);
    pDC->SetTextColor(s.m_clrVFTrack ^ 0xFFFFFF);
    pDC->TextOut(m_rcPlot.right + 3, m_rcPlot.bottom, " x ");
    pDC->TextOut(m_rcPlot.left, m_rcPlot.top - 1, VectorFieldKind(m_kind).vertical);
    DrawEquations(pDC, *this, m_kind, s);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}
