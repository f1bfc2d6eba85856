#include "views/base/3DView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "model/core/SettingsTable.h"
#include "platform/Document.h"
#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "views/base/PlotShared.h"
#include "views/dialogs/LimitEdit.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/dialogs/VADlg.h"
#include "views/rows/ProjectedWalk.h"
#include "views/rows/RingWalk.h"
#include "views/rows/ViewAngleFlag.h"
#include "views/rows/ViewIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_IMPLEMENT_CLASS(C3DView, CPlotView)

namespace {
const char* const kCaptionTexts[7] = {"t =", "x =", "y =", "z =", "x' =", "y' =", "y' ="};
// Pan offsets stay well inside the pixel range, so adding them never overflows.
constexpr int kPanLimit = kViewPanLimit;
static_assert(kPanLimit <= kPixelLimit / 4);

// A pan moved by a step, summed wide so that no step can overflow it.
int PanBy(int pan, long long step)
{
    return static_cast<int>(std::clamp(pan + step, -static_cast<long long>(kPanLimit),
                                       static_cast<long long>(kPanLimit)));
}

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
    for (int item = 0; item < kRunItems; ++item)
        m_legend.Add(item, [this, item] {
            if (EditRunItem(item)) {
                InvalidateRect(&m_rcLegend, TRUE);
                GetModel()->MarkModified();
            }
        });
}

C3DView::C3DView(Plot3DDescription description) : C3DView()
{
    m_desc = std::move(description);
    m_rowMapping = m_desc.mapping;
    m_dXLo = m_desc.boxLo[0], m_dYLo = m_desc.boxLo[1], m_dZLo = m_desc.boxLo[2];
    m_dXHi = m_desc.boxHi[0], m_dYHi = m_desc.boxHi[1], m_dZHi = m_desc.boxHi[2];
    MapCommands();
}

C3DView::~C3DView()
{
    CloseViewAngleDlg(); // the dialog never outlives its view
}

// Only the commands of the view's kind: the others stay grey while it is active.
void C3DView::MapCommands()
{
    if (m_desc.commands & k3DZoom) {
        MapCommand(ID_CONTROLS_ZOOM_NEAR, &C3DView::OnControlsZoomNear);
        MapCommand(ID_CONTROLS_ZOOM_FAR, &C3DView::OnControlsZoomFar);
        MapUpdate(ID_CONTROLS_ZOOM_FAR, &C3DView::OnUpdateControlsZoomFar);
    }
    if (m_desc.commands & k3DPan) {
        MapCommand(ID_CONTROLS_PAN_UP, &C3DView::OnControlsPanUp);
        MapCommand(ID_CONTROLS_PAN_DOWN, &C3DView::OnControlsPanDown);
        MapCommand(ID_CONTROLS_PAN_LEFT, &C3DView::OnControlsPanLeft);
        MapCommand(ID_CONTROLS_PAN_RIGHT, &C3DView::OnControlsPanRight);
    }
    if (m_desc.commands & k3DReset)
        MapCommand(ID_CONTROLS_RESET_LIMITS, &C3DView::OnControlsResetLimits);
    if (m_desc.block && (LimitAxes() == 2 || LimitAxes() == 3))
        MapCommand(ID_CONTROLS_SET_LIMITS, &C3DView::OnControlsSetLimits);
}

int C3DView::LimitAxes() const
{
    return m_desc.block ? LimitMembers(*m_desc.block).axes : 0;
}

// --- the page ------------------------------------------------------------------------------

void C3DView::OnDraw(CDC* pDC)
{
    if (SkipThisDrawing(pDC))
        return;
    DrawPage(pDC);
    if (GetModel()) {
        DrawMargins(pDC);
        DrawLegend(pDC);
    }
    DrawScene(pDC, m_bFullRedraw != 0);
    ForgetPaintedCross(pDC);
    if (m_bFullRedraw)
        DrawCursorIfDue(pDC);
}

