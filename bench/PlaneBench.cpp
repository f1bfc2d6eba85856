// The phase-plane calculations: pixels per second of the basins scan (first- and fifth-order
// steps, typed equations and the built-in form, Depth 10, 100 and 1000, one worker and one per
// processor) beside the same scan written by hand; and the time of one spin step, the direction
// field, nullclines, fixed points and manifolds recomputed on a 1200 by 900 plot.
#include "model/core/ModelCore.h"
#include "model/phase/BasinsScan.h"
#include "model/phase/FixedPoints.h"
#include "model/phase/Manifolds.h"
#include "model/phase/Nullclines.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

// The forced double well x'' = a cos(af t) + b (x - x^3) - c x', typed or as built-in form 1.
std::unique_ptr<CModelCore> DoubleWell(bool typed)
{
    auto m = std::make_unique<CModelCore>(SystemKind::Newtonian);
    m->SetDefaults();
    m->m_strAppliedForce = "a*cos(af*t)";
    m->m_strRestoringForce = "b*(x-x^3)";
    m->m_strDragForce = "-c*x'";
    m->m_strEquation =
        BuildEquation(m->m_strAppliedForce, m->m_strRestoringForce, m->m_strDragForce);
    m->m_strParamA = "0.3";
    m->m_strParamB = std::string(1, '1'); // a one-letter literal trips GCC 12's -Wrestrict
    m->m_strParamC = "0.25";
    m->m_dMass = 1;
    m->m_nModelForm = typed ? 0 : 1;
    m->AllocateTable();
    m->EvaluateParameters();
    m->CompileEquations();
    return m;
}

constexpr int kW = 80, kH = 60; // the scanned plot, edges included: 81 x 61 start points

CBasinsParams ScanParams(CModelCore& m, int integrator, int depth, int threads)
{
    CBasinsParams b;
    b.SetModel(CPlaneModel::Of(m));
    b.integrator = integrator;
    b.depth = depth;
    b.right = kW;
    b.bottom = kH;
    b.xmin = -2;
    b.ymax = 2;
    b.scaleX = 4.0 / kW;
    b.scaleY = 4.0 / kH;
    b.threads = threads;
    return b;
}

// A model of the kind with the given equations (the Newtonian one as its restoring force), at
// the defaults otherwise.
std::unique_ptr<CModelCore> Typed(SystemKind kind, const char* eq)
{
    auto m = std::make_unique<CModelCore>(kind);
    m->SetDefaults();
    if (kind == SystemKind::Newtonian) {
        m->m_strAppliedForce = std::string(1, '0'); // see DoubleWell
        m->m_strRestoringForce = eq;
        m->m_strDragForce = "-0.5*x'";
        m->m_strEquation =
            BuildEquation(m->m_strAppliedForce, m->m_strRestoringForce, m->m_strDragForce);
    } else {
        m->m_strXRate = eq;
    }
    m->AllocateTable();
    m->EvaluateParameters();
    m->CompileEquations();
    return m;
}

// A plot of w by h pixels over -2 .. 2 each way.
CBasinsParams PlotParams(CModelCore& m, int w, int h, int depth, int threads)
{
    CBasinsParams b = ScanParams(m, m.m_nIntegrator, depth, threads);
    b.right = w;
    b.bottom = h;
    b.scaleX = 4.0 / w;
    b.scaleY = 4.0 / h;
    return b;
}

void RunScans(benchmark::State& state, const CBasinsParams& b)
{
    long long pixels = 0;
    for (auto _ : state) {
        CBasinsScan scan(b);
        IBasinsSink sink;
        scan.Run(sink);
        pixels += scan.Stored();
        benchmark::DoNotOptimize(scan.Grid().data());
    }
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsRate);
}

