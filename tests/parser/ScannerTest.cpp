#include <clocale>
#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "ParserTestUtil.h"

namespace {

struct Token
{
    int nCode;
    std::string name; // keyword of a function, name of a variable's member
    double dValue;    // a number's value
    bool operator==(const Token&) const = default;
};

std::string MemberName(double CParser::*pm)
{
    static const std::pair<double CParser::*, const char*> kMembers[] = {
        {&CParser::m_dA, "a"},         {&CParser::m_dB, "b"},         {&CParser::m_dC, "c"},
        {&CParser::m_dD, "d"},         {&CParser::m_dPA, "pa"},       {&CParser::m_dAF, "af"},
        {&CParser::m_dT, "t"},         {&CParser::m_dPi, "pi"},       {&CParser::m_dX, "x"},
        {&CParser::m_dY, "y"},         {&CParser::m_dZ, "z"},         {&CParser::m_dXPrime, "x'"},
        {&CParser::m_dYPrime, "y'"},   {&CParser::m_dZPrime, "z'"},   {&CParser::m_dXDelayed, "x:"},
        {&CParser::m_dYDelayed, "y:"}, {&CParser::m_dZDelayed, "z:"},
    };
    for (const auto& [member, name] : kMembers)
        if (member == pm)
            return name;
    return "?";
}

// Scans an upper-case text to its end (or to the first error) the way Evaluate's scan does.
std::vector<Token> Tokens(const char* text)
{
    CParser parser;
    char buffer[CParser::kTextSize];
    std::strcpy(buffer, text);
    parser.m_pszCursor = buffer;
    std::vector<Token> tokens;
    for (;;) {
        const int nCode = parser.GetToken();
        const PARSETOKEN& tk = parser.m_tkCurrent;
        Token token{nCode, "", 0.0};
        if (nCode == TK_FUNCTION)
            token.name = tk.value.fn.szName;
        else if (nCode == TK_VARIABLE)
            token.name = MemberName(tk.value.pmVariable);
        else if (nCode == TK_NUMBER)
            token.dValue = tk.value.dValue;
        tokens.push_back(token);
        if (nCode == TK_END || nCode == TK_ERROR)
            return tokens;
    }
}

Token Num(double d)
{
    return {TK_NUMBER, "", d};
}
Token Var(const char* name)
{
    return {TK_VARIABLE, name, 0.0};
}
Token Fn(const char* name)
{
    return {TK_FUNCTION, name, 0.0};
}
Token Op(int nCode)
{
    return {nCode, "", 0.0};
}
const Token kEnd = Op(TK_END);
const Token kError = Op(TK_ERROR);

struct ScanCase
{
    const char* text;
    std::vector<Token> tokens;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

std::string ScanName(const ::testing::TestParamInfo<ScanCase>& info)
{
    return TextName(info.param.text);
}

class Scanner : public ::testing::TestWithParam<ScanCase>
{
};

TEST_P(Scanner, GivesTokens)
{
    EXPECT_EQ(Tokens(GetParam().text), GetParam().tokens) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Scanner,
    ::testing::Values(
        ScanCase{"1.2.3", {Num(1.2), Num(0.3), kEnd}}, ScanCase{".5", {Num(0.5), kEnd}},
        ScanCase{".", {kError}}, ScanCase{"5.", {Num(5.0), kEnd}},
        ScanCase{"1E+0005", {Num(1.0), Num(5.0), kEnd}}, ScanCase{"2E", {Num(2.0), kEnd}},
        ScanCase{"2E-", {Num(2.0), kEnd}}, ScanCase{"1.5E-3", {Num(0.0015), kEnd}},
        ScanCase{"12E12", {Num(12e12), kEnd}}, ScanCase{"1E999", {Num(HUGE_VAL), kEnd}},
        ScanCase{"1E-999", {Num(0.0), kEnd}}, ScanCase{"0.001E-330", {Num(0.0), kEnd}},
        ScanCase{"1000E306", {Num(HUGE_VAL), kEnd}}, ScanCase{"  7  ", {Num(7.0), kEnd}}),
    ScanName);

INSTANTIATE_TEST_SUITE_P(
    Keywords, Scanner,
    ::testing::Values(ScanCase{"SQRT(", {Fn("SQRT"), Op(TK_LPAREN), kEnd}},
                      ScanCase{"SQR(", {Fn("SQR"), Op(TK_LPAREN), kEnd}},
                      ScanCase{"LOG10(X)",
                               {Fn("LOG10"), Op(TK_LPAREN), Var("x"), Op(TK_RPAREN), kEnd}},
                      ScanCase{"LOGX", {Fn("LOG"), Var("x"), kEnd}},
                      ScanCase{"COSX", {Fn("COS"), Var("x"), kEnd}},
                      ScanCase{"COSH", {Fn("COSH"), kEnd}}, ScanCase{"SINH", {Fn("SINH"), kEnd}},
                      ScanCase{"TANH", {Fn("TANH"), kEnd}}, ScanCase{"POW10", {Fn("POW10"), kEnd}},
                      ScanCase{"TRUNC", {Fn("TRUNC"), kEnd}}, ScanCase{"RAND", {Fn("RAND"), kEnd}},
                      ScanCase{"DLT", {Fn("DLT"), kEnd}},
                      ScanCase{"ABSACOS", {Fn("ABS"), Fn("ACOS"), kEnd}},
                      ScanCase{"X<=(1)", {Fn("X<="), Op(TK_LPAREN), Num(1), Op(TK_RPAREN), kEnd}},
                      ScanCase{"Z>=", {Fn("Z>="), kEnd}}, ScanCase{"X<1", {Var("x"), kError}}),
    ScanName);

INSTANTIATE_TEST_SUITE_P(
    Variables, Scanner,
    ::testing::Values(ScanCase{"X'", {Var("x'"), kEnd}},
                      ScanCase{"Y:Z", {Var("y:"), Var("z"), kEnd}},
                      ScanCase{"AB", {Var("a"), Var("b"), kEnd}}, ScanCase{"AF", {Var("af"), kEnd}},
                      ScanCase{"W", {Var("af"), kEnd}}, ScanCase{"DT", {Var("d"), Var("t"), kEnd}},
                      ScanCase{"PA PI", {Var("pa"), Var("pi"), kEnd}}, ScanCase{"P", {kError}},
                      ScanCase{"PX", {kError}}, ScanCase{"Q", {kError}}, ScanCase{"E", {kError}},
                      ScanCase{"\t1", {kError}}, ScanCase{"1,2", {Num(1), kError}},
                      ScanCase{"=", {kError}}, ScanCase{"\xC4", {kError}},
                      ScanCase{"+-*/^()",
                               {Op(TK_PLUS), Op(TK_MINUS), Op(TK_TIMES), Op(TK_DIVIDE),
                                Op(TK_POWER), Op(TK_LPAREN), Op(TK_RPAREN), kEnd}}),
    ScanName);

TEST(ScannerEnd, StaysAtEnd)
{
    CParser parser;
    char buffer[] = "1";
    parser.m_pszCursor = buffer;
    EXPECT_EQ(parser.GetToken(), TK_NUMBER);
    EXPECT_EQ(parser.GetToken(), TK_END);
    EXPECT_EQ(parser.GetToken(), TK_END);
}

TEST_F(ParserTest, DelayedVariablesSetTheParsersFlag)
{
    int status = 0;
    Scan("x + y' + z", status);
    EXPECT_FALSE(p->m_bDelayedVarUsed);
    Scan("x: +", status); // set even though the evaluation fails
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(p->m_bDelayedVarUsed);
    Scan("1", status); // never cleared by the parser
    EXPECT_TRUE(p->m_bDelayedVarUsed);
}

TEST_F(ParserTest, EveryNameReadsItsMember)
{
    const std::pair<const char*, double CParser::*> kNames[] = {
        {"a", &CParser::m_dA},         {"b", &CParser::m_dB},         {"c", &CParser::m_dC},
        {"d", &CParser::m_dD},         {"pa", &CParser::m_dPA},       {"af", &CParser::m_dAF},
        {"w", &CParser::m_dAF},        {"t", &CParser::m_dT},         {"x", &CParser::m_dX},
        {"y", &CParser::m_dY},         {"z", &CParser::m_dZ},         {"x'", &CParser::m_dXPrime},
        {"Y'", &CParser::m_dYPrime},   {"z'", &CParser::m_dZPrime},   {"x:", &CParser::m_dXDelayed},
        {"y:", &CParser::m_dYDelayed}, {"Z:", &CParser::m_dZDelayed},
    };
    double dValue = 10.0;
    for (const auto& [name, member] : kNames) {
        p.get()->*member = ++dValue;
        int status = 0;
        EXPECT_EQ(Scan(name, status), dValue) << name;
        EXPECT_EQ(status, 2) << name;
    }
    int status = 0;
    EXPECT_EQ(Scan("PI", status), 3.141592653589793);
    EXPECT_EQ(status, 2);
}

TEST_F(ParserTest, NumbersIgnoreADecimalCommaLocale)
{
    const char* kLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    const char* pszLocale = nullptr;
    for (const char* name : kLocales)
        if ((pszLocale = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (pszLocale == nullptr)
        GTEST_SKIP() << "no German locale installed (scripts/setup.sh makes one)";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    int status = 0;
    const double d1 = Scan("1.5 + 2.5E1", status);
    const int s1 = status;
    const double d2 = Scan("1,5", status);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(d1, 26.5);
    EXPECT_EQ(s1, 1);
    EXPECT_EQ(d2, 0.0);
    EXPECT_EQ(status, 0);
}

} // namespace
