#include "platform/base/Event.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

// An auto-reset event lets one wait through; a manual-reset one stays set until reset.
TEST(Event, AutoResetLetsOneWaitThroughManualResetStaysSet)
{
    CEvent ev, manual(true, true);
    EXPECT_FALSE(ev.Lock(0));
    ev.SetEvent();
    EXPECT_TRUE(ev.Lock(0));
    EXPECT_FALSE(ev.Lock(0)); // consumed
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));
    EXPECT_FALSE(manual.Lock(5)); // a timed wait on a clear event gives up
}

TEST(Event, WakesWaiterOnAnotherThread)
{
    CEvent go, done;
    std::atomic<int> seen{0};
    std::thread t([&] {
        go.Lock();
        seen = 1;
        done.SetEvent();
    });
    go.SetEvent();
    EXPECT_TRUE(done.Lock());
    EXPECT_EQ(seen.load(), 1);
    t.join();
}

TEST(Event, ManualResetReleasesAllWaiters)
{
    CEvent gate(false, true);
    std::atomic<int> through{0};
    std::thread a([&] {
        gate.Lock();
        ++through;
    });
    std::thread b([&] {
        gate.Lock();
        ++through;
    });
    gate.SetEvent();
    a.join();
    b.join();
    EXPECT_EQ(through.load(), 2);
}

} // namespace
