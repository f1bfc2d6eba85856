#include "parser/RatesProgram.h"

#include "parser/Operations.h"
#include "parser/Parser.h"

#include <initializer_list>

namespace {

using namespace parser_ops;
using Instr = CRatesProgram::Instr;
using Handler = CRatesProgram::Handler;

// The fused forms take only operations that cannot fail.
template <class Op> double Safe(double l, double r)
{
    bool bUnused = false;
    return Op::Apply(l, r, bUnused);
}

#define HANDLER_ARGS const Instr *in, char *base, const Instr *end
#define R(x) (*reinterpret_cast<double*>(base + in->x))

// Every handler ends here: the last one of a run returns, the others jump to their successor.
inline bool Next(HANDLER_ARGS)
{
    ++in;
    if (in == end)
        return false;
    return in->fn(in, base, end);
}

template <class Op> bool Binary(HANDLER_ARGS)
{
    R(d) = Safe<Op>(R(a), R(b));
    return Next(in, base, end);
}

bool PowerOf(HANDLER_ARGS)
{
    bool bError = false;
    R(d) = Power(R(a), R(b), bError);
    return bError || Next(in, base, end);
}

// a op1 (b op2 c)
template <class Op1, class Op2> bool LeafPair(HANDLER_ARGS)
{
    R(d) = Safe<Op1>(R(a), Safe<Op2>(R(b), R(c)));
    return Next(in, base, end);
}

// (a op2 b) op1 c
template <class Op1, class Op2> bool PairLeaf(HANDLER_ARGS)
{
    R(d) = Safe<Op1>(Safe<Op2>(R(a), R(b)), R(c));
    return Next(in, base, end);
}

// (a op2 b) op1 (c op3 e)
template <class Op1, class Op2, class Op3> bool PairPair(HANDLER_ARGS)
{
    R(d) = Safe<Op1>(Safe<Op2>(R(a), R(b)), Safe<Op3>(R(c), R(e)));
    return Next(in, base, end);
}

bool NegateOf(HANDLER_ARGS)
{
    R(d) = -R(a);
    return Next(in, base, end);
}

bool FunctionOf(HANDLER_ARGS)
{
    bool bError = false;
    R(d) = reinterpret_cast<const CParser*>(base)->CallFunction(in->nFunc, R(a), bError);
    return bError || Next(in, base, end);
}

#undef R
#undef HANDLER_ARGS

bool Fusable(NodeKind kind)
{
    return kind == NodeKind::Divide || IsArithmetic(kind);
}

} // namespace

// Emits each rate's tree in turn; a node reads its operands from registers, and a fusable
// node takes its fusable children into the same instruction.
class CRatesProgram::CCompiler
{
public:
    CCompiler(CRatesProgram& program, const CParser& owner) : m_prog(program), m_owner(owner) {}

    bool Setup(const RateInputs& inputs);
    int Registers() const { return m_nRegisters; }
    // Where the node's value is (its byte offset in the parser), or -1 when the program would
    // be too large.
    int Emit(const CExpressionTree& tree, int nNode);

private:
    int Leaf(const ExprNode& node);
    int Register(); // a free register's offset, or -1
    int Offset(const double* p) const
    {
        return static_cast<int>(reinterpret_cast<const char*>(p) -
                                reinterpret_cast<const char*>(&m_owner));
    }
    int Append(Handler fn, std::initializer_list<int> operands, int nFunc = 0);
    int EmitBinary(const CExpressionTree& tree, const ExprNode& node);

    CRatesProgram& m_prog;
    const CParser& m_owner;
    int m_nRegisters = 0;
    const RateInputs* m_pInputs = nullptr;
};

bool CRatesProgram::CCompiler::Setup(const RateInputs& inputs)
{
    m_pInputs = &inputs;
    m_nRegisters = kStateRegisters;
    return inputs.nState >= 1 && inputs.nState <= kStateRegisters && inputs.nRates >= 1 &&
           inputs.nRates <= kMaxRates;
}

int CRatesProgram::CCompiler::Register()
{
    return m_nRegisters < kMaxRegisters ? Offset(&m_prog.m_aReg[m_nRegisters++]) : -1;
}

int CRatesProgram::CCompiler::Leaf(const ExprNode& node)
{
    if (node.kind == NodeKind::Constant) {
        const int k = m_nRegisters, n = Register();
        if (n >= 0)
            m_prog.m_aReg[k] = node.leaf.dValue;
        return n;
    }
    for (int i = 0; i < m_pInputs->nState; ++i)
        if (m_pInputs->member[i] == node.leaf.pmVariable)
            return Offset(&m_prog.m_aReg[i]);
    return Offset(&(m_owner.*(node.leaf.pmVariable)));
}

int CRatesProgram::CCompiler::Append(Handler fn, std::initializer_list<int> operands, int nFunc)
{
    const int d = Register();
    if (d < 0 || fn == nullptr || m_prog.m_nCode >= kMaxCode)
        return -1;
    for (int n : operands)
        if (n < 0)
            return -1;
    Instr& in = m_prog.m_aCode[m_prog.m_nCode++];
    in = Instr{};
    in.fn = fn;
    in.d = d;
    std::int32_t* slots[4] = {&in.a, &in.b, &in.c, &in.e};
    int i = 0;
    for (int n : operands)
        *slots[i++] = n;
    in.nFunc = static_cast<std::uint8_t>(nFunc);
    return d;
}

