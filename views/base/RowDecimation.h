#pragma once
// Keeps a repaint of a long run from growing with its rows: the segments of a curve that stay in
// one pixel column fold into the column's extremes, and segments or points that would add no
// pixel to a one-pixel curve are skipped. Both give the picture drawn segment by segment. No Qt
// here.
#include "platform/Types.h"

#include <cstdint>
#include <vector>

// Folds the segments that follow each other down one pixel column (a curve against time where
// rows crowd) into first -> lowest -> highest -> last of the column, or first -> highest ->
// lowest -> last where that takes fewer segments: the same pixels as all of them. Other
// segments pass unchanged. out(a, b) gets the segments to draw, in order.
class ColumnFold
{
public:
    template <class Out> void Add(CPoint a, CPoint b, Out&& out)
    {
        if (a.x == b.x && m_open && a.x == m_x && a.y == m_last) {
            Extend(b.y);
            return;
        }
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

// The pixels of an area that a one-pixel curve has surely set: an end of every segment it drew
// and every point. A line of the platform sets the end that comes first along its major axis
// (the smaller x, or the smaller y where it runs steeper than 45 degrees) and leaves the other
// out, whichever way it is drawn. A segment between two pixels that touch sets only that first
// one, so nothing new where it is set already; nor does a point on a set pixel.
class PixelSieve
{
public:
    explicit PixelSieve(const CRect& area);
    // False when the segment adds no pixel; else true, and the end it sets counts as set.
    bool Adds(CPoint a, CPoint b);
    // False when the point is set already; else true, and it counts as set.
    bool AddsPoint(CPoint p);

private:
    bool Inside(CPoint p) const;
    std::size_t Bit(CPoint p) const;
    bool IsSet(CPoint p) const;
    void Set(CPoint p);

    CRect m_area;
    std::vector<std::uint64_t> m_bits;
};
