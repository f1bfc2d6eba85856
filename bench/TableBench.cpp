// The Data Table view under the offscreen platform: a page brought up and drawn from a full
// 1,000,000-row ring, and the program's live run with a Data Table open beside Graph vs Time.
#include "views/ModelAppHarness.h"
#include "views/TableHarness.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// A go-to row to a page spread over the ring, the page filled and the list drawn.
void BM_TablePageFromFullRing(benchmark::State& state)
{
    constexpr int kRing = 1000000;
    TableHarness h(SystemKind::ThreeVariable, kRing, kRing + kRing / 2); // wrapped
    QApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        row = (row + 123457) % kRing;
        h.view->SendMessage(WM_TABLE_GOTO_ROW, static_cast<WPARAM>(row), 0);
        h.view->m_list->viewport()->repaint();
    }
    state.counters["rows"] = h.view->m_nLastPage * 50 + 50;
}
BENCHMARK(BM_TablePageFromFullRing)->Unit(benchmark::kMillisecond);

// The program's own run with Concurrent Plot: every stored row goes to the Graph vs Time view
// (the run's view); a Data Table in a frame of its own takes the same rows and draws nothing
// until the run ends.
void LiveRun(benchmark::State& state, bool withTable)
{
    const auto old = SetMessageBoxHook([](const std::string&, unsigned) { return IDOK; });
    CDynSys* doc = NewModel(SystemKind::TwoVariable);
    CGraphView* view = GraphOf(doc);
    if (withTable) {
        static CDocTemplate* tables = testapp::AddModelTemplate(
            GraphTestApp(), SystemKind::TwoVariable, VX_RUNTIME_CLASS(CSys2Tab), 40000);
        CFrameWnd* frame = tables->CreateNewFrame(doc, nullptr);
        tables->InitialUpdateFrame(frame, doc, TRUE);
    }
    GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
    constexpr int rows = 20000;
    doc->m_nTableRows = rows;
    doc->m_dRunTimeLimit = (rows - 1) * doc->m_dChronon;
    doc->m_dGraphTMax = doc->m_dRunTimeLimit;
    doc->m_bPlotConcurrent = 1;
    doc->m_bPlotPostCalc = 0;
    std::int64_t stored = 0;
    for (auto _ : state) {
        RunToEnd(doc);
        stored += doc->m_nTableCount;
    }
    state.counters["rows/s"] = benchmark::Counter(double(stored), benchmark::Counter::kIsRate);
    state.counters["views"] = double(doc->GetViews().size());
    doc->OnCloseDocument();
    SetMessageBoxHook(old);
}

void BM_LiveRunGraphOnly(benchmark::State& state)
{
    LiveRun(state, false);
}
BENCHMARK(BM_LiveRunGraphOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveRunGraphAndTable(benchmark::State& state)
{
    LiveRun(state, true);
}
BENCHMARK(BM_LiveRunGraphAndTable)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
