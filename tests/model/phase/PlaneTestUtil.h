#pragma once
// Models of the phase-plane tests: a kind with typed equations (or a built-in form) compiled
// as a document compiles them, seen through the plane field of its kind.
#include "tests/model/core/CalcTestUtil.h"
#include "model/phase/PlaneField.h"

#include <memory>
#include <string>

struct PlaneCase
{
    std::unique_ptr<CModelCore> model;
    std::unique_ptr<CFieldBase> field;
};

// eqX is the Newtonian force (x'' = eqX with m = 1) or the x' text; eqY the y' text.
inline PlaneCase MakePlane(SystemKind kind, const std::string& eqX, const std::string& eqY = "0",
                           int form = 0)
{
    PlaneCase c;
    c.model = std::make_unique<CModelCore>(kind);
    CModelCore& m = *c.model;
    NewModel(m);
    m.m_dMass = 1;
    m.m_nModelForm = form;
    if (kind == SystemKind::Newtonian)
        m.m_strEquation = eqX;
    m.m_strXRate = eqX;
    m.m_strYRate = eqY;
    m.CompileEquations();
    c.field = MakePlaneField(CPlaneModel::Of(m));
    return c;
}

inline CPlaneFrame Frame(int w, int h, double lo = -10, double hi = 10)
{
    CPlaneFrame f;
    f.right = w;
    f.bottom = h;
    f.xmin = f.ymin = lo;
    f.xmax = f.ymax = hi;
    return f;
}
