#pragma once
// "Standard Form Selection": one radio button per built-in form of a kind, "User Defined
// Function" first, each with its formula. m_nForm is the chosen button (-1 none).
#include "platform/Dialog.h"

#include "model/core/ModelSettings.h"

class QButtonGroup;

class CStdFormDlg : public CDialog
{
    VX_DECLARE_CLASS(CStdFormDlg)
public:
    BOOL OnInitDialog() override;

    int m_nForm = -1;
    QButtonGroup* m_groupForm = nullptr;

protected:
    explicit CStdFormDlg(SystemKind kind = SystemKind::Newtonian, CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

private:
    const SystemKind m_kind;
};

#define VX_STD_FORM_DLG(Name)                                                                      \
    class Name : public CStdFormDlg                                                                \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        explicit Name(CWnd* pParent = nullptr);                                                    \
    };
VX_STD_FORM_DLG(CDS1SFSelDlg)
VX_STD_FORM_DLG(CDS1NNSFSelDlg)
VX_STD_FORM_DLG(CDS2SFSelDlg)
VX_STD_FORM_DLG(CDS3SFSelDlg)
#undef VX_STD_FORM_DLG

// The kind's dialog, made by its class.
CStdFormDlg* NewStdFormDlg(SystemKind kind, CWnd* pParent);
