// Steps per second of the trajectory loop: each kind, first-order and fifth-order steps,
// typed equations and built-in forms, a row stored at every step and a sink that does
// nothing; beside them the Lorenz run written by hand, the yardstick of the typed run.
#include "LorenzModel.h"
#include "model/core/ModelCore.h"

#include <benchmark/benchmark.h>

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

// The typed run's final x, y, z, which the hand-written runs must reproduce bit for bit.
double g_typedFinal[2][3];

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
            for (int i = 0; i < 3; ++i)
                g_typedFinal[integrator][i] = calc.m_v[VarsOf(kind).state[i]];
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Run)
    ->ArgNames({"kind", "rkf", "typed"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The Lorenz run as a person would write it in C++ for this program: the parameters read
// once from memory the compiler cannot see into, the rates inlined, the fifth-order step
// unrolled with the run's tableau and order of sums, the rates at each new state, a row of
// t, x, x', y, y', z, z' stored at every step in seven ring columns of the model's size.
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
    int rows = 0, index = 0;
    double t = 0, x = 1, y = 0, z = 0, dx = 0, dy = 0, dz = 0;

    explicit HandRun(int nRows) : rows(nRows)
    {
        for (auto& c : col)
            c.assign(static_cast<std::size_t>(nRows), 0.0);
    }
    void Start(double x0, double y0, double z0)
    {
        index = 0;
        t = dx = dy = dz = 0;
        x = x0;
        y = y0;
        z = z0;
    }
    void Store()
    {
        const double v[7] = {t, x, dx, y, dy, z, dz};
        for (int i = 0; i < 7; ++i)
            col[i][static_cast<std::size_t>(index)] = v[i];
        if (++index == rows)
            index = 0;
    }
};

void RunRKF(const HandLorenz& f, HandRun& r, double h, int steps)
{
    f.Rates(r.x, r.y, r.z, r.dx, r.dy, r.dz);
    r.Store();
    for (int n = 0; n < steps; ++n) {
        const double x = r.x, y = r.y, z = r.z;
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
                z + 1932.0 / 2197 * k1z - 7200.0 / 2197 * k2z + 7296.0 / 2197 * k3z, d1, d2, d3);
        const double k4x = h * d1, k4y = h * d2, k4z = h * d3;
        f.Rates(x + 439.0 / 216 * k1x - 8 * k2x + 3680.0 / 513 * k3x - 845.0 / 4104 * k4x,
                y + 439.0 / 216 * k1y - 8 * k2y + 3680.0 / 513 * k3y - 845.0 / 4104 * k4y,
                z + 439.0 / 216 * k1z - 8 * k2z + 3680.0 / 513 * k3z - 845.0 / 4104 * k4z, d1, d2,
                d3);
        const double k5x = h * d1, k5y = h * d2, k5z = h * d3;
        f.Rates(x - 8.0 / 27 * k1x + 2 * k2x - 3544.0 / 2565 * k3x + 1859.0 / 4104 * k4x -
                    11.0 / 40 * k5x,
                y - 8.0 / 27 * k1y + 2 * k2y - 3544.0 / 2565 * k3y + 1859.0 / 4104 * k4y -
                    11.0 / 40 * k5y,
                z - 8.0 / 27 * k1z + 2 * k2z - 3544.0 / 2565 * k3z + 1859.0 / 4104 * k4z -
                    11.0 / 40 * k5z,
                d1, d2, d3);
        const double k6x = h * d1, k6y = h * d2, k6z = h * d3;
        r.x = x + 16.0 / 135 * k1x + 6656.0 / 12825 * k3x + 28561.0 / 56430 * k4x - 9.0 / 50 * k5x +
              2.0 / 55 * k6x;
        r.y = y + 16.0 / 135 * k1y + 6656.0 / 12825 * k3y + 28561.0 / 56430 * k4y - 9.0 / 50 * k5y +
              2.0 / 55 * k6y;
        r.z = z + 16.0 / 135 * k1z + 6656.0 / 12825 * k3z + 28561.0 / 56430 * k4z - 9.0 / 50 * k5z +
              2.0 / 55 * k6z;
        f.Rates(r.x, r.y, r.z, r.dx, r.dy, r.dz);
        r.t += h;
        r.Store();
    }
}

// The program's first-order step: x, then y' and y from the new x, z' and z, then x'.
void RunEuler(const HandLorenz& f, HandRun& r, double h, int steps)
{
    f.Rates(r.x, r.y, r.z, r.dx, r.dy, r.dz);
    r.Store();
    double unused;
    for (int n = 0; n < steps; ++n) {
        r.x += h * r.dx;
        f.Rates(r.x, r.y, r.z, unused, r.dy, unused);
        r.y += h * r.dy;
        f.Rates(r.x, r.y, r.z, unused, unused, r.dz);
        r.z += h * r.dz;
        f.Rates(r.x, r.y, r.z, r.dx, unused, unused);
        r.t += h;
        r.Store();
    }
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
        r.Start(m->m_dInitX, m->m_dInitY, m->m_dInitZ);
        if (integrator == 1)
            RunRKF(f, r, h, kSteps);
        else
            RunEuler(f, r, h, kSteps);
        benchmark::DoNotOptimize(r.col[1].data());
        benchmark::ClobberMemory();
        steps += kSteps;
    }
    // The same run as the typed one, so nothing was folded away or skipped.
    const double mine[3] = {r.x, r.y, r.z};
    if (std::memcmp(mine, g_typedFinal[integrator], sizeof mine) != 0)
        state.SkipWithError("not the typed run's final state: run BM_Run/kind:3 first");
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
