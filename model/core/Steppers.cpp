#include "model/core/Steppers.h"

#include <cmath>

// The two- and three-variable steps' one definition, with the project's flags.
VX_RKF_PAIRED_STEPS(VX_RKF_INSTANTIATE)

bool StepIsUsable(int nIntegrator, double dt)
{
    if (!std::isfinite(dt))
        return false;
    return nIntegrator != 0 || dt > 0;
}

double StepOfRun(int nIntegrator, double dt)
{
    return nIntegrator != 0 && dt <= 0 ? 0.001 : dt;
}

void StepRKF(KindRhs& f, KindState& s, double h)
{
    ForKind(f.kind, [&](auto k) { StepRKF<decltype(k)::value>(f, s, h); });
}

void StepEuler(KindRhs& f, KindState& s, double* rate, double h)
{
    ForKind(f.kind, [&](auto k) { StepEuler<decltype(k)::value>(f, s, rate, h); });
}
