#pragma once
// The lock between a run that writes the table columns and the readers of the columns on
// other threads (a repaint, a walk of the table, a click that looks up a row).
//
// The run holds the lock while it steps and stores rows. Readers announce themselves before
// they wait; the run sees that at its next step, publishes the ring position of the rows it
// has written and lets go until the reader has the lock. The run also lets go around every
// report that may wait for another thread (a sent row, a progress step, the run's end, a
// pause), so the lock is never held while a window message is sent. A reader must not wait
// for the calculation thread while it holds the lock. The run holds it through a CTableHold,
// which lets go on every way out of the run.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

// Rows a run has stored: they grow with run time, past 2^31 on a long run, so they are counted
// in 64 bits. A ring position (below the table's rows) stays an int.
using RowCount = std::int64_t;

class CTableGuard
{
public:
    // Reader side: the lock, taken at the run's next step.
    std::unique_lock<std::mutex> LockForReading()
    {
        m_nWaiting.fetch_add(1);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_nWaiting.fetch_sub(1);
        return lock;
    }

    // Writer side: whether a reader waits (cheap, polled at every step), taking the lock
    // after waiting readers, and letting go with the ring position of the rows written.
    bool ReaderWaiting() const { return m_nWaiting.load(std::memory_order_relaxed) > 0; }
    void Hold()
    {
        while (m_nWaiting.load() > 0)
            std::this_thread::yield();
        m_mutex.lock();
    }
    void LetGo(int nIndex, RowCount nCount)
    {
        Publish(nIndex, nCount);
        m_mutex.unlock();
    }

    // The ring position of a run, written and read with the lock held: the next row to
    // write and the rows stored.
    void Publish(int nIndex, RowCount nCount)
    {
        m_nIndex = nIndex;
        m_nCount = nCount;
    }
    int Index() const { return m_nIndex; }
    RowCount Count() const { return m_nCount; }

private:
    std::mutex m_mutex;
    std::atomic<int> m_nWaiting{0};
    int m_nIndex = 0;
    RowCount m_nCount = 0;
};

// A run's hold of the lock. Lets go when it ends still holding, whatever ends the run (memory
// that runs out while the equations compile or a row is handed over): the readers would
// otherwise wait for ever. The ring position published last then stays.
class CTableHold
{
public:
    explicit CTableHold(CTableGuard* pGuard) : m_pGuard(pGuard) {}
    ~CTableHold()
    {
        if (m_bHeld)
            m_pGuard->LetGo(m_pGuard->Index(), m_pGuard->Count());
    }
    CTableHold(const CTableHold&) = delete;
    CTableHold& operator=(const CTableHold&) = delete;

    // Both do nothing without a lock; LetGo nothing when not held.
    void Hold()
    {
        if (m_pGuard && !m_bHeld) {
            m_pGuard->Hold();
            m_bHeld = true;
        }
    }
    void LetGo(int nIndex, RowCount nCount)
    {
        if (m_bHeld) {
            m_bHeld = false;
            m_pGuard->LetGo(nIndex, nCount);
        }
    }
    bool ReaderWaiting() const { return m_bHeld && m_pGuard->ReaderWaiting(); }

private:
    CTableGuard* const m_pGuard;
    bool m_bHeld = false;
};
