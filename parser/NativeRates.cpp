#include "parser/NativeRates.h"

#include "parser/Functions.h"
#include "parser/Parser.h"
#include "parser/X64Code.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using namespace x64;

// What the code calls for what it does not do inline: the threaded program's own C++.
bool FunctionThunk(const CParser* parser, double* io, int nFunc)
{
    bool bError = false;
    *io = parser->CallFunction(nFunc, *io, bError);
    return bError;
}

bool PowerThunk(double* x, const double* y)
{
    bool bError = false;
    *x = Power(*x, *y, bError);
    return bError;
}

constexpr int kXmm = 16;
constexpr int kFirstFree = 4;     // xmm0 to xmm3 bring t and the state
constexpr int kFirstFreeStep = 8; // and for a first-order step xmm4 to xmm7 h and the rates
// A first-order step keeps xmm12 to xmm15 for its caller's loop (CallFirstOrder).
constexpr int kEndFreeStep = 12;
constexpr std::size_t kMaxCodeBytes = std::size_t{1} << 18;
constexpr std::uint64_t kSignBit = 0x8000000000000000ull;
constexpr int kSd = 0xF2, kPd = 0x66; // the prefixes of scalar and packed double operations

// The fifth-order step's own scratch doubles, first in the scratch area: t, h and the mass
// (or whatever the caller passes in xmm5) at the start, the start state, then the six stages'
// k = h * rate of each variable.
constexpr int kStepT = 0, kStepH = 1, kStepExtra = 2, kStepU = 3, kStepK = 6, kStepSlots = 24;

// Fehlberg's tableau as the steppers write it (Steppers.h): each stage's state is u plus the
// terms in this order, each coefficient times k_j (or k_j over 4 for the second stage), and its
// time t + (mul * h) / div.
struct RKFTerm
{
    int k;       // which stage's k, 0 to 5
    double coef; // coefficient, or the divisor when bDivide
    bool bSubtract;
    bool bDivide = false;
};
struct RKFStage
{
    double mul, div; // the stage time is t + (mul * h) / div; mul 0: t itself
    int nTerms;
    RKFTerm terms[5];
};
const RKFStage kStages[6] = {
    {0, 1, 0, {}},
    {1, 4, 1, {{0, 4, false, true}}},
    {3, 8, 2, {{0, 3.0 / 32, false}, {1, 9.0 / 32, false}}},
    {12, 13, 3, {{0, 1932.0 / 2197, false}, {1, 7200.0 / 2197, true}, {2, 7296.0 / 2197, false}}},
    {1,
     1,
     4,
     {{0, 439.0 / 216, false}, {1, 8, true}, {2, 3680.0 / 513, false}, {3, 845.0 / 4104, true}}},
    {1,
     2,
     5,
     {{0, 8.0 / 27, true},
      {1, 2, false},
      {2, 3544.0 / 2565, true},
      {3, 1859.0 / 4104, false},
      {4, 11.0 / 40, true}}},
};
// The new state: the fifth-order weights.
const RKFStage kNewState = {0,
                            1,
                            5,
                            {{0, 16.0 / 135, false},
                             {2, 6656.0 / 12825, false},
                             {3, 28561.0 / 56430, false},
                             {4, 9.0 / 50, true},
                             {5, 2.0 / 55, false}}};

bool Inline(int nFunc)
{
    return nFunc == FN_ABS || nFunc == FN_SQR;
}

} // namespace

// Emits each entry as one function: the trees in turn, each node's value in an xmm register
// or, once spilled or returned by a call, in a scratch double of the owning parser.
class CNativeRates::CCompiler
{
public:
    CCompiler(const RateInputs& inputs, const CParser& owner, const Layout& layout)
        : m_inputs(inputs), m_owner(owner), m_layout(layout)
    {
    }

