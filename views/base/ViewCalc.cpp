#include "views/base/ViewCalc.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace {
long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

// The user-interface thread's end of the announcements. Calls queued to it are dropped with
// it, and it goes only after the worker is joined, so no announcement outlives the calculation.
class CViewCalc::Receiver : public QObject
{
public:
    QTimer pace;
};

CViewCalc::CViewCalc(Handlers handlers)
    : m_handlers(std::move(handlers)), m_pReceiver(std::make_unique<Receiver>())
{
    m_pReceiver->pace.setSingleShot(true);
    QObject::connect(&m_pReceiver->pace, &QTimer::timeout, m_pReceiver.get(),
                     [this] { DeliverReady(); });
}

CViewCalc::~CViewCalc()
{
    Stop();
}

void CViewCalc::Start(Work work)
{
    Stop();
    const unsigned gen = ++m_nGen;
    m_nProgress.store(0);
    m_bReadyPosted.store(false);
    m_worker.Start(
        [this, gen, work = std::move(work)](const std::atomic<bool>& bStop) {
            Job job(*this, bStop, gen);
            work(job);
            PostDone(gen);
        },
        [this, gen] { PostDone(gen); }); // a job that failed ends as one that returned
    m_bRunning = true;
}

void CViewCalc::Stop()
{
    // Before the join: what the job queued is dropped even when the join serves a call that
    // runs a nested event loop.
    ++m_nGen;
    m_worker.Stop();
    m_pReceiver->pace.stop();
    m_bRunning = false;
}

void CViewCalc::PostReady(unsigned gen)
{
    if (!m_bReadyPosted.exchange(true))
        QMetaObject::invokeMethod(
            m_pReceiver.get(), [this, gen] { OnReady(gen); }, Qt::QueuedConnection);
}

void CViewCalc::PostDone(unsigned gen)
{
    QMetaObject::invokeMethod(
        m_pReceiver.get(), [this, gen] { OnDone(gen); }, Qt::QueuedConnection);
}

void CViewCalc::OnReady(unsigned gen)
{
    if (gen != m_nGen)
        return;
    // Cleared before the results are read, so an announcement after this reading comes again.
    m_bReadyPosted.store(false);
    if (m_pReceiver->pace.isActive())
        return;
    const long long delay = m_pacer.DelayAt(NowMs());
    if (delay > 0)
        m_pReceiver->pace.start(static_cast<int>(delay));
    else
        DeliverReady();
}

void CViewCalc::DeliverReady()
{
    m_pacer.DeliveredAt(NowMs());
    if (m_handlers.ready)
        m_handlers.ready();
}

void CViewCalc::OnDone(unsigned gen)
{
    if (gen != m_nGen)
        return;
    m_worker.Join();
    m_pReceiver->pace.stop();
    m_bRunning = false;
    if (m_handlers.done)
        m_handlers.done();
}
