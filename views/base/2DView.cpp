#include "views/base/2DView.h"

#include "model/CommandIds.h"
#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "platform/WinApp.h"
#include "views/base/PlotShared.h"
#include "views/dialogs/LimitEdit.h"
#include "views/rows/LimitRules.h"
#include "views/rows/PlotText.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

VX_IMPLEMENT_CLASS(C2DView, CPlotView)

namespace {
const char* const kCaptionTexts[5] = {"t =", "x =", "y =", "x' =", "y' ="};
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

C2DView::C2DView() = default;

C2DView::C2DView(PlotDescription description) : C2DView()
{
    m_desc = std::move(description);
    if (m_desc.block)
        MapLimitCommands();
}

C2DView::~C2DView() = default;

void C2DView::MapLimitCommands()
{
    MapCommand(ID_CONTROLS_ZOOM_NEAR, &C2DView::OnControlsZoomNear);
    MapCommand(ID_CONTROLS_ZOOM_FAR, &C2DView::OnControlsZoomFar);
    MapCommand(ID_CONTROLS_PAN_UP, &C2DView::OnControlsPanUp);
    MapCommand(ID_CONTROLS_PAN_DOWN, &C2DView::OnControlsPanDown);
    MapCommand(ID_CONTROLS_PAN_LEFT, &C2DView::OnControlsPanLeft);
    MapCommand(ID_CONTROLS_PAN_RIGHT, &C2DView::OnControlsPanRight);
    MapCommand(ID_CONTROLS_RESET_LIMITS, &C2DView::OnControlsResetLimits);
    MapCommand(ID_CONTROLS_SET_LIMITS, &C2DView::OnControlsSetLimits);
    MapUpdate(ID_CONTROLS_ZOOM_FAR, &C2DView::OnUpdateZoomFar);
    MapUpdate(ID_CONTROLS_PAN_UP, &C2DView::OnUpdatePanUp);
    MapUpdate(ID_CONTROLS_PAN_DOWN, &C2DView::OnUpdatePanDown);
    MapUpdate(ID_CONTROLS_PAN_LEFT, &C2DView::OnUpdatePanLeft);
    MapUpdate(ID_CONTROLS_PAN_RIGHT, &C2DView::OnUpdatePanRight);
}

std::string C2DView::FormatNumber(double value, int digits)
{
    return ::FormatNumber(value, digits);
}

void C2DView::OnDraw(CDC* pDC)
{
    if (SkipThisDrawing(pDC))
        return;
    DrawPage(pDC);
    m_layers.Draw(pDC);
    IModelDocument* m = GetModel();
    if (!m)
        return;
    DrawMargins(pDC);
    const CModelCore& s = m->Core();
    // Gaps of dashed and dotted pens stay transparent.
    pDC->SetBkMode(TRANSPARENT);
    // During a run the rows stored so far (the table lock keeps the run off them meanwhile),
    // also those of a fresh run plotted concurrently; live drawing goes on from there.
    const bool plotNow = !s.m_bPlotManual || s.m_bPlotRequest;
    if (RunRowsDue(s) && plotNow)
        DrawCurves(pDC);
    if (s.m_bHaveImport && plotNow)
        DrawImportedCurves(pDC);
    DrawCursorIfDue(pDC);
}

bool C2DView::CursorPixel(const RowValues& v, CPoint& p) const
{
    const auto column = [](int c) { return c >= 0 && c < kSlots; };
    if (!column(m_desc.xColumn) || !column(m_desc.yColumn))
        return false;
    const double x = v[m_desc.xColumn], y = v[m_desc.yColumn];
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    p = CPoint(WorldToPixelX(x), WorldToPixelY(y));
    return true;
}

int C2DView::CursorDigits(int column) const
{
    if (column == kSlotT)
        return m_nDigitsDt;
    return column == m_desc.xColumn ? m_nDigitsX : m_nDigitsY;
}

void C2DView::DrawPageFrame(CDC* pDC)
{
    const CRect client = PlotPageClient(this, pDC);
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    CPen* pOldPen = pDC->SelectObject(&pen);

    int widths[5];
    const int h = MeasureCaptions(pDC, kCaptionTexts, 5, widths);
    Layout(client, h, widths);

    const CRect& p = m_rcPlot;
    FramePlot(pDC, p);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkMode(TRANSPARENT);
    m_bCrossDrawn = 0; // a repaint removes the crosshair
    m_bLiveDrawn = 0;
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void C2DView::DrawPage(CDC* pDC)
{
    DrawPageFrame(pDC);
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    CPen* pOldPen = pDC->SelectObject(&pen);
    const CRect& p = m_rcPlot;
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_dXMin, m_nDigitsX));
    pDC->SetTextAlign(TA_RIGHT | TA_TOP);
    pDC->TextOut(p.right, p.bottom, FormatNumber(m_dXMax, m_nDigitsX));
    if (m_hFontUp)
        pDC->SelectObject(m_hFontUp.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_dYMin, m_nDigitsY));
    pDC->SetTextAlign(TA_RIGHT | TA_BOTTOM);
    pDC->TextOut(p.left, p.top, FormatNumber(m_dYMax, m_nDigitsY));

    DrawZeroAxes(pDC);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void C2DView::DrawZeroAxes(CDC* pDC)
{
    if (m_dYMin * m_dYMax < 0) {
        const int y = WorldToPixelY(0.0);
        const int x = WorldToPixelX(m_dXMax);
        pDC->MoveTo(WorldToPixelX(m_dXMin), y);
        pDC->LineTo(x, y);
        pDC->LineTo(x - 8, y - 2);
    }
    if (m_dXMin * m_dXMax < 0) {
        const int x = WorldToPixelX(0.0);
        const int y = WorldToPixelY(m_dYMax);
        pDC->MoveTo(x, WorldToPixelY(m_dYMin));
        pDC->LineTo(x, y);
        pDC->LineTo(x - 2, y + 8);
    }
}

