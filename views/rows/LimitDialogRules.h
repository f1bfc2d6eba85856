#pragma once
// The rules of the plot boundary dialogs: Auto Scale fits the working and absolute limits to the
// extent of the data, padded by a twentieth and rounded; after OK the working limits are held
// inside the absolute ones. No Qt here.
#include "model/core/LimitBlocks.h"

#include <array>
#include <string>
#include <vector>

// The extent of the data on one axis; Auto Scale widens a flat one in place.
struct DataExtent
{
    double min = 0, max = 0;
};

// The horizontal and vertical axes of a 2-D plot; with exactH the horizontal limits are the
// data extent itself, neither padded nor rounded. The digits are the larger of the two axes'.
PlotLimits AutoScale2D(DataExtent& x, DataExtent& y, bool exactH);
// x, y and z of a 3-D plot, each rounded with the digits of its own range.
std::array<AxisLimits, 3> AutoScale3D(std::array<DataExtent, 3>& e);

// Shown when the limits typed leave an axis without a range.
extern const char* const kClosedRangeMessage;

// The caption of a limit field: "Minimum x (foxlo)", "Maximum x' (foax'hi)"; the prefix names the
// block ("fo"; none for the three-variable box: "Minimum x (xlo)"), absolute adds its "a"; the
// key's name is the axis's unless given.
std::string LimitCaption(const std::string& prefix, const std::string& name, bool max,
                         bool absolute, const char* key = nullptr);

// An axis as a limits dialog shows it: the working and the absolute pair each rounded to the
// digits of its own range.
AxisLimits RoundedForDialog(const AxisLimits& a);

// Swaps each pair whose maximum is below its minimum, then holds the working limits of each axis
// inside its absolute ones; names are the axes' names in the messages ("x", "x'", "y", "z").
// Returns the messages to show, in order. Limits that would leave an axis without an open range
// are not taken: the axes keep before, and the message is kClosedRangeMessage.
std::vector<std::string> HoldWorkingInside(AxisLimits* axes, const char* const* names, int n,
                                           const AxisLimits* before);
