#include "model/core/ModelForms.h"

#include <cmath>
#include <iterator>

double model_forms::Pow(double x, double y)
{
    return std::pow(x, y);
}

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
    static_assert(std::size(newtonian) == kLastForm<SystemKind::Newtonian>);
    static_assert(std::size(one) == kLastForm<SystemKind::OneVariable>);
    static_assert(std::size(two) == kLastForm<SystemKind::TwoVariable>);
    static_assert(std::size(three) == kLastForm<SystemKind::ThreeVariable>);
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
