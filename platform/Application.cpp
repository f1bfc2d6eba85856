#include "platform/Application.h"

#include "platform/Dialog.h"
#include "platform/Messages.h"
#include "platform/base/MemoryReserve.h"
#include "platform/base/NoMemory.h"

#include <QDialog>
#include <QEvent>

#include <atomic>
#include <cstdio>

namespace {
const QEvent::Type kTellEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

std::atomic<bool> g_tellPending{false}; // memory ran out where no window of ours could end
std::atomic<bool> g_tellPosted{false};
std::atomic<QWidget*> g_failedIn{nullptr}; // the modal window shown then, in Qt's own loop
QObject* g_teller = nullptr;

void PostTell() noexcept;

// Tells the user that memory ran out, once the handler it ran out in has returned: a dialog in
// Qt's own loop that it ran out in is closed as cancelled first, and the user told after its
// loop has ended.
class CTeller : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kTellEvent)
            return QObject::event(e);
        g_tellPosted = false;
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // Cleared whatever shows: a window gone since may leave its address to another.
        QWidget* const failedIn = g_failedIn.exchange(nullptr);
        if (shown && shown == failedIn) {
            shown->reject();
            PostTell();
        } else if (g_tellPending.exchange(false)) {
            TellNoMemory();
        }
        return true;
    }
};

void PostTell() noexcept
{
    if (!g_teller) {
        std::fprintf(stderr, "%s\n", kNoMemoryText);
        return;
    }
    if (g_tellPosted.exchange(true))
        return;
    GiveBackMemoryReserve();
    try {
        QCoreApplication::postEvent(g_teller, new QEvent(kTellEvent));
    } catch (const std::bad_alloc&) {
        g_tellPosted = false; // posted at the next event
    }
}
} // namespace

CApplication::CApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    g_teller = new CTeller;
    g_teller->setParent(this);
}

bool CApplication::notify(QObject* receiver, QEvent* e)
{
    if (g_tellPending && !g_tellPosted)
        PostTell();
    try {
        return QApplication::notify(receiver, e);
    } catch (const std::bad_alloc&) {
        vx::MemoryRanOutInHandler();
        return false;
    }
}

void vx::MemoryRanOutInHandler() noexcept
{
    // A box that says memory ran out stays: it tells of this shortage too.
    if (TellingNoMemory() || (IsUiThread() && EndModalLoopForNoMemory()))
        return;
    if (IsUiThread())
        g_failedIn = QApplication::activeModalWidget();
    g_tellPending = true;
    PostTell();
}
