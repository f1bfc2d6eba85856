// The worker thread that an object owns: stop flag cleared at each start, joined on every path,
// and a join on the user-interface thread that answers the worker's sends meanwhile.
#include "platform/WorkerThread.h"
#include "Fixtures.h"
#include "common/AllocationLimit.h"
#include "common/MessageRecorder.h"
#include "common/PumpUntil.h"
#include "platform/Messages.h"
#include "platform/Wnd.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

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

TEST(WorkerThread, AJobThatThrowsIsToldAndEndsItsThreadOnly)
{
    struct Case
    {
        const char* name;
        void (*fail)();
        const char* told;
    };
    const Case cases[] = {
        {"a thread it could not start",
         [] {
             throw std::system_error(
                 std::make_error_code(std::errc::resource_unavailable_try_again));
         },
         "Could not create calculation thread."},
        {"no memory", [] { throw std::bad_alloc(); }, "Not enough memory to go on."},
        {"its own report", [] { throw std::runtime_error("The file is gone."); },
         "The file is gone."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder boxes;
        std::atomic<int> failed{0};
        CWorkerThread t;
        t.Start([&c](const std::atomic<bool>&) { c.fail(); }, [&failed] { ++failed; });
        t.Join();
        EXPECT_TRUE(t.Ended());
        EXPECT_EQ(failed, 1) << "the owner finishes what the job left";
        EXPECT_TRUE(boxes.messages.empty()) << "not told inside the join";
        vx::DeliverPostedMessages(); // told through the program's own queue, as a posted message
        EXPECT_EQ(boxes.messages, std::vector<std::string>{c.told});
        ASSERT_TRUE(PumpUntil([&] { return !boxes.messages.empty(); }));
        EXPECT_EQ(boxes.messages, std::vector<std::string>{c.told});
        std::atomic<bool> ran{false};
        t.Start([&ran](const std::atomic<bool>&) { ran = true; });
        t.Join();
        EXPECT_TRUE(ran) << "the next job runs";
    }
}

// Telling a failure and the owner's clean-up may throw in turn: the thread still ends alone,
// what can be told is told, and the next job runs. A failure that finds no memory to be told,
// for longer than any worker could wait, is told once memory is back, once for the shortage.
TEST(WorkerThread, AFailureWhoseTellingOrCleanUpThrowsEndsItsThreadOnly)
{
    struct Case
    {
        const char* name;
        std::size_t workerMemory; // most bytes a worker may take at once
        void (*cleanUp)();
        int jobs; // failing in the same shortage
        std::vector<std::string> told;
    };
    const std::size_t kAny = std::numeric_limits<std::size_t>::max();
    const std::vector<std::string> kNoMemory{"Not enough memory to go on."};
    const Case cases[] = {
        {"a clean-up that fails", kAny, [] { throw std::runtime_error("The file is in use."); }, 1,
         kNoMemory},
        {"a clean-up out of memory", kAny, [] { throw std::bad_alloc(); }, 1, kNoMemory},
        {"no memory left to tell it", 0, [] {}, 1, kNoMemory},
        {"two jobs with no memory left to tell it", 0, [] {}, 2, kNoMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.workerMemory != kAny && !AllocationLimit::Works())
            continue; // allocations cannot be limited in this build
        MessageRecorder boxes;
        std::atomic<int> cleanUps{0};
        CWorkerThread threads[2];
        {
            // The shortage lasts until every job has ended: nothing waits on the telling.
            AllocationLimit limit(c.workerMemory, AllocationLimit::OthersOnly);
            for (int i = 0; i < c.jobs; ++i)
                threads[i].Start([](const std::atomic<bool>&) { throw std::bad_alloc(); },
                                 [&] {
                                     ++cleanUps;
                                     c.cleanUp();
                                 });
            for (CWorkerThread& t : threads)
                t.Join();
        }
        EXPECT_TRUE(threads[0].Ended());
        EXPECT_EQ(cleanUps, c.jobs);
        ASSERT_TRUE(PumpUntil([&] { return boxes.messages.size() >= c.told.size(); }));
        QTest::qWait(200); // the watch goes round a few times: nothing is told twice
        EXPECT_EQ(boxes.messages, c.told);
        std::atomic<bool> ran{false};
        threads[0].Start([&ran](const std::atomic<bool>&) { ran = true; });
        threads[0].Join();
        EXPECT_TRUE(ran) << "the next job runs";
    }
}
