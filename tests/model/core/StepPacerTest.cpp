// The pace of an animated run: steps fall due at whole delays from the start, however long the
// work between them takes, up to a hold-up that restarts the pacing.
#include "model/core/StepPacer.h"

#include <gtest/gtest.h>

namespace {
using Clock = CStepPacer::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;
} // namespace

TEST(StepPacer, DueTimesDoNotDrift)
{
    const Clock::time_point start{};
    struct Case
    {
        int delayMs;
        microseconds workPerStep; // spent after each pause before the next call
    };
    const Case cases[] = {{1, microseconds(0)},
                          {1, microseconds(300)},
                          {1, microseconds(999)},
                          {5, microseconds(4200)},
                          {100, microseconds(100)}};
    for (const Case& c : cases) {
        CStepPacer pacer(c.delayMs, start);
        Clock::time_point now = start;
        Clock::time_point due{};
        for (int step = 1; step <= 10000; ++step) {
            due = pacer.Next(now);
            now = std::max(now, due) + c.workPerStep; // sleeps until due, then works
        }
        EXPECT_EQ(due - start, milliseconds(10000 * c.delayMs)) << c.delayMs;
    }
}

TEST(StepPacer, AHoldUpRestartsThePacing)
{
    const Clock::time_point start{};
    CStepPacer pacer(10, start);
    EXPECT_EQ(pacer.Next(start), start + milliseconds(10));
    // Late by less than the limit: the next steps come sooner to make up for it.
    EXPECT_EQ(pacer.Next(start + milliseconds(500)), start + milliseconds(20));
    // Held up by a modal box for five seconds: paced again from then.
    const Clock::time_point late = start + milliseconds(5000);
    EXPECT_EQ(pacer.Next(late), late);
    EXPECT_EQ(pacer.Next(late), late + milliseconds(10));
}
