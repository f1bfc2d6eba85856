#include <atomic>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <thread>

#include "ParserTestUtil.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kFail = 0;

struct EvalCase
{
    const char* text;
    double value;
    int status;
};

// x = 1, y = 2, z = 3, a = 1.5, b = -2, c = 0.25, d = 4 (ParserTest).
const EvalCase kCases[] = {
    // precedence and associativity
    {"-2^2", 4.0, 1},
    {"2^-2", 0.25, 1},
    {"2^-1", 0.5, 1},
    {"2^3^2", 512.0, 1},
    {"1--2", 3.0, 1},
    {"2*-3", -6.0, 1},
    {"1+2*3", 7.0, 1},
    {"8/4/2", 1.0, 1},
    {"2*3^2", 18.0, 1},
    {"(1+2)*3", 9.0, 1},
    {"10-4-3", 3.0, 1},
    {"--2", 0.0, kFail},
    {"(--2)", 0.0, kFail},
    {"2x", 0.0, kFail},
    {"2(x)", 0.0, kFail},
    {"sin x", 0.0, kFail},
    {"()", 0.0, kFail},
    {"", 0.0, kFail},
    {"1+", 0.0, kFail},
    {"(1", 0.0, kFail},
    {"1)", 0.0, kFail},
    {"sin", 0.0, kFail},
    {"1 2", 0.0, kFail},
    {"1.2.3", 0.0, kFail},
    {"1E+0005", 0.0, kFail},
    {" 1E+005 ", 1e5, 1},
    {".5*2", 1.0, 1},
    {".", 0.0, kFail},
    {"1\t", 0.0, kFail},
    // powers
    {"0^0", 1.0, 1},
    {"(-2)^0.0", 1.0, 1},
    {"(-8)^(1/3)", 0.0, kFail},
    {"(-2)^3", -8.0, 1},
    {"2^101", 0.0, kFail},
    {"2^100", 1267650600228229401496703205376.0, 1},
    {"2^-500", std::ldexp(1.0, -500), 1},
    {"(-2)^-1", -0.5, 1},
    // quotients
    {"1/0", kInf, 1},
    {"-1/0", kInf, 1},
    {"0/0", kInf, 1},
    {"-(1/0)", -kInf, 1},
    // functions and their domains
    {"abs(-3)", 3.0, 1},
    {"exp(100)", std::exp(100.0), 1},
    {"exp(100.5)", 0.0, kFail},
    {"exp(-1000)", 0.0, 1},
    {"log(0)", 0.0, kFail},
    {"log(-1)", 0.0, kFail},
    {"log(1)", 0.0, 1},
    {"log10(0)", 0.0, kFail},
    {"log10(1000)", 3.0, 1},
    {"sqrt(-1)", 0.0, kFail},
    {"sqrt(4)", 2.0, 1},
    {"sqr(-3)", 9.0, 1},
    {"pow10(2)", 100.0, 1},
    {"pow10(-1)", 0.1, 1},
    {"trunc(-2.7)", -2.0, 1},
    {"trunc(2.7)", 2.0, 1},
    {"trunc(1E10)", 1e10, 1},
    {"cos(0)+cosh(0)", 2.0, 1},
    {"sin(0)+sinh(0)+tan(0)+tanh(0)", 0.0, 1},
    {"atan(1)*4", 3.141592653589793, 1},
    {"asin(1)*2", 3.141592653589793, 1},
    {"acos(-1)", 3.141592653589793, 1},
    {"SIN(0)", 0.0, 1},
    {"sin(-0)", -0.0, 1},
    {"sin()", 0.0, kFail},
    {"rand(0)", 0.0, 1},
    // window tests against x = 1, y = 2, z = 3: keywords, not variables
    {"x<=(1)", 1.0, 1},
    {"x>=(2)", 0.0, 1},
    {"x<=(0.5)", 0.0, 1},
    {"y>=(2)", 1.0, 1},
    {"y<=(1)", 0.0, 1},
    {"z>=(4)", 0.0, 1},
    {"z<=(3)", 1.0, 1},
    // variables
    {"a*(y-x)", 1.5, 2},
    {"x*(b-z)-y", -7.0, 2},
    {"x*y-c*z", 1.25, 2},
    {"d/c", 16.0, 2},
    {"1+2", 3.0, 1},
};

void PrintTo(const EvalCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class Evaluate : public ParserTest, public ::testing::WithParamInterface<EvalCase>
{
};

TEST_P(Evaluate, GivesValueAndStatus)
{
    const EvalCase& c = GetParam();
    int status = -1;
    const double d = Scan(c.text, status);
    EXPECT_EQ(status, c.status) << c.text;
    if (std::isnan(c.value))
        EXPECT_TRUE(std::isnan(d)) << c.text;
    else
        EXPECT_EQ(d, c.value) << c.text;
    EXPECT_EQ(std::signbit(d), std::signbit(c.value)) << c.text;
    EXPECT_EQ(p->m_bError != 0, status == 0) << c.text;
    EXPECT_TRUE(m_messages.empty()) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, Evaluate, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return TextName(info.param.text); });