void C2DView::ShowReadout(CDC* pDC, int px, int py, BOOL bCrosshair)
{
    const double x = PixelToWorldX(px);
    const double y = PixelToWorldY(py);
    const CRect& p = m_rcPlot;
    const int h = m_nTextHeight;

    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkColor(GetSysColor(COLOR_WINDOW));
    pDC->SetBkMode(OPAQUE);

    const int midX = (p.left + p.right) / 2;
    std::string text = FormatNumber(x, m_nDigitsX);
    CRect& boxX = bCrosshair ? m_rcCrossValueX : m_rcMouseValueX;
    EraseRect(pDC, boxX);
    int w = MeasureText(pDC, text).cx;
    boxX.left = midX - w / 2 - 1;
    boxX.right = midX + 1 + w / 2;
    pDC->TextOut(midX, bCrosshair ? p.bottom + h : p.bottom + 2, text);

    const int midY = (p.top + p.bottom) / 2;
    text = FormatNumber(y, m_nDigitsY);
    if (m_hFontUp)
        pDC->SelectObject(m_hFontUp.get());
    CRect& boxY = bCrosshair ? m_rcCrossValueY : m_rcMouseValueY;
    EraseRect(pDC, boxY);
    w = MeasureText(pDC, text).cx;
    boxY.top = midY - w / 2 - 1;
    boxY.bottom = midY + w / 2 + 1;
    pDC->TextOut(bCrosshair ? p.left - 2 * h : p.left - h - 1, midY, text);

    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void C2DView::DrawCrosshair(CDC* pDC, int px, int py)
{
    MoveXorCross(pDC, m_bCrossDrawn, m_ptCross, {px, py}, m_rcPlotHit);
    ShowReadout(pDC, px, py, TRUE);
}

void C2DView::DrawBand(CDC* pDC, CPoint corner)
{
    const CPoint a = m_ptBandAnchor;
    pDC->MoveTo(a);
    pDC->LineTo(corner.x, a.y);
    pDC->LineTo(corner);
    pDC->LineTo(a.x, corner.y);
    pDC->LineTo(a);
}

void C2DView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_rcPlotHit.PtInRect(point)) {
        CClientDC dc(this);
        if (m_bBanding && m_desc.block) { // without limits there is no zoom: a press only clicks
            CPen pen(PS_SOLID, 1, kWhite);
            CPen* pOldPen = dc.SelectObject(&pen);
            const int oldRop = dc.SetROP2(R2_XORPEN);
            DrawBand(&dc, m_ptBandCorner);
            DrawBand(&dc, point);
            m_ptBandCorner = point;
            dc.SelectObject(pOldPen);
            dc.SetROP2(oldRop);
        }
        ShowReadout(&dc, point.x, point.y, FALSE);
    }
    CView::OnMouseMove(nFlags, point);
}

