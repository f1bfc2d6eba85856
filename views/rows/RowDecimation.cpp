#include "views/rows/RowDecimation.h"

PixelSieve::PixelSieve(const CRect& area) : m_area(area)
{
    // An end on the area's right or bottom edge is a pixel too.
    m_area.right += 1;
    m_area.bottom += 1;
    const std::ptrdiff_t w = std::max(0, m_area.Width()), h = std::max(0, m_area.Height());
    m_width = static_cast<unsigned>(w);
    m_height = static_cast<unsigned>(h);
    m_stride = (w + 63) / 64;
    m_bits.assign(static_cast<std::size_t>(m_stride * h + 1), 0);
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

bool PixelSieve::AddsBoxed(CPoint a, CPoint b)
{
    return Boxed(a, b);
}

// A line keeps to the box of its ends, so each of its pixels lies in the area with them. The
// walk of ForEachLinePixel, with the bit's index stepped on from pixel to pixel (a repaint
// sieves every pixel of a segment that BoxSet did not skip); the pixels are only read up to
// the first one not set.
bool PixelSieve::AddsInside(CPoint a, CPoint b)
{
    const LineSteps l(a, b);
    const bool steep = l.steep;
    const int major0 = l.major0, span = l.span, inc = l.inc;
    std::int32_t minor = l.minor;
    // The bit of a pixel from the major step and the minor coordinate, each stepped on alone:
    // no pixel waits for the one before.
    const std::ptrdiff_t width = m_stride * 64;
    const std::ptrdiff_t majorStep = steep ? width : 1, minorStep = steep ? 1 : width;
    std::ptrdiff_t along = steep ? (major0 - m_area.top) * width - m_area.left
                                 : major0 - m_area.left - m_area.top * width;
    auto bit = [&] { return along + (minor >> 16) * minorStep; };
    std::uint64_t* bits = m_bits.data();
    int m = 0;
    for (; m < span; ++m, minor += inc, along += majorStep) {
        const std::ptrdiff_t i = bit();
        if (!((bits[i >> 6] >> (i & 63)) & 1))
            break;
    }
    if (m == span)
        return false;
    for (; m < span; ++m, minor += inc, along += majorStep) {
        const std::ptrdiff_t i = bit();
        bits[i >> 6] |= std::uint64_t{1} << (i & 63);
    }
    return true;
}
