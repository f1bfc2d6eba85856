#pragma once
// "Object Properties": the initial values of the run (and the Newtonian effective mass).
#include "dialogs/ModelPage.h"

class CObjectPage : public CModelPage
{
    VX_DECLARE_CLASS(CObjectPage)
public:
    QLineEdit* m_editValue[4] = {};

protected:
    explicit CObjectPage(SystemKind kind = SystemKind::Newtonian);
    void DoDataExchange(CDataExchange* pDX) override;
    void MakeControls() override;
};

VX_KIND_PAGE(CDS1Object, CObjectPage)
VX_KIND_PAGE(CDS1NNObject, CObjectPage)
VX_KIND_PAGE(CDS2Object, CObjectPage)
VX_KIND_PAGE(CDS3Object, CObjectPage)
