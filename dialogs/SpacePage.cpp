#include "dialogs/SpacePage.h"

#include "dialogs/StdFormDlg.h"
#include "model/core/ModelForms.h"
#include "model/core/SettingsTable.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

VX_IMPLEMENT_ABSTRACT(CSpacePage, CModelPage)
VX_IMPLEMENT_KIND_PAGE(CDS1Space, CSpacePage, SystemKind::Newtonian)
VX_IMPLEMENT_KIND_PAGE(CDS1NNSpace, CSpacePage, SystemKind::OneVariable)
VX_IMPLEMENT_KIND_PAGE(CDS2Space, CSpacePage, SystemKind::TwoVariable)
VX_IMPLEMENT_KIND_PAGE(CDS3Space, CSpacePage, SystemKind::ThreeVariable)

namespace {

constexpr int kEquationChars = 132;
constexpr int kParameterChars = 128;
constexpr int kVectorFieldViews = 7; // entry of m_nOpenViews

std::string CModelSettings::*const kParamText[4] = {
    &CModelSettings::m_strParamA, &CModelSettings::m_strParamB, &CModelSettings::m_strParamC,
    &CModelSettings::m_strParamD};
double CModelSettings::*const kParamValue[4] = {
    &CModelSettings::m_dParamA, &CModelSettings::m_dParamB, &CModelSettings::m_dParamC,
    &CModelSettings::m_dParamD};

std::string InvalidParameter(int i)
{
    return std::string("Enter a valid parameter in the parameter ") + char('A' + i) +
           "\nbox.  For help on what constitutes a valid\nparameter, see the Function "
           "Parameters\nsection of the Help documentation.";
}

std::string InvalidFunction(const char* name)
{
    return std::string("Enter a valid function in the ") + name +
           "\nbox.  For help on what constitutes a valid\nfunction, see the Functions section "
           "of\nthe Help documentation.";
}

const char* const kDelayedBanned = "Use of delayed variables is incompatible with \nThe vector "
                                   "field view.  All vector field views\nmust be closed before "
                                   "delayed variables can be\ninvoked.";

} // namespace

CSpacePage::CSpacePage(SystemKind kind) : CModelPage(kind, 1, "Space Properties")
{
}

std::string& CSpacePage::Equation(int i) const
{
    return FindField(Kind().equation[i].member)->Text(*m_pEdit);
}

void CSpacePage::MakeControls()
{
    auto* layout = new QVBoxLayout(GetWidget());
    auto* params = new QGroupBox("Parametric Values (a, b, c, d)");
    auto* paramRow = new QHBoxLayout(params);
    const char* names[4] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i) {
        m_editParam[i] = new QLineEdit;
        paramRow->addWidget(new QLabel(names[i]));
        paramRow->addWidget(m_editParam[i]);
    }
    layout->addWidget(params);
    for (int i = 0; i < Kind().equations; ++i) {
        auto* box = new QGroupBox(Kind().equation[i].group);
        m_editEquation[i] = new QLineEdit;
        (new QVBoxLayout(box))->addWidget(m_editEquation[i]);
        layout->addWidget(box);
    }
    auto* integrator = new QGroupBox("Integration Algorithm (iao)");
    auto* integratorRow = new QHBoxLayout(integrator);
    m_groupIntegrator = new QButtonGroup(GetWidget());
    const char* orders[2] = {"First Order", "Fifth Order"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(orders[i]);
        m_groupIntegrator->addButton(radio, i);
        integratorRow->addWidget(radio);
    }
    auto* forms = new QGroupBox("Standard Form Selection");
    m_btnSelect = new QPushButton("Select");
    (new QHBoxLayout(forms))->addWidget(m_btnSelect);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(integrator);
    bottom->addWidget(forms);
    layout->addLayout(bottom);
    layout->addStretch();
    QObject::connect(m_btnSelect, &QPushButton::clicked, GetWidget(),
                     [this] { OnSelectStandardForm(); });
}

void CSpacePage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, m_groupIntegrator, m_pEdit->m_nIntegrator);
    for (int i = 0; i < Kind().equations; ++i)
        m_kept.Text(pDX, m_editEquation[i], Equation(i), kEquationChars);
    for (int i = 0; i < 4; ++i)
        m_kept.Text(pDX, m_editParam[i], m_pEdit->*kParamText[i], kParameterChars);
}

void CSpacePage::EnableEquations()
{
    for (int i = 0; i < Kind().equations; ++i)
        m_editEquation[i]->setEnabled(m_pEdit->m_nModelForm < 1);
}

// Each valid parameter goes into the document with its value, so that the texts after it are
// evaluated with it. A value that is no finite number is refused, as data entry refuses it.
bool CSpacePage::CheckParameters(bool& delayed)
{
    m_pDoc->SetParserVariables(); // a parameter that reads a variable takes the current state
    for (int i = 0; i < 4; ++i) {
        const std::string& text = m_pEdit->*kParamText[i];
        int status = 0;
        const double v = m_pDoc->CheckExpression(text, &status);
        if (status == 0 || !std::isfinite(v)) {
            Refuse(m_editParam[i], InvalidParameter(i));
            return false;
        }
        if (Kind().delayedFlag == DelayedFlag::BeforeParameters)
            delayed |= ReadsDelayedVariable(text);
        m_pDoc->*kParamText[i] = text;
        m_pDoc->*kParamValue[i] = v;
        m_pDoc->SetParserVariables();
    }
    return true;
}

bool CSpacePage::CheckEquations(bool& delayed)
{
    const PropertyKind& k = Kind();
    CParser& parser = *m_pDoc->m_pParser;
    const int selected = parser.m_nList;
    bool ok = true;
    for (int i = 0; ok && i < k.equations; ++i) {
        const std::string& text = Equation(i);
        int status = 0;
        if (k.compileEquations) {
            parser.m_nList = i + 1;
            m_pDoc->EvaluateExpression(text, &status, TRUE);
        } else {
            m_pDoc->CheckExpression(text, &status);
        }
        delayed |= ReadsDelayedVariable(text);
        if (status == 0) {
            Refuse(m_editEquation[i], InvalidFunction(k.equation[i].name));
            ok = false;
        } else if (k.delayedFlag != DelayedFlag::Never && delayed &&
                   m_pDoc->m_nOpenViews[kVectorFieldViews] > 0) {
            Refuse(m_editEquation[i], kDelayedBanned);
            ok = false;
        }
    }
    parser.m_nList = selected;
    return ok;
}

BOOL CSpacePage::OnKillActive()
{
    if (!UpdateData(TRUE))
        return FALSE;
    bool delayed = false;
    return CheckParameters(delayed) && CheckEquations(delayed);
}

void CSpacePage::OnSelectStandardForm()
{
    const std::unique_ptr<CStdFormDlg> dlg(NewStdFormDlg(m_kind, this));
    dlg->m_nForm = m_pEdit->m_nModelForm;
    dlg->DoModal();
    const PropertyKind& k = Kind();
    if (dlg->m_nForm < 0 || dlg->m_nForm >= k.forms)
        return;
    m_pEdit->m_nModelForm = dlg->m_nForm;
    if (m_pEdit->m_nModelForm > 0) {
        const StandardForm& form = StandardForms(m_kind)[std::size_t(m_pEdit->m_nModelForm - 1)];
        for (int i = 0; i < k.equations; ++i) {
            Equation(i) = form.texts[i];
            m_kept.Show(m_editEquation[i], Equation(i));
        }
    }
    // The other edits keep what was typed in them.
    EnableEquations();
}
