#include "views/graph/GraphView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/Document.h"
#include "platform/Frame.h"
#include "platform/Help.h"
#include "platform/WinApp.h"
#include "platform/base/MessageHook.h"
#include "views/base/PlotStyleDlg.h"
#include "views/base/PlotText.h"
#include "views/graph/GraphDialogNames.h"
#include "views/graph/GraphWalk.h"

#include <QWidget>
#include <algorithm>
#include <climits>
#include <memory>

VX_IMPLEMENT_ABSTRACT(CGraphView, C2DView)
VX_IMPLEMENT_CLASS(CSys1Graph, CGraphView)
VX_IMPLEMENT_CLASS(CSys1NNGraph, CGraphView)
VX_IMPLEMENT_CLASS(CSys2Graph, CGraphView)
VX_IMPLEMENT_CLASS(CSys3Graph, CGraphView)

namespace {
constexpr int kImportItem = kSlots; // legend item of variable k's imported curve: 8 + k
const CRect kNoItem(-1, -1, -1, -1);
const CRect kEmptyBox(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
// How often a run drawn live brings the screen up to date: about sixty times a second.
constexpr std::chrono::milliseconds kLiveFrame(16);
constexpr DWORD kGraphHelpContext = HID_BASE_COMMAND + 32776; // the View/Graph vs Time command

// A column's data when it holds at least the rows a reader walks, else null.
const double* Column(const std::vector<double>& c, int rows = 1)
{
    return rows >= 0 && c.size() >= static_cast<std::size_t>(rows) && !c.empty() ? c.data()
                                                                                 : nullptr;
}

std::string JoinedEquations(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& t : texts)
        joined += (joined.empty() ? "" : " ") + t;
    return joined;
}

// Joins clipped segments of one curve into polylines: a segment that starts where the last one
// ended extends it, so a long run costs one draw call per unbroken stretch.
class PolylineBatch
{
public:
    void Add(CPoint a, CPoint b)
    {
        if (a == b)
            return; // a zero-length segment draws nothing
        if (m_pts.empty() || m_pts.back() != a) {
            Flush();
            m_pts.push_back(a);
        }
        m_pts.push_back(b);
    }
    void Flush()
    {
        if (m_pts.size() >= 2)
            m_pDC->Polyline(m_pts.data(), static_cast<int>(m_pts.size()));
        m_pts.clear();
    }
    CDC* m_pDC = nullptr;

private:
    std::vector<CPoint> m_pts;
};
} // namespace

CGraphView::CGraphView(GraphKind kind) : m_kind(kind)
{
    MapCommand(ID_CONTROLS_ZOOM_NEAR, &CGraphView::OnControlsZoomNear);
    MapCommand(ID_CONTROLS_ZOOM_FAR, &CGraphView::OnControlsZoomFar);
    MapCommand(ID_CONTROLS_PAN_UP, &CGraphView::OnControlsPanUp);
    MapCommand(ID_CONTROLS_PAN_DOWN, &CGraphView::OnControlsPanDown);
    MapCommand(ID_CONTROLS_PAN_LEFT, &CGraphView::OnControlsPanLeft);
    MapCommand(ID_CONTROLS_PAN_RIGHT, &CGraphView::OnControlsPanRight);
    MapCommand(ID_CONTROLS_RESET_LIMITS, &CGraphView::OnControlsResetLimits);
    MapCommand(ID_CONTROLS_SET_LIMITS, &CGraphView::OnControlsSetLimits);
    MapCommand(ID_CONTROLS_SELECT_VARIABLES, &CGraphView::OnControlsSelectVariables);
    MapUpdate(ID_CONTROLS_ZOOM_FAR, &CGraphView::UpdateZoomFar);
    MapUpdate(ID_CONTROLS_PAN_UP, &CGraphView::UpdatePanUp);
    MapUpdate(ID_CONTROLS_PAN_DOWN, &CGraphView::UpdatePanDown);
    MapUpdate(ID_CONTROLS_PAN_LEFT, &CGraphView::UpdatePanLeft);
    MapUpdate(ID_CONTROLS_PAN_RIGHT, &CGraphView::UpdatePanRight);
    MapMessage(WM_HELPHITTEST, &CGraphView::OnHelpHitTest);
    MapMessage(WM_COMMANDHELP, &CGraphView::OnCommandHelp);
}

