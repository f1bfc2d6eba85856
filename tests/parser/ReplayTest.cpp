#include <cmath>
#include <cstring>
#include <string>

#include "ParserTestUtil.h"

namespace {

class Replays : public ParserTest, public ::testing::WithParamInterface<bool>
{
protected:
    double Again(int nList, int& status) { return ParserTest::Replay(nList, status, GetParam()); }
    int status_ = 0;
};

TEST_P(Replays, ReadsTheCurrentVariables)
{
    int status = 0;
    p->m_dX = 3.0;
    EXPECT_EQ(Record(1, "x*x+1", status), 10.0);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(p->m_nListIndex, 5); // x * x + 1, the end token at entry 5
    EXPECT_EQ(p->m_aTokenList1[0].nCode, TK_VARIABLE);
    EXPECT_EQ(p->m_aTokenList1[1].nCode, TK_TIMES);
    EXPECT_EQ(p->m_aTokenList1[4].nCode, TK_NUMBER);
    EXPECT_EQ(p->m_aTokenList1[5].nCode, TK_END);

    EXPECT_EQ(Again(1, status), 10.0);
    EXPECT_EQ(status, 1); // a replay scans nothing
    EXPECT_EQ(p->m_nListIndex, 6);
    p->m_dX = 4.0;
    EXPECT_EQ(Again(1, status), 17.0);
    EXPECT_EQ(status, 1);
}

TEST_P(Replays, FollowsParameterChanges)
{
    int status = 0;
    Record(2, "a*b+c-d", status);
    p->m_dA = 2.0;
    p->m_dB = 3.0;
    p->m_dC = 4.0;
    p->m_dD = 5.0;
    EXPECT_EQ(Again(2, status), 5.0);
    EXPECT_EQ(status, 1);
}

TEST_P(Replays, ListsAreKeptApartAndOneOffChecksTouchNone)
{
    int status = 0;
    Record(1, "x+1", status);
    Record(2, "y*10", status);
    Record(3, "z-100", status);
    Scan("x*y*z*1000", status); // no list selected
    EXPECT_EQ(Again(1, status), 2.0);
    EXPECT_EQ(Again(2, status), 20.0);
    EXPECT_EQ(Again(3, status), -97.0);
    Record(1, "7", status); // a shorter recording overwrites only its own entries
    EXPECT_EQ(Again(1, status), 7.0);
    EXPECT_EQ(p->m_aTokenList1[1].nCode, TK_END);
    EXPECT_EQ(p->m_aTokenList1[2].nCode, TK_NUMBER);
}

TEST_P(Replays, DomainErrorsDependOnTheValues)
{
    int status = 0;
    p->m_dX = 1.0;
    EXPECT_EQ(Record(1, "2 + log(x) * sqrt(x) + x^c + exp(x)", status), 2.0 + 1.0 + std::exp(1.0));
    for (double x : {0.0, -1.0, 101.0, 4.0}) {
        p->m_dX = x;
        int scanned = 0;
        const double dScan = Scan("2 + log(x) * sqrt(x) + x^c + exp(x)", scanned);
        p->m_nList = 1;
        EXPECT_EQ(Again(1, status), dScan) << x;
        EXPECT_EQ(status, scanned == 0 ? 0 : 1) << x;
        EXPECT_EQ(p->m_bError != 0, status == 0) << x;
    }
}

TEST_P(Replays, AFailedRecordingFailsAgain)
{
    int status = 0;
    Record(1, "x + ", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Again(1, status), 0.0);
    EXPECT_EQ(status, 0);

    const std::string deep = std::string(18, '(') + "1" + std::string(18, ')');
    Record(2, deep, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(p->LastError(), EvalError::StackFull);
    Again(2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(p->LastError(), EvalError::StackFull); // the replay overflows the same way
    EXPECT_TRUE(m_messages.empty());                 // the callers word the message
}

TEST_P(Replays, ARecordingThatFailedAtAValueRunsAsItsTokensRead)
{
    // Recorded at x = 4, where each fails: the recording reads on to the end of the text, so a
    // whole list compiles and gives the token replay's values, whatever follows the value that
    // failed; a text that cannot be read to its end fails at every x.
    static constexpr RateInputs kX = {2, {&CParser::m_dT, &CParser::m_dX, nullptr, nullptr}, 1};
    struct Case
    {
        const char* text;
        bool bWhole;
    };
    const Case cases[] = {{"(-x)^0.5", true},         {"2*log(-x)", true},  {"sqrt(-x)+1", true},
                          {"sqrt(-1-x*x)*2", true},   {"-x^0.5+0.1", true}, {"log(-x)-1", true},
                          {"-x^0.5-0.1*(x+y)", true}, {"sqrt(-x)+", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int status = 0;
        p->m_dX = 4;
        Record(1, c.text, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(p->LastError(), EvalError::Domain); // the recording's own outcome stands
        p->SetCompiledReplay(true);
        EXPECT_EQ(p->RatesCompiled(kX), c.bWhole);
        EXPECT_EQ(p->ReplayAlwaysFails(1), !c.bWhole);
        for (double x : {-4.0, -0.25, 0.0, 9.0}) {
            p->m_dX = x;
            int tokens = 0;
            const double dTokens = ParserTest::Replay(1, tokens, false);
            const EvalError eTokens = p->LastError();
            const double dAgain = Again(1, status);
            EXPECT_EQ(status, tokens) << x;
            EXPECT_EQ(p->LastError(), eTokens) << x;
            EXPECT_EQ(std::memcmp(&dAgain, &dTokens, sizeof dAgain), 0) << x;
            EXPECT_TRUE(c.bWhole || tokens == 0) << x;
            // The rates program as well, where the list compiled.
            p->SetCompiledReplay(true);
            const double u[3] = {x, 0, 0};
            double rate = 0;
            const bool ok = p->EvaluateRate(kX, 0, 0, u, rate);
            EXPECT_EQ(ok, c.bWhole && tokens != 0) << x;
            EXPECT_TRUE(!ok || std::memcmp(&rate, &dTokens, sizeof rate) == 0) << x;
        }
    }
}

// A bad token is no value that fails: whatever the recording read before it, every replay fails,
// rather than computing what it read with the rest of an older recording.
TEST_P(Replays, ARecordingStoppedByABadTokenFailsAtEveryState)
{
    static constexpr RateInputs kX = {2, {&CParser::m_dT, &CParser::m_dX, nullptr, nullptr}, 1};
    struct Case
    {
        const char* text;
        bool bValued; // somewhere: only a value failed, at x = 4
    };
    const Case cases[] = {
        {"a*x+b*y$", false}, {"x+$*2", false}, {"sqrt(-x)+y$", false}, {"sqrt(-x)+y", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int status = 0;
        Record(1, "1+2*3+4*5+6", status);
        p->m_dX = 4;
        Record(1, c.text, status);
        ASSERT_EQ(status, 0);
        p->SetCompiledReplay(true);
        EXPECT_EQ(p->RatesCompiled(kX), c.bValued);
        for (double x : {-4.0, 0.0, 9.0}) {
            p->m_dX = x;
            Again(1, status);
            EXPECT_EQ(status != 0, c.bValued && x <= 0) << x;
        }
    }
}

// An equation is recorded whole or refused: a replay of part of it would compute another one.
TEST_P(Replays, OnlyAWholeRecordingIsAccepted)
{
    struct Case
    {
        int terms;   // "1+1+...": 2 * terms tokens with the end
        int replays; // its value, or 0 when refused
    };
    const Case cases[] = {{105, 105}, {106, 0}, {110, 0}, {150, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terms);
        std::string sum = "1";
        for (int i = 1; i < c.terms; ++i)
            sum += "+1";
        Record(1, "7", status_);
        const bool whole = c.replays != 0;
        EXPECT_EQ(Record(1, sum, status_), whole ? c.terms : 0.0);
        EXPECT_EQ(status_, whole ? 1 : 0);
        EXPECT_EQ(p->LastError(), whole ? EvalError::None : EvalError::TooLong);
        EXPECT_EQ(Again(1, status_), c.replays);
        EXPECT_EQ(status_, whole ? 1 : 0);
        EXPECT_EQ(Scan(sum, status_), c.terms); // nothing to record: any length that fits
        EXPECT_EQ(status_, 1);
    }
}

TEST_P(Replays, ACopyReplaysItsOwnVariables)
{
    int status = 0;
    Record(3, "x*y+z", status);
    CParser copy(*p);
    copy.m_dX = 10.0;
    copy.SetCompiledReplay(GetParam());
    copy.m_bScan = 0;
    copy.m_nListIndex = 0;
    EXPECT_EQ(copy.Evaluate("", status), 23.0);
    EXPECT_EQ(Again(3, status), 5.0);
}

TEST_P(Replays, AListNumberOutOfRangeRecordsNothing)
{
    int status = 0;
    for (int nList : {-1, 4, 1000}) {
        EXPECT_EQ(Record(nList, "x+1", status), 2.0) << nList;
        EXPECT_EQ(status, 2);
        EXPECT_EQ(Again(nList, status), 0.0) << nList;
        EXPECT_EQ(status, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(CompiledAndTokenByToken, Replays, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Compiled" : "Tokens"; });

// Scanning, compiled replay and token-by-token replay agree bit for bit on every outcome.
const char* const kAgreement[] = {
    "a*(y-x)",
    "x*(b-z)-y",
    "x*y-c*z",
    "-x^2 + -(y)^-z / (x - x)",
    "2^x^y^z",
    "(x)^(y)^(z)",
    "x^0.5 + y^-0.5 + (-z)^x + (-z)^c",
    "x/(y-2) + (y-2)/x + 1/y + y/1 + (x*y)/(x+y) + x/y/z",
    "x-y-z-(x-y)-(1-x)-1-(x*2)",
    "abs(x-5)+acos(c)+asin(c)+atan(b)+cosh(c)+cos(a)+dlt(c)+exp(x)",
    "log10(y)+log(z)+pow10(b)+sinh(a)+sin(z)+sqrt(y)+sqr(b)+tanh(x)+tan(a)+trunc(b*a)",
    "x<=(y)+x>=(y)+y<=(z)+y>=(z)+z<=(x)+z>=(x)",
    "sqrt(x - 2) + 1",
    "log(y - 1.5)",
    "exp(x*100)",
    "((((((((((((((((x))))))))))))))))",
    "sin(cos(tan(abs(sinh(cosh(tanh(exp(-x))))))))",
    "x' + y' + z' + x: + y: + z: + t + af + w + pa + pi",
    "-(-(x))",
    "2*-x - -y*3",
    "1e300*1e300*x - 1e300*1e300*y",
    "(x*y)^(z*c) - (x+y)^2 - 2^(x+y) - x^y",
    "(x-1)*(y+2) - (z*3)*(x-y) + 2*(x-z) - (y*x)*2 + (1-x)/(y-z)",
    "sqr(x) - (x+1)*(y-2)*(z*3) + a*(b-(c*(d+x)))",
    "x*(y*(z*(x*(y*(z+1)-1)+1)-1)+1) / (1 + x*x) ^ 2",
    "a*(y-x)+1 - ((x*y-z)*c) * (x+1)*(y*(z-1)-2) / (2-x*(y+z)*3)",
    "-(x-y) + -(x*2) - (3-z)^2 - (x/y)^(z-y) + (1+2)*(3-4)",
};

// The states (x, y, z) they are evaluated at.
const double kValues[][3] = {
    {1.0, 2.0, 3.0}, {0.0, 2.0, -1.0}, {-3.5, 0.0, 0.5}, {2.0, 2.0, 2.0}, {-0.0, 1e-300, 1e300}};

TEST_F(ParserTest, ScanAndBothReplaysAgree)
{
    for (const char* text : kAgreement) {
        // A recording that fails is partial; record where the text evaluates.
        int status = 0;
        for (const auto& v : kValues) {
            p->m_dX = v[0];
            p->m_dY = v[1];
            p->m_dZ = v[2];
            if (Record(1, text, status), status != 0)
                break;
        }
        ASSERT_NE(status, 0) << text;
        for (const auto& v : kValues) {
            p->m_dX = v[0];
            p->m_dY = v[1];
            p->m_dZ = v[2];
            int nScan = 0, nCompiled = 0, nTokens = 0;
            const double dScan = Scan(text, nScan);
            const double dCompiled = Replay(1, nCompiled, true);
            const double dTokens = Replay(1, nTokens, false);
            const std::string where = std::string(text) + " at x=" + std::to_string(v[0]);
            EXPECT_EQ(nCompiled, nScan == 0 ? 0 : 1) << where;
            EXPECT_EQ(nTokens, nCompiled) << where;
            if (std::isnan(dScan)) {
                EXPECT_TRUE(std::isnan(dCompiled) && std::isnan(dTokens)) << where;
            } else {
                EXPECT_EQ(std::memcmp(&dScan, &dCompiled, sizeof dScan), 0) << where;
                EXPECT_EQ(std::memcmp(&dScan, &dTokens, sizeof dScan), 0) << where;
            }
        }
    }
    EXPECT_TRUE(m_messages.empty());
}

} // namespace
