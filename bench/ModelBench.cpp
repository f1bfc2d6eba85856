// Steps per second of the trajectory loop: each kind, first-order and fifth-order steps,
// typed equations and built-in forms, a row stored at every step and a sink that does
// nothing; beside them the Lorenz run written by hand, the yardstick of the typed run.
#include "LorenzModel.h"
#include "model/core/ModelCore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kSteps = 20000;

struct NullSink : ICalcSink
{
};

// A model of the kind set up for a run of kSteps steps: typed equations (Lorenz for the
// three-variable kind) or a built-in form; the one-, two- and three-variable forms are then
// the same equations as the typed ones.
std::unique_ptr<CModelCore> MakeModel(SystemKind kind, int integrator, bool typed)
{
    auto m = std::make_unique<CModelCore>(kind);
    m->SetDefaults();
    static const int forms[kSystemKinds] = {2, 4, 5, 2};
    if (kind == SystemKind::ThreeVariable)
        TypeLorenz(*m);
    if (kind == SystemKind::OneVariable) // trigonometric form: sin(x)
        m->m_strParamC = m->m_strParamD = std::string(1, '0');
    m->m_nModelForm = typed ? 0 : forms[static_cast<int>(kind)];
    m->m_nIntegrator = integrator;
    m->m_nChrononsPerCycle = 1000;
    ComputeDerivedValues(*m, kind);
    m->m_dRunTimeLimit = (kSteps - 0.5) * m->m_dChronon;
    m->AllocateTable();
    m->EvaluateParameters();
    m->CompileEquations();
    return m;
}

// The typed run's final x, y, z and its extents of x, x', y, y', z, z' (maxima, then minima),
// which the hand-written runs must reproduce bit for bit.
double g_typedFinal[2][3];
double g_typedExtents[2][12];