void C2DView::OnSize(UINT nType, int cx, int cy)
{
    CPlotView::OnSize(nType, cx, cy);
    CollapseReadoutBoxes();
}

void C2DView::DrawArrowHead(CDC* pDC, double xTip, double yTip, double xTail, double yTail,
                            int nLength, int nAngleDeg, COLORREF clr)
{
    const double dx = (xTail - xTip) / m_dScaleX;
    const double dy = (yTail - yTip) / m_dScaleY;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0) || !std::isfinite(len))
        return; // no direction to open towards
    const double ux = dx / len, uy = dy / len;
    const double a = nAngleDeg * 3.14159265358979323846 / 360;
    const double c = std::cos(a), s = std::sin(a);
    const CPoint p0(WorldToPixelX(xTip), WorldToPixelY(yTip));
    const CPoint pts[3] = {
        p0,
        {p0.x + ClampToPixel((c * ux - s * uy) * nLength),
         p0.y - ClampToPixel((s * ux + c * uy) * nLength)},
        {p0.x + ClampToPixel((c * ux + s * uy) * nLength),
         p0.y - ClampToPixel((c * uy - s * ux) * nLength)},
    };
    CPen pen(PS_SOLID, 1, clr);
    CBrush brush(clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->Polygon(pts, 3);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

// --- the document's run and limits ---------------------------------------------------------

bool C2DView::OnOwnHint(LPARAM lHint)
{
    if (lHint != HINT_PLOT_STYLE)
        return false;
    InvalidateRect(&m_rcLegend, TRUE);
    return true;
}

void C2DView::TakeSettings(const CModelCore& s)
{
    TakeCaption(s);
    if (!m_desc.block)
        return;
    const PlotLimits g = ReadLimits(s, *m_desc.block);
    m_dXMin = g.x.min;
    m_dXMax = g.x.max;
    m_dYMin = g.y.min;
    m_dYMax = g.y.max;
    m_nDigitsY = DigitsForRange(m_dYMax - m_dYMin);
    m_nDigitsX = DigitsForRange(m_dXMax - m_dXMin);
    UpdateScales();
}

void C2DView::DrawStoredRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    if (s.m_bHaveData)
        DrawCurves(pDC);
    if (s.m_bHaveImport)
        DrawImportedCurves(pDC);
}

C2DView::Pen C2DView::CurvePen(const CModelCore& s, const PlotCurve& c, bool imported)
{
    if (imported && c.importPen >= 0)
        return ImportPen(s, c.importPen, c.importViewPens);
    return {c.style ? s.*c.style : PS_SOLID, c.width ? s.*c.width : 1, s.*c.color};
}

std::optional<C2DView::Pen> C2DView::MarkPen(const CModelCore& s, const PlotCurve& c, bool imported)
{
    return ReturnMarkPen(s, c, imported, c.importViewPens);
}

bool C2DView::CurveShown(const CModelCore& s, const PlotCurve& c)
{
    return !c.shown || s.*c.shown;
}

std::vector<C2DView::Curve> C2DView::CurvesOf(CDC* pDC, const TableColumns& columns,
                                              const RingSpan& ring, bool imported)
{
    const CModelCore& s = GetModel()->Core();
    const MarkRule rule = CycleMarks(s, ring, m_desc.phaseMarks);
    const RowLook lines = m_desc.xColumn == kSlotT ? RowLook::TimeLines : RowLook::Lines;
    std::vector<Curve> curves;
    for (const PlotCurve& c : m_desc.curves) {
        if ((imported && c.importPen < 0) || !CurveShown(s, c))
            continue;
        if (const double* v = ColumnData(columns[c.column], ring.rows))
            curves.push_back(
                {.v = v,
                 .painter = CRowPainter(pDC, m_rcPlot, c.points ? RowLook::Points : lines,
                                        CurvePen(s, c, imported), MarkPen(s, c, imported), rule),
                 .ringRows = ring.rows});
    }
    return curves;
}