CGraphView::~CGraphView()
{
    if (m_pCounted)
        --m_pCounted->Core().m_nOpenViews[0];
}

void CGraphView::OnInitialUpdate()
{
    C2DView::OnInitialUpdate();
    if ((m_pCounted = GetModel()) != nullptr)
        ++m_pCounted->Core().m_nOpenViews[0];
}

// The kinds' toolbars follow the kinds' order: 132 Newtonian ... 135 three-variable.
void CGraphView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    C2DView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    if (bActivate)
        AfxLoadMainToolBar(IDR_SYS1TYPE + static_cast<UINT>(m_kind));
}

// Context help is the topic of View/Graph vs Time.
LRESULT CGraphView::OnHelpHitTest(WPARAM, LPARAM)
{
    return kGraphHelpContext;
}

LRESULT CGraphView::OnCommandHelp(WPARAM, LPARAM)
{
    vx::help::Show(kGraphHelpContext, HELP_CONTEXT);
    return TRUE;
}

void CGraphView::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    IModelDocument* m = GetModel();
    if (!m)
        return;
    if (const auto* row = dynamic_cast<const CRowHint*>(pHint)) {
        DrawNewSample(row->m_nRow);
        m_bLiveDrawn = TRUE;
        return;
    }
    EndLiveDrawing();
    CModelCore& s = m->Core();
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetWindowText(s.m_strFileName + " Graph vs Time");
    m_dXMin = s.m_dGraphTMin;
    m_dXMax = s.m_dGraphTMax;
    m_dYMin = s.m_dGraphVMin;
    m_dYMax = s.m_dGraphVMax;
    m_nDigitsY = DigitsForRange(m_dYMax - m_dYMin);
    m_nDigitsX = DigitsForRange(m_dXMax - m_dXMin);
    UpdateScales();

    switch (lHint) {
    case HINT_PLOT_STYLE:
        InvalidateRect(&m_rcLegend, TRUE);
        break;
    case HINT_RESET:
    case HINT_GRAPH_CURVES:
    case HINT_GRAPH_LIMITS:
        RedrawWindow();
        break;
    case HINT_MODEL:
    case HINT_CALC_DONE:
        if (s.m_bPlotOverlay) {
            if (!m_bLiveDrawn) {
                CClientDC dc(this);
                if (s.m_bHaveData)
                    DrawCurves(&dc);
                if (s.m_bHaveImport)
                    DrawImportedCurves(&dc);
            }
            InvalidateMargins();
        } else if (m_bLiveDrawn) {
            InvalidateMargins();
            m_bLiveDrawn = FALSE;
        } else {
            RedrawWindow();
        }
        break;
    default:
        break;
    }
}

void CGraphView::InvalidateMargins()
{
    InvalidateRect(&m_rcMarginLeftArea, TRUE);
    InvalidateRect(&m_rcMarginTopArea, TRUE);
    InvalidateRect(&m_rcMarginRightArea, TRUE);
    InvalidateRect(&m_rcMarginBottomArea, TRUE);
}

