#pragma once
// The expression language of model equations, parameters and window tests.
//
// CParser scans a text and evaluates it in the same pass with a table-driven shift-reduce
// automaton. Evaluating with a token list selected records the scanned tokens; a later replay
// of that list evaluates without scanning, reading the variables' current values. One parser
// serves one evaluation at a time; it holds no lock and allocates nothing while evaluating.
//
// Recorded variable tokens refer to members by pointer-to-member, not by address, so a copy
// of a parser (a calculation thread's own copy) replays its own variables.
#include <cstdint>
#include <string_view>

#include "parser/RatesProgram.h"
#include "parser/RecordedProgram.h"

constexpr int TK_PLUS = 0;
constexpr int TK_MINUS = 1;
constexpr int TK_TIMES = 2;
constexpr int TK_DIVIDE = 3;
constexpr int TK_POWER = 4;
constexpr int TK_LPAREN = 5;
constexpr int TK_RPAREN = 6;
constexpr int TK_NUMBER = 7;
constexpr int TK_VARIABLE = 8;
constexpr int TK_END = 10;
constexpr int TK_ERROR = 11;
constexpr int TK_FUNCTION = 19;

class CParser;

// Why the last evaluation failed. The parser shows no message itself: the caller words it, on
// its own thread and at a time of its choosing (a calculation thread may be holding a lock).
enum class EvalError : std::uint8_t
{
    None,
    Syntax,    // not an expression, or a replay of a list that holds none
    Domain,    // a function or a power outside its domain
    StackFull, // nested deeper than the stack holds
    TooLong    // recorded: more tokens than a list holds, so it cannot be replayed whole
};

// The text callers show for EvalError::StackFull.
extern const char* const kStackOverloadMessage;

struct PARSETOKEN
{
    std::int32_t nState = 0;
    union Value {
        double dValue;               // a number, or a non-terminal's value so far
        double CParser::*pmVariable; // the member that holds a variable
        struct Function
        {
            char szName[7];     // the keyword, zero-terminated
            std::uint8_t nFunc; // its index in the keyword table
        } fn;
    } value{0.0};
    std::int32_t nCode = TK_END;
};

class CParser
{
public:
    static constexpr int kStackSize = 20;
    static constexpr int kListSize = 210;
    static constexpr int kTextSize = 500;   // 499 characters and the terminating zero
    static constexpr int kNumberSize = 131; // longest number text

    CParser();

    // Status 0: error (result 0.0, LastError says why); 1: success; 2: success and a variable
    // was scanned. In replay mode the text is not read. A recording evaluation fails when the
    // list cannot hold the whole expression; one that meets a value that fails still records
    // the rest of the text, so that its replays compute the whole expression elsewhere.
    double Evaluate(const char* text, int& status)
    {
        if (!m_bScan && m_nListIndex == 0 && m_bCompiledReplay &&
            static_cast<unsigned>(m_nList - 1) < 3u) {
            const CRecordedProgram& program = m_aProgram[m_nList - 1];
            bool bError = false;
            if (program.Valid()) {
                const double dResult = program.Run(*this, bError);
                if (!bError) {
                    m_bError = 0;
                    m_eError = EvalError::None;
                    m_bVarRead = 0;
                    m_nListIndex = program.TokenCount();
                    status = 1;
                    return dResult;
                }
            }
            // Not compiled, or an error: the token-by-token replay reproduces it exactly.
        }
        return EvaluateTokens(text, status);
    }

