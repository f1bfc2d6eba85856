// The framework layer's costs that live plotting pays per stored row: a message sent from a
// worker thread and handled on the user-interface thread, and a short line drawn through a
// client DC on a window's backing image. Runs on the offscreen platform.
#include "platform/Dc.h"
#include "platform/Messages.h"
#include "platform/Wnd.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

namespace {

constexpr UINT WM_BENCH = WM_APP + 77;

class CEchoWnd : public CWnd
{
public:
    CEchoWnd()
    {
        MapMessage(WM_BENCH, &CEchoWnd::OnBench);
        Create(nullptr, "bench", 0, CRect(0, 0, 800, 600), nullptr, 0);
    }
    LRESULT OnBench(WPARAM w, LPARAM) { return static_cast<LRESULT>(w); }
};

// A worker sends one message per iteration; the benchmark's thread runs the event loop.
void BM_CrossThreadSend(benchmark::State& state)
{
    CEchoWnd wnd;
    const HWND h = wnd.m_hWnd;
    std::atomic<bool> done{false};
    std::atomic<long> sent{0};
    std::thread worker([&] {
        while (!done.load()) {
            SendMessageUnlessStopped(h, WM_BENCH, 1, 0, [&] { return done.load(); });
            sent.fetch_add(1);
        }
    });
    for (auto _ : state) {
        const long target = sent.load() + 1;
        while (sent.load() < target)
            QCoreApplication::processEvents();
    }
    done = true;
    QCoreApplication::processEvents();
    worker.join();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CrossThreadSend)->UseRealTime();

void BM_ClientDcLine(benchmark::State& state)
{
    CWnd wnd;
    wnd.Create(nullptr, "bench", 0, CRect(0, 0, 800, 600), nullptr, 0);
    int i = 0;
    for (auto _ : state) {
        CClientDC dc(&wnd);
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* old = dc.SelectObject(&pen);
        dc.MoveTo(i % 800, 100);
        dc.LineTo((i + 1) % 800, 140);
        dc.SelectObject(old);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClientDcLine);

} // namespace
