#pragma once
// The limit rules of the Graph vs Time view: zoom, pan, reset, the checks after Set Limits and
// Auto Scale. No Qt here; the view copies the document's members in and out.
#include <string>
#include <vector>

struct GraphLimits
{
    double tMin = 0.0, tMax = 0.0;       // working time window
    double vMin = 0.0, vMax = 0.0;       // working vertical window
    double vAbsMin = 0.0, vAbsMax = 0.0; // vertical bounds of zoom and pan
    double runTime = 0.0;                // the time window's upper bound
    bool operator==(const GraphLimits&) const = default;
};

void ZoomNear(GraphLimits& g);
void ZoomFar(GraphLimits& g);
void PanUp(GraphLimits& g);
void PanDown(GraphLimits& g);
void PanLeft(GraphLimits& g);
void PanRight(GraphLimits& g);
void ResetLimits(GraphLimits& g);

bool CanZoomFar(const GraphLimits& g);
bool CanPanUp(const GraphLimits& g);
bool CanPanDown(const GraphLimits& g);
bool CanPanLeft(const GraphLimits& g);
bool CanPanRight(const GraphLimits& g);

// Values the limits dialog shows, each rounded to the digits of its scale.
struct GraphLimitFields
{
    double tMin = 0, tMax = 0, vMin = 0, vMax = 0, vAbsMin = 0, vAbsMax = 0;
};
GraphLimitFields LimitFieldsFor(const GraphLimits& g, double chronon);

// Takes the dialog's values into g: inverted pairs are put in order, the time maximum and the
// working vertical limits are held inside their bounds. Returns the messages to show, in order.
std::vector<std::string> ApplyLimitFields(GraphLimits& g, GraphLimitFields f, double chronon);

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
