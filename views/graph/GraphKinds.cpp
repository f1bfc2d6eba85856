#include "views/graph/GraphKinds.h"

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
