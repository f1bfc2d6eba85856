#pragma once
// The two steps of the program: the first-order step, in the program's own order of updates,
// and the fifth-order Runge-Kutta-Fehlberg step. Each advances a kind's state through its
// right-hand side (KindRates.h); the run, tracks and manifolds all step with these.
#include "model/core/KindRates.h"

// Whether a run with this integrator (0 first order, else fifth order) can use step dt; the
// step it then takes: the fifth-order step replaces a zero or negative step by 0.001, the
// first-order step has no substitute.
bool StepIsUsable(int nIntegrator, double dt);
double StepOfRun(int nIntegrator, double dt);

// One fifth-order step of size h (negative runs backwards) of the first D variables of s:
// s becomes the state at s.t + h. rates(at, r) writes the rates r at the state at.
//
// Fehlberg's 4(5) pair (E. Fehlberg, NASA Technical Report R-315, 1969; also Burden and
// Faires, Numerical Analysis, Runge-Kutta-Fehlberg method), advanced with the fifth-order
// weights:
//
//   0     |
//   1/4   | 1/4
//   3/8   | 3/32        9/32
//   12/13 | 1932/2197  -7200/2197   7296/2197
//   1     | 439/216    -8           3680/513    -845/4104
//   1/2   | -8/27       2          -3544/2565    1859/4104   -11/40
//   ------+-------------------------------------------------------------------
//         | 16/135      0           6656/12825   28561/56430  -9/50    2/55
//
// The sums are written out term by term in the table's order; a loop over the table would
// add in another order and change the last bits of every row.
template <int D, class Rates>
[[gnu::always_inline]] inline void RKFStepOf(Rates rates, KindState& s, double h)
{
    const double t = s.t;
    const double* u = s.u;
    double r[D] = {}, k1[D], k2[D], k3[D], k4[D], k5[D], k6[D];
    KindState at{t, {u[0], D > 1 ? u[1] : 0, D > 2 ? u[2] : 0}};
    auto stage = [&](double ts, double* k) {
        at.t = ts;
        rates(static_cast<const KindState&>(at), r);
        for (int i = 0; i < D; ++i)
            k[i] = h * r[i];
    };
    stage(t, k1);
    for (int i = 0; i < D; ++i)
        at.u[i] = u[i] + k1[i] / 4;
    stage(t + h / 4, k2);
    for (int i = 0; i < D; ++i)
        at.u[i] = u[i] + 3.0 / 32 * k1[i] + 9.0 / 32 * k2[i];
    stage(t + 3 * h / 8, k3);
    for (int i = 0; i < D; ++i)
        at.u[i] = u[i] + 1932.0 / 2197 * k1[i] - 7200.0 / 2197 * k2[i] + 7296.0 / 2197 * k3[i];
    stage(t + 12 * h / 13, k4);
    for (int i = 0; i < D; ++i)
        at.u[i] =
            u[i] + 439.0 / 216 * k1[i] - 8 * k2[i] + 3680.0 / 513 * k3[i] - 845.0 / 4104 * k4[i];
    stage(t + h, k5);
    for (int i = 0; i < D; ++i)
        at.u[i] = u[i] - 8.0 / 27 * k1[i] + 2 * k2[i] - 3544.0 / 2565 * k3[i] +
                  1859.0 / 4104 * k4[i] - 11.0 / 40 * k5[i];
    stage(t + h / 2, k6);
    for (int i = 0; i < D; ++i)
        s.u[i] = u[i] + 16.0 / 135 * k1[i] + 6656.0 / 12825 * k3[i] + 28561.0 / 56430 * k4[i] -
                 9.0 / 50 * k5[i] + 2.0 / 55 * k6[i];
    s.t = t + h;
}

// The step in progress, for the rates that read it (the pendulum's pulse).
template <SystemKind K, int Form>
[[gnu::always_inline]] inline void NoteStep(KindRhs& f, double t, double h)
{
    if constexpr (K == SystemKind::Newtonian && Form != 0) {
        f.tStep = t;
        f.hStep = h;
    }
}

namespace steppers {

template <SystemKind K, int Form>
[[gnu::always_inline]] inline void RKFStep(KindRhs& f, KindState& s, double h)
{
    NoteStep<K, Form>(f, s.t, h);
    RKFStepOf<VarsOf(K).dim>([&f](const KindState& at, double* r) { KindRates<K, Form>(f, at, r); },
                             s, h);
}

// Out of line and compiled once for every kind and form (the instantiations below), so the run
// and every other caller step with the same code and even the sign of a NaN that a diverging
// state ends in is the same for all. The Newtonian and one-variable kinds are compiled without
// pairing values in vector registers (StepsUnpaired.cpp): their rates call the library between
// the stages, the pairs then go through memory in halves, and each stage waits for them (a
// third of the time of a Newtonian form); the two- and three-variable kinds gain from the pairs.
template <SystemKind K, int Form>
[[gnu::noinline]] void RKFStepOutOfLine(KindRhs& f, KindState& s, double h)
{
    RKFStep<K, Form>(f, s, h);
}

} // namespace steppers

