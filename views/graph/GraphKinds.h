#pragma once
// What tells the Graph vs Time views and dialogs of the four model kinds apart.
#include "platform/base/WinTypes.h"
#include "views/graph/GraphRules.h"

#include <array>
#include <string>
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

// The model record stays out of this header: moc reads it.
enum class SystemKind : int;
struct CModelSettings;
using GraphKind = SystemKind;

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

// The settings of a slot's curve: shown flag, computed pen and recorded extent.
struct SlotSettings
{
    BOOL CModelSettings::*shown;
    int CModelSettings::*style;
    int CModelSettings::*width;
    COLORREF CModelSettings::*color;
    double CModelSettings::*min;
    double CModelSettings::*max;
};
const SlotSettings& SlotMembers(GraphSlot slot);

// The initial values a kind shows in its left margin.
std::vector<double> InitialValues(GraphKind kind, const CModelSettings& s);
