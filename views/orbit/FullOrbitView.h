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

#define VX_FULL_ORBIT_VIEW(Name, Kind)                                                             \
    class Name : public CFullOrbitView                                                             \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : CFullOrbitView(Kind) {}                                                           \
    };
VX_FULL_ORBIT_VIEW(CSys1PSO, SystemKind::Newtonian)
VX_FULL_ORBIT_VIEW(CSys1NNPSO, SystemKind::OneVariable)
VX_FULL_ORBIT_VIEW(CSys2PSO, SystemKind::TwoVariable)
#undef VX_FULL_ORBIT_VIEW
