#pragma once
// CChildFrame: the MDI child frame of every document window. A View command replaces its first
// view by the requested view class (SwitchView); the skip flag makes a plot view skip the one
// drawing that follows a restore of the frame from the maximised or normal state.
#include "platform/Frame.h"

class CChildFrame : public CMDIChildWnd
{
    VX_DECLARE_CLASS(CChildFrame)
public:
    CChildFrame();

    // Replaces the active view by a new view of the class; TRUE when it is (or already was).
    BOOL SwitchView(const CRuntimeClass* pViewClass);

    BYTE m_bSkipNextDraw = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
};
