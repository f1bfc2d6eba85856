#pragma once
// What the orbit views of the plane take from their model's kind: the vertical axis (x' of the
// Newtonian and one-variable kinds, y of the two-variable kind), the axes' names in the limits'
// captions and in the legend, and the keyboard cursor's read-outs in the right margin. No Qt here.
#include "model/core/ModelSettings.h"
#include "views/base/PlotCursor.h"

#include <array>
#include <vector>

struct OrbitPlaneKind
{
    int vertical;                     // table column of the vertical axis
    std::array<const char*, 2> names; // the axes in the limits' captions and messages
    const char* legendX;              // the axes' legend swatches
    const char* legendY;
    std::vector<CursorReadout> readouts; // t, the two axes, then the kind's rates
};

// The kinds with orbit views of the plane: Newtonian, one-variable and two-variable.
bool HasOrbitPlane(SystemKind kind);
const OrbitPlaneKind& OrbitPlaneKindOf(SystemKind kind);