void BM_BasinsScan(benchmark::State& state)
{
    const int integrator = static_cast<int>(state.range(0));
    const bool typed = state.range(1) == 1;
    const int depth = static_cast<int>(state.range(2));
    const int threads = static_cast<int>(state.range(3)); // 0: one per processor
    auto m = DoubleWell(typed);
    const CBasinsParams b = ScanParams(*m, integrator, depth, threads);
    RunScans(state, b);
}
BENCHMARK(BM_BasinsScan)
    ->ArgNames({"rkf", "typed", "depth", "threads"})
    ->ArgsProduct({{0, 1}, {0, 1}, {10, 100, 1000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The view's plot of 600 by 400 at Depth 100, on one worker and on all: the default Newtonian
// model and the double well x'' = x - x^3 - 0.5 x'. The processor time is that of all threads,
// so its ratio to one worker's shows what the workers cost beside the work.
void BM_BasinsPlot(benchmark::State& state)
{
    const bool doubleWell = state.range(0) == 1;
    const int threads = static_cast<int>(state.range(1));
    std::unique_ptr<CModelCore> m;
    if (doubleWell) {
        m = Typed(SystemKind::Newtonian, "x-x^3");
    } else {
        m = std::make_unique<CModelCore>(SystemKind::Newtonian);
        m->InitNewModel();
    }
    RunScans(state, PlotParams(*m, 600, 400, 100, threads));
}
BENCHMARK(BM_BasinsPlot)
    ->ArgNames({"well", "threads"})
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// An equation that fails in half the plane (sqrt(x) for negative x) beside its twin that never
// fails (sqrt(abs(x))), at Depth 100 on one worker.
void BM_BasinsFailingEquation(benchmark::State& state)
{
    const bool fails = state.range(0) == 1;
    auto m = Typed(SystemKind::Newtonian, fails ? "-sqrt(x)" : "-sqrt(abs(x))");
    RunScans(state, PlotParams(*m, 80, 60, 100, 1));
}
BENCHMARK(BM_BasinsFailingEquation)
    ->ArgNames({"fails"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// The two-variable model x' = y, y' = -f(x) - 0.1 y on a plot of 200 by 172 at Depth 100 on
// one worker, for f of: x, sqrt(abs(x)) (never fails), sqrt(x) (fails left of 0), log(x)
// (fails left of 0 and at it), (-x)^0.5 (fails right of 0) and sqrt(-1-x*x) (fails
// everywhere).
void BM_BasinsFailingPlane(benchmark::State& state)
{
    static const char* const kRates[] = {"-x-0.1*y",       "-sqrt(abs(x))-0.1*y",
                                         "-sqrt(x)-0.1*y", "-log(x)-0.1*y",
                                         "-x^0.5-0.1*y",   "-sqrt(-1-x*x)-0.1*y"};
    auto m = std::make_unique<CModelCore>(SystemKind::TwoVariable);
    m->SetDefaults();
    m->m_strXRate = std::string(1, 'y'); // see DoubleWell
    m->m_strYRate = std::string(kRates[state.range(1)]);
    m->m_nIntegrator = static_cast<int>(state.range(0));
    m->AllocateTable();
    m->EvaluateParameters();
    m->CompileEquations();
    RunScans(state, PlotParams(*m, 200, 172, 100, 1));
}
BENCHMARK(BM_BasinsFailingPlane)
    ->ArgNames({"rkf", "rate"})
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond);

// How long a Stop takes to end a scan: the time from the stop request, 20 ms into a scan of the
// double well at Depth 1000 on all cores, until the scan has returned.
void BM_BasinsStop(benchmark::State& state)
{
    auto m = Typed(SystemKind::Newtonian, "x-x^3");
    const CBasinsParams b = PlotParams(*m, 600, 400, 1000, static_cast<int>(state.range(0)));
    struct StopSink : IBasinsSink
    {
        std::atomic<bool> stop{false};
        bool ShouldStop() override { return stop.load(std::memory_order_relaxed); }
    };
    for (auto _ : state) {
        CBasinsScan scan(b);
        StopSink sink;
        std::chrono::steady_clock::time_point asked;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            asked = std::chrono::steady_clock::now();
            sink.stop = true;
        });
        scan.Run(sink);
        stopper.join();
        const auto answered = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(answered - asked).count());
    }
}
BENCHMARK(BM_BasinsStop)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The same scan written by hand on one core, as a person would ship it for this model: the
// typed force a cos(af t) + b (x - x^3) - c x' evaluated as the program evaluates it (the
// library's cos, and pow for the power), the model's parameters and step read once from memory
// the compiler cannot see into, the fifth-order step unrolled with the run's tableau and order
// of sums, the scan's start points and colours. Its final x is the typed scan's, bit for bit.
void BM_HandWrittenBasinsRKF(benchmark::State& state)
{
    const int depth = static_cast<int>(state.range(0));
    auto m = DoubleWell(true);
    const CBasinsParams p = ScanParams(*m, 1, depth, 1);
    volatile double va = m->m_dParamA, vb = m->m_dParamB, vc = m->m_dParamC;
    volatile double vaf = m->m_dAngFreq, vh = m->m_dChronon;
    const double a = va, b = vb, c = vc, af = vaf, h = vh;
    auto accel = [&](double t, double x, double v) {
        return a * std::cos(af * t) + b * (x - std::pow(x, 3.0)) - c * v;
    };
    auto finalX = [&](double x, double v) {
        double t = 0;
        for (int n = 0; n <= depth; ++n) {
            const double k1 = h * v, l1 = h * accel(t, x, v);
            const double x2 = x + k1 / 4, v2 = v + l1 / 4;
            const double k2 = h * v2, l2 = h * accel(t + h / 4, x2, v2);
            const double x3 = x + 3.0 / 32 * k1 + 9.0 / 32 * k2;
            const double v3 = v + 3.0 / 32 * l1 + 9.0 / 32 * l2;
            const double k3 = h * v3, l3 = h * accel(t + 3 * h / 8, x3, v3);
            const double x4 = x + 1932.0 / 2197 * k1 - 7200.0 / 2197 * k2 + 7296.0 / 2197 * k3;
            const double v4 = v + 1932.0 / 2197 * l1 - 7200.0 / 2197 * l2 + 7296.0 / 2197 * l3;
            const double k4 = h * v4, l4 = h * accel(t + 12 * h / 13, x4, v4);
            const double x5 = x + 439.0 / 216 * k1 - 8 * k2 + 3680.0 / 513 * k3 - 845.0 / 4104 * k4;
            const double v5 = v + 439.0 / 216 * l1 - 8 * l2 + 3680.0 / 513 * l3 - 845.0 / 4104 * l4;
            const double k5 = h * v5, l5 = h * accel(t + h, x5, v5);
            const double x6 = x - 8.0 / 27 * k1 + 2 * k2 - 3544.0 / 2565 * k3 + 1859.0 / 4104 * k4 -
                              11.0 / 40 * k5;
            const double v6 = v - 8.0 / 27 * l1 + 2 * l2 - 3544.0 / 2565 * l3 + 1859.0 / 4104 * l4 -
                              11.0 / 40 * l5;
            const double k6 = h * v6, l6 = h * accel(t + h / 2, x6, v6);
            x = x + 16.0 / 135 * k1 + 6656.0 / 12825 * k3 + 28561.0 / 56430 * k4 - 9.0 / 50 * k5 +
                2.0 / 55 * k6;
            v = v + 16.0 / 135 * l1 + 6656.0 / 12825 * l3 + 28561.0 / 56430 * l4 - 9.0 / 50 * l5 +
                2.0 / 55 * l6;
            t += h;
        }
        return x;
    };
    auto startX = [&](int px) { return px * p.scaleX + p.xmin; };
    auto startY = [&](int py) { return p.ymax - py * p.scaleY; };
    long long pixels = 0;
    std::vector<COLORREF> grid(static_cast<std::size_t>(kW + 1) * (kH + 1));
    for (auto _ : state) {
        for (int py = 0; py <= kH; ++py)
            for (int px = 0; px <= kW; ++px)
                grid[static_cast<std::size_t>(py) * (kW + 1) + px] =
                    BasinColorBand(finalX(startX(px), startY(py)), p.xmin, kW * p.scaleX);
        benchmark::DoNotOptimize(grid.data());
        benchmark::ClobberMemory();
        pixels += static_cast<long long>(grid.size());
    }
    // The typed scan's own final x at a sample of the start points.
    const CBasinsScan scan(p);
    for (int py = 0; py <= kH; py += 6)
        for (int px = 0; px <= kW; px += 8) {
            const double mine = finalX(startX(px), startY(py));
            const double its = scan.FinalX(startX(px), startY(py));
            if (std::memcmp(&mine, &its, sizeof mine) != 0 && !(mine != mine && its != its))
                state.SkipWithError("not the typed scan's final x");
        }
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HandWrittenBasinsRKF)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// One spin step of a vector-field view with every layer shown: the direction field, both
// nullclines (the Newtonian plane traces one), the fixed points along them and the manifolds of
// the saddles, on a 1200 by 900 plot with the default grid (gl 30) and 300 manifold steps.
void BM_SpinStep(benchmark::State& state)
{
    const bool typed = state.range(0) == 1;
    auto m = DoubleWell(typed);
    CPlaneFrame f;
    f.right = 1200;
    f.bottom = 900;
    f.xmin = f.ymin = -2;
    f.xmax = f.ymax = 2;
    const int pitch = f.GridPitch(30);
    int saddles = 0;
    for (auto _ : state) {
        auto field = MakePlaneField(CPlaneModel::Of(*m));
        CDirectionField df;
        CalcDirectionField(*field, f, pitch, 0, df);
        CVFTrack nullcline;
        CalcNullcline(*field, 1, f, pitch, 0, nullcline);
        const CFixedPointSearch fps = FindFixedPoints(*field, 1, nullcline, f, pitch, 1e-6, 0);
        std::array<CVFTrack, kManifoldSlots> slots;
        const CManifoldResult r =
            CalcManifolds(*field, fps.points, 0.04, 300, m->m_dChronon, 0, {}, slots);
        saddles = r.saddles;
        benchmark::DoNotOptimize(slots[0].m_arrX.data());
    }
    state.counters["saddles"] = saddles;
}
BENCHMARK(BM_SpinStep)->ArgNames({"typed"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