int CRatesProgram::CCompiler::Emit(const CExpressionTree& tree, int nNode)
{
    if (nNode < 0)
        return -1;
    const ExprNode& node = tree[nNode];
    switch (node.kind) {
    case NodeKind::Constant:
    case NodeKind::Variable:
        return Leaf(node);
    case NodeKind::Negate:
        return Append(&NegateOf, {Emit(tree, node.nLeft)});
    case NodeKind::Function:
        return Append(&FunctionOf, {Emit(tree, node.nLeft)}, node.nFunc);
    case NodeKind::Power: {
        const int a = Emit(tree, node.nLeft);
        return Append(&PowerOf, {a, Emit(tree, node.nRight)});
    }
    default:
        return EmitBinary(tree, node);
    }
}

int CRatesProgram::CCompiler::EmitBinary(const CExpressionTree& tree, const ExprNode& node)
{
    // Operands are computed before the instruction that reads them; their order does not
    // matter, as only a run without errors keeps its values.
    const ExprNode& left = tree[node.nLeft];
    const ExprNode& right = tree[node.nRight];
    const bool bLeft = Fusable(left.kind), bRight = Fusable(right.kind);
    if (bLeft && bRight) {
        const int a = Emit(tree, left.nLeft), b = Emit(tree, left.nRight);
        const int c = Emit(tree, right.nLeft), e = Emit(tree, right.nRight);
        const Handler fn = WithSafeOperation(node.kind, [&](auto o1) {
            return WithSafeOperation(left.kind, [&](auto o2) {
                return WithSafeOperation(right.kind, [&](auto o3) -> Handler {
                    return &PairPair<decltype(o1), decltype(o2), decltype(o3)>;
                });
            });
        });
        return Append(fn, {a, b, c, e});
    }
    if (bRight) {
        const int a = Emit(tree, node.nLeft);
        const int b = Emit(tree, right.nLeft), c = Emit(tree, right.nRight);
        const Handler fn = WithSafeOperation(node.kind, [&](auto o1) {
            return WithSafeOperation(right.kind, [&](auto o2) -> Handler {
                return &LeafPair<decltype(o1), decltype(o2)>;
            });
        });
        return Append(fn, {a, b, c});
    }
    if (bLeft) {
        const int a = Emit(tree, left.nLeft), b = Emit(tree, left.nRight);
        const int c = Emit(tree, node.nRight);
        const Handler fn = WithSafeOperation(node.kind, [&](auto o1) {
            return WithSafeOperation(left.kind, [&](auto o2) -> Handler {
                return &PairLeaf<decltype(o1), decltype(o2)>;
            });
        });
        return Append(fn, {a, b, c});
    }
    const int a = Emit(tree, node.nLeft), b = Emit(tree, node.nRight);
    const Handler fn =
        WithSafeOperation(node.kind, [](auto o) -> Handler { return &Binary<decltype(o)>; });
    return Append(fn, {a, b});
}

bool CRatesProgram::Compile(const CExpressionTree* trees, const int* roots,
                            const RateInputs& inputs, const CParser& owner, bool bNative)
{
    Clear();
    m_nCode = 0;
    m_bStoreState = false;
    CCompiler compiler(*this, owner);
    if (!compiler.Setup(inputs))
        return false;
    for (int i = 0; i < inputs.nRates; ++i) {
        m_aSegment[i] = m_nCode;
        const int n = compiler.Emit(trees[i], roots[i]);
        if (n < 0)
            return false;
        m_aResult[i] = n;
    }
    m_aSegment[inputs.nRates] = m_nCode;
    for (int i = 0; i < m_nCode; ++i) {
        const std::uint8_t f = m_aCode[i].nFunc;
        if (m_aCode[i].fn == &FunctionOf && (f == FN_DLT || (f >= FN_XLE && f <= FN_ZGE)))
            m_bStoreState = true;
    }
    m_pInputs = &inputs;
    m_nState = inputs.nState;
    m_nRates = inputs.nRates;
    m_nRegisters = compiler.Registers();
    m_bValid = true;
    // The machine code reads t and the state where the threaded code keeps them, and spills to
    // the registers it leaves free. Programs that need the state in the parser stay threaded.
    if (bNative && !m_bStoreState) {
        auto offset = [&](const double* p) {
            return static_cast<std::int32_t>(reinterpret_cast<const char*>(p) -
                                             reinterpret_cast<const char*>(&owner));
        };
        const CNativeRates::Layout layout{offset(&m_aReg[0]), offset(&m_aReg[1]),
                                          offset(&m_aReg[m_nRegisters]),
                                          kMaxRegisters - m_nRegisters};
        m_native.Compile(trees, roots, inputs, owner, layout);
    }
    return true;
}

void CRatesProgram::StoreState(CParser& owner) const
{
    for (int i = 0; i < m_nState; ++i)
        owner.*(m_pInputs->member[i]) = m_aReg[i];
}
