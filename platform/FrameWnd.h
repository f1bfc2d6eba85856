#pragma once
// A frame holds views and routes commands: the active view, its document, the frame, the main
// frame, the application.
#include "platform/View.h"
#include "platform/Wnd.h"

#include <string>

class CFrameWnd : public CWnd
{
    VX_DECLARE_CLASS(CFrameWnd)
public:
    CFrameWnd();

    // Creates the frame (PreCreateWindow, the window, OnCreate, OnCreateClient).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                           CCreateContext* pContext = nullptr);
    CView* GetActiveView() const;
    void SetActiveView(CView* pView, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    // Makes the view with the id of the first pane fill the frame.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Runs the initial update of every view and shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // Makes a view of the context's class with the given child id.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // The nearest thing to greying Close in the frame's system menu: closing is refused, and
    // the status bar says why (whyNot) when the user tries.
    void EnableClose(BOOL bEnable, const std::string& whyNot = {});
    BOOL IsCloseEnabled() const { return m_bCloseEnabled; }

    // Set by a frame whose plot views are to skip their next drawing (the one after a restore);
    // the view that skips it clears it.
    BYTE m_bSkipNextDraw = 0;

    // The width a small window needs for its title bar to show the whole caption beside the
    // icon and buttons (some window managers add their own three buttons whatever the window
    // asks for); 0 without an application.
    static int CaptionWidth(const std::string& caption);

    // Shows a text in the main window's status bar.
    virtual void SetMessageText(const std::string& text);
    // Puts the idle text back when the status bar still shows this text.
    virtual void ClearMessageText(const std::string& text);

    bool OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI) override;
    UINT GetResourceID() const { return m_nIDResource; }
    DWORD GetFrameStyle() const { return m_dwFrameStyle; }

    // Help commands, for the program's frames to map: the contents; F1 (the active view's
    // WM_COMMANDHELP, else the contents); Shift+F1 (help mode).
    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();

protected:
    virtual BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext);
    int OnCreate(CREATESTRUCT* pCs) override;
    void OnClose() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void PostNcDestroy() override;
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    // Whether commands go on to the application after this frame (not for MDI children:
    // their main frame does that after its own handlers).
    virtual bool RoutesToApp() const { return true; }
    void OnCloseRefused();

    UINT m_nIDResource = 0;
    DWORD m_dwFrameStyle = 0;

private:
    HWND m_hViewActive = nullptr;
    bool m_bCloseEnabled = true;
    std::string m_strCloseRefused;
    CCreateContext* m_pCreateContext = nullptr;
};
