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
    bool adds = false; // setting a pixel that is set changes nothing: one pass does
    ForEachLinePixel(a, b, [&](int x, int y) {
        const CPoint p(x, y);
        adds = adds || !IsSet(p);
        Set(p);
    });
    return adds;
}

bool PixelSieve::AddsPoint(CPoint p)
{
    if (IsSet(p))
        return false;
    Set(p);
    return true;
}