// Which rows the walk takes: the sections one a cycle, or those of the window of a time axis
// (any other axis walks them all).
CurveWalkRows C2DView::WalkRows() const
{
    const CModelCore& s = GetModel()->Core();
    CurveWalkRows rows{m_desc.sections, -kInf, kInf, SectionRuleOf(s)};
    if (!m_desc.sections && m_desc.xColumn == kSlotT && m_desc.block) {
        const AxisLimits t = ReadAxis(s, *m_desc.block, 0);
        rows.tMin = t.min;
        rows.tMax = t.max;
    }
    return rows;
}

void C2DView::DrawTable(CDC* pDC, const TableColumns& columns, const RingSpan& ring, bool imported)
{
    CCurveWalk<CRowPainter>(*this, CurvesOf(pDC, columns, ring, imported))
        .Walk(ColumnData(columns[m_desc.xColumn], ring.rows), ring, WalkRows());
}

void C2DView::DrawCurves(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    DrawTable(pDC, s.m_arrTable, RunSpan(s, lock.Ring()), false);
}

void C2DView::DrawImportedCurves(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const int n = s.m_nImportRows;
    DrawTable(pDC, s.m_arrImport, RingSpan{ColumnData(s.m_arrImport[kSlotT], n), n, 0, n, false},
              true);
}

void C2DView::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const double* t = ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows);
    const double* x = ColumnData(s.m_arrTable[m_desc.xColumn], s.m_nTableRows);
    const int prev = PreviousLiveRow(nRow, s.m_nTableRows, s.m_bTableWrapped != 0);
    if (prev < 0 || t == nullptr || x == nullptr)
        return;
    m_nPrevRow = prev;
    if (m_desc.xColumn == kSlotT && m_desc.block) {
        const AxisLimits window = ReadAxis(s, *m_desc.block, 0);
        if (t[prev] < window.min || t[nRow] > window.max)
            return;
    }
    // The live row's sequence number counts the cycles from the run's first row.
    const bool cycleStart = SectionRuleOf(s).StartsCycle(s.m_nTableCount);
    if (m_desc.sections && !cycleStart)
        return;
    for (const PlotCurve& c : m_desc.curves) {
        const double* v = ColumnData(s.m_arrTable[c.column], s.m_nTableRows);
        if (!v || !CurveShown(s, c) || !Finite(x[prev], x[nRow], v[prev], v[nRow]))
            continue;
        const std::optional<Pen> mark = cycleStart ? MarkPen(s, c, false) : std::nullopt;
        DrawLiveRow(c, mark.value_or(CurvePen(s, c, false)),
                    {WorldToPixelX(x[prev]), WorldToPixelY(v[prev])},
                    {WorldToPixelX(x[nRow]), WorldToPixelY(v[nRow])});
    }
    m_nPrevRow = nRow;
    m_live.Show(this);
}

// The live row of one curve: the segment from p1 to p2, or the point p2.
void C2DView::DrawLiveRow(const PlotCurve& c, const Pen& p, CPoint p1, CPoint p2)
{
    if (c.points) {
        if (m_rcPlot.PtInRect(p2)) {
            m_live.DC(this).SetPixel(p2.x, p2.y, p.color);
            m_live.Touch(CRect(p2.x, p2.y, p2.x + 1, p2.y + 1));
        }
        return;
    }
    if (ClipToPlotRect(p1, p2))
        DrawLiveSegment(m_live, this, p, p1, p2);
}

// --- rubber band ---------------------------------------------------------------------------

void C2DView::OnPress(UINT nFlags, CPoint point)
{
    if (m_rcPlotHit.PtInRect(point)) {
        m_ptBandAnchor = m_ptBandCorner = point;
        m_bBanding = TRUE;
    }
    CView::OnLButtonDown(nFlags, point);
}

