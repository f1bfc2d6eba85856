#pragma once
// The worker thread of a model's run. It owns a CTrajectoryCalc made from the document's
// parameter block and runs it on a CWorkerThread; the document owns this object and joins the
// thread on every path that ends a run.
//
// What the thread touches: its own CTrajectoryCalc (with the run's own parser copy), the
// document's table columns (written in place under the document's table lock, which it never
// holds while it sends; nobody resizes them while the thread lives),
// the three CEvents it is given, and window handles. It reaches windows only by messages:
//   WM_CALC_SAMPLE  posted to the notify view when rows were stored (Concurrent Plot) and none
//                   is on its way; the view draws every row from the last drawn up to the last
//                   stored (NextRow). The thread runs ahead of the drawing by at most
//                   kMaxAhead rows and less than a ring, so neither a row nor the one before it
//                   is overwritten before it is drawn; a paced run waits for each row. The wait
//                   gives up at once when the stop event is set or the view is gone;
//   WM_PROGRESS_STEP sent to the progress window about thirty times, under the same rule;
//   WM_CALC_DONE    posted to the notify view at the end, after which the thread waits for
//                   the acknowledge event. The final index and count, the state and the
//                   extents are stable from Done until the acknowledge (DoneReached tells).
#include "model/core/TrajectoryCalc.h"
#include "platform/Types.h"
#include "platform/WorkerThread.h"
#include "platform/base/Event.h"

#include <atomic>
#include <functional>
#include <memory>

class CCalcThread
{
public:
    struct Events
    {
        CEvent* pAck;       // auto-reset: set by the document once it has read the results
        CEvent* pStop;      // auto-reset: polled before every step
        CEvent* pThreadEnd; // auto-reset: set when the thread function ends
    };

    CCalcThread(const CALCPARAMS& params, HWND hwndNotify, const Events& events);
    virtual ~CCalcThread(); // joins
    CCalcThread(const CCalcThread&) = delete;
    CCalcThread& operator=(const CCalcThread&) = delete;

    // Starts the thread; throws std::system_error when it cannot.
    void Start();
    // Waits for the thread's end. On the user-interface thread the wait keeps serving the
    // calls queued for that thread, since the run may be waiting in one (a message box).
    void Join();

    // Written by Run before Start.
    HWND m_hwndProgress = nullptr;
    const HWND m_hwndNotify;

    // Whether the run has reported its end (the thread then waits for the acknowledge).
    bool DoneReached() const { return m_done.IsSet(); }
    // Waits up to nTimeoutMs for the run to report its end; true when it has. Once the stop
    // event is set the thread needs nothing from the caller's thread to get there, except an
    // answer to a message box that it may be showing (see ServeWhileWaiting).
    bool WaitDone(int nTimeoutMs) { return m_done.Lock(nTimeoutMs); }
    int DoneIndex() const { return m_nDoneIndex; }
    RowCount DoneCount() const { return m_nDoneCount; }
    // The run's results; read them only once DoneReached and before the acknowledge.
    const CTrajectoryCalc& Calc() const { return m_calc; }

    // User-interface thread, from the notify view's WM_CALC_SAMPLE: the next stored row not yet
    // handed out (its ring index and the rows before it), in order; false when there is none.
    // Asking again tells the thread that the row handed out last has been drawn.
    bool NextRow(int& nIndex, RowCount& nCount);

    // Rows the thread may store ahead of the drawing: enough to keep both threads busy, few
    // enough that a Stop leaves little to draw.
    static constexpr RowCount kMaxAhead = 32;

private:
    // The run's reports. A member of its own, so that the thread's calls never go through this
    // object while a derived part of it is being destroyed.
    class CSink : public ICalcSink
    {
    public:
        explicit CSink(CCalcThread& owner) : m_owner(owner) {}
        bool ShouldStop() override;
        void RowStored(int nIndex, RowCount nCount) override;
        void ProgressStep() override;
        void Done(int nIndex, RowCount nCount) override;

    private:
        bool Stopping() const;
        void WaitForDrawing(RowCount nStored);
        CCalcThread& m_owner;
    };

    // The ring index of the run's row that has nCount rows before it.
    int RingIndex(RowCount nCount) const;

    CSink m_sink{*this};
    CTrajectoryCalc m_calc;
    Events m_events;
    CEvent m_done{false, true};
    int m_nDoneIndex = 0; // both written before m_done is set
    RowCount m_nDoneCount = 0;
    CWorkerThread m_worker;

    // The live hand-over. The thread publishes the rows stored and posts a message unless one
    // is on its way; the view hands the rows out in order and publishes the rows drawn.
    const int m_nRingRows;
    const int m_nFirstIndex; // the ring index of the run's first row
    const RowCount m_nFirstCount;
    const RowCount m_nMaxAhead;
    std::atomic<RowCount> m_nStored;
    std::atomic<RowCount> m_nDrawn;
    std::atomic<bool> m_bPosted{false};
    CEvent m_drawnMore{false, false};
    RowCount m_nHandedOut; // user-interface thread only
    RowCount m_nKnownStored;
};

// The thread classes of the four kinds: one design, named by kind.
class CSys1Calc final : public CCalcThread
{
    using CCalcThread::CCalcThread;
};
class CSys1NNCalc final : public CCalcThread
{
    using CCalcThread::CCalcThread;
};
class CSys2Calc final : public CCalcThread
{
    using CCalcThread::CCalcThread;
};
class CSys3Calc final : public CCalcThread
{
    using CCalcThread::CCalcThread;
};

// Tests: called on a run's thread before the run (for example a message box).
inline std::function<void()> g_calcThreadStartHook;

// The thread object of the parameter block's kind.
std::unique_ptr<CCalcThread> MakeCalcThread(const CALCPARAMS& params, HWND hwndNotify,
                                            const CCalcThread::Events& events);