    // The rates [first, last): returns the entry's offset in the code, and whether it calls out.
    std::size_t Entry(const CExpressionTree* trees, const int* roots, int first, int last,
                      bool& bCalls);
    // Starts an entry: returns its offset.
    std::size_t Begin(bool bCalls, int firstFree, int endFree = kXmm);
    // A first-order step of the rates [0, n), or SIZE_MAX when it would call out.
    std::size_t StepEntry(const CExpressionTree* trees, const int* roots, int n);
    // A fifth-order step of d variables (the Newtonian kind: x, x' and one rate), with the
    // rates at the new state at the step's start time when bRates.
    std::size_t RKFEntry(const CExpressionTree* trees, const int* roots, int nRates, int d,
                         bool bRates);
    bool Failed() const { return m_bFailed || m_asm.Size() > kMaxCodeBytes; }
    CAssembler& Code() { return m_asm; }

private:
    struct Value
    {
        int xmm = -1;   // its register, or -1 when in memory
        Mem mem;        // where it is when not in a register
        int slot = -1;  // the scratch double it owns, or -1
        int fixed = -1; // the caller's register that holds it (t, the state): read only
    };
    struct Traits
    {
        bool bCalls = false, bTime = false;
    };

    void Survey(const CExpressionTree& tree, int n, Traits& traits) const;
    Traits SurveyAll(const CExpressionTree* trees, const int* roots, int first, int last) const;
    void OpenFrame();
    void StoreInputs(bool bTime);
    void Close();
    Mem StepSlot(int i) const { return SlotMem(i); }
    Mem KSlot(int stage, int i) const { return SlotMem(kStepK + 3 * stage + i); }
    void StageState(const RKFStage& stage, int d);
    void StageTime(const RKFStage& stage);
    void StageRates(const CExpressionTree* trees, const int* roots, int nRates, int stage,
                    bool bNewtonian);
    int FreeTemp() const;
    void RatesInto(const std::vector<int>& results, int firstReg);
    int Need(const CExpressionTree& tree, int n) const;
    bool HasCall(const CExpressionTree& tree, int n) const;
    int Emit(const CExpressionTree& tree, int n);
    int Leaf(const ExprNode& node);
    int Binary(const CExpressionTree& tree, const ExprNode& node);
    int Arithmetic(NodeKind kind, int hLeft, int hRight);
    int InlineUnary(int h, int nFunc);
    int CallFunction(int h, int nFunc);
    int CallPower(int hLeft, int hRight);
    int StateIndex(double CParser::*pm) const;

    int NewValue(const Value& v);
    int InReg(int h, unsigned pinned); // h in a register it may overwrite
    int NewReg(unsigned pinned);
    int NewSlot();
    Mem SlotMem(int slot) const { return {m_base, m_layout.firstScratch + 8 * slot}; }
    int OwnSlot(int h); // h in a scratch double of its own
    void Spill(int h);
    void SpillAll();
    void Release(int h);
    unsigned Pin(int h) const { return m_val[h].xmm >= 0 ? 1u << m_val[h].xmm : 0u; }
    int RegOf(int h) const { return m_val[h].xmm >= 0 ? m_val[h].xmm : m_val[h].fixed; }

    const RateInputs& m_inputs;
    const CParser& m_owner;
    const Layout& m_layout;
    CAssembler m_asm;
    bool m_bFailed = false;
    // Per entry: whether it calls out, where base is, the values and who holds what.
    bool m_bCalls = false;
    int m_base = RDI;
    int m_firstFree = kFirstFree, m_endFree = kXmm; // the registers values may take
    CAssembler::Label m_fail;
    std::vector<Value> m_val;
    int m_owners[kXmm] = {};
    std::vector<bool> m_slotUsed;
    // The fifth-order step: the stage whose k is in registers, and those registers (or -1).
    int m_kStage = -1;
    int m_kReg[3] = {-1, -1, -1};
};

int CNativeRates::CCompiler::StateIndex(double CParser::*pm) const
{
    for (int i = 0; i < m_inputs.nState; ++i)
        if (m_inputs.member[i] == pm)
            return i;
    return -1;
}

