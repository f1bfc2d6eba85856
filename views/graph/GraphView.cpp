#include "views/graph/GraphView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/Document.h"
#include "platform/Frame.h"
#include "platform/WinApp.h"
#include "platform/base/MessageHook.h"
#include "views/base/MarginTexts.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/graph/GraphDialogNames.h"
#include "views/graph/GraphWalk.h"
#include "views/rows/PlotText.h"

VX_IMPLEMENT_ABSTRACT(CGraphView, C2DView)
VX_IMPLEMENT_CLASS(CSys1Graph, CGraphView)
VX_IMPLEMENT_CLASS(CSys1NNGraph, CGraphView)
VX_IMPLEMENT_CLASS(CSys2Graph, CGraphView)
VX_IMPLEMENT_CLASS(CSys3Graph, CGraphView)

namespace {
constexpr int kImportItem = kSlots; // legend item of variable k's imported curve: 8 + k

// The kind's curves against time, with the variables' pens.
PlotDescription GraphPlot(GraphKind kind)
{
    PlotDescription d;
    d.block = LimitBlock::Graph;
    d.xColumn = kSlotT;
    for (VarSlot slot : KindInfo(kind).curves) {
        const VarInfo& m = VarOf(slot);
        d.curves.push_back({slot, m.plot, m.style, m.width, m.color, m.importPen});
    }
    d.title = " Graph vs Time";
    d.redrawHints = {HINT_GRAPH_CURVES, HINT_GRAPH_LIMITS};
    d.key = {kViewGraph, kind};
    return d;
}
} // namespace

CGraphView::CGraphView(GraphKind kind) : C2DView(GraphPlot(kind)), m_kind(kind)
{
    MapCommand(ID_CONTROLS_SELECT_VARIABLES, &CGraphView::OnControlsSelectVariables);
    // The curves' swatches, then their imported twins'.
    const std::vector<VarSlot>& curves = Info().curves;
    const int n = static_cast<int>(curves.size());
    for (int i = 0; i < 2 * n; ++i)
        m_legend.Add((i < n ? 0 : kImportItem) + curves[i % n], [this, i] { EditCurveStyle(i); });
}

CGraphView::~CGraphView() = default;

void CGraphView::DrawMargins(CDC* pDC)
{
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    DrawMarginTexts(pDC);
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(m_rcPlot.right + 3, m_rcPlot.bottom, "t");

    DrawLegend(pDC);
    DrawTopTexts(pDC);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// The curves' swatches over the plot's top left corner, their imported twins' a row higher.
void CGraphView::DrawLegend(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    SwatchRows rows{LegendRow(s, false)};
    if (s.m_bHaveImport)
        rows.push_back(LegendRow(s, true));
    m_legend.HideAll();
    const int y0 = m_rcPlot.top - 1;
    const int end = DrawLegendRows(pDC, 0, y0, m_nTextHeight, rows, m_legend);
    m_rcLegend = CRect(0, y0 - 2 * m_nTextHeight, end, m_rcPlot.top);
}

// The equations and their parameters over the plot, and the imported file's name.
void CGraphView::DrawTopTexts(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    DrawEquations(pDC, *this, m_kind, s);
    DrawImportName(pDC, *this, s);
}

void CGraphView::DrawMarginTexts(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    DrawInitialValues(pDC, *this, m_kind, InitialLabels::Graph, s, m_nDigitsX, m_nDigitsY);
    m_dDt = s.RunStep();
    m_nDigitsDt = DigitsForStep(m_dDt);
    DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, m_dDt, m_nDigitsDt);
}

std::vector<LegendSwatch> CGraphView::LegendRow(const CModelCore& s, bool imported) const
{
    std::vector<LegendSwatch> row;
    const std::vector<PlotCurve>& curves = Description().curves; // in the kind's order
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const VarSlot slot = Info().curves[i];
        if (CurveShown(s, curves[i]))
            row.push_back({SlotLegendLabel(slot), CurvePen(s, curves[i], imported).color,
                           (imported ? kImportItem : 0) + slot});
    }
    return row;
}

void CGraphView::EditCurveStyle(int nItem)
{
    const std::vector<VarSlot>& curves = Info().curves;
    const int n = static_cast<int>(curves.size());
    if (nItem < 0 || nItem >= 2 * n)
        return;
    const VarSlot slot = curves[nItem % n];
    const bool imported = nItem >= n;
    CModelCore& s = GetModel()->Core();
    const VarInfo& mem = VarOf(slot);
    int& style = imported ? s.m_nStyleImport[mem.importPen] : s.*mem.style;
    int& width = imported ? s.m_nWidthImport[mem.importPen] : s.*mem.width;
    COLORREF& color = imported ? s.m_clrImport[mem.importPen] : s.*mem.color;

    if (!EditPen(this, style, width, color))
        return;
    InvalidateRect(&m_rcLegend, TRUE);
    GetModel()->MarkModified();
}

void CGraphView::OnPlotClick(CPoint point)
{
    IModelDocument* m = GetModel();
    const CModelCore& s = m->Core();
    const double t = PixelToWorldX(point.x);
    int row = -1;
    const double* times = ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows);
    if (s.m_nTableSource == 0 && s.m_bHaveData && times && s.m_nTableIndex < s.m_nTableRows) {
        const CTableReadLock lock(s); // a run may be writing the row
        const double t0 = times[s.m_nTableIndex];
        row = ClickedGeneratedRow(t, t0, s.m_nTableInterval, s.RunStep());
    } else if (s.m_nTableSource == 1) {
        row = ClickedImportedRow(t, ColumnData(s.m_arrImport[kSlotT], s.m_nImportRows),
                                 s.m_nImportRows);
    }
    if (row >= 0 && m->TableViewWindow())
        ::PostMessage(m->TableViewWindow(), WM_TABLE_GOTO_ROW, static_cast<WPARAM>(row), 0);
}

bool CGraphView::EditLimits(PlotLimits& g)
{
    const CModelCore& s = GetModel()->Core();
    CGraphLimDlg dlg(m_kind, this);
    dlg.SetFields(LimitFieldsFor(g, s.RunStep()));
    dlg.m_bHaveData = s.m_bHaveData || s.m_bHaveImport;
    for (VarSlot k : VarsOf(m_kind).Columns().subspan(1)) {
        const VarInfo& mem = VarOf(k);
        dlg.m_extents[k] = {s.*mem.min, s.*mem.max, s.*mem.plot != 0};
    }
    if (dlg.DoModal() != msgbox::IDOK)
        return false;
    for (const std::string& text : ApplyLimitFields(g, dlg.Fields(), s.RunStep()))
        ShowMessageBox(text);
    return true;
}

void CGraphView::OnControlsSelectVariables()
{
    if (SelectGraphVariables(m_kind, GetModel()->Core(), this))
        OnUpdate(nullptr, HINT_RESET, nullptr);
}
