#pragma once
// The nullclines of a plane field: where rate i (0 x', 1 y') vanishes. The rate is sampled at
// the corners of a grid of P by P pixel cells; an edge whose corners lie on opposite sides of
// zero (a zero counts with the negative side) holds one crossing, found by bisection, or the
// corner itself when the rate is exactly 0 there; a sign change across a pole holds none. Curves
// are followed from cell to cell in both directions from the first crossing the scan meets; every
// crossing is used once, so a closed curve ends where it started and no walk runs without bound.
#include "model/phase/PlaneField.h"
#include "model/phase/VFTrack.h"

// Traces the nullcline of rate i into track (its points replaced; each curve starts with a
// break -1). Returns whether any crossing was found. complete, when given, tells whether the
// search is finished: some curve runs to the border of the grid or closes, rather than every
// curve stopping inside where no crossing leads on, or the grid has no cell to search.
bool CalcNullcline(IPlaneField& field, int rate, const CPlaneFrame& frame, int pitch, double t,
                   CVFTrack& track, IPassProgress* progress = nullptr, bool* complete = nullptr);

// Bisection of rate i between two world points a and b at whose ends the rate has opposite
// signs (fa, fb): at most 200 halvings, ending when the bracket is no wider than tol. False
// when the sign changes across a pole, not a zero: the rate did not shrink as the bracket
// closed in (it ends above the geometric mean of |fa| and |fb|, or is not finite).
bool BisectRate(IPlaneField& field, int rate, double t, double& ax, double& ay, double fa,
                double& bx, double& by, double fb, double tol);
