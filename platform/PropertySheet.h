#pragma once
// CPropertySheet: a modal dialog of pages on tabs with OK and Cancel (there is no Apply). The
// pages are the caller's (usually members of the sheet's subclass), added in tab order before
// DoModal. Every page's window is made when the sheet opens (the sheet takes the largest page's
// size); a page loads its controls again at its first activation. Changing tabs asks the shown page
// to let go (OnKillActive: its checks) and keeps it when it refuses; OK does the same, then
// tells every page that was shown.
#include "platform/Dialog.h"

#include <string>
#include <vector>

class CPropertyPage;
class QTabWidget;

class CPropertySheet : public CDialog
{
    VX_DECLARE_CLASS(CPropertySheet)
public:
    explicit CPropertySheet(std::string caption = {}, CWnd* pParentWnd = nullptr,
                            UINT iSelectPage = 0);

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    // Before DoModal: the page shown first. While open: changes tabs as a click would.
    BOOL SetActivePage(int nPage);
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
    QTabWidget* GetTabControl() const { return m_pTabs; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnTabChanged(int nPage);
    bool ActivatePage(int nPage);

    std::string m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    UINT m_nStartPage;
    int m_nActive = -1;
    std::vector<bool> m_shown; // pages activated since the sheet opened
    QTabWidget* m_pTabs = nullptr;
};