// A click marks its place with the crosshair where the view has one; a band with both extents
// zooms to it (not clamped: the band lies inside the plot); a band flat in one direction does
// nothing.
void C2DView::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bBanding) {
        m_bBanding = FALSE;
        const CPoint a = m_ptBandAnchor, c = m_ptBandCorner;
        if (a == c) {
            OnPlotClick(point);
            if (ClickMarksPoint()) {
                CClientDC dc(this);
                DrawCrosshair(&dc, point.x, point.y);
            }
        } else if (a.x != c.x && a.y != c.y) {
            PlotLimits g = Limits();
            const double x1 = PixelToWorldX(a.x), x2 = PixelToWorldX(c.x);
            const double y1 = PixelToWorldY(a.y), y2 = PixelToWorldY(c.y);
            g.x.min = std::min(x1, x2);
            g.x.max = std::max(x1, x2);
            g.y.min = std::min(y1, y2);
            g.y.max = std::max(y1, y2);
            if (SetLimits(g)) {
                OnUpdate(nullptr, HINT_RESET, nullptr);
                GetModel()->MarkModified();
            }
        }
    }
    CView::OnLButtonUp(nFlags, point);
}

// --- zoom, pan, reset, set limits ----------------------------------------------------------

PlotLimits C2DView::Limits() const
{
    return ReadLimits(GetModel()->Core(), *m_desc.block);
}

bool C2DView::SetLimits(const PlotLimits& g)
{
    if (!LimitsAreOpen(g))
        return false; // every scale of the view divides by its ranges
    WriteLimits(GetModel()->Core(), *m_desc.block, g);
    return true;
}

// Each change updates this view only; the others see the limits at their next update.
void C2DView::ChangeLimits(void (*rule)(PlotLimits&), bool bModified)
{
    if (!GetModel())
        return;
    PlotLimits g = Limits();
    rule(g);
    if (!SetLimits(g))
        return;
    OnUpdate(nullptr, HINT_RESET, nullptr);
    if (bModified)
        GetModel()->MarkModified();
}

void C2DView::EnableIf(CCmdUI* pCmdUI, bool (*test)(const PlotLimits&))
{
    pCmdUI->Enable(GetModel() && test(Limits()));
}

void C2DView::OnControlsZoomNear()
{
    ChangeLimits(ZoomNear, true);
}
void C2DView::OnControlsZoomFar()
{
    ChangeLimits(ZoomFar, true);
}
void C2DView::OnControlsPanUp()
{
    ChangeLimits(PanUp, false);
}
void C2DView::OnControlsPanDown()
{
    ChangeLimits(PanDown, false);
}
void C2DView::OnControlsPanLeft()
{
    ChangeLimits(PanLeft, false);
}
void C2DView::OnControlsPanRight()
{
    ChangeLimits(PanRight, false);
}
void C2DView::OnControlsResetLimits()
{
    ChangeLimits(ResetLimits, true);
}

void C2DView::OnUpdateZoomFar(CCmdUI* pCmdUI)
{
    EnableIf(pCmdUI, CanZoomFar);
}
void C2DView::OnUpdatePanUp(CCmdUI* pCmdUI)
{
    EnableIf(pCmdUI, CanPanUp);
}
void C2DView::OnUpdatePanDown(CCmdUI* pCmdUI)
{
    EnableIf(pCmdUI, CanPanDown);
}
void C2DView::OnUpdatePanLeft(CCmdUI* pCmdUI)
{
    EnableIf(pCmdUI, CanPanLeft);
}
void C2DView::OnUpdatePanRight(CCmdUI* pCmdUI)
{
    EnableIf(pCmdUI, CanPanRight);
}

bool C2DView::EditLimits(PlotLimits& g)
{
    const LimitDialogSpec spec{
        Key(), {m_desc.names[0], m_desc.names[1], nullptr}, {m_desc.xColumn, m_desc.yColumn, -1}};
    return EditPlotLimits(this, GetModel()->Core(), spec, g);
}

void C2DView::OnControlsSetLimits()
{
    IModelDocument* m = GetModel();
    if (!m)
        return;
    PlotLimits g = Limits();
    if (!EditLimits(g))
        return;
    if (!SetLimits(g))
        return;
    m->MarkModified();
    OnUpdate(nullptr, HINT_RESET, nullptr);
}
