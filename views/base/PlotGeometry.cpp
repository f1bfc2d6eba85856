#include "views/base/PlotGeometry.h"

#include <cmath>
#include <utility>

#if !__has_include("platform/Types.h")
void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}
#endif

PageLayout LayoutPage(const CRect& client, int h)
{
    return {3 * h, 4 * h, 3 * h, 2 * h,
            CRect(client.left + 3 * h, client.top + 4 * h, client.right - 3 * h,
                  client.bottom - 2 * h)};
}

MarginStrips MakeMarginStrips(const CRect& p, int marginRight, int marginBottom)
{
    return {CRect(0, p.top, p.left, p.bottom), CRect(0, 0, p.right + marginRight, p.top),
            CRect(p.right, p.top, p.right + marginRight, p.bottom),
            CRect(0, p.bottom, p.right + marginRight, p.bottom + marginBottom)};
}

void CPlotPage::LayoutPage(const CRect& client, int h)
{
    m_nTextHeight = h;
    const PageLayout page = ::LayoutPage(client, h);
    m_nMarginLeft = page.left;
    m_nMarginTop = page.top;
    m_nMarginRight = page.right;
    m_nMarginBottom = page.bottom;
    m_rcPlot = page.plot;
    m_rcPlotHit = page.plot;
    m_rcPlotHit.NormalizeRect();
    const MarginStrips strips = MakeMarginStrips(m_rcPlot, m_nMarginRight, m_nMarginBottom);
    m_rcMarginLeftArea = strips.left;
    m_rcMarginTopArea = strips.top;
    m_rcMarginRightArea = strips.right;
    m_rcMarginBottomArea = strips.bottom;
}

void C2DPlotGeometry::Layout(const CRect& client, int h, const int captionWidths[5])
{
    LayoutPage(client, h);
    const CRect p = m_rcPlot;
    m_rcVAxisName = CRect(p.left - m_nMarginLeft / 2, p.top, p.left - 2, p.bottom);
    m_rcHAxisName = CRect(p.left, p.bottom + 2, p.right, p.bottom + m_nMarginBottom / 2);

    UpdateScales();

    const int r = client.right;
    const int mid = (p.top + p.bottom) / 2;
    const int w0 = captionWidths[0], w1 = captionWidths[1], w2 = captionWidths[2];
    const int w3 = captionWidths[3], w4 = captionWidths[4];
    m_rcCaption[0] = CRect(r - h, p.bottom - 50 + w0, r, p.bottom - 50 + w0);
    m_rcCaption[1] = CRect(r - h, p.top + w1, r, p.top + w1);
    m_rcCaption[2] = CRect(r - 2 * h, p.top + w2, r - h, p.top + w2);
    m_rcCaption[3] = CRect(r - h, mid + w3, r, mid + w3);
    m_rcCaption[4] = CRect(r - 2 * h, mid + w4, r - h, mid + w4);

    // Across-axis extent only; the readout sets the along-axis extent.
    m_rcMouseValueX.top = p.bottom + 2;
    m_rcMouseValueX.bottom = p.bottom + h;
    m_rcCrossValueX.top = p.bottom + h;
    m_rcCrossValueX.bottom = p.bottom + 2 * h;
    m_rcMouseValueY.left = p.left - h;
    m_rcMouseValueY.right = p.left - 2;
    m_rcCrossValueY.left = p.left - 2 * h;
    m_rcCrossValueY.right = p.left - h;
}

void C2DPlotGeometry::UpdateScales()
{
    m_dScaleX = (m_dXMax - m_dXMin) / (m_rcPlot.right - m_rcPlot.left);
    m_dScaleY = (m_dYMax - m_dYMin) / (m_rcPlot.bottom - m_rcPlot.top);
}

double C2DPlotGeometry::PixelToWorldX(int px) const
{
    return (px - m_nMarginLeft) * m_dScaleX + m_dXMin;
}

double C2DPlotGeometry::PixelToWorldY(int py) const
{
    return m_dYMax - (py - m_nMarginTop) * m_dScaleY;
}

namespace {
// Moves coordinate a of a point onto an edge and shifts its other coordinate b along the segment
// towards the far end (fa, fb). A zero denominator means the segment runs along the edge.
bool MoveOntoEdge(int& a, int& b, int fa, int fb, int edge)
{
    if (a == fa)
        return false;
    const double shift = static_cast<double>(edge - a) * (b - fb) / (a - fa);
    b += static_cast<int>(std::trunc(shift));
    a = edge;
    return true;
}
} // namespace

bool ClipSegment(const CRect& rc, CPoint& p1, CPoint& p2)
{
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    CPoint a = p1, z = p2;

    if (a.x <= l && (z.x <= l || !MoveOntoEdge(a.x, a.y, z.x, z.y, l)))
        return false;
    if (a.x >= r && (z.x >= r || !MoveOntoEdge(a.x, a.y, z.x, z.y, r)))
        return false;
    if (a.y <= t && (z.y <= t || !MoveOntoEdge(a.y, a.x, z.y, z.x, t)))
        return false;
    if (a.y >= b && (z.y >= b || !MoveOntoEdge(a.y, a.x, z.y, z.x, b)))
        return false;

    // The far end: both ends on or beyond one edge means nothing of the segment is inside.
    if (z.x <= l && !MoveOntoEdge(z.x, z.y, a.x, a.y, l))
        return false;
    if (z.x >= r && !MoveOntoEdge(z.x, z.y, a.x, a.y, r))
        return false;
    if (z.y <= t && !MoveOntoEdge(z.y, z.x, a.y, a.x, t))
        return false;
    if (z.y >= b && !MoveOntoEdge(z.y, z.x, a.y, a.x, b))
        return false;

    p1 = a;
    p2 = z;
    return true;
}

void C2DPlotGeometry::CollapseReadoutBoxes()
{
    m_rcCrossValueX.left = m_rcCrossValueX.right;
    m_rcMouseValueX.left = m_rcMouseValueX.right;
    m_rcCrossValueY.top = m_rcCrossValueY.bottom;
    m_rcMouseValueY.top = m_rcMouseValueY.bottom;
}
