#pragma once
// Number text of plot labels, readouts and legends. No Qt here.
#include <string>

#include "model/core/NumberText.h"
#include "platform/base/TextNumbers.h"

// 4 - trunc(log10(range)): the significant digits for an axis of that range. A zero, negative
// or non-finite range counts as 1; the result stays within +-kMaxDigits.
int DigitsForRange(double range);
// trunc(4 - log10(dt)): the digits of the time step (truncated after the subtraction).
int DigitsForStep(double dt);
// The digits of a Data Table column: 5 - trunc(log10(range)) for values, and for time
// 4 - trunc(ln(dt)), with the natural logarithm. Bounded as above.
int DigitsForTableColumn(double range);
int DigitsForTableTime(double dt);
constexpr int kMaxDigits = 99;

// The value rounded to the given digits, then written as %g with six significant digits and a
// three-digit exponent ("1e+030"), whatever the locale.
std::string FormatNumber(double value, int digits);
