// Graph vs Time under the offscreen platform: a run drawn live row by row (Concurrent Plot)
// beside the same run without a view, and the full repaint of a long run.
#include "bench/ViewSink.h"
#include "views/ModelAppHarness.h"
#include "views/ViewHarness.h"
#include "views/orbit/ProjectedOrbitView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
constexpr int kRows = 100000;

// The default two-variable model run long enough to store kRows rows.
void LongRun(CGraphTestDoc& d, bool concurrent)
{
    d.m_nTableRows = kRows;
    d.m_dRunTimeLimit = (kRows - 1) * d.m_dChronon;
    d.m_dGraphTMax = d.m_dRunTimeLimit;
    d.m_bPlotConcurrent = concurrent;
    d.m_bPlotPostCalc = !concurrent;
    d.m_dGraphVMax = d.m_dGraphVAbsMax = 20;
    d.m_dGraphVMin = d.m_dGraphVAbsMin = -20;
}

void BM_RunWithoutView(benchmark::State& state)
{
    CGraphTestDoc doc(SystemKind::TwoVariable);
    LongRun(doc, true);
    CBenchViewSink sink(nullptr);
    for (auto _ : state)
        doc.Run(sink);
    state.counters["rows/s"] = benchmark::Counter(double(doc.m_nTableCount) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunWithoutView)->Unit(benchmark::kMillisecond);

// The long run on one thread, each row drawn into the harness's view as it is stored.
template <class Harness> void DrawLive(benchmark::State& state, Harness& h)
{
    LongRun(*h.doc, true);
    h.Update(HINT_RESET);
    CBenchViewSink sink(h.view);
    for (auto _ : state) {
        h.doc->Run(sink);
        QApplication::processEvents();
    }
    state.counters["rows/s"] = benchmark::Counter(double(h.doc->m_nTableCount) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}

void BM_RunWithGraphView(benchmark::State& state)
{
    GraphHarness h(SystemKind::TwoVariable);
    DrawLive(state, h);
}
BENCHMARK(BM_RunWithGraphView)->Unit(benchmark::kMillisecond);

// The same run drawn live by the two-variable Projected Orbit (y against x).
void BM_RunWithProjectedOrbitView(benchmark::State& state)
{
    KindViewHarness<CProjectedOrbitView> h(SystemKind::TwoVariable);
    h.Open(new CSys2PSP, 640, 480);
    DrawLive(state, h);
}
BENCHMARK(BM_RunWithProjectedOrbitView)->Unit(benchmark::kMillisecond);

void BM_RepaintLongRun(benchmark::State& state)
{
    GraphHarness h(SystemKind::TwoVariable);
    LongRun(*h.doc, false);
    CBenchViewSink none(nullptr);
    h.doc->Run(none);
    h.Update(HINT_RESET);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = h.doc->m_nTableCount;
}
BENCHMARK(BM_RepaintLongRun)->Unit(benchmark::kMillisecond);

// The full 1,000,000-row ring of x and y against time, both curves swinging across the whole
// plot many times: the repaint draws a pixel column's extremes, not every row.
void BM_RepaintFullRing(benchmark::State& state)
{
    constexpr int rows = 1000000;
    GraphHarness h(SystemKind::TwoVariable);
    CGraphTestDoc& d = *h.doc;
    d.FillRun(rows, rows, [](int slot, double t) {
        return slot == kSlotX ? 19 * std::sin(t) : slot == kSlotY ? 19 * std::cos(0.7 * t) : 0.0;
    });
    d.m_dGraphTMin = 0;
    d.m_dGraphTMax = d.m_arrTable[kSlotT][rows - 1];
    d.m_dGraphVMax = d.m_dGraphVAbsMax = 20;
    d.m_dGraphVMin = d.m_dGraphVAbsMin = -20;
    h.Update(HINT_RESET);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RepaintFullRing)->Unit(benchmark::kMillisecond);
// The full 1,000,000-row ring of a Projected Orbit that fills the plot: y against x of two
// incommensurate swings across the whole window, at `speed` radians a time unit. At 0.05 the
// orbit moves about a pixel a row and most rows land on a pixel already drawn; at 1 a row is a
// segment of about twenty pixels.
void RepaintOrbitRing(benchmark::State& state, double speed)
{
    constexpr int rows = 1000000;
    KindViewHarness<CProjectedOrbitView> h(SystemKind::TwoVariable);
    h.Open(new CSys2PSP, 640, 480);
    h.doc->FillRun(rows, rows, [speed](int slot, double t) {
        return slot == kSlotX   ? 9.5 * std::sin(speed * t)
               : slot == kSlotY ? 9.5 * std::cos(0.7 * speed * t)
                                : 0.0;
    });
    h.Update(HINT_RESET);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = rows;
}

void BM_RepaintFullRingProjectedOrbit(benchmark::State& state)
{
    RepaintOrbitRing(state, 0.05);
}
BENCHMARK(BM_RepaintFullRingProjectedOrbit)->Unit(benchmark::kMillisecond);

void BM_RepaintFullRingProjectedOrbitLongSegments(benchmark::State& state)
{
    RepaintOrbitRing(state, 1.0);
}
BENCHMARK(BM_RepaintFullRingProjectedOrbitLongSegments)->Unit(benchmark::kMillisecond);

// The program's own run: the document's calculation thread hands the stored rows to the Graph
// vs Time view, which draws each of them while the thread goes on (Concurrent Plot), or the
// view draws the run at its end.
void ThreadedRun(benchmark::State& state, bool concurrent)
{
    const auto old = SetMessageBoxHook([](const std::string&, unsigned) { return IDOK; });
    CDynSys* doc = NewModel(SystemKind::TwoVariable);
    CGraphView* view = GraphOf(doc);
    GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
    constexpr int rows = 20000;
    doc->m_nTableRows = rows;
    doc->m_dRunTimeLimit = (rows - 1) * doc->m_dChronon;
    doc->m_dGraphTMax = doc->m_dRunTimeLimit;
    doc->m_bPlotConcurrent = concurrent;
    doc->m_bPlotPostCalc = !concurrent;
    std::int64_t stored = 0;
    for (auto _ : state) {
        RunToEnd(doc);
        stored += doc->m_nTableCount;
    }
    state.counters["rows/s"] = benchmark::Counter(double(stored), benchmark::Counter::kIsRate);
    doc->OnCloseDocument();
    SetMessageBoxHook(old);
}

void BM_DocumentRunConcurrentPlot(benchmark::State& state)
{
    ThreadedRun(state, true);
}
BENCHMARK(BM_DocumentRunConcurrentPlot)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DocumentRunPostCalcPlot(benchmark::State& state)
{
    ThreadedRun(state, false);
}
BENCHMARK(BM_DocumentRunPostCalcPlot)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
