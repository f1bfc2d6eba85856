#include "views/rows/RowPixels.h"

#include "views/rows/VectorState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Whether some of t[0, n) lies before from or at or after to, or is NaN.
bool AnyOutside(const double* t, int n, double from, double to)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128d f = _mm_set1_pd(from), e = _mm_set1_pd(to);
    __m128d out = _mm_setzero_pd();
    for (; i + 2 <= n; i += 2) {
        const __m128d v = _mm_loadu_pd(t + i);
        out = _mm_or_pd(out, _mm_or_pd(_mm_cmpnge_pd(v, f), _mm_cmpge_pd(v, e)));
    }
    if (_mm_movemask_pd(out))
        return true;
#endif
    for (; i < n; ++i)
        if (!(t[i] >= from) || t[i] >= to)
            return true;
    return false;
}
} // namespace

CRowPixels::CRowPixels(const C2DPlotGeometry& g, int rows, const double* x,
                       std::vector<const double*> ys, int blockRows)
    : m_g(g), m_rows(rows), m_blockRows(std::max(blockRows, 1)), m_x(x), m_ys(std::move(ys)),
      m_px(Stride()), m_py(m_ys.size() * Stride()), m_slots(Stride()), m_moves(Stride())
{
}

void CRowPixels::Fill(int a, int b, int count)
{
    ClearUpperVectorState(); // the rows drawn since the last block may have painted
    m_first = b;
    m_end = b + count;
    m_before = a;
    m_g.WorldToPixelsX(m_x + a, 1, &m_px[0]);
    m_g.WorldToPixelsX(m_x + b, count, &m_px[1]);
    for (std::size_t k = 0; k < m_ys.size(); ++k) {
        if (!m_ys[k])
            continue;
        int* py = &m_py[k * Stride()];
        m_g.WorldToPixelsY(m_ys[k] + a, 1, py);
        m_g.WorldToPixelsY(m_ys[k] + b, count, py + 1);
    }
}

int CRowPixels::Select(const double* t, double tFrom, double tMax, bool skipStill, bool& stop)
{
    const int count = m_end - m_first;
    std::uint8_t* moves = m_moves.data();
    if (skipStill) {
        const int* px = m_px.data();
        for (int s = 1; s <= count; ++s)
            moves[s] = px[s] != px[s - 1];
        for (std::size_t k = 0; k < m_ys.size(); ++k)
            if (const int* py = Y(static_cast<int>(k)))
                for (int s = 1; s <= count; ++s)
                    moves[s] |= py[s] != py[s - 1];
    }
    // The time of each segment's first row: the row before the block, then the block's own.
    const auto timeOf = [&](int s) { return t[s == 1 ? m_before : m_first + s - 2]; };
    // Most blocks lie in the window whole: one pass without a branch a row tells.
    const bool outside =
        AnyOutside(&t[m_before], 1, tFrom, tMax) || AnyOutside(t + m_first, count - 1, tFrom, tMax);
    int kept = 0;
    if (!outside) {
        for (int s = 1; s <= count; ++s) {
            m_slots[kept] = s;
            kept += !skipStill || moves[s];
        }
        return kept;
    }
    for (int s = 1; s <= count; ++s) {
        const double tp = timeOf(s);
        const bool in = tp >= tFrom;
        if (in && tp >= tMax) {
            stop = true;
            break;
        }
        m_slots[kept] = s;
        kept += in && (!skipStill || moves[s]);
    }
    return kept;
}
