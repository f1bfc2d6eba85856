#pragma once
// The left margin of the orbit views in space, reading upwards: the initial values of the kind
// one text height apart, ending 5 pixels below the plot's middle, and the time base starting 5
// pixels above it.
#include "model/core/ModelSettings.h"

#include <vector>

class CDC;
class CModelCore;
class CPlotPage;

// digits: of each initial value in the kind's order (one for each value shown).
void DrawMiddleLeftMargin(CDC* pDC, const CPlotPage& page, SystemKind kind, const CModelCore& s,
                          const std::vector<int>& digits, int digitsDt);