void BM_Run(benchmark::State& state)
{
    const auto kind = static_cast<SystemKind>(state.range(0));
    const int integrator = static_cast<int>(state.range(1));
    const bool typed = state.range(2) == 1;
    auto m = MakeModel(kind, integrator, typed);
    CALCPARAMS p;
    bool allocated;
    if (!m->PrepareRun(p, allocated)) {
        state.SkipWithError("run refused");
        return;
    }
    std::int64_t steps = 0;
    for (auto _ : state) {
        CTrajectoryCalc calc(p);
        NullSink sink;
        calc.Run(sink);
        steps += calc.m_nStepCount;
        // By const reference: GCC may move a writable scalar through the wrong register.
        benchmark::DoNotOptimize(std::as_const(calc.m_v[kSlotX]));
        if (kind == SystemKind::ThreeVariable && typed)
            for (int i = 0; i < 6; ++i) {
                const VarSlot slot = VarsOf(kind).Columns()[1 + static_cast<std::size_t>(i)];
                if (i < 3)
                    g_typedFinal[integrator][i] = calc.m_v[VarsOf(kind).state[i]];
                g_typedExtents[integrator][i] = calc.m_dMax[slot];
                g_typedExtents[integrator][6 + i] = calc.m_dMin[slot];
            }
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Run)
    ->ArgNames({"kind", "rkf", "typed"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The Lorenz run as a person would write it in C++ for this program and ship it: the
// parameters read once from memory the compiler cannot see into, the rates inlined, the
// fifth-order step unrolled with the run's tableau and order of sums, the rates at each new
// state, and around the step what the program's run must do: a row of t, x, x', y, y', z, z'
// stored at every step in seven ring columns of the model's size, the running extents of the
// six variables, and a stop flag read every 256 steps. The state, the extents and the ring
// position stay in locals.
struct HandLorenz
{
    double a, b, c;
    void Rates(double x, double y, double z, double& dx, double& dy, double& dz) const
    {
        dx = a * (y - x);
        dy = b * x - y - x * z;
        dz = x * y - c * z;
    }
};

struct HandRun
{
    std::vector<double> col[7];
    int rows = 0;
    std::atomic<bool> stop{false};
    double final[3] = {};    // x, y, z at the end
    double extents[12] = {}; // maxima of x, x', y, y', z, z', then their minima

    explicit HandRun(int nRows) : rows(nRows)
    {
        for (auto& c : col)
            c.assign(static_cast<std::size_t>(nRows), 0.0);
    }
};

// The run from (x, y, z) at t = 0, step(x, y, z, dx, dy, dz) advancing the state and its rates.
template <class Step>
void RunHand(const HandLorenz& f, HandRun& r, double h, int steps, double x, double y, double z,
             Step step)
{
    double* col[7];
    for (int i = 0; i < 7; ++i)
        col[i] = r.col[i].data();
    const int rows = r.rows;
    int index = 0;
    double t = 0, dx, dy, dz;
    f.Rates(x, y, z, dx, dy, dz);
    // The start values count, the start rates not.
    double max[6] = {x, -1e30, y, -1e30, z, -1e30}, min[6] = {x, 1e30, y, 1e30, z, 1e30};
    auto store = [&] {
        const double v[7] = {t, x, dx, y, dy, z, dz};
        for (int i = 0; i < 7; ++i)
            col[i][index] = v[i];
        if (++index == rows)
            index = 0;
    };
    store();
    for (int n = 0; n < steps; ++n) {
        if ((n & 255) == 0 && r.stop.load(std::memory_order_relaxed))
            break;
        step(x, y, z, dx, dy, dz);
        const double v[6] = {x, dx, y, dy, z, dz};
        for (int i = 0; i < 6; ++i) {
            max[i] = v[i] > max[i] ? v[i] : max[i];
            min[i] = v[i] < min[i] ? v[i] : min[i];
        }
        t += h;
        store();
    }
    r.final[0] = x, r.final[1] = y, r.final[2] = z;
    std::copy(max, max + 6, r.extents);
    std::copy(min, min + 6, r.extents + 6);
}

void RunRKF(const HandLorenz& f, HandRun& r, double h, int steps, double x0, double y0, double z0)
{
    RunHand(f, r, h, steps, x0, y0, z0,
            [&f, h](double& x, double& y, double& z, double& dx, double& dy, double& dz) {
                double d1, d2, d3;
                f.Rates(x, y, z, d1, d2, d3);
                const double k1x = h * d1, k1y = h * d2, k1z = h * d3;
                f.Rates(x + k1x / 4, y + k1y / 4, z + k1z / 4, d1, d2, d3);
                const double k2x = h * d1, k2y = h * d2, k2z = h * d3;
                f.Rates(x + 3.0 / 32 * k1x + 9.0 / 32 * k2x, y + 3.0 / 32 * k1y + 9.0 / 32 * k2y,
                        z + 3.0 / 32 * k1z + 9.0 / 32 * k2z, d1, d2, d3);
                const double k3x = h * d1, k3y = h * d2, k3z = h * d3;
                f.Rates(x + 1932.0 / 2197 * k1x - 7200.0 / 2197 * k2x + 7296.0 / 2197 * k3x,
                        y + 1932.0 / 2197 * k1y - 7200.0 / 2197 * k2y + 7296.0 / 2197 * k3y,
                        z + 1932.0 / 2197 * k1z - 7200.0 / 2197 * k2z + 7296.0 / 2197 * k3z, d1, d2,
                        d3);
                const double k4x = h * d1, k4y = h * d2, k4z = h * d3;
                f.Rates(x + 439.0 / 216 * k1x - 8 * k2x + 3680.0 / 513 * k3x - 845.0 / 4104 * k4x,
                        y + 439.0 / 216 * k1y - 8 * k2y + 3680.0 / 513 * k3y - 845.0 / 4104 * k4y,
                        z + 439.0 / 216 * k1z - 8 * k2z + 3680.0 / 513 * k3z - 845.0 / 4104 * k4z,
                        d1, d2, d3);
                const double k5x = h * d1, k5y = h * d2, k5z = h * d3;
                f.Rates(x - 8.0 / 27 * k1x + 2 * k2x - 3544.0 / 2565 * k3x + 1859.0 / 4104 * k4x -
                            11.0 / 40 * k5x,
                        y - 8.0 / 27 * k1y + 2 * k2y - 3544.0 / 2565 * k3y + 1859.0 / 4104 * k4y -
                            11.0 / 40 * k5y,
                        z - 8.0 / 27 * k1z + 2 * k2z - 3544.0 / 2565 * k3z + 1859.0 / 4104 * k4z -
                            11.0 / 40 * k5z,
                        d1, d2, d3);
                const double k6x = h * d1, k6y = h * d2, k6z = h * d3;
                x = x + 16.0 / 135 * k1x + 6656.0 / 12825 * k3x + 28561.0 / 56430 * k4x -
                    9.0 / 50 * k5x + 2.0 / 55 * k6x;
                y = y + 16.0 / 135 * k1y + 6656.0 / 12825 * k3y + 28561.0 / 56430 * k4y -
                    9.0 / 50 * k5y + 2.0 / 55 * k6y;
                z = z + 16.0 / 135 * k1z + 6656.0 / 12825 * k3z + 28561.0 / 56430 * k4z -
                    9.0 / 50 * k5z + 2.0 / 55 * k6z;
                f.Rates(x, y, z, dx, dy, dz);
            });
}

// The program's first-order step: x, then y' and y from the new x, z' and z, then x'.
void RunEuler(const HandLorenz& f, HandRun& r, double h, int steps, double x0, double y0, double z0)
{
    RunHand(f, r, h, steps, x0, y0, z0,
            [&f, h](double& x, double& y, double& z, double& dx, double& dy, double& dz) {
                double unused;
                x += h * dx;
                f.Rates(x, y, z, unused, dy, unused);
                y += h * dy;
                f.Rates(x, y, z, unused, unused, dz);
                z += h * dz;
                f.Rates(x, y, z, dx, unused, unused);
            });
}

void HandWrittenLorenz(benchmark::State& state, int integrator)
{
    auto m = MakeModel(SystemKind::ThreeVariable, integrator, true);
    volatile double va = m->m_dParamA, vb = m->m_dParamB, vc = m->m_dParamC;
    volatile double vh = m->m_dChronon;
    const HandLorenz f{va, vb, vc};
    const double h = vh;
    HandRun r(m->m_nTableRows);
    std::int64_t steps = 0;
    for (auto _ : state) {
        if (integrator == 1)
            RunRKF(f, r, h, kSteps, m->m_dInitX, m->m_dInitY, m->m_dInitZ);
        else
            RunEuler(f, r, h, kSteps, m->m_dInitX, m->m_dInitY, m->m_dInitZ);
        benchmark::DoNotOptimize(r.col[1].data());
        benchmark::ClobberMemory();
        steps += kSteps;
    }
    // The same run as the typed one, so nothing was folded away or skipped.
    if (std::memcmp(r.final, g_typedFinal[integrator], sizeof r.final) != 0 ||
        std::memcmp(r.extents, g_typedExtents[integrator], sizeof r.extents) != 0)
        state.SkipWithError("not the typed run's final state and extents: run BM_Run/kind:3 first");
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

void BM_HandWrittenLorenzRKF(benchmark::State& state)
{
    HandWrittenLorenz(state, 1);
}
BENCHMARK(BM_HandWrittenLorenzRKF)->Unit(benchmark::kMillisecond);

void BM_HandWrittenLorenzEuler(benchmark::State& state)
{
    HandWrittenLorenz(state, 0);
}
BENCHMARK(BM_HandWrittenLorenzEuler)->Unit(benchmark::kMillisecond);

} // namespace
