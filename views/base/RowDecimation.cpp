#include "views/base/RowDecimation.h"

PixelSieve::PixelSieve(const CRect& area) : m_area(area)
{
    // An end on the area's right or bottom edge is a pixel too.
    m_area.right += 1;
    m_area.bottom += 1;
    const std::int64_t w = std::max(0, m_area.Width()), h = std::max(0, m_area.Height());
    m_bits.assign(static_cast<std::size_t>((w * h + 63) / 64), 0);
}

bool PixelSieve::Adds(CPoint a, CPoint b)
{
    if (Inside(a) && Inside(b)) // so is every pixel between: no test a pixel
        return AddsInside(a, b);
    bool adds = false; // setting a pixel that is set changes nothing: one pass does
    ForEachLinePixel(a, b, [&](int x, int y) {
        const CPoint p(x, y);
        adds = adds || !IsSet(p);
        Set(p);
    });
    return adds;
}

// A line keeps to the box of its ends, so each of its pixels lies in the area with them.
bool PixelSieve::AddsInside(CPoint a, CPoint b)
{
    std::uint64_t* bits = m_bits.data();
    const std::size_t width = static_cast<std::size_t>(m_area.Width());
    const int left = m_area.left, top = m_area.top;
    std::uint64_t fresh = 0;
    ForEachLinePixel(a, b, [&](int x, int y) {
        const std::size_t i =
            static_cast<std::size_t>(y - top) * width + static_cast<std::size_t>(x - left);
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        fresh |= ~bits[i / 64] & bit;
        bits[i / 64] |= bit;
    });
    return fresh != 0;
}

bool PixelSieve::AddsPoint(CPoint p)
{
    if (IsSet(p))
        return false;
    Set(p);
    return true;
}
