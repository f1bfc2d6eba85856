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
    // Doubles the code may use in the owning parser, at byte offsets from it: where t and the
    // state are put for code that calls out, and nScratch doubles from firstScratch for spilled
    // values and the operands of calls.
    struct Layout
    {
        std::int32_t tOffset;
        std::int32_t stateOffset;
        std::int32_t firstScratch;
        int nScratch;
    };

    // false when the trees cannot be compiled here (another processor, no executable memory,
    // too large): the program then stays invalid.
    bool Compile(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                 const CParser& owner, const Layout& layout);
    void Clear();
    bool Valid() const { return m_all != nullptr; }

    // All N rates at (t, u) into rate, or rate i alone, with the parser that owns the program.
    // false on an error, the rates then undefined.
    template <int N, class Owner>
    [[gnu::always_inline]] bool RunAll(Owner& owner, double t, const double* u, double* rate) const
    {
        return Call<N>(m_all, m_bAllCalls, owner, t, u, rate);
    }
    template <class Owner>
    [[gnu::always_inline]] bool RunOne(int i, Owner& owner, double t, const double* u,
                                       double& rate) const
    {
        return Call<1>(m_one[i], m_bOneCalls[i], owner, t, u, &rate);
    }

    // The entries of the one-call steps (null where there is none), for a caller that looks
    // them up once and calls them with CallStep:
    // - firstOrder, when the program makes no calls: a first-order step of the N variables
    //   (see the steppers), u and rate advanced in place from the rates at the start in rate;
    // - rkf[0], a fifth-order step of the kind's D variables (the Newtonian x, x' with x'' the
    //   one rate over the mass, passed as extra), u advanced in place; rkf[1] the same and the
    //   N rates at the new state at time t into rate (not for the Newtonian kind).
    struct Steps
    {
        const void* firstOrder = nullptr;
        const void* rkf[2] = {};
        bool bCalls = false;  // whether the fifth-order entries call out
        bool bLooked = false; // set by whoever looked them up
    };
    Steps OneCallSteps() const { return {m_step, {m_rkf[0], m_rkf[1]}, m_bAllCalls, true}; }

    // How a step entry is called: code that calls out (which may fail), code that cannot fail,
    // and the first-order entry, which cannot fail and leaves t, h and xmm12 to xmm15 as they
    // were, so that a caller's loop may keep its values there.
    enum class Entry
    {
        Calls,
        Plain,
        FirstOrder
    };

    // Calls a step entry: t, the state u, h and extra in, the D variables of u and the R rates
    // back in place; false on an error (nothing written back), which only code that calls out
    // can have.
    template <int D, int R, class Owner>
    [[gnu::always_inline]] static bool CallStep(const void* code, bool bCalls, Owner& owner,
                                                double t, double* u, double* rate, double h,
                                                double extra)
    {
        if (bCalls) [[unlikely]]
            return CallStepOf<D, R, Entry::Calls>(code, owner, t, u, rate, h, extra);
        return CallStepOf<D, R, Entry::Plain>(code, owner, t, u, rate, h, extra);
    }
    template <int N, class Owner>
    [[gnu::always_inline]] static void CallFirstOrder(const void* code, Owner& owner, double t,
                                                      double* u, double* rate, double h)
    {
        CallStepOf<N, N, Entry::FirstOrder>(code, owner, t, u, rate, h, rate[0]);
    }
    // The same for one kind of entry. Everything is read before the register variables are set
    // and copied out right after the call: an instrumented access in between (sanitizers) could
    // clobber them.
    template <int D, int R, Entry kEntry, class Owner>
    [[gnu::always_inline]] static bool CallStepOf(const void* code, Owner& owner, double t,
                                                  double* u, double* rate, double h, double extra)
    {
#if defined(__x86_64__) && defined(__linux__)
        const double u0 = u[0], u1 = u[1], u2 = u[2];
        double v0, v1, v2, s0, s1, s2; // the state and the rates after the step
        int failed = 0;
        {
            register double x0 asm("xmm0") = t;
            register double x1 asm("xmm1") = u0;
            register double x2 asm("xmm2") = u1;
            register double x3 asm("xmm3") = u2;
            register double x4 asm("xmm4") = h;
            register double x5 asm("xmm5") = extra;
            register double x6 asm("xmm6");
            register double x7 asm("xmm7");
            register Owner* rdi asm("rdi") = &owner;
            register const void* r11 asm("r11") = code;
#define VELTRIX_CALL "sub $128, %%rsp\n\tcall *%[code]\n\tadd $128, %%rsp"
#define VELTRIX_OUT                                                                                \
    "+x"(x1), "+x"(x2), "+x"(x3), "+x"(x5), "=x"(x6), "=x"(x7), "+r"(rdi), [code] "+r"(r11)
#define VELTRIX_CLOBBERS                                                                           \
    "rcx", "rdx", "rsi", "r8", "r9", "r10", "xmm8", "xmm9", "xmm10", "xmm11", "cc"
            if constexpr (kEntry == Entry::Calls)
                asm volatile(VELTRIX_CALL
                             : VELTRIX_OUT, "+x"(x0), "+x"(x4), "=a"(failed)
                             :
                             : VELTRIX_CLOBBERS, "xmm12", "xmm13", "xmm14", "xmm15", "memory");
            else if constexpr (kEntry == Entry::Plain) // the old state need not outlive the call
                asm volatile(VELTRIX_CALL
                             : VELTRIX_OUT, "+x"(x0), "+x"(x4), "+m"(owner)
                             :
                             : VELTRIX_CLOBBERS, "xmm12", "xmm13", "xmm14", "xmm15", "rax");
            else
                asm volatile(VELTRIX_CALL
                             : VELTRIX_OUT, "+m"(owner)
                             : "x"(x0), "x"(x4)
                             : VELTRIX_CLOBBERS, "rax");
#undef VELTRIX_CALL
#undef VELTRIX_OUT
#undef VELTRIX_CLOBBERS
            v0 = x1, v1 = x2, v2 = x3, s0 = x5, s1 = x6, s2 = x7;
        }
        if (failed != 0) [[unlikely]]
            return false;
        const double v[3] = {v0, v1, v2}, s[3] = {s0, s1, s2};
        for (int i = 0; i < D; ++i)
            u[i] = v[i];
        for (int i = 0; i < R; ++i)
            rate[i] = s[i];
        return true;
#else
        (void)code, (void)owner, (void)t, (void)u, (void)rate, (void)h, (void)extra;
        return false;
#endif
    }

    // The first-order step of N variables, or the fifth-order step of D variables and R rates
    // (0, or N at the new state), with the parser that owns the program; false when there is
    // no such entry or on an error.
    template <int N, class Owner>
    [[gnu::always_inline]] bool RunStep(Owner& owner, double t, double* u, double* rate,
                                        double h) const
    {
        if (m_step == nullptr)
            return false;
        CallFirstOrder<N>(m_step, owner, t, u, rate, h);
        return true;
    }
    template <int D, int R, class Owner>
    [[gnu::always_inline]] bool RunRKF(Owner& owner, double t, double* u, double* rate, double h,
                                       double extra) const
    {
        const void* code = m_rkf[R > 0];
        return code != nullptr && CallStep<D, R>(code, m_bAllCalls, owner, t, u, rate, h, extra);
    }

