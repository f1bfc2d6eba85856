#include "model/core/KindVars.h"

const VarInfo& VarOf(VarSlot slot)
{
    using S = CModelSettings;
    static const VarInfo vars[kSlots] = {
        {"t", 0, -1, &S::m_dT, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
         nullptr, -1},
        {"x", 0, 0, &S::m_dX, &S::m_dMinX, &S::m_dMaxX, &S::m_dInitX, &S::m_bPlotX, &S::m_bTabX,
         &S::m_nStyleX, &S::m_nWidthX, &S::m_clrX, 0},
        {"x'", 1, 0, &S::m_dXp, &S::m_dMinXp, &S::m_dMaxXp, &S::m_dInitXp, &S::m_bPlotXp,
         &S::m_bTabXp, &S::m_nStyleXp, &S::m_nWidthXp, &S::m_clrXp, 1},
        {"x''", 2, 0, &S::m_dXpp, &S::m_dMinXpp, &S::m_dMaxXpp, nullptr, &S::m_bPlotXpp,
         &S::m_bTabXpp, &S::m_nStyleXpp, &S::m_nWidthXpp, &S::m_clrXpp, 2},
        {"y", 0, 1, &S::m_dY, &S::m_dMinY, &S::m_dMaxY, &S::m_dInitY, &S::m_bPlotY, &S::m_bTabY,
         &S::m_nStyleY, &S::m_nWidthY, &S::m_clrY, 3},
        {"y'", 1, 1, &S::m_dYp, &S::m_dMinYp, &S::m_dMaxYp, nullptr, &S::m_bPlotYp, &S::m_bTabYp,
         &S::m_nStyleYp, &S::m_nWidthYp, &S::m_clrYp, 4},
        {"z", 0, 2, &S::m_dZ, &S::m_dMinZ, &S::m_dMaxZ, &S::m_dInitZ, &S::m_bPlotZ, &S::m_bTabZ,
         &S::m_nStyleZ, &S::m_nWidthZ, &S::m_clrZ, 5},
        {"z'", 1, 2, &S::m_dZp, &S::m_dMinZp, &S::m_dMaxZp, nullptr, &S::m_bPlotZp, &S::m_bTabZp,
         &S::m_nStyleZp, &S::m_nWidthZp, &S::m_clrZp, 6},
    };
    return vars[slot];
}

std::string MemberSuffix(VarSlot slot)
{
    const std::string name = VarOf(slot).name;
    std::string suffix(1, static_cast<char>(name[0] - 'a' + 'A'));
    return suffix.append(name.size() - 1, 'p');
}
