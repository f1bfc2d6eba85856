#pragma once
// Zoom, pan and reset of a 2-D view's limit block: the working window moves and scales inside
// its absolute bounds. No Qt here.
#include "model/core/LimitBlocks.h"

void ZoomNear(PlotLimits& g); // each half-range / 1.1 about its centre, no clamp
void ZoomFar(PlotLimits& g);  // each half-range * 1.1, each limit then clamped by itself
void PanUp(PlotLimits& g);    // by half the range, keeping the range, up to the bound
void PanDown(PlotLimits& g);
void PanLeft(PlotLimits& g);
void PanRight(PlotLimits& g);
void ResetLimits(PlotLimits& g); // working window := absolute bounds

bool CanZoomFar(const PlotLimits& g); // some working limit lies inside its bound
bool CanPanUp(const PlotLimits& g);
bool CanPanDown(const PlotLimits& g);
bool CanPanLeft(const PlotLimits& g);
bool CanPanRight(const PlotLimits& g);