// Every kind and form of the out-of-line step: X(kind, form) for each, the kinds that are
// compiled without vector pairs apart.
// clang-format off
#define VX_RKF_UNPAIRED_STEPS(X)                                                                   \
    X(Newtonian, 0) X(Newtonian, 1) X(Newtonian, 2) X(Newtonian, 3) X(Newtonian, 4)                \
    X(OneVariable, 0) X(OneVariable, 1) X(OneVariable, 2) X(OneVariable, 3) X(OneVariable, 4)
#define VX_RKF_PAIRED_STEPS(X)                                                                     \
    X(TwoVariable, 0) X(TwoVariable, 1) X(TwoVariable, 2) X(TwoVariable, 3) X(TwoVariable, 4)      \
    X(TwoVariable, 5)                                                                              \
    X(ThreeVariable, 0) X(ThreeVariable, 1) X(ThreeVariable, 2) X(ThreeVariable, 3)
// clang-format on
static_assert(kLastForm<SystemKind::Newtonian> == 4 && kLastForm<SystemKind::OneVariable> == 4 &&
              kLastForm<SystemKind::TwoVariable> == 5 && kLastForm<SystemKind::ThreeVariable> == 3);
#define VX_RKF_STEP_OF(kind, form)                                                                 \
    void steppers::RKFStepOutOfLine<SystemKind::kind, form>(KindRhs&, KindState&, double);
#define VX_RKF_EXTERN(kind, form) extern template VX_RKF_STEP_OF(kind, form)
#define VX_RKF_INSTANTIATE(kind, form) template VX_RKF_STEP_OF(kind, form)
VX_RKF_UNPAIRED_STEPS(VX_RKF_EXTERN)
VX_RKF_PAIRED_STEPS(VX_RKF_EXTERN)

// One fifth-order step of kind K and form Form (KindRates): s becomes the state at s.t + h.
// Typed equations step in one machine-code call where the parser can run them so, else stage
// by stage; both give the same bits.
template <SystemKind K, int Form = kFormOfRhs>
[[gnu::always_inline]] inline void StepRKF(KindRhs& f, KindState& s, double h)
{
    if constexpr (Form == kFormOfRhs) {
        ForForm<K>(f.form, [&](auto form) { StepRKF<K, decltype(form)::value>(f, s, h); });
    } else {
        if constexpr (Form == 0)
            if (kind_rates::TypedRKFStep<K, false>(f, s, nullptr, h)) [[likely]]
                return;
        steppers::RKFStepOutOfLine<K, Form>(f, s, h);
    }
}

// The fifth-order step of a run: the step, then the rates at the new state at the time of the
// step's start into rate[0 .. dim) (the Newtonian kind: the step alone, rate untouched).
template <SystemKind K, int Form>
[[gnu::always_inline]] inline void StepRKFAndRates(KindRhs& f, KindState& s, double* rate, double h)
{
    constexpr bool bRates = K != SystemKind::Newtonian;
    if constexpr (Form == 0)
        if (kind_rates::TypedRKFStep<K, bRates>(f, s, rate, h)) [[likely]]
            return;
    const double t = s.t;
    steppers::RKFStepOutOfLine<K, Form>(f, s, h);
    if constexpr (bRates) {
        const double end = s.t;
        s.t = t;
        KindRates<K, Form>(f, s, rate);
        s.t = end;
    }
}

// One first-order step of size h from s, whose rates at the start are rate[0 .. dim); both
// are advanced in place. Each variable is advanced in turn and each rate recomputed from the
// values already advanced, all at the time of the start of the step: Newtonian x' first,
// then x with the new x', then x''; otherwise x, then y' from the new x and y with it, z'
// and z, then x' from all.
template <SystemKind K, int Form = kFormOfRhs>
[[gnu::always_inline]] inline void StepEuler(KindRhs& f, KindState& s, double* rate, double h)
{
    if constexpr (Form == kFormOfRhs) {
        ForForm<K>(f.form, [&](auto form) { StepEuler<K, decltype(form)::value>(f, s, rate, h); });
    } else {
        NoteStep<K, Form>(f, s.t, h);
        double* u = s.u;
        if constexpr (K == SystemKind::Newtonian) {
            u[1] = u[1] + h * rate[1];
            u[0] = u[0] + h * u[1];
            KindRates<K, Form>(f, s, rate);
        } else if (Form != 0 || !kind_rates::TypedFirstOrderStep<K>(f, s, rate, h)) {
            u[0] = u[0] + h * rate[0];
            for (int i = 1; i < VarsOf(K).dim; ++i) {
                rate[i] = KindRate<K, Form>(f, i, s);
                u[i] = u[i] + h * rate[i];
            }
            rate[0] = KindRate<K, Form>(f, 0, s);
        }
        s.t = s.t + h;
    }
}

// The same steps for a kind known only at run time.
void StepRKF(KindRhs& f, KindState& s, double h);
void StepEuler(KindRhs& f, KindState& s, double* rate, double h);
