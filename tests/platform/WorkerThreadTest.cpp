// The worker thread that an object owns: stop flag cleared at each start, joined on every path,
// and a join on the user-interface thread that answers the worker's sends meanwhile.
#include "platform/WorkerThread.h"
#include "Fixtures.h"
#include "platform/Messages.h"
#include "platform/Wnd.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {
// Runs until stopped, counting its ends.
CWorkerThread::Job UntilStopped(std::atomic<int>& ends)
{
    return [&ends](const std::atomic<bool>& stop) {
        while (!stop)
            std::this_thread::yield();
        ++ends;
    };
}
} // namespace

TEST(WorkerThread, EveryPathJoinsAndEachStartClearsTheStop)
{
    std::atomic<int> ends{0};
    {
        CWorkerThread t;
        EXPECT_TRUE(t.Ended()) << "nothing started";
        t.Join();
        t.Start(UntilStopped(ends));
        t.Start(UntilStopped(ends)); // a new start stops and joins the first
        EXPECT_EQ(ends, 1);
        EXPECT_FALSE(t.StopRequested());
        t.Stop();
        EXPECT_EQ(ends, 2);
        EXPECT_TRUE(t.Ended());

        t.RequestStop(); // after the end: the next job must not see it
        std::atomic<bool> saw{true};
        t.Start([&saw](const std::atomic<bool>& stop) { saw = stop.load(); });
        t.Join();
        EXPECT_FALSE(saw);
        t.Start(UntilStopped(ends));
    } // the destructor stops and joins
    EXPECT_EQ(ends, 3);
}

TEST(WorkerThread, AJoinAnswersTheWorkersSends)
{
    CPingWnd w;
    const HWND h = w.m_hWnd;
    std::atomic<LRESULT> answer{0};
    CWorkerThread t;
    t.Start([h, &answer](const std::atomic<bool>&) { answer = SendMessage(h, WM_T_PING, 21, 21); });
    t.Join();
    EXPECT_EQ(answer, 42);
}
