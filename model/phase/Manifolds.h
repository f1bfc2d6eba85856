#pragma once
// Saddle manifolds and tracks from clicked points, both integrated with the fixed fifth-order
// step of the plane field (PlaneRKFStep).
#include "model/phase/FixedPoints.h"
#include "model/phase/VFTrack.h"

#include <array>
#include <functional>

constexpr int kManifoldSlots = 10; // five saddles, a stable and an unstable record each

struct CManifoldPens
{
    COLORREF stableColor = 0, unstableColor = 0;
    int stableStyle = 0, unstableStyle = 0, stableWidth = 1, unstableWidth = 1;
};

struct CManifoldResult
{
    int saddles = 0;          // saddles whose two records were filled
    bool ranOut = false;      // more saddles than records: the later ones were left out
    bool outOfMemory = false; // a branch's points could not grow: every record is empty
};

// For each saddle in order (at most five): a stable record of two branches integrated
// backwards from the saddle +- eps along the stable eigenvector and an unstable record
// integrated forwards along the unstable one, mid points per branch (the start point first),
// the second branch starting with break -1. Every step reads the field at time t; each
// branch keeps its own step (-h or h). The slots are replaced; when a branch's points cannot
// be stored (out of memory) they are all left empty.
CManifoldResult CalcManifolds(IPlaneField& field, const std::vector<CFixedPoint>& points,
                              double eps, int mid, double h, double t, const CManifoldPens& pens,
                              std::array<CVFTrack, kManifoldSlots>& slots,
                              IPassProgress* progress = nullptr);

// A track of steps fixed steps of h from (x0, y0): the start point and one point per step.
// Time t is advanced by h before each step and left advanced. When a point cannot be stored
// (out of memory) the track is emptied, outOfMemory is told, and the next steps go on into the
// emptied track.
CVFTrack CalcTrack(IPlaneField& field, double x0, double y0, double& t, double h, int steps,
                   IPassProgress* progress = nullptr,
                   const std::function<void()>& outOfMemory = {});
