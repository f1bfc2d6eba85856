#include "views/orbit/CyclePlanesView.h"

#include "model/core/KindVars.h"
#include "platform/FrameWnd.h"

VX_IMPLEMENT_CLASS(CSys1CP, C3DView)

namespace {
// Time 0 to 25, p and v -0.4 to 0.4; the document's limits are not used.
Plot3DDescription CyclePlanesPlot()
{
    Plot3DDescription d;
    d.columns = {kSlotT, kSlotX, kSlotXp};
    d.names = {"t", "p", "v"};
    d.boxLo = {0.0, -0.4, -0.4};
    d.boxHi = {25.0, 0.4, 0.4};
    d.style = &CModelSettings::m_nStylePO;
    d.width = &CModelSettings::m_nWidthPO;
    d.color = &CModelSettings::m_clrPO;
    d.angleSlot = 1; // the Full Orbit's angles and pan
    d.pan = &CModelSettings::m_ptFOView;
    d.key = {kViewCyclePlanes, SystemKind::Newtonian};
    d.redrawHints = {HINT_PO_LIMITS};
    return d;
}
} // namespace

const char* CyclePlanesTitle(int mode)
{
    static const char* const titles[6] = {" v vs p",       " v vs p, damped",
                                          " 3D orbit",     " 3D orbit, damped",
                                          " cycle planes", " cycle planes, damped"};
    return mode >= 6 && mode <= 11 ? titles[mode - 6] : "";
}

CSys1CP::CSys1CP() : C3DView(CyclePlanesPlot())
{
}

int CSys1CP::Mode() const
{
    const IModelDocument* m = GetModel();
    return m ? m->Core().m_nRSMode : 6;
}

void CSys1CP::TakeSettings(const CModelCore& s)
{
    C3DView::TakeSettings(s);
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetWindowText(s.m_strFileName + CyclePlanesTitle(s.m_nRSMode));
}