void CNativeRates::CCompiler::Survey(const CExpressionTree& tree, int n, Traits& traits) const
{
    const ExprNode& node = tree[n];
    if (node.kind == NodeKind::Variable && StateIndex(node.leaf.pmVariable) == 0)
        traits.bTime = true;
    if (node.kind == NodeKind::Power || (node.kind == NodeKind::Function && !Inline(node.nFunc)))
        traits.bCalls = true;
    if (!node.IsLeaf())
        Survey(tree, node.nLeft, traits);
    if (node.nRight >= 0 && !node.IsLeaf())
        Survey(tree, node.nRight, traits);
}

// Registers the node needs when its subtrees go largest first; a leaf on the right is read
// from memory.
int CNativeRates::CCompiler::Need(const CExpressionTree& tree, int n) const
{
    const ExprNode& node = tree[n];
    if (node.IsLeaf())
        return 1;
    const int l = Need(tree, node.nLeft);
    if (node.kind == NodeKind::Negate || node.kind == NodeKind::Function)
        return l;
    const int r = tree[node.nRight].IsLeaf() ? 0 : Need(tree, node.nRight);
    return l == r ? l + 1 : std::max(l, r);
}

bool CNativeRates::CCompiler::HasCall(const CExpressionTree& tree, int n) const
{
    Traits traits;
    Survey(tree, n, traits);
    return traits.bCalls;
}

int CNativeRates::CCompiler::NewValue(const Value& v)
{
    m_val.push_back(v);
    return static_cast<int>(m_val.size()) - 1;
}

int CNativeRates::CCompiler::NewSlot()
{
    for (std::size_t i = 0; i < m_slotUsed.size(); ++i)
        if (!m_slotUsed[i]) {
            m_slotUsed[i] = true;
            return static_cast<int>(i);
        }
    m_bFailed = true;
    return 0;
}

void CNativeRates::CCompiler::Spill(int h)
{
    Value& v = m_val[h];
    const int slot = NewSlot();
    m_asm.Store(SlotMem(slot), v.xmm);
    m_owners[v.xmm] = -1;
    v = {-1, SlotMem(slot), slot, -1};
}

void CNativeRates::CCompiler::SpillAll()
{
    for (int x = 0; x < kXmm; ++x)
        if (m_owners[x] >= 0)
            Spill(m_owners[x]);
}

// A free register, else the one of the oldest value: the values wait in the order of a stack,
// so the oldest is needed last.
int CNativeRates::CCompiler::NewReg(unsigned pinned)
{
    int victim = -1;
    for (int x = m_firstFree; x < m_endFree; ++x) {
        if (pinned & (1u << x))
            continue;
        if (m_owners[x] < 0)
            return x;
        if (victim < 0 || m_owners[x] < m_owners[victim])
            victim = x;
    }
    Spill(m_owners[victim]);
    return victim;
}

int CNativeRates::CCompiler::InReg(int h, unsigned pinned)
{
    if (m_val[h].xmm >= 0)
        return m_val[h].xmm;
    const int x = NewReg(pinned);
    Value& v = m_val[h];
    if (v.fixed >= 0)
        m_asm.Sse(kPd, kMovAligned, x, v.fixed);
    else
        m_asm.Load(x, v.mem);
    if (v.slot >= 0)
        m_slotUsed[static_cast<std::size_t>(v.slot)] = false;
    v = {x, {}, -1, -1};
    m_owners[x] = h;
    return x;
}

int CNativeRates::CCompiler::OwnSlot(int h)
{
    if (m_val[h].xmm >= 0)
        Spill(h);
    Value& v = m_val[h];
    if (v.slot < 0) { // a leaf: a memory one copied through a register nobody holds
        int x = v.fixed;
        if (x < 0) {
            x = NewReg(0);
            m_asm.Load(x, m_val[h].mem);
        }
        const int slot = NewSlot();
        m_asm.Store(SlotMem(slot), x);
        m_val[h] = {-1, SlotMem(slot), slot, -1};
    }
    return m_val[h].slot;
}

void CNativeRates::CCompiler::Release(int h)
{
    Value& v = m_val[h];
    if (v.xmm >= 0)
        m_owners[v.xmm] = -1;
    if (v.slot >= 0)
        m_slotUsed[static_cast<std::size_t>(v.slot)] = false;
    v = {};
}

