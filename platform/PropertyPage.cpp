#include "platform/PropertyPage.h"

#include "platform/PropertySheet.h"
#include "platform/WndWidget.h"

#include <QLayout>

VX_IMPLEMENT_CLASS(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage(UINT nIDTemplate, std::string caption)
    : CDialog(nIDTemplate), m_strCaption(std::move(caption))
{
}

QWidget* CPropertyPage::CreateWidget(const CREATESTRUCT&)
{
    // A plain child, so that Enter and Escape reach the sheet.
    auto* w = new vx::WndWidget(m_pContainer);
    if (m_pContainer && m_pContainer->layout())
        m_pContainer->layout()->addWidget(w);
    return w;
}

BOOL CPropertyPage::CreatePage(CPropertySheet* pSheet, QWidget* pContainer)
{
    m_pContainer = pContainer;
    m_bFirstSetActive = true;
    if (!CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), pSheet, GetTemplateID()))
        return FALSE;
    return OnInitDialog();
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}
