#include "views/graph/GraphKinds.h"

#include "model/core/KindVars.h"

#include <algorithm>
#include <array>

namespace {

// The curves are the kind's variables after t, values before rates, x before y before z; the
// variables dialog puts the values in its first row and each axis in a column.
GraphKindInfo MakeInfo(SystemKind kind, AutoScaleDigits autoScaleDigits)
{
    GraphKindInfo info{{}, {}, autoScaleDigits, {}};
    const auto columns = VarsOf(kind).Columns().subspan(1);
    info.curves.assign(columns.begin(), columns.end());
    std::stable_sort(info.curves.begin(), info.curves.end(),
                     [](VarSlot a, VarSlot b) { return VarOf(a).order < VarOf(b).order; });
    info.autoScale = info.curves;
    for (VarSlot slot : columns)
        info.varBoxes.push_back({slot, VarOf(slot).order, VarOf(slot).axis});
    return info;
}

// A label for every variable, made from its name.
template <class Make> std::array<std::string, kSlots> Labels(Make make)
{
    std::array<std::string, kSlots> labels;
    for (int i = 0; i < kSlots; ++i)
        labels[i] = make(VarOf(static_cast<VarSlot>(i)).name);
    return labels;
}

} // namespace

const GraphKindInfo& KindInfo(GraphKind kind)
{
    static const GraphKindInfo infos[kSystemKinds] = {
        MakeInfo(SystemKind::Newtonian, AutoScaleDigits::PerVariable),
        MakeInfo(SystemKind::OneVariable, AutoScaleDigits::PerVariable),
        MakeInfo(SystemKind::TwoVariable, AutoScaleDigits::Overall),
        MakeInfo(SystemKind::ThreeVariable, AutoScaleDigits::Overall),
    };
    return infos[static_cast<int>(kind)];
}

const char* SlotLegendLabel(VarSlot slot)
{
    static const auto labels = Labels([](const std::string& n) { return " " + n + " "; });
    return labels[slot].c_str();
}

const char* SlotCheckLabel(VarSlot slot)
{
    static const auto labels = Labels([](const std::string& n) { return n + " (plot" + n + ")"; });
    return labels[slot].c_str();
}
