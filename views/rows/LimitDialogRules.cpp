#include "views/rows/LimitDialogRules.h"

#include "model/core/NumberText.h"
#include "views/rows/PlotText.h"

#include <algorithm>
#include <cmath>
#include <utility>

const char* const kClosedRangeMessage =
    "The maximum of each axis must be greater than its minimum.\nThe limits are unchanged.";

namespace {
// A data extent that does not hold numbers (a diverged run) is taken as the default box.
void MakeFinite(DataExtent& e)
{
    if (!std::isfinite(e.min) || !std::isfinite(e.max))
        e = {-10, 10};
}

// A range too small to show is widened by 10 on each side (after the digits were taken).
void WidenFlat(DataExtent& e)
{
    if (e.max - e.min < 3e-30) {
        e.max += 10;
        e.min -= 10;
    }
}

// Padded by a twentieth: the maximum first, the minimum from the new, rounded maximum. Digits
// too few for so small a range would close it: then the padding stays unrounded.
AxisLimits Padded(const DataExtent& e, int digits)
{
    const double hi = RoundToDigits(e.max + (e.max - e.min) / 20, digits);
    const double lo = RoundToDigits(e.min - (hi - e.min) / 20, digits);
    if (RangeIsOpen(lo, hi))
        return {lo, hi, lo, hi};
    const double rawHi = e.max + (e.max - e.min) / 20;
    const double rawLo = e.min - (rawHi - e.min) / 20;
    return {rawLo, rawHi, rawLo, rawHi};
}
} // namespace

PlotLimits AutoScale2D(DataExtent& x, DataExtent& y, bool exactH)
{
    MakeFinite(x);
    MakeFinite(y);
    const int n = std::max(DigitsForRange(x.max - x.min), DigitsForRange(y.max - y.min));
    WidenFlat(x);
    WidenFlat(y);
    PlotLimits g;
    g.y = Padded(y, n);
    g.x = exactH ? AxisLimits{x.min, x.max, x.min, x.max} : Padded(x, n);
    return g;
}

std::array<AxisLimits, 3> AutoScale3D(std::array<DataExtent, 3>& e)
{
    std::array<AxisLimits, 3> a;
    for (int i = 0; i < 3; ++i) {
        MakeFinite(e[i]);
        const int digits = DigitsForRange(e[i].max - e[i].min);
        WidenFlat(e[i]);
        a[i] = Padded(e[i], digits);
    }
    return a;
}

std::string LimitCaption(const std::string& prefix, const std::string& name, bool max,
                         bool absolute, const char* key)
{
    return (max ? "Maximum " : "Minimum ") + name + " (" + prefix + (absolute ? "a" : "") +
           (key ? std::string(key) : name) + (max ? "hi)" : "lo)");
}

AxisLimits RoundedForDialog(const AxisLimits& a)
{
    const int working = DigitsForRange(a.max - a.min),
              absolute = DigitsForRange(a.absMax - a.absMin);
    return {RoundToDigits(a.min, working), RoundToDigits(a.max, working),
            RoundToDigits(a.absMin, absolute), RoundToDigits(a.absMax, absolute)};
}

std::vector<std::string> HoldWorkingInside(AxisLimits* axes, const char* const* names, int n,
                                           const AxisLimits* before)
{
    std::vector<std::string> messages;
    for (int i = 0; i < n; ++i) {
        AxisLimits& a = axes[i];
        if (a.absMax < a.absMin)
            std::swap(a.absMax, a.absMin);
        if (a.max < a.min)
            std::swap(a.max, a.min);
        const std::string name = names[i];
        if (a.max > a.absMax) {
            a.max = a.absMax;
            messages.push_back("Working " + name +
                               " upper limit is too high.\nSetting value to match absolute limit.");
        }
        if (a.min < a.absMin) {
            a.min = a.absMin;
            messages.push_back("Working " + name +
                               " lower limit is too low.\nSetting value to match absolute limit.");
        }
    }
    for (int i = 0; i < n; ++i)
        if (!RangeIsOpen(axes[i].min, axes[i].max) ||
            !RangeIsOpen(axes[i].absMin, axes[i].absMax)) {
            std::copy(before, before + n, axes);
            return {kClosedRangeMessage};
        }
    return messages;
}
