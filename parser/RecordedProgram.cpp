#include "parser/RecordedProgram.h"

#include "parser/Functions.h"
#include "parser/Parser.h"

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
    node.dValue = dValue;
    return Add(node);
}

int CExpressionTree::Variable(double CParser::*pmVariable)
{
    ExprNode node;
    node.kind = NodeKind::Variable;
    node.pmVariable = pmVariable;
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
// Operand forms of a binary operation: acc op constant, acc op variable, constant op acc,
// variable op acc, popped op acc.
constexpr int kC = 0, kV = 1, kRC = 2, kRV = 3, kPop = 4;
} // namespace

enum CRecordedProgram::Op : std::uint8_t
{
    OP_LOADC,
    OP_LOADV,
    OP_NEG,
    OP_FUNC,
    OP_PUSH,
    OP_END,
    OP_ADD,
    OP_SUB = OP_ADD + 5,
    OP_MUL = OP_SUB + 5,
    OP_DIV = OP_MUL + 5,
    OP_POW = OP_DIV + 5,
};

namespace {
int BinaryBase(NodeKind kind)
{
    switch (kind) {
    case NodeKind::Add:
        return CRecordedProgram::OP_ADD;
    case NodeKind::Subtract:
        return CRecordedProgram::OP_SUB;
    case NodeKind::Multiply:
        return CRecordedProgram::OP_MUL;
    case NodeKind::Divide:
        return CRecordedProgram::OP_DIV;
    default:
        return CRecordedProgram::OP_POW;
    }
}

bool Commutes(NodeKind kind)
{
    return kind == NodeKind::Add || kind == NodeKind::Multiply;
}
} // namespace

bool CRecordedProgram::Compile(const CExpressionTree& tree, int nRoot, int nTokens)
{
    m_nCode = 0;
    if (nRoot < 0 || !Emit(tree, nRoot, 0) || m_nCode >= kMaxCode) {
        m_nCode = 0;
        return false;
    }
    m_aCode[m_nCode++].op = OP_END;
    m_nTokens = nTokens;
    return true;
}

bool CRecordedProgram::EmitLeaf(const ExprNode& leaf, int nConstantOp, int nVariableOp)
{
    if (m_nCode >= kMaxCode)
        return false;
    Instr& in = m_aCode[m_nCode++];
    in.nFunc = 0;
    if (leaf.kind == NodeKind::Constant) {
        in.op = static_cast<Op>(nConstantOp);
        in.dValue = leaf.dValue;
    } else {
        in.op = static_cast<Op>(nVariableOp);
        in.pmVariable = leaf.pmVariable;
    }
    return true;
}

bool CRecordedProgram::Emit(const CExpressionTree& tree, int nNode, int nDepth)
{
    const ExprNode& node = tree[nNode];
    if (node.IsLeaf())
        return EmitLeaf(node, OP_LOADC, OP_LOADV);
    if (node.kind == NodeKind::Negate || node.kind == NodeKind::Function) {
        if (!Emit(tree, node.nLeft, nDepth) || m_nCode >= kMaxCode)
            return false;
        Instr& in = m_aCode[m_nCode++];
        in.op = node.kind == NodeKind::Negate ? OP_NEG : OP_FUNC;
        in.nFunc = node.nFunc;
        in.dValue = 0.0;
        return true;
    }
    return EmitBinary(tree, node, nDepth);
}

bool CRecordedProgram::EmitBinary(const CExpressionTree& tree, const ExprNode& node, int nDepth)
{
    const int nBase = BinaryBase(node.kind);
    const ExprNode& left = tree[node.nLeft];
    const ExprNode& right = tree[node.nRight];
    // Reading a leaf has no effect, so a leaf operand may be read after the other side.
    if (right.IsLeaf())
        return Emit(tree, node.nLeft, nDepth) && EmitLeaf(right, nBase + kC, nBase + kV);
    if (left.IsLeaf()) {
        const int nC = Commutes(node.kind) ? kC : kRC;
        const int nV = Commutes(node.kind) ? kV : kRV;
        return Emit(tree, node.nRight, nDepth) && EmitLeaf(left, nBase + nC, nBase + nV);
    }
    if (nDepth + 1 >= kMaxDepth || !Emit(tree, node.nLeft, nDepth) || m_nCode + 1 >= kMaxCode)
        return false;
    m_aCode[m_nCode++].op = OP_PUSH;
    if (!Emit(tree, node.nRight, nDepth + 1) || m_nCode >= kMaxCode)
        return false;
    m_aCode[m_nCode++].op = static_cast<Op>(nBase + kPop);
    return true;
}

// The five operand forms of one binary operation; l and r are its left and right operands.
#define BINARY_CASES(BASE, EXPR, CHECK)                                                            \
    case BASE + kC: {                                                                              \
        const double l = acc, r = in->dValue;                                                      \
        acc = EXPR;                                                                                \
        CHECK;                                                                                     \
        break;                                                                                     \
    }                                                                                              \
    case BASE + kV: {                                                                              \
        const double l = acc, r = parser.*(in->pmVariable);                                        \
        acc = EXPR;                                                                                \
        CHECK;                                                                                     \
        break;                                                                                     \
    }                                                                                              \
    case BASE + kRC: {                                                                             \
        const double l = in->dValue, r = acc;                                                      \
        acc = EXPR;                                                                                \
        CHECK;                                                                                     \
        break;                                                                                     \
    }                                                                                              \
    case BASE + kRV: {                                                                             \
        const double l = parser.*(in->pmVariable), r = acc;                                        \
        acc = EXPR;                                                                                \
        CHECK;                                                                                     \
        break;                                                                                     \
    }                                                                                              \
    case BASE + kPop: {                                                                            \
        const double l = aStack[--nTop], r = acc;                                                  \
        acc = EXPR;                                                                                \
        CHECK;                                                                                     \
        break;                                                                                     \
    }

bool CRecordedProgram::Run(const CParser& parser, double& dResult) const
{
    double aStack[kMaxDepth];
    int nTop = 0;
    double acc = 0.0;
    bool bError = false;
    for (const Instr* in = m_aCode;; ++in) {
        switch (static_cast<int>(in->op)) {
        case OP_LOADC:
            acc = in->dValue;
            break;
        case OP_LOADV:
            acc = parser.*(in->pmVariable);
            break;
        case OP_NEG:
            acc = -acc;
            break;
        case OP_FUNC:
            acc = parser.CallFunction(in->nFunc, acc, bError);
            if (bError)
                return false;
            break;
        case OP_PUSH:
            aStack[nTop++] = acc;
            break;
        case OP_END:
            dResult = acc;
            return true;
            BINARY_CASES(OP_ADD, l + r, (void)0)
            BINARY_CASES(OP_SUB, l - r, (void)0)
            BINARY_CASES(OP_MUL, l * r, (void)0)
            BINARY_CASES(OP_DIV, Divide(l, r), (void)0)
            BINARY_CASES(OP_POW, Power(l, r, bError), if (bError) return false)
        default:
            return false;
        }
    }
}

#undef BINARY_CASES
