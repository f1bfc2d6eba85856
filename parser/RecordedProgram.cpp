#include "parser/RecordedProgram.h"

#include "parser/Functions.h"
#include "parser/Operations.h"
#include "parser/Parser.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

int CExpressionTree::Add(const ExprNode& node)
{
    if (m_nCount >= kMaxNodes)
        return -1;
    m_aNode[m_nCount] = node;
    return m_nCount++;
}

int CExpressionTree::Constant(double dValue)
{
    ExprNode node;
    node.kind = NodeKind::Constant;
    node.leaf.dValue = dValue;
    return Add(node);
}

int CExpressionTree::Variable(double CParser::*pmVariable)
{
    ExprNode node;
    node.kind = NodeKind::Variable;
    node.leaf.pmVariable = pmVariable;
    return Add(node);
}

int CExpressionTree::Unary(NodeKind kind, int nOperand, int nFunc)
{
    if (nOperand < 0)
        return -1;
    ExprNode node;
    node.kind = kind;
    node.nFunc = static_cast<std::uint8_t>(nFunc);
    node.nLeft = nOperand;
    return Add(node);
}

int CExpressionTree::Binary(NodeKind kind, int nLeft, int nRight)
{
    if (nLeft < 0 || nRight < 0)
        return -1;
    ExprNode node;
    node.kind = kind;
    node.nLeft = nLeft;
    node.nRight = nRight;
    return Add(node);
}

namespace {

using namespace parser_ops;
using Instr = CRecordedProgram::Instr;
using Handler = CRecordedProgram::Handler;

// What one instruction computes; l, a, b, c, d are leaves, acc the accumulator, pop the stack.
enum class Form : std::uint8_t
{
    Load,     // a
    LeafLeaf, // a op1 b
    AccLeaf,  // acc op1 a
    LeafAcc,  // a op1 acc
    PopAcc,   // pop op1 acc
    LeafPair, // a op1 (b op2 c), then op3 d when there is a tail
    PairLeaf, // (a op2 b) op1 c, then op3 d when there is a tail
    PairPair, // (a op2 b) op1 (c op3 d)
    Negate,   // -acc
    Function, // f(acc)
};

double Leaf(const char* base, std::int32_t nOffset)
{
    double d;
    std::memcpy(&d, base + nOffset, sizeof d);
    return d;
}

#define HANDLER_ARGS const Instr *in, double acc, double *sp, const char *base, bool &bError
#define OPERAND(i) Leaf(base, in->aOperand[i])

// Every handler ends here: the last one returns, the others jump to their successor.
template <bool Last> double Next(HANDLER_ARGS)
{
    if constexpr (Last)
        return acc;
    else
        return in[1].fn(in + 1, acc, sp, base, bError);
}

template <class Op, bool Last> double Finish(HANDLER_ARGS)
{
    if constexpr (Op::kCanFail)
        if (bError)
            return 0.0;
    return Next<Last>(in, acc, sp, base, bError);
}

template <bool Push, bool Last> double Load(HANDLER_ARGS)
{
    if constexpr (Push)
        *sp++ = acc;
    return Next<Last>(in, OPERAND(0), sp, base, bError);
}

template <class Op, bool Push, bool Last> double LeafLeaf(HANDLER_ARGS)
{
    if constexpr (Push)
        *sp++ = acc;
    return Finish<Op, Last>(in, Op::Apply(OPERAND(0), OPERAND(1), bError), sp, base, bError);
}

template <class Op, bool Last> double AccLeaf(HANDLER_ARGS)
{
    return Finish<Op, Last>(in, Op::Apply(acc, OPERAND(0), bError), sp, base, bError);
}

template <class Op, bool Last> double LeafAcc(HANDLER_ARGS)
{
    return Finish<Op, Last>(in, Op::Apply(OPERAND(0), acc, bError), sp, base, bError);
}

template <class Op, bool Last> double PopAcc(HANDLER_ARGS)
{
    const double l = *--sp;
    return Finish<Op, Last>(in, Op::Apply(l, acc, bError), sp, base, bError);
}

// The fused forms take only + - *, which cannot fail.
// No further operation after a fused form.
struct NoTail
{
};

template <class Tail> double ApplyTail(double v, const Instr* in, const char* base, bool& bError)
{
    if constexpr (std::is_same_v<Tail, NoTail>)
        return v;
    else
        return Tail::Apply(v, OPERAND(3), bError);
}

template <class Op1, class Op2, class Tail, bool Push, bool Last> double LeafPair(HANDLER_ARGS)
{
    if constexpr (Push)
        *sp++ = acc;
    const double r = Op2::Apply(OPERAND(1), OPERAND(2), bError);
    const double v = Op1::Apply(OPERAND(0), r, bError);
    return Next<Last>(in, ApplyTail<Tail>(v, in, base, bError), sp, base, bError);
}

template <class Op1, class Op2, class Tail, bool Push, bool Last> double PairLeaf(HANDLER_ARGS)
{
    if constexpr (Push)
        *sp++ = acc;
    const double l = Op2::Apply(OPERAND(0), OPERAND(1), bError);
    const double v = Op1::Apply(l, OPERAND(2), bError);
    return Next<Last>(in, ApplyTail<Tail>(v, in, base, bError), sp, base, bError);
}

template <class Op1, class Op2, class Op3, bool Push, bool Last> double PairPair(HANDLER_ARGS)
{
    if constexpr (Push)
        *sp++ = acc;
    const double l = Op2::Apply(OPERAND(0), OPERAND(1), bError);
    const double r = Op3::Apply(OPERAND(2), OPERAND(3), bError);
    return Next<Last>(in, Op1::Apply(l, r, bError), sp, base, bError);
}

template <bool Last> double Negate(HANDLER_ARGS)
{
    return Next<Last>(in, -acc, sp, base, bError);
}

template <bool Last> double Function(HANDLER_ARGS)
{
    const double v = reinterpret_cast<const CParser*>(base)->CallFunction(in->nFunc, acc, bError);
    if (bError)
        return 0.0;
    return Next<Last>(in, v, sp, base, bError);
}

#undef OPERAND
#undef HANDLER_ARGS

template <class F> Handler WithTail(bool bTail, NodeKind kind, F f)
{
    return bTail ? WithArithmetic(kind, f) : f(NoTail{});
}

// Calls f with the push and last flags as compile-time constants.
template <class F> Handler WithFlags(bool bPush, bool bLast, F f)
{
    using T = std::true_type;
    using N = std::false_type;
    if (bPush)
        return bLast ? f(T{}, T{}) : f(T{}, N{});
    return bLast ? f(N{}, T{}) : f(N{}, N{});
}

} // namespace

