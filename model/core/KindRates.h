#pragma once
// The right-hand side of a model kind: the rates of its state at a time, from the typed
// equations (replayed by a parser) or from a built-in form. The trajectory run and the
// phase-plane calculations share it. Nothing here is global: the caller hands over its own
// parser, so each thread evaluates with a copy of its own.
#include "model/core/KindVars.h"
#include "model/core/ModelForms.h"
#include "parser/Parser.h"

#include <type_traits>
#include <utility>

// A state of a kind: t and the integrated variables in the kind's order (VarsOf(kind).state:
// Newtonian x, x'; the others x, y, z as far as the kind goes).
struct KindState
{
    double t = 0;
    double u[3] = {};
};

// What the rates read besides the state.
struct KindRhs
{
    SystemKind kind = SystemKind::Newtonian;
    int form = 0;      // 0 the typed equations, else the built-in form
    FormParams params; // a, b, c, d, af, pa of a built-in form
    double mass = 1;   // Newtonian: x'' = F / m
    // Typed equations: the caller's parser, with the equations recorded in lists 1 to 3 and
    // the values they may read besides the state already set (parameters, dt, delayed values,
    // and the rates x', y', z' of the one-, two- and three-variable kinds). The equations read
    // t and the state from the KindState; the parser's own members for them are written only
    // when an equation is replayed token by token or calls a function that reads them.
    CParser* parser = nullptr;
    // The step in progress, set by the steppers for the Newtonian forms: the pendulum takes its
    // pulse at the step's start in every stage.
    double tStep = 0, hStep = 0;
    // The caller takes an equation without a value as 0 and never asks why (the basins scan):
    // the others then still run compiled, rather than every equation token by token.
    bool quietErrors = false;
    // The first typed equation that had no value since the caller last cleared these: why,
    // and its list. The rates go on with 0 for it; the caller decides whether to stop.
    EvalError error = EvalError::None;
    int errorList = 0;
    // The typed equations' one-call steps, when the caller looked them up for its parser once
    // (LookUpOneCallSteps: a run); otherwise each step asks the parser.
    CNativeRates::Steps oneCall;
};

// The parameters a, b, c, d, af and pa into a parser, for its typed equations.
inline void LoadParams(CParser& parser, const FormParams& p)
{
    parser.m_dA = p.a;
    parser.m_dB = p.b;
    parser.m_dC = p.c;
    parser.m_dD = p.d;
    parser.m_dAF = p.af;
    parser.m_dPA = p.pa;
}

// All rates of the kind at s (Newtonian x', x''; the others x', y', z') into rate[0 .. dim),
// or rate i alone.
void KindRates(KindRhs& f, const KindState& s, double* rate);
double KindRate(KindRhs& f, int i, const KindState& s);

// Calls fn with the kind as a compile-time constant.
template <class F> decltype(auto) ForKind(SystemKind kind, F&& fn)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return fn(std::integral_constant<SystemKind, SystemKind::Newtonian>{});
    case SystemKind::OneVariable:
        return fn(std::integral_constant<SystemKind, SystemKind::OneVariable>{});
    case SystemKind::TwoVariable:
        return fn(std::integral_constant<SystemKind, SystemKind::TwoVariable>{});
    case SystemKind::ThreeVariable:
        break;
    }
    return fn(std::integral_constant<SystemKind, SystemKind::ThreeVariable>{});
}

namespace kind_rates {

// Replays the recorded equation of a list; a failed evaluation gives 0 and is noted. A caller
// with quiet errors takes 0 at once for a list that fails at every state.
inline double Replay(KindRhs& f, int list)
{
    CParser& parser = *f.parser;
    if (f.quietErrors && parser.ReplayAlwaysFails(list))
        return 0;
    parser.m_bScan = 0;
    parser.m_nList = list;
    parser.m_nListIndex = 0;
    int status = 0;
    const double v = parser.Evaluate("", status); // a replay reads no text
    if (status == 0 && f.error == EvalError::None) [[unlikely]] {
        f.error = parser.LastError();
        f.errorList = list;
    }
    return v;
}

// The parser members that stand for t and the state of kind K, and its typed equations.
template <SystemKind K>
inline constexpr RateInputs kInputs =
    K == SystemKind::Newtonian
        ? RateInputs{3, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dXPrime, nullptr}, 1}
        : RateInputs{1 + VarsOf(K).dim,
                     {&CParser::m_dT, &CParser::m_dX, &CParser::m_dY, &CParser::m_dZ},
                     VarsOf(K).dim};

