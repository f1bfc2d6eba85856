#include "views/base/ViewCalc.h"

#include "platform/Messages.h"

#include <QTimer>

#include <utility>

namespace {
long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

CViewCalc::CViewCalc(Handlers handlers)
    : m_handlers(std::move(handlers)), m_pPace(std::make_unique<QTimer>()),
      m_pAlive(std::make_shared<CViewCalc*>(this))
{
    m_pPace->setSingleShot(true);
    QObject::connect(m_pPace.get(), &QTimer::timeout, m_pPace.get(), [this] { DeliverReady(); });
}

CViewCalc::~CViewCalc()
{
    Stop(); // m_pAlive goes with it: what the job queued finds no calculation
}

void CViewCalc::Start(Work work)
{
    Stop();
    const unsigned gen = ++m_nGen;
    m_nProgress.store(0);
    m_bReadyPosted.store(false);
    m_worker.Start(
        [this, gen, work = std::move(work)](const std::atomic<bool>& bStop) {
            if (g_viewCalcStartHook)
                g_viewCalcStartHook();
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
    m_pPace->stop();
    m_bRunning = false;
}

void CViewCalc::PostReady(unsigned gen)
{
    if (!m_bReadyPosted.exchange(true))
        Post(false, gen);
}

// The view ends the job on this announcement alone: it waits out a shortage of memory, unless
// the view stops the job.
void CViewCalc::PostDone(unsigned gen)
{
    PostDespiteNoMemory([&] { Post(true, gen); }, [this] { return m_worker.StopRequested(); });
}

// Through the platform's message queue, whose hand-over ThreadSanitizer sees; the token ends
// with the calculation, so an announcement queued before that is dropped.
void CViewCalc::Post(bool bDone, unsigned gen)
{
    PostToUiThread([alive = std::weak_ptr(m_pAlive), bDone, gen] {
        if (const std::shared_ptr<CViewCalc*> calc = alive.lock())
            bDone ? (*calc)->OnDone(gen) : (*calc)->OnReady(gen);
    });
}

void CViewCalc::OnReady(unsigned gen)
{
    if (gen != m_nGen)
        return;
    // Cleared before the results are read, so an announcement after this reading comes again.
    m_bReadyPosted.store(false);
    if (m_pPace->isActive())
        return;
    const long long delay = m_pacer.DelayAt(NowMs());
    if (delay > 0)
        m_pPace->start(static_cast<int>(delay));
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
    m_pPace->stop();
    m_bRunning = false;
    if (m_handlers.done)
        m_handlers.done();
}
