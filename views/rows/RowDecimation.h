#pragma once
// Keeps a repaint of a long run from growing with its rows: the segments of a curve that stay in
// one pixel column fold into the column's extremes, and segments or points that would add no
// pixel to a one-pixel curve are skipped. Both give the picture drawn segment by segment. No Qt
// here.
#include "platform/Types.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

// Folds the segments that follow each other down one pixel column (a curve against time where
// rows crowd) into first -> lowest -> highest -> last of the column, or first -> highest ->
// lowest -> last where that takes fewer segments: the same pixels as all of them. Other
// segments pass unchanged. out(a, b) gets the segments to draw, in order.
class ColumnFold
{
public:
    // True when the segment goes on down the open column, which takes it in.
    bool Extends(CPoint a, CPoint b)
    {
        if (a.x != b.x || !m_open || a.x != m_x || a.y != m_last)
            return false;
        Extend(b.y);
        return true;
    }
    template <class Out> void Add(CPoint a, CPoint b, Out&& out)
    {
        if (Extends(a, b))
            return;
        Flush(out);
        if (a.x != b.x) {
            out(a, b);
            return;
        }
        m_open = true;
        m_x = a.x;
        m_first = m_min = m_max = m_last = a.y;
        Extend(b.y);
    }
    template <class Out> void Flush(Out&& out)
    {
        if (!m_open)
            return;
        m_open = false;
        const bool downFirst = Turns(m_min, m_max) <= Turns(m_max, m_min);
        const int ys[4] = {m_first, downFirst ? m_min : m_max, downFirst ? m_max : m_min, m_last};
        for (int i = 0; i < 3; ++i)
            if (ys[i] != ys[i + 1])
                out(CPoint(m_x, ys[i]), CPoint(m_x, ys[i + 1]));
    }

private:
    // Segments of first -> a -> b -> last.
    int Turns(int a, int b) const { return (m_first != a) + (a != b) + (b != m_last); }
    void Extend(int y)
    {
        m_min = y < m_min ? y : m_min;
        m_max = y > m_max ? y : m_max;
        m_last = y;
    }
    bool m_open = false;
    int m_x = 0, m_first = 0, m_min = 0, m_max = 0, m_last = 0;
};

// The rows of a curve against time that go on down one pixel column, gathered as values: the
// column, the pixel its first segment starts from, the rows and the extremes. The pixels of the
// extremes bound those of every row (the mapping to pixels keeps the order), so a column that
// stays inside the plot folds as its segments would.
struct ValueColumn
{
    bool open = false;
    int x = 0, firstY = 0, startRow = 0, lastRow = 0;
    double lo = 0, hi = 0;

    void Add(int px, int py, int prevRow, int row, double v)
    {
        if (!open) {
            open = true;
            x = px;
            firstY = py;
            startRow = prevRow;
            lo = hi = v;
        }
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
        lastRow = row;
    }
};

// Calls pixel(x, y) for each pixel that a solid one-pixel line of the platform sets from a to b
// (a != b): stepping along its major axis from the end with the smaller coordinate there, that
// end's pixel included and the other end's left out, the minor coordinate advanced in 16.16
// fixed point from half a step in (a whole pixel rounds down, a step backwards does not round).
// The steps of that line: along its major axis from major0 for span pixels, the minor
// coordinate in 16.16 fixed point from minor, inc a step.
struct LineSteps
{
    bool steep = false;
    int major0 = 0, span = 0;
    std::int32_t minor = 0, inc = 0;

    LineSteps(CPoint a, CPoint b)
    {
        steep = std::abs(b.x - a.x) < std::abs(b.y - a.y);
        major0 = steep ? a.y : a.x;
        int major1 = steep ? b.y : b.x;
        int minor0 = steep ? a.x : a.y, minor1 = steep ? b.x : b.y;
        if (major0 > major1) {
            std::swap(major0, major1);
            std::swap(minor0, minor1);
        }
        span = major1 - major0;
        const int rise = minor1 - minor0;
        // One pixel takes no division (the half step never reaches the next); below 2^15 the
        // quotient fits 32 bits (faster).
        inc = span <= 1          ? 0
              : span < (1 << 15) ? (rise * 65536) / span
                                 : static_cast<std::int32_t>((std::int64_t(rise) << 16) / span);
        minor = (minor0 << 16) + (inc > 0 ? (32 * inc) >> 6 : 0);
    }
};

template <class Pixel> void ForEachLinePixel(CPoint a, CPoint b, Pixel&& pixel)
{
    const LineSteps l(a, b);
    std::int32_t minor = l.minor;
    for (int m = l.major0; m < l.major0 + l.span; ++m, minor += l.inc)
        l.steep ? pixel(minor >> 16, m) : pixel(m, minor >> 16);
}

