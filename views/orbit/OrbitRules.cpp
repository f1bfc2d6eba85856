#include "views/orbit/OrbitRules.h"

#include "platform/base/TextNumbers.h"

#include <algorithm>
#include <cmath>

int ClampSections(int n)
{
    return std::clamp(n, kMinSections, kMaxSections);
}

std::optional<int> ParseSections(const std::string& text)
{
    double v = 0;
    if (!ReadLeadingNumber(text, v) || v < kMinSections || v > kMaxSections || v != std::trunc(v))
        return std::nullopt;
    return static_cast<int>(v);
}

int SectionOfCycleRow(long long j, int stride, int n)
{
    if (stride <= 0 || n <= 0 || j < 0 || j >= stride)
        return -1;
    if (stride < n) // the second section's row is the first's: the walk stops there
        return j == 0 ? 0 : -1;
    // The sections' rows rise strictly: those before row j are ceil(j n / stride).
    const long long k = (j * n + stride - 1) / stride;
    return k < n && k * stride / n == j ? static_cast<int>(k) : -1;
}