int CNativeRates::CCompiler::Leaf(const ExprNode& node)
{
    if (node.kind == NodeKind::Constant)
        return NewValue({-1, {-1, m_asm.Constant(std::bit_cast<std::uint64_t>(node.leaf.dValue))}});
    // t and the state stay in the caller's registers, or where the prologue put them.
    const int i = StateIndex(node.leaf.pmVariable);
    if (i >= 0 && !m_bCalls)
        return NewValue({-1, {}, -1, i});
    if (i == 0)
        return NewValue({-1, {m_base, m_layout.tOffset}});
    if (i > 0)
        return NewValue({-1, {m_base, m_layout.stateOffset + 8 * (i - 1)}});
    const auto* member = reinterpret_cast<const char*>(&(m_owner.*(node.leaf.pmVariable)));
    const auto offset = static_cast<std::int32_t>(member - reinterpret_cast<const char*>(&m_owner));
    return NewValue({-1, {m_base, offset}});
}

int CNativeRates::CCompiler::Emit(const CExpressionTree& tree, int n)
{
    const ExprNode& node = tree[n];
    switch (node.kind) {
    case NodeKind::Constant:
    case NodeKind::Variable:
        return Leaf(node);
    case NodeKind::Negate: {
        const int h = Emit(tree, node.nLeft);
        m_asm.Sse(kPd, kXor, InReg(h, 0), Mem{-1, m_asm.Constant(kSignBit)});
        return h;
    }
    case NodeKind::Function: {
        const int h = Emit(tree, node.nLeft);
        return Inline(node.nFunc) ? InlineUnary(h, node.nFunc) : CallFunction(h, node.nFunc);
    }
    default:
        return Binary(tree, node);
    }
}

int CNativeRates::CCompiler::Binary(const CExpressionTree& tree, const ExprNode& node)
{
    // The side with a call first, as a call spills whatever waits; else the side that needs
    // more registers. The order of evaluation changes no value.
    const bool bLeftCall = HasCall(tree, node.nLeft), bRightCall = HasCall(tree, node.nRight);
    const bool bRightFirst =
        bLeftCall != bRightCall ? bRightCall : Need(tree, node.nRight) > Need(tree, node.nLeft);
    int hLeft, hRight;
    if (bRightFirst) {
        hRight = Emit(tree, node.nRight);
        hLeft = Emit(tree, node.nLeft);
    } else {
        hLeft = Emit(tree, node.nLeft);
        hRight = Emit(tree, node.nRight);
    }
    return node.kind == NodeKind::Power ? CallPower(hLeft, hRight)
                                        : Arithmetic(node.kind, hLeft, hRight);
}

int CNativeRates::CCompiler::Arithmetic(NodeKind kind, int hLeft, int hRight)
{
    const int d = InReg(hLeft, Pin(hRight));
    if (kind == NodeKind::Divide) {
        // A zero divisor (either sign, not NaN) gives +infinity.
        const int s = RegOf(hRight) >= 0 ? RegOf(hRight) : InReg(hRight, 1u << d);
        m_asm.Sse(kPd, kUcomi, s, Mem{-1, m_asm.Constant(0)});
        const int notZero = m_asm.Jcc8(0x75), unordered = m_asm.Jcc8(0x7A);
        m_asm.Load(d, Mem{-1, m_asm.Constant(0x7FF0000000000000ull)});
        const int done = m_asm.Jcc8(0xEB);
        m_asm.Here8(notZero);
        m_asm.Here8(unordered);
        m_asm.Sse(kSd, kDiv, d, s);
        m_asm.Here8(done);
    } else {
        const SseOp op = kind == NodeKind::Add ? kAdd : kind == NodeKind::Subtract ? kSub : kMul;
        if (RegOf(hRight) >= 0)
            m_asm.Sse(kSd, op, d, RegOf(hRight));
        else
            m_asm.Sse(kSd, op, d, m_val[hRight].mem);
    }
    Release(hRight);
    return hLeft;
}

