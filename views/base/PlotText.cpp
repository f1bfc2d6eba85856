#include "views/base/PlotText.h"

#include <algorithm>
#include <charconv>
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

#ifdef VELTRIX_LOCAL_ROUND
// Stand-in until the shared rounding lands.
namespace {
double Pow10(int k)
{
    double r = 1.0, b = 10.0;
    for (unsigned n = static_cast<unsigned>(k < 0 ? -k : k); n; n >>= 1, b *= b)
        if (n & 1)
            r *= b;
    return k < 0 ? 1.0 / r : r;
}
} // namespace

double RoundToDigits(double x, int nDigits)
{
    int e = 0;
    if (x > 10.0 || x < -10.0) {
        const int ep = static_cast<int>(std::trunc(std::log10(std::fabs(x))));
        if (nDigits > std::abs(ep)) {
            x = x / Pow10(ep);
            e = ep;
        }
    }
    double z = x * Pow10(nDigits);
    if (x > 0)
        z += 0.5;
    else if (x < 0)
        z -= 0.5;
    const double t = z - std::fmod(z, 1.0);
    const int k = e - nDigits;
    return t * Pow10(k);
}
#endif

int DigitsForRange(double range)
{
    return ClampDigits(4.0 - std::trunc(std::log10(SaneRange(range))));
}

int DigitsForStep(double dt)
{
    return ClampDigits(std::trunc(4.0 - std::log10(SaneRange(dt))));
}

std::string FormatGeneral(double value, int precision)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    std::string text(buf, res.ptr);
    // Exponents keep at least three digits, as the program has always written them.
    const auto e = text.find('e');
    if (e != std::string::npos && e + 2 < text.size()) {
        const std::size_t digits = text.size() - (e + 2);
        if (digits < 3)
            text.insert(e + 2, 3 - digits, '0');
    }
    return text;
}

std::string FormatNumber(double value, int digits)
{
    return FormatGeneral(RoundToDigits(value, digits));
}