// A drawing paints over the cross where it reaches it, and the cursor's cross is drawn afresh
// there; a drawing elsewhere leaves the cross on the screen as it stands.
void C3DView::ForgetPaintedCross(CDC* pDC)
{
    CRect clip;
    pDC->GetClipBox(&clip);
    const CRect cross(m_ptCross.x - 8, m_ptCross.y - 8, m_ptCross.x + 9, m_ptCross.y + 9);
    const bool meets = clip.left < cross.right && cross.left < clip.right &&
                       clip.top < cross.bottom && cross.top < clip.bottom;
    if (pDC->IsPrinting() || meets)
        m_bCrossDrawn = 0;
}

bool C3DView::CursorPixel(const RowValues& v, CPoint& p) const
{
    double a[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        if (m_desc.columns[i] >= 0 && m_desc.columns[i] < kSlots)
            a[i] = v[m_desc.columns[i]];
    return RowPixel(v[kSlotT], a[0], a[1], a[2], p);
}

void C3DView::DrawPage(CDC* pDC)
{
    const CRect client = PlotPageClient(this, pDC);
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    // Measured in the plot's font: a printer's own font would lay the page out in its dots.
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    int widths[7];
    const int h = MeasureCaptions(pDC, kCaptionTexts, 7, widths);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    Layout(client, h, widths);

    const CRect& p = m_rcPlot;
    FramePlot(pDC, p);
    pDC->SelectObject(pOldPen);

    // A resize sets the box size afresh (and so undoes a zoom); a printout keeps the window's.
    const CSize size(p.Width(), p.Height());
    if (size != m_szHome && (!pDC->IsPrinting() || m_nBoxSizeHome == 0)) {
        m_szHome = size;
        m_nBoxSize = m_nBoxSizeHome = m_desc.zoom.HomeSize(p.Width(), p.Height());
        m_ptPanHome = m_ptPan;
    }
    m_ptOrigin = CalcOrigin();
}

void C3DView::DrawSceneFrame(CDC* pDC)
{
    if (m_desc.mapping == RowMapping::ForcingCylinder) {
        DrawFloorEllipse(pDC);
        DrawOrbitAxes(pDC, m_desc.names[0], m_desc.names[1]);
        return;
    }
    DrawBox(pDC);
    DrawAxes(pDC);
}

void C3DView::DrawScene(CDC* pDC, bool bFull)
{
    DrawSceneFrame(pDC);
    IModelDocument* m = GetModel();
    if (!bFull || !m)
        return;
    const CModelCore& s = m->Core();
    if (!s.m_bPlotManual || s.m_bPlotRequest)
        DrawStoredRun(pDC);
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

// The cylinder's axes in the plane of phase 0: strName2 upright at the radius of x = 0 over the
// height of the working range, strName1 across the radii of the working range, and the rectangle
// they span.
void C3DView::DrawOrbitAxes(CDC* pDC, const std::string& strName1, const std::string& strName2)
{
    const double a = m_cyl.m_dRadiusOffset, dx = m_cyl.m_dRadiusCentre;
    const double dz = m_cyl.m_dHeightCentre;
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

PlotPen C3DView::RunPen(const CModelCore& s, bool imported) const
{
    if (imported)
        return ImportPen(s, m_desc.importPen, true);
    return {m_desc.style ? s.*m_desc.style : PS_SOLID, m_desc.width ? s.*m_desc.width : 1,
            m_desc.color ? s.*m_desc.color : GetSysColor(COLOR_WINDOWTEXT)};
}

std::optional<PlotPen> C3DView::MarkPen(const CModelCore& s, bool imported) const
{
    return ReturnMarkPen(s, m_desc, imported, true);
}

MappedColumns C3DView::MapColumns(const std::array<std::vector<double>, kSlots>& table,
                                  int rows) const
{
    MappedColumns c;
    for (int i = 0; i < 3; ++i) {
        const int col = m_desc.columns[i];
        if (col >= 0 && col < kSlots && !(c.v[i] = ColumnData(table[col], rows)))
            return {}; // a column the view maps is missing: nothing maps
    }
    c.t = ColumnData(table[kSlotT], rows);
    return c;
}

void C3DView::DrawRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const TableRing& r = lock.Ring();
    DrawTable(pDC, s.m_arrTable, {nullptr, s.m_nTableRows, r.index, r.count, r.wrapped}, false);
}

// The imported rows in file order, never wrapped at the ring's length.
void C3DView::DrawImportedRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    if (m_desc.importPen >= 0)
        DrawTable(pDC, s.m_arrImport, {nullptr, s.m_nImportRows, 0, s.m_nImportRows, false}, true);
}

// Every row goes through the geometry's one mapping of a row to the screen.
void C3DView::DrawTable(CDC* pDC, const std::array<std::vector<double>, kSlots>& table,
                        RingSpan ring, bool imported)
{
    const CModelCore& s = GetModel()->Core();
    const MappedColumns c = MapColumns(table, ring.rows);
    if (!c.t || ring.rows <= 0)
        return;
    ring.t = c.t;
    CRowPainter painter(pDC, m_rcPlot, m_desc.points ? RowLook::Points : RowLook::Lines,
                        RunPen(s, imported), MarkPen(s, imported),
                        CycleMarks(s, ring, m_desc.phaseMarks));
    CProjectedWalk<CRowPainter>(*this, painter)
        .Walk(c, ring, {m_desc.points, m_desc.sections, SectionRuleOf(s)});
}

void C3DView::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run lets the table go while its row is drawn
    const int rows = s.m_nTableRows;
    const MappedColumns c = MapColumns(s.m_arrTable, rows);
    if (m_desc.points) {
        DrawNewPoint(s, c, nRow);
        return;
    }
    const int prev = PreviousLiveRow(nRow, rows, lock.Ring().wrapped);
    CPoint p1, p2;
    if (prev < 0 || !c.t || !c.Pixel(*this, prev, p1) || !c.Pixel(*this, nRow, p2) ||
        !ClipToPlotRect(p1, p2))
        return;
    // The live row's sequence number counts the cycles from the run's first row.
    const bool cycleStart = SectionRuleOf(s).StartsCycle(s.m_nTableCount);
    const PlotPen p = (cycleStart ? MarkPen(s) : std::nullopt).value_or(RunPen(s));
    DrawLiveSegment(m_live, this, p, p1, p2);
    m_live.Show(this);
}

