#pragma once
// The limit rules of the Graph vs Time view beyond zoom, pan and reset (LimitRules.h): the
// checks after Set Limits and Auto Scale. No Qt here. The view's limits are its document's
// Graph block: x is time (0 to the run time), y the shared vertical axis.
#include "model/core/LimitBlocks.h"
#include "views/rows/LimitDialogRules.h"

#include <string>
#include <vector>

// Values the limits dialog shows, each rounded to the digits of its scale.
struct GraphLimitFields
{
    double tMin = 0, tMax = 0, vMin = 0, vMax = 0, vAbsMin = 0, vAbsMax = 0;
};
GraphLimitFields LimitFieldsFor(const PlotLimits& g, double chronon);

// Takes the dialog's values into g: inverted pairs are put in order, the time maximum and the
// working vertical limits are held inside their bounds. Returns the messages to show, in order.
// Values that would leave an axis without an open range change nothing and give
// kClosedRangeMessage.
std::vector<std::string> ApplyLimitFields(PlotLimits& g, GraphLimitFields f, double chronon);

// Recorded extent of one variable of the run.
struct VarExtent
{
    double min = 1e30, max = -1e30;
    bool shown = false;
};

enum class AutoScaleDigits
{
    PerVariable, // the largest digit count over the variables' own ranges
    Overall      // the digits of the combined range
};

struct AutoScaleResult
{
    double vAbsMin, vAbsMax;
};
// Fits the vertical limits to the shown variables, padded by a twentieth and rounded.
AutoScaleResult AutoScale(const std::vector<VarExtent>& vars, AutoScaleDigits rule);
