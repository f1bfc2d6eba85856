#include "platform/CmdTarget.h"

#include <algorithm>

VX_IMPLEMENT_CLASS(CCmdTarget, CObject)

bool CCmdTarget::OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI)
{
    auto covers = [nID](const auto& e) { return nID >= e.first && nID <= e.last; };
    if (kind == CmdKind::Update) {
        auto it = std::find_if(m_updates.rbegin(), m_updates.rend(), covers);
        if (it == m_updates.rend() || !pCmdUI)
            return false;
        auto fn = it->fn; // the handler may remap
        fn(pCmdUI);
        return true;
    }
    auto it = std::find_if(m_commands.rbegin(), m_commands.rend(), covers);
    if (it == m_commands.rend())
        return false;
    if (kind == CmdKind::Execute) {
        auto fn = it->fn;
        fn(nID);
    }
    return true;
}

void CCmdTarget::UpdateCommand(CCmdUI* pCmdUI)
{
    if (OnCmdMsg(pCmdUI->m_nID, CmdKind::Update, pCmdUI))
        return;
    pCmdUI->Enable(OnCmdMsg(pCmdUI->m_nID, CmdKind::HasHandler, nullptr));
}

std::vector<std::pair<UINT, UINT>> CCmdTarget::CommandRanges() const
{
    std::vector<std::pair<UINT, UINT>> ranges;
    for (const CommandEntry& e : m_commands)
        ranges.emplace_back(e.first, e.last);
    return ranges;
}
