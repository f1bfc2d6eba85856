#include "views/base/3DView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/Document.h"
#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "platform/base/MessageHook.h"
#include "views/base/2DView.h"
#include "views/base/LimitDialogRules.h"
#include "views/base/PlotLimDlg.h"
#include "views/base/RingWalk.h"
#include "views/base/VADlg.h"
#include "views/base/ViewAngleFlag.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_IMPLEMENT_CLASS(C3DView, CPlotView)

namespace {
const char* const kCaptionTexts[7] = {"t =", "x =", "y =", "z =", "x' =", "y' =", "y' ="};
// The default box spans half the smaller side of the plot; zoom multiplies it by 1.1 a step,
// within a hundredth and a hundred times.
constexpr double kBoxShare = 0.5, kZoomStep = 1.1, kZoomLimit = 100;
// Pan offsets stay well inside the pixel range, so adding them never overflows.
constexpr int kPanLimit = kPixelLimit / 4;

CPoint Mid(CPoint a, CPoint b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}
} // namespace

C3DView::C3DView()
{
    MapMessage(WM_VIEW_ANGLE_CLOSED, &C3DView::OnViewAngleClosed);
    MapCommand(ID_CONTROLS_SET_YAW_PITCH, &C3DView::OnControlsSetYawPitch);
    MapUpdate(ID_CONTROLS_SET_YAW_PITCH, &C3DView::OnUpdateControlsSetYawPitch);
}

C3DView::C3DView(Plot3DDescription description) : C3DView()
{
    m_desc = std::move(description);
    MapCommands();
}

C3DView::~C3DView()
{
    CloseViewAngleDlg(); // the dialog never outlives its view
}

void C3DView::MapCommands()
{
    MapCommand(ID_CONTROLS_ZOOM_NEAR, &C3DView::OnControlsZoomNear);
    MapCommand(ID_CONTROLS_ZOOM_FAR, &C3DView::OnControlsZoomFar);
    MapCommand(ID_CONTROLS_PAN_UP, &C3DView::OnControlsPanUp);
    MapCommand(ID_CONTROLS_PAN_DOWN, &C3DView::OnControlsPanDown);
    MapCommand(ID_CONTROLS_PAN_LEFT, &C3DView::OnControlsPanLeft);
    MapCommand(ID_CONTROLS_PAN_RIGHT, &C3DView::OnControlsPanRight);
    MapCommand(ID_CONTROLS_RESET_LIMITS, &C3DView::OnControlsResetLimits);
    if (m_desc.block)
        MapCommand(ID_CONTROLS_SET_LIMITS, &C3DView::OnControlsSetLimits);
}

// --- the page ------------------------------------------------------------------------------

void C3DView::OnDraw(CDC* pDC)
{
    if (SkipThisDrawing(pDC))
        return;
    DrawPage(pDC);
    if (GetModel())
        DrawMargins(pDC);
    DrawScene(pDC, m_bFullRedraw != 0);
}

void C3DView::DrawPage(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (pDC->IsPrinting())
        MapPrintedPage(pDC, client);
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    // Measured in the plot's font: a printer's own font would lay the page out in its dots.
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    const int h = C2DView::MeasureText(pDC, "0123456789").cy;
    int widths[7];
    for (int i = 0; i < 7; ++i)
        widths[i] = C2DView::MeasureText(pDC, kCaptionTexts[i]).cx;
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    Layout(client, h, widths);

    const CRect& p = m_rcPlot;
    CBrush frame(GetSysColor(COLOR_WINDOWTEXT));
    const CRect frameRect(p.left - 1, p.top - 1, p.right + 1, p.bottom + 1);
    pDC->FrameRect(&frameRect, &frame);
    pDC->SelectObject(pOldPen);

    const double side = std::min(p.Width(), p.Height());
    m_nBoxSize = ClampToPixel(std::max(0.0, side) * kBoxShare * m_dZoom);
    m_ptOrigin = CalcOrigin();
}

