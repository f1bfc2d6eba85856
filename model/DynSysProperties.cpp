// View/Set Properties of the model documents.
#include "model/DynSys.h"
#include "model/ModelPropertySheet.h"
#include "model/core/PropertiesExchange.h"
#include "platform/CmdTarget.h"
#include "platform/base/MessageHook.h"

#include <memory>

const char* IModelPropertySheet::ClassName(SystemKind kind)
{
    static const char* const names[kSystemKinds] = {"CDS1ModProps", "CDS1NNModProps",
                                                    "CDS2ModProps", "CDS3ModProps"};
    return names[static_cast<int>(kind)];
}

void CDynSys::OnViewSetProperties()
{
    if (m_bRunning)
        return;
    const CRuntimeClass* pClass = CRuntimeClass::FromName(IModelPropertySheet::ClassName(m_kind));
    std::unique_ptr<CObject> pObject(pClass ? pClass->CreateObject() : nullptr);
    auto* pSheet = dynamic_cast<IModelPropertySheet*>(pObject.get());
    if (!pSheet)
        return;
    const CPropertiesBefore before(*this);
    CModelSettings edited = *this;
    if (pSheet->RunFor(*this, edited) != msgbox::IDOK) {
        before.Restore(*this);
        return;
    }
    ApplyProperties(*this, edited, before);
    SetModifiedFlag(TRUE);
    UpdateAllViews(nullptr, HINT_RESET);
}

void CDynSys::OnUpdateViewSetProperties(CCmdUI* pCmdUI)
{
    const bool ba = m_kind != SystemKind::ThreeVariable && m_bBARunning;
    pCmdUI->Enable(!m_bRunning && !ba);
}
