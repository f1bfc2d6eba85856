#include "views/orbit/OrbitSectionsView.h"

VX_IMPLEMENT_ABSTRACT(COrbitSectionsView, CCylinderView)
VX_IMPLEMENT_CLASS(CSys1PSOC, COrbitSectionsView)
VX_IMPLEMENT_CLASS(CSys1NNPSOC, COrbitSectionsView)
VX_IMPLEMENT_CLASS(CSys2PSOC, COrbitSectionsView)

COrbitSectionsView::COrbitSectionsView(SystemKind kind)
    : CCylinderView(CylinderDescription(kViewOrbitSections, kind), kind)
{
}
