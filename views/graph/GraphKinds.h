#pragma once
// What tells the Graph vs Time views and dialogs of the four model kinds apart. Which variables
// a kind has, their names and settings members come from the model's table (KindVars.h).
#include "model/core/VarSlot.h"
#include "platform/base/WinTypes.h"
#include "views/graph/GraphRules.h"

#include <string>
#include <vector>

// The model record stays out of this header: moc reads it.
enum class SystemKind : int;
struct CModelSettings;
using GraphKind = SystemKind;

// A check box of the variables dialog: its variable and place in the dialog's grid.
struct GraphVarBox
{
    VarSlot slot;
    int row, column;
};

struct GraphKindInfo
{
    std::vector<VarSlot> curves;       // legend, drawing and hit-test order
    std::vector<VarSlot> autoScale;    // variables that Auto Scale looks at
    AutoScaleDigits autoScaleDigits;   // how Auto Scale picks its digits
    std::vector<GraphVarBox> varBoxes; // variables dialog
};

const GraphKindInfo& KindInfo(GraphKind kind);

const char* SlotLegendLabel(VarSlot slot); // " x ", " x' " ...
const char* SlotCheckLabel(VarSlot slot);  // "x (plotx)" ...
