#include "views/graph/GraphDialogs.h"

#include "model/core/KindVars.h"
#include "model/core/ModelSettings.h"
#include "views/dialogs/DialogFields.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFirstLimitId = 1021;

struct LimitField
{
    int id;
    const char* label;
    double CGraphLimDlg::*member;
    const char* setting; // whose range the field has
};

// In the order the fields are read back.
const LimitField kLimitFields[] = {
    {1022, "Time Axis Maximum         (tmax)", &CGraphLimDlg::m_dTMax, "m_dGraphTMax"},
    {1021, "Time Axis Minimum          (tmin)", &CGraphLimDlg::m_dTMin, "m_dGraphTMin"},
    {1026, "Vertical Axis Maximum   (vamax)", &CGraphLimDlg::m_dVAbsMax, "m_dGraphVAbsMax"},
    {1025, "Vertical Axis Minimum    (vamin)", &CGraphLimDlg::m_dVAbsMin, "m_dGraphVAbsMin"},
    {1024, "Vertical Axis Maximum     (vmax)", &CGraphLimDlg::m_dVMax, "m_dGraphVMax"},
    {1023, "Vertical Axis Minimum      (vmin)", &CGraphLimDlg::m_dVMin, "m_dGraphVMin"},
};

const LimitField& FieldById(int id)
{
    for (const LimitField& f : kLimitFields)
        if (f.id == id)
            return f;
    return kLimitFields[0];
}

QGroupBox* FieldGroup(const char* title, std::initializer_list<int> ids, QLineEdit* const* edits)
{
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    int row = 0;
    for (int id : ids) {
        grid->addWidget(new QLabel(FieldById(id).label), row, 0);
        grid->addWidget(edits[id - kFirstLimitId], row, 1);
        ++row;
    }
    return box;
}

// OK and Cancel, centred, ending the dialog through its OnOK and OnCancel.
QDialogButtonBox* OkCancel(QDialog* d)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}
} // namespace

CGraphLimDlg::CGraphLimDlg(GraphKind kind, CWnd* pParent) : CDialog(0, pParent), m_kind(kind)
{
}

void CGraphLimDlg::MakeControls()
{
    QDialog* d = GetDialog();
    SetWindowText("Set Plot Boundaries");
    for (QLineEdit*& e : m_edits) {
        e = new QLineEdit;
        e->setFixedWidth(NumberEditWidth(e));
    }
    m_editTMin = m_edits[0];

    auto* working = FieldGroup("Working Limits", {1021, 1022, 1023, 1024}, m_edits);
    auto* absolute = FieldGroup("Absolute Limits", {1025, 1026}, m_edits);
    m_btnAutoScale = new QPushButton("Auto Scale");
    static_cast<QGridLayout*>(absolute->layout())
        ->addWidget(m_btnAutoScale, 2, 0, 1, 2, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(d);
    layout->addWidget(working);
    layout->addWidget(absolute);
    layout->addWidget(OkCancel(d));
    QObject::connect(m_btnAutoScale, &QPushButton::clicked, d, [this] { OnAutoScale(); });
}

void CGraphLimDlg::SetFields(const GraphLimitFields& f)
{
    m_dTMin = f.tMin;
    m_dTMax = f.tMax;
    m_dVMin = f.vMin;
    m_dVMax = f.vMax;
    m_dVAbsMin = f.vAbsMin;
    m_dVAbsMax = f.vAbsMax;
}

GraphLimitFields CGraphLimDlg::Fields() const
{
    return {m_dTMin, m_dTMax, m_dVMin, m_dVMax, m_dVAbsMin, m_dVAbsMax};
}

QLineEdit* CGraphLimDlg::Field(int id) const
{
    return m_edits[id - kFirstLimitId];
}

void CGraphLimDlg::DoDataExchange(CDataExchange* pDX)
{
    for (const LimitField& f : kLimitFields)
        DDX_Setting(pDX, Field(f.id), this->*f.member, f.setting);
}

BOOL CGraphLimDlg::OnInitDialog()
{
    MakeControls();
    CDialog::OnInitDialog();
    m_btnAutoScale->setEnabled(m_bHaveData);
    m_editTMin->setFocus();
    m_editTMin->selectAll();
    return TRUE;
}

void CGraphLimDlg::OnAutoScale()
{
    const GraphKindInfo& info = KindInfo(m_kind);
    std::vector<VarExtent> vars;
    for (VarSlot s : info.autoScale)
        vars.push_back(m_extents[s]);
    const AutoScaleResult r = AutoScale(vars, info.autoScaleDigits);
    m_dVAbsMax = m_dVMax = r.vAbsMax;
    m_dVAbsMin = m_dVMin = r.vAbsMin;
    UpdateData(FALSE);
}

CGraphVarDlg::CGraphVarDlg(GraphKind kind, CWnd* pParent) : CDialog(0, pParent), m_kind(kind)
{
}

BOOL CGraphVarDlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    SetWindowText("Select Variables to Plot");
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    for (const GraphVarBox& b : KindInfo(m_kind).varBoxes) {
        m_boxes[b.slot] = new QCheckBox(SlotCheckLabel(b.slot));
        grid->addWidget(m_boxes[b.slot], b.row, b.column);
    }
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(grid);
    layout->addWidget(OkCancel(d));
    return CDialog::OnInitDialog();
}

void CGraphVarDlg::DoDataExchange(CDataExchange* pDX)
{
    for (const GraphVarBox& b : KindInfo(m_kind).varBoxes)
        DDX_Check(pDX, m_boxes[b.slot], m_bPlot[b.slot]);
}

bool SelectGraphVariables(GraphKind kind, CModelSettings& s, CWnd* pParent)
{
    CGraphVarDlg dlg(kind, pParent);
    for (VarSlot slot : KindInfo(kind).curves)
        dlg.m_bPlot[slot] = s.*VarOf(slot).plot != 0;
    if (dlg.DoModal() != msgbox::IDOK)
        return false;
    for (VarSlot slot : KindInfo(kind).curves)
        s.*VarOf(slot).plot = dlg.m_bPlot[slot] ? 1 : 0;
    return true;
}
