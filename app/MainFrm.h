#pragma once
// CMainFrame: the main window with its toolbar, status bar and MDI client; CMDIClientWnd
// paints the client's background (teal with the centred title picture) and, at the first
// background erase, runs the configuration read and log-on.
#include "platform/Frame.h"

class CArchive;

class CMDIClientWnd : public CWnd
{
    VX_DECLARE_CLASS(CMDIClientWnd)
public:
    CMDIClientWnd();
    // Where the picture's top-left corner goes in a client area of that size.
    static CPoint PicturePosition(int cx, int cy);
    // The configuration record, as the main frame's.
    void Serialize(CArchive& ar);

protected:
    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnPaint() override;
    void OnSize(UINT nType, int cx, int cy) override;
    LRESULT OnReadConfiguration(WPARAM, LPARAM);
};

class CMainFrame : public CMDIFrameWnd
{
    VX_DECLARE_CLASS(CMainFrame)
public:
    CMainFrame();

    CMDIClientWnd m_wndMDIClient;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

    // The configuration record: the access level and the teacher password.
    void Serialize(CArchive& ar);
    void OnConfiguration();
    // Tile Vert: the windows side by side (Tile and Tile Horiz are the frame's own).
    void OnWindowTileVert();

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(CREATESTRUCT* pCs) override;
};
