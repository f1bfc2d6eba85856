#include "views/base/RowDecimation.h"

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

inline bool PixelSieve::BoxSet(CPoint a, CPoint b) const
{
    // The line leaves out the far end's pixel along its major axis, and so its column or row.
    const int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    const bool steep = dx < dy;
    const int n = steep ? dx + 1 : dx, lines = steep ? dy : dy + 1;
    if (n > kRun)
        return false;
    const std::ptrdiff_t at = Bit(CPoint(std::min(a.x, b.x), std::min(a.y, b.y)));
    const std::uint64_t* w = m_bits.data() + (at >> 6);
    const int shift = at & 63;
    // The run's bits in its word and in the next, none there when the run starts a word.
    const std::uint64_t run = (std::uint64_t{1} << n) - 1;
    const std::uint64_t mask0 = run << shift, mask1 = (run >> 1) >> (63 - shift);
    // The lines' words together, tested once: a line that fails is the rare case.
    std::uint64_t all0 = ~std::uint64_t{0}, all1 = all0;
    for (int i = 0; i < lines; ++i, w += m_stride) {
        all0 &= w[0];
        all1 &= w[1];
    }
    return ((all0 & mask0) == mask0) & ((all1 & mask1) == mask1);
}

bool PixelSieve::AddsBoxed(CPoint a, CPoint b)
{
    const bool set = BoxSet(a, b);
    m_boxScore = set ? std::min(m_boxScore + 4, 64) : m_boxScore - 1;
    return !set && AddsInside(a, b);
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
