#pragma once
// The About box: product name, version line and OK.
#include "platform/Dialog.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