// The typed equations read the state from the parser.
template <SystemKind K> void Load(CParser& parser, const KindState& s)
{
    parser.*kInputs<K>.member[0] = s.t;
    for (int i = 1; i < kInputs<K>.nState; ++i)
        parser.*kInputs<K>.member[i] = s.u[i - 1];
}

// Rate i compiled alone, for a caller with quiet errors: an equation that fails gives 0, the
// value of its failed replay.
template <SystemKind K> double QuietRate(KindRhs& f, int i, const KindState& s)
{
    double rate = 0;
    return f.parser->EvaluateRate(kInputs<K>, i, s.t, s.u, rate) ? rate : 0;
}

// The typed equations list by list, token by token: what a failed compiled call falls back to.
template <SystemKind K>
[[gnu::noinline]] void ReplayRates(KindRhs& f, const KindState& s, double* rate)
{
    if (f.quietErrors && f.parser->RatesCompiled(kInputs<K>)) {
        for (int i = 0; i < kInputs<K>.nRates; ++i)
            rate[i] = QuietRate<K>(f, i, s);
        return;
    }
    Load<K>(*f.parser, s);
    for (int i = 0; i < kInputs<K>.nRates; ++i)
        rate[i] = Replay(f, i + 1);
}

template <SystemKind K> [[gnu::noinline]] double ReplayRate(KindRhs& f, int i, const KindState& s)
{
    if (f.quietErrors && f.parser->RatesCompiled(kInputs<K>))
        return QuietRate<K>(f, i, s);
    Load<K>(*f.parser, s);
    return Replay(f, i + 1);
}

// All typed rates in one call.
template <SystemKind K>
[[gnu::always_inline]] inline void TypedRates(KindRhs& f, const KindState& s, double* rate)
{
    if (!f.parser->EvaluateRates<kInputs<K>.nRates>(kInputs<K>, s.t, s.u, rate)) [[unlikely]]
        ReplayRates<K>(f, s, rate);
}

// The first-order step of typed equations of a one-, two- or three-variable kind in one call
// (see StepEuler), where the parser can run it so; false leaves the step to the caller.
template <SystemKind K>
[[gnu::always_inline]] inline bool TypedFirstOrderStep(KindRhs& f, KindState& s, double* rate,
                                                       double h)
{
    constexpr int N = kInputs<K>.nRates;
    if constexpr (K == SystemKind::Newtonian)
        return false;
    else if (f.oneCall.bLooked) {
        if (f.oneCall.firstOrder == nullptr)
            return false;
        CNativeRates::CallFirstOrder<N>(f.oneCall.firstOrder, *f.parser, s.t, s.u, rate, h);
        return true;
    } else
        return f.parser->EvaluateFirstOrderStep<N>(kInputs<K>, s.t, s.u, rate, h);
}

// The fifth-order step of typed equations in one call (see StepRKF), and with bRates the rates
// at the new state at the step's start time (not the Newtonian kind), where the parser can run
// it so; s.t is then advanced. false leaves the step to the caller.
template <SystemKind K, bool bRates>
[[gnu::always_inline]] inline bool TypedRKFStep(KindRhs& f, KindState& s, double* rate, double h)
{
    static_assert(!bRates || K != SystemKind::Newtonian);
    constexpr int D = VarsOf(K).dim, R = bRates ? kInputs<K>.nRates : 0;
    const bool ok = f.oneCall.bLooked
                        ? f.oneCall.rkf[bRates] != nullptr &&
                              CNativeRates::CallStep<D, R>(f.oneCall.rkf[bRates], f.oneCall.bCalls,
                                                           *f.parser, s.t, s.u, rate, h, f.mass)
                        : f.parser->EvaluateRKFStep<D, R>(kInputs<K>, s.t, s.u, rate, h, f.mass);
    if (ok)
        s.t = s.t + h;
    return ok;
}

