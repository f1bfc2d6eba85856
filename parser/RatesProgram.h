#pragma once
// The recorded equations of a model compiled together into one program that writes all the
// rates at a state: a register machine in threaded code. The state (t and the integrated
// variables) is read from the caller's arrays, the other variables from the parser at each
// call; every operation is the automaton's on the same operands, so each rate has the bits of
// a scanning evaluation. Any error stops the program and sends the caller back to the
// token-by-token replay, which reproduces the error, its cause and its list exactly.
#include <cstdint>

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
    static constexpr int kMaxCopies = 20; // parser members read besides the state
    static constexpr int kStateRegisters = 4;

    struct Instr;
    // Runs the instructions from in up to end; true on an error.
    using Handler = bool (*)(const Instr* in, double* r, const CParser* parser, const Instr* end);
    struct Instr
    {
        Handler fn = nullptr;
        std::uint16_t d = 0, a = 0, b = 0, c = 0, e = 0; // registers: d = f(a, b, c, e)
        std::uint8_t nFunc = 0;
    };

    void Clear() { m_bValid = false; }
    bool Valid() const { return m_bValid; }
    // trees[i], roots[i]: the recorded equation of list i + 1.
    bool Compile(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                 const CParser& owner);

    // All rates at (t, u) into rate[0 .. nRates); u holds three values, whatever the state's
    // size. false on an error (rate then undefined).
    // N is the number of rates of the inputs compiled for.
    template <int N>
    [[gnu::always_inline]] bool Run(CParser& owner, double t, const double* u, double* rate) const
    {
        double* r = Prologue(owner, t, u);
        if (m_nCode > 0 && m_aCode[0].fn(m_aCode, r, &owner, m_aCode + m_nCode)) [[unlikely]]
            return false;
        for (int i = 0; i < N; ++i)
            rate[i] = r[m_aResult[i]];
        return true;
    }

    // Rate i alone at (t, u).
    [[gnu::always_inline]] bool RunOne(CParser& owner, int i, double t, const double* u,
                                       double& rate) const
    {
        double* r = Prologue(owner, t, u);
        const int first = m_aSegment[i], last = m_aSegment[i + 1];
        if (first < last && m_aCode[first].fn(m_aCode + first, r, &owner, m_aCode + last))
            [[unlikely]]
            return false;
        rate = r[m_aResult[i]];
        return true;
    }

private:
    class CCompiler;

    [[gnu::always_inline]] double* Prologue(CParser& owner, double t, const double* u) const
    {
        double* r = m_aReg;
        r[0] = t; // registers 0 to 3 are t and a state of up to three variables
        r[1] = u[0];
        r[2] = u[1];
        r[3] = u[2];
        const char* base = reinterpret_cast<const char*>(&owner);
        for (int i = 0; i < m_nCopies; ++i)
            r[m_aCopyTo[i]] = *reinterpret_cast<const double*>(base + m_aCopyFrom[i]);
        if (m_bStoreState) [[unlikely]]
            StoreState(owner);
        return r;
    }
    // Functions that read the parser's own t, x, y, z (DLT, X<= ...) see the state.
    void StoreState(CParser& owner) const;

    Instr m_aCode[kMaxCode];
    int m_nCode = 0;
    int m_aSegment[kMaxRates + 1] = {}; // the instructions of rate i: [m_aSegment[i], [i + 1])
    std::uint16_t m_aResult[kMaxRates] = {};
    // Parser members copied into registers at each call: byte offsets in the parser.
    std::int32_t m_aCopyFrom[kMaxCopies] = {};
    std::uint16_t m_aCopyTo[kMaxCopies] = {};
    int m_nCopies = 0;
    int m_nState = 0;
    int m_nRates = 0;
    const RateInputs* m_pInputs = nullptr;
    bool m_bStoreState = false;
    bool m_bValid = false;
    // Registers: the state, the copied members, the constants, then the intermediate values.
    mutable double m_aReg[kMaxRegisters] = {};
};
