#include "dialogs/StdFormDlg.h"

#include "dialogs/PropertyKinds.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

VX_IMPLEMENT_ABSTRACT(CStdFormDlg, CDialog)

#define VX_IMPLEMENT_STD_FORM_DLG(Name, Kind)                                                      \
    VX_IMPLEMENT_CLASS(Name, CStdFormDlg)                                                          \
    Name::Name(CWnd* pParent) : CStdFormDlg(Kind, pParent)                                         \
    {                                                                                              \
    }
VX_IMPLEMENT_STD_FORM_DLG(CDS1SFSelDlg, SystemKind::Newtonian)
VX_IMPLEMENT_STD_FORM_DLG(CDS1NNSFSelDlg, SystemKind::OneVariable)
VX_IMPLEMENT_STD_FORM_DLG(CDS2SFSelDlg, SystemKind::TwoVariable)
VX_IMPLEMENT_STD_FORM_DLG(CDS3SFSelDlg, SystemKind::ThreeVariable)

CStdFormDlg* NewStdFormDlg(SystemKind kind, CWnd* pParent)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return new CDS1SFSelDlg(pParent);
    case SystemKind::OneVariable:
        return new CDS1NNSFSelDlg(pParent);
    case SystemKind::TwoVariable:
        return new CDS2SFSelDlg(pParent);
    default:
        return new CDS3SFSelDlg(pParent);
    }
}

CStdFormDlg::CStdFormDlg(SystemKind kind, CWnd* pParent) : CDialog(0, pParent), m_kind(kind)
{
}

BOOL CStdFormDlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    SetWindowText("Standard Form Selection");
    const PropertyKind& k = PropertyKindOf(m_kind);
    m_groupForm = new QButtonGroup(d);
    auto* grid = new QGridLayout;
    for (int i = 0; i < k.forms; ++i) {
        auto* radio = new QRadioButton(k.formButton[i]);
        m_groupForm->addButton(radio, i);
        const int row = grid->rowCount();
        grid->addWidget(radio, row, 0, 1, k.formulaBelow ? 2 : 1);
        if (!k.formFormula[i])
            continue;
        auto* formula = new QLabel(k.formFormula[i]);
        if (k.formulaBelow) {
            formula->setIndent(20);
            grid->addWidget(formula, row + 1, 0, 1, 2);
        } else {
            grid->addWidget(formula, row, 1);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    return CDialog::OnInitDialog();
}

void CStdFormDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, m_groupForm, m_nForm);
}
