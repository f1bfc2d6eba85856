#include "views/base/RowDecimation.h"

PixelSieve::PixelSieve(const CRect& area) : m_area(area)
{
    // An end on the area's right or bottom edge is a pixel too.
    m_area.right += 1;
    m_area.bottom += 1;
    const int w = std::max(0, m_area.Width()), h = std::max(0, m_area.Height());
    m_width = static_cast<unsigned>(w);
    m_height = static_cast<unsigned>(h);
    m_rows.Size(w, h);
    m_cols.Size(h, w);
}

void PixelSieve::Plane::Size(int lineLength, int lines)
{
    stride = (static_cast<std::ptrdiff_t>(lineLength) + 63) / 64;
    words.assign(static_cast<std::size_t>(stride * lines + 1), 0);
}

bool PixelSieve::AddsAcross(CPoint a, CPoint b)
{
    bool adds = false; // setting a pixel that is set changes nothing: one pass does
    ForEachLinePixel(a, b, [&](int x, int y) {
        const CPoint p(x, y);
        adds = adds || !IsSet(p);
        Set(p);
    });
    return adds;
}

inline bool PixelSieve::Plane::RunsSet(int first, int lines, int at, int n) const
{
    const std::uint64_t* w = words.data() + first * stride + (at >> 6);
    const int shift = at & 63;
    // The run's bits in its word and in the next, none there when the run starts a word.
    const std::uint64_t run = (std::uint64_t{1} << n) - 1;
    const std::uint64_t mask0 = run << shift, mask1 = (run >> 1) >> (63 - shift);
    // The lines' words together, tested once: a line that fails is the rare case.
    std::uint64_t all0 = ~std::uint64_t{0}, all1 = all0;
    for (int i = 0; i < lines; ++i, w += stride) {
        all0 &= w[0];
        all1 &= w[1];
    }
    return ((all0 & mask0) == mask0) & ((all1 & mask1) == mask1);
}

bool PixelSieve::BoxSet(CPoint a, CPoint b) const
{
    const int x0 = std::min(a.x, b.x) - m_area.left, y0 = std::min(a.y, b.y) - m_area.top;
    const int n = std::abs(b.x - a.x) + 1;
    if (n > kRun)
        return false;
    return m_rows.RunsSet(y0, std::abs(b.y - a.y) + 1, x0, n);
}

// A line keeps to the box of its ends, so each of its pixels lies in the area with them. The
// walk of ForEachLinePixel, with the bit's index stepped on from pixel to pixel (a repaint
// sieves every pixel of a segment that BoxSet did not skip), reading the pixels up to the
// first one not set.
bool PixelSieve::AddsInside(CPoint a, CPoint b)
{
    const LineSteps l(a, b);
    const bool steep = l.steep;
    const int span = l.span, inc = l.inc;
    std::int32_t minor = l.minor;
    // The bit of a pixel from the major step and the minor coordinate, each stepped on alone:
    // no pixel waits for the one before.
    const std::ptrdiff_t width = m_rows.stride * 64;
    const std::ptrdiff_t majorStep = steep ? width : 1, minorStep = steep ? 1 : width;
    std::ptrdiff_t along = steep ? (l.major0 - m_area.top) * width - m_area.left
                                 : l.major0 - m_area.left - m_area.top * width;
    const std::uint64_t* bits = m_rows.words.data();
    for (int m = 0; m < span; ++m, minor += inc, along += majorStep) {
        const std::ptrdiff_t i = along + (minor >> 16) * minorStep;
        if (!((bits[i >> 6] >> (i & 63)) & 1)) {
            SetFrom(l, m, minor);
            return true;
        }
    }
    return false;
}

void PixelSieve::SetFrom(const LineSteps& l, int m, std::int32_t minor)
{
    for (; m < l.span; ++m, minor += l.inc) {
        const int major = l.major0 + m, minorPx = minor >> 16;
        SetInside((l.steep ? minorPx : major) - m_area.left,
                  (l.steep ? major : minorPx) - m_area.top);
    }
}
