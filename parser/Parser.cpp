#include "parser/Parser.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>

#include "parser/Functions.h"

const char* const kStackOverloadMessage = "Parser stack overload.";

namespace {
// Productions of the grammar.
enum Production : int
{
    E_PLUS,
    E_MINUS,
    E_T,
    T_TIMES,
    T_DIVIDE,
    T_F,
    F_POWER,
    F_P,
    P_NEGATE,
    P_U,
    U_V,
    V_VARIABLE,
    V_PAREN,
    V_NUMBER,
    V_FUNCTION,
    PRODUCTION_COUNT
};
enum NonTerminal : int
{
    NT_E,
    NT_T,
    NT_F,
    NT_P,
    NT_U,
    NT_V
};

constexpr int kRhsLength[PRODUCTION_COUNT] = {3, 3, 1, 3, 3, 1, 3, 1, 2, 1, 1, 1, 3, 1, 4};
constexpr int kLhs[PRODUCTION_COUNT] = {NT_E, NT_E, NT_E, NT_T, NT_T, NT_T, NT_F, NT_F,
                                        NT_P, NT_P, NT_U, NT_V, NT_V, NT_V, NT_V};
constexpr int kErrorState = 30;
constexpr int kNonTerminalCode = -1; // code of a reduced stack entry

// Goto table: rows E T F P U V, columns the states 0 5 9 12 13 14 15 16 20; -1 no entry.
constexpr int kGotoFrom[9] = {0, 5, 9, 12, 13, 14, 15, 16, 20};
constexpr int kGoto[6][9] = {
    {1, -1, 19, -1, -1, -1, -1, -1, 28}, {2, -1, 2, 21, 22, -1, -1, -1, 2},
    {3, -1, 3, 3, 3, 23, 24, 25, 3},     {4, -1, 4, 4, 4, 4, 4, 4, 4},
    {6, 17, 6, 6, 6, 6, 6, 6, 6},        {8, 8, 8, 8, 8, 8, 8, 8, 8},
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char ToUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Out of range for a double: infinity when the number is above 1, else zero (as the C
// library's conversion gives). first..last is digits, one point, E, a sign and exponent digits.
double OutOfRange(const char* first, const char* last)
{
    int nMagnitude = 0;
    bool bPoint = false, bNonZero = false;
    const char* p = first;
    for (; p < last && *p != 'E'; ++p) {
        if (*p == '.') {
            bPoint = true;
        } else if (!bNonZero && *p == '0') {
            nMagnitude -= bPoint ? 1 : 0;
        } else {
            bNonZero = true;
            nMagnitude += bPoint ? 0 : 1;
        }
    }
    int nExponent = 0;
    if (p < last) {
        ++p;
        const bool bNegative = p < last && *p == '-';
        if (p < last && (*p == '-' || *p == '+'))
            ++p;
        std::from_chars(p, last, nExponent);
        nExponent = bNegative ? -nExponent : nExponent;
    }
    return nMagnitude + nExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// Locale-free text-to-double of the characters a number token took.
double ToDouble(const char* first, const char* last)
{
    double d = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, d, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        return OutOfRange(first, last);
    return d;
}

// A pseudo-random value 0 to 32767 reseeded from the clock's whole seconds at every call:
// a pure function of the second, so threads share no generator.
int ClockRandom()
{
    const auto nSeed = static_cast<std::uint32_t>(std::time(nullptr));
    const std::uint32_t nNext = nSeed * 1103515245u + 12345u;
    return static_cast<int>((nNext / 65536u) % 32768u);
}
} // namespace

CParser::CParser() : m_dPi(3.141592653589793)
{
}

PARSETOKEN* CParser::SelectedList()
{
    switch (m_nList) {
    case 1:
        return m_aTokenList1;
    case 2:
        return m_aTokenList2;
    case 3:
        return m_aTokenList3;
    default:
        return nullptr;
    }
}

CRecordedProgram* CParser::SelectedProgram()
{
    return m_nList >= 1 && m_nList <= 3 ? &m_aProgram[m_nList - 1] : nullptr;
}

bool CParser::CopyText(const char* text)
{
    if (text == nullptr)
        text = "";
    const std::size_t nLength = strnlen(text, kTextSize);
    if (nLength >= static_cast<std::size_t>(kTextSize))
        return false; // longer than the working buffer
    for (std::size_t i = 0; i <= nLength; ++i)
        m_szText[i] = ToUpper(text[i]);
    m_pszCursor = m_szText;
    return true;
}

double CParser::EvaluateTokens(const char* text, int& status)
{
    m_bError = 0;
    m_eError = EvalError::None;
    m_bVarRead = 0;
    status = 0;
    if (m_bScan) {
        if (!CopyText(text)) {
            Fail();
            return 0.0;
        }
        if (CRecordedProgram* pProgram = SelectedProgram()) {
            pProgram->Clear();
            m_aTree[m_nList - 1].Clear();
            m_aRoot[m_nList - 1] = -1;
            m_aFailsAlways[m_nList - 1] = false;
            m_pRatesFor = nullptr;
        }
    }

    m_nStackTop = -1;
    PARSETOKEN start;
    start.nState = 0;
    start.nCode = kNonTerminalCode;
    Push(start);
    m_aNode[0] = -1;
    m_nLookahead = GetToken();
    m_tkCurrent.nCode = m_nLookahead;
    if (PARSETOKEN* pList = SelectedList(); pList != nullptr && m_bScan)
        pList[0] = m_tkCurrent;

    bool bAccept = false;
    while (!bAccept && !m_bError)
        Step(bAccept);
    if (Recording())
        return FinishRecording(bAccept, status); // a replay asks nothing of the recording
    if (!bAccept)
        return 0.0;
    status = m_bVarRead ? 2 : 1;
    return m_aStack[m_nStackTop].value.dValue;
}

double CParser::FinishRecording(bool bAccept, int& status)
{
    if (m_bValueFailed)
        return FinishFailedRecording(bAccept);
    if (!bAccept)
        return 0.0;
    if (m_nListIndex >= kListSize) {
        Fail(EvalError::TooLong); // the list holds only its beginning
        return 0.0;
    }
    status = m_bVarRead ? 2 : 1;
    CompileRecording();
    return m_aStack[m_nStackTop].value.dValue;
}

void CParser::CompileRecording()
{
    const int nRoot = m_aNode[m_nStackTop];
    if (SelectedProgram()->Compile(m_aTree[m_nList - 1], nRoot, m_nListIndex + 1, *this))
        m_aRoot[m_nList - 1] = nRoot;
}

double CParser::FinishFailedRecording(bool bAccept)
{
    // The recording went on past a value that failed, so its list holds the whole text and
    // compiles as a successful one does; the evaluation itself fails as a scan would.
    m_bValueFailed = false;
    m_bShapeOnly = false;
    if (bAccept && m_nListIndex < kListSize)
        CompileRecording();
    else
        ShapeFailedRecording(); // the text fails to scan after the value, or is too long
    m_bError = 1;
    m_eError = EvalError::Domain;
    return 0.0;
}

void CParser::CompileRates(const RateInputs& inputs)
{
    m_pRatesFor = &inputs;
    m_rates.Clear();
    if (!m_bCompiledReplay || inputs.nRates < 1 || inputs.nRates > 3)
        return;
    for (int i = 0; i < inputs.nRates; ++i)
        if (m_aRoot[i] < 0 || !m_aProgram[i].Valid())
            return;
    m_rates.Compile(m_aTree, m_aRoot, inputs, *this, m_bNativeRates);
}

void CParser::ShapeFailedRecording()
{
    // The recording failed at a value and its list is not whole: it holds what every replay
    // reads. A replay that takes every value as valid gives its shape, the same at every state:
    // an expression read to its end is compiled (the compiled replay then fails where the token
    // replay does), while a list that cannot be read to its end fails at every state.
    const int nList = m_nList, nIndex = m_nListIndex;
    const EvalError eError = m_eError;
    CExpressionTree& tree = m_aTree[nList - 1];
    tree.Clear();
    m_bScan = 0;
    m_bShapeOnly = true;
    m_nListIndex = 0;
    int status = 0;
    EvaluateTokens("", status);
    if (status != 0 &&
        m_aProgram[nList - 1].Compile(tree, m_aNode[m_nStackTop], m_nListIndex, *this))
        m_aRoot[nList - 1] = m_aNode[m_nStackTop];
    else
        m_aFailsAlways[nList - 1] = status == 0;
    m_bShapeOnly = false;
    m_bScan = 1;
    m_nListIndex = nIndex;
    m_bError = 1;
    m_eError = eError;
}

void CParser::ShiftOperand(bool bMinusAllowed)
{
    switch (m_nLookahead) {
    case TK_NUMBER:
        Shift(10);
        break;
    case TK_VARIABLE:
        Shift(7);
        break;
    case TK_FUNCTION:
        Shift(11);
        break;
    case TK_LPAREN:
        Shift(9);
        break;
    case TK_MINUS:
        if (bMinusAllowed) {
            Shift(5);
            break;
        }
        [[fallthrough]];
    default:
        Fail();
    }
}

void CParser::Step(bool& bAccept)
{
    const int nState = m_aStack[m_nStackTop].nState;
    const int nLook = m_nLookahead;
    switch (nState) {
    case 0:
    case 9:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 20:
        ShiftOperand(true);
        break;
    case 5:
        ShiftOperand(false);
        break;
    case 1:
        if (nLook == TK_END)
            bAccept = true;
        else if (nLook == TK_PLUS)
            Shift(12);
        else if (nLook == TK_MINUS)
            Shift(13);
        else
            Fail();
        break;
    case 2:
    case 21:
    case 22:
        if (nLook == TK_TIMES)
            Shift(14);
        else if (nLook == TK_DIVIDE)
            Shift(15);
        else
            Reduce(nState == 2 ? E_T : nState == 21 ? E_PLUS : E_MINUS);
        break;
    case 3:
        Reduce(T_F);
        break;
    case 4:
        if (nLook == TK_POWER)
            Shift(16);
        else
            Reduce(F_P);
        break;
    case 6:
        Reduce(P_U);
        break;
    case 7:
        Reduce(V_VARIABLE);
        break;
    case 8:
        Reduce(U_V);
        break;
    case 10:
        Reduce(V_NUMBER);
        break;
    case 11:
        if (nLook == TK_LPAREN)
            Shift(20);
        else
            Fail();
        break;
    case 17:
        Reduce(P_NEGATE);
        break;
    case 19:
    case 28:
        if (nLook == TK_PLUS)
            Shift(12);
        else if (nLook == TK_MINUS)
            Shift(13);
        else if (nLook == TK_RPAREN)
            Shift(nState == 19 ? 27 : 29);
        else
            Fail();
        break;
    case 23:
        Reduce(T_TIMES);
        break;
    case 24:
        Reduce(T_DIVIDE);
        break;
    case 25:
        Reduce(F_POWER);
        break;
    case 27:
        Reduce(V_PAREN);
        break;
    case 29:
        Reduce(V_FUNCTION);
        break;
    default: // 18, 26 and the error state 30
        Fail();
    }
}

void CParser::Push(const PARSETOKEN& token)
{
    if (m_nStackTop + 1 >= kStackSize) {
        Fail(EvalError::StackFull);
        return;
    }
    m_aStack[++m_nStackTop] = token;
}

void CParser::Pop(PARSETOKEN& token)
{
    if (m_nStackTop < 0) {
        Fail();
        return;
    }
    token = m_aStack[m_nStackTop--];
}

void CParser::Shift(int nState)
{
    PARSETOKEN entry = m_tkCurrent;
    entry.nState = nState;
    const int nTop = m_nStackTop;
    Push(entry);
    if (m_nStackTop != nTop)
        m_aNode[m_nStackTop] = -1;
    m_nLookahead = GetToken();
    // A bad token is recorded too: the replays then fail where the scan did, rather than read
    // on into what an older recording left after it.
    if (m_bScan) {
        ++m_nListIndex;
        PARSETOKEN* pList = SelectedList();
        if (pList != nullptr && m_nListIndex < kListSize)
            pList[m_nListIndex] = m_tkCurrent;
    }
}

int CParser::GotoState(int nProduction) const
{
    if (m_nStackTop < 0)
        return kErrorState;
    const int nFrom = m_aStack[m_nStackTop].nState;
    for (int i = 0; i < 9; ++i) {
        if (kGotoFrom[i] == nFrom) {
            const int nTo = kGoto[kLhs[nProduction]][i];
            return nTo < 0 ? kErrorState : nTo;
        }
    }
    return kErrorState;
}

void CParser::Reduce(int nProduction)
{
    const int nLength = kRhsLength[nProduction];
    PARSETOKEN aRhs[4];
    int aNode[4] = {-1, -1, -1, -1};
    for (int i = nLength - 1; i >= 0; --i) {
        if (m_nStackTop >= 0)
            aNode[i] = m_aNode[m_nStackTop];
        Pop(aRhs[i]);
    }
    if (m_bError)
        return;
    const double dValue = Reduced(nProduction, aRhs);
    if (m_bError)
        return;

    PARSETOKEN entry;
    entry.nState = GotoState(nProduction);
    entry.value.dValue = dValue;
    entry.nCode = kNonTerminalCode;
    Push(entry);
    if (Recording() || m_bShapeOnly)
        m_aNode[m_nStackTop] = TreeNode(nProduction, aRhs, aNode);
}

int CParser::TreeNode(int nProduction, const PARSETOKEN* rhs, const int* aNode)
{
    CExpressionTree& tree = m_aTree[m_nList - 1];
    switch (nProduction) {
    case V_VARIABLE:
        return tree.Variable(rhs[0].value.pmVariable);
    case V_NUMBER:
        return tree.Constant(rhs[0].value.dValue);
    case V_PAREN:
        return aNode[1];
    case E_PLUS:
        return tree.Binary(NodeKind::Add, aNode[0], aNode[2]);
    case E_MINUS:
        return tree.Binary(NodeKind::Subtract, aNode[0], aNode[2]);
    case T_TIMES:
        return tree.Binary(NodeKind::Multiply, aNode[0], aNode[2]);
    case T_DIVIDE:
        return tree.Binary(NodeKind::Divide, aNode[0], aNode[2]);
    case F_POWER:
        return tree.Binary(NodeKind::Power, aNode[0], aNode[2]);
    case P_NEGATE:
        return tree.Unary(NodeKind::Negate, aNode[1]);
    case V_FUNCTION:
        return tree.Unary(NodeKind::Function, aNode[2], rhs[0].value.fn.nFunc);
    default: // a single symbol keeps its node
        return aNode[0];
    }
}

double CParser::Reduced(int nProduction, const PARSETOKEN* rhs)
{
    bool bError = false;
    double dValue = 0.0;
    switch (nProduction) {
    case V_VARIABLE:
        dValue = this->*(rhs[0].value.pmVariable);
        break;
    case V_PAREN:
    case P_NEGATE:
        dValue = nProduction == P_NEGATE ? -rhs[1].value.dValue : rhs[1].value.dValue;
        break;
    case E_PLUS:
        dValue = rhs[0].value.dValue + rhs[2].value.dValue;
        break;
    case E_MINUS:
        dValue = rhs[0].value.dValue - rhs[2].value.dValue;
        break;
    case T_TIMES:
        dValue = rhs[0].value.dValue * rhs[2].value.dValue;
        break;
    case T_DIVIDE:
        dValue = Divide(rhs[0].value.dValue, rhs[2].value.dValue);
        break;
    case F_POWER:
        dValue = Power(rhs[0].value.dValue, rhs[2].value.dValue, bError);
        break;
    case V_FUNCTION:
        dValue = CallFunction(rhs[0].value.fn.nFunc, rhs[2].value.dValue, bError);
        break;
    default: // a single symbol keeps its value
        dValue = rhs[0].value.dValue;
    }
    if (bError)
        ValueFailed();
    return dValue;
}

void CParser::ValueFailed()
{
    if (m_bShapeOnly)
        return;
    if (Recording()) // record the rest of the text, failing at no value more
        m_bValueFailed = m_bShapeOnly = true;
    else
        Fail(EvalError::Domain);
}

int CParser::GetToken()
{
    if (m_bScan) {
        m_tkCurrent.nCode = ScanToken();
        return m_tkCurrent.nCode;
    }
    const PARSETOKEN* pList = SelectedList();
    if (pList == nullptr || m_nListIndex < 0 || m_nListIndex >= kListSize) {
        m_tkCurrent.nCode = TK_ERROR; // never read past a list
        return TK_ERROR;
    }
    m_tkCurrent = pList[m_nListIndex++];
    return m_tkCurrent.nCode;
}

bool CParser::MatchKeyword(std::string_view keyword) const
{
    // The cursor's text ends in a zero, so the comparison stops there at the latest.
    return m_pszCursor[0] == keyword[0] &&
           std::strncmp(m_pszCursor, keyword.data(), keyword.size()) == 0;
}

int CParser::ScanToken()
{
    while (*m_pszCursor == ' ')
        ++m_pszCursor;
    const char c = *m_pszCursor;
    if (c == '\0')
        return TK_END;
    if (IsDigit(c) || c == '.')
        return ScanNumber();
    if (c >= 'A' && c <= 'Z') {
        for (int i = 0; i < FN_COUNT; ++i) {
            if (MatchKeyword(kFunctionKeywords[i])) {
                PARSETOKEN::Value::Function& fn = m_tkCurrent.value.fn;
                std::memset(fn.szName, 0, sizeof fn.szName);
                kFunctionKeywords[i].copy(fn.szName, sizeof fn.szName - 1);
                fn.nFunc = static_cast<std::uint8_t>(i);
                m_pszCursor += kFunctionKeywords[i].size();
                return TK_FUNCTION;
            }
        }
        double CParser::*pmVariable = nullptr;
        if (!LookUpVariable(m_pszCursor, pmVariable))
            return TK_ERROR;
        m_bVarRead = 1;
        m_tkCurrent.value.pmVariable = pmVariable;
        return TK_VARIABLE;
    }
    ++m_pszCursor;
    switch (c) {
    case '+':
        return TK_PLUS;
    case '-':
        return TK_MINUS;
    case '*':
        return TK_TIMES;
    case '/':
        return TK_DIVIDE;
    case '^':
        return TK_POWER;
    case '(':
        return TK_LPAREN;
    case ')':
        return TK_RPAREN;
    default:
        return TK_ERROR;
    }
}

int CParser::ScanNumber()
{
    const char* pFirst = m_pszCursor;
    const char* p = pFirst;
    bool bPoint = false;
    while (IsDigit(*p) || (*p == '.' && !bPoint)) {
        bPoint = bPoint || *p == '.';
        ++p;
    }
    if (p - pFirst == 1 && *pFirst == '.') {
        m_pszCursor = const_cast<char*>(p);
        return TK_ERROR; // a lone decimal point
    }
    if (*p == 'E') {
        ++p;
        if (*p == '+' || *p == '-')
            ++p;
        for (int i = 0; i < 3 && IsDigit(*p); ++i)
            ++p;
    }
    m_pszCursor = const_cast<char*>(p);
    if (p - pFirst > kNumberSize)
        return TK_ERROR;
    m_tkCurrent.value.dValue = ToDouble(pFirst, p);
    return TK_NUMBER;
}

bool CParser::LookUpVariable(char*& cursor, double CParser::*& pmVariable)
{
    const char c = cursor[0];
    const char next = cursor[1];
    int nLength = 1;
    switch (c) {
    case 'A':
        nLength = next == 'F' ? 2 : 1;
        pmVariable = next == 'F' ? &CParser::m_dAF : &CParser::m_dA;
        break;
    case 'B':
        pmVariable = &CParser::m_dB;
        break;
    case 'C':
        pmVariable = &CParser::m_dC;
        break;
    case 'D':
        pmVariable = &CParser::m_dD;
        break;
    case 'T':
        pmVariable = &CParser::m_dT;
        break;
    case 'W':
        pmVariable = &CParser::m_dAF;
        break;
    case 'P':
        if (next != 'A' && next != 'I')
            return false;
        nLength = 2;
        pmVariable = next == 'A' ? &CParser::m_dPA : &CParser::m_dPi;
        break;
    case 'X':
    case 'Y':
    case 'Z': {
        static constexpr double CParser::*kPlain[3] = {&CParser::m_dX, &CParser::m_dY,
                                                       &CParser::m_dZ};
        static constexpr double CParser::*kPrime[3] = {&CParser::m_dXPrime, &CParser::m_dYPrime,
                                                       &CParser::m_dZPrime};
        static constexpr double CParser::*kDelayed[3] = {
            &CParser::m_dXDelayed, &CParser::m_dYDelayed, &CParser::m_dZDelayed};
        const int i = c - 'X';
        pmVariable = next == '\'' ? kPrime[i] : next == ':' ? kDelayed[i] : kPlain[i];
        nLength = next == '\'' || next == ':' ? 2 : 1;
        if (next == ':')
            m_bDelayedVarUsed = true;
        break;
    }
    default:
        return false;
    }
    cursor += nLength;
    return true;
}

int CParser::Dlt(double dPeriod) const
{
    if (dPeriod <= 0.0)
        return 0;
    if (std::fabs(dPeriod - m_dDT) < 1e-6)
        return 1;
    const double q = m_dT / dPeriod;
    return q - std::trunc(q) <= m_dDT ? 1 : 0;
}

double CParser::CallFunction(int nFunc, double v, bool& bError) const
{
    if (const PureFunction fn = PureFunctionOf(nFunc))
        return fn(v);
    switch (nFunc) {
    case FN_ABS:
        return std::fabs(v);
    case FN_DLT:
        return Dlt(v) ? 1.0 : 0.0;
    case FN_EXP:
        bError = v > 100.0;
        return bError ? 0.0 : std::exp(v);
    case FN_LOG10:
    case FN_LOG:
        bError = v <= 0.0;
        return bError ? 0.0 : nFunc == FN_LOG ? std::log(v) : std::log10(v);
    case FN_RAND:
        return ClockRandom() * v / 32767.0;
    case FN_SQRT:
        bError = v < 0.0;
        return bError ? 0.0 : std::sqrt(v);
    case FN_SQR:
        return v * v;
    case FN_XLE:
        return m_dX <= v ? 1.0 : 0.0;
    case FN_XGE:
        return m_dX >= v ? 1.0 : 0.0;
    case FN_YLE:
        return m_dY <= v ? 1.0 : 0.0;
    case FN_YGE:
        return m_dY >= v ? 1.0 : 0.0;
    case FN_ZLE:
        return m_dZ <= v ? 1.0 : 0.0;
    case FN_ZGE:
        return m_dZ >= v ? 1.0 : 0.0;
    default:
        bError = true;
        return 0.0;
    }
}
