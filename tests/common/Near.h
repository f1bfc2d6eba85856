#pragma once
// Numbers that agree within a tolerance, for the tests of every folder:
//     EXPECT_TRUE(Near(actual, expected, 1e-12));
// The tolerance is relative to the larger magnitude, and absolute below 1, so a value near
// zero is not held to a tolerance that shrinks with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

inline ::testing::AssertionResult Near(double actual, double expected, double tolerance)
{
    const double scale = std::max({1.0, std::fabs(actual), std::fabs(expected)});
    const double diff = std::fabs(actual - expected);
    if (diff <= tolerance * scale) // false for NaN
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not within " << tolerance * scale
                                         << " of " << expected << " (off by " << diff << ")";
}
