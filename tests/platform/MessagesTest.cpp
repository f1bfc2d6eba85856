// Posted and sent window messages across threads.
#include "Fixtures.h"
#include "common/MessageRecorder.h"
#include "common/PumpUntil.h"

#include "platform/Messages.h"
#include "platform/Wnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

namespace {

// Whether the flag is set within the guard for real work; the user-interface thread serves
// nothing meanwhile.
bool Became(const std::atomic<bool>& flag)
{
    const auto end = std::chrono::steady_clock::now() + kWorkGuard;
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(Messages, PostIsDeliveredLaterInOrder)
{
    CPingWnd w;
    EXPECT_TRUE(PostMessage(w.m_hWnd, WM_T_PING, 1));
    EXPECT_TRUE(w.PostMessage(WM_T_PING, 2));
    EXPECT_TRUE(w.m_calls.empty());
    EXPECT_TRUE(PumpUntil([&] { return w.m_calls.size() == 2; }));
    EXPECT_EQ(w.m_calls, (std::vector<int>{1, 2}));
}

// A wait for a worker serves the worker's send but leaves posted messages (commands) queued,
// in their order, for the event loop.
TEST(Messages, CrossThreadCallsAreServedAheadOfPostedMessages)
{
    CPingWnd w;
    EXPECT_TRUE(w.PostMessage(WM_T_PING, 1));
    std::atomic<bool> sent{false};
    std::thread worker([&] {
        EXPECT_EQ(SendMessage(w.m_hWnd, WM_T_PING, 2, 0), LRESULT(2));
        sent = true;
    });
    EXPECT_TRUE(w.PostMessage(WM_T_PING, 3));
    for (int i = 0; i < 20000 && !sent; ++i) {
        vx::DeliverCrossThreadCalls();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_EQ(w.m_calls, (std::vector<int>{2}));
    vx::DeliverPostedMessages();
    EXPECT_EQ(w.m_calls, (std::vector<int>{2, 1, 3}));
}

// A call a worker posts (a message box telling of its failure) is no cross-thread call: a wait
// for that worker leaves it queued for the event loop, as it does a posted message.
TEST(Messages, AWaitForAWorkerLeavesTheCallsItPostedQueued)
{
    CPingWnd w;
    std::atomic<bool> sent{false};
    std::thread worker([&] {
        PostToUiThread([&w] { w.m_calls.push_back(1); });
        EXPECT_EQ(SendMessage(w.m_hWnd, WM_T_PING, 2, 0), LRESULT(2));
        sent = true;
    });
    for (int i = 0; i < 20000 && !sent; ++i) {
        vx::DeliverCrossThreadCalls();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_EQ(w.m_calls, (std::vector<int>{2}));
    vx::DeliverPostedMessages();
    EXPECT_EQ(w.m_calls, (std::vector<int>{2, 1}));
}

// A handler that memory runs out in still answers the worker that waits for it, the messages
// after it are delivered, and the user is told once.
TEST(Messages, AHandlerThatMemoryRanOutInStillAnswersAndTheRestAreDelivered)
{
    CPingWnd w;
    MessageRecorder boxes;
    PostToUiThread([] { throw std::bad_alloc(); });
    EXPECT_TRUE(w.PostMessage(WM_T_PING, 1));
    std::atomic<bool> answered{false};
    std::thread worker([&] {
        RunOnUiThread([] { throw std::bad_alloc(); });
        answered = true;
    });
    for (int i = 0; i < 20000 && !answered; ++i) {
        vx::DeliverCrossThreadCalls();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_TRUE(PumpUntil([&] { return !w.m_calls.empty() && !boxes.messages.empty(); }));
    EXPECT_EQ(w.m_calls, std::vector<int>{1});
    EXPECT_EQ(boxes.messages, std::vector<std::string>{"Not enough memory to go on."});
}

TEST(Messages, PostToDestroyedWindowIsDropped)
{
    auto* w = new CPingWnd;
    const HWND h = w->m_hWnd;
    EXPECT_TRUE(PostMessage(h, WM_T_PING, 7)); // queued while alive
    delete w;                                  // gone before its turn
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(PostMessage(h, WM_T_PING, 8));
    EXPECT_EQ(SendMessage(h, WM_T_PING, 9), 0);
    vx::DeliverPostedMessages(); // the queued message finds no window: no crash
    EXPECT_EQ(CWnd::FromHandle(h), nullptr);
}

TEST(Messages, SendOnUiThreadRunsAtOnce)
{
    CPingWnd w;
    EXPECT_EQ(SendMessage(w.m_hWnd, WM_T_PING, 3, 4), 7);
    EXPECT_EQ(w.m_calls, (std::vector<int>{3}));
}

// A worker's send, and a call it runs on the user-interface thread, wait for that thread.
TEST(Messages, CrossThreadSendAndCallWaitForTheUserInterfaceThread)
{
    CPingWnd w;
    std::atomic<bool> returned{false}, calledOnUi{false};
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        result = SendMessage(w.m_hWnd, WM_T_PING, 5, 6);
        RunOnUiThread([&] { calledOnUi = IsUiThread(); });
        returned = true;
    });
    // The worker cannot return before the user-interface thread handles the message.
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_FALSE(returned.load());
    }
    EXPECT_TRUE(w.m_calls.empty());
    ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(result.load(), 11);
    EXPECT_EQ(w.m_calls, (std::vector<int>{5}));
    EXPECT_TRUE(w.m_bOnUiThread);
    EXPECT_TRUE(calledOnUi.load());
}

TEST(Messages, CrossThreadSendGivesUpWhenStopped)
{
    CPingWnd w;
    std::atomic<bool> stop{false}, waiting{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        SendMessageUnlessStopped(w.m_hWnd, WM_T_PING, 1, 0, [&] {
            waiting = true;
            return stop.load();
        });
        returned = true;
    });
    EXPECT_TRUE(Became(waiting));
    EXPECT_FALSE(returned.load());
    stop = true; // the user-interface thread never pumps: only the stop frees the worker
    worker.join();
    EXPECT_TRUE(returned.load());
    vx::DeliverPostedMessages();
    EXPECT_TRUE(w.m_calls.empty()); // the abandoned message is not delivered later
}

TEST(Messages, CrossThreadSendReturnsWhenWindowGoes)
{
    auto* w = new CPingWnd;
    const HWND h = w->m_hWnd;
    std::atomic<bool> returned{false};
    std::atomic<LRESULT> result{-1};
    std::atomic<bool> waiting{false};
    std::thread worker([&] {
        // SendMessage, with a stop that is asked only while the send waits and never stops it.
        result = SendMessageUnlessStopped(h, WM_T_PING, 1, 0, [&] {
            waiting = true;
            return false;
        });
        returned = true;
    });
    EXPECT_TRUE(Became(waiting));
    delete w; // the window closes while the worker waits
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(result.load(), 0);
    vx::DeliverPostedMessages();
}

} // namespace
