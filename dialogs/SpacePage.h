#pragma once
// "Space Properties": the parameters a to d, the kind's equations, the integrator and the
// choice of a standard form. Leaving the page checks every parameter (each valid one goes into
// the document at once, so that later texts see it) and then every equation, and refuses a
// delayed variable while a vector field view is open.
#include "dialogs/ModelPage.h"

class QButtonGroup;
class QPushButton;

class CSpacePage : public CModelPage
{
    VX_DECLARE_CLASS(CSpacePage)
public:
    BOOL OnKillActive() override;
    void OnSelectStandardForm();

    QLineEdit* m_editParam[4] = {};
    QLineEdit* m_editEquation[3] = {};
    QButtonGroup* m_groupIntegrator = nullptr;
    QPushButton* m_btnSelect = nullptr;

protected:
    explicit CSpacePage(SystemKind kind = SystemKind::Newtonian);
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void MakeControls() override;
    void EnableEquations();
    void ShowDerived() override { EnableEquations(); }
    std::string& Equation(int i) const;
    bool CheckParameters(bool& delayed);
    bool CheckEquations(bool& delayed);
};

VX_KIND_PAGE(CDS1Space, CSpacePage)
VX_KIND_PAGE(CDS1NNSpace, CSpacePage)
VX_KIND_PAGE(CDS2Space, CSpacePage)
VX_KIND_PAGE(CDS3Space, CSpacePage)
