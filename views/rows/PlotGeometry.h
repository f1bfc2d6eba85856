#pragma once
// Page layout, world/pixel transforms and segment clipping shared by every 2-D plot.
// No Qt here: the view classes hold this state and draw with it.

#if __has_include("platform/Types.h")
#include "platform/Types.h"
#else
struct CPoint
{
    int x = 0, y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    bool operator==(const CPoint&) const = default;
};

struct CRect
{
    int left = 0, top = 0, right = 0, bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Right and bottom edges lie outside.
    bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void NormalizeRect();
    bool operator==(const CRect&) const = default;
};
#endif

#include <climits>
#include <cmath>

// Pixels beyond this distance from the origin are clamped, so a world value far outside the
// window (or a zero scale) still gives a defined integer.
constexpr int kPixelLimit = 1 << 24;
inline int ClampToPixel(double v) // inline: a repaint maps every row
{
    if (std::fabs(v) <= kPixelLimit) // one test in the usual case (false for a NaN)
        return static_cast<int>(v);  // truncates toward zero
    if (std::isnan(v))
        return 0;
    return v > 0 ? kPixelLimit : -kPixelLimit;
}

// The pixel of a value that is not finite in a block mapped at once: a row never drawn.
constexpr int kNoPixel = INT_MIN;

// The margins of a plot page for text height h (3h, 4h, 3h, 2h) and the plot rectangle they
// leave of the client rectangle.
struct PageLayout
{
    int left, top, right, bottom;
    CRect plot;
};
PageLayout LayoutPage(const CRect& client, int h);

// The four margin strips of a plot page around the plot rectangle; a view invalidates only
// these after drawing a run live.
struct MarginStrips
{
    CRect left, top, right, bottom;
};
MarginStrips MakeMarginStrips(const CRect& plot, int marginRight, int marginBottom);

// Clips a pixel segment to a rectangle in place; false means draw nothing. An end on an edge
// counts as outside, so a segment along an edge is not drawn.
bool ClipSegment(const CRect& rc, CPoint& p1, CPoint& p2);

// What the 2-D and 3-D pages lay out alike: the margins, the plot rectangle and the margin strips.
class CPlotPage
{
public:
    // Margins, measured from the text height h by the layout.
    int m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom;
    CRect m_rcPlot, m_rcPlotHit;
    CRect m_rcMarginLeftArea, m_rcMarginTopArea, m_rcMarginRightArea, m_rcMarginBottomArea;
    int m_nTextHeight = 0;

    // Clips a pixel segment to m_rcPlot in place; false means draw nothing. Most segments of a
    // long run lie well inside, and those are passed at once.
    bool ClipToPlotRect(CPoint& p1, CPoint& p2) const
    {
        return (WellInside(p1) && WellInside(p2)) || ClipSegment(m_rcPlot, p1, p2);
    }
    bool WellInside(CPoint p) const
    {
        return p.x > m_rcPlot.left && p.x < m_rcPlot.right && p.y > m_rcPlot.top &&
               p.y < m_rcPlot.bottom;
    }
    // Calls draw(p1, p2) with the segment clipped to m_rcPlot when some of it is left. The
    // ends of a segment well inside stay in registers (a repaint clips every row's).
    template <class Draw> void ClipAndDraw(CPoint p1, CPoint p2, Draw&& draw) const
    {
        if (WellInside(p1) && WellInside(p2)) {
            draw(p1, p2);
            return;
        }
        CPoint q1 = p1, q2 = p2;
        if (ClipSegment(m_rcPlot, q1, q2))
            draw(q1, q2);
    }

protected:
    CPlotPage(int left, int top, int right, int bottom)
        : m_nMarginLeft(left), m_nMarginTop(top), m_nMarginRight(right), m_nMarginBottom(bottom)
    {
    }
    // Lays out the margins, the plot rectangle and the strips for text height h.
    void LayoutPage(const CRect& client, int h);
};

class C2DPlotGeometry : public CPlotPage
{
public:
    C2DPlotGeometry() : CPlotPage(35, 40, 35, 30) {}
    CRect m_rcVAxisName, m_rcHAxisName;
    CRect m_rcCaption[5];
    CRect m_rcCrossValueX, m_rcCrossValueY, m_rcMouseValueX, m_rcMouseValueY;
    CRect m_rcLegend;

    int m_nDigitsY = 4, m_nDigitsX = 4, m_nDigitsDt = 4;
    double m_dScaleY = 0.0, m_dScaleX = 0.0;
    double m_dXMin = 0.0, m_dXMax = 1.0, m_dYMin = 0.0, m_dYMax = 1.0;

    // Lays the page out in a client rectangle for text height h and sets the scales from the
    // current world limits. captionWidths are the widths of "t =", "x =", "y =", "x' =", "y' =".
    void Layout(const CRect& client, int h, const int captionWidths[5]);
    void UpdateScales();

    double PixelToWorldX(int px) const;
    double PixelToWorldY(int py) const;
    int WorldToPixelX(double x) const
    {
        // The margin enters after the truncation.
        return ClampToPixel((x - m_dXMin) / m_dScaleX) + m_nMarginLeft;
    }
    int WorldToPixelY(double y) const
    {
        // The margin enters before the truncation.
        return ClampToPixel((m_dYMax - y) / m_dScaleY + m_nMarginTop);
    }
    // The pixels of n values, each as above but kNoPixel for a value that is not finite. One
    // pass without branches: the divisions of neighbouring rows run side by side.
    void WorldToPixelsX(const double* x, int n, int* px) const;
    void WorldToPixelsY(const double* y, int n, int* py) const;

    // Resizing collapses the readout boxes so that the first readout after it erases nothing.
    void CollapseReadoutBoxes();
};
