#include "views/dialogs/PlotLimDlg.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr double kLimitBound = 1e30;
} // namespace

CPlotLimDlg::CPlotLimDlg(UINT nIDTemplate, CWnd* pParent, int firstId)
    : CDialog(nIDTemplate, pParent), m_firstId(firstId)
{
}

void CPlotLimDlg::SetFields(std::vector<Field> exchange, std::vector<int> working,
                            std::vector<int> absolute)
{
    m_fields = std::move(exchange);
    m_working = std::move(working);
    m_absolute = std::move(absolute);
}

QLineEdit* CPlotLimDlg::Edit(int id) const
{
    for (std::size_t i = 0; i < m_fields.size() && i < m_edits.size(); ++i)
        if (m_fields[i].id == id)
            return m_edits[i];
    return nullptr;
}

BOOL CPlotLimDlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    SetWindowText("Set Plot Boundaries");
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_edits.push_back(new QLineEdit);
        m_edits.back()->setFixedWidth(NumberEditWidth(m_edits.back()));
        m_labels.push_back(new QLabel);
    }
    auto group = [this](const char* title, const std::vector<int>& ids) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (int id : ids)
            for (std::size_t i = 0; i < m_fields.size(); ++i)
                if (m_fields[i].id == id) {
                    grid->addWidget(m_labels[i], row, 0);
                    grid->addWidget(m_edits[i], row++, 1);
                }
        return box;
    };
    m_btnAutoScale = new QPushButton("Auto Scale");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(m_btnAutoScale, QDialogButtonBox::ActionRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    QObject::connect(m_btnAutoScale, &QPushButton::clicked, d, [this] { OnAutoScale(); });
    m_btnAutoScale->setAutoDefault(false);

    auto* columns = new QHBoxLayout;
    columns->addWidget(group("Working Limits", m_working));
    columns->addWidget(group("Absolute Limits", m_absolute));
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    m_editFirst = Edit(m_firstId);
    CDialog::OnInitDialog();
    m_btnAutoScale->setEnabled(m_bHaveData[0] || m_bHaveData[1]);
    if (m_editFirst) {
        m_editFirst->setFocus();
        m_editFirst->selectAll();
    }
    return TRUE;
}

void CPlotLimDlg::DoDataExchange(CDataExchange* pDX)
{
    for (std::size_t i = 0; i < m_fields.size() && i < m_edits.size(); ++i) {
        DDX_Text(pDX, m_edits[i], *m_fields[i].value);
        DDV_MinMaxDouble(pDX, *m_fields[i].value, -kLimitBound, kLimitBound);
    }
    if (!pDX->m_bSaveAndValidate)
        for (std::size_t i = 0; i < m_fields.size() && i < m_labels.size(); ++i)
            m_labels[i]->setText(QString::fromStdString(*m_fields[i].label));
}

// --- 2-D -----------------------------------------------------------------------------------

C2DViewLimDlg::C2DViewLimDlg(CWnd* pParent) : CPlotLimDlg(423, pParent, 1036)
{
    SetFields({{1045, &m_dHAbsMax, &m_strHAbsMaxLabel},
               {1044, &m_dHAbsMin, &m_strHAbsMinLabel},
               {1029, &m_dVAbsMax, &m_strVAbsMaxLabel},
               {1028, &m_dVAbsMin, &m_strVAbsMinLabel},
               {1038, &m_dHMax, &m_strHMaxLabel},
               {1036, &m_dHMin, &m_strHMinLabel},
               {1042, &m_dVMax, &m_strVMaxLabel},
               {1040, &m_dVMin, &m_strVMinLabel}},
              {1036, 1038, 1040, 1042}, {1044, 1045, 1028, 1029});
}

void C2DViewLimDlg::OnAutoScale()
{
    DataExtent x{m_dDataXMin, m_dDataXMax}, y{m_dDataYMin, m_dDataYMax};
    SetLimits(AutoScale2D(x, y, m_bExactH));
    m_dDataXMin = x.min;
    m_dDataXMax = x.max;
    m_dDataYMin = y.min;
    m_dDataYMax = y.max;
    UpdateData(FALSE);
}

PlotLimits C2DViewLimDlg::Limits() const
{
    return {{m_dHMin, m_dHMax, m_dHAbsMin, m_dHAbsMax}, {m_dVMin, m_dVMax, m_dVAbsMin, m_dVAbsMax}};
}

void C2DViewLimDlg::SetLimits(const PlotLimits& g)
{
    m_dHMin = g.x.min;
    m_dHMax = g.x.max;
    m_dHAbsMin = g.x.absMin;
    m_dHAbsMax = g.x.absMax;
    m_dVMin = g.y.min;
    m_dVMax = g.y.max;
    m_dVAbsMin = g.y.absMin;
    m_dVAbsMax = g.y.absMax;
}

// --- 3-D -----------------------------------------------------------------------------------

