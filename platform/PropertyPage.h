#pragma once
// CPropertyPage: one tab of a CPropertySheet. Like a dialog it builds its controls in
// OnInitDialog (on GetWidget(), at its first activation) and exchanges them with its members
// through DoDataExchange. Each activation after the first loads the controls again; leaving
// the page, or OK while it is shown, reads them back with their checks, and a failed check
// keeps the page shown.
#include "platform/Dialog.h"

#include <string>

class CPropertySheet;

class CPropertyPage : public CDialog
{
    VX_DECLARE_CLASS(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate = 0, std::string caption = {});

    const std::string& GetCaption() const { return m_strCaption; }

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // The sheet's OK and Cancel, after the shown page has let go (pages that were never shown
    // are not asked).
    void OnOK() override {}
    void OnCancel() override {}

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;

private:
    friend class CPropertySheet;
    // Makes the page's window inside the sheet's tab container.
    BOOL CreatePage(CPropertySheet* pSheet, QWidget* pContainer);

    std::string m_strCaption;
    QWidget* m_pContainer = nullptr;
    bool m_bFirstSetActive = true;
};