void C3DView::DrawScene(CDC* pDC, bool bFull)
{
    DrawBox(pDC);
    DrawAxes(pDC);
    IModelDocument* m = GetModel();
    if (!bFull || !m)
        return;
    const CModelCore& s = m->Core();
    if (s.m_bHaveData && (!s.m_bPlotManual || s.m_bPlotRequest))
        DrawRun(pDC);
}

void C3DView::DrawBox(CDC* pDC)
{
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CPoint corner[8];
    for (int i = 0; i < 8; ++i)
        corner[i] = BoxCorner(i);
    for (const auto& e : kBoxEdges) {
        CPoint a = corner[e[0]], b = corner[e[1]];
        if (ClipToPlotRect(a, b)) {
            pDC->MoveTo(a);
            pDC->LineTo(b);
        }
    }
    pDC->SelectObject(pOldPen);
}

// An axis from its + end to its - end, clipped, with its labels halfway between centre and
// each end where that lies well inside the plot.
void C3DView::DrawAxis(CDC* pDC, CPoint centre, CPoint a, CPoint b, const std::string& name)
{
    if (!ClipToPlotRect(a, b))
        return;
    pDC->MoveTo(a);
    pDC->LineTo(b);
    CRect inner = m_rcPlot;
    inner.DeflateRect(10, 10);
    const CPoint la = Mid(centre, a), lb = Mid(centre, b);
    if (inner.PtInRect(la))
        pDC->TextOut(la.x, la.y, "+" + name);
    if (inner.PtInRect(lb))
        pDC->TextOut(lb.x, lb.y, "-" + name);
}

