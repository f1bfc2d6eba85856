#include "model/phase/PhaseLine.h"

#include "model/phase/Nullclines.h"

#include <algorithm>
#include <cmath>

namespace {

PhaseZeroKind KindOf(double before, double after)
{
    if (before < 0 && after > 0)
        return kZeroUnstable;
    if (before > 0 && after < 0)
        return kZeroStable;
    return before > 0 ? kZeroTouchRight : kZeroTouchLeft;
}

// A change of sign between the columns at a and b is a zero unless it lies across a pole.
bool ZeroBetween(IPlaneField& field, double t, double a, double fa, double b, double fb)
{
    double ay = 0, by = 0;
    return BisectRate(field, 0, t, a, ay, fa, b, by, fb, std::fabs(b - a) * 1e-6);
}

// A touching zero waits for the pair after it: a near-zero column beside a change of sign is
// that crossing's own, and a simple crossing must not also show the flow passing by.
class CTouchFilter
{
public:
    explicit CTouchFilter(std::vector<CPhaseZero>& zeros) : m_zeros(zeros) {}
    // The next pair of finite columns; crossed when its sign changes or a column is exactly 0
    // (a zero marked there, whose neighbours' near-zero pairs are its own).
    void Pair(bool crossed)
    {
        if (m_waiting && !crossed)
            m_zeros.push_back(m_touch);
        m_waiting = false;
        m_crossedLast = crossed;
    }
    void Touch(const CPhaseZero& z)
    {
        const bool besideCrossing = m_crossedLast;
        Pair(false);
        m_touch = z;
        m_waiting = !besideCrossing;
    }
    void Break() { Pair(false); }

private:
    std::vector<CPhaseZero>& m_zeros;
    CPhaseZero m_touch{};
    bool m_waiting = false, m_crossedLast = false;
};

} // namespace

CPhaseLine CalcPhaseLine(IPlaneField& field, const CPlaneFrame& frame, double t, double touch)
{
    CPhaseLine line;
    CTouchFilter touches(line.m_zeros);
    const double threshold = std::fabs(frame.YRange()) / touch;
    field.SetPulse(t, field.Chronon());
    double prevX = 0, prev = NAN;
    // A column where x' is exactly 0, waiting for the sign on its right.
    bool pending = false;
    double pendingX = 0, pendingBefore = 0;
    for (int px = frame.left; px <= frame.right; ++px) {
        const double x = frame.PixelToWorldX(px);
        const double xp = field.Rate(0, t, x, 0);
        line.m_arrX.push_back(x);
        line.m_arrXp.push_back(xp);
        if (!std::isfinite(xp)) {
            touches.Break();
            pending = false;
            prev = NAN;
            continue;
        }
        line.m_dLargest = std::max(line.m_dLargest, xp);
        line.m_dSmallest = std::min(line.m_dSmallest, xp);
        if (xp == 0) {
            if (!pending && std::isfinite(prev) && prev != 0) {
                touches.Pair(true);
                pending = true;
                pendingX = x;
                pendingBefore = prev;
            }
        } else if (pending) {
            touches.Pair(true);
            line.m_zeros.push_back({pendingX, KindOf(pendingBefore, xp)});
            pending = false;
        } else if (std::isfinite(prev) && prev != 0) {
            const double product = xp * prev, mid = (x + prevX) * 0.5;
            if (product >= 0)
                product < threshold ? touches.Touch({mid, KindOf(prev, xp)}) : touches.Pair(false);
            else {
                touches.Pair(true);
                if (ZeroBetween(field, t, prevX, prev, x, xp))
                    line.m_zeros.push_back({mid, KindOf(prev, xp)});
            }
        }
        prevX = x;
        prev = xp;
    }
    touches.Break();
    return line;
}
