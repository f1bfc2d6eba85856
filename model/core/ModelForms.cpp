#include "model/core/ModelForms.h"

#include <cmath>

namespace {
// The library's power at run time, as a typed x^n computes it: a constant exponent would let
// the compiler turn pow(x, 2) into x * x, which can differ in the last bit.
[[gnu::noinline]] double Pow(double x, double y)
{
    return std::pow(x, y);
}
} // namespace

int Pulse(double d, double t, double dt)
{
    if (d <= 0)
        return 0;
    if (std::fabs(d - dt) < 1e-6)
        return 1;
    const double q = t / d;
    const double f = q - std::trunc(q);
    return f <= dt ? 1 : 0;
}

double NewtonianForce(int form, const FormParams& p, double t, double x, double xp, double tPulse,
                      double dt)
{
    switch (form) {
    case 1: // Double Well Potential
        return p.a * std::cos(p.af * t) + p.b * (x - Pow(x, 3)) - p.c * xp;
    case 2: // Duffing Oscillator
        return p.a * std::cos(p.af * t + p.pa) - p.b * Pow(x, 3) - p.c * xp;
    case 3: // van der Pol Oscillator
        return p.a * std::sin(p.af * t) - p.b * x - p.c * (Pow(x, 2) - 1) * xp;
    default: // Pendulum
        return p.a * Pulse(p.d, tPulse, dt) - p.b * std::sin(x) - p.c * xp * std::fabs(xp);
    }
}

double OneVarRate(int form, const FormParams& p, double x)
{
    switch (form) {
    case 1: // Exponential
        return p.a * std::exp(p.b * x) + p.c * x + p.d;
    case 2: // Polynomial
        return p.a * Pow(x, 3) + p.b * Pow(x, 2) + p.c * x + p.d;
    case 3: // Logistic (a b of 0 has been made 1 for the run)
        return p.a * x * (1 - x / p.b);
    default: // Trigonometric
        return p.a * std::sin(p.b * x) + p.c * x + p.d;
    }
}

double TwoVarXRate(int form, const FormParams& p, double x, double y)
{
    switch (form) {
    case 1: // Invertible Exponential
        return p.a * x + p.b * std::exp(-y);
    case 2: // Straight Polynomial
        return p.a * x + p.b * Pow(x, 2) + p.c * Pow(x, 3);
    case 3: // Reversed Polynomial
        return p.a * y + p.b * Pow(y, 2) + p.c * Pow(y, 3);
    case 4: // Crossed Variables
        return p.a * x + p.b * x * y;
    default: // Linear
        return p.a * x + p.b * y;
    }
}

double TwoVarYRate(int form, const FormParams& p, double x, double y)
{
    switch (form) {
    case 1:
        return p.c * y + p.d * std::exp(-x);
    case 2:
        return p.d * y;
    case 3:
        return p.d * x;
    case 4:
        return p.c * y + p.d * x * y;
    default:
        return p.c * x + p.d * y;
    }
}

double ThreeVarXRate(int form, const FormParams& p, double x, double y, double z)
{
    if (form == 1) // Folded Band
        return -y - z;
    return p.a * (y - x); // Lorenz System, Time Dependent Parameter
}

double ThreeVarYRate(int form, const FormParams& p, double t, double x, double y, double z)
{
    switch (form) {
    case 1:
        return x + p.a * y;
    case 2:
        return p.b * x - y - x * z;
    default:
        return (p.b + p.d * std::sin(0.1 * p.af * t)) * x - y - x * z;
    }
}

double ThreeVarZRate(int form, const FormParams& p, double x, double y, double z)
{
    if (form == 1)
        return p.b + z * (x - p.c);
    return x * y - p.c * z;
}

std::string BuildEquation(const std::string& applied, const std::string& restoring,
                          const std::string& drag)
{
    std::string eq = applied;
    for (const std::string* s : {&restoring, &drag}) {
        if (s->empty() || ((*s)[0] != '+' && (*s)[0] != '-'))
            eq += '+';
        eq += *s;
    }
    return eq;
}

std::span<const StandardForm> StandardForms(SystemKind kind)
{
    static const StandardForm newtonian[] = {
        {"Double Well Potential", {"a*cos(af*t)", "b*(x-x^3)", "-c*x'"}},
        {"Duffing Oscillator", {"a*cos(af*t+pa)", "-b*x^3", "-c*x'"}},
        {"van der Pol Oscillator", {"a*sin(af*t)", "-b*(x)", "-c*(x^2-1)*x'"}},
        {"Pendulum", {"a*dlt(d)", "-b*sin(x)", "-c*x'*abs(x')"}},
    };
    static const StandardForm one[] = {
        {"Exponential", {"a*exp(b*x)+c*x+d", nullptr, nullptr}},
        {"Polynomial", {"a*x^3+b*x^2+c*x+d", nullptr, nullptr}},
        {"Logistic", {"a*x*(1-x/b)", nullptr, nullptr}},
        {"Trigonometric", {"a*sin(b*x)+c*x+d", nullptr, nullptr}},
    };
    static const StandardForm two[] = {
        {"Invertible Exponential", {"a*x+b*exp(-y)", "c*y+d*exp(-x)", nullptr}},
        {"Straight Polynomial", {"a*x+b*x^2+c*x^3", "d*y", nullptr}},
        {"Reversed Polynomial", {"a*y+b*y^2+c*y^3", "d*x", nullptr}},
        {"Crossed Variables", {"a*x+b*x*y", "c*y+d*x*y", nullptr}},
        {"Linear", {"a*x+b*y", "c*x+d*y", nullptr}},
    };
    static const StandardForm three[] = {
        {"Folded Band", {"-y-z", "x+a*y", "b+z*(x-c)"}},
        {"Lorenz System", {"a*(y-x)", "b*x-y-x*z", "x*y-c*z"}},
        {"Time Dependent Parameter", {"a*(y-x)", "(b+d*sin(.1*af*t))*x-y-x*z", "x*y-c*z"}},
    };
    switch (kind) {
    case SystemKind::Newtonian:
        return newtonian;
    case SystemKind::OneVariable:
        return one;
    case SystemKind::TwoVariable:
        return two;
    default:
        return three;
    }
}
