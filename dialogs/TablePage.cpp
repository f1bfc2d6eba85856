#include "dialogs/TablePage.h"

#include "model/core/SettingsTable.h"
#include "platform/base/TextNumbers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

VX_IMPLEMENT_ABSTRACT(CTablePage, CModelPage)
VX_IMPLEMENT_KIND_PAGE(CDS1Table, CTablePage, SystemKind::Newtonian)
VX_IMPLEMENT_KIND_PAGE(CDS1NNTable, CTablePage, SystemKind::OneVariable)
VX_IMPLEMENT_KIND_PAGE(CDS2Table, CTablePage, SystemKind::TwoVariable)
VX_IMPLEMENT_KIND_PAGE(CDS3Table, CTablePage, SystemKind::ThreeVariable)

namespace {
long long LeadingInteger(const QLineEdit* pEdit)
{
    long long n = 0;
    ReadLeadingInteger(pEdit->text().toLatin1().toStdString(), n);
    return n;
}

QLineEdit* EditIn(QVBoxLayout* layout, const char* group, const char* caption)
{
    auto* box = new QGroupBox(group);
    auto* inner = new QVBoxLayout(box);
    auto* edit = new QLineEdit;
    inner->addWidget(edit);
    inner->addWidget(new QLabel(caption));
    layout->addWidget(box);
    return edit;
}
} // namespace

CTablePage::CTablePage(SystemKind kind) : CModelPage(kind, 2, "Table Properties")
{
}

long long CTablePage::TableKB(SystemKind kind, long long rows)
{
    return rows * TableBytesPerRow(kind) / 1024 + 1;
}

int CTablePage::ChrononsPerCycle() const
{
    return std::max(m_pDoc->m_nChrononsPerCycle, 1);
}

void CTablePage::MakeControls()
{
    QWidget* w = GetWidget();
    auto* left = new QVBoxLayout;
    auto* source = new QGroupBox("Tabulate");
    auto* sourceLayout = new QVBoxLayout(source);
    m_groupSource = new QButtonGroup(w);
    m_btnGenerated = new QRadioButton("Generated Data");
    m_btnImported = new QRadioButton("Imported Data");
    m_groupSource->addButton(m_btnGenerated, 0);
    m_groupSource->addButton(m_btnImported, 1);
    sourceLayout->addWidget(m_btnGenerated);
    sourceLayout->addWidget(m_btnImported);
    left->addWidget(source);
    m_editRows = EditIn(left, "Rows (tr)", "Maxumum Number of Rows");
    m_editInterval = EditIn(left, "Interval (ti)", "Chronons Between Rows");

    auto* right = new QVBoxLayout;
    auto* columns = new QGroupBox("Columns Displayed");
    auto* grid = new QGridLayout(columns);
    const PropertyKind& k = Kind();
    for (int i = 0; i < k.columns; ++i) {
        m_checkColumn[i] = new QCheckBox(k.column[i].label);
        grid->addWidget(m_checkColumn[i], i / 2, i % 2);
    }
    right->addWidget(columns);
    auto* size = new QGroupBox("Table Size in KBytes");
    auto* sizeLayout = new QVBoxLayout(size);
    sizeLayout->addWidget(new QLabel("Maximum Table Size"));
    m_stcTableSize = new QLabel;
    sizeLayout->addWidget(m_stcTableSize);
    right->addWidget(size);
    right->addStretch();

    auto* layout = new QHBoxLayout(w);
    layout->addLayout(left);
    layout->addLayout(right);

    QObject::connect(m_editInterval, &QLineEdit::textEdited, w,
                     [this] { OnChangeTableInterval(); });
    QObject::connect(m_editRows, &QLineEdit::textEdited, w, [this] { OnChangeTableRows(); });
    QObject::connect(m_btnGenerated, &QAbstractButton::clicked, w, [this] { OnGeneratedData(); });
    QObject::connect(m_btnImported, &QAbstractButton::clicked, w, [this] { OnImportedData(); });
}

void CTablePage::DoDataExchange(CDataExchange* pDX)
{
    CModelSettings& s = *m_pEdit;
    m_kept.Integer(pDX, m_editRows, s.m_nTableRows, RangeOf("m_nTableRows"));
    m_kept.Integer(pDX, m_editInterval, s.m_nTableInterval, {1, double(ChrononsPerCycle())});
    const PropertyKind& k = Kind();
    for (int i = 0; i < k.columns; ++i)
        DDX_Check(pDX, m_checkColumn[i], FindField(k.column[i].member)->Int(s));
    DDX_Radio(pDX, m_groupSource, s.m_nTableSource);
}

void CTablePage::ShowDerived()
{
    const bool imported = m_pEdit->m_nTableSource != 0;
    const long long kb = imported ? m_pDoc->m_nImportRows * TableBytesPerRow(m_kind) / 1024
                                  : TableKB(m_kind, m_pEdit->m_nTableRows);
    m_stcTableSize->setText(QString::number(kb));
}

void CTablePage::EnableShape(bool bEnable)
{
    m_editRows->setEnabled(bEnable);
    m_editInterval->setEnabled(bEnable);
}

BOOL CTablePage::OnSetActive()
{
    const bool haveImport = m_pDoc->m_bHaveImport != 0;
    m_btnGenerated->setEnabled(haveImport);
    m_btnImported->setEnabled(haveImport);
    const BOOL result = CModelPage::OnSetActive();
    EnableShape(m_pEdit->m_nTableSource == 0);
    ShowDerived();
    return result;
}

void CTablePage::OnChangeTableInterval()
{
    const long long n = LeadingInteger(m_editInterval);
    if (n < 1 || n > ChrononsPerCycle())
        return;
    m_pEdit->m_nTableInterval = static_cast<int>(n);
    m_pDoc->m_nTableInterval = static_cast<int>(n);
}

void CTablePage::OnChangeTableRows()
{
    const long long n = LeadingInteger(m_editRows);
    const FieldRange range = RangeOf("m_nTableRows");
    if (n < range.lo || n > range.hi)
        return;
    m_pEdit->m_nTableRows = static_cast<int>(n);
    ShowDerived();
}

void CTablePage::OnGeneratedData()
{
    m_pEdit->m_nTableSource = 0;
    ShowDerived();
    EnableShape(true);
}

void CTablePage::OnImportedData()
{
    m_pEdit->m_nTableSource = 1;
    ShowDerived();
    EnableShape(false);
}

BOOL CTablePage::OnKillActive()
{
    if (!CModelPage::OnKillActive())
        return FALSE;
    const int ti = std::max(m_pEdit->m_nTableInterval, 1);
    if (m_pDoc->m_nChrononsPerCycle % ti == 0)
        return TRUE;
    Refuse(m_editInterval,
           "Table interval must divide evenly into the number of\nchronons per cycle = " +
               std::to_string(m_pDoc->m_nChrononsPerCycle));
    return FALSE;
}
