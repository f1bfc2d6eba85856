#include "views/graph/GraphDialogs.h"

#include "model/core/ModelSettings.h"
#include "platform/base/MessageHook.h"
#include "views/base/DialogFields.h"

#include <QCheckBox>
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
    double lo, hi;
};

// In the order the fields are read back.
const LimitField kLimitFields[] = {
    {1022, "Time Axis Maximum         (tmax)", &CGraphLimDlg::m_dTMax, 1e-30, 1e30},
    {1021, "Time Axis Minimum          (tmin)", &CGraphLimDlg::m_dTMin, 0.0, 1e30},
    {1026, "Vertical Axis Maximum   (vamax)", &CGraphLimDlg::m_dVAbsMax, -1e30, 1e30},
    {1025, "Vertical Axis Minimum    (vamin)", &CGraphLimDlg::m_dVAbsMin, -1e30, 1e30},
    {1024, "Vertical Axis Maximum     (vmax)", &CGraphLimDlg::m_dVMax, -1e30, 1e30},
    {1023, "Vertical Axis Minimum      (vmin)", &CGraphLimDlg::m_dVMin, -1e30, 1e30},
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
} // namespace

CGraphLimDlg::CGraphLimDlg(GraphKind kind, QWidget* pParent) : QDialog(pParent), m_kind(kind)
{
    setWindowTitle("Set Plot Boundaries");
    for (QLineEdit*& e : m_edits) {
        e = new QLineEdit;
        e->setFixedWidth(90);
    }
    m_editTMin = m_edits[0];

    auto* working = FieldGroup("Working Limits", {1021, 1022, 1023, 1024}, m_edits);
    auto* absolute = FieldGroup("Absolute Limits", {1025, 1026}, m_edits);
    m_btnAutoScale = new QPushButton("Auto Scale");
    static_cast<QGridLayout*>(absolute->layout())
        ->addWidget(m_btnAutoScale, 2, 0, 1, 2, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(working);
    layout->addWidget(absolute);
    layout->addWidget(buttons);

    connect(m_btnAutoScale, &QPushButton::clicked, this, &CGraphLimDlg::OnAutoScale);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGraphLimDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGraphLimDlg::reject);
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

bool CGraphLimDlg::UpdateData(bool bSave)
{
    for (const LimitField& f : kLimitFields) {
        if (!bSave)
            WriteNumberField(Field(f.id), this->*f.member);
        else if (!ReadNumberField(Field(f.id), f.lo, f.hi, this->*f.member))
            return false;
    }
    return true;
}

int CGraphLimDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? msgbox::IDOK : msgbox::IDCANCEL;
}

void CGraphLimDlg::OnInitDialog()
{
    UpdateData(false);
    m_btnAutoScale->setEnabled(m_bHaveData);
    m_editTMin->setFocus();
    m_editTMin->selectAll();
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
    UpdateData(false);
}

void CGraphLimDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}

CGraphVarDlg::CGraphVarDlg(GraphKind kind, QWidget* pParent) : QDialog(pParent), m_kind(kind)
{
    setWindowTitle("Select Variables to Plot");
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    for (const GraphVarBox& b : KindInfo(kind).varBoxes) {
        m_boxes[b.slot] = new QCheckBox(SlotCheckLabel(b.slot));
        grid->addWidget(m_boxes[b.slot], b.row, b.column);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setCenterButtons(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGraphVarDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGraphVarDlg::reject);
}

int CGraphVarDlg::DoModal()
{
    for (const GraphVarBox& b : KindInfo(m_kind).varBoxes)
        m_boxes[b.slot]->setChecked(m_bPlot[b.slot]);
    return exec() == QDialog::Accepted ? msgbox::IDOK : msgbox::IDCANCEL;
}

void CGraphVarDlg::accept()
{
    for (const GraphVarBox& b : KindInfo(m_kind).varBoxes)
        m_bPlot[b.slot] = m_boxes[b.slot]->isChecked();
    QDialog::accept();
}
