#pragma once
// What tells the Graph vs Time views and dialogs of the four model kinds apart.
#include "views/graph/GraphRules.h"

#include <array>
#include <vector>

// Curve slots: the legend items, the document's pens and the table columns (slot + 1).
enum GraphSlot
{
    SlotX,
    SlotXp,
    SlotXpp,
    SlotY,
    SlotYp,
    SlotZ,
    SlotZp,
    kSlotCount
};

enum class GraphKind
{
    Newtonian,
    OneVariable,
    TwoVariable,
    ThreeVariable
};

// A check box of the variables dialog: its slot and place in the dialog's grid.
struct GraphVarBox
{
    GraphSlot slot;
    int row, column;
};

struct GraphKindInfo
{
    std::vector<GraphSlot> curves;          // legend, drawing and hit-test order
    std::vector<GraphSlot> autoScale;       // variables that Auto Scale looks at
    AutoScaleDigits autoScaleDigits;        // how Auto Scale picks its digits
    std::vector<GraphVarBox> varBoxes;      // variables dialog
    std::vector<const char*> initialLabels; // left margin: initial values of x, then x' or y, z
    std::vector<const char*> equationPrefixes;
};

const GraphKindInfo& KindInfo(GraphKind kind);

const char* SlotLegendLabel(GraphSlot slot); // " x ", " x' " ...
const char* SlotCheckLabel(GraphSlot slot);  // "x (plotx)" ...
