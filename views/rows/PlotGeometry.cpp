#include "views/rows/PlotGeometry.h"

#include <cmath>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {
// ClampToPixel as selections: the same integer for every double, and no branch to guess.
inline int ClampToPixelFlat(double v)
{
    constexpr double limit = kPixelLimit;
    double c = v < -limit ? -limit : v;
    c = c > limit ? limit : c;
    c = v == v ? c : 0.0; // NaN
    return static_cast<int>(c);
}

inline bool FiniteFlat(double v)
{
    return std::fabs(v) <= std::numeric_limits<double>::max(); // false for a NaN
}

#if defined(__SSE2__)
// Two rows: the pixels of quotients q (as ClampToPixelFlat, plus margin), kNoPixel where the
// value v is not finite. A NaN quotient leaves max at -limit and its ordered mask zeroes it.
inline __m128i PixelsOf2(__m128d v, __m128d q, __m128i margin)
{
    const __m128d limit = _mm_set1_pd(kPixelLimit);
    __m128d c = _mm_min_pd(_mm_max_pd(q, _mm_sub_pd(_mm_setzero_pd(), limit)), limit);
    c = _mm_and_pd(c, _mm_cmpord_pd(q, q));
    const __m128i p = _mm_add_epi32(_mm_cvttpd_epi32(c), margin);
    const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
    const __m128d finite = _mm_cmple_pd(magnitude, _mm_set1_pd(std::numeric_limits<double>::max()));
    const __m128i f = _mm_shuffle_epi32(_mm_castpd_si128(finite), _MM_SHUFFLE(3, 3, 2, 0));
    return _mm_or_si128(_mm_and_si128(f, p), _mm_andnot_si128(f, _mm_set1_epi32(kNoPixel)));
}
#endif

// out[i] = ClampToPixelFlat(quotient(v[i])) + margin, kNoPixel where v[i] is not finite; the
// quotient takes and gives two lanes where the vector unit is there, else one double.
template <class Quotient2, class Quotient1>
void MapPixels(const double* v, int n, int* out, int margin, Quotient2 q2, Quotient1 q1)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i m = _mm_set1_epi32(margin);
    for (; i + 4 <= n; i += 4) {
        const __m128d v0 = _mm_loadu_pd(v + i), v1 = _mm_loadu_pd(v + i + 2);
        const __m128i p = _mm_unpacklo_epi64(PixelsOf2(v0, q2(v0), m), PixelsOf2(v1, q2(v1), m));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), p);
    }
#else
    (void)q2;
#endif
    for (; i < n; ++i)
        out[i] = FiniteFlat(v[i]) ? ClampToPixelFlat(q1(v[i])) + margin : kNoPixel;
}
} // namespace

void C2DPlotGeometry::WorldToPixelsX(const double* x, int n, int* px) const
{
    const double min = m_dXMin, scale = m_dScaleX;
#if defined(__SSE2__)
    const __m128d min2 = _mm_set1_pd(min), scale2 = _mm_set1_pd(scale);
    const auto q2 = [=](__m128d v) { return _mm_div_pd(_mm_sub_pd(v, min2), scale2); };
#else
    const int q2 = 0;
#endif
    // The margin enters after the truncation.
    MapPixels(x, n, px, m_nMarginLeft, q2, [=](double v) { return (v - min) / scale; });
}

void C2DPlotGeometry::WorldToPixelsY(const double* y, int n, int* py) const
{
    const double max = m_dYMax, scale = m_dScaleY, margin = m_nMarginTop;
#if defined(__SSE2__)
    const __m128d max2 = _mm_set1_pd(max), scale2 = _mm_set1_pd(scale);
    const __m128d margin2 = _mm_set1_pd(margin);
    const auto q2 = [=](__m128d v) {
        return _mm_add_pd(_mm_div_pd(_mm_sub_pd(max2, v), scale2), margin2);
    };
#else
    const int q2 = 0;
#endif
    // The margin enters before the truncation.
    MapPixels(y, n, py, 0, q2, [=](double v) { return (max - v) / scale + margin; });
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
