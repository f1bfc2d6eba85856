#pragma once
// The built-in model forms, the Newtonian pulse and the joining of the three force texts.
// Each formula is written in the order of its text, so a form and the same text typed as an
// equation give the same rows.
#include "model/core/ModelSettings.h"

#include <cmath>
#include <span>
#include <string>

// Values of m_nModelForm: 0 the typed equations, then the built-in forms of each kind.
enum class NewtonianModel : int
{
    UserDefined,
    DoubleWell,
    Duffing,
    VanDerPol,
    Pendulum
};
enum class OneVariableModel : int
{
    UserDefined,
    Exponential,
    Polynomial,
    Logistic,
    Trigonometric
};
enum class TwoVariableModel : int
{
    UserDefined,
    InvertibleExponential,
    StraightPolynomial,
    ReversedPolynomial,
    CrossedVariables,
    Linear
};
enum class ThreeVariableModel : int
{
    UserDefined,
    FoldedBand,
    Lorenz,
    TimeDependentParameter
};

// A built-in form and the equation texts that choosing it writes (Newtonian: the applied,
// restoring and drag forces; otherwise the x', y' and z' rates; unused texts are null).
struct StandardForm
{
    const char* name;
    const char* texts[3];
};

// The built-in forms of a kind, form 1 first.
std::span<const StandardForm> StandardForms(SystemKind kind);

struct FormParams
{
    double a = 0, b = 0, c = 0, d = 0, af = 0, pa = 0;
};

// The pulse train dlt(d) at time t with step dt: 0 or 1.
int Pulse(double d, double t, double dt);

// The last built-in form of a kind; a form beyond it (or below 0) computes as the last one.
template <SystemKind K>
inline constexpr int kLastForm = K == SystemKind::Newtonian
                                     ? static_cast<int>(NewtonianModel::Pendulum)
                                 : K == SystemKind::OneVariable
                                     ? static_cast<int>(OneVariableModel::Trigonometric)
                                 : K == SystemKind::TwoVariable
                                     ? static_cast<int>(TwoVariableModel::Linear)
                                     : static_cast<int>(ThreeVariableModel::TimeDependentParameter);

// The formulas of the built-in forms, each form a compile-time constant so that a run that
// chose its form once inlines the arithmetic.
namespace model_forms {

// The library's power at run time, as a typed x^n computes it: a constant exponent would let
// the compiler turn pow(x, 2) into x * x, which can differ in the last bit.
[[gnu::noinline]] double Pow(double x, double y);

// Newtonian force F of form Form (1..4) at (t, x, x'); the pendulum's pulse is taken at tPulse.
template <int Form>
inline double NewtonianForce(const FormParams& p, double t, double x, double xp, double tPulse,
                             double dt)
{
    if constexpr (Form == static_cast<int>(NewtonianModel::DoubleWell))
        return p.a * std::cos(p.af * t) + p.b * (x - Pow(x, 3)) - p.c * xp;
    else if constexpr (Form == static_cast<int>(NewtonianModel::Duffing))
        return p.a * std::cos(p.af * t + p.pa) - p.b * Pow(x, 3) - p.c * xp;
    else if constexpr (Form == static_cast<int>(NewtonianModel::VanDerPol))
        return p.a * std::sin(p.af * t) - p.b * x - p.c * (Pow(x, 2) - 1) * xp;
    else // Pendulum
        return p.a * Pulse(p.d, tPulse, dt) - p.b * std::sin(x) - p.c * xp * std::fabs(xp);
}

// One-variable x' of form Form (1..4).
template <int Form> inline double OneVarRate(const FormParams& p, double x)
{
    if constexpr (Form == static_cast<int>(OneVariableModel::Exponential))
        return p.a * std::exp(p.b * x) + p.c * x + p.d;
    else if constexpr (Form == static_cast<int>(OneVariableModel::Polynomial))
        return p.a * Pow(x, 3) + p.b * Pow(x, 2) + p.c * x + p.d;
    else if constexpr (Form == static_cast<int>(OneVariableModel::Logistic))
        return p.a * x * (1 - x / p.b); // a b of 0 has been made 1 for the run
    else                                // Trigonometric
        return p.a * std::sin(p.b * x) + p.c * x + p.d;
}

// Two-variable x' (i 0) or y' (i 1) of form Form (1..5).
template <int Form> inline double TwoVarRate(const FormParams& p, int i, double x, double y)
{
    if constexpr (Form == static_cast<int>(TwoVariableModel::InvertibleExponential))
        return i == 0 ? p.a * x + p.b * std::exp(-y) : p.c * y + p.d * std::exp(-x);
    else if constexpr (Form == static_cast<int>(TwoVariableModel::StraightPolynomial))
        return i == 0 ? p.a * x + p.b * Pow(x, 2) + p.c * Pow(x, 3) : p.d * y;
    else if constexpr (Form == static_cast<int>(TwoVariableModel::ReversedPolynomial))
        return i == 0 ? p.a * y + p.b * Pow(y, 2) + p.c * Pow(y, 3) : p.d * x;
    else if constexpr (Form == static_cast<int>(TwoVariableModel::CrossedVariables))
        return i == 0 ? p.a * x + p.b * x * y : p.c * y + p.d * x * y;
    else // Linear
        return i == 0 ? p.a * x + p.b * y : p.c * x + p.d * y;
}

// Three-variable x' (i 0), y' (i 1) or z' (i 2) of form Form (1..3).
template <int Form>
inline double ThreeVarRate(const FormParams& p, int i, double t, double x, double y, double z)
{
    if constexpr (Form == static_cast<int>(ThreeVariableModel::FoldedBand)) {
        if (i == 0)
            return -y - z;
        return i == 1 ? x + p.a * y : p.b + z * (x - p.c);
    } else {
        if (i == 0)
            return p.a * (y - x);
        if (i == 2)
            return x * y - p.c * z;
        if constexpr (Form == static_cast<int>(ThreeVariableModel::Lorenz))
            return p.b * x - y - x * z;
        else // Time Dependent Parameter
            return (p.b + p.d * std::sin(0.1 * p.af * t)) * x - y - x * z;
    }
}

} // namespace model_forms

// The applied, restoring and drag force texts joined into one expression: a "+" goes before
// a text that starts with neither "+" nor "-"; nothing else is inserted.
std::string BuildEquation(const std::string& applied, const std::string& restoring,
                          const std::string& drag);
