#pragma once
// The built-in model forms, the Newtonian pulse and the joining of the three force texts.
// Each formula is written in the order of its text, so a form and the same text typed as an
// equation give the same rows.
#include "model/core/ModelSettings.h"

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

// Newtonian force F of form 1..4 at (t, x, x'); the pendulum's pulse is taken at tPulse.
double NewtonianForce(int form, const FormParams& p, double t, double x, double xp, double tPulse,
                      double dt);

// One-variable x' of form 1..4.
double OneVarRate(int form, const FormParams& p, double x);

// Two-variable x' and y' of form 1..5.
double TwoVarXRate(int form, const FormParams& p, double x, double y);
double TwoVarYRate(int form, const FormParams& p, double x, double y);

// Three-variable x', y', z' of form 1..3.
double ThreeVarXRate(int form, const FormParams& p, double x, double y, double z);
double ThreeVarYRate(int form, const FormParams& p, double t, double x, double y, double z);
double ThreeVarZRate(int form, const FormParams& p, double x, double y, double z);

// The applied, restoring and drag force texts joined into one expression: a "+" goes before
// a text that starts with neither "+" nor "-"; nothing else is inserted.
std::string BuildEquation(const std::string& applied, const std::string& restoring,
                          const std::string& drag);
