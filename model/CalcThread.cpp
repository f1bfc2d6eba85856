#include "model/CalcThread.h"

#include "model/RunProtocol.h"
#include "platform/Messages.h"

#include <algorithm>

CCalcThread::CCalcThread(const CALCPARAMS& params, HWND hwndNotify, const Events& events)
    : m_hwndNotify(hwndNotify), m_calc(params), m_events(events),
      m_nRingRows(std::max(params.m_nTableRows, 1)), m_nFirstIndex(params.m_nIndex),
      m_nFirstCount(params.m_nCount),
      // A paced run shows each step before it takes the next. A view draws a row from the row
      // before it, so that one stays too.
      m_nMaxAhead(params.m_kind == SystemKind::Newtonian && params.m_nStepDelay > 0
                      ? 1
                      : std::clamp<RowCount>(m_nRingRows - 1, 1, kMaxAhead)),
      m_nStored(params.m_nCount), m_nDrawn(params.m_nCount), m_nHandedOut(params.m_nCount),
      m_nKnownStored(params.m_nCount)
{
}

CCalcThread::~CCalcThread()
{
    Join();
}

void CCalcThread::Start()
{
    // The run polls the document's stop event, not the worker's flag.
    m_worker.Start(
        [this](const std::atomic<bool>&) {
            if (g_calcThreadStartHook)
                g_calcThreadStartHook();
            m_calc.Run(m_sink);
            m_events.pThreadEnd->SetEvent();
        },
        [this] {
            // A run that failed ends with the rows it stored, as a stopped one does.
            if (!DoneReached()) {
                const RowCount stored = m_nStored.load();
                m_sink.Done(RingIndex(stored), stored);
            }
            m_events.pThreadEnd->SetEvent();
        });
}

void CCalcThread::Join()
{
    m_worker.Join();
}

bool CCalcThread::CSink::Stopping() const
{
    return m_owner.m_events.pStop->IsSet();
}

bool CCalcThread::CSink::ShouldStop()
{
    return m_owner.m_events.pStop->Lock(0);
}

void CCalcThread::CSink::RowStored(int /*nIndex*/, RowCount nCount)
{
    // Sequentially consistent with NextRow: either the view reads this count or the flag is
    // clear here and a message goes out.
    m_owner.m_nStored.store(nCount + 1);
    if (!m_owner.m_bPosted.exchange(true))
        PostMessage(m_owner.m_hwndNotify, WM_CALC_SAMPLE, 0, 0);
    WaitForDrawing(nCount + 1);
}

// Returns once the drawing is close enough behind, or at once when the run is stopping or the
// view is gone.
void CCalcThread::CSink::WaitForDrawing(RowCount nStored)
{
    CCalcThread& o = m_owner;
    while (nStored - o.m_nDrawn.load(std::memory_order_acquire) >= o.m_nMaxAhead) {
        if (Stopping() || !IsWindow(o.m_hwndNotify))
            return;
        o.m_drawnMore.Lock(1);
    }
}

bool CCalcThread::NextRow(int& nIndex, RowCount& nCount)
{
    if (m_nHandedOut > m_nDrawn.load(std::memory_order_relaxed)) {
        m_nDrawn.store(m_nHandedOut, std::memory_order_release);
        m_drawnMore.SetEvent();
    }
    if (m_nHandedOut == m_nKnownStored) {
        m_bPosted.store(false);
        m_nKnownStored = m_nStored.load();
        if (m_nHandedOut == m_nKnownStored)
            return false;
    }
    nCount = m_nHandedOut++;
    nIndex = RingIndex(nCount);
    return true;
}

int CCalcThread::RingIndex(RowCount nCount) const
{
    return static_cast<int>((m_nFirstIndex + (nCount - m_nFirstCount)) % m_nRingRows);
}

void CCalcThread::CSink::ProgressStep()
{
    SendMessageUnlessStopped(m_owner.m_hwndProgress, WM_PROGRESS_STEP, 0, 0,
                             [this] { return Stopping(); });
}

void CCalcThread::CSink::Done(int nIndex, RowCount nCount)
{
    m_owner.m_nDoneIndex = nIndex;
    m_owner.m_nDoneCount = nCount;
    m_owner.m_done.SetEvent();
    // The document ends the run on this message alone: it waits out a shortage of memory,
    // unless the document has gone on without it.
    const CEvent& ack = *m_owner.m_events.pAck;
    PostDespiteNoMemory(
        [&] {
            PostMessage(m_owner.m_hwndNotify, WM_CALC_DONE, static_cast<WPARAM>(nIndex), nCount);
        },
        [&ack] { return ack.IsSet(); });
    m_owner.m_events.pAck->Lock();
}

std::unique_ptr<CCalcThread> MakeCalcThread(const CALCPARAMS& params, HWND hwndNotify,
                                            const CCalcThread::Events& events)
{
    switch (params.m_kind) {
    case SystemKind::Newtonian:
        return std::make_unique<CSys1Calc>(params, hwndNotify, events);
    case SystemKind::OneVariable:
        return std::make_unique<CSys1NNCalc>(params, hwndNotify, events);
    case SystemKind::TwoVariable:
        return std::make_unique<CSys2Calc>(params, hwndNotify, events);
    default:
        return std::make_unique<CSys3Calc>(params, hwndNotify, events);
    }
}
