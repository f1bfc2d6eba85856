#include "model/phase/Manifolds.h"

#include <algorithm>
#include <new>

namespace {

// mid points from (x, y) onwards, stepping with h at the fixed time t.
void Branch(IPlaneField& field, double x, double y, double h, double t, int mid, bool second,
            CVFTrack& track, CProgressCounter& counter)
{
    for (int i = 0; i < mid; ++i) {
        counter.Count();
        track.Add(x, y, second && i == 0);
        PlaneRKFStep(field, t, h, x, y);
    }
}

void Fill(IPlaneField& field, const CFixedPoint& p, double ex, double ey, double eps, double h,
          double t, int mid, CVFTrack& track, CProgressCounter& counter)
{
    Branch(field, p.x + ex * eps, p.y + ey * eps, h, t, mid, false, track, counter);
    Branch(field, p.x - ex * eps, p.y - ey * eps, h, t, mid, true, track, counter);
}

CManifoldResult FillSaddles(IPlaneField& field, const std::vector<CFixedPoint>& points, double eps,
                            int mid, double h, double t, const CManifoldPens& pens,
                            std::array<CVFTrack, kManifoldSlots>& slots, IPassProgress* progress)
{
    CManifoldResult result;
    slots = {};
    mid = std::max(mid, 0);
    const auto saddles = std::count_if(points.begin(), points.end(),
                                       [](const CFixedPoint& p) { return p.type == FP_SADDLE; });
    CProgressCounter counter(progress, 4LL * mid * saddles);
    int slot = 0;
    for (const CFixedPoint& p : points) {
        if (p.type != FP_SADDLE)
            continue;
        if (slot + 2 > kManifoldSlots) {
            result.ranOut = true;
            break;
        }
        CVFTrack& stable = slots[slot++];
        stable.m_clrLine = pens.stableColor;
        stable.m_nLineStyle = pens.stableStyle;
        stable.m_nLineWidth = pens.stableWidth;
        stable.m_nBranchKind = BranchKind::Stable;
        Fill(field, p, p.sx, p.sy, eps, -h, t, mid, stable, counter); // backwards in time
        CVFTrack& unstable = slots[slot++];
        unstable.m_clrLine = pens.unstableColor;
        unstable.m_nLineStyle = pens.unstableStyle;
        unstable.m_nLineWidth = pens.unstableWidth;
        unstable.m_nBranchKind = BranchKind::Unstable;
        Fill(field, p, p.ux, p.uy, eps, h, t, mid, unstable, counter);
        ++result.saddles;
    }
    return result;
}

} // namespace

CManifoldResult CalcManifolds(IPlaneField& field, const std::vector<CFixedPoint>& points,
                              double eps, int mid, double h, double t, const CManifoldPens& pens,
                              std::array<CVFTrack, kManifoldSlots>& slots, IPassProgress* progress)
{
    try {
        return FillSaddles(field, points, eps, mid, h, t, pens, slots, progress);
    } catch (const std::bad_alloc&) {
        // Half a set of curves would pass for the whole one.
        slots = {};
        CManifoldResult result;
        result.outOfMemory = true;
        return result;
    }
}

CVFTrack CalcTrack(IPlaneField& field, double x0, double y0, double& t, double h, int steps,
                   IPassProgress* progress, const std::function<void()>& outOfMemory)
{
    CVFTrack track(x0, y0);
    CProgressCounter counter(progress, steps);
    double x = x0, y = y0;
    for (int i = 1; i <= steps; ++i) {
        t += h;
        PlaneRKFStep(field, t, h, x, y);
        try {
            track.Add(x, y);
        } catch (const std::bad_alloc&) {
            track.Free();
            if (outOfMemory)
                outOfMemory();
        }
        counter.Count();
    }
    return track;
}
