#pragma once
// An event object for hand-overs between threads: set, reset, and wait with an optional
// time-out. An auto-reset event lets exactly one waiter through per Set and then clears itself;
// a manual-reset event stays set until Reset.
#include <atomic>
#include <condition_variable>
#include <mutex>

class CEvent
{
public:
    static constexpr int INFINITE = -1;

    explicit CEvent(bool bInitiallyOwn = false, bool bManualReset = false);
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // Waits until the event is set or nTimeoutMs milliseconds have passed (0 only tests,
    // INFINITE waits for ever). Returns true when the event was set; an auto-reset event is
    // cleared by a successful wait.
    bool Lock(int nTimeoutMs = INFINITE);
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::atomic<bool> m_bSet; // written under the mutex, read without it by polls
    const bool m_bManual;
};
