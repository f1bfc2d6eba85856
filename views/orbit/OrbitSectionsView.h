#pragma once
// The Orbit Sections view: a run cut at 2 to 15 equally spaced phases of the forcing cycle, each
// section's rows drawn as points of its own colour on the forcing-phase cylinder. One design for
// the Newtonian, one- and two-variable kinds.
#include "views/orbit/CylinderView.h"

class COrbitSectionsView : public CCylinderView
{
    VX_DECLARE_CLASS(COrbitSectionsView)
public:
    explicit COrbitSectionsView(SystemKind kind);
};

#define VX_ORBIT_SECTIONS_VIEW(Name, Kind)                                                         \
    class Name : public COrbitSectionsView                                                         \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : COrbitSectionsView(Kind) {}                                                       \
    };
VX_ORBIT_SECTIONS_VIEW(CSys1PSOC, SystemKind::Newtonian)
VX_ORBIT_SECTIONS_VIEW(CSys1NNPSOC, SystemKind::OneVariable)
VX_ORBIT_SECTIONS_VIEW(CSys2PSOC, SystemKind::TwoVariable)
#undef VX_ORBIT_SECTIONS_VIEW
