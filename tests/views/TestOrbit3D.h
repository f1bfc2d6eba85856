#pragma once
// Small 3-D views of the 3-D base for the tests and benchmarks; a program that uses one puts
// VX_IMPLEMENT_CLASS(CTestOrbit3D, C3DView) (or CTestCylinder3D's) in one of its files.
#include "model/core/KindVars.h"
#include "model/core/LimitBlocks.h"
#include "views/base/3DView.h"

// x, y and z of a three-variable model in its Projected Orbit box, drawn with x's pen, with every
// box command and the View Angle dialog reloaded on activation.
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
        d.reloadAngles = true;
        d.pan = &CModelSettings::m_ptPSPView;
        d.title = " Test Orbit";
        return d;
    }
};

// x and x' of a Newtonian model on the forcing-phase cylinder, keyed and limited as its Full
// Orbit, with the commands of that kind: zoom and reset of the box size, Set Limits of two axes.
class CTestCylinder3D : public C3DView
{
    VX_DECLARE_CLASS(CTestCylinder3D)
public:
    CTestCylinder3D() : C3DView(Describe()) {}
    static Plot3DDescription Describe()
    {
        Plot3DDescription d;
        d.block = LimitBlock::FullOrbit;
        d.mapping = RowMapping::ForcingCylinder;
        d.columns = {kSlotX, kSlotXp, -1};
        d.names = {"x", "x'", ""};
        d.key = {kViewFullOrbit, SystemKind::Newtonian};
        d.commands = k3DZoom | k3DReset;
        d.style = &CModelSettings::m_nStyleFO;
        d.width = &CModelSettings::m_nWidthFO;
        d.color = &CModelSettings::m_clrFO;
        d.angleSlot = 1;
        d.pan = &CModelSettings::m_ptFOView;
        d.title = " Test Cylinder";
        return d;
    }
};
