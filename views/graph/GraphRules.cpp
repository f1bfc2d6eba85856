#include "views/graph/GraphRules.h"

#include "views/base/PlotText.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// Sets the window to the half-range r around its centre.
void Scale(double& lo, double& hi, double r)
{
    const double c = (hi + lo) / 2;
    lo = c - r;
    hi = c + r;
}
} // namespace

void ZoomNear(GraphLimits& g)
{
    Scale(g.tMin, g.tMax, (g.tMax - g.tMin) / 2 / 1.1);
    Scale(g.vMin, g.vMax, (g.vMax - g.vMin) / 2 / 1.1);
}

void ZoomFar(GraphLimits& g)
{
    Scale(g.tMin, g.tMax, (g.tMax - g.tMin) / 2 * 1.1);
    Scale(g.vMin, g.vMax, (g.vMax - g.vMin) / 2 * 1.1);
    g.tMax = std::min(g.tMax, g.runTime);
    g.tMin = std::max(g.tMin, 0.0);
    g.vMax = std::min(g.vMax, g.vAbsMax);
    g.vMin = std::max(g.vMin, g.vAbsMin);
}

void PanUp(GraphLimits& g)
{
    const double d = g.vMax - g.vMin;
    g.vMax = std::min(g.vMax + d / 2, g.vAbsMax);
    g.vMin = g.vMax - d;
}

void PanDown(GraphLimits& g)
{
    const double d = g.vMax - g.vMin;
    g.vMin = std::max(g.vMin - d / 2, g.vAbsMin);
    g.vMax = g.vMin + d;
}

void PanLeft(GraphLimits& g)
{
    const double d = g.tMax - g.tMin;
    g.tMin = std::max(g.tMin - d / 2, 0.0);
    g.tMax = g.tMin + d;
}

void PanRight(GraphLimits& g)
{
    const double d = g.tMax - g.tMin;
    g.tMax = std::min(g.tMax + d / 2, g.runTime);
    g.tMin = g.tMax - d;
}

void ResetLimits(GraphLimits& g)
{
    g.tMin = 0.0;
    g.tMax = g.runTime;
    g.vMin = g.vAbsMin;
    g.vMax = g.vAbsMax;
}

bool CanZoomFar(const GraphLimits& g)
{
    return CanPanRight(g) || CanPanLeft(g) || CanPanUp(g) || CanPanDown(g);
}
bool CanPanUp(const GraphLimits& g)
{
    return g.vAbsMax > g.vMax;
}
bool CanPanDown(const GraphLimits& g)
{
    return g.vAbsMin < g.vMin;
}
bool CanPanLeft(const GraphLimits& g)
{
    return g.tMin > 0;
}
bool CanPanRight(const GraphLimits& g)
{
    return g.runTime > g.tMax;
}

GraphLimitFields LimitFieldsFor(const GraphLimits& g, double chronon)
{
    const int dt = DigitsForRange(chronon);
    const int da = DigitsForRange(g.vAbsMax - g.vAbsMin);
    const int dv = DigitsForRange(g.vMax - g.vMin);
    return {RoundToDigits(g.tMin, dt), RoundToDigits(g.tMax, dt),    RoundToDigits(g.vMin, dv),
            RoundToDigits(g.vMax, dv), RoundToDigits(g.vAbsMin, da), RoundToDigits(g.vAbsMax, da)};
}

std::vector<std::string> ApplyLimitFields(GraphLimits& g, GraphLimitFields f, double chronon)
{
    std::vector<std::string> messages;
    if (f.tMax < f.tMin)
        std::swap(f.tMax, f.tMin);
    if (f.vAbsMax < f.vAbsMin)
        std::swap(f.vAbsMax, f.vAbsMin);
    if (f.vMax < f.vMin)
        std::swap(f.vMax, f.vMin);

    g.tMax = f.tMax;
    if (RoundToDigits(g.runTime, DigitsForRange(chronon)) < g.tMax) {
        g.tMax = g.runTime;
        messages.push_back("Time axis maximum is too large.\nSetting value to match run time.");
    }
    g.tMin = f.tMin;
    g.vAbsMax = f.vAbsMax;
    g.vAbsMin = f.vAbsMin;
    g.vMax = f.vMax;
    if (g.vAbsMax < g.vMax) {
        g.vMax = g.vAbsMax;
        messages.push_back("Vertical axis working maximum is too large.\n"
                           "Setting value to match absolute maximum.");
    }
    g.vMin = f.vMin;
    if (g.vAbsMin > g.vMin) {
        g.vMin = g.vAbsMin;
        messages.push_back("Vertical axis working minimum is too small.\n"
                           "Setting value to match absolute minimum.");
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

    int d = -kMaxDigits;
    if (rule == AutoScaleDigits::Overall) {
        d = DigitsForRange(hi - lo);
    } else {
        for (const VarExtent& v : vars)
            d = std::max(d, DigitsForRange(v.max - v.min));
    }
    const double newHi = RoundToDigits(hi + (hi - lo) / 20, d);
    const double newLo = RoundToDigits(lo - (newHi - lo) / 20, d);
    return {newLo, newHi};
}
