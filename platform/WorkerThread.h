#pragma once
// A worker thread that one object on the user-interface thread owns: started with a job that
// polls its stop flag, asked to stop, and joined. Its stop flag is cleared at each start, so a
// stop asked for after a job ended never stops the next one. The owner joins on every path
// (the destructor stops and joins too).
//
// A join on the user-interface thread keeps serving the calls that other threads wait for
// there (their sends and calls, not posted messages), since the job may be waiting in one.
#include "platform/base/Event.h"

#include <atomic>
#include <functional>
#include <thread>

// One wait on the user-interface thread: serves the calls queued for that thread by other
// threads and returns once done() holds. On another thread it only waits.
void ServeWhileWaiting(const std::function<bool(int nTimeoutMs)>& done);

class CWorkerThread
{
public:
    using Job = std::function<void(const std::atomic<bool>& bStop)>;

    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Stops and joins an earlier job, clears the stop flag and runs job on a new thread; throws
    // std::system_error when the thread cannot be made.
    void Start(Job job);
    // Asks the job to stop at its next poll; returns at once.
    void RequestStop() { m_bStop.store(true); }
    // Waits for the job's end (at once when none was started).
    void Join();
    void Stop()
    {
        RequestStop();
        Join();
    }
    // Started and not yet joined.
    bool Joinable() const { return m_thread.joinable(); }
    // The job has returned (or none was started).
    bool Ended() const { return m_ended.IsSet(); }
    bool StopRequested() const { return m_bStop.load(); }

private:
    std::atomic<bool> m_bStop{false};
    CEvent m_ended{true, true};
    std::thread m_thread;
};
