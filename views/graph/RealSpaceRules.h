#pragma once
// The geometry of the Newtonian Real Space view: its display modes, the world window of each,
// where a row of the run lies in the lower half, and the pendulum that swings in the upper
// half. x is shown as the angle of a rod of L pixels; its excursion is L sin(x). No Qt here.
#include "model/core/ModelSettings.h"
#include "views/rows/PlotGeometry.h"

constexpr int kBobRadius = 10;

// " p vs t" ... " p vs v, damped" for modes 1 to 5; "" for any other mode.
const char* RealSpaceSubtitle(int mode);
// Modes 4 and up trace x' against x; the others trace against time running downwards.
inline bool IsPhaseMode(int mode)
{
    return mode >= 4;
}

struct RealSpaceWorld
{
    double xMin, xMax, yMin, yMax;
};
// The time modes show -tmax .. tmax downwards (t = 0 in the middle) across the Graph view's
// vertical range; the phase modes the Projected Orbit's window.
RealSpaceWorld RealSpaceWindow(int mode, const CModelSettings& s);

// The rod's length: half the output device's height, less the bob.
inline int RodLength(int vertRes)
{
    return vertRes / 2 - kBobRadius;
}

struct Pendulum
{
    CPoint pivot, bob;
};
// Hanging from L + r above the zero line at x0, so that at angle 0 the bob rests on the line.
Pendulum PendulumAt(int x0, int y0, int L, double angle);

// A row's point in the lower half: the excursion of a value against the row's time pixel, or
// the excursions of x and x' about the phase axis a quarter plot height below the zero line.
CPoint TimeModePoint(int x0, int L, double value, int py);
CPoint PhaseModePoint(int x0, int y0, int plotHeight, int L, double x, double xp);
