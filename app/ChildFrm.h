#pragma once
// CChildFrame: the MDI child frame of every document window. A View command replaces its first
// view by the requested view class (SwitchView); a restore of the frame from the maximised or
// normal state sets the frame's skip flag, so that its plot view skips the drawing that follows.
#include "model/ViewFrame.h"
#include "platform/Frame.h"

class CChildFrame : public CMDIChildWnd, public IViewFrame
{
    VX_DECLARE_CLASS(CChildFrame)
public:
    CChildFrame();

    // Replaces the active view by a new view of the class; TRUE when it is (or already was).
    BOOL SwitchView(const CRuntimeClass* pViewClass) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
};
