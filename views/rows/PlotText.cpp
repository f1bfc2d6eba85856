#include "views/rows/PlotText.h"

#include <algorithm>
#include <cmath>

namespace {
int ClampDigits(double d)
{
    return static_cast<int>(std::clamp(d, double(-kMaxDigits), double(kMaxDigits)));
}

double SaneRange(double range)
{
    return (std::isfinite(range) && range > 0.0) ? range : 1.0;
}
} // namespace

int DigitsForRange(double range)
{
    return ClampDigits(4.0 - std::trunc(std::log10(SaneRange(range))));
}

int DigitsForStep(double dt)
{
    return ClampDigits(std::trunc(4.0 - std::log10(SaneRange(dt))));
}

int DigitsForTableColumn(double range)
{
    return ClampDigits(5.0 - std::trunc(std::log10(SaneRange(range))));
}

int DigitsForTableTime(double dt)
{
    return ClampDigits(4.0 - std::trunc(std::log(SaneRange(dt))));
}

std::string FormatNumber(double value, int digits)
{
    return FormatGeneral(RoundToDigits(value, digits));
}
