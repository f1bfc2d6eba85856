// The rates of recorded equations in one call, as machine code (where the processor allows)
// and as threaded code: bit for bit the scans', for every kind of state and every outcome.
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "ParserTestUtil.h"

namespace {

#if defined(__x86_64__) && defined(__linux__)
constexpr bool kMachineCode = true;
#else
constexpr bool kMachineCode = false;
#endif

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr RateInputs kThree = {
    4, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dY, &CParser::m_dZ}, 3};
constexpr RateInputs kTwo = {3, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dY, nullptr}, 2};
constexpr RateInputs kOne = {2, {&CParser::m_dT, &CParser::m_dX, nullptr, nullptr}, 1};
constexpr RateInputs kNewtonian = {
    3, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dXPrime, nullptr}, 1};

struct RatesCase
{
    const RateInputs* inputs;
    const char* text[3];
    bool bNative; // runs as machine code where the processor allows
};

const RatesCase kRates[] = {
    {&kThree, {"a*(y-x)", "x*(b-z)-y", "x*y-c*z"}, true},
    {&kThree,
     {"abs(x)+acos(c)+asin(c)+atan(y)+cosh(c)+cos(x)+exp(y)",
      "log10(y)+log(z)+pow10(b)+sinh(x)+sin(z)+sqrt(y)+sqr(x)",
      "tanh(x)+tan(z)+trunc(y*a)+rand(0)+acos(x)"},
     true},
    {&kThree, {"x/(y-y) + 1/z - y/x", "-1/(x-x) + (x-x)/(x-x)", "z/-0 + 0/(z*0) + x/y/z"}, true},
    {&kThree, {"x^y + 2^x^y^z", "(-x)^0.5 + 2^(x*50) + (x*y)^(z*c)", "y^0 + (-2)^z + z^-x"}, true},
    {&kThree,
     {"1e300*1e300*x - 1e300*1e300*y", "exp(x*100)", "(1e300*x)*(1e300*y) - z*z*1e308"},
     true},
    {&kThree, {"-x", "-(y-y)", "0*-1 + -0 - z + -(-(x))"}, true},
    {&kThree,
     {"sin(x)*y + cos(y)*x - sqrt(abs(z))*tan(x)", "exp(-x*x)*(log(1+y*y) + sinh(z)/cosh(z))",
      "(sin(x)+cos(y))*(sin(y)+cos(z))*(sin(z)+cos(x)) + x^2*y^3"},
     true},
    {&kThree,
     {"x*(y*(z*(x*(y*(z+1)-1)+1)-1)+1) / (1 + x*x) ^ 2",
      "((((((((((((((((x))))))))))))))))-((x-y)*(x+y)-(y-z)*(y+z))*((z-x)*(z+x)-(x-1)*(y-2))",
      "(((x+1)*(y+2)+(z+3)*(x+4))*((y+5)*(z+6)+(x+7)*(y+8)))*(((z+9)*(x+1)+(y+2)*(z+3))*"
      "((x+4)*(y+5)+(z+6)*(x+7)))"},
     true},
    {&kThree, {"2", "-3.5", "pi*1e308*10"}, true},
    {&kThree, {"t*x + sin(t)", "y' + x: + af*cos(w*t) + pa + d", "z - t/t"}, true},
    {&kTwo, {"y", "-b*y - x + a*cos(af*t)"}, true},
    {&kOne, {"a*x*(1-x/b) - t*sin(x)"}, true},
    {&kNewtonian, {"-c*x' - x*(a+b*x*x) + d*cos(af*t)"}, true},
    {&kNewtonian, {"a*cos(af*t+pa)-b*x^3-c*x'"}, true},
    // These read the state from the parser: threaded code, the state stored first.
    {&kThree, {"dlt(c) + x", "y", "z"}, false},
    {&kThree, {"x", "y<=(x) + y", "z>=(1)"}, false},
};

// States of t, x, y, z (x' for the Newtonian kind is the third).
const double kStates[][4] = {
    {0.0, 1.0, 2.0, 3.0},       {0.5, 0.0, 2.0, -1.0},     {1.0, -3.5, 0.0, 0.5},
    {2.0, -0.0, 1e-300, 1e300}, {3.0, 1.5, 1.5, 0.0},      {-1.0, kNaN, 1.0, 2.0},
    {0.25, kInf, -kInf, 1.0},   {4.0, 200.0, -0.0, 101.0},
};