void CGraphView::OnDraw(CDC* pDC)
{
    if (ConsumeSkipNextDraw())
        return;
    C2DView::OnDraw(pDC);
    IModelDocument* m = GetModel();
    if (!m)
        return;
    const CModelCore& s = m->Core();

    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    DrawMarginTexts(pDC);
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(m_rcPlot.right + 3, m_rcPlot.bottom, "t");

    DrawLegend(pDC);
    DrawTopTexts(pDC);

    // Gaps of dashed and dotted pens stay transparent.
    pDC->SetBkMode(TRANSPARENT);
    const bool plotNow = !s.m_bRunning && (!s.m_bPlotManual || s.m_bPlotRequest);
    if (s.m_bHaveData && plotNow)
        DrawCurves(pDC);
    if (s.m_bHaveImport && plotNow)
        DrawImportedCurves(pDC);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CGraphView::DrawLegend(CDC* pDC)
{
    pDC->SetBkMode(OPAQUE);
    const int y0 = m_rcPlot.top - 1;
    const int end = DrawLegendRow(pDC, y0, false);
    m_rcLegend = CRect(0, y0 - 2 * m_nTextHeight, end, m_rcPlot.top);
    if (GetModel()->Core().m_bHaveImport) {
        DrawLegendRow(pDC, y0 - m_nTextHeight, true);
    } else {
        for (int k = 0; k < kSlots; ++k)
            m_rcLegendItem[kImportItem + k] = kNoItem;
    }
}

// The equations and their parameters over the plot, and the imported file's name.
void CGraphView::DrawTopTexts(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    const int mid = (m_rcPlot.left + m_rcPlot.right) / 2;
    std::vector<std::string> equations;
    for (const std::string* eq : s.Equations())
        equations.push_back(*eq);
    int line = 0;
    for (std::size_t i = 0; i < equations.size(); ++i, ++line)
        pDC->TextOut(mid, line * m_nTextHeight, Info().equationPrefixes[i] + equations[i]);
    pDC->TextOut(mid, line * m_nTextHeight, s.FormatUsedParameters(JoinedEquations(equations)));

    if (s.m_bHaveImport) {
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        pDC->SetBkMode(OPAQUE);
        pDC->SetBkColor(s.m_clrImport[0]);
        pDC->SetTextColor(s.m_clrImport[0] ^ 0xFFFFFF);
        pDC->TextOut(0, m_rcPlot.bottom + m_nMarginBottom, s.m_strImportFile);
    }
}

void CGraphView::DrawMarginTexts(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const int h = m_nTextHeight;
    const int plotHeight = m_rcPlot.bottom - m_rcPlot.top;
    pDC->SetTextAlign(TA_CENTER | TA_TOP);

    const std::vector<double> init = InitialValues(m_kind, s);
    const int yInit = plotHeight * 3 / 4 + m_nMarginTop;
    for (std::size_t i = 0; i < init.size(); ++i) {
        const int digits = i == 0 ? m_nDigitsX : m_nDigitsY;
        pDC->TextOut(static_cast<int>(i) * h, yInit,
                     Info().initialLabels[i] + FormatNumber(init[i], digits));
    }

    const int yTime = plotHeight / 4 + m_nMarginTop;
    m_dDt = s.RunStep();
    m_nDigitsDt = DigitsForStep(m_dDt);
    pDC->TextOut(0, yTime, "Chro/Cyc = " + FormatNumber(s.m_nChrononsPerCycle, 0));
    pDC->TextOut(h, yTime, "dt =" + FormatNumber(m_dDt, m_nDigitsDt));
}

int CGraphView::DrawLegendRow(CDC* pDC, int yBottom, bool imported)
{
    const CModelCore& s = GetModel()->Core();
    const int h = m_nTextHeight;
    int x = 0;
    for (VarSlot slot : Info().curves) {
        CRect& item = m_rcLegendItem[(imported ? kImportItem : 0) + slot];
        if (!(s.*VarOf(slot).plot)) {
            item = kNoItem;
            continue;
        }
        const char* label = SlotLegendLabel(slot);
        const int w = MeasureText(pDC, label).cx;
        const COLORREF c = CurvePen(slot, imported).color;
        pDC->SetBkColor(c);
        pDC->SetTextColor(c ^ 0xFFFFFF);
        pDC->TextOut(x, yBottom, label);
        item = CRect(x, yBottom - h, x + w, yBottom);
        x += w + 2;
    }
    return x;
}

CGraphView::Pen CGraphView::CurvePen(VarSlot slot, bool imported) const
{
    const CModelCore& s = GetModel()->Core();
    const VarInfo& m = VarOf(slot);
    if (imported)
        return {s.m_nStyleImport[m.importPen], s.m_nWidthImport[m.importPen],
                s.m_clrImport[m.importPen]};
    return {s.*m.style, s.*m.width, s.*m.color};
}

std::vector<VarSlot> CGraphView::ShownCurves() const
{
    const CModelCore& s = GetModel()->Core();
    std::vector<VarSlot> shown;
    for (VarSlot slot : Info().curves)
        if (s.*VarOf(slot).plot)
            shown.push_back(slot);
    return shown;
}

void CGraphView::DrawTable(CDC* pDC, const TableColumns& columns, const RingSpan& ring,
                           bool imported)
{
    const CModelCore& s = GetModel()->Core();
    struct Curve
    {
        const double* v;
        std::unique_ptr<CPen> pen;
        PolylineBatch batch;
    };
    std::vector<Curve> curves;
    for (VarSlot slot : ShownCurves()) {
        if (const double* v = Column(columns[slot], ring.rows)) {
            const Pen p = CurvePen(slot, imported);
            curves.push_back({v, std::make_unique<CPen>(p.style, p.width, p.color), {}});
            curves.back().batch.m_pDC = pDC;
        }
    }
    if (curves.empty())
        return;

    const double* t = ring.t;
    // Clipped segments of each curve are gathered; each curve is drawn with its own pen.
    WalkSegments(ring, s.m_dGraphTMin, s.m_dGraphTMax, s.RunStep(), [&](int a, int b) {
        for (Curve& c : curves) {
            if (!Finite(t[a], t[b], c.v[a], c.v[b]))
                continue; // a diverged run: nothing to draw here
            CPoint p1(WorldToPixelX(t[a]), WorldToPixelY(c.v[a]));
            CPoint p2(WorldToPixelX(t[b]), WorldToPixelY(c.v[b]));
            if (ClipToPlotRect(p1, p2))
                c.batch.Add(p1, p2);
        }
    });
    CPen* pOldPen = nullptr;
    for (Curve& c : curves) {
        CPen* prev = pDC->SelectObject(c.pen.get());
        if (!pOldPen)
            pOldPen = prev;
        c.batch.Flush();
    }
    pDC->SelectObject(pOldPen);
}

void CGraphView::DrawCurves(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const TableRing& r = lock.Ring();
    const RingSpan ring{Column(s.m_arrTable[kSlotT], s.m_nTableRows), s.m_nTableRows, r.index,
                        r.count, r.wrapped};
    DrawTable(pDC, s.m_arrTable, ring, false);
}

void CGraphView::DrawImportedCurves(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const int n = s.m_nImportRows;
    DrawTable(pDC, s.m_arrImport, RingSpan{Column(s.m_arrImport[kSlotT], n), n, 0, n, false}, true);
}

void CGraphView::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const double* t = Column(s.m_arrTable[kSlotT], s.m_nTableRows);
    const int prev = PreviousLiveRow(nRow, s.m_nTableRows, s.m_bTableWrapped != 0);
    if (prev < 0 || t == nullptr)
        return;
    m_nPrevRow = prev;
    if (t[prev] < s.m_dGraphTMin || t[nRow] > s.m_dGraphTMax)
        return;

    if (!m_pLiveDC)
        m_pLiveDC = std::make_unique<CClientDC>(this);
    CDC& dc = *m_pLiveDC;
    CRect& box = m_rcLiveBox;
    for (VarSlot slot : ShownCurves()) {
        const double* v = Column(s.m_arrTable[slot], s.m_nTableRows);
        if (!v || !Finite(t[prev], t[nRow], v[prev], v[nRow]))
            continue;
        CPoint p1(WorldToPixelX(t[prev]), WorldToPixelY(v[prev]));
        CPoint p2(WorldToPixelX(t[nRow]), WorldToPixelY(v[nRow]));
        if (!ClipToPlotRect(p1, p2))
            continue;
        const Pen p = CurvePen(slot, false);
        CPen pen(p.style, p.width, p.color);
        CPen* pOldPen = dc.SelectObject(&pen);
        dc.MoveTo(p1);
        dc.LineTo(p2);
        dc.SelectObject(pOldPen);
        box.left = std::min({box.left, p1.x - p.width, p2.x - p.width});
        box.top = std::min({box.top, p1.y - p.width, p2.y - p.width});
        box.right = std::max({box.right, p1.x + p.width + 1, p2.x + p.width + 1});
        box.bottom = std::max({box.bottom, p1.y + p.width + 1, p2.y + p.width + 1});
    }
    m_nPrevRow = nRow;
    const auto now = std::chrono::steady_clock::now();
    if (box.left < box.right && now - m_tLiveShown >= kLiveFrame) {
        if (QWidget* w = GetWidget())
            w->update(box.left, box.top, box.Width(), box.Height());
        box = kEmptyBox;
        m_tLiveShown = now;
    }
}

