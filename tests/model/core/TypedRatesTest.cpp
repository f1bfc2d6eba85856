#include "CalcTestUtil.h"

#include "model/core/Steppers.h"

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

struct RunResult
{
    std::vector<std::vector<double>> columns;
    double v[kSlots];
    std::int64_t steps;
    int count;
    EvalError error;
    int errorList;
    double errorT;
};

void Type(CModelCore& m, const Equations& c)
{
    NewModel(m);
    TypeEquations(m, {c.eq[0], c.eq[1], c.eq[2]});
}

RunResult RunCase(const Equations& c, int integrator, bool compiled)
{
    CModelCore m(c.kind);
    Type(m, c);
    m.m_nIntegrator = integrator;
    m.m_dRunTimeLimit = c.runTime;
    m.m_nXDelay = 3;
    m.m_nYDelay = 5;
    m.m_nZDelay = 2;
    EXPECT_TRUE(m.CompileEquations());
    m.m_pParser->SetCompiledReplay(compiled); // the run's parser is a copy of this one
    CountingSink sink;
    auto calc = RunModel(m, sink);
    RunResult r{};
    if (!calc)
        return r;
    for (VarSlot s : VarsOf(c.kind).Columns())
        r.columns.push_back(m.m_arrTable[s]);
    std::memcpy(r.v, calc->m_v, sizeof r.v);
    r.steps = calc->m_nStepCount;
    r.count = calc->m_nCount;
    r.error = calc->m_eError;
    r.errorList = calc->m_nErrorList;
    r.errorT = calc->m_dErrorT;
    return r;
}

// The one-call rates give the rows, final state and error of the token-by-token replay (the
// scanning evaluation's values and causes), for every kind and both integrators.
TEST(TypedRates, RunsMatchTheTokenReplayBitForBit)
{
    for (const Equations& c : kCases) {
        for (int integrator : {0, 1}) {
            SCOPED_TRACE(std::string(c.name) + (integrator ? " RKF" : " Euler"));
            const RunResult fast = RunCase(c, integrator, true);
            const RunResult slow = RunCase(c, integrator, false);
            ASSERT_GT(slow.count, 1);
            // The equations that leave their domain do fail, so the error paths are covered.
            if (std::string(c.name).starts_with("domain") || std::string(c.name) == "exp 2") {
                EXPECT_NE(slow.error, EvalError::None);
            }
            EXPECT_EQ(fast.steps, slow.steps);
            EXPECT_EQ(fast.count, slow.count);
            EXPECT_EQ(fast.error, slow.error);
            EXPECT_EQ(fast.errorList, slow.errorList);
            EXPECT_TRUE(SameBits(fast.errorT, slow.errorT));
            for (int s = 0; s < kSlots; ++s)
                EXPECT_TRUE(SameBits(fast.v[s], slow.v[s])) << s;
            ASSERT_EQ(fast.columns.size(), slow.columns.size());
            for (std::size_t col = 0; col < fast.columns.size(); ++col)
                for (int row = 0; row < slow.count; ++row)
                    ASSERT_TRUE(SameBits(fast.columns[col][row], slow.columns[col][row]))
                        << "column " << col << " row " << row;
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

} // namespace
