#include "CalcTestUtil.h"

#include "model/core/Steppers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// Any NaN is the same NaN: the one-call step may take the operands of a commutative operation
// in the other order, which can change only a NaN's sign.
bool SameBits(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Equations
{
    const char* name;
    SystemKind kind;
    const char* eq[3]; // Newtonian: the force; else x', y', z' (null keeps the default)
    double runTime;
};

// Each kind with its defaults, and equations that fail, overflow, read delayed values or
// call functions that read the parser's own t and state.
const Equations kCases[] = {
    {"defaults N", SystemKind::Newtonian, {}, 3},
    {"defaults 1", SystemKind::OneVariable, {}, 3},
    {"defaults 2", SystemKind::TwoVariable, {}, 3},
    {"Lorenz", SystemKind::ThreeVariable, {"10*(y-x)", "28*x-y-x*z", "x*y-8/3*z"}, 3},
    {"domain N", SystemKind::Newtonian, {"-x+sqrt(1-t)"}, 2},
    {"domain 1", SystemKind::OneVariable, {"log(1.5-t)*x"}, 2},
    {"domain 3", SystemKind::ThreeVariable, {"y", "-x", "2^(100*t)-z"}, 2},
    {"exp 2", SystemKind::TwoVariable, {"y", "exp(40*t*x)"}, 3},
    {"overflow 1", SystemKind::OneVariable, {"-(x*1e300*1e300-x*1e300*1e300)"}, 1},
    {"overflow 2", SystemKind::TwoVariable, {"x*x*1e300", "-y/(x-x)"}, 1},
    {"overflow 3", SystemKind::ThreeVariable, {"x^3*1e200", "y*1e300*1e300-y", "-z"}, 1},
    {"delayed 2", SystemKind::TwoVariable, {"y-x:", "-x+0.5*y:"}, 3},
    {"delayed 3", SystemKind::ThreeVariable, {"z:-x", "x:*y", "-z+y:/2"}, 3},
    {"reads own state",
     SystemKind::ThreeVariable,
     {"x<=(0.5)-x", "dlt(0.3)+y>=(0)-y", "sqr(z)-z"},
     3},
    {"pulse N", SystemKind::Newtonian, {"dlt(0.25)-x*x'+x<=(0)"}, 3},
    {"prime 1", SystemKind::OneVariable, {"-x+x'*0.1"}, 3},
    {"nested",
     SystemKind::TwoVariable,
     {"-(x+(y*(x-(y/(1+x*x)))))", "abs(-x)^2*cos(y)-tanh(t)"},
     3},
};

// How a run stores and ends: every row in a large ring, left to itself; or every third row in a
// ring of seven that wraps, each handed over and the run stopped at the 20th step.
struct RunShape
{
    int interval, rows, stopAfterPolls;
    bool concurrent;
};
constexpr RunShape kShapes[] = {{1, 10000, -1, false}, {3, 7, 20, true}};

struct RunResult
{
    std::vector<std::vector<double>> columns;
    double v[kSlots];
    std::int64_t steps;
    int count, index, progress;
    double max[kSlots], min[kSlots];
    EvalError error;
    int errorList;
    double errorT;
};

void Type(CModelCore& m, const Equations& c)
{
    NewModel(m);
    TypeEquations(m, {c.eq[0], c.eq[1], c.eq[2]});
}

// How a parser evaluates the typed equations: machine code (the steps in one call where they
// can), threaded code (stage by stage), or token by token, as a scan would.
enum class Way
{
    Machine,
    Threaded,
    Tokens
};

void Use(CParser& parser, Way way)
{
    parser.SetCompiledReplay(way != Way::Tokens);
    parser.SetNativeRates(way == Way::Machine);
}

RunResult RunCase(const Equations& c, int integrator, Way way, const RunShape& shape)
{
    CModelCore m(c.kind);
    Type(m, c);
    m.m_nTableInterval = shape.interval;
    m.m_nTableRows = shape.rows;
    m.m_bPlotConcurrent = shape.concurrent;
    m.AllocateTable();
    m.m_nIntegrator = integrator;
    m.m_dRunTimeLimit = c.runTime;
    m.m_nXDelay = 3;
    m.m_nYDelay = 5;
    m.m_nZDelay = 2;
    EXPECT_TRUE(m.CompileEquations());
    Use(*m.m_pParser, way); // the run's parser is a copy of this one
    CountingSink sink;
    sink.stopAfterPolls = shape.stopAfterPolls;
    auto calc = RunModel(m, sink);
    RunResult r{};
    if (!calc)
        return r;
    for (VarSlot s : VarsOf(c.kind).Columns())
        r.columns.push_back(m.m_arrTable[s]);
    std::memcpy(r.v, calc->m_v, sizeof r.v);
    r.steps = calc->m_nStepCount;
    r.count = calc->m_nCount;
    r.index = calc->m_nIndex;
    r.progress = sink.progress;
    std::memcpy(r.max, calc->m_dMax, sizeof r.max);
    std::memcpy(r.min, calc->m_dMin, sizeof r.min);
    r.error = calc->m_eError;
    r.errorList = calc->m_nErrorList;
    r.errorT = calc->m_dErrorT;
    return r;
}

void ExpectSameRun(const RunResult& fast, const RunResult& slow, const RunShape& shape)
{
    EXPECT_EQ(fast.steps, slow.steps);
    EXPECT_EQ(fast.count, slow.count);
    EXPECT_EQ(fast.index, slow.index);
    EXPECT_EQ(fast.progress, slow.progress);
    EXPECT_EQ(fast.error, slow.error);
    EXPECT_EQ(fast.errorList, slow.errorList);
    EXPECT_TRUE(SameBits(fast.errorT, slow.errorT));
    for (int s = 0; s < kSlots; ++s) {
        EXPECT_TRUE(SameBits(fast.v[s], slow.v[s])) << s;
        EXPECT_TRUE(SameBits(fast.max[s], slow.max[s])) << s;
        EXPECT_TRUE(SameBits(fast.min[s], slow.min[s])) << s;
    }
    ASSERT_EQ(fast.columns.size(), slow.columns.size());
    const int rows = std::min(slow.count, shape.rows);
    for (std::size_t col = 0; col < fast.columns.size(); ++col)
        for (int row = 0; row < rows; ++row)
            ASSERT_TRUE(SameBits(fast.columns[col][row], slow.columns[col][row]))
                << "column " << col << " row " << row;
}

// The machine code (with its one-call steps) and the threaded code give the rows, extents,
// final state, ring position, progress and error of the token-by-token replay (the scanning
// evaluation's values and causes), for every kind and both integrators, also in a small ring
// stored every third step by a run stopped early.
TEST(TypedRates, RunsMatchTheTokenReplayBitForBit)
{
    for (const Equations& c : kCases)
        for (int integrator : {0, 1})
            for (const RunShape& shape : kShapes) {
                const RunResult slow = RunCase(c, integrator, Way::Tokens, shape);
                ASSERT_GT(slow.count, shape.concurrent ? 0 : 1) << c.name;
                // The equations that leave their domain do fail, so the error paths are covered.
                const std::string name = c.name;
                if (!shape.concurrent && (name.starts_with("domain") || name == "exp 2")) {
                    EXPECT_NE(slow.error, EvalError::None) << name;
                }
                for (Way way : {Way::Machine, Way::Threaded}) {
                    SCOPED_TRACE(name + (integrator ? " RKF" : " Euler") +
                                 (way == Way::Machine ? " machine code" : " threaded code") +
                                 " every " + std::to_string(shape.interval));
                    ExpectSameRun(RunCase(c, integrator, way, shape), slow, shape);
                }
            }
}

// Rates at single states, all at once and one by one, against the token replay: values, the
// error and its list; a parser copy computes with its own parameters.
TEST(TypedRates, OneCallAndSingleRatesMatchTheReplay)
{
    struct Point
    {
        double t, u[3];
    };
    const Point points[] = {{0, {1, 2, 3}},
                            {0.5, {-1, 0, 1e-300}},
                            {2, {1e200, -1e200, 0}},
                            {1, {NAN, 1, INFINITY}},
                            {0.25, {-0.0, 0.5, -2}}};
    for (const Equations& c : kCases) {
        CModelCore m(c.kind);
        Type(m, c);
        ASSERT_TRUE(m.CompileEquations());
        CParser fast(*m.m_pParser), slow(*m.m_pParser);
        slow.SetCompiledReplay(false);
        fast.m_dXDelayed = slow.m_dXDelayed = 0.75;
        fast.m_dDT = slow.m_dDT = 0.3;
        const int dim = VarsOf(c.kind).dim;
        for (const Point& p : points) {
            SCOPED_TRACE(std::string(c.name) + " t=" + std::to_string(p.t));
            KindState s;
            s.t = p.t;
            std::memcpy(s.u, p.u, sizeof s.u);
            KindRhs f, g;
            f.kind = g.kind = c.kind;
            f.parser = &fast;
            g.parser = &slow;
            double a[3] = {}, b[3] = {};
            KindRates(f, s, a);
            KindRates(g, s, b);
            EXPECT_EQ(f.error, g.error);
            EXPECT_EQ(f.errorList, g.errorList);
            for (int i = 0; i < dim; ++i) {
                EXPECT_TRUE(SameBits(a[i], b[i])) << i << ": " << a[i] << " " << b[i];
                KindRhs f1 = f, g1 = g;
                f1.error = g1.error = EvalError::None;
                EXPECT_TRUE(SameBits(KindRate(f1, i, s), KindRate(g1, i, s))) << i;
                EXPECT_EQ(f1.error, g1.error) << i;
            }
        }
    }
}

// A typed step of kind K (the fifth-order step alone, with the rates at the new state, or the
// first-order step) from s with a parser that evaluates one way; oneCall looks its steps up
// first, as a run does.
struct StepResult
{
    KindState s;
    double rate[3];
    EvalError error;
    int errorList;
};

template <SystemKind K>
StepResult TypedStep(CParser& parser, const KindState& from, int which, bool oneCall)
{
    KindRhs f;
    f.kind = K;
    f.mass = 0.75;
    f.parser = &parser;
    if (oneCall)
        LookUpOneCallSteps<K>(f);
    StepResult r{from, {0.5, -0.25, 2}, EvalError::None, 0};
    if (which == 0)
        StepRKF<K, 0>(f, r.s, 0.125);
    else if (which == 1)
        StepRKFAndRates<K, 0>(f, r.s, r.rate, 0.125);
    else
        StepEuler<K, 0>(f, r.s, r.rate, 0.125);
    r.error = f.error;
    r.errorList = f.errorList;
    return r;
}

// The steps in one machine-code call (looked up once or at each step) give the values and the
// error of the steps taken stage by stage with threaded code and token by token, at states with
// infinities, NaNs and huge values, also where an equation fails; and the machine code has
// the one-call steps wherever it runs at all.
TEST(TypedRates, OneCallStepsMatchTheStagesAndTheReplay)
{
    const KindState points[] = {{0, {1, 2, 3}},          {0.5, {-1, 0, 1e-300}},
                                {2, {1e200, -1e200, 0}}, {1, {NAN, 1, INFINITY}},
                                {0.25, {-0.0, 0.5, -2}}, {1.45, {0.3, -0.7, 0.1}}};
    int nOneCall = 0;
    for (const Equations& c : kCases) {
        CModelCore m(c.kind);
        Type(m, c);
        ASSERT_TRUE(m.CompileEquations());
        CParser machine(*m.m_pParser), threaded(*m.m_pParser), tokens(*m.m_pParser);
        Use(threaded, Way::Threaded);
        Use(tokens, Way::Tokens);
        for (CParser* p : {&machine, &threaded, &tokens}) {
            p->m_dXDelayed = 0.75;
            p->m_dDT = 0.3;
        }
        ForKind(c.kind, [&](auto k) {
            constexpr SystemKind K = decltype(k)::value;
            const CNativeRates::Steps steps = machine.OneCallSteps(kind_rates::kInputs<K>);
            const bool native = machine.RatesRunNative(kind_rates::kInputs<K>);
            EXPECT_EQ(steps.rkf[0] != nullptr, native) << c.name;
            EXPECT_EQ(steps.rkf[1] != nullptr, native && K != SystemKind::Newtonian) << c.name;
            nOneCall += steps.rkf[0] != nullptr;
            for (const KindState& at : points) {
                for (int which : {0, 1, 2}) {
                    SCOPED_TRACE(std::string(c.name) + " t=" + std::to_string(at.t) + " step " +
                                 std::to_string(which));
                    const StepResult want = TypedStep<K>(tokens, at, which, false);
                    for (const StepResult& got : {TypedStep<K>(machine, at, which, true),
                                                  TypedStep<K>(machine, at, which, false),
                                                  TypedStep<K>(threaded, at, which, true)}) {
                        EXPECT_EQ(got.error, want.error);
                        EXPECT_EQ(got.errorList, want.errorList);
                        EXPECT_TRUE(SameBits(got.s.t, want.s.t));
                        for (int i = 0; i < VarsOf(K).dim; ++i) {
                            EXPECT_TRUE(SameBits(got.s.u[i], want.s.u[i]))
                                << i << ": " << got.s.u[i] << " " << want.s.u[i];
                            EXPECT_TRUE(SameBits(got.rate[i], want.rate[i])) << i;
                        }
                    }
                }
            }
        });
    }
#if defined(__x86_64__) && defined(__linux__)
    EXPECT_GT(nOneCall, 10);
#endif
}

} // namespace
