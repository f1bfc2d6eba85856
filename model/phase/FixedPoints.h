#pragma once
// Fixed points of a plane field: found where the traced nullcline of one rate crosses the zero
// of the other, refined by bisection, classified from a finite-difference Jacobian; saddles
// also get their unit eigenvectors, where their manifolds start.
#include "model/phase/PlaneField.h"
#include "model/phase/VFTrack.h"

#include <vector>

enum FixedPointType : int
{
    FP_SADDLE = -1,
    FP_INDETERMINATE = 0,
    FP_STABLE_NODE = 1,
    FP_UNSTABLE_NODE = 2,
    FP_STABLE_SPIRAL = 3,
    FP_UNSTABLE_SPIRAL = 4,
    FP_CENTER = 5,
    FP_NON_SINGULAR = 6,
    FP_DEGENERATE = 7,
};

constexpr int MAX_FIXED_POINTS = 10;
extern const char* const kTooManyFixedPointsMessage;

// The text a fixed point's type is listed with ("saddle point", "stable node", ...).
const char* FixedPointText(int type);

struct CFixedPoint
{
    double x = 0, y = 0;
    int type = FP_INDETERMINATE;
    // Saddles: the unit eigenvectors of the positive (unstable) and the negative (stable)
    // eigenvalue; 0 otherwise.
    double ux = 0, uy = 0, sx = 0, sy = 0;
};

struct CFixedPointSearch
{
    std::vector<CFixedPoint> points;
    bool limitReached = false; // MAX_FIXED_POINTS were stored and the search stopped there
};

// Classifies the point (x, y) with Jacobian steps of s (psg) times the frame's ranges.
CFixedPoint ClassifyFixedPoint(IPlaneField& field, double x, double y, const CPlaneFrame& frame,
                               double s, double t);

// Walks the nullcline of rate `along` (traced by CalcNullcline) for strict sign changes of the
// other rate (none across a pole). Candidates that refine to the same point are one; one that
// does not refine is the same as any within a grid cell (pitch pixels) of it.
CFixedPointSearch FindFixedPoints(IPlaneField& field, int along, const CVFTrack& nullcline,
                                  const CPlaneFrame& frame, int pitch, double s, double t);