void CGraphView::EndLiveDrawing()
{
    m_pLiveDC.reset(); // the window shows all that was drawn
    m_rcLiveBox = kEmptyBox;
}

void CGraphView::OnSize(UINT nType, int cx, int cy)
{
    EndLiveDrawing(); // the window's picture may take the new size
    C2DView::OnSize(nType, cx, cy);
}

void CGraphView::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_rcPlotHit.PtInRect(point)) {
        m_ptBandAnchor = m_ptBandCorner = point;
        m_bBanding = TRUE;
    } else {
        const std::vector<VarSlot>& curves = Info().curves;
        const int n = static_cast<int>(curves.size());
        for (int i = 0; i < 2 * n; ++i) {
            const int item = (i < n ? 0 : kImportItem) + curves[i % n];
            if (m_rcLegendItem[item].PtInRect(point)) {
                EditCurveStyle(i);
                break;
            }
        }
    }
    C2DView::OnLButtonDown(nFlags, point);
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

    CPlotStyleDlg dlg(GetWidget());
    dlg.m_clrColor = color;
    dlg.m_nMode = 0;
    if (style >= 0 && style <= 2)
        dlg.m_nLineType = style;
    dlg.m_nWidth = width;
    if (dlg.DoModal() != msgbox::IDOK)
        return;
    if (dlg.m_nLineType >= 0 && dlg.m_nLineType <= 2)
        style = dlg.m_nLineType;
    width = dlg.m_nWidth;
    if (dlg.m_bColorChanged)
        color = dlg.m_clrNew;
    InvalidateRect(&m_rcLegend, TRUE);
    GetModel()->MarkModified();
}

