#include "platform/base/Event.h"

#include <chrono>

CEvent::CEvent(bool bInitiallyOwn, bool bManualReset)
    : m_bSet(bInitiallyOwn), m_bManual(bManualReset)
{
}

void CEvent::SetEvent()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = true;
    }
    if (m_bManual)
        m_cv.notify_all();
    else
        m_cv.notify_one();
}

void CEvent::ResetEvent()
{
    std::lock_guard lock(m_mutex);
    m_bSet = false;
}

bool CEvent::Lock(int nTimeoutMs)
{
    // A poll of a clear event takes no lock: a run tests its stop event at every step.
    if (nTimeoutMs == 0 && !m_bSet.load(std::memory_order_acquire))
        return false;
    std::unique_lock lock(m_mutex);
    const auto isSet = [this] { return m_bSet.load(std::memory_order_relaxed); };
    if (nTimeoutMs < 0)
        m_cv.wait(lock, isSet);
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), isSet))
        return false;
    if (!m_bManual)
        m_bSet = false;
    return true;
}

bool CEvent::IsSet() const
{
    return m_bSet.load(std::memory_order_acquire);
}
