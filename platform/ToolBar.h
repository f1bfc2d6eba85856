#pragma once
#include "platform/ActionSets.h"
#include "platform/Types.h"

class CMDIFrameWnd;
class QAction;
class QToolBar;

// The main window's toolbar: its buttons come from a toolbar resource and can be replaced.
class CToolBar
{
public:
    CToolBar();
    ~CToolBar();
    BOOL CreateEx(CMDIFrameWnd* pParent);
    BOOL LoadToolBar(UINT nIDResource);
    UINT GetLoadedID() const { return m_nLoaded; }
    QToolBar* GetToolBar() const { return m_pBar; }
    // Runs the update handlers of the buttons (on idle).
    void UpdateButtons();

private:
    QAction* MakeButton(UINT id, int cx, int cy);

    CMDIFrameWnd* m_pFrame = nullptr;
    QToolBar* m_pBar = nullptr;
    UINT m_nLoaded = 0;
    vx::frame::ActionSets m_sets; // the buttons of each resource
};
