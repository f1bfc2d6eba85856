#pragma once
// CVeltrixApp: the application object. It keeps no state of its own (the shell's state lives
// in the globals of app/ShellGlobals.h and model/core/Globals.h).
#include "platform/WinApp.h"

class CVeltrixApp : public CWinApp
{
public:
    CVeltrixApp();

    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;

    void OnAppAbout();
};

extern CVeltrixApp theApp;
