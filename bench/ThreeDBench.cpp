// The 3-D plot base and the Real Space view under the offscreen platform: the repaint of a long
// run, a run drawn live row by row (beside the Graph vs Time view's figures in GraphBench.cpp,
// the same model and rows), and the pace of an animated run against a pause per step.
#include "bench/ViewSink.h"
#include "model/core/KindVars.h"
#include "model/core/StepPacer.h"
#include "views/LorenzRun.h"
#include "views/TestOrbit3D.h"
#include "views/ViewHarness.h"
#include "views/base/3DView.h"
#include "views/graph/RealSpaceView.h"
#include "views/orbit/FullOrbitView.h"
#include "views/orbit/OrbitSectionsView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <thread>

VX_IMPLEMENT_CLASS(CTestOrbit3D, C3DView)

namespace {
constexpr int kRows = 100000;

// A view of a test document in a 640 x 480 window.
template <class View> struct Harness
{
    explicit Harness(SystemKind kind) : doc(kind)
    {
        view = new View;
        CCreateContext ctx;
        ctx.m_pCurrentDoc = &doc;
        view->Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 1, &ctx);
        view->OnInitialUpdate();
    }
    ~Harness() { view->DestroyWindow(); }
    CGraphTestDoc doc;
    View* view;
};

void LongRun(CGraphTestDoc& d, int rows)
{
    d.m_nTableRows = rows;
    d.m_dRunTimeLimit = (rows - 1) * d.m_dChronon;
    d.m_dGraphTMax = d.m_dRunTimeLimit;
    for (double CModelSettings::*m :
         {&CModelSettings::m_dPO3MaxX, &CModelSettings::m_dPO3MaxY, &CModelSettings::m_dPO3MaxZ})
        d.*m = 50;
    d.m_dPO3MinZ = 0;
}

void BM_Repaint3DLongRun(benchmark::State& state)
{
    Harness<CTestOrbit3D> h(SystemKind::ThreeVariable);
    LongRun(h.doc, kRows);
    CBenchViewSink none(h.view);
    h.doc.m_bPlotConcurrent = 0;
    h.doc.Run(none);
    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = h.doc.m_nTableCount;
}
BENCHMARK(BM_Repaint3DLongRun)->Unit(benchmark::kMillisecond);

// The full 1,000,000-row ring of a Lorenz orbit (5,000 time units) that fills the plot.
void BM_Repaint3DFullRing(benchmark::State& state)
{
    Harness<CTestOrbit3D> h(SystemKind::ThreeVariable);
    FillLorenz(h.doc, 1000000, 1000000);
    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = h.doc.m_nTableCount;
}
BENCHMARK(BM_Repaint3DFullRing)->Unit(benchmark::kMillisecond);

// The full 1,000,000-row ring of a forced run over 10,000 forcing cycles that fills the
// cylinder's box: x sweeps the working range (radii 5 to 15) and x' the heights.
void FillCylinder(CGraphTestDoc& d, int rows)
{
    d.FillRun(rows, rows, [](int slot, double t) {
        return slot == kSlotX    ? 9.5 * std::sin(0.0123 * t) * std::cos(t)
               : slot == kSlotXp ? 9.5 * std::cos(1.37 * t)
                                 : 0.0;
    });
}

template <class View> void RepaintCylinder(benchmark::State& state)
{
    Harness<View> h(SystemKind::Newtonian);
    FillCylinder(h.doc, 1000000);
    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    for (auto _ : state)
        h.view->RedrawWindow();
    state.counters["rows"] = h.doc.m_nTableCount;
}

void BM_RepaintFullOrbitFullRing(benchmark::State& state)
{
    RepaintCylinder<CSys1PSO>(state);
}
BENCHMARK(BM_RepaintFullOrbitFullRing)->Unit(benchmark::kMillisecond);

void BM_RepaintOrbitSectionsFullRing(benchmark::State& state)
{
    RepaintCylinder<CSys1PSOC>(state);
}
BENCHMARK(BM_RepaintOrbitSectionsFullRing)->Unit(benchmark::kMillisecond);

template <class View> void LiveRun(benchmark::State& state, SystemKind kind, int rows)
{
    Harness<View> h(kind);
    LongRun(h.doc, rows);
    h.doc.m_bPlotConcurrent = 1;
    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    CBenchViewSink sink(h.view);
    for (auto _ : state) {
        h.doc.Run(sink);
        QApplication::processEvents();
    }
    state.counters["rows/s"] = benchmark::Counter(double(h.doc.m_nTableCount) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}

void BM_RunWith3DView(benchmark::State& state)
{
    LiveRun<CTestOrbit3D>(state, SystemKind::ThreeVariable, kRows);
}
BENCHMARK(BM_RunWith3DView)->Unit(benchmark::kMillisecond);

// The two-variable run of Graph vs Time's figures (GraphBench.cpp) drawn live on the cylinder.
void BM_RunWithFullOrbitView(benchmark::State& state)
{
    LiveRun<CSys2PSO>(state, SystemKind::TwoVariable, kRows);
}
BENCHMARK(BM_RunWithFullOrbitView)->Unit(benchmark::kMillisecond);

void BM_RunWithRealSpaceView(benchmark::State& state)
{
    LiveRun<CSys1RS>(state, SystemKind::Newtonian, 20000);
}
BENCHMARK(BM_RunWithRealSpaceView)->Unit(benchmark::kMillisecond);

// 10,000 steps of 1 ms with a fifth of a millisecond of work after each pause (storing the row,
// the views drawing it): paced from the start, and as a pause per step. The counter is how much
// longer than 10 s the steps took.
constexpr int kPacedSteps = 10000;
void Work()
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    while (std::chrono::steady_clock::now() < until) {
    }
}

void BM_AnimationPaced(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CStepPacer pacer(1, start);
        for (int i = 0; i < kPacedSteps; ++i) {
            std::this_thread::sleep_until(pacer.Next(std::chrono::steady_clock::now()));
            Work();
        }
        const auto spent = std::chrono::steady_clock::now() - start;
        state.counters["drift_ms"] =
            std::chrono::duration<double, std::milli>(spent).count() - kPacedSteps;
    }
}
BENCHMARK(BM_AnimationPaced)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_AnimationPausePerStep(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPacedSteps; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Work();
        }
        const auto spent = std::chrono::steady_clock::now() - start;
        state.counters["drift_ms"] =
            std::chrono::duration<double, std::milli>(spent).count() - kPacedSteps;
    }
}
BENCHMARK(BM_AnimationPausePerStep)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
} // namespace
