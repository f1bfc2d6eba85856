#pragma once
// A recorded equation in a form that replays without the automaton: the expression tree built
// from the reductions of the recording evaluation, compiled to accumulator code in which a
// binary operation takes a constant or a variable operand directly. The operations are the
// automaton's, in its order, so a replay gives the same bits; any error sends the caller back
// to the token-by-token replay, which then reproduces the error exactly.
#include <cstdint>

class CParser;

enum class NodeKind : std::uint8_t
{
    Constant,
    Variable,
    Negate,
    Function,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power
};

struct ExprNode
{
    NodeKind kind = NodeKind::Constant;
    std::uint8_t nFunc = 0;
    int nLeft = -1; // operand of Negate and Function
    int nRight = -1;
    union {
        double dValue;
        double CParser::*pmVariable;
    };
    ExprNode() : dValue(0.0) {}
    bool IsLeaf() const { return kind == NodeKind::Constant || kind == NodeKind::Variable; }
};

class CExpressionTree
{
public:
    static constexpr int kMaxNodes = 210; // a recordable equation has no more tokens

    void Clear() { m_nCount = 0; }
    // Each returns the new node, or -1 when the tree is full or an operand is missing.
    int Constant(double dValue);
    int Variable(double CParser::*pmVariable);
    int Unary(NodeKind kind, int nOperand, int nFunc = 0);
    int Binary(NodeKind kind, int nLeft, int nRight);
    const ExprNode& operator[](int n) const { return m_aNode[n]; }

private:
    int Add(const ExprNode& node);

    ExprNode m_aNode[kMaxNodes];
    int m_nCount = 0;
};

class CRecordedProgram
{
public:
    static constexpr int kMaxCode = 2 * CExpressionTree::kMaxNodes + 1;
    static constexpr int kMaxDepth = 32;

    void Clear() { m_nCode = 0; }
    bool Valid() const { return m_nCode > 0; }
    // nTokens: the recorded tokens, end token included (the list index after a full replay).
    bool Compile(const CExpressionTree& tree, int nRoot, int nTokens);
    int TokenCount() const { return m_nTokens; }
    // False on any error (domain error of a function or power).
    bool Run(const CParser& parser, double& dResult) const;

    enum Op : std::uint8_t;

private:
    struct Instr
    {
        Op op;
        std::uint8_t nFunc;
        union {
            double dValue;
            double CParser::*pmVariable;
        };
    };

    bool Emit(const CExpressionTree& tree, int nNode, int nDepth);
    bool EmitLeaf(const ExprNode& leaf, int nConstantOp, int nVariableOp);
    bool EmitBinary(const CExpressionTree& tree, const ExprNode& node, int nDepth);

    Instr m_aCode[kMaxCode];
    int m_nCode = 0;
    int m_nTokens = 0;
};
