#include "views/base/ViewCalc.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <mutex>
#include <utility>
#include <vector>

namespace {
long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

// The user-interface thread's end of the announcements. The worker leaves them in a mailbox
// under a std::mutex and posts an event that carries no data, so the hand-over is one that
// ThreadSanitizer sees (Qt's own queue lock it does not). Events posted to the receiver are
// dropped with it, and it goes only after the worker is joined.
class CViewCalc::Receiver : public QObject
{
public:
    explicit Receiver(CViewCalc& owner) : m_owner(owner) {}

    void Post(bool bDone, unsigned gen)
    {
        auto wake = std::make_unique<QEvent>(kWake);
        bool bWake = false;
        {
            std::lock_guard lock(m_mutex);
            m_mail.push_back({bDone, gen});
            bWake = !std::exchange(m_bWakePending, true);
        }
        if (bWake)
            QCoreApplication::postEvent(this, wake.release());
    }

    bool event(QEvent* e) override
    {
        std::vector<Mail> mail;
        {
            std::lock_guard lock(m_mutex); // taken before the event is read
            if (e->type() != kWake)
                return QObject::event(e);
            m_bWakePending = false;
            mail.swap(m_mail);
        }
        const QPointer<Receiver> alive(this); // a done handler may close the view
        for (const Mail& m : mail)
            if (alive)
                m.bDone ? m_owner.OnDone(m.gen) : m_owner.OnReady(m.gen);
        return true;
    }

    QTimer pace;

private:
    struct Mail
    {
        bool bDone;
        unsigned gen;
    };
    static inline const QEvent::Type kWake = static_cast<QEvent::Type>(QEvent::registerEventType());
    CViewCalc& m_owner;
    std::mutex m_mutex;
    std::vector<Mail> m_mail;
    bool m_bWakePending = false;
};

CViewCalc::CViewCalc(Handlers handlers)
    : m_handlers(std::move(handlers)), m_pReceiver(std::make_unique<Receiver>(*this))
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
        m_pReceiver->Post(false, gen);
}

void CViewCalc::PostDone(unsigned gen)
{
    m_pReceiver->Post(true, gen);
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
