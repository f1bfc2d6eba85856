#pragma once
// A worker thread that one object on the user-interface thread owns: started with a job that
// polls its stop flag, asked to stop, and joined. Its stop flag is cleared at each start, so a
// stop asked for after a job ended never stops the next one. The owner joins on every path
// (the destructor stops and joins too).
//
// A join on the user-interface thread keeps serving the calls that other threads wait for
// there (their sends and calls, not posted messages), since the job may be waiting in one.
//
// No exception leaves the thread: a job that throws is over. What it threw is told in a message
// box on the user-interface thread ("Could not create calculation thread." for a thread the job
// could not start), and the owner's failure handler, on the worker, finishes what the job left.
// Telling and the handler may throw in turn (memory that runs out): the thread still ends alone.
// A failure that finds no memory to be told is left where the user-interface thread looks for it
// while jobs run, and told from there once there is memory (a shortage once, eight failures at
// most), never waited for by the worker or its join. A message that another thread waits for is
// posted through PostDespiteNoMemory.
#include "platform/base/Event.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <thread>

// Calls post until it returns without running out of memory, a millisecond apart, while
// giveUp() answers false; whether it returned. For a job's last message, which another thread
// waits for: the memory that other threads let go of lets it through. post must leave nothing
// behind when it throws.
template <class Post, class GiveUp> bool PostDespiteNoMemory(Post&& post, GiveUp&& giveUp)
{
    for (;;) {
        try {
            post();
            return true;
        } catch (const std::bad_alloc&) {
            if (giveUp())
                return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// One wait on the user-interface thread: serves the calls queued for that thread by other
// threads and returns once done() holds. On another thread it only waits.
void ServeWhileWaiting(const std::function<bool(int nTimeoutMs)>& done);

// What a message box tells of a job that ended by the exception e.
std::string JobFailureText(const std::exception_ptr& e);

class CWorkerThread
{
public:
    using Job = std::function<void(const std::atomic<bool>& bStop)>;
    using Failed = std::function<void()>;

    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Stops and joins an earlier job, clears the stop flag and runs job on a new thread; throws
    // std::system_error when the thread cannot be made. failed runs on the worker after the job
    // ended by an exception.
    void Start(Job job, Failed failed = {});
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
