#include "model/CalcThread.h"

#include "model/RunProtocol.h"
#include "platform/Messages.h"

CCalcThread::CCalcThread(const CALCPARAMS& params, HWND hwndNotify, const Events& events)
    : m_hwndNotify(hwndNotify), m_calc(params), m_events(events)
{
}

CCalcThread::~CCalcThread()
{
    Join();
}

void CCalcThread::Start()
{
    m_thread = std::thread([this] {
        if (g_calcThreadStartHook)
            g_calcThreadStartHook();
        m_calc.Run(m_sink);
        m_events.pThreadEnd->SetEvent();
        m_ended.SetEvent();
    });
}

void CCalcThread::Join()
{
    if (!m_thread.joinable())
        return;
    ServeWhileWaiting([this](int ms) { return m_ended.Lock(ms); });
    m_thread.join();
}

void ServeWhileWaiting(const std::function<bool(int nTimeoutMs)>& done)
{
    if (!IsUiThread()) {
        done(CEvent::INFINITE);
        return;
    }
    while (!done(5))
        vx::DeliverCrossThreadCalls();
}

bool CCalcThread::CSink::Stopping() const
{
    return m_owner.m_events.pStop->IsSet();
}

bool CCalcThread::CSink::ShouldStop()
{
    return m_owner.m_events.pStop->Lock(0);
}

void CCalcThread::CSink::RowStored(int nIndex, RowCount nCount)
{
    // Returns once every open view has drawn the row, or at once when the run is stopping or
    // the view is gone.
    SendMessageUnlessStopped(m_owner.m_hwndNotify, WM_CALC_SAMPLE, static_cast<WPARAM>(nIndex),
                             nCount, [this] { return Stopping(); });
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
    PostMessage(m_owner.m_hwndNotify, WM_CALC_DONE, static_cast<WPARAM>(nIndex), nCount);
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
