#include "views/base/LimitCaptions.h"

#include "views/base/PlotText.h"

#include <utility>

AxisCaptions LimitCaptions(const std::string& prefix, const std::string& name)
{
    const std::string key = " (" + prefix;
    return {"Minimum " + name + key + name + "lo)", "Maximum " + name + key + name + "hi)",
            "Minimum " + name + key + "a" + name + "lo)",
            "Maximum " + name + key + "a" + name + "hi)"};
}

AxisLimits RoundedForDialog(const AxisLimits& a)
{
    const int working = DigitsForRange(a.max - a.min);
    const int absolute = DigitsForRange(a.absMax - a.absMin);
    return {RoundToDigits(a.min, working), RoundToDigits(a.max, working),
            RoundToDigits(a.absMin, absolute), RoundToDigits(a.absMax, absolute)};
}

void OrderLimitPairs(AxisLimits& a)
{
    if (a.max < a.min)
        std::swap(a.max, a.min);
    if (a.absMax < a.absMin)
        std::swap(a.absMax, a.absMin);
}
