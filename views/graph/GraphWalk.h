#pragma once
// Which row of the Graph vs Time view's table a click in the plot means. No Qt here.
#include "views/rows/RingWalk.h"

// Rows posted to the Data Table view for a click at time t; -1 posts nothing.
int ClickedGeneratedRow(double t, double t0, int tableInterval, double chronon);
int ClickedImportedRow(double t, const double* times, int rows);
