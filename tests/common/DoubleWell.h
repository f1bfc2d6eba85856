#pragma once
// The double well x'' = x - x^3 - 0.5x' of the Vector Field tests, written as the model's kind
// writes it.
#include "model/core/ModelCore.h"

#include <string>
#include <utility>

// Each text comes in as a string of its own and is moved in: GCC 12 at -O3 warns (-Wrestrict)
// of a short literal copied into a string in place.
inline void SetRates(CModelCore& m, std::string x, std::string y)
{
    m.m_strXRate = std::move(x);
    m.m_strYRate = std::move(y);
}

inline void SetForces(CModelCore& m, std::string applied, std::string restoring, std::string drag)
{
    m.m_strAppliedForce = std::move(applied);
    m.m_strRestoringForce = std::move(restoring);
    m.m_strDragForce = std::move(drag);
}

// spring is typed before the linear term ("b*" spins it).
inline void SetDoubleWell(CModelCore& m, const std::string& spring = "")
{
    if (m.Kind() == SystemKind::Newtonian)
        SetForces(m, "0", spring + "x-x^3", "-0.5*x'");
    else
        SetRates(m, "y", spring + "x-x^3-0.5*y");
    m.m_nModelForm = 0;
}
