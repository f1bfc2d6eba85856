#include "views/graph/RealSpaceView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/FrameWnd.h"
#include "platform/WinApp.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/graph/GraphDialogs.h"
#include "views/graph/GraphWalk.h"
#include "views/graph/RealSpaceRules.h"
#include "views/rows/PlotText.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

VX_IMPLEMENT_CLASS(CSys1RS, C2DView)

namespace {
constexpr int kPhaseItem = 14; // legend slot of the phase trace
const VarSlot kCurves[3] = {kSlotX, kSlotXp, kSlotXpp};
const char* const kCurveLabels[3] = {" p ", " v ", " a "};
constexpr int kXorPiece = 48; // pixels

struct TracePen
{
    int style, width;
    COLORREF color;
};

TracePen RsCurvePen(const CModelSettings& s, int i)
{
    const VarInfo& v = VarOf(kCurves[i]);
    return {s.*v.style, s.*v.width, s.*v.color};
}

TracePen PhasePen(const CModelSettings& s)
{
    return {s.m_nStylePO, s.m_nWidthPO, s.m_clrPO};
}

bool RsCurveShown(const CModelSettings& s, int i)
{
    return s.*VarOf(kCurves[i]).plot != 0;
}

// The pendulum's colour: window text XOR window, drawn in XOR.
COLORREF PendulumColor()
{
    return GetSysColor(COLOR_WINDOWTEXT) ^ GetSysColor(COLOR_WINDOW);
}

// No limit block: the window follows the mode. The caption is the mode's own.
PlotDescription RealSpacePlot()
{
    PlotDescription d;
    d.redrawHints = {HINT_GRAPH_CURVES, HINT_GRAPH_LIMITS};
    d.key = {kViewRealSpace, SystemKind::Newtonian};
    return d;
}
} // namespace

CSys1RS::CSys1RS() : C2DView(RealSpacePlot())
{
    MapCommand(ID_CONTROLS_SELECT_VARIABLES, &CSys1RS::OnControlsSelectVariables);
    MapUpdate(ID_CONTROLS_SELECT_VARIABLES, &CSys1RS::OnUpdateControlsSelectVariables);
    const int items[4] = {0, 1, 2, kPhaseItem};
    for (int i = 0; i < 4; ++i)
        m_legend.Add(items[i], [this, i] { EditPaneStyle(i); });
}

int CSys1RS::Mode() const
{
    const IModelDocument* m = GetModel();
    return m ? m->Core().m_nRSMode : 1;
}

// --- the page ------------------------------------------------------------------------------

