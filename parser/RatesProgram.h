#pragma once
// The recorded equations of a model compiled together into one program that writes all the
// rates at a state: a register machine in threaded code. The state (t and the integrated
// variables) is read from the caller's arrays, the other variables from the parser at each
// call; every operation is the automaton's on the same operands, so each rate has the bits of
// a scanning evaluation. Any error stops the program and sends the caller back to the
// token-by-token replay, which reproduces the error, its cause and its list exactly.
#include <cstdint>

#include "parser/NativeRates.h"
#include "parser/RecordedProgram.h"

// Which parser members a rates program reads from the caller's state instead, and how many
// rates (lists 1, 2, 3 in order) it computes. Kept in static tables: a program remembers the
// address of the inputs it was compiled for.
struct RateInputs
{
    int nState;                 // t and the state variables
    double CParser::*member[4]; // member[0] is t, member[1 + i] state variable i
    int nRates;                 // 1 to 3
};

class CRatesProgram
{
public:
    static constexpr int kMaxRates = 3;
    static constexpr int kMaxCode = 3 * CExpressionTree::kMaxNodes;
    static constexpr int kMaxRegisters = 720;
    static constexpr int kStateRegisters = 4;

    struct Instr;
    // Runs the instructions from in up to end; true on an error. Operands are byte offsets of
    // doubles in the parser that owns the program: its members, or this program's registers
    // (a member of the parser), so a copy of the parser runs on its own values.
    using Handler = bool (*)(const Instr* in, char* base, const Instr* end);
    struct Instr
    {
        Handler fn = nullptr;
        std::int32_t d = 0, a = 0, b = 0, c = 0, e = 0; // d = f(a, b, c, e)
        std::uint8_t nFunc = 0;
    };

    void Clear()
    {
        m_bValid = false;
        m_native.Clear();
    }
    bool Valid() const { return m_bValid; }
    // Whether the program runs as machine code rather than threaded code.
    bool Native() const { return m_native.Valid(); }
    // trees[i], roots[i]: the recorded equation of list i + 1. The program must be a member of
    // owner, so that its registers and the owner's variables are all offsets from one base.
    // bNative: also as machine code, where it can.
    bool Compile(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                 const CParser& owner, bool bNative);

    // All rates at (t, u) into rate[0 .. nRates); u holds three values, whatever the state's
    // size. false on an error (rate then undefined).
    // N is the number of rates of the inputs compiled for.
    template <int N>
    [[gnu::always_inline]] bool Run(CParser& owner, double t, const double* u, double* rate) const
    {
        if (m_native.Valid()) [[likely]]
            return m_native.RunAll<N>(owner, t, u, rate);
        char* base = Prologue(owner, t, u);
        if (m_nCode > 0 && m_aCode[0].fn(m_aCode, base, m_aCode + m_nCode)) [[unlikely]]
            return false;
        for (int i = 0; i < N; ++i)
            rate[i] = *reinterpret_cast<const double*>(base + m_aResult[i]);
        return true;
    }

    // Rate i alone at (t, u).
    [[gnu::always_inline]] bool RunOne(CParser& owner, int i, double t, const double* u,
                                       double& rate) const
    {
        if (m_native.Valid()) [[likely]]
            return m_native.RunOne(i, owner, t, u, rate);
        char* base = Prologue(owner, t, u);
        const int first = m_aSegment[i], last = m_aSegment[i + 1];
        if (first < last && m_aCode[first].fn(m_aCode + first, base, m_aCode + last)) [[unlikely]]
            return false;
        rate = *reinterpret_cast<const double*>(base + m_aResult[i]);
        return true;
    }

    // One first-order step of the N rates, as machine code; false when it cannot run so.
    template <int N>
    [[gnu::always_inline]] bool RunStep(CParser& owner, double t, double* u, double* rate,
                                        double h) const
    {
        return m_native.RunStep<N>(owner, t, u, rate, h);
    }
    // One fifth-order step of D variables with R rates at the new state, as machine code
    // (CNativeRates::RunRKF); false when it cannot run so.
    template <int D, int R>
    [[gnu::always_inline]] bool RunRKF(CParser& owner, double t, double* u, double* rate, double h,
                                       double extra) const
    {
        return m_native.RunRKF<D, R>(owner, t, u, rate, h, extra);
    }
    CNativeRates::Steps OneCallSteps() const { return m_native.OneCallSteps(); }

private:
    class CCompiler;

    [[gnu::always_inline]] char* Prologue(CParser& owner, double t, const double* u) const
    {
        // Registers 0 to 3 are t and a state of up to three variables, each stored alone: in
        // one wide store with the state, t would wait for the previous stage's state, and the
        // work on t alone (cos(af*t) ...) could no longer overlap with it.
        volatile double* reg = m_aReg;
        reg[0] = t;
        reg[1] = u[0];
        reg[2] = u[1];
        reg[3] = u[2];
        if (m_bStoreState) [[unlikely]]
            StoreState(owner);
        return reinterpret_cast<char*>(&owner);
    }
    // Functions that read the parser's own t, x, y, z (DLT, X<= ...) see the state.
    void StoreState(CParser& owner) const;

    Instr m_aCode[kMaxCode];
    int m_nCode = 0;
    int m_nRegisters = 0; // registers the threaded code uses; the machine code may use the rest
    int m_aSegment[kMaxRates + 1] = {};     // the instructions of rate i: [m_aSegment[i], [i + 1])
    std::int32_t m_aResult[kMaxRates] = {}; // offsets of the rates in the parser
    int m_nState = 0;
    int m_nRates = 0;
    const RateInputs* m_pInputs = nullptr;
    bool m_bStoreState = false;
    bool m_bValid = false;
    CNativeRates m_native;
    // Registers: the state, the constants, then the intermediate values.
    mutable double m_aReg[kMaxRegisters] = {};
};
