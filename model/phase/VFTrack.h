#pragma once
// One polyline of a vector-field view in world coordinates: a track, a nullcline or the two
// branches of a saddle manifold, with the pen it is drawn in (copied when it is filled).
#include "platform/base/WinTypes.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <new>
#include <vector>

enum class BranchKind : int
{
    Curve,    // a track or a nullcline
    Stable,   // a stable-manifold record
    Unstable, // an unstable-manifold record
};

struct CVFTrack
{
    std::vector<double> m_arrX, m_arrY;
    // One entry per point: -1 where a branch starts (no line from the point before), else 0.
    // Empty for a track, which is one unbroken polyline.
    std::vector<int> m_arrBreak;
    COLORREF m_clrLine = 0;
    int m_nLineStyle = 0; // 0 solid, 1 dash, 2 dot
    int m_nLineWidth = 1;
    BranchKind m_nBranchKind = BranchKind::Curve;

    CVFTrack() = default;
    CVFTrack(double x, double y) : m_arrX{x}, m_arrY{y} {}

    // Asked before the points grow to hold n; false refuses, as a failed allocation does (the
    // tests' way to run out of memory). Empty: every growth is tried.
    static inline std::function<bool(std::size_t n)> s_growthHook;

    int Count() const { return static_cast<int>(m_arrX.size()); }
    bool Empty() const { return m_arrX.empty(); }
    // Throws std::bad_alloc when the points cannot grow; the calculations that fill a curve
    // catch it.
    void Add(double x, double y)
    {
        Grow(m_arrX.size() + 1);
        m_arrX.push_back(x);
        m_arrY.push_back(y);
    }
    // A point with its break entry.
    void Add(double x, double y, bool startsBranch)
    {
        Add(x, y);
        m_arrBreak.push_back(startsBranch ? -1 : 0);
    }
    // No points left, their memory given back.
    void Free()
    {
        std::vector<double>().swap(m_arrX);
        std::vector<double>().swap(m_arrY);
        std::vector<int>().swap(m_arrBreak);
    }
    bool StartsBranch(int i) const
    {
        return i < static_cast<int>(m_arrBreak.size()) && m_arrBreak[i] == -1;
    }

private:
    // Both coordinates grow together, so that a failure leaves them of one length.
    void Grow(std::size_t n)
    {
        if (n <= m_arrX.capacity() && n <= m_arrY.capacity())
            return;
        if (s_growthHook && !s_growthHook(n))
            throw std::bad_alloc();
        const std::size_t capacity = std::max(n, 2 * m_arrX.capacity());
        m_arrX.reserve(capacity);
        m_arrY.reserve(capacity);
    }
};
