#pragma once
// Page layout and projection of a 3-D plot: the box limits seen at a pitch and a yaw, scaled so
// that one full range of an axis spans the box size, and placed so that the box centre lies on
// the plot centre shifted by the pan. No Qt here: the view class holds this state and draws.
#include "views/base/PlotGeometry.h"

class C3DPlotGeometry : public CPlotPage
{
public:
    C3DPlotGeometry();

    CRect m_rcCaption[7];

    CPoint m_ptOrigin; // screen point of the world origin
    double m_dCosYaw = 0, m_dSinYaw = 0, m_dCosPitch = 0, m_dSinPitch = 0;
    int m_nPitch = 30, m_nYaw = 90;
    double m_dPitch = 0, m_dYaw = 0;
    int m_nBoxSize = 0; // pixels that one full range of an axis spans
    double m_dXHi = 10, m_dXLo = -10, m_dYHi = 10, m_dYLo = -10, m_dZHi = 10, m_dZLo = -10;
    CPoint m_ptPan; // added to the origin

    // Margins 3h, 4h, 3h, 2h and the caption anchors; captionWidths are the widths of
    // "t =", "x =", "y =", "z =", "x' =", "y' =", "y' =".
    void Layout(const CRect& client, int h, const int captionWidths[7]);

    void SetPitchDegrees(int nDeg);
    void SetYawDegrees(int nDeg);

    // Pixels per world unit of each axis; an axis without a range has an infinite scale.
    double ScaleX() const;
    double ScaleY() const;
    double ScaleZ() const;

    // The screen point of a world point (pixels bounded, whatever the scales).
    CPoint Project(double x, double y, double z) const;
    // The origin that puts the box centre on the plot centre plus the pan.
    CPoint CalcOrigin() const;

    // The twelve edges of the box, as pairs of corner indices (bit 0 x, bit 1 y, bit 2 z high).
    static const int kBoxEdges[12][2];
    CPoint BoxCorner(int i) const;
};
