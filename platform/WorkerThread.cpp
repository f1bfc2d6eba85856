#include "platform/WorkerThread.h"

#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"

#include <new>
#include <system_error>

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
// Told on the user-interface thread; the worker does not wait for the answer.
void TellFailure(const std::exception_ptr& e)
{
    int tries = 0;
    PostDespiteNoMemory(
        [&e] {
            PostToUiThread(
                [text = JobFailureText(e)] { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); });
        },
        [&tries] { return ++tries >= 1000; });
}

// After a job that threw: tells it and lets the owner finish. Neither may end the program by
// throwing in turn (memory that runs out while telling, a clean-up that fails); what cannot be
// told then stays untold.
void AfterFailure(const std::exception_ptr& e, const CWorkerThread::Failed& failed) noexcept
{
    try {
        TellFailure(e);
    } catch (...) {
    }
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
    try {
        m_thread = std::thread([this, job = std::move(job), failed = std::move(failed)] {
            try {
                job(m_bStop);
            } catch (...) {
                AfterFailure(std::current_exception(), failed);
            }
            m_ended.SetEvent();
        });
    } catch (...) {
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
