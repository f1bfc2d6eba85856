#include "platform/Messages.h"

#include "platform/Application.h"
#include "platform/Wnd.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>

// Hand-overs between threads go through std::mutex and std::condition_variable only; the
// Qt event merely wakes the user-interface thread, it carries no data.
namespace {

struct SendState
{
    bool started = false;
    bool done = false;
    bool cancelled = false;
    LRESULT result = 0;
};

struct Item
{
    HWND hWnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<SendState> send; // set for what another thread waits for: a send, a call
    std::function<void()> call;      // set for RunOnUiThread and PostToUiThread
};

std::mutex g_mutex; // guards everything below
std::condition_variable g_done;
std::map<std::uintptr_t, CWnd*> g_windows;
std::uintptr_t g_nextHandle = 0x100;
std::deque<Item> g_queue;
bool g_wakePending = false;

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

HWND ToHandle(std::uintptr_t id)
{
    return reinterpret_cast<HWND>(id);
}
std::uintptr_t ToId(HWND h)
{
    return reinterpret_cast<std::uintptr_t>(h);
}

CWnd* FindLocked(HWND h)
{
    auto it = g_windows.find(ToId(h));
    return it == g_windows.end() ? nullptr : it->second;
}

void Deliver(Item& item)
{
    if (item.call) {
        item.call();
    } else if (CWnd* pWnd = vx::LookupWindow(item.hWnd)) {
        LRESULT r = pWnd->WindowProc(item.msg, item.wParam, item.lParam);
        if (item.send)
            item.send->result = r;
    }
}

void DeliverOne(Item item)
{
    if (item.send) {
        std::lock_guard lock(g_mutex);
        if (item.send->cancelled)
            return;
        item.send->started = true;
    }
    // A handler that memory ran out in still answers its sender, and the rest of the batch goes.
    vx::RunHandler([&item] { Deliver(item); });
    if (item.send) {
        std::lock_guard lock(g_mutex);
        item.send->done = true;
        g_done.notify_all();
    }
}

class Pump : public QObject
{
public:
    bool event(QEvent* e) override
    {
        // The wake event was made by the posting thread before it released the mutex: taking
        // the mutex first makes that hand-over visible (Qt's own queue lock is not).
        bool isWake = false;
        {
            std::lock_guard lock(g_mutex);
            isWake = e->type() == kWakeEvent;
            if (isWake)
                g_wakePending = false;
        }
        if (!isWake)
            return QObject::event(e);
        vx::DeliverPostedMessages();
        return true;
    }
};

Pump* ThePump()
{
    static Pump* pump = [] {
        auto* p = new Pump;
        if (auto* app = QCoreApplication::instance())
            p->moveToThread(app->thread());
        return p;
    }();
    return pump;
}

void Enqueue(Item item)
{
    Pump* pump = QCoreApplication::instance() ? ThePump() : nullptr;
    auto wakeEvent = std::make_unique<QEvent>(kWakeEvent);
    bool wake = false;
    {
        std::lock_guard lock(g_mutex);
        g_queue.push_back(std::move(item));
        wake = pump && !g_wakePending;
        g_wakePending = g_wakePending || wake;
    }
    if (wake)
        QCoreApplication::postEvent(pump, wakeEvent.release());
}

// Waits for a queued send; gives up while it has not started when the window is gone or stop().
LRESULT WaitForSend(const std::shared_ptr<SendState>& st, HWND hWnd,
                    const std::function<bool()>& stop)
{
    using namespace std::chrono_literals;
    for (;;) {
        {
            std::unique_lock lock(g_mutex);
            g_done.wait_for(lock, 5ms, [&] { return st->done; });
            if (st->done)
                return st->result;
            if (!st->started && !FindLocked(hWnd)) {
                st->cancelled = true;
                return 0;
            }
        }
        if (stop && stop()) {
            std::lock_guard lock(g_mutex);
            if (!st->started) {
                st->cancelled = true;
                return 0;
            }
        }
    }
}

} // namespace

bool IsUiThread()
{
    auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

bool IsWindow(HWND hWnd)
{
    std::lock_guard lock(g_mutex);
    return hWnd && FindLocked(hWnd);
}

BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hWnd))
        return FALSE;
    Enqueue({hWnd, msg, wParam, lParam, nullptr, {}});
    return TRUE;
}

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageUnlessStopped(hWnd, msg, wParam, lParam, {});
}

LRESULT SendMessageUnlessStopped(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                 const std::function<bool()>& stop)
{
    if (IsUiThread()) {
        CWnd* pWnd = vx::LookupWindow(hWnd);
        return pWnd ? pWnd->WindowProc(msg, wParam, lParam) : 0;
    }
    if (!IsWindow(hWnd))
        return 0;
    auto st = std::make_shared<SendState>();
    Enqueue({hWnd, msg, wParam, lParam, st, {}});
    return WaitForSend(st, hWnd, stop);
}

void RunOnUiThread(const std::function<void()>& fn)
{
    if (IsUiThread()) {
        fn();
        return;
    }
    auto st = std::make_shared<SendState>();
    Enqueue({nullptr, 0, 0, 0, st, fn});
    std::unique_lock lock(g_mutex);
    g_done.wait(lock, [&] { return st->done; });
}

void PostToUiThread(std::function<void()> fn)
{
    Enqueue({nullptr, 0, 0, 0, nullptr, std::move(fn)});
}

namespace vx {

HWND RegisterWindow(CWnd* pWnd)
{
    if (QCoreApplication::instance())
        ThePump(); // made on the user-interface thread before any other thread posts
    std::lock_guard lock(g_mutex);
    std::uintptr_t id = g_nextHandle++;
    g_windows[id] = pWnd;
    return ToHandle(id);
}

void RebindWindow(HWND hWnd, CWnd* pWnd)
{
    std::lock_guard lock(g_mutex);
    if (auto it = g_windows.find(ToId(hWnd)); it != g_windows.end())
        it->second = pWnd;
}

void UnregisterWindow(HWND hWnd)
{
    std::lock_guard lock(g_mutex);
    g_windows.erase(ToId(hWnd));
    g_done.notify_all(); // senders waiting for this window give up
}

CWnd* LookupWindow(HWND hWnd)
{
    std::lock_guard lock(g_mutex);
    return FindLocked(hWnd);
}

std::vector<HWND> AllWindows()
{
    std::lock_guard lock(g_mutex);
    std::vector<HWND> handles;
    for (const auto& [id, pWnd] : g_windows)
        handles.push_back(ToHandle(id));
    return handles;
}

void DeliverPostedMessages()
{
    // Only what is queued now: a handler that posts again is served at the next wake.
    std::deque<Item> batch;
    {
        std::lock_guard lock(g_mutex);
        batch.swap(g_queue);
    }
    for (Item& item : batch)
        DeliverOne(std::move(item));
}

void DeliverCrossThreadCalls()
{
    std::deque<Item> waited;
    {
        std::lock_guard lock(g_mutex);
        auto posted = std::stable_partition(g_queue.begin(), g_queue.end(),
                                            [](const Item& i) { return i.send != nullptr; });
        waited.assign(std::make_move_iterator(g_queue.begin()), std::make_move_iterator(posted));
        g_queue.erase(g_queue.begin(), posted);
    }
    for (Item& item : waited)
        DeliverOne(std::move(item));
}

} // namespace vx
