#include "model/files/DataFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const DataFileKind kKinds[kSystemKinds] = {
    {SystemKind::Newtonian,
     "*.dnd",
     "Veltrix Data Files (*.dnd)",
     "Newtonian System in 1 Variable - Data",
     0,
     3,
     {{"position", kSlotX}, {"velocity", kSlotXp}, {"acceleration", kSlotXpp}}},
    {SystemKind::OneVariable,
     "*.d1d",
     "Veltrix Data Files (*.d1d)",
     "Dynamical System in 1 Variable - Data",
     3,
     2,
     {{"position", kSlotX}, {"velocity", kSlotXp}}},
    {SystemKind::TwoVariable,
     "*.d2d",
     "Veltrix Data Files (*.d2d)",
     "Dynamical System in 2 Variables - Data",
     1,
     4,
     {{"x", kSlotX}, {"y", kSlotY}, {"x'", kSlotXp}, {"y'", kSlotYp}}},
    {SystemKind::ThreeVariable,
     "*.d3d",
     "Veltrix Data Files (*.d3d)",
     "Dynamical System in 3 Variables - Data",
     2,
     6,
     {{"x", kSlotX},
      {"y", kSlotY},
      {"z", kSlotZ},
      {"x'", kSlotXp},
      {"y'", kSlotYp},
      {"z'", kSlotZp}}},
};

bool IsNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The value of a run as the C library's atof reads it: an optional sign, then as much of a
// decimal number as there is; nothing readable is 0, a value out of range its limit.
double RunValue(const char* p, const char* pEnd)
{
    bool bNegative = false;
    if (p != pEnd && (*p == '+' || *p == '-')) {
        bNegative = *p == '-';
        ++p;
    }
    if (p == pEnd || *p == '+' || *p == '-')
        return 0.0;
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(p, pEnd, v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const std::string_view text(p, static_cast<std::size_t>(ptr - p));
        const auto e = text.find_first_of("eE");
        const bool bTiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        v = bTiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        v = 0.0;
    }
    return bNegative ? -v : v;
}

int BoundedDigits(double base, double arg)
{
    const double a = (std::isfinite(arg) && arg > 0.0) ? arg : 1.0;
    return static_cast<int>(std::clamp(base - std::trunc(std::log10(a)), -99.0, 99.0));
}

} // namespace

const DataFileKind& DataKind(SystemKind kind)
{
    return kKinds[static_cast<int>(kind)];
}

int ParseDataLine(std::string_view line, double* pOut, int nMost)
{
    const char* p = line.data();
    const char* const pEnd = p + line.size();
    int n = 0;
    while (n < nMost) {
        while (p != pEnd && IsBlank(*p))
            ++p;
        const char* pRun = p;
        while (p != pEnd && IsNumberChar(*p))
            ++p;
        if (p == pRun)
            break;
        pOut[n++] = RunValue(pRun, p);
    }
    return n;
}

int ExportTimeDigits(double dChronon)
{
    return BoundedDigits(4.0, dChronon);
}

int ExportDataDigits(double dRange)
{
    return BoundedDigits(5.0, dRange);
}
