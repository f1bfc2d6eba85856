#pragma once
// The delays as times: each delay in chronons times the chronon, as the runs read them (X:, Y:,
// Z: start at these values). Whatever changes a delay, the forcing period or the chronons per
// cycle recomputes them here.
#include "model/core/ModelSettings.h"

// The chronon from the period and the chronons per cycle, then the three delay times.
void UpdateChrononAndDelays(CModelSettings& s);