// A section's live row is one whose sequence number is a whole number of cycles.
void C3DView::DrawNewPoint(const CModelCore& s, const MappedColumns& c, int nRow)
{
    CPoint p;
    if (m_desc.sections && !SectionRuleOf(s).StartsCycle(s.m_nTableCount))
        return;
    if (nRow < 0 || nRow >= s.m_nTableRows || !c.t || !c.Pixel(*this, nRow, p) ||
        !m_rcPlotHit.PtInRect(p))
        return;
    m_live.DC(this).SetPixel(p.x, p.y, RunPen(s).color);
    m_live.Touch(CRect(p.x, p.y, p.x + 1, p.y + 1));
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
    if (lHint == HINT_PLOT_STYLE && m_desc.legend) {
        InvalidateRect(&m_rcLegend, TRUE);
        return true;
    }
    if (lHint != HINT_VIEW_ANGLE)
        return false;
    RedrawWindow();
    return true;
}

// --- the legend ----------------------------------------------------------------------------

SwatchRows C3DView::LegendRows(const CModelCore& s) const
{
    if (!m_desc.legend)
        return {};
    SwatchRows rows;
    for (const bool imported : {false, true}) {
        if (imported && (!s.m_bHaveImport || m_desc.importPen < 0))
            break;
        std::vector<LegendSwatch> row{
            {m_desc.legend, RunPen(s, imported).color, imported ? kImportItem : kRunItem}};
        if (const std::optional<PlotPen> mark = MarkPen(s, imported))
            row.push_back({" r ", mark->color, imported ? kImportMarkItem : kMarkItem});
        rows.push_back(std::move(row));
    }
    return rows;
}