int CNativeRates::CCompiler::InlineUnary(int h, int nFunc)
{
    const int x = InReg(h, 0);
    if (nFunc == FN_SQR)
        m_asm.Sse(kSd, kMul, x, x);
    else // FN_ABS
        m_asm.Sse(kPd, kAnd, x, Mem{-1, m_asm.Constant(~kSignBit, ~kSignBit)});
    return h;
}

int CNativeRates::CCompiler::CallFunction(int h, int nFunc)
{
    if (const PureFunction fn = PureFunctionOf(nFunc)) { // argument and result in xmm0
        const int x = m_val[h].xmm;
        if (x >= 0)
            m_owners[x] = -1; // read below, after the others are spilled
        SpillAll();
        if (RegOf(h) >= 0)
            m_asm.Sse(kPd, kMovAligned, 0, RegOf(h));
        else
            m_asm.Load(0, m_val[h].mem);
        Release(h);
        m_asm.CallAbsolute(reinterpret_cast<const void*>(fn));
        const int result = NewReg(0);
        m_asm.Sse(kPd, kMovAligned, result, 0);
        m_val[h] = {result, {}, -1, -1};
        m_owners[result] = h;
        return h;
    }
    const int slot = OwnSlot(h);
    SpillAll();
    m_asm.MovRR(RDI, m_base);
    m_asm.Lea(RSI, SlotMem(slot));
    m_asm.MovImm32(RDX, static_cast<std::uint32_t>(nFunc));
    m_asm.CallAbsolute(reinterpret_cast<const void*>(&FunctionThunk));
    m_asm.TestAlJnz(m_fail);
    return h; // the result is where the operand was
}

int CNativeRates::CCompiler::CallPower(int hLeft, int hRight)
{
    const int slot = OwnSlot(hLeft);
    if (RegOf(hRight) >= 0)
        OwnSlot(hRight);
    SpillAll();
    m_asm.Lea(RDI, SlotMem(slot));
    m_asm.Lea(RSI, m_val[hRight].mem);
    m_asm.CallAbsolute(reinterpret_cast<const void*>(&PowerThunk));
    m_asm.TestAlJnz(m_fail);
    Release(hRight);
    return hLeft;
}

std::size_t CNativeRates::CCompiler::Begin(bool bCalls, int firstFree, int endFree)
{
    m_val.clear();
    for (int& owner : m_owners)
        owner = -1;
    m_slotUsed.assign(static_cast<std::size_t>(m_layout.nScratch), false);
    m_fail = {};
    m_bCalls = bCalls;
    m_base = m_bCalls ? RBX : RDI;
    m_firstFree = firstFree;
    m_endFree = endFree;
    m_asm.Pad(8); // whoever disassembles or checks the code may read the bytes before it
    m_asm.Align(16);
    return m_asm.Size();
}

// In: t in xmm0, the state in xmm1 to xmm3, h in xmm4, rate 0 at the start in xmm5. Out: the
// state advanced in xmm1 to xmm3, the rates in xmm5 to xmm7. Each variable is advanced in turn
// with the rate from the values already advanced, as the steppers' first-order step does.
std::size_t CNativeRates::CCompiler::StepEntry(const CExpressionTree* trees, const int* roots,
                                               int n)
{
    Traits traits;
    for (int i = 0; i < n; ++i)
        Survey(trees[i], roots[i], traits);
    if (traits.bCalls)
        return SIZE_MAX;
    const std::size_t entry = Begin(false, kFirstFreeStep, kEndFreeStep);
    // u[i] = u[i] + h * rate[i], h * rate[i] in the rate's own register (xmm5, the rate at
    // the start, is given again at the end).
    auto rate = [&](int i, bool bAdvance) {
        const int h = Emit(trees[i], roots[i]);
        const int r = m_val[h].xmm >= 0 ? m_val[h].xmm : InReg(h, 0);
        m_asm.Sse(kPd, kMovAligned, 5 + i, r);
        if (bAdvance) {
            m_asm.Sse(kSd, kMul, r, 4);
            m_asm.Sse(kSd, kAdd, 1 + i, r);
        }
        Release(h);
    };
    m_asm.Sse(kSd, kMul, 5, 4);
    m_asm.Sse(kSd, kAdd, 1, 5);
    for (int i = 1; i < n; ++i)
        rate(i, true);
    rate(0, false);
    m_asm.ReturnStatus(false);
    m_asm.Ret();
    return entry;
}

