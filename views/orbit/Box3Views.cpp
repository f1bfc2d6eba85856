#include "views/orbit/Box3Views.h"

#include "model/core/KindVars.h"

VX_IMPLEMENT_ABSTRACT(CBox3View, C3DView)
VX_IMPLEMENT_CLASS(CSys3PS, CBox3View)
VX_IMPLEMENT_CLASS(CSys3PSP, CBox3View)

namespace {
Plot3DDescription Box3Plot(ModelView view)
{
    const bool section = view == kViewPoincareSection;
    Plot3DDescription d;
    d.block = section ? LimitBlock::PoincareSection3 : LimitBlock::ProjectedOrbit3;
    d.columns = {kSlotX, kSlotY, kSlotZ};
    d.key = {view, SystemKind::ThreeVariable};
    d.commands = k3DZoom | k3DReset;
    d.angleSlot = section ? 3 : 0;
    d.pan = section ? &CModelSettings::m_ptPS3View : &CModelSettings::m_ptPSPView;
    d.title = section ? " Poincar\xE9 Section" : " Projected Orbit";
    d.redrawHints = {section ? HINT_PS_LIMITS : HINT_PO_LIMITS};
    if (section) {
        d.color = &CModelSettings::m_clrPS;
        d.points = d.sections = true;
        d.importPen = 4;
        return d;
    }
    d.style = &CModelSettings::m_nStylePO;
    d.width = &CModelSettings::m_nWidthPO;
    d.color = &CModelSettings::m_clrPO;
    d.markFlag = 0;
    d.markStyle = &CModelSettings::m_nStylePO2;
    d.markWidth = &CModelSettings::m_nWidthPO2;
    d.markColor = &CModelSettings::m_clrPO2;
    d.importPen = 0;
    d.importMarkPen = 1;
    return d;
}
} // namespace

CBox3View::CBox3View(ModelView view) : C3DView(Box3Plot(view))
{
}

CSys3PS::CSys3PS() : CBox3View(kViewPoincareSection)
{
}

CSys3PSP::CSys3PSP() : CBox3View(kViewProjectedOrbit)
{
}