TEST_F(ParserTest, NanFlowsThroughWithoutError)
{
    int status = 0;
    EXPECT_TRUE(std::isnan(Scan("acos(2)", status)));
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(std::isnan(Scan("0*(1/0)", status)));
    EXPECT_EQ(status, 1);
    Scan("2^(0*(1/0))", status); // a NaN exponent is not allowed
    EXPECT_EQ(status, 0);
}

TEST_F(ParserTest, RandScalesAWholeValue)
{
    int status = 0;
    const double r = Scan("rand(32767)", status);
    EXPECT_EQ(status, 1);
    EXPECT_GE(r, 0.0);
    EXPECT_LE(r, 32767.0);
    EXPECT_EQ(r, std::trunc(r));
}

TEST_F(ParserTest, DltPulses)
{
    p->m_dDT = 0.1;
    for (double t : {0.0, 0.05, 0.37, 12.9}) {
        p->m_dT = t;
        EXPECT_EQ(p->Dlt(0.1), 1) << t; // a pulse at every step
        EXPECT_EQ(p->Dlt(-1.0), 0) << t;
        EXPECT_EQ(p->Dlt(0.0), 0) << t;
    }
    p->m_dDT = 0.01;
    const struct
    {
        double t, period;
        int pulse;
    } kCases[] = {{2.005, 1.0, 1}, {2.5, 1.0, 0}, {4.0, 2.0, 1}, {0.0, 2.0, 1}, {1.99, 2.0, 0}};
    for (const auto& c : kCases) {
        p->m_dT = c.t;
        EXPECT_EQ(p->Dlt(c.period), c.pulse) << c.t << " " << c.period;
        int status = 0;
        p->m_dT = c.t;
        const std::string text = "dlt(" + std::to_string(c.period) + ")";
        EXPECT_EQ(Scan(text, status), c.pulse) << text;
        EXPECT_EQ(status, 1);
    }
}

std::string Nested(int nDepth, const std::string& open, const std::string& inner)
{
    std::string text;
    for (int i = 0; i < nDepth; ++i)
        text += open;
    text += inner;
    text.append(nDepth, ')');
    return text;
}

TEST_F(ParserTest, StackHoldsSeventeenParenthesesAndEightCalls)
{
    struct Case
    {
        std::string text;
        double value;
        EvalError error;
    };
    const Case cases[] = {
        {Nested(17, "(", "7"), 7.0, EvalError::None},
        {Nested(8, "abs(", "-7"), 7.0, EvalError::None},
        {Nested(18, "(", "7"), 0.0, EvalError::StackFull},
        {Nested(9, "abs(", "-7"), 0.0, EvalError::StackFull},
        {"1+2*3-4/2+5*6*7", 215.0, EvalError::None}, // sums and products reduce as they go
        {"sqrt(-1)", 0.0, EvalError::Domain},
        {"1+", 0.0, EvalError::Syntax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        // On any thread: an overflow is an error like the others, with no message of its own
        // (a calculation thread may be holding the table when it meets one).
        int status = -1;
        double value = -1;
        std::thread worker([&] { value = Scan(c.text, status); });
        worker.join();
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(status, c.error == EvalError::None ? 1 : 0);
        EXPECT_EQ(p->LastError(), c.error);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ParserTest, OverlongTextsAndNumbersFail)
{
    int status = -1;
    std::string sum = "1";
    while (sum.size() < 497)
        sum += "+1";
    ASSERT_EQ(sum.size(), 497u);
    EXPECT_EQ(Scan(sum + "+0", status), 249.0); // 499 characters fit
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Scan(sum + "+01", status), 0.0); // 500 characters
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Scan(std::string(100000, '('), status), 0.0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(m_messages.empty());

    const std::string number131 = std::string(130, '0') + "5";
    EXPECT_EQ(Scan(number131, status), 5.0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Scan("0" + number131, status), 0.0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Scan("0." + std::string(125, '0') + "1E+12", status), 0.0); // 132 with the exponent
    EXPECT_EQ(status, 0);
}

TEST_F(ParserTest, NullTextIsAnError)
{
    int status = -1;
    p->m_bScan = 1;
    EXPECT_EQ(p->Evaluate(nullptr, status), 0.0);
    EXPECT_EQ(status, 0);
}

// Several threads scan and replay with parsers of their own, each setting its own flag.
TEST(ParserThreads, OwnParsersRunSideBySide)
{
    std::atomic<int> nWrong{0}, nFlagged{0};
    auto work = [&nWrong, &nFlagged](double x) {
        auto parser = std::make_unique<CParser>();
        parser->m_dX = x;
        parser->m_dXDelayed = 1.0;
        int status = 0;
        parser->m_nList = 1;
        parser->Evaluate("x*x + x:", status);
        parser->m_bScan = 0;
        for (int i = 0; i < 2000; ++i) {
            parser->m_nListIndex = 0;
            if (parser->Evaluate("", status) != x * x + 1.0 || status != 1)
                ++nWrong;
        }
        nFlagged += parser->m_bDelayedVarUsed;
    };
    std::thread t1(work, 2.0), t2(work, 3.0);
    work(4.0);
    t1.join();
    t2.join();
    EXPECT_EQ(nWrong.load(), 0);
    EXPECT_EQ(nFlagged.load(), 3);
}

} // namespace
