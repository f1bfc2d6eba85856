#include "views/rows/CurveWalk.h"

#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

RingSpan RunSpan(const CModelCore& s, const TableRing& r)
{
    return {ColumnData(s.m_arrTable[kSlotT], s.m_nTableRows), s.m_nTableRows, r.index, r.count,
            r.wrapped};
}

// Eight values a step, as four pairs each with extremes of its own (the steps then wait on no
// other): a value that is not finite makes x - x NaN, which stops the steps before the eight
// that hold it; the values left go one by one.
FiniteSpan FiniteExtremes(const double* v, int n)
{
    int i = 0;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
#if defined(__SSE2__)
    __m128d l[4], h[4];
    for (int k = 0; k < 4; ++k) {
        l[k] = _mm_set1_pd(lo);
        h[k] = _mm_set1_pd(hi);
    }
    for (; i + 8 <= n; i += 8) {
        __m128d a[4], bad = _mm_setzero_pd();
        for (int k = 0; k < 4; ++k) {
            a[k] = _mm_loadu_pd(v + i + 2 * k);
            bad = _mm_or_pd(bad, _mm_sub_pd(a[k], a[k]));
        }
        if (_mm_movemask_pd(_mm_cmpunord_pd(bad, bad)))
            break;
        for (int k = 0; k < 4; ++k) {
            l[k] = _mm_min_pd(a[k], l[k]);
            h[k] = _mm_max_pd(a[k], h[k]);
        }
    }
    const __m128d l2 = _mm_min_pd(_mm_min_pd(l[0], l[1]), _mm_min_pd(l[2], l[3]));
    const __m128d h2 = _mm_max_pd(_mm_max_pd(h[0], h[1]), _mm_max_pd(h[2], h[3]));
    lo = std::min(_mm_cvtsd_f64(l2), _mm_cvtsd_f64(_mm_unpackhi_pd(l2, l2)));
    hi = std::max(_mm_cvtsd_f64(h2), _mm_cvtsd_f64(_mm_unpackhi_pd(h2, h2)));
#endif
    for (; i < n && std::isfinite(v[i]); ++i) {
        lo = v[i] < lo ? v[i] : lo;
        hi = v[i] > hi ? v[i] : hi;
    }
    return {i, lo, hi};
}