// Rate i of built-in form Form (1 ..) of a one-, two- or three-variable kind K.
template <SystemKind K, int Form>
[[gnu::always_inline]] inline double FormRate(const KindRhs& f, int i, const KindState& s)
{
    const double* u = s.u;
    if constexpr (K == SystemKind::OneVariable)
        return model_forms::OneVarRate<Form>(f.params, u[0]);
    else if constexpr (K == SystemKind::TwoVariable)
        return model_forms::TwoVarRate<Form>(f.params, i, u[0], u[1]);
    else
        return model_forms::ThreeVarRate<Form>(f.params, i, s.t, u[0], u[1], u[2]);
}

} // namespace kind_rates

// Looks the typed one-call steps of kind K up once, for a caller that keeps its parser's
// recordings as they are while it steps.
template <SystemKind K> void LookUpOneCallSteps(KindRhs& f)
{
    f.oneCall = f.parser ? f.parser->OneCallSteps(kind_rates::kInputs<K>) : CNativeRates::Steps{};
}

// The form template argument of a caller that reads the form from KindRhs::form at each call.
inline constexpr int kFormOfRhs = -1;

// Calls fn with form as a compile-time constant of kind K: 0 the typed equations, 1 ..
// kLastForm<K> the built-in forms; any other value computes as the last form.
template <SystemKind K, int Form = 0, class F> decltype(auto) ForForm(int form, F&& fn)
{
    if constexpr (Form < kLastForm<K>) {
        if (form == Form)
            return fn(std::integral_constant<int, Form>{});
        return ForForm<K, Form + 1>(form, std::forward<F>(fn));
    } else {
        return fn(std::integral_constant<int, Form>{});
    }
}

// Calls fn with the kind and the form as compile-time constants.
template <class F> decltype(auto) ForKindAndForm(SystemKind kind, int form, F&& fn)
{
    return ForKind(kind, [&](auto k) {
        return ForForm<decltype(k)::value>(form, [&](auto f) { return fn(k, f); });
    });
}

// All rates of kind K and form Form at s. A run chooses its form once, so that the steps
// inline the form's arithmetic.
template <SystemKind K, int Form = kFormOfRhs>
[[gnu::always_inline]] inline void KindRates(KindRhs& f, const KindState& s, double* rate)
{
    if constexpr (Form == kFormOfRhs) {
        ForForm<K>(f.form, [&](auto form) { KindRates<K, decltype(form)::value>(f, s, rate); });
    } else if constexpr (K == SystemKind::Newtonian) {
        rate[0] = s.u[1];
        if constexpr (Form == 0) {
            kind_rates::TypedRates<K>(f, s, rate + 1);
            rate[1] = rate[1] / f.mass;
        } else {
            rate[1] =
                model_forms::NewtonianForce<Form>(f.params, s.t, s.u[0], s.u[1], f.tStep, f.hStep) /
                f.mass;
        }
    } else if constexpr (Form != 0) {
        for (int i = 0; i < VarsOf(K).dim; ++i)
            rate[i] = kind_rates::FormRate<K, Form>(f, i, s);
    } else {
        kind_rates::TypedRates<K>(f, s, rate);
    }
}

// Rate i of kind K and form Form at s alone.
template <SystemKind K, int Form = kFormOfRhs>
[[gnu::always_inline]] inline double KindRate(KindRhs& f, int i, const KindState& s)
{
    if constexpr (Form == kFormOfRhs) {
        return ForForm<K>(f.form,
                          [&](auto form) { return KindRate<K, decltype(form)::value>(f, i, s); });
    } else if constexpr (K == SystemKind::Newtonian) {
        double rate[2];
        if (i == 0)
            return s.u[1];
        KindRates<K, Form>(f, s, rate);
        return rate[1];
    } else if constexpr (Form != 0) {
        return kind_rates::FormRate<K, Form>(f, i, s);
    } else {
        // Inlined for the one-variable kind alone, whose step is a single rate: with two or
        // three, GCC copies the step's additions into the fallback's path with their operands
        // swapped, and a NaN there would change its sign.
        CParser& parser = *f.parser;
        constexpr const RateInputs& in = kind_rates::kInputs<K>;
        double rate;
        bool ok;
        if constexpr (K == SystemKind::OneVariable)
            ok = parser.EvaluateRateInlined(in, i, s.t, s.u, rate);
        else
            ok = parser.EvaluateRate(in, i, s.t, s.u, rate);
        if (!ok) [[unlikely]]
            return kind_rates::ReplayRate<K>(f, i, s);
        return rate;
    }
}
