#include "dialogs/ModelPropSheet.h"

VX_IMPLEMENT_ABSTRACT(CModelPropSheet, CPropertySheet)

#define VX_IMPLEMENT_MODEL_SHEET(Sheet, Kind)                                                      \
    VX_IMPLEMENT_CLASS(Sheet, CModelPropSheet)                                                     \
    Sheet::Sheet() : CModelPropSheet(Kind)                                                         \
    {                                                                                              \
        AddPages(m_pageTime, m_pageSpace, m_pageTable, m_pageObject);                              \
    }
VX_IMPLEMENT_MODEL_SHEET(CDS1ModProps, SystemKind::Newtonian)
VX_IMPLEMENT_MODEL_SHEET(CDS1NNModProps, SystemKind::OneVariable)
VX_IMPLEMENT_MODEL_SHEET(CDS2ModProps, SystemKind::TwoVariable)
VX_IMPLEMENT_MODEL_SHEET(CDS3ModProps, SystemKind::ThreeVariable)

CModelPropSheet::CModelPropSheet(SystemKind kind) : CPropertySheet(PropertyKindOf(kind).caption)
{
}

void CModelPropSheet::AddPages(CModelPage& time, CModelPage& space, CModelPage& table,
                               CModelPage& object)
{
    CModelPage* pages[4] = {&time, &space, &table, &object};
    for (int i = 0; i < 4; ++i) {
        m_pages[i] = pages[i];
        AddPage(pages[i]);
    }
}

void CModelPropSheet::Attach(CModelCore& doc, CModelSettings& edited)
{
    for (CModelPage* p : m_pages)
        p->Attach(&doc, &edited);
    m_nStartPage = doc.m_nActivePage;
}

int CModelPropSheet::RunFor(CModelCore& doc, CModelSettings& edited)
{
    Attach(doc, edited);
    return DoModal();
}

BOOL CModelPropSheet::OnInitDialog()
{
    SetActivePage(m_nStartPage);
    return CPropertySheet::OnInitDialog();
}
