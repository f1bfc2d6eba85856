#include "views/orbit/OrbitPlaneKinds.h"

#include "model/core/VarSlot.h"

namespace {
// Read-outs: t 50 pixels above the plot's bottom, the axes at its top (the vertical one a text
// height to the left), the rates at its middle.
const OrbitPlaneKind kKinds[3] = {
    {kSlotXp,
     {"x", "x'"},
     " x ",
     " x' ",
     {{kSlotT, 0, 2}, {kSlotX, 0, 0}, {kSlotXp, 1, 0}, {kSlotXpp, 0, 1}}},
    {kSlotXp, {"x", "x'"}, " x ", " x' ", {{kSlotT, 0, 2}, {kSlotX, 0, 0}, {kSlotXp, 1, 0}}},
    {kSlotY,
     {"x", "y"},
     " x ",
     " y ",
     {{kSlotT, 0, 2}, {kSlotX, 0, 0}, {kSlotY, 1, 0}, {kSlotXp, 0, 1}, {kSlotYp, 1, 1}}},
};
} // namespace

bool HasOrbitPlane(SystemKind kind)
{
    return kind == SystemKind::Newtonian || kind == SystemKind::OneVariable ||
           kind == SystemKind::TwoVariable;
}

const OrbitPlaneKind& OrbitPlaneKindOf(SystemKind kind)
{
    return kKinds[HasOrbitPlane(kind) ? static_cast<int>(kind) : 0];
}
