// A crowded pixel column takes its rows' extremes in one pass that stops at the first value
// that is not finite: the count and extremes equal those of the values before it, wherever it
// stands among the steps of several values and the values left over.
#include "views/rows/CurveWalk.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

TEST(CurveWalk, ColumnExtremesStopAtTheFirstValueNotFinite)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const int lengths[] = {0, 1, 3, 7, 8, 9, 16, 23, 511};
    const double stops[] = {nan, inf, -inf};
    for (const int n : lengths) {
        // Where the value stands: first, in the steps, at their edges, last; n: nowhere.
        std::vector<int> places{0, 1, n / 2, n - 1, 7, 8, 15, 16, n};
        for (const double stop : stops) {
            for (const int place : places) {
                if (place < 0 || place > n)
                    continue;
                // Extremes in any lane and in the rest; values after the stop beyond them all.
                std::vector<double> v(n);
                for (int i = 0; i < n; ++i)
                    v[i] = i > place ? (i % 2 ? 1e300 : -1e300)
                                     : std::sin(1.7 * i) * std::pow(10.0, i % 5);
                if (place < n)
                    v[place] = stop;
                const FiniteSpan e = FiniteExtremes(v.data(), n);
                EXPECT_EQ(e.n, place) << n << " " << stop << " " << place;
                if (place == 0)
                    continue;
                EXPECT_EQ(e.lo, *std::min_element(v.begin(), v.begin() + place))
                    << n << " " << stop << " " << place;
                EXPECT_EQ(e.hi, *std::max_element(v.begin(), v.begin() + place))
                    << n << " " << stop << " " << place;
            }
        }
    }
}