private:
    class CCompiler;

    bool Build(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
               const CParser& owner, const Layout& layout, bool bSteps);

    // The code's own convention, so that the state and the rates stay in registers as in
    // inlined code: the owner in rdi, t in xmm0, the state in xmm1 to xmm3; the rates come back
    // in xmm0 to xmm2 and eax is nonzero on an error. It keeps rbx, rbp, r12 to r15 and rsp,
    // and leaves the caller's red zone alone. Code without calls out reads and writes no memory
    // but the owner's, so the caller's other values may stay in registers across it.
    template <int N, class Owner>
    [[gnu::always_inline]] static bool Call(const void* code, bool bCalls, Owner& owner, double t,
                                            const double* u, double* rate)
    {
#if defined(__x86_64__) && defined(__linux__)
        // As in CallStepOf: no memory access between setting the registers and reading them.
        const double u0 = u[0], u1 = u[1], u2 = u[2];
        double r0, r1, r2;
        int failed;
        {
            register double x0 asm("xmm0") = t;
            register double x1 asm("xmm1") = u0;
            register double x2 asm("xmm2") = u1;
            register double x3 asm("xmm3") = u2;
            register Owner* rdi asm("rdi") = &owner;
            register const void* r11 asm("r11") = code;
#define VELTRIX_CALL "sub $128, %%rsp\n\tcall *%[code]\n\tadd $128, %%rsp"
#define VELTRIX_OUT                                                                                \
    "+x"(x0), "+x"(x1), "+x"(x2), "+x"(x3), "+r"(rdi), [code] "+r"(r11), "=a"(failed)
#define VELTRIX_CLOBBERS                                                                           \
    "rcx", "rdx", "rsi", "r8", "r9", "r10", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9",        \
        "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15", "cc"
            if (bCalls) [[unlikely]] {
                asm volatile(VELTRIX_CALL:VELTRIX_OUT : : VELTRIX_CLOBBERS, "memory");
            } else {
                asm volatile(VELTRIX_CALL : VELTRIX_OUT, "+m"(owner) : : VELTRIX_CLOBBERS);
            }
#undef VELTRIX_CALL
#undef VELTRIX_OUT
#undef VELTRIX_CLOBBERS
            r0 = x0, r1 = x1, r2 = x2;
        }
        rate[0] = r0;
        if constexpr (N > 1)
            rate[1] = r1;
        if constexpr (N > 2)
            rate[2] = r2;
        return failed == 0;
#else
        (void)code, (void)bCalls, (void)owner, (void)t, (void)u, (void)rate;
        return false;
#endif
    }

    std::shared_ptr<const x64::CCodeBlock> m_block; // immutable, shared with copies
    const void* m_all = nullptr;
    const void* m_one[3] = {};
    const void* m_step = nullptr;
    const void* m_rkf[2] = {};
    bool m_bAllCalls = false; // whether the code calls out
    bool m_bOneCalls[3] = {};
};
