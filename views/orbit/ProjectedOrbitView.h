#pragma once
// Projected Orbit of the plane: a run as the curve of its rows, x across and x' or y up, joined
// row by row, with a second pen on the rows one forcing cycle apart while "Mark Return Chronon"
// is on (the Newtonian kind places them by the forcing phase of the oldest row). A click on a
// legend box edits that item's pen and marks.
#include "views/orbit/OrbitPlaneView.h"

class CProjectedOrbitView : public COrbitPlaneView
{
    VX_DECLARE_CLASS(CProjectedOrbitView)
public:
    explicit CProjectedOrbitView(SystemKind kind);
    ~CProjectedOrbitView() override;

    static PlotDescription Describe(SystemKind kind);

protected:
    SwatchRows LegendRows(const CModelCore& s) const override;
    COLORREF DataColor(const CModelCore& s, bool imported) const override;
    bool EditLegendItem(int item) override;
};

VX_KIND_VIEW(CSys1PSP, CProjectedOrbitView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNPSP, CProjectedOrbitView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2PSP, CProjectedOrbitView, SystemKind::TwoVariable)
