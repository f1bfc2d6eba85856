#include "views/graph/GraphKinds.h"

#include "model/core/ModelSettings.h"

namespace {
const GraphKindInfo kNewtonian{
    {SlotX, SlotXp, SlotXpp},        {SlotX, SlotXp, SlotXpp},
    AutoScaleDigits::PerVariable,    {{SlotX, 0, 0}, {SlotXp, 1, 0}, {SlotXpp, 2, 0}},
    {"Initial x =", "Initial x' ="}, {"m*x'' = "},
};
const GraphKindInfo kOneVariable{
    {SlotX, SlotXp},
    {SlotX, SlotXp},
    AutoScaleDigits::PerVariable,
    {{SlotX, 0, 0}, {SlotXp, 1, 0}},
    {"Initial x = "},
    {"x' = "},
};
const GraphKindInfo kTwoVariable{
    {SlotX, SlotY, SlotXp, SlotYp},
    {SlotX, SlotY, SlotXp, SlotYp},
    AutoScaleDigits::Overall,
    {{SlotX, 0, 0}, {SlotXp, 1, 0}, {SlotY, 0, 1}, {SlotYp, 1, 1}},
    {"Initial x = ", "Initial y = "},
    {"x' = ", "y' = "},
};
const GraphKindInfo kThreeVariable{
    {SlotX, SlotY, SlotZ, SlotXp, SlotYp, SlotZp},
    {SlotX, SlotY, SlotZ, SlotXp, SlotYp, SlotZp},
    AutoScaleDigits::Overall,
    {{SlotX, 0, 0}, {SlotXp, 1, 0}, {SlotY, 0, 1}, {SlotYp, 1, 1}, {SlotZ, 0, 2}, {SlotZp, 1, 2}},
    {"Initial x = ", "Initial y = ", "Initial z = "},
    {"x' = ", "y' = ", "z' = "},
};
} // namespace

const GraphKindInfo& KindInfo(GraphKind kind)
{
    switch (kind) {
    case GraphKind::Newtonian:
        return kNewtonian;
    case GraphKind::OneVariable:
        return kOneVariable;
    case GraphKind::TwoVariable:
        return kTwoVariable;
    case GraphKind::ThreeVariable:
        break;
    }
    return kThreeVariable;
}

const char* SlotLegendLabel(GraphSlot slot)
{
    static const char* const labels[kSlotCount] = {" x ",  " x' ", " x'' ", " y ",
                                                   " y' ", " z ",  " z' "};
    return labels[slot];
}

const char* SlotCheckLabel(GraphSlot slot)
{
    static const char* const labels[kSlotCount] = {"x (plotx)",  "x' (plotx')", "x'' (plotx'')",
                                                   "y (ploty)",  "y' (ploty')", "z (plotz)",
                                                   "z' (plotz')"};
    return labels[slot];
}

const SlotSettings& SlotMembers(GraphSlot slot)
{
    using S = CModelSettings;
    static const SlotSettings members[kSlotCount] = {
        {&S::m_bPlotX, &S::m_nStyleX, &S::m_nWidthX, &S::m_clrX, &S::m_dMinX, &S::m_dMaxX},
        {&S::m_bPlotXp, &S::m_nStyleXp, &S::m_nWidthXp, &S::m_clrXp, &S::m_dMinXp, &S::m_dMaxXp},
        {&S::m_bPlotXpp, &S::m_nStyleXpp, &S::m_nWidthXpp, &S::m_clrXpp, &S::m_dMinXpp,
         &S::m_dMaxXpp},
        {&S::m_bPlotY, &S::m_nStyleY, &S::m_nWidthY, &S::m_clrY, &S::m_dMinY, &S::m_dMaxY},
        {&S::m_bPlotYp, &S::m_nStyleYp, &S::m_nWidthYp, &S::m_clrYp, &S::m_dMinYp, &S::m_dMaxYp},
        {&S::m_bPlotZ, &S::m_nStyleZ, &S::m_nWidthZ, &S::m_clrZ, &S::m_dMinZ, &S::m_dMaxZ},
        {&S::m_bPlotZp, &S::m_nStyleZp, &S::m_nWidthZp, &S::m_clrZp, &S::m_dMinZp, &S::m_dMaxZp},
    };
    return members[slot];
}

std::vector<double> InitialValues(GraphKind kind, const CModelSettings& s)
{
    switch (kind) {
    case GraphKind::Newtonian:
        return {s.m_dInitX, s.m_dInitXp};
    case GraphKind::OneVariable:
        return {s.m_dInitX};
    case GraphKind::TwoVariable:
        return {s.m_dInitX, s.m_dInitY};
    case GraphKind::ThreeVariable:
        break;
    }
    return {s.m_dInitX, s.m_dInitY, s.m_dInitZ};
}