C3DViewLimDlg::C3DViewLimDlg(CWnd* pParent) : CPlotLimDlg(437, pParent, 1084)
{
    std::string* l = m_strLabels;
    SetFields({{1092, &m_dXAbsMax, &l[1]},
               {1090, &m_dXAbsMin, &l[0]},
               {1095, &m_dYAbsMax, &l[5]},
               {1099, &m_dYAbsMin, &l[4]},
               {1096, &m_dZAbsMax, &l[9]},
               {1030, &m_dZAbsMin, &l[8]},
               {1085, &m_dXMax, &l[3]},
               {1084, &m_dXMin, &l[2]},
               {1087, &m_dYMax, &l[7]},
               {1086, &m_dYMin, &l[6]},
               {1088, &m_dZMax, &l[11]},
               {1048, &m_dZMin, &l[10]}},
              {1084, 1085, 1086, 1087, 1048, 1088}, {1090, 1092, 1099, 1095, 1030, 1096});
}

void C3DViewLimDlg::OnAutoScale()
{
    std::array<DataExtent, 3> e{DataExtent{m_dDataXMin, m_dDataXMax},
                                DataExtent{m_dDataYMin, m_dDataYMax},
                                DataExtent{m_dDataZMin, m_dDataZMax}};
    SetLimits(AutoScale3D(e));
    m_dDataXMin = e[0].min;
    m_dDataXMax = e[0].max;
    m_dDataYMin = e[1].min;
    m_dDataYMax = e[1].max;
    m_dDataZMin = e[2].min;
    m_dDataZMax = e[2].max;
    UpdateData(FALSE);
}

std::array<AxisLimits, 3> C3DViewLimDlg::Limits() const
{
    return {AxisLimits{m_dXMin, m_dXMax, m_dXAbsMin, m_dXAbsMax},
            AxisLimits{m_dYMin, m_dYMax, m_dYAbsMin, m_dYAbsMax},
            AxisLimits{m_dZMin, m_dZMax, m_dZAbsMin, m_dZAbsMax}};
}

void C3DViewLimDlg::SetLimits(const std::array<AxisLimits, 3>& a)
{
    double* const fields[3][4] = {{&m_dXMin, &m_dXMax, &m_dXAbsMin, &m_dXAbsMax},
                                  {&m_dYMin, &m_dYMax, &m_dYAbsMin, &m_dYAbsMax},
                                  {&m_dZMin, &m_dZMax, &m_dZAbsMin, &m_dZAbsMax}};
    for (int i = 0; i < 3; ++i) {
        *fields[i][0] = a[i].min;
        *fields[i][1] = a[i].max;
        *fields[i][2] = a[i].absMin;
        *fields[i][3] = a[i].absMax;
    }
}

// --- a view's Set Limits -------------------------------------------------------------------

namespace {
bool EditPlane(CWnd* pParent, const LimitDialogInput& in, AxisLimits* axes)
{
    C2DViewLimDlg dlg(pParent);
    dlg.SetLimits({RoundedForDialog(axes[0]), RoundedForDialog(axes[1])});
    std::string* const labels[2][4] = {
        {&dlg.m_strHMinLabel, &dlg.m_strHMaxLabel, &dlg.m_strHAbsMinLabel, &dlg.m_strHAbsMaxLabel},
        {&dlg.m_strVMinLabel, &dlg.m_strVMaxLabel, &dlg.m_strVAbsMinLabel, &dlg.m_strVAbsMaxLabel}};
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 4; ++k)
            *labels[i][k] = ViewLimitCaption(in.view, i, in.names[i], k % 2 == 1, k >= 2);
    dlg.m_dDataXMin = in.extents[0].min, dlg.m_dDataXMax = in.extents[0].max;
    dlg.m_dDataYMin = in.extents[1].min, dlg.m_dDataYMax = in.extents[1].max;
    dlg.m_bHaveData[0] = in.haveData ? 1 : 0;
    dlg.m_bHaveData[1] = in.haveImport ? 1 : 0;
    if (dlg.DoModal() != IDOK)
        return false;
    const PlotLimits g = dlg.Limits();
    axes[0] = g.x;
    axes[1] = g.y;
    return true;
}

bool EditBox(CWnd* pParent, const LimitDialogInput& in, AxisLimits* axes)
{
    C3DViewLimDlg dlg(pParent);
    dlg.SetLimits(
        {RoundedForDialog(axes[0]), RoundedForDialog(axes[1]), RoundedForDialog(axes[2])});
    // Per axis: absolute minimum and maximum, working minimum and maximum.
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k)
            dlg.m_strLabels[4 * i + k] =
                ViewLimitCaption(in.view, i, in.names[i], k % 2 == 1, k < 2);
    double* const data[3][2] = {{&dlg.m_dDataXMin, &dlg.m_dDataXMax},
                                {&dlg.m_dDataYMin, &dlg.m_dDataYMax},
                                {&dlg.m_dDataZMin, &dlg.m_dDataZMax}};
    for (int i = 0; i < 3; ++i) {
        *data[i][0] = in.extents[i].min;
        *data[i][1] = in.extents[i].max;
    }
    dlg.m_bHaveData[0] = in.haveData ? 1 : 0;
    dlg.m_bHaveData[1] = in.haveImport ? 1 : 0;
    if (dlg.DoModal() != IDOK)
        return false;
    const std::array<AxisLimits, 3> a = dlg.Limits();
    std::copy(a.begin(), a.end(), axes);
    return true;
}
} // namespace

bool EditAxisLimits(CWnd* pParent, const LimitDialogInput& in, AxisLimits* axes, int n)
{
    if (n == 2)
        return EditPlane(pParent, in, axes);
    if (n == 3)
        return EditBox(pParent, in, axes);
    return false;
}
