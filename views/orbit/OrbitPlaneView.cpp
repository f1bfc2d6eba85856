#include "views/orbit/OrbitPlaneView.h"

#include "model/ModelDocument.h"
#include "model/core/ModelCore.h"
#include "views/base/MarginTexts.h"
#include "views/base/PlotLegend.h"
#include "views/rows/PlotText.h"

VX_IMPLEMENT_ABSTRACT(COrbitPlaneView, C2DView)

namespace {
constexpr int kLegendItems = 4;
} // namespace

PlotDescription OrbitPlaneDescription(ModelView view, LimitBlock block, SystemKind kind)
{
    const OrbitPlaneKind& k = OrbitPlaneKindOf(kind);
    PlotDescription d;
    d.block = block;
    d.xColumn = kSlotX;
    d.yColumn = k.vertical;
    d.names = k.names;
    d.key = {view, kind};
    d.cursor.readouts = k.readouts;
    return d;
}

COrbitPlaneView::COrbitPlaneView(PlotDescription description, SystemKind kind)
    : C2DView(std::move(description)), m_kind(kind)
{
    for (int item = 0; item < kLegendItems; ++item)
        m_legend.Add(item, [this, item] {
            if (EditLegendItem(item)) {
                InvalidateRect(&m_rcLegend, TRUE);
                InvalidateRect(&m_rcAxisNames, TRUE);
                GetModel()->MarkModified();
            }
        });
}

COrbitPlaneView::~COrbitPlaneView() = default;

void COrbitPlaneView::TakeSettings(const CModelCore& s)
{
    C2DView::TakeSettings(s);
    m_dDt = s.RunStep();
    m_nDigitsDt = DigitsForRange(m_dDt);
}

void COrbitPlaneView::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    DrawInitialValues(pDC, *this, m_kind, InitialLabels::Plane, s, m_nDigitsX, m_nDigitsY);
    DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, m_dDt,
                 m_bStepDigits ? DigitsForStep(m_dDt) : m_nDigitsDt);
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    DrawLegend(pDC, s);
    DrawEquations(pDC, *this, m_kind, s);
    DrawImportName(pDC, *this, s, DataColor(s, true));
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// The horizontal axis's names right of the plot's bottom right corner (the imported rows' one
// after the computed rows'), then the legend's rows above the plot's top left corner.
void COrbitPlaneView::DrawLegend(CDC* pDC, const CModelCore& s)
{
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    const CRect& p = m_rcPlot;
    const int h = m_nTextHeight;
    int x = p.right + 3;
    for (int imported = 0; imported <= (s.m_bHaveImport ? 1 : 0); ++imported)
        x += DrawLegendSwatch(pDC, x, p.bottom, Info().legendX, DataColor(s, imported != 0));
    m_rcAxisNames = CRect(p.right + 3, p.bottom - h, x, p.bottom);

    m_legend.HideAll();
    DrawLegendRows(pDC, p.left, p.top - 1, h, LegendRows(s), m_legend);
    // Wide enough for every box a changed style may show.
    m_rcLegend = CRect(p.left, p.top - 1 - 2 * h, p.right, p.top);
}