// The axes' pen, font and text settings around draw.
template <class Draw> void C3DView::WithAxisStyle(CDC* pDC, Draw draw)
{
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    draw();
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void C3DView::DrawAxes(CDC* pDC)
{
    WithAxisStyle(pDC, [&] {
        const CPoint o = m_ptOrigin;
        pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
        DrawAxis(pDC, o, Project(m_dXHi, 0, 0), Project(m_dXLo, 0, 0), "x");
        DrawAxis(pDC, o, Project(0, m_dYHi, 0), Project(0, m_dYLo, 0), "y");
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        DrawAxis(pDC, o, Project(0, 0, m_dZHi), Project(0, 0, m_dZLo), "z");
    });
}

// The orbit views' axes: strName2 upright (half the y box, along z), strName1 across, about the
// orbit's own origin, and the rectangle they span.
void C3DView::DrawOrbitAxes(CDC* pDC, const std::string& strName1, const std::string& strName2)
{
    const double a = m_dOrbitAxisX, dx = m_dOrbitOffsetX, dz = m_dOrbitOffsetZ;
    const double xA = m_dXHi / 2 + a + dx, xB = m_dXLo / 2 + a + dx;
    const double zA = m_dYHi / 2 + dz, zB = m_dYLo / 2 + dz;
    WithAxisStyle(pDC, [&] {
        const CPoint o = Project(a, 0, 0);
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        DrawAxis(pDC, o, Project(a, 0, zA), Project(a, 0, zB), strName2);
        pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
        DrawAxis(pDC, o, Project(xA, 0, 0), Project(xB, 0, 0), strName1);
        const CPoint corner[4] = {Project(xB, 0, zA), Project(xA, 0, zA), Project(xA, 0, zB),
                                  Project(xB, 0, zB)};
        for (int i = 0; i < 4; ++i) {
            CPoint p1 = corner[i], p2 = corner[(i + 1) % 4];
            if (ClipToPlotRect(p1, p2)) {
                pDC->MoveTo(p1);
                pDC->LineTo(p2);
            }
        }
    });
}

void C3DView::DrawFloorEllipse(CDC* pDC)
{
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    const int s = m_nBoxSize;
    const CPoint o = m_ptOrigin;
    if (m_nPitch != 0) {
        const int h = ClampToPixel(s * m_dSinPitch / 2);
        pDC->Arc(o.x - s / 2, o.y - h, o.x + s / 2, o.y + h, o.x, o.y, o.x, o.y);
    } else {
        pDC->MoveTo(o.x - s / 2, o.y);
        pDC->LineTo(o.x + s / 2, o.y);
    }
    pDC->SelectObject(pOldPen);
}

void C3DView::DrawCrosshair(CDC* pDC, int px, int py)
{
    MoveXorCross(pDC, m_bCrossDrawn, m_ptCross, {px, py}, m_rcPlotHit);
}

// --- the run -------------------------------------------------------------------------------

PlotPen C3DView::RunPen(const CModelCore& s) const
{
    return {m_desc.style ? s.*m_desc.style : PS_SOLID, m_desc.width ? s.*m_desc.width : 1,
            m_desc.color ? s.*m_desc.color : GetSysColor(COLOR_WINDOWTEXT)};
}

std::optional<PlotPen> C3DView::MarkPen(const CModelCore& s) const
{
    const Plot3DDescription& d = m_desc;
    if (d.markFlag < 0 || d.markFlag >= 6 || !s.m_bMarkReturn[d.markFlag] || !d.markStyle ||
        !d.markWidth || !d.markColor)
        return std::nullopt;
    return PlotPen{s.*d.markStyle, s.*d.markWidth, s.*d.markColor};
}

bool C3DView::RunColumns(const CModelCore& s, const double* v[3]) const
{
    for (int i = 0; i < 3; ++i)
        if (!(v[i] = ColumnData(s.m_arrTable[m_desc.columns[i]], s.m_nTableRows)))
            return false;
    return true;
}

CPoint C3DView::RowPoint(const double* const v[3], int row) const
{
    return Project(v[0][row], v[1][row], v[2][row]);
}

namespace {
bool RowFinite(const double* const v[3], int row)
{
    return std::isfinite(v[0][row]) && std::isfinite(v[1][row]) && std::isfinite(v[2][row]);
}
} // namespace

void C3DView::DrawRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const TableRing& r = lock.Ring();
    const double* v[3];
    if (!RunColumns(s, v))
        return;
    const RingSpan ring{ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows), s.m_nTableRows, r.index,
                        r.count, r.wrapped};
    CRowPainter painter(pDC, m_rcPlot, RowLook::Lines, RunPen(s), MarkPen(s),
                        CycleMarks(s, ring, m_desc.phaseMarks));
    int last = -1;
    CPoint pLast;
    const double inf = std::numeric_limits<double>::infinity();
    WalkSegments(ring, -inf, inf, 0.0, [&](int a, int b, int age) {
        if (!RowFinite(v, a) || !RowFinite(v, b))
            return; // a diverged run: nothing to draw here
        CPoint p1 = a == last ? pLast : RowPoint(v, a);
        CPoint p2 = RowPoint(v, b);
        last = b;
        pLast = p2;
        if (ClipToPlotRect(p1, p2))
            painter.Segment(p1, p2, age);
    });
    painter.Finish();
}

void C3DView::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run lets the table go while its row is drawn
    const int prev = PreviousLiveRow(nRow, s.m_nTableRows, lock.Ring().wrapped);
    const double* v[3];
    if (prev < 0 || !RunColumns(s, v) || !RowFinite(v, prev) || !RowFinite(v, nRow))
        return;
    CPoint p1 = RowPoint(v, prev);
    CPoint p2 = RowPoint(v, nRow);
    if (!ClipToPlotRect(p1, p2))
        return;
    // The live row's sequence number counts the cycles from the run's first row.
    const bool cycleStart = CycleMarks(s, {}, false).Marked(s.m_nTableCount);
    const PlotPen p = (cycleStart ? MarkPen(s) : std::nullopt).value_or(RunPen(s));
    DrawLiveSegment(m_live, this, p, p1, p2);
    m_live.Show(this);
}

void C3DView::TakeSettings(const CModelCore& s)
{
    TakeCaption(s);
    TakeBox(s);
    TakeAngles(s);
}

bool C3DView::OnOwnHint(LPARAM lHint)
{
    if (lHint != HINT_VIEW_ANGLE)
        return false;
    RedrawWindow();
    return true;
}

