#include "views/phase/VectorFieldDraw.h"

#include "platform/Dc.h"
#include "views/rows/PlotText.h"

#include <cstdlib>
#include <vector>

CPlaneFrame FrameOf(const C2DPlotGeometry& g)
{
    const CRect& r = g.m_rcPlot;
    return {r.left, r.top, r.right, r.bottom, g.m_dXMin, g.m_dXMax, g.m_dYMin, g.m_dYMax};
}

bool PlotSegment(const C2DPlotGeometry& g, double x1, double y1, double x2, double y2, CPoint& p1,
                 CPoint& p2)
{
    return FrameOf(g).SegmentToPixels(x1, y1, x2, y2, p1.x, p1.y, p2.x, p2.y) &&
           g.ClipToPlotRect(p1, p2);
}

void DrawDirectionField(CDC* pDC, const C2DPlotGeometry& g, const CDirectionField& field,
                        COLORREF from, COLORREF to)
{
    CPen penFrom(PS_SOLID, 1, from), penTo(PS_SOLID, 1, to);
    // Each colour in one batch of its own: the tails, then the heads.
    std::vector<CPoint> tails, heads;
    const std::size_t n = field.m_arrX1.size();
    tails.reserve(2 * n);
    heads.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        CPoint p1, p2;
        if (!PlotSegment(g, field.m_arrX1[i], field.m_arrY1[i], field.m_arrX2[i], field.m_arrY2[i],
                         p1, p2))
            continue;
        const CPoint mid((p1.x + p2.x) / 2, (p1.y + p2.y) / 2);
        tails.insert(tails.end(), {p1, mid});
        heads.insert(heads.end(), {mid, p2});
    }
    CPen* pOldPen = pDC->SelectObject(&penFrom);
    for (std::size_t i = 0; i < tails.size(); i += 2) {
        pDC->MoveTo(tails[i]);
        pDC->LineTo(tails[i + 1]);
    }
    pDC->SelectObject(&penTo);
    for (std::size_t i = 0; i < heads.size(); i += 2) {
        pDC->MoveTo(heads[i]);
        pDC->LineTo(heads[i + 1]);
    }
    pDC->SelectObject(pOldPen);
}

void DrawCurve(CDC* pDC, const C2DPlotGeometry& g, const CVFTrack& curve)
{
    if (curve.Count() < 2)
        return;
    CPen pen(curve.m_nLineStyle, curve.m_nLineWidth, curve.m_clrLine);
    CPen* pOldPen = pDC->SelectObject(&pen);
    PolylineBatch batch;
    batch.m_pDC = pDC;
    for (int i = 1; i < curve.Count(); ++i) {
        CPoint p1, p2;
        if (curve.StartsBranch(i))
            continue;
        if (PlotSegment(g, curve.m_arrX[i - 1], curve.m_arrY[i - 1], curve.m_arrX[i],
                        curve.m_arrY[i], p1, p2))
            batch.Add(p1, p2);
    }
    batch.Flush();
    pDC->SelectObject(pOldPen);
}

namespace {
// One manifold record: its branches, each with its arrowhead.
void DrawManifold(CDC* pDC, C2DView& view, const CVFTrack& curve, bool stable)
{
    CPen pen(curve.m_nLineStyle, curve.m_nLineWidth, curve.m_clrLine);
    CPen* pOldPen = pDC->SelectObject(&pen);
    const double rx = view.m_dXMax - view.m_dXMin, ry = view.m_dYMax - view.m_dYMin;
    CPoint start(view.WorldToPixelX(curve.m_arrX[0]), view.WorldToPixelY(curve.m_arrY[0]));
    bool arrow = false;
    for (int i = 1; i < curve.Count(); ++i) {
        const double x = curve.m_arrX[i], y = curve.m_arrY[i];
        if (curve.StartsBranch(i)) {
            start = CPoint(view.WorldToPixelX(x), view.WorldToPixelY(y));
            arrow = false;
            continue;
        }
        const bool near = x >= view.m_dXMin - rx && x <= view.m_dXMax + rx &&
                          y >= view.m_dYMin - ry && y <= view.m_dYMax + ry;
        CPoint p1, p2;
        const double xp = curve.m_arrX[i - 1], yp = curve.m_arrY[i - 1];
        if (!near || !PlotSegment(view, xp, yp, x, y, p1, p2))
            continue;
        const CPoint at(view.WorldToPixelX(x), view.WorldToPixelY(y));
        if (!arrow && (std::abs(at.x - start.x) > 50 || std::abs(at.y - start.y) > 50)) {
            if (stable)
                view.DrawArrowHead(pDC, xp, yp, x, y, 10, 30, curve.m_clrLine);
            else
                view.DrawArrowHead(pDC, x, y, xp, yp, 10, 30, curve.m_clrLine);
            arrow = true;
        }
        pDC->MoveTo(p1);
        pDC->LineTo(p2);
    }
    pDC->SelectObject(pOldPen);
}
} // namespace

void DrawManifolds(CDC* pDC, C2DView& view, const std::array<CVFTrack, kManifoldSlots>& records)
{
    for (int i = 0; i < kManifoldSlots; ++i)
        if (!records[i].Empty())
            DrawManifold(pDC, view, records[i], i % 2 == 0);
}

void DrawFixedPointMarker(CDC* pDC, const C2DPlotGeometry& g, double x, double y, int type)
{
    int px = 0, py = 0;
    if (!FrameOf(g).WorldToPixel(x, y, px, py))
        return;
    const CRect& r = g.m_rcPlot;
    if (!(px - 4 > r.left && px + 4 < r.right && py - 4 > r.top && py + 4 < r.bottom))
        return;
    const bool filled = type == FP_STABLE_NODE || type == FP_STABLE_SPIRAL || type == FP_CENTER ||
                        type == FP_NON_SINGULAR || type == FP_DEGENERATE;
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CBrush brush(GetSysColor(filled ? COLOR_WINDOWTEXT : COLOR_WINDOW));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->Ellipse(px - 4, py - 4, px + 4, py + 4);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

std::string FixedPointLine(const CFixedPoint& p, int digitsX, int digitsY)
{
    // Appended in place: a string put in front of another makes GCC 12 see a false overlap.
    std::string line = "(";
    line.append(FormatNumber(p.x, digitsX)).append(",").append(FormatNumber(p.y, digitsY));
    return line.append(") ").append(FixedPointText(p.type));
}

void DrawFixedPointList(CDC* pDC, const C2DPlotGeometry& g, const std::vector<CFixedPoint>& points)
{
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CFixedPoint& p = points[i];
        DrawFixedPointMarker(pDC, g, p.x, p.y, p.type);
        if (i < static_cast<std::size_t>(MAX_FIXED_POINTS))
            pDC->TextOut(g.m_rcPlot.left + 3,
                         g.m_rcPlot.top + 3 + static_cast<int>(i) * g.m_nTextHeight,
                         FixedPointLine(p, g.m_nDigitsX, g.m_nDigitsY));
    }
}