CNativeRates::CCompiler::Traits CNativeRates::CCompiler::SurveyAll(const CExpressionTree* trees,
                                                                   const int* roots, int first,
                                                                   int last) const
{
    Traits traits;
    for (int i = first; i < last; ++i)
        Survey(trees[i], roots[i], traits);
    return traits;
}

// Code that calls out: a frame aligned for the calls, base kept in rbx.
void CNativeRates::CCompiler::OpenFrame()
{
    if (!m_bCalls)
        return;
    m_asm.Push(RBP);
    m_asm.MovRR(RBP, RSP);
    m_asm.Push(RBX);
    m_asm.AlignRsp16();
    m_asm.MovRR(RBX, RDI);
}

// Code that calls out reads t (when it does) and the state in xmm0 to xmm3 from the parser.
void CNativeRates::CCompiler::StoreInputs(bool bTime)
{
    if (!m_bCalls)
        return;
    if (bTime)
        m_asm.Store(Mem{RBX, m_layout.tOffset}, 0);
    for (int k = 1; k < m_inputs.nState; ++k)
        m_asm.Store(Mem{RBX, m_layout.stateOffset + 8 * (k - 1)}, k);
}

// Returns 0, and 1 from where a call failed.
void CNativeRates::CCompiler::Close()
{
    for (bool bFailed : {false, true}) {
        if (bFailed) {
            if (m_fail.patches.empty())
                break;
            m_asm.Place(m_fail);
        }
        m_asm.ReturnStatus(bFailed);
        if (m_bCalls)
            m_asm.LeaveFrame();
        m_asm.Ret();
    }
}

// The values of results into xmm firstReg and on. A caller's value that a result is (t, the
// state) is copied first, as is any other value in the way.
void CNativeRates::CCompiler::RatesInto(const std::vector<int>& results, int firstReg)
{
    for (int h : results)
        if (m_val[h].fixed >= 0)
            InReg(h, 0);
    for (std::size_t k = 0; k < results.size(); ++k) {
        const int x = firstReg + static_cast<int>(k);
        if (m_owners[x] >= 0 && m_owners[x] != results[k])
            Spill(m_owners[x]);
    }
    for (std::size_t k = 0; k < results.size(); ++k) {
        const Value& v = m_val[results[k]];
        const int x = firstReg + static_cast<int>(k);
        if (v.xmm >= 0 && v.xmm != x)
            m_asm.Sse(kPd, kMovAligned, x, v.xmm);
        else if (v.xmm < 0)
            m_asm.Load(x, v.mem);
    }
}

std::size_t CNativeRates::CCompiler::Entry(const CExpressionTree* trees, const int* roots,
                                           int first, int last, bool& bCalls)
{
    const Traits traits = SurveyAll(trees, roots, first, last);
    bCalls = traits.bCalls;
    const std::size_t entry = Begin(traits.bCalls, kFirstFree);
    OpenFrame();
    StoreInputs(traits.bTime);
    std::vector<int> results;
    for (int i = first; i < last; ++i)
        results.push_back(Emit(trees[i], roots[i]));
    RatesInto(results, 0);
    Close();
    return entry;
}

