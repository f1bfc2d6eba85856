#pragma once
// Poincaré Section of the plane: of a run only the rows one forcing period apart, each a single
// pixel (x across, x' or y up), so that a periodic orbit shows as a few points and a chaotic one
// as its attractor; the keyboard cursor steps from section point to section point. A click on
// the legend's box of the computed or the imported points picks their colour.
#include "views/orbit/OrbitPlaneView.h"

class CPoincareView : public COrbitPlaneView
{
    VX_DECLARE_CLASS(CPoincareView)
public:
    explicit CPoincareView(SystemKind kind);
    ~CPoincareView() override;

    static PlotDescription Describe(SystemKind kind);

protected:
    SwatchRows LegendRows(const CModelCore& s) const override;
    COLORREF DataColor(const CModelCore& s, bool imported) const override;
    bool EditLegendItem(int item) override;
};

VX_KIND_VIEW(CSys1PS, CPoincareView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNPS, CPoincareView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2PS, CPoincareView, SystemKind::TwoVariable)
