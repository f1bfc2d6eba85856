#include "views/phase/PhaseLineDraw.h"

#include "model/core/ModelCore.h"
#include "platform/Dc.h"
#include "views/phase/VectorFieldDraw.h"

#include <cmath>
#include <memory>

namespace {
constexpr int kRadius = 4;

// An arrow along the axis: its tip and the middle of its base (6 pixels high), at offsets from
// the marker's centre.
void DrawArrow(CDC* pDC, const CRect& plot, CPoint c, int tip, int base)
{
    const CPoint pts[3] = {{c.x + tip, c.y}, {c.x + base, c.y - 3}, {c.x + base, c.y + 3}};
    for (const CPoint& p : pts)
        if (!plot.PtInRect(p))
            return;
    pDC->Polygon(pts, 3);
}

// Vertical hatching inside the circle.
void HatchCircle(CDC* pDC, CPoint c)
{
    for (int dx = -kRadius + 2; dx <= kRadius - 2; dx += 2) {
        const int h = static_cast<int>(std::sqrt(double(kRadius * kRadius - dx * dx)));
        pDC->MoveTo(c.x + dx, c.y - h);
        pDC->LineTo(c.x + dx, c.y + h + 1);
    }
}
} // namespace

void DrawZeroMarker(CDC* pDC, const C2DPlotGeometry& g, double x, PhaseZeroKind kind)
{
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    CPen pen(PS_SOLID, 1, text);
    CBrush filled(text), open(GetSysColor(COLOR_WINDOW));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(kind == kZeroStable ? &filled : &open);
    const CPoint c(g.WorldToPixelX(x), g.WorldToPixelY(0));
    const CRect& plot = g.m_rcPlot;
    if (c.x - kRadius > plot.left && c.x + kRadius < plot.right && c.y - kRadius > plot.top &&
        c.y + kRadius < plot.bottom) {
        pDC->Ellipse(c.x - kRadius, c.y - kRadius, c.x + kRadius, c.y + kRadius);
        if (kind == kZeroTouchRight || kind == kZeroTouchLeft)
            HatchCircle(pDC, c);
    }
    // Tip and base offsets of the right and the left arrow.
    static const int arrows[4][4] = {
        {20, 10, -20, -10}, // unstable: away on both sides
        {10, 20, -10, -20}, // stable: toward the zero
        {20, 10, -10, -20}, // touching, flow to the right
        {10, 20, -20, -10}, // touching, flow to the left
    };
    const int* a = arrows[kind];
    pDC->SelectObject(&filled);
    DrawArrow(pDC, plot, c, a[0], a[1]);
    DrawArrow(pDC, plot, c, a[2], a[3]);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

void DrawPhaseLine(CDC* pDC, const C2DPlotGeometry& g, const CPhaseLine& line,
                   const CModelSettings& s)
{
    CPen pen(s.m_nStyleVFTrack, s.m_nWidthVFTrack, s.m_clrVFTrack);
    CPen* pOldPen = pDC->SelectObject(&pen);
    bool bHavePrev = false;
    CPoint prev;
    for (std::size_t i = 0; i < line.m_arrXp.size(); ++i) {
        const double xp = line.m_arrXp[i];
        if (!std::isfinite(xp)) {
            bHavePrev = false;
            continue;
        }
        CPoint p(g.m_rcPlot.left + static_cast<int>(i), g.WorldToPixelY(xp));
        CPoint p1 = prev, p2 = p;
        if (bHavePrev && g.ClipToPlotRect(p1, p2)) {
            pDC->MoveTo(p1.x, p1.y);
            pDC->LineTo(p2.x, p2.y);
        }
        prev = p;
        bHavePrev = true;
    }
    pDC->SelectObject(pOldPen);
    for (const CPhaseZero& z : line.m_zeros)
        DrawZeroMarker(pDC, g, z.x, z.kind);
}

CPhaseLine CalcModelPhaseLine(CModelCore& model, const C2DPlotGeometry& g, double t, double touch)
{
    const std::unique_ptr<CFieldBase> field = MakePlaneField(CPlaneModel::Of(model));
    CPhaseLine line = CalcPhaseLine(*field, FrameOf(g), t, touch);
    model.m_dSpinMin = line.m_dLargest;
    model.m_dSpinMax = line.m_dSmallest;
    return line;
}

bool CPhaseLineLayer::Compute(const C2DPlotGeometry& g)
{
    CModelCore* model = m_model();
    if (!model)
        return false;
    m_line = CalcModelPhaseLine(*model, g, model->m_dVFTime, m_dTouch);
    return true;
}

void CPhaseLineLayer::Draw(CDC* pDC, const C2DPlotGeometry& g)
{
    if (const CModelCore* model = m_model())
        DrawPhaseLine(pDC, g, m_line, *model);
}
