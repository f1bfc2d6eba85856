// The right-hand side of the Lorenz system, the inner loop of every run: recorded replay,
// token-by-token replay and scanning against hand-written code and muparser. Each iteration
// evaluates the three equations and takes a small Euler step, so nothing can be hoisted.
#include <memory>

#include <benchmark/benchmark.h>
#include <muParser.h>

#include "parser/Parser.h"

namespace {

const char* const kEquations[3] = {"a*(y-x)", "x*(b-z)-y", "x*y-c*z"};
constexpr double kStep = 1e-4;

struct Lorenz
{
    double x = 1.0, y = 1.0, z = 1.0;
    void Step(double dx, double dy, double dz)
    {
        x += kStep * dx;
        y += kStep * dy;
        z += kStep * dz;
    }
};

// The parameters come from memory the compiler cannot see into, and each step's state goes
// through DoNotOptimize, so the three equations are computed at every iteration as written.
void BM_LorenzHandWritten(benchmark::State& state)
{
    volatile double va = 10.0, vb = 28.0, vc = 8.0 / 3.0;
    const double a = va, b = vb, c = vc;
    Lorenz s;
    for (auto _ : state) {
        const double dx = a * (s.y - s.x);
        const double dy = s.x * (b - s.z) - s.y;
        const double dz = s.x * s.y - c * s.z;
        s.Step(dx, dy, dz);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_LorenzHandWritten);

std::unique_ptr<CParser> RecordedLorenz()
{
    auto parser = std::make_unique<CParser>();
    parser->m_dA = 10.0;
    parser->m_dB = 28.0;
    parser->m_dC = 8.0 / 3.0;
    int status = 0;
    for (int k = 1; k <= 3; ++k) {
        parser->m_bScan = 1;
        parser->m_nList = k;
        parser->m_nListIndex = 0;
        parser->Evaluate(kEquations[k - 1], status);
    }
    return parser;
}

// The calculation threads' use: select list k, rewind it, evaluate.
double Replay(CParser& parser, int nList)
{
    int status = 0;
    parser.m_bScan = 0;
    parser.m_nList = nList;
    parser.m_nListIndex = 0;
    return parser.Evaluate(kEquations[nList - 1], status);
}

// The state lives in the parser, where the equations read it.
void ReplayLorenz(benchmark::State& state, bool bCompiled)
{
    auto parser = RecordedLorenz();
    parser->SetCompiledReplay(bCompiled);
    CParser& p = *parser;
    p.m_dX = p.m_dY = p.m_dZ = 1.0;
    for (auto _ : state) {
        const double dx = Replay(p, 1);
        const double dy = Replay(p, 2);
        const double dz = Replay(p, 3);
        benchmark::DoNotOptimize(dx);
        p.m_dX += kStep * dx;
        p.m_dY += kStep * dy;
        p.m_dZ += kStep * dz;
    }
}

void BM_LorenzReplay(benchmark::State& state)
{
    ReplayLorenz(state, true);
}
BENCHMARK(BM_LorenzReplay);

// All three through the model's one call, the state read from the caller's array: as machine
// code where the processor allows, and as the threaded program that stands in elsewhere.
void LorenzRates(benchmark::State& state, bool bNative)
{
    static constexpr RateInputs kInputs = {
        4, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dY, &CParser::m_dZ}, 3};
    auto parser = RecordedLorenz();
    parser->SetNativeRates(bNative);
    double u[3] = {1.0, 1.0, 1.0}, d[3];
    for (auto _ : state) {
        if (!parser->EvaluateRates(kInputs, 0.0, u, d)) {
            state.SkipWithError("no value");
            break;
        }
        for (int i = 0; i < 3; ++i)
            u[i] += kStep * d[i];
        benchmark::DoNotOptimize(u);
    }
}

void BM_LorenzRates(benchmark::State& state)
{
    LorenzRates(state, true);
}
BENCHMARK(BM_LorenzRates);

void BM_LorenzRatesThreaded(benchmark::State& state)
{
    LorenzRates(state, false);
}
BENCHMARK(BM_LorenzRatesThreaded);

void BM_LorenzReplayTokens(benchmark::State& state)
{
    ReplayLorenz(state, false);
}
BENCHMARK(BM_LorenzReplayTokens);

void BM_LorenzScan(benchmark::State& state)
{
    auto parser = RecordedLorenz();
    parser->m_nList = 0;
    Lorenz s;
    double d[3];
    for (auto _ : state) {
        parser->m_dX = s.x;
        parser->m_dY = s.y;
        parser->m_dZ = s.z;
        for (int k = 0; k < 3; ++k) {
            int status = 0;
            parser->m_nListIndex = 0;
            d[k] = parser->Evaluate(kEquations[k], status);
        }
        benchmark::DoNotOptimize(d);
        s.Step(d[0], d[1], d[2]);
    }
}
BENCHMARK(BM_LorenzScan);

void BM_LorenzMuparser(benchmark::State& state)
{
    double a = 10.0, b = 28.0, c = 8.0 / 3.0;
    Lorenz s;
    mu::Parser parsers[3];
    for (int k = 0; k < 3; ++k) {
        mu::Parser& p = parsers[k];
        p.DefineVar("a", &a);
        p.DefineVar("b", &b);
        p.DefineVar("c", &c);
        p.DefineVar("x", &s.x);
        p.DefineVar("y", &s.y);
        p.DefineVar("z", &s.z);
        p.SetExpr(kEquations[k]);
        p.Eval(); // compiles to byte code
    }
    for (auto _ : state) {
        const double dx = parsers[0].Eval();
        const double dy = parsers[1].Eval();
        const double dz = parsers[2].Eval();
        benchmark::DoNotOptimize(dx);
        s.Step(dx, dy, dz);
    }
}
BENCHMARK(BM_LorenzMuparser);

} // namespace
