#include "views/graph/RealSpaceRules.h"

#include <cmath>

const char* RealSpaceSubtitle(int mode)
{
    static const char* const kSubtitles[5] = {" p vs t", " p,v vs time", " p,v vs time, damped",
                                              " p vs v", " p vs v, damped"};
    return mode >= 1 && mode <= 5 ? kSubtitles[mode - 1] : "";
}

RealSpaceWorld RealSpaceWindow(int mode, const CModelSettings& s)
{
    if (IsPhaseMode(mode))
        return {s.m_dPOMin1, s.m_dPOMax1, s.m_dPOMin2, s.m_dPOMax2};
    return {s.m_dGraphVMin, s.m_dGraphVMax, s.m_dGraphTMax, -s.m_dGraphTMax};
}

namespace {
int Excursion(int L, double a)
{
    return ClampToPixel(L * std::sin(a));
}
} // namespace

Pendulum PendulumAt(int x0, int y0, int L, double angle)
{
    const CPoint pivot(x0, ClampToPixel(double(y0) - kBobRadius - L));
    const CPoint bob(ClampToPixel(double(pivot.x) + Excursion(L, angle)),
                     ClampToPixel(double(pivot.y) + ClampToPixel(L * std::cos(angle))));
    return {pivot, bob};
}

CPoint TimeModePoint(int x0, int L, double value, int py)
{
    return {ClampToPixel(double(x0) + Excursion(L, value)), py};
}

CPoint PhaseModePoint(int x0, int y0, int plotHeight, int L, double x, double xp)
{
    return {ClampToPixel(double(x0) + Excursion(L, x)),
            ClampToPixel(double(y0) + plotHeight / 4 - Excursion(L, xp))};
}
