#pragma once
// The pixels of a repaint's rows, mapped a block of consecutive ring rows at a time: a loop
// over a block has no branches, so the divisions of neighbouring rows run side by side and a
// row's pixel waits for nothing. The walk of a block visits the segments of WalkSegments, and
// may leave out those whose ends share their pixels (a line draws nothing there), so a crowded
// curve takes no guess a row on whether it moved. No Qt here.
#include "views/rows/PlotGeometry.h"
#include "views/rows/RingWalk.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class CRowPixels
{
public:
    static constexpr int kBlockRows = 512;
    // The horizontal column and the vertical ones (null: a column no block maps) of a table of
    // the given rows; blockRows rows mapped at once (1 for rows a stride apart).
    CRowPixels(const C2DPlotGeometry& g, int rows, const double* x, std::vector<const double*> ys,
               int blockRows = kBlockRows);

    // The slot of row b, the row a before it in the walk one slot lower: a == b - 1, or any row
    // where b starts a block. Pixels as WorldToPixelX/Y give them, kNoPixel where a value is
    // not finite.
    int Reach(int a, int b)
    {
        if (!Holds(a, b))
            Fill(a, b, std::min(m_blockRows, m_rows - b));
        return b - m_first + 1;
    }
    int X(int slot) const { return m_px[slot]; }
    // Column k's pixels by slot; null for a column no block maps.
    const int* Y(int k) const { return m_ys[k] ? &m_py[k * Stride()] : nullptr; }

    // Calls visit(a, b, age, slot) for the segments WalkSegments(ring, tMin, tMax, dt) gives,
    // in its order, each with its row b's slot in the block that holds it. With skipStill, a
    // segment whose ends have the same pixels in every mapped column is left out. visit returns
    // the rows after b it took along (at most ColumnRun(slot), where AllVisited()).
    template <class Visit>
    void Walk(const RingSpan& ring, double tMin, double tMax, double dt, bool skipStill,
              Visit visit);
    // During a walk: every row of the block is visited, one after another.
    bool AllVisited() const { return m_allVisited; }
    // The rows after slot's row in the block that stay on its horizontal pixel.
    int ColumnRun(int slot) const
    {
        const int last = m_end - m_first, x = m_px[slot];
        int s = slot;
        while (s < last && m_px[s + 1] == x)
            ++s;
        return s - slot;
    }

private:
    bool Holds(int a, int b) const
    {
        return b > m_first ? b < m_end && a == b - 1 : b == m_first && a == m_before;
    }
    void Fill(int a, int b, int count);
    // The slots of the block's segments a walk visits, in m_slots; stop is set where a row at
    // or past tMax ends the walk.
    int Select(const double* t, double tFrom, double tMax, bool skipStill, bool& stop);
    int Stride() const { return m_blockRows + 1; }

    const C2DPlotGeometry& m_g;
    int m_rows, m_blockRows;
    const double* m_x;
    std::vector<const double*> m_ys;
    std::vector<int> m_px, m_py, m_slots;
    std::vector<std::uint8_t> m_moves;
    int m_first = 0, m_end = 0, m_before = -1; // rows m_first..m_end - 1 after row m_before
    bool m_allVisited = false;
};

template <class Visit>
void CRowPixels::Walk(const RingSpan& ring, double tMin, double tMax, double dt, bool skipStill,
                      Visit visit)
{
    if (ring.rows <= 0 || ring.t == nullptr || ring.index < 0 || ring.index >= ring.rows)
        return;
    const int n = StoredRows(ring);
    int prev = ring.index, first = ring.index;
    for (int i = 0; i < n;) {
        const int count = std::min({m_blockRows, n - i, ring.rows - first});
        Fill(prev, first, count);
        bool stop = false;
        const int kept = Select(ring.t, tMin - dt, tMax, skipStill, stop);
        m_allVisited = kept == count;
        for (int k = 0; k < kept; ++k) {
            const int slot = m_slots[k], b = first + slot - 1;
            k += visit(slot == 1 ? prev : b - 1, b, i + slot - 1, slot);
        }
        if (stop)
            return;
        i += count;
        prev = first + count - 1;
        first = prev + 1 == ring.rows ? 0 : prev + 1;
    }
}