// A stage's state u + the terms into xmm1 and on (xmm4 the term), each term in the steppers'
// order and with their operations, so that every value has the steppers' bits.
// The newest stage's k is still in its registers (m_kReg), the others in the scratch doubles:
// a value stored and loaded at once would wait for the store.
void CNativeRates::CCompiler::StageState(const RKFStage& stage, int d)
{
    const int q = FreeTemp();
    for (int i = 0; i < d; ++i) {
        m_asm.Load(1 + i, StepSlot(kStepU + i));
        for (int n = 0; n < stage.nTerms; ++n) {
            const RKFTerm& term = stage.terms[n];
            const Mem coef{-1, m_asm.Constant(std::bit_cast<std::uint64_t>(term.coef))};
            const int kReg = term.k == m_kStage ? m_kReg[i] : -1;
            if (kReg >= 0)
                m_asm.Sse(kPd, kMovAligned, q, kReg);
            else
                m_asm.Load(q, KSlot(term.k, i));
            // k / coef, or k * coef: the coefficient is never a NaN, so the order changes no bit
            m_asm.Sse(kSd, term.bDivide ? kDiv : kMul, q, coef);
            m_asm.Sse(kSd, term.bSubtract ? kSub : kAdd, 1 + i, q);
        }
    }
}

// A register from xmm4 on that holds no k.
int CNativeRates::CCompiler::FreeTemp() const
{
    int x = kFirstFree;
    while (std::find(std::begin(m_kReg), std::end(m_kReg), x) != std::end(m_kReg))
        ++x;
    return x;
}

// A stage's time t + (mul * h) / div into xmm0.
void CNativeRates::CCompiler::StageTime(const RKFStage& stage)
{
    const int q = FreeTemp();
    m_asm.Load(0, StepSlot(kStepT));
    if (stage.mul == 0)
        return;
    if (stage.mul == 1 && stage.div == 1) {
        m_asm.Sse(kSd, kAdd, 0, StepSlot(kStepH));
        return;
    }
    if (stage.mul == 1) {
        m_asm.Load(q, StepSlot(kStepH));
    } else {
        m_asm.Load(q, Mem{-1, m_asm.Constant(std::bit_cast<std::uint64_t>(stage.mul))});
        m_asm.Sse(kSd, kMul, q, StepSlot(kStepH));
    }
    m_asm.Sse(kSd, kDiv, q, Mem{-1, m_asm.Constant(std::bit_cast<std::uint64_t>(stage.div))});
    m_asm.Sse(kSd, kAdd, 0, q);
}

// The rates at the stage's time and state (xmm0 to xmm3), each times h into the stage's k. The
// Newtonian kind's first rate is its x' (the state's second value), its second the one typed
// rate over the mass.
void CNativeRates::CCompiler::StageRates(const CExpressionTree* trees, const int* roots, int nRates,
                                         int stage, bool bNewtonian)
{
    for (int& x : m_kReg)
        x = -1;
    if (bNewtonian) { // k = h * x'
        m_asm.Load(4, StepSlot(kStepH));
        m_asm.Sse(kSd, kMul, 4, 2);
        m_asm.Store(KSlot(stage, 0), 4);
    }
    std::vector<int> results;
    for (int i = 0; i < nRates; ++i)
        results.push_back(Emit(trees[i], roots[i]));
    // Each k stays in its register for the next stage, so none may take another's.
    unsigned pinned = 0;
    const int first = bNewtonian ? 1 : 0;
    for (int i = 0; i < nRates; ++i) {
        const int x = InReg(results[static_cast<std::size_t>(i)], pinned);
        if (bNewtonian)
            m_asm.Sse(kSd, kDiv, x, StepSlot(kStepExtra));
        m_asm.Sse(kSd, kMul, x, StepSlot(kStepH));
        m_asm.Store(KSlot(stage, first + i), x);
        pinned |= 1u << x;
        m_kReg[first + i] = x;
    }
    for (int h : results)
        Release(h);
    m_kStage = stage;
}

