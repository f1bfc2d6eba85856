#pragma once
// The frames' menu, toolbar and key actions: each carries its command id, shows its prompt in
// the status bar and sends the command to the main frame. Internal to platform/.
#include "platform/CmdTarget.h"
#include "platform/Latin1.h"
#include "platform/Resources.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include <string>
#include <vector>

class CMDIFrameWnd;

namespace vx::frame {

// Field n of a "\n"-separated resource string.
std::string Field(const std::string& s, int n);

// Applies an update handler's answers to a menu or toolbar action.
class ActionCmdUI : public CCmdUI
{
public:
    ActionCmdUI(UINT id, QAction* a) : CCmdUI(id), m_pAction(a) {}
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        m_pAction->setEnabled(bOn != 0);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        m_pAction->setCheckable(true);
        m_pAction->setChecked(nCheck != 0);
    }
    void SetText(const std::string& text) override
    {
        CCmdUI::SetText(text);
        m_pAction->setText(Latin1(text));
    }
    void Show(BOOL bShow) override
    {
        CCmdUI::Show(bShow);
        m_pAction->setVisible(bShow != 0);
    }

private:
    QAction* m_pAction;
};

inline UINT ActionId(const QAction* a)
{
    return a->data().toUInt();
}

QAction* MakeAction(CMDIFrameWnd* pFrame, QObject* parent, UINT id, const std::string& text);
void FillMenu(CMDIFrameWnd* pFrame, QMenu* menu, const std::vector<vx::res::MenuItem>& items);

} // namespace vx::frame
