#include "model/core/LimitBlocks.h"
#include "model/core/ModelSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

LimitBlock Block(int b)
{
    return static_cast<LimitBlock>(b);
}

// Every axis of every block, as read from s.
std::vector<AxisLimits> AllAxes(const CModelSettings& s)
{
    std::vector<AxisLimits> all;
    for (int b = 0; b < kLimitBlocks; ++b)
        for (int a = 0; a < LimitMembers(Block(b)).axes; ++a)
            all.push_back(ReadAxis(s, Block(b), a));
    return all;
}

// A fresh record holds ordered windows inside their bounds: a block that took a minimum for a
// maximum, or a working limit for a bound, shows here.
TEST(LimitBlocks, FreshWindowsAreOrderedInsideTheirBounds)
{
    const CModelSettings s;
    for (int b = 0; b < kLimitBlocks; ++b)
        for (int a = 0; a < LimitMembers(Block(b)).axes; ++a) {
            const AxisLimits l = ReadAxis(s, Block(b), a);
            EXPECT_LT(l.min, l.max) << b << "/" << a;
            EXPECT_LE(l.absMin, l.min) << b << "/" << a;
            EXPECT_GE(l.absMax, l.max) << b << "/" << a;
        }
}

// Writing one axis changes that axis only: no two axes, and no two blocks, share a member.
TEST(LimitBlocks, EachAxisOwnsItsMembers)
{
    CModelSettings s;
    for (int b = 0; b < kLimitBlocks; ++b) {
        for (int a = 0; a < LimitMembers(Block(b)).axes; ++a) {
            std::vector<AxisLimits> expected = AllAxes(s);
            const double k = 100.0 * (b + 1) + 10.0 * a;
            const AxisLimits written{k + 1, k + 2, k + 3, k + 4};
            WriteAxis(s, Block(b), a, written);
            const AxisLimits read = ReadAxis(s, Block(b), a);
            // The time axis starts at a fixed 0; its end is the run time.
            const bool fixedStart = LimitMembers(Block(b)).axis[a].absMin == nullptr;
            EXPECT_EQ(read, (AxisLimits{k + 1, k + 2, fixedStart ? 0.0 : k + 3, k + 4}))
                << b << "/" << a;
            std::size_t i = 0;
            for (int b2 = 0; b2 < kLimitBlocks; ++b2)
                for (int a2 = 0; a2 < LimitMembers(Block(b2)).axes; ++a2, ++i) {
                    if (b2 == b && a2 == a)
                        continue;
                    EXPECT_EQ(ReadAxis(s, Block(b2), a2), expected[i])
                        << b << "/" << a << " wrote into " << b2 << "/" << a2;
                }
        }
    }
}

TEST(LimitBlocks, TwoAxesOfAPlotReadAndWriteTogether)
{
    CModelSettings s;
    const PlotLimits g{{-1, 2, -3, 4}, {-5, 6, -7, 8}};
    WriteLimits(s, LimitBlock::VectorField, g);
    EXPECT_EQ(ReadLimits(s, LimitBlock::VectorField), g);
    EXPECT_EQ(s.m_dVFAbsMax2, 8.0); // the vertical axis is the second
    const PlotLimits graph = ReadLimits(s, LimitBlock::Graph);
    EXPECT_EQ(graph.x.absMax, s.m_dRunTimeLimit);
    EXPECT_EQ(graph.y.absMin, s.m_dGraphVAbsMin);
}

} // namespace
