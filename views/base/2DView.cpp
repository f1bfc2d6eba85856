#include "views/base/2DView.h"

#include "model/CommandIds.h"
#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "platform/WinApp.h"
#include "views/base/LimitEdit.h"
#include "views/base/LimitRules.h"
#include "views/base/PlotShared.h"
#include "views/base/PlotText.h"

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
    CRect client;
    GetClientRect(&client);
    if (pDC->IsPrinting())
        MapPrintedPage(pDC, client);

    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    CPen* pOldPen = pDC->SelectObject(&pen);

    const int h = MeasureText(pDC, "0123456789").cy;
    int widths[5];
    for (int i = 0; i < 5; ++i)
        widths[i] = MeasureText(pDC, kCaptionTexts[i]).cx;
    Layout(client, h, widths);

    const CRect& p = m_rcPlot;
    CBrush frame(GetSysColor(COLOR_WINDOWTEXT));
    const CRect frameRect(p.left - 1, p.top - 1, p.right + 1, p.bottom + 1);
    pDC->FrameRect(&frameRect, &frame);
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
        if (m_bBanding) {
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

// A curve being drawn: its column, its painter, the pixel of the row it reached last and the
// rows it gathers down a pixel column.
struct C2DView::CurveRows
{
    const double* v;
    CRowPainter painter;
    int row = -1; // the last row reached, and its vertical pixel (stale while gathering)
    int at = 0;
    int ringRows = 0;
    ValueColumn column;
    const int* py = nullptr; // the pixels of the rows, by slot of the row pixels' block
};

std::vector<C2DView::CurveRows> C2DView::CurvesOf(CDC* pDC, const TableColumns& columns,
                                                  const RingSpan& ring, bool imported)
{
    const CModelCore& s = GetModel()->Core();
    const MarkRule rule = CycleMarks(s, ring, m_desc.phaseMarks);
    const RowLook lines = m_desc.xColumn == kSlotT ? RowLook::TimeLines : RowLook::Lines;
    std::vector<CurveRows> curves;
    for (const PlotCurve& c : m_desc.curves) {
        if ((imported && c.importPen < 0) || !CurveShown(s, c))
            continue;
        if (const double* v = ColumnData(columns[c.column], ring.rows))
            curves.push_back({v,
                              CRowPainter(pDC, m_rcPlot, c.points ? RowLook::Points : lines,
                                          CurvePen(s, c, imported), MarkPen(s, c, imported), rule),
                              -1,
                              {},
                              ring.rows,
                              {}});
    }
    return curves;
}

// The segment from row a to row b (or b's point), b of the given age, at horizontal pixels xa
// and xb; the vertical pixels mapped here. A curve that gathers columns maps few rows.
void C2DView::AddRow(CurveRows& c, int xa, int xb, int a, int b, int age)
{
    if (!std::isfinite(c.v[a]) || !std::isfinite(c.v[b]))
        return; // a diverged run: nothing to draw here
    const CPoint p1(xa, a == c.row ? c.at : WorldToPixelY(c.v[a]));
    const CPoint p2(xb, WorldToPixelY(c.v[b]));
    c.row = b;
    c.at = p2.y;
    DrawRow(c, p1, p2, age);
}

[[gnu::always_inline]] inline void C2DView::DrawRow(CurveRows& c, CPoint p1, CPoint p2, int age)
{
    if (c.painter.Look() == RowLook::Points)
        c.painter.Point(p2, age);
    else
        ClipAndDraw(p1, p2, [&](CPoint a, CPoint b) { c.painter.Segment(a, b, age); });
}

// Each curve's segment from row a to row b. A curve against time gathers the rows that go on
// down a pixel column as values, most rows of a long run, and draws the column when it ends;
// the others take their rows' pixels from the block.
[[gnu::always_inline]] inline void C2DView::AddRows(std::vector<CurveRows>& curves,
                                                    const CRowPixels& pixels, int a, int b, int age,
                                                    int slot)
{
    const int xa = pixels.X(slot - 1), xb = pixels.X(slot);
    if (xa == kNoPixel || xb == kNoPixel)
        return;                                       // a diverged run: nothing to draw here
    const bool column = xa == xb && !m_desc.sections; // section rows are a cycle apart
    for (CurveRows& c : curves) {
        if (c.py) {
            const int ya = c.py[slot - 1], yb = c.py[slot];
            if (ya != kNoPixel && yb != kNoPixel)
                DrawRow(c, CPoint(xa, ya), CPoint(xb, yb), age);
            continue;
        }
        if (column && a == c.row && std::isfinite(c.v[b])) {
            c.column.Add(xa, c.at, a, b, c.v[b]);
            c.row = b;
            continue;
        }
        if (c.column.open)
            FlushColumn(c, age);
        AddRow(c, xa, xb, a, b, age);
    }
}

namespace {
// The leading finite values of v[0, n).
int FiniteRun(const double* v, int n)
{
    int i = 0;
    while (i < n && std::isfinite(v[i]))
        ++i;
    return i;
}
} // namespace

// Where every curve gathers its columns and went on to row b, the rows after b on b's pixel
// column join the curves' columns at once as their extremes, as they would one by one: their
// values finite, every row of the block walked. The rows taken.
int C2DView::GatherRun(std::vector<CurveRows>& curves, const CRowPixels& pixels, int b, int slot)
{
    const int x = pixels.X(slot);
    int n = pixels.AllVisited() && x != kNoPixel ? pixels.ColumnRun(slot) : 0;
    for (const CurveRows& c : curves)
        n = c.py || c.row != b ? 0 : FiniteRun(c.v + b + 1, n);
    if (n == 0)
        return 0;
    for (CurveRows& c : curves) {
        const double* v = c.v + b + 1;
        double lo = v[0], hi = v[0];
        for (int i = 1; i < n; ++i) {
            lo = v[i] < lo ? v[i] : lo;
            hi = v[i] > hi ? v[i] : hi;
        }
        c.column.Add(x, c.at, b, b + n, lo); // opens the column at row b where it is not open
        c.column.Add(x, c.at, b, b + n, hi);
        c.row = b + n;
    }
    return n;
}

// The gathered column as the fold of its segments would draw it: first -> highest -> lowest
// -> last; row by row where some row lies beyond the plot and its segments need clipping.
void C2DView::FlushColumn(CurveRows& c, int age)
{
    ValueColumn& col = c.column;
    if (!col.open)
        return;
    col.open = false;
    const int top = WorldToPixelY(col.hi), bottom = WorldToPixelY(col.lo);
    c.at = WorldToPixelY(c.v[col.lastRow]);
    const CPoint first(col.x, col.firstY), high(col.x, top), low(col.x, bottom);
    if (WellInside(first) && WellInside(high) && WellInside(low)) {
        c.painter.Segment(first, high, age);
        c.painter.Segment(high, low, age);
        c.painter.Segment(low, CPoint(col.x, c.at), age);
        return;
    }
    c.row = col.startRow;
    c.at = col.firstY;
    for (int prev = col.startRow; prev != col.lastRow;) {
        const int next = prev + 1 == c.ringRows ? 0 : prev + 1;
        AddRow(c, col.x, col.x, prev, next, age);
        prev = next;
    }
}

// The rows on the section phase, from the first of them one a cycle.
void C2DView::AddSectionRows(std::vector<CurveRows>& curves, CRowPixels& pixels,
                             const RingSpan& ring)
{
    const CModelCore& s = GetModel()->Core();
    const int stride = RowsPerCycle(s.m_nChrononsPerCycle, s.m_nTableInterval);
    int prev = -1, k = 0;
    WalkSections(ring, stride, s.m_dPeriod, s.RunStep(), [&](int row) {
        const int a = prev < 0 ? row : prev;
        AddRows(curves, pixels, a, row, k, pixels.Reach(a, row));
        prev = row;
        ++k;
    });
}

void C2DView::DrawTable(CDC* pDC, const TableColumns& columns, const RingSpan& ring, bool imported)
{
    std::vector<CurveRows> curves = CurvesOf(pDC, columns, ring, imported);
    const double* x = ColumnData(columns[m_desc.xColumn], ring.rows);
    if (curves.empty() || !x)
        return;
    // A curve that gathers columns maps only the rows that end them, one by one.
    std::vector<const double*> ys;
    for (const CurveRows& c : curves)
        ys.push_back(c.painter.GathersColumns() ? nullptr : c.v);
    CRowPixels pixels(*this, ring.rows, x, std::move(ys),
                      m_desc.sections ? 1 : CRowPixels::kBlockRows);
    for (std::size_t k = 0; k < curves.size(); ++k)
        curves[k].py = pixels.Y(static_cast<int>(k));
    const CModelCore& s = GetModel()->Core();
    if (m_desc.sections) {
        AddSectionRows(curves, pixels, ring);
    } else {
        // A time axis walks the rows of its window; any other axis walks them all.
        const bool timeAxis = m_desc.xColumn == kSlotT && m_desc.block;
        const AxisLimits t = timeAxis ? ReadAxis(s, *m_desc.block, 0) : AxisLimits{-kInf, kInf};
        // Lines draw nothing between two rows on one pixel: such rows are left out at once.
        const bool lines = std::all_of(curves.begin(), curves.end(), [](const CurveRows& c) {
            return c.painter.Look() == RowLook::Lines;
        });
        pixels.Walk(ring, t.min, t.max, s.RunStep(), lines, [&](int a, int b, int age, int slot) {
            AddRows(curves, pixels, a, b, age, slot);
            return lines ? 0 : GatherRun(curves, pixels, b, slot);
        });
    }
    for (CurveRows& c : curves) {
        FlushColumn(c, 0);
        c.painter.Finish();
    }
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
    const bool cycleStart = CycleMarks(s, {}, false).Marked(s.m_nTableCount);
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
    if (m_desc.block && m_rcPlotHit.PtInRect(point)) {
        m_ptBandAnchor = m_ptBandCorner = point;
        m_bBanding = TRUE;
    }
    CView::OnLButtonDown(nFlags, point);
}

// A click marks its place with the crosshair; a band with both extents zooms to it (not
// clamped: the band lies inside the plot); a band flat in one direction does nothing.
void C2DView::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bBanding) {
        m_bBanding = FALSE;
        const CPoint a = m_ptBandAnchor, c = m_ptBandCorner;
        if (a == c) {
            OnPlotClick(point);
            CClientDC dc(this);
            DrawCrosshair(&dc, point.x, point.y);
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