void C3DView::TakeBox(const CModelCore& s)
{
    if (!m_desc.block)
        return;
    double* const lo[3] = {&m_dXLo, &m_dYLo, &m_dZLo};
    double* const hi[3] = {&m_dXHi, &m_dYHi, &m_dZHi};
    for (int i = 0; i < 3; ++i) {
        const AxisLimits a = ReadAxis(s, *m_desc.block, i);
        if (!RangeIsOpen(a.min, a.max))
            continue; // a box without a range would project nowhere
        *lo[i] = a.min;
        *hi[i] = a.max;
    }
}

void C3DView::TakeAngles(const CModelCore& s)
{
    if (m_desc.angleSlot >= 0) {
        SetPitchDegrees(s.m_nViewPitch[m_desc.angleSlot]);
        SetYawDegrees(s.m_nViewYaw[m_desc.angleSlot]);
    }
    if (m_desc.pan)
        m_ptPan = CPoint((s.*m_desc.pan).x, (s.*m_desc.pan).y);
}

void C3DView::DrawStoredRun(CDC* pDC)
{
    if (GetModel()->Core().m_bHaveData)
        DrawRun(pDC);
}

// --- angles and the View Angle dialog ------------------------------------------------------

void C3DView::SetPitch(int nDeg, BOOL bRedraw)
{
    SetAngle(true, nDeg, bRedraw);
}

void C3DView::SetYaw(int nDeg, BOOL bRedraw)
{
    SetAngle(false, nDeg, bRedraw);
}

// The angle is kept with the model (when the view has its slot there) and every view of the
// model redraws with the view-angle hint.
void C3DView::SetAngle(bool pitch, int nDeg, BOOL bRedraw)
{
    if (pitch)
        SetPitchDegrees(nDeg);
    else
        SetYawDegrees(nDeg);
    m_bFullRedraw = bRedraw ? 1 : 0;
    IModelDocument* m = GetModel();
    if (m && m_desc.angleSlot >= 0)
        (pitch ? m->Core().m_nViewPitch : m->Core().m_nViewYaw)[m_desc.angleSlot] = nDeg;
    if (CDocument* d = GetDocument())
        d->UpdateAllViews(nullptr, HINT_VIEW_ANGLE);
    else
        RedrawWindow();
}

void C3DView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate && m_pVADlg)
        m_pVADlg->LoadAngles();
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void C3DView::OnControlsSetYawPitch()
{
    CloseViewAngleDlg();
    m_pVADlg = new CVADlg(this);
}

void C3DView::OnUpdateControlsSetYawPitch(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!g_bViewAngleDlgOpen);
}

void C3DView::CloseViewAngleDlg()
{
    if (!m_pVADlg)
        return;
    CVADlg* pDlg = m_pVADlg;
    m_pVADlg = nullptr;
    pDlg->DestroyWindow();
    delete pDlg;
    g_bViewAngleDlgOpen = false;
}

LRESULT C3DView::OnViewAngleClosed(WPARAM, LPARAM)
{
    CloseViewAngleDlg();
    return 0;
}

// --- zoom, pan, limits ---------------------------------------------------------------------

void C3DView::OnControlsZoomNear()
{
    m_dZoom = std::min(m_dZoom * kZoomStep, kZoomLimit);
    RedrawWindow();
}

void C3DView::OnControlsZoomFar()
{
    m_dZoom = std::max(m_dZoom / kZoomStep, 1 / kZoomLimit);
    RedrawWindow();
}

void C3DView::Pan(int dx, int dy)
{
    const int step = std::max(1, m_nBoxSize / 10);
    m_ptPan.x = std::clamp(m_ptPan.x + dx * step, -kPanLimit, kPanLimit);
    m_ptPan.y = std::clamp(m_ptPan.y + dy * step, -kPanLimit, kPanLimit);
    StorePan();
    RedrawWindow();
}

// The window moves up, so the picture moves down.
void C3DView::OnControlsPanUp()
{
    Pan(0, 1);
}
void C3DView::OnControlsPanDown()
{
    Pan(0, -1);
}
void C3DView::OnControlsPanLeft()
{
    Pan(1, 0);
}
void C3DView::OnControlsPanRight()
{
    Pan(-1, 0);
}

