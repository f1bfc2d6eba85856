#pragma once
// CDialog: a dialog box on QDialog. A subclass builds its controls in OnInitDialog (with Qt
// layouts on GetDialog()), reads them back in OnOK and ends with EndDialog. DoModal returns
// IDOK or IDCANCEL (or the value given to EndDialog).
#include "platform/Wnd.h"

#include <optional>

class QDialog;

// The standard colour dialog started on initial; empty when cancelled.
std::optional<COLORREF> PickColorWithDialog(COLORREF initial, QWidget* parent);

class CDialog : public CWnd
{
    VX_DECLARE_CLASS(CDialog)
public:
    explicit CDialog(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual int DoModal();
    // A modeless dialog: shown at once, it lives until DestroyWindow.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    QDialog* GetDialog() const;
    UINT GetTemplateID() const { return m_nIDTemplate; }

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(1); }
    virtual void OnCancel() { EndDialog(2); }

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;

private:
    bool MakeWindow();
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
    int m_nResult = 2;
};
