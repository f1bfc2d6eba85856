#include "views/rows/LimitRules.h"

#include <algorithm>

namespace {
// Sets the window to the half-range r around its centre.
void Scale(AxisLimits& a, double r)
{
    const double c = (a.max + a.min) / 2;
    a.min = c - r;
    a.max = c + r;
}

void ZoomFar(AxisLimits& a)
{
    Scale(a, (a.max - a.min) / 2 * 1.1);
    a.max = std::min(a.max, a.absMax);
    a.min = std::max(a.min, a.absMin);
}

void PanTowardsMax(AxisLimits& a)
{
    const double d = a.max - a.min;
    a.max = std::min(a.max + d / 2, a.absMax);
    a.min = a.max - d;
}

void PanTowardsMin(AxisLimits& a)
{
    const double d = a.max - a.min;
    a.min = std::max(a.min - d / 2, a.absMin);
    a.max = a.min + d;
}
} // namespace

void ZoomNear(PlotLimits& g)
{
    Scale(g.x, (g.x.max - g.x.min) / 2 / 1.1);
    Scale(g.y, (g.y.max - g.y.min) / 2 / 1.1);
}

void ZoomFar(PlotLimits& g)
{
    ZoomFar(g.x);
    ZoomFar(g.y);
}

void PanUp(PlotLimits& g)
{
    PanTowardsMax(g.y);
}

void PanDown(PlotLimits& g)
{
    PanTowardsMin(g.y);
}

void PanLeft(PlotLimits& g)
{
    PanTowardsMin(g.x);
}

void PanRight(PlotLimits& g)
{
    PanTowardsMax(g.x);
}

void ResetLimits(PlotLimits& g)
{
    g.x.min = g.x.absMin;
    g.x.max = g.x.absMax;
    g.y.min = g.y.absMin;
    g.y.max = g.y.absMax;
}

bool CanZoomFar(const PlotLimits& g)
{
    return CanPanRight(g) || CanPanLeft(g) || CanPanUp(g) || CanPanDown(g);
}
bool CanPanUp(const PlotLimits& g)
{
    return g.y.absMax > g.y.max;
}
bool CanPanDown(const PlotLimits& g)
{
    return g.y.absMin < g.y.min;
}
bool CanPanLeft(const PlotLimits& g)
{
    return g.x.absMin < g.x.min;
}
bool CanPanRight(const PlotLimits& g)
{
    return g.x.absMax > g.x.max;
}
