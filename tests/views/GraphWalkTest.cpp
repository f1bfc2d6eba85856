#include "views/graph/GraphWalk.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {
using Segments = std::vector<std::pair<int, int>>;

Segments Walk(const RingSpan& ring, double tMin, double tMax, double dt)
{
    Segments s;
    WalkSegments(ring, tMin, tMax, dt, [&](int a, int b) { s.emplace_back(a, b); });
    return s;
}
} // namespace

TEST(GraphWalk, UnwrappedRunFromTheFirstRow)
{
    const double t[] = {0, 1, 2, 3, 4, 0, 0, 0};
    EXPECT_EQ(Walk({t, 8, 0, 5, false}, 0, 10, 0.5),
              (Segments{{0, 0}, {0, 1}, {1, 2}, {2, 3}, {3, 4}}));
    EXPECT_TRUE(Walk({t, 8, 0, 0, false}, 0, 10, 0.5).empty()); // no rows, no curves
}

TEST(GraphWalk, TheTimeWindowPicksTheSegments)
{
    const double t[] = {0, 1, 2, 3, 4, 5};
    // Starts one chronon before tMin at most; stops at the first start at or after tMax.
    EXPECT_EQ(Walk({t, 6, 0, 6, false}, 2.5, 4, 0.5), (Segments{{2, 3}, {3, 4}}));
    EXPECT_EQ(Walk({t, 6, 0, 6, false}, 2.5, 4, 1.5), (Segments{{1, 2}, {2, 3}, {3, 4}}));
}

TEST(GraphWalk, WrappedRingStartsAtTheOldestRow)
{
    const double t[] = {6, 7, 3, 4, 5};
    EXPECT_EQ(Walk({t, 5, 2, 7, true}, 0, 100, 1),
              (Segments{{2, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 1}}));
    // A count past the ring length without the wrapped flag is still bounded by the ring.
    EXPECT_EQ(Walk({t, 5, 2, 70, false}, 0, 100, 1).size(), 5u);
    // Counts of a run past 2^31 rows walk the ring as any other.
    for (const std::int64_t count : {(std::int64_t{1} << 31) + 2, (std::int64_t{1} << 40) + 2})
        for (const bool wrapped : {true, false})
            EXPECT_EQ(Walk({t, 5, 2, count, wrapped}, 0, 100, 1),
                      (Segments{{2, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 1}}));
    EXPECT_TRUE(Walk({t, 5, 9, 3, false}, 0, 100, 1).empty());
}

TEST(GraphWalk, PreviousRowOfALiveSample)
{
    EXPECT_EQ(PreviousLiveRow(0, 100, false), 0);
    EXPECT_EQ(PreviousLiveRow(0, 100, true), 99);
    EXPECT_EQ(PreviousLiveRow(5, 100, false), 4);
    EXPECT_EQ(PreviousLiveRow(100, 100, true), -1);
    EXPECT_EQ(PreviousLiveRow(-1, 100, true), -1);
}

TEST(GraphWalk, ClickedRows)
{
    const double dt = 0.1;
    EXPECT_EQ(ClickedGeneratedRow(1.0 + 2.5 * 2 * dt, 1.0, 2, dt), 2);
    EXPECT_EQ(ClickedGeneratedRow(0.9, 1.0, 2, dt), -1);
    EXPECT_EQ(ClickedGeneratedRow(1.0, 1.0, 1, 0.0), -1);
    EXPECT_EQ(ClickedGeneratedRow(1e300, 0.0, 1, 1e-300), INT_MAX);

    const double times[] = {0.5, 1.0, 1.5, 2.0, 2.5, 3.0};
    EXPECT_EQ(ClickedImportedRow(2.2, times, 6), 3);
    EXPECT_EQ(ClickedImportedRow(0.1, times, 6), 0);
    EXPECT_EQ(ClickedImportedRow(9.0, times, 6), 5);
    EXPECT_EQ(ClickedImportedRow(1.0, times, 0), -1);
}
