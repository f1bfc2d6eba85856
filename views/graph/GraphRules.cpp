#include "views/graph/GraphRules.h"

#include "views/rows/PlotText.h"

#include <algorithm>
#include <cmath>
#include <utility>

GraphLimitFields LimitFieldsFor(const PlotLimits& g, double chronon)
{
    const AxisLimits& t = g.x;
    const AxisLimits& v = g.y;
    const int dt = DigitsForRange(chronon);
    const int da = DigitsForRange(v.absMax - v.absMin);
    const int dv = DigitsForRange(v.max - v.min);
    return {RoundToDigits(t.min, dt), RoundToDigits(t.max, dt),    RoundToDigits(v.min, dv),
            RoundToDigits(v.max, dv), RoundToDigits(v.absMin, da), RoundToDigits(v.absMax, da)};
}

std::vector<std::string> ApplyLimitFields(PlotLimits& g, GraphLimitFields f, double chronon)
{
    const PlotLimits before = g;
    std::vector<std::string> messages;
    if (f.tMax < f.tMin)
        std::swap(f.tMax, f.tMin);
    if (f.vAbsMax < f.vAbsMin)
        std::swap(f.vAbsMax, f.vAbsMin);
    if (f.vMax < f.vMin)
        std::swap(f.vMax, f.vMin);

    AxisLimits& t = g.x;
    AxisLimits& v = g.y;
    t.max = f.tMax;
    if (RoundToDigits(t.absMax, DigitsForRange(chronon)) < t.max) {
        t.max = t.absMax; // the run time
        messages.push_back("Time axis maximum is too large.\nSetting value to match run time.");
    }
    t.min = f.tMin;
    v.absMax = f.vAbsMax;
    v.absMin = f.vAbsMin;
    v.max = f.vMax;
    if (v.absMax < v.max) {
        v.max = v.absMax;
        messages.push_back("Vertical axis working maximum is too large.\n"
                           "Setting value to match absolute maximum.");
    }
    v.min = f.vMin;
    if (v.absMin > v.min) {
        v.min = v.absMin;
        messages.push_back("Vertical axis working minimum is too small.\n"
                           "Setting value to match absolute minimum.");
    }
    if (!LimitsAreOpen(g)) { // equal fields, or a window held beyond the other end
        g = before;
        return {kClosedRangeMessage};
    }
    return messages;
}

AutoScaleResult AutoScale(const std::vector<VarExtent>& vars, AutoScaleDigits rule)
{
    double hi = -1e30, lo = 1e30;
    for (const VarExtent& v : vars) {
        if (!v.shown)
            continue;
        // A diverged run records infinite extents; they would make every limit NaN.
        if (std::isfinite(v.max))
            hi = std::max(hi, v.max);
        if (std::isfinite(v.min))
            lo = std::min(lo, v.min);
    }
    if (hi == -1e30)
        hi = 10.0;
    if (lo == 1e30)
        lo = -10.0;
    if (!(hi > lo)) { // nothing moved: a range about the one value
        const double half = hi != 0 ? std::fabs(hi) / 20 : 1.0;
        hi += half;
        lo -= half;
    }

    int d = -kMaxDigits;
    if (rule == AutoScaleDigits::Overall) {
        d = DigitsForRange(hi - lo);
    } else {
        for (const VarExtent& v : vars)
            d = std::max(d, DigitsForRange(v.max - v.min));
    }
    const double newHi = RoundToDigits(hi + (hi - lo) / 20, d);
    const double newLo = RoundToDigits(lo - (newHi - lo) / 20, d);
    if (!RangeIsOpen(newLo, newHi)) // the digits are too few for so small a range
        return {lo - (hi - lo) / 20, hi + (hi - lo) / 20};
    return {newLo, newHi};
}
