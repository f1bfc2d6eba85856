#pragma once
// The main window's status bar: a message pane and indicator panes.
#include "platform/Types.h"

#include <string>
#include <vector>

class CMDIFrameWnd;
class QLabel;
class QStatusBar;

class CStatusBar
{
public:
    BOOL Create(CMDIFrameWnd* pParent);
    // The first id (ID_SEPARATOR) is the message pane; the others are indicator panes.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    void SetPaneText(int nIndex, const std::string& text);
    std::string GetPaneText(int nIndex) const;
    QStatusBar* GetStatusBar() const { return m_pBar; }

private:
    QStatusBar* m_pBar = nullptr;
    std::vector<QLabel*> m_panes; // indicators (index 1 ...)
};
