// Steps per second of the trajectory loop: each kind, first-order and fifth-order steps,
// typed equations and built-in forms, a row stored at every step and a sink that does
// nothing; beside them the same Lorenz step written by hand.
#include "LorenzModel.h"
#include "model/core/ModelCore.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
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

void BM_Run(benchmark::State& state)
{
    const auto kind = static_cast<SystemKind>(state.range(0));
    auto m = MakeModel(kind, static_cast<int>(state.range(1)), state.range(2) == 1);
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
        benchmark::DoNotOptimize(calc.m_v[kSlotX]);
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Run)
    ->ArgNames({"kind", "rkf", "typed"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The fifth-order Lorenz step written by hand, the yardstick of the typed run.
void BM_HandWrittenLorenzRKF(benchmark::State& state)
{
    const double a = 10, b = 28, c = 8.0 / 3, h = kTwoPi / 1000;
    auto f = [&](const double* u, double* r) {
        r[0] = a * (u[1] - u[0]);
        r[1] = b * u[0] - u[1] - u[0] * u[2];
        r[2] = u[0] * u[1] - c * u[2];
    };
    std::int64_t steps = 0;
    for (auto _ : state) {
        double u[3] = {1, 0, 0}, s[3], r[3], k[6][3];
        for (int n = 0; n < kSteps; ++n) {
            static const double A[6][5] = {
                {0, 0, 0, 0, 0},
                {1.0 / 4, 0, 0, 0, 0},
                {3.0 / 32, 9.0 / 32, 0, 0, 0},
                {1932.0 / 2197, -7200.0 / 2197, 7296.0 / 2197, 0, 0},
                {439.0 / 216, -8, 3680.0 / 513, -845.0 / 4104, 0},
                {-8.0 / 27, 2, -3544.0 / 2565, 1859.0 / 4104, -11.0 / 40}};
            for (int st = 0; st < 6; ++st) {
                for (int i = 0; i < 3; ++i) {
                    s[i] = u[i];
                    for (int j = 0; j < st; ++j)
                        s[i] += A[st][j] * k[j][i];
                }
                f(s, r);
                for (int i = 0; i < 3; ++i)
                    k[st][i] = h * r[i];
            }
            for (int i = 0; i < 3; ++i)
                u[i] += 16.0 / 135 * k[0][i] + 6656.0 / 12825 * k[2][i] +
                        28561.0 / 56430 * k[3][i] - 9.0 / 50 * k[4][i] + 2.0 / 55 * k[5][i];
        }
        benchmark::DoNotOptimize(u[0]);
        steps += kSteps;
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HandWrittenLorenzRKF)->Unit(benchmark::kMillisecond);

} // namespace
