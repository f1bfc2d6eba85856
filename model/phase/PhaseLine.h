#pragma once
// The phase line of a one-variable model: x' = f(x, t) at every pixel column of the plot and
// the zeros of f between columns, with their stability.
#include "model/phase/PlaneField.h"

#include <vector>

enum PhaseZeroKind : int
{
    kZeroUnstable,   // x' rises through 0: the flow leaves on both sides
    kZeroStable,     // x' falls through 0: the flow arrives from both sides
    kZeroTouchRight, // x' touches 0 from above: the flow runs right on both sides
    kZeroTouchLeft,  // x' touches 0 from below: the flow runs left on both sides
};

struct CPhaseZero
{
    double x;
    PhaseZeroKind kind;
};

struct CPhaseLine
{
    std::vector<double> m_arrX, m_arrXp; // one entry per column, left to right
    std::vector<CPhaseZero> m_zeros;
    double m_dLargest = -1e30, m_dSmallest = 1e30; // of the finite x' values
};

// How fine a touching zero is looked for: a pair of neighbouring columns whose product lies below
// the x' range divided by this. The two views that draw a phase line each have their own.
constexpr double kVectorFieldTouch = 1e6, kBasinsTouch = 1e8;

// Columns left .. right (both included) at time t. A sign change between neighbouring columns
// is a zero at their midpoint (none when it lies across a pole); a pair whose product is positive
// but below the x' range / touch is a touching zero there, unless a neighbouring pair holds a
// zero (it is then that zero's near column); a column where x' is exactly 0 is a zero at that
// column, its kind taken from the columns on either side.
CPhaseLine CalcPhaseLine(IPlaneField& field, const CPlaneFrame& frame, double t, double touch);