void C3DView::StorePan()
{
    IModelDocument* m = GetModel();
    if (!m || !m_desc.pan)
        return;
    POINT& p = m->Core().*m_desc.pan;
    if (p.x != m_ptPan.x || p.y != m_ptPan.y) {
        p.x = m_ptPan.x;
        p.y = m_ptPan.y;
        m->MarkModified();
    }
}

void C3DView::OnControlsResetLimits()
{
    m_dZoom = 1.0;
    m_ptPan = CPoint();
    StorePan();
    IModelDocument* m = GetModel();
    if (m && m_desc.block)
        for (int i = 0; i < 3; ++i) {
            AxisLimits a = ReadAxis(m->Core(), *m_desc.block, i);
            a.min = a.absMin;
            a.max = a.absMax;
            if (RangeIsOpen(a.min, a.max))
                WriteAxis(m->Core(), *m_desc.block, i, a);
        }
    OnUpdate(nullptr, HINT_RESET, nullptr);
}

void C3DView::OnControlsSetLimits()
{
    IModelDocument* m = GetModel();
    if (!m || !m_desc.block)
        return;
    CModelCore& s = m->Core();
    C3DViewLimDlg dlg(this);
    std::array<AxisLimits, 3> before;
    for (int i = 0; i < 3; ++i)
        before[i] = ReadAxis(s, *m_desc.block, i);
    dlg.SetLimits(before);
    const char* const kinds[4] = {"Minimum ", "Maximum ", "Working Minimum ", "Working Maximum "};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k)
            dlg.m_strLabels[4 * i + k] = kinds[k] + std::string(m_desc.names[i]);
    double* const data[3][2] = {{&dlg.m_dDataXMin, &dlg.m_dDataXMax},
                                {&dlg.m_dDataYMin, &dlg.m_dDataYMax},
                                {&dlg.m_dDataZMin, &dlg.m_dDataZMax}};
    for (int i = 0; i < 3; ++i) {
        const VarInfo& var = VarOf(static_cast<VarSlot>(m_desc.columns[i]));
        *data[i][0] = var.min ? s.*var.min : -10;
        *data[i][1] = var.max ? s.*var.max : 10;
    }
    dlg.m_bHaveData[0] = s.m_bHaveData ? 1 : 0;
    dlg.m_bHaveData[1] = s.m_bHaveImport ? 1 : 0;
    if (dlg.DoModal() != IDOK)
        return;
    std::array<AxisLimits, 3> a = dlg.Limits();
    for (const std::string& text :
         HoldWorkingInside(a.data(), m_desc.names.data(), 3, before.data()))
        ShowMessageBox(text);
    for (int i = 0; i < 3; ++i)
        WriteAxis(s, *m_desc.block, i, a[i]);
    if (a != before)
        m->MarkModified();
    OnUpdate(nullptr, HINT_RESET, nullptr);
}

// --- dragging the picture ------------------------------------------------------------------

void C3DView::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_rcPlotHit.PtInRect(point)) {
        m_bDragging = 1;
        m_ptPress = m_ptDragLast = point;
        m_ptDragOffset = CPoint(m_ptOrigin.x - point.x, m_ptOrigin.y - point.y);
    }
    CView::OnLButtonDown(nFlags, point);
}

// While dragging only the box and the axes follow; the run is drawn when the button goes up.
void C3DView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragging && point != m_ptDragLast) {
        m_ptPan.x = std::clamp(m_ptPan.x + point.x - m_ptDragLast.x, -kPanLimit, kPanLimit);
        m_ptPan.y = std::clamp(m_ptPan.y + point.y - m_ptDragLast.y, -kPanLimit, kPanLimit);
        m_ptDragLast = point;
        m_bFullRedraw = 0;
        RedrawWindow();
        m_bFullRedraw = 1;
    }
    CView::OnMouseMove(nFlags, point);
}

void C3DView::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        m_bDragging = 0;
        if (point == m_ptPress && m_ptDragLast == m_ptPress) {
            CClientDC dc(this);
            DrawCrosshair(&dc, point.x, point.y);
        } else {
            StorePan();
            RedrawWindow();
        }
    }
    CView::OnLButtonUp(nFlags, point);
}
