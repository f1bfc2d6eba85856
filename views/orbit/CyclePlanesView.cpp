#include "views/orbit/CyclePlanesView.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/FrameWnd.h"
#include "views/orbit/OrbitPens.h"
#include "views/orbit/OrbitRules.h"

#include <limits>

VX_IMPLEMENT_CLASS(CSys1CP, C3DView)

namespace {
// Time 0 to 25, p and v -0.4 to 0.4; the document's limits are not used. The turning points
// take the Projected Orbit's second pen while its "Mark Return Chronon" is on.
Plot3DDescription CyclePlanesPlot()
{
    Plot3DDescription d;
    d.columns = {kSlotT, kSlotX, kSlotXp};
    d.boxLo = {0.0, -0.4, -0.4};
    d.boxHi = {25.0, 0.4, 0.4};
    UseProjectedOrbitPens(d);
    d.legend = " s ";
    d.angleSlot = 1; // the Full Orbit's angles and pan
    d.pan = &CModelSettings::m_ptFOView;
    d.key = {kViewCyclePlanes, SystemKind::Newtonian};
    d.redrawHints = {HINT_PO_LIMITS};
    return d;
}

} // namespace

const char* CyclePlanesTitle(int mode)
{
    static const char* const titles[6] = {" v vs p",       " v vs p, damped",
                                          " 3D orbit",     " 3D orbit, damped",
                                          " cycle planes", " cycle planes, damped"};
    return mode >= 6 && mode <= 11 ? titles[mode - 6] : "";
}

CSys1CP::CSys1CP() : C3DView(CyclePlanesPlot())
{
}

int CSys1CP::Mode() const
{
    const IModelDocument* m = GetModel();
    return m ? m->Core().m_nRSMode : 6;
}

void CSys1CP::TakeSettings(const CModelCore& s)
{
    C3DView::TakeSettings(s);
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetWindowText(s.m_strFileName + CyclePlanesTitle(s.m_nRSMode));
}

// The orbit's pen alone: the marks' pen has no swatch here.
SwatchRows CSys1CP::LegendRows(const CModelCore& s) const
{
    return {{{" s ", s.m_clrPO, kRunItem}}};
}

void CSys1CP::DrawScene(CDC* pDC, bool bFull)
{
    DrawPlaneAxes(pDC, 0);
    const CModelCore& s = GetModel()->Core();
    if (bFull && (!s.m_bPlotManual || s.m_bPlotRequest))
        DrawStoredRun(pDC);
}

void CSys1CP::DrawStoredRun(CDC* pDC)
{
    if (RunRowsDue(GetModel()->Core()))
        DrawOrbit(pDC);
}

// The axes in the window's text colour; a label only where it lies well inside the plot.
void CSys1CP::DrawPlaneAxes(CDC* pDC, double t)
{
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkMode(TRANSPARENT);
    CRect inner = m_rcPlot;
    inner.DeflateRect(10, 10);
    auto axis = [&](CPoint a, CPoint b, const char* plus, const char* minus) {
        if (!ClipToPlotRect(a, b))
            return;
        pDC->MoveTo(a);
        pDC->LineTo(b);
        if (plus && inner.PtInRect(a))
            pDC->TextOut(a.x, a.y, plus);
        if (minus && inner.PtInRect(b))
            pDC->TextOut(b.x, b.y, minus);
    };
    pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
    if (Mode() > 6)
        axis(Project(m_dXHi, 0, 0), Project(m_dXLo, 0, 0), "t", nullptr);
    axis(Project(t, m_dYHi, 0), Project(t, m_dYLo, 0), "+p", "-p");
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    axis(Project(t, 0, m_dZHi), Project(t, 0, m_dZLo), "+v", "-v");
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

// Rows a and b projected at their times (modes 8 to 11) or in the plane t = 0; draw(p1, p2,
// marked) gets the clipped segment. A turning point gets its plane at the real time of row a.
template <class Draw> bool CSys1CP::Step(CDC* pDC, const CModelCore& s, int a, int b, Draw draw)
{
    const double* t = s.m_arrTable[kSlotT].data();
    const double* p = s.m_arrTable[kSlotX].data();
    const double* v = s.m_arrTable[kSlotXp].data();
    const bool timed = Mode() > 7;
    const bool marked = s.m_bMarkReturn[0] && TurnsAt(v[a], v[b]);
    if (marked && std::isfinite(t[a]))
        DrawPlaneAxes(pDC, t[a]);
    CPoint p1, p2;
    if (!RowPixel(0, timed ? t[a] : 0, p[a], v[a], p1) ||
        !RowPixel(0, timed ? t[b] : 0, p[b], v[b], p2) || !ClipToPlotRect(p1, p2))
        return marked; // a diverged run: nothing to draw here
    draw(p1, p2, marked);
    return marked;
}

void CSys1CP::DrawOrbit(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const TableRing& r = lock.Ring();
    const int rows = s.m_nTableRows;
    if (!MapColumns(s.m_arrTable, rows).t)
        return;
    CRowPainter painter(pDC, m_rcPlot, RowLook::Lines, RunPen(s), MarkPen(s));
    const double inf = std::numeric_limits<double>::infinity();
    const RingSpan ring{s.m_arrTable[kSlotT].data(), rows, r.index, r.count, r.wrapped};
    WalkSegments(ring, -inf, inf, 0.0, [&](int a, int b) {
        Step(pDC, s, a, b,
             [&](CPoint p1, CPoint p2, bool marked) { painter.MarkedSegment(p1, p2, marked); });
    });
    painter.Finish();
}

void CSys1CP::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run lets the table go while its row is drawn
    const int rows = s.m_nTableRows;
    const int prev = PreviousLiveRow(nRow, rows, lock.Ring().wrapped);
    if (prev < 0 || !MapColumns(s.m_arrTable, rows).t)
        return;
    const bool plane =
        Step(&m_live.DC(this), s, prev, nRow, [&](CPoint p1, CPoint p2, bool marked) {
            const PlotPen pen = (marked ? MarkPen(s) : std::nullopt).value_or(RunPen(s));
            DrawLiveSegment(m_live, this, pen, p1, p2);
        });
    if (plane)
        m_live.Touch(m_rcPlot); // a plane may reach anywhere
    m_live.Show(this);
}