void C3DView::DrawLegend(CDC* pDC)
{
    for (int item = kRunItem; item < kRunItems; ++item)
        m_legend.Hide(item); // a view's own items keep the boxes its margins gave them
    const SwatchRows rows = LegendRows(GetModel()->Core());
    if (rows.empty())
        return;
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    const CRect& p = m_rcPlot;
    const int h = m_nTextHeight;
    const int right = DrawLegendRows(pDC, p.left, p.top - 1, h, rows, m_legend);
    // Wide enough for the swatches that a changed style may add.
    m_rcLegend = CRect(p.left, p.top - 1 - 2 * h, std::max(right, p.right), p.top);
    pDC->SetBkMode(TRANSPARENT);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

namespace {
// The members of one pen: null where the description names none.
struct PenMembers
{
    int* style = nullptr;
    int* width = nullptr;
    COLORREF* color = nullptr;
};

template <class T> T* Member(CModelSettings& s, T CModelSettings::*m)
{
    return m ? &(s.*m) : nullptr;
}
} // namespace

// Items 0 and 2 share the run's marks flag, 1 and 3 the imported rows' one.
bool C3DView::EditRunItem(int item)
{
    IModelDocument* m = GetModel();
    if (!m || item < 0 || item >= kRunItems)
        return false;
    CModelSettings& s = m->Core();
    const Plot3DDescription& d = m_desc;
    const bool imported = item == kImportItem || item == kImportMarkItem;
    const bool marks = item == kMarkItem || item == kImportMarkItem;
    const int pen = marks ? d.importMarkPen : d.importPen;
    PenMembers p;
    if (imported && pen >= 0 && pen < 7) {
        const int j = pen < 4 ? pen : pen - 1; // the import styles skip the points' entry
        p = {pen == 4 ? nullptr : &s.m_nStyleImportView[j],
             pen == 4 ? nullptr : &s.m_nWidthImportView[j], &s.m_clrImportView[pen]};
    } else if (!imported) {
        p = marks
                ? PenMembers{Member(s, d.markStyle), Member(s, d.markWidth), Member(s, d.markColor)}
                : PenMembers{Member(s, d.style), Member(s, d.width), Member(s, d.color)};
    }
    if (p.color && d.points) { // points have a colour only
        const std::optional<COLORREF> picked = CPlotStyleDlg::s_pickColor(*p.color, GetWidget());
        if (picked)
            *p.color = *picked;
        return picked.has_value();
    }
    if (!p.style || !p.width || !p.color)
        return false;
    const int flag = d.markFlag + (imported ? 1 : 0);
    if (d.markFlag < 0 || flag >= 6)
        return EditPen(this, *p.style, *p.width, *p.color);
    return EditPen(this, *p.style, *p.width, *p.color, s.m_bMarkReturn[flag]);
}

// The block gives the box's axes, or the cylinder's working ranges inside the fixed box.
void C3DView::TakeBox(const CModelCore& s)
{
    if (!m_desc.block)
        return;
    if (m_desc.mapping == RowMapping::ForcingCylinder) {
        const PlotLimits g = ReadLimits(s, *m_desc.block);
        m_dAngFreq = s.m_dAngFreq;
        SetCylinderLimits(g.x.min, g.x.max, g.y.min, g.y.max);
        return;
    }
    double* const lo[3] = {&m_dXLo, &m_dYLo, &m_dZLo};
    double* const hi[3] = {&m_dXHi, &m_dYHi, &m_dZHi};
    for (int i = 0; i < std::min(3, LimitAxes()); ++i) {
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
        m_ptPan = CPoint(PanBy((s.*m_desc.pan).x, 0), PanBy((s.*m_desc.pan).y, 0));
}

void C3DView::DrawStoredRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    if (RunRowsDue(s))
        DrawRun(pDC);
    if (s.m_bHaveImport)
        DrawImportedRun(pDC);
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
    if (m && m_desc.angleSlot >= 0) {
        int& stored = (pitch ? m->Core().m_nViewPitch : m->Core().m_nViewYaw)[m_desc.angleSlot];
        if (stored != nDeg) {
            stored = nDeg;
            m->MarkModified(); // the angles are saved with the model
        }
    }
    if (CDocument* d = GetDocument())
        d->UpdateAllViews(nullptr, HINT_VIEW_ANGLE);
    else
        RedrawWindow();
}

void C3DView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CVADlg* pDlg = CVADlg::Current();
    if (bActivate && m_desc.reloadAngles && pDlg)
        pDlg->LoadAngles();
    CPlotView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void C3DView::OnControlsSetYawPitch()
{
    CloseViewAngleDlg();
    m_pVADlg = new CVADlg(this, this);
}

void C3DView::ViewAngleDialogClosed()
{
    PostMessage(WM_VIEW_ANGLE_CLOSED);
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

// Zoom scales the box size only: the document's limits stay, and the size is not kept with the
// model (the next resize sets it afresh).
void C3DView::OnControlsZoomNear()
{
    m_nBoxSize = m_desc.zoom.Nearer(m_nBoxSize);
    RedrawWindow();
}

void C3DView::OnControlsZoomFar()
{
    if (!m_desc.zoom.FartherOffered(m_nBoxSize))
        return; // a key may come in before the button greys
    m_nBoxSize = m_desc.zoom.Farther(m_nBoxSize);
    RedrawWindow();
}

void C3DView::OnUpdateControlsZoomFar(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_desc.zoom.FartherOffered(m_nBoxSize));
}

void C3DView::Pan(int dx, int dy)
{
    const int step = std::max(1, m_nBoxSize / 10);
    m_ptPan.x = PanBy(m_ptPan.x, static_cast<long long>(dx) * step);
    m_ptPan.y = PanBy(m_ptPan.y, static_cast<long long>(dy) * step);
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

// The picture of the last resize: its box size and its pan. The pan is kept with the model so
// that the next update does not move the picture back.
void C3DView::OnControlsResetLimits()
{
    m_nBoxSize = m_nBoxSizeHome;
    m_ptPan = m_ptPanHome;
    StorePan();
    RedrawWindow();
}

// The block's limits in the plane's dialog (two axes) or the box's (three), with the block's
// captions; after OK the working limits are held inside the absolute ones, and only this view
// takes them at once.
void C3DView::OnControlsSetLimits()
{
    IModelDocument* m = GetModel();
    const int n = LimitAxes();
    if (!m || n < 2 || n > 3)
        return;
    CModelCore& s = m->Core();
    AxisLimits a[3];
    for (int i = 0; i < n; ++i)
        a[i] = ReadAxis(s, *m_desc.block, i);
    if (!EditViewLimits(this, s, {m_desc.key, m_desc.names, m_desc.columns}, a, n))
        return;
    for (int i = 0; i < n; ++i)
        WriteAxis(s, *m_desc.block, i, a[i]);
    m->MarkModified();
    OnUpdate(nullptr, HINT_RESET, nullptr);
}

// --- dragging the picture ------------------------------------------------------------------

void C3DView::OnPress(UINT nFlags, CPoint point)
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
        m_ptPan.x = PanBy(m_ptPan.x, static_cast<long long>(point.x) - m_ptDragLast.x);
        m_ptPan.y = PanBy(m_ptPan.y, static_cast<long long>(point.y) - m_ptDragLast.y);
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
        if (m_ptDragLast != m_ptPress) { // a click alone leaves the picture as it is
            StorePan();
            RedrawWindow();
        }
    }
    CView::OnLButtonUp(nFlags, point);
}
