#include "views/dialogs/PlotStyleDlg.h"

#include "views/dialogs/DialogFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// Every pen's width has the same range.
constexpr const char* kPenWidth = "m_nWidthX";
} // namespace

CPlotStyleDlg::ColorPicker CPlotStyleDlg::s_pickColor = PickColorWithDialog;

CPlotStyleDlg::CPlotStyleDlg(CWnd* pParent) : CDialog(0, pParent)
{
}

void CPlotStyleDlg::MakeControls()
{
    QDialog* d = GetDialog();
    SetWindowText("Plot Style Setup");

    auto* thickness = new QGroupBox("Line Thickness");
    auto* thickLayout = new QVBoxLayout(thickness);
    m_editWidth = new QLineEdit;
    m_editWidth->setMaximumWidth(60);
    thickLayout->addWidget(m_editWidth);
    thickLayout->addWidget(new QLabel("Enter the line width in pixels"));

    auto* type = new QGroupBox("Line Type");
    auto* typeLayout = new QVBoxLayout(type);
    m_groupType = new QButtonGroup(d);
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
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(buttons);

    QObject::connect(m_editWidth, &QLineEdit::textEdited, d, [this] { OnChangeWidth(); });
    QObject::connect(setColor, &QPushButton::clicked, d, [this] { OnSetColor(); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
}

void CPlotStyleDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, m_groupType, m_nLineType);
    DDX_Setting(pDX, m_editWidth, m_nWidth, kPenWidth);
    DDX_Check(pDX, m_checkMark, m_bMarkReturn);
}

void CPlotStyleDlg::ApplyWidthRule()
{
    const bool thin = m_nWidth == 1;
    m_radio[1]->setEnabled(thin);
    m_radio[2]->setEnabled(thin);
    if (!thin)
        m_nLineType = 0;
}

BOOL CPlotStyleDlg::OnInitDialog()
{
    MakeControls();
    CDialog::OnInitDialog();
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
    UpdateData(FALSE);
    return TRUE;
}

void CPlotStyleDlg::OnChangeWidth()
{
    if (m_editWidth->text().isEmpty())
        return;
    if (!UpdateData(TRUE))
        return;
    ApplyWidthRule();
    const int cursor = m_editWidth->cursorPosition();
    UpdateData(FALSE);
    m_editWidth->setCursorPosition(cursor);
}

void CPlotStyleDlg::OnSetColor()
{
    if (const auto picked = s_pickColor(m_clrColor, GetDialog())) {
        m_clrNew = *picked;
        m_bColorChanged = true;
    }
}

namespace {
bool EditPenIn(CWnd* pParent, int mode, int& style, int& width, COLORREF& color, BOOL* mark)
{
    CPlotStyleDlg dlg(pParent);
    dlg.m_clrColor = color;
    dlg.m_nMode = mode;
    if (style >= 0 && style <= 2)
        dlg.m_nLineType = style;
    dlg.m_nWidth = width;
    dlg.m_bMarkReturn = mark && *mark;
    if (dlg.DoModal() != msgbox::IDOK)
        return false;
    if (dlg.m_nLineType >= 0 && dlg.m_nLineType <= 2)
        style = dlg.m_nLineType;
    width = dlg.m_nWidth;
    if (dlg.m_bColorChanged)
        color = dlg.m_clrNew;
    if (mark)
        *mark = dlg.m_bMarkReturn;
    return true;
}
} // namespace

bool EditPen(CWnd* pParent, int& style, int& width, COLORREF& color)
{
    return EditPenIn(pParent, 0, style, width, color, nullptr);
}

bool EditPen(CWnd* pParent, int& style, int& width, COLORREF& color, BOOL& markReturn)
{
    return EditPenIn(pParent, 1, style, width, color, &markReturn);
}
