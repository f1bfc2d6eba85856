#pragma once
// CDialog: a dialog box on QDialog. A subclass builds its controls in OnInitDialog (with Qt
// layouts on GetDialog()) and then calls the base's OnInitDialog, which loads them from the
// members through DoDataExchange. OK reads them back with their checks (platform/DataExchange.h)
// and ends the dialog only when every check passes. DoModal returns IDOK or IDCANCEL (or the
// value given to EndDialog). Return and Enter in a field press a dialog's default button under
// every desktop theme, also from inside a group box (see Dialog.cpp).
#include "platform/DataExchange.h"
#include "platform/Wnd.h"
#include "platform/base/MessageHook.h"

#include <optional>

class QDialog;

using msgbox::IDCANCEL;
using msgbox::IDOK;

// The standard colour dialog started on initial; empty when cancelled.
std::optional<COLORREF> PickColorWithDialog(COLORREF initial, QWidget* parent);

// Shows dlg modal to the whole program until it is finished, and gives its result. The loop is
// the program's own, not the dialog's exec(): when memory runs out while it shows (caught where
// the event was handed to the program, CApplication::notify), the loop ends once the handler has
// returned, the dialog is hidden as cancelled and std::bad_alloc goes on to the caller, outside
// Qt's loop. Shown through ShowModal (NoMemory.h), with the memory reserve given back. Qt's
// dialogs whose exec() does work of its own (page setup, print) keep their exec().
int RunModalLoop(QDialog& dlg);

// Whether the user accepted dlg, shown in RunModalLoop through ShowModal: a dialog that memory
// ran out in is one cancelled, the user told.
bool AcceptedModal(QDialog& dlg);

namespace vx {
// Ends the innermost loop of RunModalLoop as one that memory ran out in; false when none runs,
// or a window of Qt's own modal loop shows over its dialog. Allocates nothing.
bool EndModalLoopForNoMemory() noexcept;
} // namespace vx

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

    // Exchanges the members with the controls: TRUE reads and checks the controls, FALSE
    // writes the controls. FALSE comes back when a check failed (its message was shown).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;

private:
    bool MakeWindow();
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
    int m_nResult = 2;
};