// In: t in xmm0, the state in xmm1 to xmm3, h in xmm4, the mass in xmm5. Out: the state at
// t + h in xmm1 to xmm3 and, with bRates, the rates there at time t in xmm5 to xmm7. The
// steppers' fifth-order step (Steppers.h) operation for operation; every value lives in the
// scratch doubles between the stages.
std::size_t CNativeRates::CCompiler::RKFEntry(const CExpressionTree* trees, const int* roots,
                                              int nRates, int d, bool bRates)
{
    const Traits traits = SurveyAll(trees, roots, 0, nRates);
    const bool bNewtonian = d > nRates;
    const std::size_t entry = Begin(traits.bCalls, kFirstFree);
    if (m_layout.nScratch < kStepSlots) {
        m_bFailed = true;
        return entry;
    }
    for (int i = 0; i < kStepSlots; ++i)
        m_slotUsed[static_cast<std::size_t>(i)] = true;
    OpenFrame();
    m_asm.Store(StepSlot(kStepT), 0);
    m_asm.Store(StepSlot(kStepH), 4);
    m_asm.Store(StepSlot(kStepExtra), 5);
    for (int i = 0; i < d; ++i)
        m_asm.Store(StepSlot(kStepU + i), 1 + i);
    for (int j = 0; j < 6; ++j) {
        if (j > 0) { // the first stage is at the start, already in place
            if (traits.bTime)
                StageTime(kStages[j]);
            StageState(kStages[j], d);
        }
        StoreInputs(traits.bTime);
        StageRates(trees, roots, nRates, j, bNewtonian);
    }
    StageState(kNewState, d);
    if (bRates) {
        if (traits.bTime)
            m_asm.Load(0, StepSlot(kStepT));
        StoreInputs(traits.bTime);
        std::vector<int> results;
        for (int i = 0; i < nRates; ++i)
            results.push_back(Emit(trees[i], roots[i]));
        RatesInto(results, 5);
        if (m_bCalls) // the calls took the new state's registers
            for (int i = 0; i < d; ++i)
                m_asm.Load(1 + i, Mem{RBX, m_layout.stateOffset + 8 * i});
    }
    Close();
    return entry;
}

void CNativeRates::Clear()
{
    m_block.reset();
    m_all = nullptr;
    for (const void*& e : m_one)
        e = nullptr;
    m_step = nullptr;
    m_rkf[0] = m_rkf[1] = nullptr;
}

bool CNativeRates::Compile(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                           const CParser& owner, const Layout& layout)
{
    // With the fifth-order steps first; a program too large for them keeps the others.
    Clear();
    return Build(trees, roots, inputs, owner, layout, true) ||
           Build(trees, roots, inputs, owner, layout, false);
}

bool CNativeRates::Build(const CExpressionTree* trees, const int* roots, const RateInputs& inputs,
                         const CParser& owner, const Layout& layout, bool bSteps)
{
#if defined(__x86_64__) && defined(__linux__)
    CCompiler compiler(inputs, owner, layout);
    const int n = inputs.nRates, d = inputs.nState - 1;
    const std::size_t all = compiler.Entry(trees, roots, 0, n, m_bAllCalls);
    std::size_t one[3] = {};
    for (int i = 0; i < n; ++i)
        one[i] = compiler.Entry(trees, roots, i, i + 1, m_bOneCalls[i]);
    const std::size_t step = d == n ? compiler.StepEntry(trees, roots, n) : SIZE_MAX;
    // The Newtonian kind (x, x' and one rate) steps without the rates at the new state.
    std::size_t rkf[2] = {SIZE_MAX, SIZE_MAX};
    for (bool bRates : {false, true})
        if (bSteps && (d == n || (d == 2 && n == 1 && !bRates)))
            rkf[bRates] = compiler.RKFEntry(trees, roots, n, d, bRates);
    if (compiler.Failed())
        return false;
    auto block = x64::CCodeBlock::Make(compiler.Code().Finish());
    if (block == nullptr)
        return false;
    auto at = [&](std::size_t offset) { return offset == SIZE_MAX ? nullptr : block->At(offset); };
    m_all = at(all);
    m_step = at(step);
    for (int i = 0; i < n; ++i)
        m_one[i] = at(one[i]);
    for (int i = 0; i < 2; ++i)
        m_rkf[i] = at(rkf[i]);
    m_block = std::move(block);
    return true;
#else
    (void)trees, (void)roots, (void)inputs, (void)owner, (void)layout, (void)bSteps;
    return false;
#endif
}
