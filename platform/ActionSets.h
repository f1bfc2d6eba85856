#pragma once
// The actions of each menu or toolbar resource, made once and kept: a bar that changes resource
// only swaps which set it shows, so nothing is made again at each switch. Internal to platform/.
#include "platform/Types.h"

#include <map>
#include <vector>

class QAction;

namespace vx::frame {

class ActionSets
{
public:
    // Shows the resource's set on the bar (a menu bar or a toolbar); make() gives the set the
    // first time.
    template <class Bar, class Make> void Show(Bar* pBar, UINT nID, const Make& make)
    {
        std::vector<QAction*>& set = m_sets[nID];
        if (set.empty())
            set = make();
        pBar->clear();
        for (QAction* a : set)
            pBar->addAction(a);
    }

private:
    std::map<UINT, std::vector<QAction*>> m_sets;
};

} // namespace vx::frame