void CSys1RS::OnDraw(CDC* pDC)
{
    if (SkipThisDrawing(pDC))
        return;
    IModelDocument* m = GetModel();
    if (!m)
        return;
    const CModelCore& s = m->Core();
    DrawPageFrame(pDC);
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    DrawAxesAndNames(pDC);
    DrawLegend(pDC);
    pDC->SetBkMode(TRANSPARENT);
    if (s.m_bHaveData && !s.m_bRunning && (!s.m_bPlotManual || s.m_bPlotRequest))
        DrawPlotSpace(pDC);
    m_nRodLength = RodLength(ScreenRows(pDC));
    DrawPendulum(pDC, s.m_dInitX);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void CSys1RS::DrawAxesAndNames(CDC* pDC)
{
    const CRect& p = m_rcPlot;
    const bool phase = IsPhaseMode(Mode());
    const int x0 = WorldToPixelX(0), y0 = WorldToPixelY(0);
    const int quarter = (p.bottom - p.top) / 4;
    const int mid = (p.left + p.right) / 2;
    if (m_dYMin * m_dYMax < 0) {
        pDC->MoveTo(WorldToPixelX(m_dXMin), y0);
        pDC->LineTo(WorldToPixelX(m_dXMax), y0);
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        pDC->TextOut(p.left + 3, y0, "Real Space");
        pDC->SetTextAlign(TA_LEFT | TA_TOP);
        pDC->TextOut(p.left + 3, y0, phase ? "Phase Space" : "Plot Space");
    }
    if (m_dXMin * m_dXMax < 0) {
        const int bottom = WorldToPixelY(m_dYMin);
        pDC->MoveTo(x0, y0);
        pDC->LineTo(x0, bottom);
        if (phase) {
            pDC->MoveTo(WorldToPixelX(m_dXMin), y0 + quarter);
            pDC->LineTo(WorldToPixelX(m_dXMax), y0 + quarter);
        } else {
            pDC->LineTo(x0 - 2, bottom - 8);
        }
    }
    if (phase) {
        pDC->SetTextAlign(TA_LEFT | TA_TOP);
        pDC->TextOut(mid + 3, y0, "v");
        pDC->SetTextAlign(TA_RIGHT | TA_BOTTOM);
        pDC->TextOut(p.right, y0 + quarter, "p");
    } else {
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        pDC->TextOut(mid + 3, p.bottom, "t");
    }
}

void CSys1RS::DrawLegend(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    std::vector<LegendSwatch> row;
    if (IsPhaseMode(Mode())) {
        row.push_back({" s ", s.m_clrPO, kPhaseItem});
    } else {
        for (int i = 0; i < 3; ++i)
            if (RsCurveShown(s, i))
                row.push_back({kCurveLabels[i], RsCurvePen(s, i).color, i});
    }
    m_legend.HideAll();
    const int h = m_nTextHeight, y = m_rcPlot.bottom;
    const int right = DrawLegendRows(pDC, m_rcPlot.right, y, h, {row}, m_legend);
    m_rcLegend = CRect(m_rcPlot.right, y - h, right + 2, y);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
}

// The rows that set the rod's length: the screen's that the window stands on, however tall
// the window is. A printed page is the window's picture scaled to the paper, so it keeps the
// screen's rod too: in printer dots the rod would leave the page.
int CSys1RS::ScreenRows(CDC* pDC)
{
    if (const QWidget* w = GetWidget(); w && w->screen())
        return w->screen()->geometry().height();
    return pDC->GetDeviceCaps(VERTRES);
}

void CSys1RS::DrawPendulum(CDC* pDC, double angle)
{
    if (!std::isfinite(angle))
        return;
    const int x0 = WorldToPixelX(0), y0 = WorldToPixelY(0);
    const Pendulum p = PendulumAt(x0, y0, m_nRodLength, angle);
    m_ptPivot = p.pivot;
    m_ptBob = p.bob;
    CPoint a = p.pivot, b = p.bob;
    if (!ClipToPlotRect(a, b))
        return;
    // A printer has no XOR: the page gets what XOR leaves on white paper.
    const bool paper = pDC->IsPrinting();
    const COLORREF colour = paper ? PendulumColor() ^ 0xFFFFFF : PendulumColor();
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    const int oldRop = pDC->SetROP2(paper ? R2_COPYPEN : R2_XORPEN);
    // In short pieces: the raster engine hands long XOR lines to its thread pool, which costs
    // more than the line itself when the pendulum moves with every row.
    const int pieces = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)) / kXorPiece + 1;
    pDC->MoveTo(a);
    for (int i = 1; i <= pieces; ++i)
        pDC->LineTo(a.x + (b.x - a.x) * i / pieces, a.y + (b.y - a.y) * i / pieces);
    const int r = m_nBobRadius;
    pDC->Ellipse(p.bob.x - r, p.bob.y - r, p.bob.x + r, p.bob.y + r);
    pDC->SetROP2(oldRop);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

// --- the run -------------------------------------------------------------------------------

void CSys1RS::TraceSegment(CDC* pDC, int a, int b)
{
    const CModelCore& s = GetModel()->Core();
    const int rows = s.m_nTableRows;
    const double* t = ColumnData(s.m_arrTable[kSlotT], rows);
    const int x0 = WorldToPixelX(0);
    auto segment = [&](CPoint p1, CPoint p2, const TracePen& tp) {
        if (!ClipToPlotRect(p1, p2))
            return;
        CPen pen(tp.style, tp.width, tp.color);
        CPen* pOldPen = pDC->SelectObject(&pen);
        pDC->MoveTo(p1);
        pDC->LineTo(p2);
        pDC->SelectObject(pOldPen);
        if (m_live.Active())
            m_live.Touch(p1, p2, tp.width);
    };
    if (IsPhaseMode(Mode())) {
        const double* x = ColumnData(s.m_arrTable[kSlotX], rows);
        const double* xp = ColumnData(s.m_arrTable[kSlotXp], rows);
        if (!x || !xp || !Finite(x[a], xp[a], x[b], xp[b]))
            return;
        const int y0 = WorldToPixelY(0), height = m_rcPlot.bottom - m_rcPlot.top;
        segment(PhaseModePoint(x0, y0, height, m_nRodLength, x[a], xp[a]),
                PhaseModePoint(x0, y0, height, m_nRodLength, x[b], xp[b]), PhasePen(s));
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const double* v = ColumnData(s.m_arrTable[kCurves[i]], rows);
        if (!RsCurveShown(s, i) || !v || !t || !Finite(v[a], v[b], t[a], t[b]))
            continue;
        segment(TimeModePoint(x0, m_nRodLength, v[a], WorldToPixelY(t[a])),
                TimeModePoint(x0, m_nRodLength, v[b], WorldToPixelY(t[b])), RsCurvePen(s, i));
    }
}

