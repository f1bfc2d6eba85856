#pragma once
// The Lorenz equations typed into a three-variable model, as the benchmarks run them.
#include "model/core/ModelSettings.h"

inline void TypeLorenz(CModelSettings& m)
{
    m.m_strXRate = "a*(y-x)";
    m.m_strYRate = "b*x-y-x*z";
    m.m_strZRate = "x*y-c*z";
    m.m_strParamA = "10";
    m.m_strParamB = "28";
    m.m_strParamC = "8/3";
    m.m_dInitX = 1;
}
