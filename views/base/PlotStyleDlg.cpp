#include "views/base/PlotStyleDlg.h"

#include "platform/Dialog.h"
#include "platform/base/MessageHook.h"
#include "views/base/DialogFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CPlotStyleDlg::ColorPicker CPlotStyleDlg::s_pickColor = PickColorWithDialog;

CPlotStyleDlg::CPlotStyleDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle("Plot Style Setup");

    auto* thickness = new QGroupBox("Line Thickness");
    auto* thickLayout = new QVBoxLayout(thickness);
    m_editWidth = new QLineEdit;
    m_editWidth->setMaximumWidth(60);
    thickLayout->addWidget(m_editWidth);
    thickLayout->addWidget(new QLabel("Enter the line width in pixels"));

    auto* type = new QGroupBox("Line Type");
    auto* typeLayout = new QVBoxLayout(type);
    m_groupType = new QButtonGroup(this);
    const char* names[3] = {"Solid", "Dash", "Dot"};
    for (int i = 0; i < 3; ++i) {
        m_radio[i] = new QRadioButton(names[i]);
        m_groupType->addButton(m_radio[i], i);
        typeLayout->addWidget(m_radio[i]);
    }

    m_checkMark = new QCheckBox("Mark Return Chronon");
    auto* setColor = new QPushButton("Set Color");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* top = new QHBoxLayout;
    top->addWidget(thickness);
    top->addWidget(type);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_checkMark);
    middle->addStretch();
    middle->addWidget(setColor);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(buttons);

    connect(m_editWidth, &QLineEdit::textEdited, this, &CPlotStyleDlg::OnChangeWidth);
    connect(setColor, &QPushButton::clicked, this, &CPlotStyleDlg::OnSetColor);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPlotStyleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPlotStyleDlg::reject);
}

int CPlotStyleDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? msgbox::IDOK : msgbox::IDCANCEL;
}

bool CPlotStyleDlg::UpdateData(bool bSave)
{
    if (!bSave) {
        // An unchecked group needs exclusivity off for a moment.
        m_groupType->setExclusive(false);
        for (int i = 0; i < 3; ++i)
            m_radio[i]->setChecked(i == m_nLineType);
        m_groupType->setExclusive(true);
        WriteIntegerField(m_editWidth, m_nWidth);
        m_checkMark->setChecked(m_bMarkReturn);
        return true;
    }
    m_nLineType = m_groupType->checkedId();
    if (!ReadIntegerField(m_editWidth, 1, 10, m_nWidth))
        return false;
    m_bMarkReturn = m_checkMark->isChecked();
    return true;
}

void CPlotStyleDlg::ApplyWidthRule()
{
    const bool thin = m_nWidth == 1;
    m_radio[1]->setEnabled(thin);
    m_radio[2]->setEnabled(thin);
    if (!thin)
        m_nLineType = 0;
}

void CPlotStyleDlg::OnInitDialog()
{
    UpdateData(false);
    m_bColorChanged = false;
    ApplyWidthRule();
    if (m_nMode == 3) {
        for (QRadioButton* r : m_radio)
            r->setEnabled(false);
        m_editWidth->setEnabled(false);
        m_nLineType = 0;
        m_nWidth = 1;
    }
    m_checkMark->setEnabled(m_nMode == 1 || m_nMode == 2);
    UpdateData(false);
}

void CPlotStyleDlg::OnChangeWidth()
{
    if (m_editWidth->text().isEmpty())
        return;
    if (!UpdateData(true))
        return;
    ApplyWidthRule();
    const int cursor = m_editWidth->cursorPosition();
    UpdateData(false);
    m_editWidth->setCursorPosition(cursor);
}

void CPlotStyleDlg::OnSetColor()
{
    if (const auto picked = s_pickColor(m_clrColor, this)) {
        m_clrNew = *picked;
        m_bColorChanged = true;
    }
}

void CPlotStyleDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}