struct CRecordedProgram::Shape
{
    Form form = Form::Load;
    NodeKind op1 = NodeKind::Add;
    NodeKind op2 = NodeKind::Add;
    NodeKind op3 = NodeKind::Add;
    bool bTail = false;
    bool bPush = false;
};

namespace {
Handler PickHandler(const CRecordedProgram::Shape& s, bool bLast)
{
    const auto flags = [&](auto make) { return WithFlags(s.bPush, bLast, make); };
    const auto ending = [&](auto make) {
        return s.bPush ? nullptr : WithFlags(false, bLast, make); // only a fresh start pushes
    };
    switch (s.form) {
    case Form::Load:
        return flags([](auto P, auto L) -> Handler { return &Load<P(), L()>; });
    case Form::LeafLeaf:
        return WithOperation(s.op1, [&](auto o) {
            return flags(
                [](auto P, auto L) -> Handler { return &LeafLeaf<decltype(o), P(), L()>; });
        });
    case Form::AccLeaf:
    case Form::LeafAcc:
    case Form::PopAcc:
        return WithOperation(s.op1, [&](auto o) {
            return ending([&](auto, auto L) -> Handler {
                using Op = decltype(o);
                return s.form == Form::AccLeaf   ? &AccLeaf<Op, L()>
                       : s.form == Form::LeafAcc ? &LeafAcc<Op, L()>
                                                 : &PopAcc<Op, L()>;
            });
        });
    case Form::LeafPair:
    case Form::PairLeaf:
        return WithArithmetic(s.op1, [&](auto o1) {
            return WithArithmetic(s.op2, [&](auto o2) {
                return WithTail(s.bTail, s.op3, [&](auto o3) {
                    return flags([&](auto P, auto L) -> Handler {
                        using O1 = decltype(o1);
                        using O2 = decltype(o2);
                        using O3 = decltype(o3);
                        return s.form == Form::LeafPair ? &LeafPair<O1, O2, O3, P(), L()>
                                                        : &PairLeaf<O1, O2, O3, P(), L()>;
                    });
                });
            });
        });
    case Form::PairPair:
        return WithArithmetic(s.op1, [&](auto o1) {
            return WithArithmetic(s.op2, [&](auto o2) {
                return WithArithmetic(s.op3, [&](auto o3) {
                    return flags([](auto P, auto L) -> Handler {
                        return &PairPair<decltype(o1), decltype(o2), decltype(o3), P(), L()>;
                    });
                });
            });
        });
    case Form::Negate:
        return ending([](auto, auto L) -> Handler { return &Negate<L()>; });
    case Form::Function:
        return ending([](auto, auto L) -> Handler { return &Function<L()>; });
    }
    return nullptr;
}
} // namespace

// Turns the tree into instructions, choosing the widest form that fits each node.
class CRecordedProgram::CCompiler
{
public:
    CCompiler(CRecordedProgram& program, const CExpressionTree& tree, const CParser& owner)
        : m_program(program), m_tree(tree), m_pBase(reinterpret_cast<const char*>(&owner))
    {
    }

    bool Emit(int nNode);
    bool Finish();

private:
    bool Append(const Shape& shape, std::initializer_list<int> leaves, int nFunc = 0);
    bool EmitBinary(const ExprNode& node);
    bool IsLeafPair(const ExprNode& node) const
    {
        return IsArithmetic(node.kind) && m_tree[node.nLeft].IsLeaf() &&
               m_tree[node.nRight].IsLeaf();
    }
    std::int32_t Offset(const double* p) const
    {
        return static_cast<std::int32_t>(reinterpret_cast<const char*>(p) - m_pBase);
    }

