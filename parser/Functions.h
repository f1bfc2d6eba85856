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

// The functions that cannot fail and read nothing but their argument. The scan, the replays and
// the machine code all call these, so each gives the same bits everywhere.
namespace pure_functions {
inline double Acos(double v)
{
    return std::acos(v);
}
inline double Asin(double v)
{
    return std::asin(v);
}
inline double Atan(double v)
{
    return std::atan(v);
}
inline double Cosh(double v)
{
    return std::cosh(v);
}
inline double Cos(double v)
{
    return std::cos(v);
}
inline double Pow10(double v)
{
    return std::pow(10.0, v);
}
inline double Sinh(double v)
{
    return std::sinh(v);
}
inline double Sin(double v)
{
    return std::sin(v);
}
inline double Tanh(double v)
{
    return std::tanh(v);
}
inline double Tan(double v)
{
    return std::tan(v);
}
inline double Trunc(double v)
{
    return std::trunc(v);
}
} // namespace pure_functions

using PureFunction = double (*)(double);

// The function of a keyword that cannot fail, or null.
inline PureFunction PureFunctionOf(int nFunc)
{
    using namespace pure_functions;
    switch (nFunc) {
    case FN_ACOS:
        return &Acos;
    case FN_ASIN:
        return &Asin;
    case FN_ATAN:
        return &Atan;
    case FN_COSH:
        return &Cosh;
    case FN_COS:
        return &Cos;
    case FN_POW10:
        return &Pow10;
    case FN_SINH:
        return &Sinh;
    case FN_SIN:
        return &Sin;
    case FN_TANH:
        return &Tanh;
    case FN_TAN:
        return &Tan;
    case FN_TRUNC:
        return &Trunc;
    default:
        return nullptr;
    }
}
