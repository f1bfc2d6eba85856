#pragma once
// The arithmetic operations of the compiled replays, with the automaton's rules (Functions.h),
// and the choice of one by its node kind as a compile-time type. Internal to the parser.
#include "parser/Functions.h"
#include "parser/RecordedProgram.h"

namespace parser_ops {

struct AddOp
{
    static constexpr bool kCanFail = false;
    static double Apply(double l, double r, bool&) { return l + r; }
};
struct SubOp
{
    static constexpr bool kCanFail = false;
    static double Apply(double l, double r, bool&) { return l - r; }
};
struct MulOp
{
    static constexpr bool kCanFail = false;
    static double Apply(double l, double r, bool&) { return l * r; }
};
struct DivOp
{
    static constexpr bool kCanFail = false;
    static double Apply(double l, double r, bool&) { return Divide(l, r); }
};
struct PowOp
{
    static constexpr bool kCanFail = true;
    static double Apply(double l, double r, bool& bError) { return Power(l, r, bError); }
};

inline bool IsArithmetic(NodeKind kind)
{
    return kind == NodeKind::Add || kind == NodeKind::Subtract || kind == NodeKind::Multiply;
}

// Calls f with an instance of the operation's type; nullptr for other kinds.
template <class F> auto WithArithmetic(NodeKind kind, F f) -> decltype(f(AddOp{}))
{
    switch (kind) {
    case NodeKind::Add:
        return f(AddOp{});
    case NodeKind::Subtract:
        return f(SubOp{});
    case NodeKind::Multiply:
        return f(MulOp{});
    default:
        return nullptr;
    }
}

template <class F> auto WithOperation(NodeKind kind, F f) -> decltype(f(AddOp{}))
{
    switch (kind) {
    case NodeKind::Divide:
        return f(DivOp{});
    case NodeKind::Power:
        return f(PowOp{});
    default:
        return WithArithmetic(kind, f);
    }
}

// The operations that cannot fail.
template <class F> auto WithSafeOperation(NodeKind kind, F f) -> decltype(f(AddOp{}))
{
    return kind == NodeKind::Divide ? f(DivOp{}) : WithArithmetic(kind, f);
}

} // namespace parser_ops
