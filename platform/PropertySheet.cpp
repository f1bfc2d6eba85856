#include "platform/PropertySheet.h"

#include "platform/PropertyPage.h"
#include "platform/WinApp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

VX_IMPLEMENT_CLASS(CPropertySheet, CDialog)

CPropertySheet::CPropertySheet(std::string caption, CWnd* pParentWnd, UINT iSelectPage)
    : CDialog(0, pParentWnd), m_strCaption(std::move(caption)), m_nStartPage(iSelectPage)
{
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[size_t(nPage)] : nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    return m_pTabs ? m_nActive : static_cast<int>(m_nStartPage);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (!GetPage(nPage))
        return FALSE;
    if (!m_pTabs) {
        m_nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    m_pTabs->setCurrentIndex(nPage);
    return m_nActive == nPage;
}

BOOL CPropertySheet::OnInitDialog()
{
    QDialog* d = GetDialog();
    SetWindowText(m_strCaption);
    m_pTabs = new QTabWidget(d);
    // Every tab shows: the sheet is never narrower than its row of tabs.
    m_pTabs->setUsesScrollButtons(false);
    m_pTabs->setElideMode(Qt::ElideNone);
    for (CPropertyPage* p : m_pages) {
        auto* container = new QWidget;
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        m_pTabs->addTab(container, QString::fromLatin1(p->GetCaption().c_str()));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    auto* layout = new QVBoxLayout(d);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);

    const int start = GetPage(int(m_nStartPage)) ? int(m_nStartPage) : 0;
    // Every page is made now, so that the sheet is as wide and tall as its largest page; one
    // first shown later loads its controls again then.
    m_shown.assign(m_pages.size(), false);
    for (int n = 0; n < GetPageCount(); ++n)
        if (CPropertyPage* p = GetPage(n); p->CreatePage(this, m_pTabs->widget(n)))
            p->m_bFirstSetActive = n == start;
    {
        const QSignalBlocker quiet(m_pTabs);
        m_pTabs->setCurrentIndex(start);
    }
    if (GetPageCount() > 0)
        ActivatePage(start);
    QObject::connect(m_pTabs, &QTabWidget::currentChanged, d, [this](int n) { OnTabChanged(n); });
    return CDialog::OnInitDialog();
}

bool CPropertySheet::ActivatePage(int nPage)
{
    CPropertyPage* p = GetPage(nPage);
    if (!p->GetSafeHwnd() && !p->CreatePage(this, m_pTabs->widget(nPage)))
        return false;
    m_nActive = nPage;
    m_shown[size_t(nPage)] = true;
    p->OnSetActive();
    return true;
}

void CPropertySheet::OnTabChanged(int nPage)
{
    CPropertyPage* shown = GetPage(m_nActive);
    if (nPage == m_nActive || (shown && !shown->OnKillActive()) || !ActivatePage(nPage)) {
        const QSignalBlocker quiet(m_pTabs);
        m_pTabs->setCurrentIndex(m_nActive);
    }
}

void CPropertySheet::OnOK()
{
    if (CPropertyPage* shown = GetPage(m_nActive); shown && !shown->OnKillActive())
        return;
    for (size_t n = 0; n < m_pages.size(); ++n)
        if (m_shown[n])
            m_pages[n]->OnOK();
    EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    for (size_t n = 0; n < m_pages.size(); ++n)
        if (m_shown[n])
            m_pages[n]->OnCancel();
    EndDialog(IDCANCEL);
}
