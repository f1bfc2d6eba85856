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
