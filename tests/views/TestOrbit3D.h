#pragma once
// A small 3-D view of the 3-D base for the tests and benchmarks; a program that uses it puts
// VX_IMPLEMENT_CLASS(CTestOrbit3D, C3DView) in one of its files.
#include "model/core/KindVars.h"
#include "model/core/LimitBlocks.h"
#include "views/base/3DView.h"

// x, y and z of a three-variable model in its Projected Orbit box, drawn with x's pen.
class CTestOrbit3D : public C3DView
{
    VX_DECLARE_CLASS(CTestOrbit3D)
public:
    CTestOrbit3D() : C3DView(Describe()) {}
    static Plot3DDescription Describe()
    {
        Plot3DDescription d;
        d.block = LimitBlock::ProjectedOrbit3;
        d.columns = {kSlotX, kSlotY, kSlotZ};
        const VarInfo& x = VarOf(kSlotX);
        d.style = x.style;
        d.width = x.width;
        d.color = x.color;
        d.angleSlot = 0;
        d.commands = k3DZoom | k3DReset | k3DPan;
        d.pan = &CModelSettings::m_ptPSPView;
        d.title = " Test Orbit";
        return d;
    }
};