// Any NaN is the same NaN: the threaded code may move an operand of a commutative operation.
bool SameBits(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

class Rates : public ParserTest, public ::testing::WithParamInterface<bool>
{
protected:
    // The call for all rates of the case's inputs.
    bool All(const RatesCase& c, const double* u, double t, double* rate)
    {
        switch (c.inputs->nRates) {
        case 1:
            return p->EvaluateRates<1>(*c.inputs, t, u, rate);
        case 2:
            return p->EvaluateRates<2>(*c.inputs, t, u, rate);
        default:
            return p->EvaluateRates<3>(*c.inputs, t, u, rate);
        }
    }
    // A first-order step in one call, and the same step rate by rate as the steppers take it.
    bool Step(const RatesCase& c, double t, double* u, double* rate, double h)
    {
        switch (c.inputs->nRates) {
        case 1:
            return p->EvaluateFirstOrderStep<1>(*c.inputs, t, u, rate, h);
        case 2:
            return p->EvaluateFirstOrderStep<2>(*c.inputs, t, u, rate, h);
        default:
            return p->EvaluateFirstOrderStep<3>(*c.inputs, t, u, rate, h);
        }
    }
    bool StepByRate(const RatesCase& c, double t, double* u, double* rate, double h)
    {
        bool bOk = true;
        u[0] = u[0] + h * rate[0];
        for (int i = 1; i < c.inputs->nRates; ++i) {
            bOk = p->EvaluateRate(*c.inputs, i, t, u, rate[i]) && bOk;
            u[i] = u[i] + h * rate[i];
        }
        return p->EvaluateRate(*c.inputs, 0, t, u, rate[0]) && bOk;
    }
    // The state into the members the inputs stand for.
    void Load(const RatesCase& c, double t, const double* u)
    {
        (*p).*c.inputs->member[0] = t;
        for (int i = 1; i < c.inputs->nState; ++i)
            (*p).*c.inputs->member[i] = u[i - 1];
    }
    void Record(const RatesCase& c)
    {
        for (int i = 0; i < c.inputs->nRates; ++i) {
            int status = 0;
            for (const auto& s : kStates) { // a recording that fails is partial
                Load(c, s[0], s + 1);
                if (ParserTest::Record(i + 1, c.text[i], status), status != 0)
                    break;
            }
            ASSERT_NE(status, 0) << c.text[i];
        }
    }
};

TEST_P(Rates, AgreeWithTheScansBitForBit)
{
    const bool bNative = GetParam();
    int nSucceeded = 0, nFailed = 0, nSteps = 0;
    for (const RatesCase& c : kRates) {
        p->SetNativeRates(bNative);
        Record(c);
        const int n = c.inputs->nRates;
        EXPECT_EQ(p->RatesRunNative(*c.inputs), bNative && kMachineCode && c.bNative) << c.text[0];
        auto copy = std::make_unique<CParser>(*p);
        for (const auto& s : kStates) {
            const double t = s[0], *u = s + 1;
            const std::string where = std::string(c.text[0]) + " at x=" + std::to_string(u[0]);
            double scanned[3];
            bool bAll = true;
            Load(c, t, u);
            for (int i = 0; i < n; ++i) {
                int status = 0;
                scanned[i] = Scan(c.text[i], status);
                bAll = bAll && status != 0;
            }
            const double junk[3] = {99.0, 99.0, 99.0};
            Load(c, 99.0, junk); // the call reads t and u
            double rate[3], one[3];
            ASSERT_EQ(All(c, u, t, rate), bAll) << where;
            bool bOne = true;
            for (int i = 0; i < n; ++i)
                bOne = p->EvaluateRate(*c.inputs, i, t, u, one[i]) && bOne;
            EXPECT_EQ(bOne, bAll) << where;
            (bAll ? nSucceeded : nFailed)++;
            if (c.inputs->nState == n + 1) { // the kinds with a first-order step of their own
                double u1[3] = {u[0], u[1], u[2]}, r1[3] = {0.5, 0.0, 0.0};
                double u2[3] = {u[0], u[1], u[2]}, r2[3] = {0.5, 0.0, 0.0};
                if (Step(c, t, u1, r1, 0.125)) {
                    ++nSteps;
                    EXPECT_TRUE(StepByRate(c, t, u2, r2, 0.125)) << where;
                    for (int i = 0; i < n; ++i) {
                        EXPECT_TRUE(SameBits(u1[i], u2[i])) << where << " variable " << i;
                        EXPECT_TRUE(SameBits(r1[i], r2[i])) << where << " rate " << i;
                    }
                }
            }
            for (int i = 0; bAll && i < n; ++i) {
                EXPECT_TRUE(SameBits(rate[i], scanned[i])) << where << " rate " << i;
                EXPECT_TRUE(SameBits(one[i], scanned[i])) << where << " rate " << i;
            }
        }
        // The copy made before these calls runs on its own parameters, also once this
        // parser's program is gone.
        p->m_dA = 1.5;
        copy->m_dA = -0.75;
        p->SetNativeRates(!bNative);
        Record(c);
        double mine[3] = {}, theirs[3] = {};
        const double u[3] = {1.0, 2.0, 3.0};
        const bool bMine = All(c, u, 0.5, mine);
        std::swap(p, copy);
        EXPECT_EQ(All(c, u, 0.5, theirs), bMine) << c.text[0];
        std::swap(p, copy);
        if (bMine && std::string(c.text[0]).find("a*") != std::string::npos) {
            EXPECT_NE(mine[0], theirs[0]) << c.text[0];
        }
    }
    EXPECT_EQ(nSteps > 0, bNative && kMachineCode);
    EXPECT_GT(nSucceeded, 20);
    EXPECT_GT(nFailed, 10);
}

INSTANTIATE_TEST_SUITE_P(MachineAndThreadedCode, Rates, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Machine" : "Threaded"; });

} // namespace
