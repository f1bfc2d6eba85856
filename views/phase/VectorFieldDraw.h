#pragma once
// The pictures of a vector-field plane: the direction field's two-coloured segments, curves
// (nullclines, tracks) with their branch breaks, the manifolds with one arrowhead per branch,
// and the fixed points' markers with their list. Everything is drawn from world coordinates
// clipped to the plot; a point far outside the plot keeps its segment's direction.
#include "model/phase/FixedPoints.h"
#include "model/phase/Manifolds.h"
#include "model/phase/PlaneField.h"
#include "model/phase/VFTrack.h"
#include "views/base/2DView.h"

#include <array>

// The plot of a page as the phase-plane passes see it.
CPlaneFrame FrameOf(const C2DPlotGeometry& g);

// The segment from (x1, y1) to (x2, y2) in pixels clipped to the plot; false when nothing of it
// is in the plot.
bool PlotSegment(const C2DPlotGeometry& g, double x1, double y1, double x2, double y2, CPoint& p1,
                 CPoint& p2);

// Each segment's tail half in the "DF From" colour and its head half in the "DF To" colour.
void DrawDirectionField(CDC* pDC, const C2DPlotGeometry& g, const CDirectionField& field,
                        COLORREF from, COLORREF to);
// A curve in its pen; a point that starts a branch is not joined to the one before it.
void DrawCurve(CDC* pDC, const C2DPlotGeometry& g, const CVFTrack& curve);
// The manifold records in pairs (stable, unstable): each branch with one arrowhead where it
// first runs more than 50 pixels from its start, pointing the way the flow goes (toward the
// saddle on a stable branch). Points beyond a plot's width or height outside it are not drawn.
void DrawManifolds(CDC* pDC, C2DView& view, const std::array<CVFTrack, kManifoldSlots>& records);
// A circle of radius 4 at the point, filled for the types that attract or circle (stable node,
// stable spiral, center, non-singular, degenerate), open for the others; only strictly inside.
void DrawFixedPointMarker(CDC* pDC, const C2DPlotGeometry& g, double x, double y, int type);
// The markers, and the first MAX_FIXED_POINTS listed at the plot's top left as "(x,y) type".
void DrawFixedPointList(CDC* pDC, const C2DPlotGeometry& g, const std::vector<CFixedPoint>& points);
// The list's line of a point: "(" x "," y ") " and its type's text.
std::string FixedPointLine(const CFixedPoint& p, int digitsX, int digitsY);
// The widest line the list is taken to have, for the area it repaints.
constexpr const char* kWidestFixedPointLine = "(9999999,9999999) degenerate node or star";
