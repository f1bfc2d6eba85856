#pragma once
// The function keywords and the arithmetic rules that scanning and compiled replay share.
#include <cmath>
#include <limits>
#include <string_view>

// Scan order: each longer keyword comes before its shorter prefix.
enum FunctionId : int
{
    FN_ABS,
    FN_ACOS,
    FN_ASIN,
    FN_ATAN,
    FN_COSH,
    FN_COS,
    FN_DLT,
    FN_EXP,
    FN_LOG10,
    FN_LOG,
    FN_POW10,
    FN_RAND,
    FN_SINH,
    FN_SIN,
    FN_SQRT,
    FN_SQR,
    FN_TANH,
    FN_TAN,
    FN_TRUNC,
    FN_XLE,
    FN_XGE,
    FN_YLE,
    FN_YGE,
    FN_ZLE,
    FN_ZGE,
    FN_COUNT
};

inline constexpr std::string_view kFunctionKeywords[FN_COUNT] = {
    "ABS",   "ACOS",  "ASIN", "ATAN", "COSH", "COS",  "DLT", "EXP",  "LOG10",
    "LOG",   "POW10", "RAND", "SINH", "SIN",  "SQRT", "SQR", "TANH", "TAN",
    "TRUNC", "X<=",   "X>=",  "Y<=",  "Y>=",  "Z<=",  "Z>="};

// A zero divisor gives positive infinity whatever the dividend; never an error.
inline double Divide(double dividend, double divisor)
{
    return divisor == 0.0 ? std::numeric_limits<double>::infinity() : dividend / divisor;
}

// x^y: y = 0 gives 1; a negative base needs a whole exponent; exponents above 100 fail.
inline double Power(double x, double y, bool& bError)
{
    if (y == 0.0)
        return 1.0;
    if ((x >= 0.0 || y == std::trunc(y)) && y <= 100.0)
        return std::pow(x, y);
    bError = true;
    return 0.0;
}