// The pixels of an area that a one-pixel curve has set: those of every segment it drew (see
// ForEachLinePixel) and every point. A segment all of whose pixels are set adds nothing, nor
// does a point on a set pixel.
class PixelSieve
{
public:
    explicit PixelSieve(const CRect& area);
    // False when the segment adds no pixel; else true, and the end it sets counts as set.
    bool Adds(CPoint a, CPoint b) // inline: a repaint sieves every row's segment
    {
        const int dx = b.x - a.x, dy = b.y - a.y;
        if (OneStep(dx, dy)) // a pixel outside adds: drawn as ever
            return (dx | dy) != 0 && AddsPoint(FirstEnd(a, b, dx, dy));
        if (!Inside(a) || !Inside(b))
            return AddsAcross(a, b);
        return TryBox() ? AddsBoxed(a, b) : AddsInside(a, b); // the box a call away: a small loop
    }
    // The same for a segment whose ends are known to lie in the area, its box read here (a 3-D
    // repaint's rows crowd the plot).
    bool AddsWithin(CPoint a, CPoint b)
    {
        const int dx = b.x - a.x, dy = b.y - a.y;
        if (OneStep(dx, dy))
            return (dx | dy) != 0 && AddsPoint(FirstEnd(a, b, dx, dy));
        return TryBox() ? Boxed(a, b) : AddsInside(a, b);
    }
    // False when the point is set already; else true, and it counts as set.
    bool AddsPoint(CPoint p)
    {
        if (IsSet(p))
            return false;
        Set(p);
        return true;
    }

private:
    static constexpr int kRun = 63; // the longest run of a line's bits read at once

    // Whether a segment sets one pixel or none (tested at once: which it is is a guess a row),
    // and the pixel it sets then: its end that comes first.
    static bool OneStep(int dx, int dy)
    {
        return (static_cast<unsigned>(dx + 1) <= 2u) & (static_cast<unsigned>(dy + 1) <= 2u);
    }
    static CPoint FirstEnd(CPoint a, CPoint b, int dx, int dy)
    {
        // Picked a coordinate at a time: a choice of whole points goes through memory.
        const bool first = (dx > 0) | ((dx == 0) & (dy > 0));
        return {first ? a.x : b.x, first ? a.y : b.y};
    }

    // Whether every pixel of the box that a line's pixels keep to (the box of its ends, both
    // inside) is set: the box's run of each line of pixels it crosses read from a word or two.
    // A segment of a crowded curve mostly lies where all is set, and is skipped at that.
    bool BoxSet(CPoint a, CPoint b) const;
    // Whether BoxSet is worth its reads: it pays where most boxes are set (a crowded curve),
    // not on a thin curve that draws its pixels again. A score of its answers decides: up 4
    // on one that skips, down 1 on one that does not, so it holds while a fifth or more skip;
    // at 0 or below it counts down the segments to the 64th, which tries it again.
    bool TryBox()
    {
        if (m_boxScore > 0)
            return true;
        if (--m_boxScore > -64)
            return false;
        m_boxScore = 0;
        return true;
    }
    bool AddsInside(CPoint a, CPoint b); // both ends inside
    bool AddsBoxed(CPoint a, CPoint b);  // Boxed
    bool Boxed(CPoint a, CPoint b)       // AddsInside, BoxSet tried first
    {
        const bool set = BoxSet(a, b);
        m_boxScore = set ? std::min(m_boxScore + 4, 64) : m_boxScore - 1;
        return !set && AddsInside(a, b);
    }
    bool AddsAcross(CPoint a, CPoint b); // an end outside the area
    bool Inside(CPoint p) const          // two tests, not four
    {
        return (static_cast<unsigned>(p.x - m_area.left) < m_width) &
               (static_cast<unsigned>(p.y - m_area.top) < m_height);
    }
    std::ptrdiff_t Bit(CPoint p) const
    {
        return (p.y - m_area.top) * m_stride * 64 + (p.x - m_area.left);
    }
    bool IsSet(CPoint p) const
    {
        if (!Inside(p))
            return false;
        const std::ptrdiff_t b = Bit(p);
        return (m_bits[b >> 6] >> (b & 63)) & 1;
    }
    void Set(CPoint p)
    {
        if (!Inside(p))
            return;
        const std::ptrdiff_t b = Bit(p);
        m_bits[b >> 6] |= std::uint64_t{1} << (b & 63);
    }

    CRect m_area;
    unsigned m_width = 0, m_height = 0; // of the area; none where it is upside down
    // A line of pixels to a run of whole words (so a short stretch of a line lies in two words
    // at most), and a spare word after the last line.
    std::ptrdiff_t m_stride = 0; // words a line
    std::vector<std::uint64_t> m_bits;
    int m_boxScore = 0;
};

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
