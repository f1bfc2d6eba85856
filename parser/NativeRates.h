#pragma once
// The rates program as x86-64 machine code: the recorded trees of a kind compiled together into
// straight-line SSE2 code with the intermediate values in registers, so the independent chains
// of the rates overlap as in hand-written code. Operands are read at offsets from the owning
// parser, passed in at each call (a copy of the parser runs the same code on its own values),
// and the state from the caller's array. Each operation is the automaton's on the same operands
// (the default x86-64 baseline, no fused multiply-add), functions and powers go through the
// same C++ as the threaded program; any error returns "failed" and the caller replays token by
// token. Elsewhere than on x86-64 Linux nothing compiles and the threaded program runs.
#include <cstdint>
#include <memory>

class CExpressionTree;
class CParser;
struct RateInputs;
namespace x64 {
class CCodeBlock;
}

class CNativeRates
{
public:
    // base: the owning parser; u: the state; rate: the rates out; t: the time. true on an
    // error, the rates then undefined.
    using Entry = bool (*)(char* base, const double* u, double* rate, double t);

    // Doubles the code may use in the owning parser, at byte offsets from it: where t is put
    // for the code that reads it, and nScratch doubles from firstScratch for spilled values
    // and the operands of calls.
    struct Layout
    {
        std::int32_t tOffset;
        std::int32_t firstScratch;
        int nScratch;
    };

    // false when the trees cannot be compiled here (another processor, no executable memory,
    // too large): the program then stays invalid.
    bool Compile(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                 const CParser& owner, const Layout& layout);
    void Clear();
    bool Valid() const { return m_all != nullptr; }

    // All rates, or rate i alone into rate[0].
    Entry All() const { return m_all; }
    Entry One(int i) const { return m_one[i]; }

private:
    class CCompiler;

    std::shared_ptr<const x64::CCodeBlock> m_block; // immutable, shared with copies
    Entry m_all = nullptr;
    Entry m_one[3] = {};
};