    CRecordedProgram& m_program;
    const CExpressionTree& m_tree;
    const char* m_pBase;
    Shape m_aShape[kMaxCode];
    int m_nConstants = 0;
    int m_nDepth = 0;
    bool m_bPushNext = false;
};

bool CRecordedProgram::CCompiler::Append(const Shape& shape, std::initializer_list<int> leaves,
                                         int nFunc)
{
    CRecordedProgram& prog = m_program;
    if (prog.m_nCode >= kMaxCode)
        return false;
    Instr& in = prog.m_aCode[prog.m_nCode];
    in.nFunc = static_cast<std::uint8_t>(nFunc);
    int i = 0;
    for (int nLeaf : leaves) {
        const ExprNode& leaf = m_tree[nLeaf];
        if (leaf.kind == NodeKind::Variable) {
            const CParser& owner = *reinterpret_cast<const CParser*>(m_pBase);
            in.aOperand[i++] = Offset(&(owner.*(leaf.leaf.pmVariable)));
        } else {
            prog.m_aConstant[m_nConstants] = leaf.leaf.dValue;
            in.aOperand[i++] = Offset(&prog.m_aConstant[m_nConstants++]);
        }
    }
    m_aShape[prog.m_nCode] = shape;
    m_aShape[prog.m_nCode++].bPush = m_bPushNext;
    m_bPushNext = false;
    return true;
}

bool CRecordedProgram::CCompiler::Emit(int nNode)
{
    const ExprNode& node = m_tree[nNode];
    if (node.IsLeaf())
        return Append({Form::Load}, {nNode});
    if (node.kind == NodeKind::Negate)
        return Emit(node.nLeft) && Append({Form::Negate}, {});
    if (node.kind == NodeKind::Function)
        return Emit(node.nLeft) && Append({Form::Function}, {}, node.nFunc);
    return EmitBinary(node);
}

bool CRecordedProgram::CCompiler::EmitBinary(const ExprNode& node)
{
    const ExprNode& left = m_tree[node.nLeft];
    const ExprNode& right = m_tree[node.nRight];
    const NodeKind op = node.kind;
    // Reading a leaf has no effect, so leaves may be read in any order around the other side.
    if (left.IsLeaf() && right.IsLeaf())
        return Append({Form::LeafLeaf, op}, {node.nLeft, node.nRight});
    if (IsArithmetic(op) && left.IsLeaf() && IsLeafPair(right))
        return Append({Form::LeafPair, op, right.kind}, {node.nLeft, right.nLeft, right.nRight});
    if (IsArithmetic(op) && IsLeafPair(left) && right.IsLeaf())
        return Append({Form::PairLeaf, op, left.kind}, {left.nLeft, left.nRight, node.nRight});
    if (IsArithmetic(op) && right.IsLeaf() && IsArithmetic(left.kind)) {
        const ExprNode& ll = m_tree[left.nLeft];
        const ExprNode& lr = m_tree[left.nRight];
        if (ll.IsLeaf() && IsLeafPair(lr))
            return Append({Form::LeafPair, left.kind, lr.kind, op, true},
                          {left.nLeft, lr.nLeft, lr.nRight, node.nRight});
        if (IsLeafPair(ll) && lr.IsLeaf())
            return Append({Form::PairLeaf, left.kind, ll.kind, op, true},
                          {ll.nLeft, ll.nRight, left.nRight, node.nRight});
    }
    if (IsArithmetic(op) && IsLeafPair(left) && IsLeafPair(right))
        return Append({Form::PairPair, op, left.kind, right.kind},
                      {left.nLeft, left.nRight, right.nLeft, right.nRight});
    if (right.IsLeaf())
        return Emit(node.nLeft) && Append({Form::AccLeaf, op}, {node.nRight});
    if (left.IsLeaf())
        return Emit(node.nRight) && Append({Form::LeafAcc, op}, {node.nLeft});
    // Both sides computed: the left one waits on the stack while the right one runs.
    if (!Emit(node.nLeft) || ++m_nDepth >= kMaxDepth)
        return false;
    m_bPushNext = true;
    if (!Emit(node.nRight))
        return false;
    --m_nDepth;
    return Append({Form::PopAcc, op}, {});
}

bool CRecordedProgram::CCompiler::Finish()
{
    CRecordedProgram& prog = m_program;
    for (int i = 0; i < prog.m_nCode; ++i) {
        prog.m_aCode[i].fn = PickHandler(m_aShape[i], i == prog.m_nCode - 1);
        if (prog.m_aCode[i].fn == nullptr)
            return false;
    }
    return prog.m_nCode > 0;
}

bool CRecordedProgram::Compile(const CExpressionTree& tree, int nRoot, int nTokens,
                               const CParser& owner)
{
    m_nCode = 0;
    m_nTokens = nTokens;
    CCompiler compiler(*this, tree, owner);
    if (nRoot < 0 || !compiler.Emit(nRoot) || !compiler.Finish()) {
        m_nCode = 0;
        return false;
    }
    return true;
}
