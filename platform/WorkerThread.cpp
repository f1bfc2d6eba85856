#include "platform/WorkerThread.h"

#include "platform/Messages.h"

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

void CWorkerThread::Start(Job job)
{
    Stop();
    m_bStop.store(false);
    m_ended.ResetEvent();
    try {
        m_thread = std::thread([this, job = std::move(job)] {
            job(m_bStop);
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
