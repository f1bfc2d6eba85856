#pragma once
// The property sheet of a model: Time, Space, Table and Object pages on tabs, OK and Cancel.
// One design serves the four kinds; a kind's sheet class only names its caption and pages.
// View/Set Properties makes it by its class name (model/ModelPropertySheet.h).
#include "dialogs/ObjectPage.h"
#include "dialogs/SpacePage.h"
#include "dialogs/TablePage.h"
#include "dialogs/TimePage.h"
#include "model/ModelPropertySheet.h"
#include "platform/PropertySheet.h"

class CModelPropSheet : public CPropertySheet, public IModelPropertySheet
{
    VX_DECLARE_CLASS(CModelPropSheet)
public:
    int RunFor(CModelCore& doc, CModelSettings& edited) override;
    // Gives every page the document and the working record, and opens on the page last shown.
    void Attach(CModelCore& doc, CModelSettings& edited);

    BOOL OnInitDialog() override;

    int m_nStartPage = 0; // 0 Time, 1 Space, 2 Table, 3 Object

protected:
    explicit CModelPropSheet(SystemKind kind = SystemKind::Newtonian);
    void AddPages(CModelPage& time, CModelPage& space, CModelPage& table, CModelPage& object);

private:
    CModelPage* m_pages[4] = {};
};

#define VX_MODEL_SHEET(Sheet, Time, Space, Table, Object)                                          \
    class Sheet : public CModelPropSheet                                                           \
    {                                                                                              \
        VX_DECLARE_CLASS(Sheet)                                                                    \
    public:                                                                                        \
        Sheet();                                                                                   \
        Time m_pageTime;                                                                           \
        Space m_pageSpace;                                                                         \
        Table m_pageTable;                                                                         \
        Object m_pageObject;                                                                       \
    };
VX_MODEL_SHEET(CDS1ModProps, CDS1Time, CDS1Space, CDS1Table, CDS1Object)
VX_MODEL_SHEET(CDS1NNModProps, CDS1NNTime, CDS1NNSpace, CDS1NNTable, CDS1NNObject)
VX_MODEL_SHEET(CDS2ModProps, CDS2Time, CDS2Space, CDS2Table, CDS2Object)
VX_MODEL_SHEET(CDS3ModProps, CDS3Time, CDS3Space, CDS3Table, CDS3Object)
#undef VX_MODEL_SHEET
