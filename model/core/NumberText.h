#pragma once
// Rounding to significant digits and the text of one data-table value. No Qt, no locale.
#include <cstdint>
#include <string>

// Rounds x half away from zero: to nDigits decimal places when |x| <= 10 or when x has at least
// nDigits integer digits past the first; otherwise to nDigits + 1 significant digits.
// A negative nDigits rounds to tens, hundreds, ... An infinite x gives NaN.
double RoundToDigits(double x, int nDigits);

// Writes value rounded to nDigits (3 significant digits above 1 000 000) in the %g form with
// a three-digit exponent ("1.235e+007"), with "+" before values that are not negative when
// bSign is set, left-justified and padded with blanks to nWidth, never cut. pszOut holds at
// least max(nWidth, 13) + 1 characters. Returns the length of the text written.
int FormatTableValue(char* pszOut, double value, int nDigits, std::uint8_t bSign, int nWidth);

// A number as the replies show it: the stream's default form (six significant digits, %g style,
// classic locale) with the exponent widened to three digits: "6.28319", "1e-005", "1e+030".
std::string NumberToString(double v);