    // The rates of a model in one call: the equations recorded in lists 1 to inputs.nRates at
    // the state (t, u[0 .. 3)), which stands in for the members inputs.member. The others are
    // read from this parser; N is inputs.nRates. false when an equation has no value or the lists
    // cannot be compiled together: the caller then replays list by list, which gives the values,
    // status and cause of a scanning evaluation. The selected list and the members are left alone.
    template <int N = 3>
    bool EvaluateRates(const RateInputs& inputs, double t, const double* u, double* rate)
    {
        static_assert(N >= 1 && N <= CRatesProgram::kMaxRates);
        if (!RatesFor(inputs) || inputs.nRates != N) [[unlikely]]
            return false;
        return m_rates.Run<N>(*this, t, u, rate);
    }
    // Rate i (list i + 1) alone.
    bool EvaluateRate(const RateInputs& inputs, int i, double t, const double* u, double& rate)
    {
        return EvaluateRateInlined(inputs, i, t, u, rate);
    }
    // The same inlined into the caller: a call of its own costs a one-variable first-order
    // step that calls the library (sin) a sixth of its time.
    [[gnu::always_inline]] bool EvaluateRateInlined(const RateInputs& inputs, int i, double t,
                                                    const double* u, double& rate)
    {
        return RatesFor(inputs) && m_rates.RunOne(*this, i, t, u, rate);
    }

    // One first-order step of the one-, two- or three-variable kind in one call: u[0] advanced
    // by h with rate[0], then each rate i > 0 at the values already advanced and u[i] with it,
    // then rate 0, all at time t; u and rate are advanced in place. false, with both left
    // alone, when the step cannot run in one call: the caller then steps rate by rate.
    template <int N>
    bool EvaluateFirstOrderStep(const RateInputs& inputs, double t, double* u, double* rate,
                                double h)
    {
        return inputs.nRates == N && RatesFor(inputs) && m_rates.RunStep<N>(*this, t, u, rate, h);
    }

    // One fifth-order step in one call (see the steppers) of the D variables of u from t by h:
    // u advanced in place and, for R > 0, the R rates at the new state at time t into rate.
    // The Newtonian kind (D = 2, x and x', and one rate) passes its mass as extra: its x'' is
    // the rate over the mass. false, with u and rate left alone, when the step cannot run in
    // one call or an equation has no value: the caller then steps stage by stage.
    template <int D, int R>
    bool EvaluateRKFStep(const RateInputs& inputs, double t, double* u, double* rate, double h,
                         double extra)
    {
        return RatesFor(inputs) && m_rates.RunRKF<D, R>(*this, t, u, rate, h, extra);
    }
    // The one-call steps for these inputs, for a caller that looks them up once and keeps out of
    // the recordings while it uses them; all null when there are none.
    CNativeRates::Steps OneCallSteps(const RateInputs& inputs)
    {
        return RatesFor(inputs) ? m_rates.OneCallSteps()
                                : CNativeRates::Steps{nullptr, {}, false, true};
    }

    // The pulse train DLT(p) at the current t and dt: 0 or 1.
    int Dlt(double dPeriod) const;

    // Function keyword nFunc applied to v; sets bError on a domain error.
    double CallFunction(int nFunc, double v, bool& bError) const;

    // Set whenever this parser's scanner reads X:, Y: or Z:; never cleared by the parser.
    bool m_bDelayedVarUsed = false;

    EvalError LastError() const { return m_eError; }

    // Tests and the fuzzer compare the compiled replay with the token-by-token one, and the
    // rates as machine code with the threaded program.
    void SetCompiledReplay(bool bOn)
    {
        m_bCompiledReplay = bOn;
        m_pRatesFor = nullptr;
    }
    void SetNativeRates(bool bOn)
    {
        m_bNativeRates = bOn;
        m_pRatesFor = nullptr;
    }
    // Whether the rates for these inputs run as machine code.
    bool RatesRunNative(const RateInputs& inputs) { return RatesFor(inputs) && m_rates.Native(); }
    // Whether the rates for these inputs run compiled (every equation recorded and compiled).
    bool RatesCompiled(const RateInputs& inputs) { return RatesFor(inputs); }
    // Whether every replay of list nList (1 to 3) fails, whatever the values: its recording
    // failed at a value and the tokens it holds cannot be read to an end.
    bool ReplayAlwaysFails(int nList) const
    {
        return static_cast<unsigned>(nList - 1) < 3u && m_aFailsAlways[nList - 1];
    }

