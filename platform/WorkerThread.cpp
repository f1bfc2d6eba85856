#include "platform/WorkerThread.h"

#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

std::string JobFailureText(const std::exception_ptr& e)
{
    try {
        std::rethrow_exception(e);
    } catch (const std::system_error&) {
        return "Could not create calculation thread.";
    } catch (const std::bad_alloc&) {
        return kNoMemoryText;
    } catch (const std::exception& x) {
        return x.what();
    } catch (...) {
    }
    return "The calculation ended by an unknown error.";
}

namespace {
// Failures whose telling found no memory, left in room taken in advance (nothing can be
// allocated where they are left) for the user-interface thread to tell once there is memory.
// A shortage is told once, however many jobs it ended; past eight waiting, the rest go untold.
class CUntoldFailures
{
public:
    void Leave(const std::exception_ptr& e) noexcept
    {
        std::lock_guard lock(m_mutex);
        if (IsNoMemory(e) && std::exchange(m_bNoMemoryLeft, true))
            return;
        if (m_nLeft < m_left.size())
            m_left[m_nLeft++] = e;
        m_bAny = true;
    }
    bool Any() const noexcept { return m_bAny; }
    std::exception_ptr Oldest() noexcept
    {
        std::lock_guard lock(m_mutex);
        return m_nLeft ? m_left[0] : nullptr;
    }
    void DropOldest() noexcept
    {
        std::lock_guard lock(m_mutex);
        if (m_nLeft == 0)
            return;
        if (IsNoMemory(m_left[0]))
            m_bNoMemoryLeft = false;
        std::move(m_left.begin() + 1, m_left.begin() + m_nLeft, m_left.begin());
        m_left[--m_nLeft] = nullptr;
        m_bAny = m_nLeft > 0;
    }

private:
    static bool IsNoMemory(const std::exception_ptr& e) noexcept
    {
        try {
            std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            return true;
        } catch (...) {
        }
        return false;
    }
    std::mutex m_mutex;
    std::array<std::exception_ptr, 8> m_left;
    std::size_t m_nLeft = 0;
    bool m_bNoMemoryLeft = false;
    std::atomic<bool> m_bAny{false};
};

CUntoldFailures g_untold;
std::atomic<int> g_jobsRunning{0};

// On the user-interface thread: tells what was left, oldest first, as long as there is memory
// for its text. The box waits for the user, and the watch may come round meanwhile.
void TellUntold()
{
    static bool telling = false;
    if (telling)
        return;
    telling = true;
    while (const std::exception_ptr e = g_untold.Oldest()) {
        std::string text;
        try {
            text = JobFailureText(e);
        } catch (const std::bad_alloc&) {
            break; // at the watch's next round
        }
        g_untold.DropOldest();
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    telling = false;
}

// A watch on the user-interface thread for failures left untold: it goes round while a job
// runs or a failure waits, and stops when neither does. Without memory for it, the next start
// tries again.
void WatchForUntold() noexcept
try {
    if (!IsUiThread() || !QCoreApplication::instance())
        return;
    static QTimer* watch = [] {
        auto* t = new QTimer;
        t->setInterval(50);
        QObject::connect(t, &QTimer::timeout, [t] {
            const bool noJob = g_jobsRunning.load() == 0; // before the look: a job leaves first
            TellUntold();
            if (noJob && !g_untold.Any())
                t->stop();
        });
        return t;
    }();
    if (!watch->isActive())
        watch->start();
} catch (const std::bad_alloc&) {
}

// Told on the user-interface thread; the worker does not wait for the answer. Without memory
// to post it, the failure is left for the watch, so that neither the worker nor its owner's
// join waits on it.
void TellFailure(const std::exception_ptr& e) noexcept
{
    try {
        PostToUiThread(
            [text = JobFailureText(e)] { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); });
    } catch (const std::bad_alloc&) {
        g_untold.Leave(e);
    }
}

// After a job that threw: tells it and lets the owner finish. A clean-up that throws in turn
// (memory that runs out, a file that fails) may not end the program.
void AfterFailure(const std::exception_ptr& e, const CWorkerThread::Failed& failed) noexcept
{
    TellFailure(e);
    try {
        if (failed)
            failed();
    } catch (...) {
    }
}
} // namespace

void ServeWhileWaiting(const std::function<bool(int nTimeoutMs)>& done)
{
    if (!IsUiThread()) {
        done(CEvent::INFINITE);
        return;
    }
    while (!done(5))
        vx::DeliverCrossThreadCalls();
}

CWorkerThread::~CWorkerThread()
{
    Stop();
}

void CWorkerThread::Start(Job job, Failed failed)
{
    Stop();
    m_bStop.store(false);
    m_ended.ResetEvent();
    WatchForUntold();
    ++g_jobsRunning;
    try {
        m_thread = std::thread([this, job = std::move(job), failed = std::move(failed)] {
            try {
                job(m_bStop);
            } catch (...) {
                AfterFailure(std::current_exception(), failed);
            }
            --g_jobsRunning;
            m_ended.SetEvent();
        });
    } catch (...) {
        --g_jobsRunning;
        m_ended.SetEvent();
        throw;
    }
}

void CWorkerThread::Join()
{
    if (!m_thread.joinable())
        return;
    ServeWhileWaiting([this](int ms) { return m_ended.Lock(ms); });
    m_thread.join();
}
