#include "views/base/RowDecimation.h"

PixelSieve::PixelSieve(const CRect& area) : m_area(area)
{
    // An end on the area's right or bottom edge is a pixel too.
    m_area.right += 1;
    m_area.bottom += 1;
    const std::int64_t w = std::max(0, m_area.Width()), h = std::max(0, m_area.Height());
    m_bits.assign(static_cast<std::size_t>((w * h + 63) / 64), 0);
}

bool PixelSieve::Inside(CPoint p) const
{
    return p.x >= m_area.left && p.x < m_area.right && p.y >= m_area.top && p.y < m_area.bottom;
}

std::size_t PixelSieve::Bit(CPoint p) const
{
    return static_cast<std::size_t>(p.y - m_area.top) * static_cast<std::size_t>(m_area.Width()) +
           static_cast<std::size_t>(p.x - m_area.left);
}

bool PixelSieve::IsSet(CPoint p) const
{
    if (!Inside(p))
        return false;
    const std::size_t b = Bit(p);
    return (m_bits[b / 64] >> (b % 64)) & 1;
}

void PixelSieve::Set(CPoint p)
{
    if (!Inside(p))
        return;
    const std::size_t b = Bit(p);
    m_bits[b / 64] |= std::uint64_t{1} << (b % 64);
}

bool PixelSieve::Adds(CPoint a, CPoint b)
{
    bool adds = false;
    ForEachLinePixel(a, b, [&](int x, int y) { adds = adds || !IsSet(CPoint(x, y)); });
    if (adds)
        ForEachLinePixel(a, b, [&](int x, int y) { Set(CPoint(x, y)); });
    return adds;
}

bool PixelSieve::AddsPoint(CPoint p)
{
    if (IsSet(p))
        return false;
    Set(p);
    return true;
}