void CGraphView::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bBanding) {
        m_bBanding = FALSE;
        const CPoint a = m_ptBandAnchor, c = m_ptBandCorner;
        if (a == c) {
            PostTableRow(point);
            CClientDC dc(this);
            DrawCrosshair(&dc, point.x, point.y);
        } else if (a.x != c.x && a.y != c.y) {
            CModelCore& s = GetModel()->Core();
            const double t1 = PixelToWorldX(a.x), t2 = PixelToWorldX(c.x);
            const double v1 = PixelToWorldY(a.y), v2 = PixelToWorldY(c.y);
            s.m_dGraphTMin = std::min(t1, t2);
            s.m_dGraphTMax = std::max(t1, t2);
            s.m_dGraphVMin = std::min(v1, v2);
            s.m_dGraphVMax = std::max(v1, v2);
            OnUpdate(nullptr, HINT_RESET, nullptr);
            GetModel()->MarkModified();
        }
    }
    C2DView::OnLButtonUp(nFlags, point);
}

void CGraphView::PostTableRow(CPoint point)
{
    IModelDocument* m = GetModel();
    const CModelCore& s = m->Core();
    const double t = PixelToWorldX(point.x);
    int row = -1;
    const double* times = Column(s.m_arrTable[kSlotT], s.m_nTableRows);
    if (s.m_nTableSource == 0 && s.m_bHaveData && times && s.m_nTableIndex < s.m_nTableRows) {
        const CTableReadLock lock(s); // a run may be writing the row
        const double t0 = times[s.m_nTableIndex];
        row = ClickedGeneratedRow(t, t0, s.m_nTableInterval, s.RunStep());
    } else if (s.m_nTableSource == 1) {
        row =
            ClickedImportedRow(t, Column(s.m_arrImport[kSlotT], s.m_nImportRows), s.m_nImportRows);
    }
    if (row >= 0 && m->TableViewWindow())
        ::PostMessage(m->TableViewWindow(), WM_TABLE_GOTO_ROW, static_cast<WPARAM>(row), 0);
}

