#include "dialogs/ModelPage.h"

#include "platform/base/MessageHook.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

VX_IMPLEMENT_ABSTRACT(CModelPage, CPropertyPage)

CModelPage::CModelPage(SystemKind kind, int nIndex, std::string caption)
    : CPropertyPage(0, std::move(caption)), m_kind(kind), m_nIndex(nIndex)
{
}

void CModelPage::Attach(CModelCore* pDoc, CModelSettings* pEdit)
{
    m_pDoc = pDoc;
    m_pEdit = pEdit;
}

BOOL CModelPage::OnInitDialog()
{
    MakeControls();
    CPropertyPage::OnInitDialog();
    ShowDerived();
    return TRUE;
}

BOOL CModelPage::OnSetActive()
{
    m_pDoc->m_nActivePage = m_nIndex;
    return CPropertyPage::OnSetActive();
}

void CModelPage::Refuse(QLineEdit* pEdit, const std::string& message)
{
    ShowMessageBox(message, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
    pEdit->setFocus();
    pEdit->selectAll();
}

QLineEdit* CModelPage::AddEdit(QGridLayout* pGrid, const char* label)
{
    const int row = pGrid->rowCount();
    auto* edit = new QLineEdit;
    edit->setMinimumWidth(NumberEditWidth(edit));
    pGrid->addWidget(new QLabel(label), row, 0);
    pGrid->addWidget(edit, row, 1);
    return edit;
}

QGroupBox* CModelPage::Group(const char* title, QGridLayout*& pGrid)
{
    auto* box = new QGroupBox(title);
    pGrid = new QGridLayout(box);
    return box;
}
