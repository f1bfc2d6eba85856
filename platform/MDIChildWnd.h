#pragma once
// A document window inside the main frame's MDI area.
#include "platform/FrameWnd.h"

class CMDIFrameWnd;
class vx_MdiAccess;

class CMDIChildWnd : public CFrameWnd
{
    VX_DECLARE_CLASS(CMDIChildWnd)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                   CCreateContext* pContext = nullptr) override;
    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // While the layer reports a state change, the state before it (see OnSysCommand).
    BOOL IsIconic() const;
    BOOL IsZoomed() const;

    QWidget* GetFrameWidget() const override;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    bool RoutesToApp() const override { return false; }
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override;

private:
    friend class vx_MdiAccess;
    bool m_bInSysCommand = false;
    QWidget* m_pSubWindow = nullptr;
    int m_nStateBefore = -1;      // Qt window state before a restore, while it is reported
    HWND m_hKeepActive = nullptr; // the active child while this one, not active, goes
};