void CSys1RS::DrawPlotSpace(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const RingSpan ring = RunSpan(s, lock.Ring());
    const double inf = std::numeric_limits<double>::infinity();
    const bool phase = IsPhaseMode(Mode());
    const double tMin = phase ? -inf : s.m_dGraphTMin, tMax = phase ? inf : s.m_dGraphTMax;
    WalkSegments(ring, tMin, tMax, s.RunStep(), [&](int a, int b) {
        m_dRowTime = ring.t[a];
        TraceSegment(pDC, a, b);
    });
}

void CSys1RS::DrawRealSpace(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    if (!s.m_bRunning)
        return;
    const CTableReadLock lock(s);
    const int rows = s.m_nTableRows;
    const double* t = ColumnData(s.m_arrTable[kSlotT], rows);
    const double* x = ColumnData(s.m_arrTable[kSlotX], rows);
    const int prev = PreviousLiveRow(nRow, rows, lock.Ring().wrapped);
    if (prev < 0 || !t || !x)
        return; // not a row of the table
    if (t[prev] < s.m_dGraphTMin || t[nRow] > s.m_dGraphTMax)
        return;
    CDC& dc = m_live.DC(this);
    TraceSegment(&dc, prev, nRow);
    // Moved by less than a pixel, the pendulum's two drawings would cancel out.
    const int x0 = WorldToPixelX(0), y0 = WorldToPixelY(0);
    if (PendulumAt(x0, y0, m_nRodLength, x[prev]).bob !=
        PendulumAt(x0, y0, m_nRodLength, x[nRow]).bob) {
        DrawPendulum(&dc, x[prev]);
        DrawPendulum(&dc, x[nRow]);
    }
    const int reach = m_nRodLength + 2 * m_nBobRadius + 2;
    m_live.Touch(
        CRect(m_ptPivot.x - reach, m_ptPivot.y - 1, m_ptPivot.x + reach + 1, m_ptPivot.y + reach));
    m_nPrevRow = nRow;
    m_live.Show(this);
}

// --- updates -------------------------------------------------------------------------------

void CSys1RS::TakeSettings(const CModelCore& s)
{
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetWindowText(s.m_strFileName + RealSpaceSubtitle(s.m_nRSMode));
    const RealSpaceWorld w = RealSpaceWindow(s.m_nRSMode, s);
    m_dXMin = w.xMin;
    m_dXMax = w.xMax;
    m_dYMin = w.yMin;
    m_dYMax = w.yMax;
    m_dDt = s.RunStep();
    m_nDigitsX = DigitsForRange(m_dXMax - m_dXMin);
    m_nDigitsY = DigitsForRange(std::fabs(m_dYMax - m_dYMin));
    m_nDigitsDt = DigitsForStep(m_dDt);
    UpdateScales();
}

void CSys1RS::DrawStoredRun(CDC* pDC)
{
    if (GetModel()->Core().m_bHaveData)
        DrawPlotSpace(pDC);
}

// --- mouse and commands --------------------------------------------------------------------

void CSys1RS::OnMouseMove(UINT nFlags, CPoint point)
{
    CView::OnMouseMove(nFlags, point); // no live readout here
}

// The click's time is the time at its row of the plot (time runs downwards); the phase modes
// have no time axis and mark no row.
void CSys1RS::OnPlotClick(CPoint point)
{
    IModelDocument* m = GetModel();
    const CModelCore& s = m->Core();
    if (!s.m_bHaveData || s.m_nTableSource != 0 || IsPhaseMode(s.m_nRSMode))
        return;
    const double tau = PixelToWorldY(point.y);
    int row = -1;
    {
        const CTableReadLock lock(s); // a run may be writing the row
        const double* t = ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows);
        const int index = lock.Ring().index;
        if (t && index >= 0 && index < s.m_nTableRows)
            row = ClickedGeneratedRow(tau, t[index], s.m_nTableInterval, s.RunStep());
    }
    if (row >= 0 && m->TableViewWindow())
        ::PostMessage(m->TableViewWindow(), WM_TABLE_GOTO_ROW, WPARAM(row), 0);
}

void CSys1RS::EditPaneStyle(int nItem)
{
    if (nItem < 0 || nItem > 3)
        return;
    CModelCore& s = GetModel()->Core();
    bool ok;
    if (nItem == 3) {
        ok = EditPen(this, s.m_nStylePO, s.m_nWidthPO, s.m_clrPO);
    } else {
        const VarInfo& v = VarOf(kCurves[nItem]);
        ok = EditPen(this, s.*v.style, s.*v.width, s.*v.color);
    }
    if (!ok)
        return;
    InvalidateRect(&m_rcLegend, TRUE);
    GetModel()->MarkModified();
}

void CSys1RS::OnControlsSelectVariables()
{
    if (SelectGraphVariables(GraphKind::Newtonian, GetModel()->Core(), this))
        OnUpdate(nullptr, HINT_GRAPH_CURVES, nullptr);
}

void CSys1RS::OnUpdateControlsSelectVariables(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsPhaseMode(Mode()));
}
