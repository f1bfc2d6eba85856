#pragma once
// CViewCalc: a calculation that a view owns (the basins scan), on a worker thread of its own,
// apart from the model's run: it takes none of the run's messages, which the run follower binds.
//
// The view starts a job; the job polls its stop flag, counts its progress in an atomic counter
// and announces results with Ready(), which never waits for the user-interface thread. The
// announcements are coalesced and paced: the view's ready handler runs on the user-interface
// thread at most about thirty times a second, and its done handler once per job, after the
// worker is joined and never after a later Start or the view's Stop. Every path joins: Start
// joins the job before it, Stop and the destructor join the running one.
//
// What the worker touches: what the job captures (the view hands it copies, or results it
// hands back under its own rule, such as CHandOver), the stop flag and the progress counter.
// A view that reuses a running job's buffers for the next job calls Stop before it clears them.
#include "platform/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class QTimer;

// When a paced announcement may run: at once when the last one ran at least the interval ago,
// else after the rest of it. Times in milliseconds of a steady clock.
class CReadyPacer
{
public:
    static constexpr long long kIntervalMs = 33;
    // Milliseconds to wait before delivering at time now (0: deliver now).
    long long DelayAt(long long now) const
    {
        return m_bAny && now - m_last < kIntervalMs ? kIntervalMs - (now - m_last) : 0;
    }
    void DeliveredAt(long long now)
    {
        m_last = now;
        m_bAny = true;
    }

private:
    long long m_last = 0;
    bool m_bAny = false;
};

class CViewCalc
{
public:
    // What the job sees of its calculation.
    class Job
    {
    public:
        bool ShouldStop() const { return m_bStop.load(std::memory_order_relaxed); }
        const std::atomic<bool>& StopFlag() const { return m_bStop; }
        void Step(long long n = 1) { m_owner.m_nProgress.fetch_add(n, std::memory_order_relaxed); }
        // Results are ready to be shown; returns at once.
        void Ready() { m_owner.PostReady(m_nGen); }

    private:
        friend class CViewCalc;
        Job(CViewCalc& owner, const std::atomic<bool>& bStop, unsigned gen)
            : m_owner(owner), m_bStop(bStop), m_nGen(gen)
        {
        }
        CViewCalc& m_owner;
        const std::atomic<bool>& m_bStop;
        const unsigned m_nGen;
    };
    using Work = std::function<void(Job&)>;

    struct Handlers
    {
        std::function<void()> ready; // results announced (paced)
        std::function<void()> done;  // the job ended and was joined
    };

    explicit CViewCalc(Handlers handlers);
    ~CViewCalc();
    CViewCalc(const CViewCalc&) = delete;
    CViewCalc& operator=(const CViewCalc&) = delete;

    // Stops and joins a running job (whose handlers then never run), clears the stop flag and
    // the progress, and runs work on the worker. Throws std::system_error when the thread cannot
    // be made (nothing runs then).
    void Start(Work work);
    // Asks the job to stop; its done handler follows as usual.
    void RequestStop() { m_worker.RequestStop(); }
    // Stops and joins the job; no handler of it runs afterwards.
    void Stop();
    // A job was started and its done handler has not run yet (nor was it stopped by Stop).
    bool Running() const { return m_bRunning; }
    long long Progress() const { return m_nProgress.load(std::memory_order_relaxed); }

private:
    void PostReady(unsigned gen);
    void PostDone(unsigned gen);
    void Post(bool bDone, unsigned gen);
    void OnReady(unsigned gen);
    void DeliverReady();
    void OnDone(unsigned gen);

    Handlers m_handlers;
    std::unique_ptr<QTimer> m_pPace; // holds back a ready announcement (CReadyPacer)
    // The user-interface thread's token of this calculation, which queued announcements hold.
    std::shared_ptr<CViewCalc*> m_pAlive;
    std::atomic<long long> m_nProgress{0};
    std::atomic<bool> m_bReadyPosted{false};
    unsigned m_nGen = 0; // user-interface thread: the job whose announcements count
    bool m_bRunning = false;
    CReadyPacer m_pacer;
    CWorkerThread m_worker; // last: joined before the rest goes
};

// Tests: called on a view calculation's thread before its job.
inline std::function<void()> g_viewCalcStartHook;

// Pieces of results handed from a worker to the user-interface thread: the worker adds, the
// user-interface thread takes everything added so far.
template <class T> class CHandOver
{
public:
    void Add(const T& item)
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(item);
    }
    std::vector<T> TakeAll()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_items, {});
    }

private:
    std::mutex m_mutex;
    std::vector<T> m_items;
};