GraphLimits CGraphView::Limits() const
{
    const CModelCore& s = GetModel()->Core();
    return {s.m_dGraphTMin,    s.m_dGraphTMax,    s.m_dGraphVMin,   s.m_dGraphVMax,
            s.m_dGraphVAbsMin, s.m_dGraphVAbsMax, s.m_dRunTimeLimit};
}

void CGraphView::SetLimits(const GraphLimits& g)
{
    CModelCore& s = GetModel()->Core();
    s.m_dGraphTMin = g.tMin;
    s.m_dGraphTMax = g.tMax;
    s.m_dGraphVMin = g.vMin;
    s.m_dGraphVMax = g.vMax;
    s.m_dGraphVAbsMin = g.vAbsMin;
    s.m_dGraphVAbsMax = g.vAbsMax;
}

void CGraphView::ChangeLimits(void (*rule)(GraphLimits&), bool bModified)
{
    GraphLimits g = Limits();
    rule(g);
    SetLimits(g);
    OnUpdate(nullptr, HINT_RESET, nullptr);
    if (bModified)
        GetModel()->MarkModified();
}

void CGraphView::OnControlsZoomNear()
{
    ChangeLimits(ZoomNear, true);
}
void CGraphView::OnControlsZoomFar()
{
    ChangeLimits(ZoomFar, true);
}
void CGraphView::OnControlsPanUp()
{
    ChangeLimits(PanUp, false);
}
void CGraphView::OnControlsPanDown()
{
    ChangeLimits(PanDown, false);
}
void CGraphView::OnControlsPanLeft()
{
    ChangeLimits(PanLeft, false);
}
void CGraphView::OnControlsPanRight()
{
    ChangeLimits(PanRight, false);
}
void CGraphView::OnControlsResetLimits()
{
    ChangeLimits(ResetLimits, true);
}

void CGraphView::UpdateZoomFar(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanZoomFar(Limits()));
}
void CGraphView::UpdatePanUp(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPanUp(Limits()));
}
void CGraphView::UpdatePanDown(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPanDown(Limits()));
}
void CGraphView::UpdatePanLeft(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPanLeft(Limits()));
}
void CGraphView::UpdatePanRight(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPanRight(Limits()));
}

void CGraphView::OnControlsSetLimits()
{
    IModelDocument* m = GetModel();
    CModelCore& s = m->Core();
    CGraphLimDlg dlg(m_kind, GetWidget());
    dlg.SetFields(LimitFieldsFor(Limits(), s.RunStep()));
    dlg.m_bHaveData = s.m_bHaveData || s.m_bHaveImport;
    for (VarSlot k : VarsOf(m_kind).Columns().subspan(1)) {
        const VarInfo& mem = VarOf(k);
        dlg.m_extents[k] = {s.*mem.min, s.*mem.max, s.*mem.plot != 0};
    }
    if (dlg.DoModal() != msgbox::IDOK)
        return;
    GraphLimits g = Limits();
    const auto messages = ApplyLimitFields(g, dlg.Fields(), s.RunStep());
    SetLimits(g);
    for (const std::string& text : messages)
        ShowMessageBox(text);
    m->MarkModified();
    OnUpdate(nullptr, HINT_RESET, nullptr);
}

void CGraphView::OnControlsSelectVariables()
{
    CModelCore& s = GetModel()->Core();
    CGraphVarDlg dlg(m_kind, GetWidget());
    for (VarSlot slot : Info().curves)
        dlg.m_bPlot[slot] = s.*VarOf(slot).plot != 0;
    if (dlg.DoModal() != msgbox::IDOK)
        return;
    for (VarSlot slot : Info().curves)
        s.*VarOf(slot).plot = dlg.m_bPlot[slot] ? 1 : 0;
    OnUpdate(nullptr, HINT_RESET, nullptr);
}

void CGraphView::OnDestroy()
{
    EndLiveDrawing();
    C2DView::OnDestroy();
}
