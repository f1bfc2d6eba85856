// Plot geometry and number text under arbitrary limits, window sizes and points: every result
// stays a defined, bounded value (the sanitizers catch the rest).
#include "views/graph/GraphRules.h"
#include "views/rows/LimitRules.h"
#include "views/rows/PlotGeometry.h"
#include "views/rows/PlotText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
template <typename T> T Take(const std::uint8_t*& data, std::size_t& size)
{
    T v{};
    const std::size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    C2DPlotGeometry g;
    g.m_dXMin = Take<double>(data, size);
    g.m_dXMax = Take<double>(data, size);
    g.m_dYMin = Take<double>(data, size);
    g.m_dYMax = Take<double>(data, size);
    const CRect client(0, 0, Take<std::uint16_t>(data, size), Take<std::uint16_t>(data, size));
    const int h = Take<std::uint8_t>(data, size);
    const int widths[5] = {h, h, h, h, h};
    g.Layout(client, h, widths);

    const double wx = Take<double>(data, size), wy = Take<double>(data, size);
    const int px = g.WorldToPixelX(wx), py = g.WorldToPixelY(wy);
    Check(px >= -kPixelLimit - 1000 && px <= kPixelLimit + 1000);
    Check(py >= -kPixelLimit && py <= kPixelLimit);
    (void)g.PixelToWorldX(px);
    (void)g.PixelToWorldY(py);

    CPoint a(g.WorldToPixelX(Take<double>(data, size)), g.WorldToPixelY(Take<double>(data, size)));
    CPoint b(px, py);
    if (g.ClipToPlotRect(a, b)) {
        Check(a.x >= -2 * kPixelLimit && a.x <= 2 * kPixelLimit);
        Check(b.y >= -2 * kPixelLimit && b.y <= 2 * kPixelLimit);
    }

    const int d = DigitsForRange(g.m_dXMax - g.m_dXMin);
    Check(d >= -kMaxDigits && d <= kMaxDigits);
    Check(!FormatNumber(wx, d).empty());
    Check(!FormatNumber(wy, Take<std::int8_t>(data, size)).empty());

    PlotLimits lim{{g.m_dXMin, g.m_dXMax, 0.0, g.m_dXMax}, {g.m_dYMin, g.m_dYMax, wx, wy}};
    ZoomFar(lim);
    PanRight(lim);
    (void)ApplyLimitFields(lim, LimitFieldsFor(lim, Take<double>(data, size)), wx);
    (void)AutoScale({{g.m_dYMin, g.m_dYMax, true}, {wx, wy, true}}, AutoScaleDigits::PerVariable);
    return 0;
}
