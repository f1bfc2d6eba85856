#include "views/graph/GraphWalk.h"

#include <climits>

int ClickedGeneratedRow(double t, double t0, int tableInterval, double chronon)
{
    if (!(t >= t0))
        return -1;
    const double row = (t - t0) / (tableInterval * chronon);
    if (std::isnan(row)) // a zero row time
        return -1;
    return row >= INT_MAX ? INT_MAX : static_cast<int>(row);
}

int ClickedImportedRow(double t, const double* times, int rows)
{
    if (rows <= 0 || times == nullptr)
        return -1;
    int i = 0;
    while (i < rows && !(times[i] > t))
        ++i;
    // Past the last imported time the last row is meant.
    return i - 1 < 0 ? 0 : i - 1;
}
