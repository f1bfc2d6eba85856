#pragma once
// What a "Set Plot Boundaries" dialog shows of one axis and how its answer is read, for the
// views whose limits dialog is the plain one of their block. The captions name the data-entry
// keys of the fields: "Minimum x (psxlo)" for the working minimum of x with the prefix "ps",
// "Maximum x' (psax'hi)" for an absolute maximum; without a prefix "Minimum x (xlo)". No Qt here.
#include "model/core/LimitBlocks.h"

#include <string>

struct AxisCaptions
{
    std::string min, max, absMin, absMax;
};
AxisCaptions LimitCaptions(const std::string& prefix, const std::string& name);

// The limits as the dialog shows them: the working pair rounded to the digits of its range, the
// absolute pair to those of its own.
AxisLimits RoundedForDialog(const AxisLimits& a);

// A pair typed with its maximum below its minimum is taken the other way round.
void OrderLimitPairs(AxisLimits& a);
