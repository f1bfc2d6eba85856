#include "platform/base/Event.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

TEST(Event, AutoResetLetsOneWaitThrough)
{
    CEvent ev;
    EXPECT_FALSE(ev.Lock(0));
    ev.SetEvent();
    EXPECT_TRUE(ev.Lock(0));
    EXPECT_FALSE(ev.Lock(0)); // consumed
}

TEST(Event, ManualResetStaysSetUntilReset)
{
    CEvent ev(true, true);
    EXPECT_TRUE(ev.Lock(0));
    EXPECT_TRUE(ev.Lock(0));
    ev.ResetEvent();
    EXPECT_FALSE(ev.Lock(0));
    EXPECT_FALSE(ev.Lock(5)); // a timed wait on a clear event gives up
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
