#pragma once
// The Full Orbit view: a run joined row by row on the forcing-phase cylinder, so that the orbit
// winds once round the cylinder per forcing period and a periodic response closes on itself.
// One design for the Newtonian, one- and two-variable kinds.
#include "views/orbit/CylinderView.h"

class CFullOrbitView : public CCylinderView
{
    VX_DECLARE_CLASS(CFullOrbitView)
public:
    explicit CFullOrbitView(SystemKind kind);

protected:
    void DrawMargins(CDC* pDC) override;
};

VX_KIND_VIEW(CSys1PSO, CFullOrbitView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNPSO, CFullOrbitView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2PSO, CFullOrbitView, SystemKind::TwoVariable)
