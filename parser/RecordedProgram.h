#pragma once
// A recorded equation in a form that replays without the automaton: the expression tree built
// from the reductions of the recording evaluation, compiled to threaded code. Each instruction
// is a handler specialised for its operation and operand kinds (the accumulator, a variable, a
// constant, the stack) that ends by jumping to the next one. The operations are the
// automaton's, on the same operands, so a replay gives the same bits; any error sends the
// caller back to the token-by-token replay, which then reproduces the error exactly.
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

union Operand {
    double dValue;
    double CParser::*pmVariable;
};

struct ExprNode
{
    NodeKind kind = NodeKind::Constant;
    std::uint8_t nFunc = 0;
    int nLeft = -1; // also the operand of Negate and Function
    int nRight = -1;
    Operand leaf{0.0};
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
    static constexpr int kMaxCode = CExpressionTree::kMaxNodes;
    static constexpr int kMaxDepth = 32;

    struct Instr;
    // Operands are byte offsets of doubles inside the parser that owns the program (its
    // variables, or constants kept here), so a copy of the parser runs on its own values.
    using Handler = double (*)(const Instr* in, double acc, double* sp, const char* base,
                               bool& bError);
    struct Instr
    {
        Handler fn = nullptr;
        std::int32_t aOperand[4] = {};
        std::uint8_t nFunc = 0;
    };

    void Clear() { m_nCode = 0; }
    bool Valid() const { return m_nCode > 0; }
    // owner: the parser that holds this program. nTokens: the recorded tokens, the end token
    // included (the list index after a full replay).
    bool Compile(const CExpressionTree& tree, int nRoot, int nTokens, const CParser& owner);
    int TokenCount() const { return m_nTokens; }

    // Sets bError on any error (a domain error of a function or a power).
    [[gnu::always_inline]] double Run(const CParser& owner, bool& bError) const
    {
        return m_aCode[0].fn(m_aCode, 0.0, m_aStack, reinterpret_cast<const char*>(&owner), bError);
    }

    struct Shape; // what an instruction does, before its handler is chosen

private:
    class CCompiler;

    Instr m_aCode[kMaxCode];
    double m_aConstant[kMaxCode] = {};
    mutable double m_aStack[kMaxDepth] = {}; // scratch of one run
    int m_nCode = 0;
    int m_nTokens = 0;
};