    double m_dD = 0.0;
    double m_dC = 0.0;
    double m_dB = 0.0;
    double m_dA = 0.0;
    double m_dPA = 0.0;
    double m_dXDelayed = 0.0;
    double m_dYDelayed = 0.0;
    double m_dZDelayed = 0.0;
    double m_dXPrime = 0.0;
    double m_dYPrime = 0.0;
    double m_dZPrime = 0.0;
    double m_dX = 0.0;
    double m_dY = 0.0;
    double m_dZ = 0.0;
    double m_dAF = 0.0;
    double m_dT = 0.0;
    double m_dDT = 0.0;
    double m_dPi;

    char* m_pszCursor = nullptr;
    int m_nStackTop = -1;
    int m_nLookahead = TK_END;
    int m_bError = 0;
    int m_nListIndex = 0;
    int m_nList = 0; // 0 none, 1 to 3
    std::uint8_t m_bVarRead = 0;
    std::uint8_t m_bScan = 1; // 1 scan the text, 0 replay the selected list
    PARSETOKEN m_aStack[kStackSize];
    PARSETOKEN m_tkCurrent;
    // Written only by recording evaluations, which also rebuild the list's compiled form.
    PARSETOKEN m_aTokenList1[kListSize];
    PARSETOKEN m_aTokenList2[kListSize];
    PARSETOKEN m_aTokenList3[kListSize];

    int GetToken();
    bool MatchKeyword(std::string_view keyword) const;
    bool LookUpVariable(char*& cursor, double CParser::*& pmVariable);

    void Shift(int nState);
    void Push(const PARSETOKEN& token);
    void Pop(PARSETOKEN& token);
    int GotoState(int nProduction) const;
    void Reduce(int nProduction);

private:
    double EvaluateTokens(const char* text, int& status);
    PARSETOKEN* SelectedList();
    CRecordedProgram* SelectedProgram();
    bool CopyText(const char* text);
    int ScanToken();
    int ScanNumber();
    void Step(bool& bAccept);
    void ShiftOperand(bool bMinusAllowed);
    void Fail(EvalError cause = EvalError::Syntax)
    {
        if (!m_bError)
            m_eError = cause;
        m_bError = 1;
    }
    // Once a step: kept inline in Reduce, its one caller.
    [[gnu::always_inline]] inline double Reduced(int nProduction, const PARSETOKEN* rhs);
    // A production's value failed (a power or a function out of its domain).
    void ValueFailed();
    int TreeNode(int nProduction, const PARSETOKEN* rhs, const int* aNode);
    bool Recording() const { return m_bScan && m_nList >= 1 && m_nList <= 3; }
    // The rates program for these inputs, compiled at the first call after a recording.
    bool RatesFor(const RateInputs& inputs)
    {
        if (m_pRatesFor != &inputs) [[unlikely]]
            CompileRates(inputs);
        return m_rates.Valid();
    }
    void CompileRates(const RateInputs& inputs);
    // The end of a recording's evaluation: its list compiled when whole, its status and value.
    double FinishRecording(bool bAccept, int& status);
    // The recorded tree of the selected list, whose evaluation has just ended, compiled.
    void CompileRecording();
    // The end of a recording that went on past a value that failed: status 0, the list
    // compiled when whole, else shaped.
    double FinishFailedRecording(bool bAccept);
    // After a recording that failed at a value and is not whole: the list compiled as its
    // replays read it, or marked as failing at every state.
    void ShapeFailedRecording();

    char m_szText[kTextSize] = {};
    // Node of each stack entry in the expression tree built while recording.
    int m_aNode[kStackSize] = {};
    // The recorded equation of each list as a tree, and its root (-1 when it did not compile).
    CExpressionTree m_aTree[3];
    int m_aRoot[3] = {-1, -1, -1};
    bool m_aFailsAlways[3] = {};
    bool m_bShapeOnly = false;   // builds the tree and fails at no value
    bool m_bValueFailed = false; // a recording reads on past a value that failed
    CRecordedProgram m_aProgram[3];
    CRatesProgram m_rates;
    const RateInputs* m_pRatesFor = nullptr; // the inputs m_rates was last compiled for
    bool m_bCompiledReplay = true;
    bool m_bNativeRates = true;
    EvalError m_eError = EvalError::None;
};
