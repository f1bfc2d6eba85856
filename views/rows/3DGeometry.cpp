#include "views/rows/3DGeometry.h"

#include "model/core/LimitBlocks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kPi = 3.14159265358979323846;
} // namespace

const int C3DPlotGeometry::kBoxEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                               {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

C3DPlotGeometry::C3DPlotGeometry() : CPlotPage(48, 64, 48, 32)
{
    SetPitchDegrees(m_nPitch);
    SetYawDegrees(m_nYaw);
}

void C3DPlotGeometry::Layout(const CRect& client, int h, const int w[7])
{
    LayoutPage(client, h);
    const CRect p = m_rcPlot;

    const int r = client.right;
    const int mid = (p.top + p.bottom) / 2;
    auto anchor = [](int left, int y, int right) { return CRect(left, y, right, y); };
    m_rcCaption[0] = anchor(r - h, p.bottom - 50 + w[0], r);
    m_rcCaption[1] = anchor(r - h, p.top + w[1], r);
    m_rcCaption[2] = anchor(r - 2 * h, p.top + w[2], r - h);
    m_rcCaption[3] = anchor(r - 3 * h + 2, p.top + w[3], r - 2 * h);
    m_rcCaption[4] = anchor(r - h, mid + w[4], r);
    m_rcCaption[5] = anchor(r - 2 * h, mid + w[5], r - h);
    m_rcCaption[6] = anchor(r - 3 * h + 2, mid + w[6], r - 2 * h);
}

void C3DPlotGeometry::SetPitchDegrees(int nDeg)
{
    m_nPitch = nDeg;
    m_dPitch = nDeg * kPi / 180;
    m_dSinPitch = std::sin(m_dPitch);
    m_dCosPitch = std::cos(m_dPitch);
}

void C3DPlotGeometry::SetYawDegrees(int nDeg)
{
    m_nYaw = nDeg;
    m_dYaw = nDeg * kPi / 180;
    m_dSinYaw = std::sin(m_dYaw);
    m_dCosYaw = std::cos(m_dYaw);
}

namespace {
double AxisScale(int size, double lo, double hi)
{
    return hi == lo ? HUGE_VAL : size / (hi - lo);
}
} // namespace

double C3DPlotGeometry::ScaleX() const
{
    return AxisScale(m_nBoxSize, m_dXLo, m_dXHi);
}
double C3DPlotGeometry::ScaleY() const
{
    return AxisScale(m_nBoxSize, m_dYLo, m_dYHi);
}
double C3DPlotGeometry::ScaleZ() const
{
    return AxisScale(m_nBoxSize, m_dZLo, m_dZHi);
}

C3DProjection C3DPlotGeometry::Projection() const
{
    C3DProjection p{ScaleX(),  ScaleY(),    ScaleZ(),    m_dSinYaw,
                    m_dCosYaw, m_dSinPitch, m_dCosPitch, m_ptOrigin};
    p.reachX = C3DProjection::Reach(m_ptOrigin.x);
    p.reachY = C3DProjection::Reach(m_ptOrigin.y);
    return p;
}

// The offsets are held to +-2^30 first, so each is an int (one not a number comes to -2^30, out
// of reach); a point whose offsets' whole pixels lie within reach takes no clamp, and nor does
// a fraction past the reach (the clamps give the same whole pixel).
bool C3DProjection::NearPixels(const double* u, const double* v, int n, CPoint* out) const
{
    const double most = 1 << 30;
    const int rx = reachX, ry = reachY;
    const auto ox = static_cast<unsigned>(origin.x), oy = static_cast<unsigned>(origin.y);
    int near = 1; // no branch a point
    for (int k = 0; k < n; ++k) {
        const int iu = static_cast<int>(std::max(-most, std::min(u[k], most)));
        const int iv = static_cast<int>(std::max(-most, std::min(v[k], most)));
        near &= (iu >= -rx) & (iu <= rx) & (iv >= -ry) & (iv <= ry);
        // Wrapping, not overflowing, where the pixel is out of reach and given again.
        out[k] = {static_cast<int>(ox + static_cast<unsigned>(iu)),
                  static_cast<int>(oy - static_cast<unsigned>(iv))};
    }
    return near;
}

CPoint C3DPlotGeometry::CalcOrigin() const
{
    const double xc = -0.5 * (m_dXLo + m_dXHi) * ScaleX();
    const double yc = -0.5 * (m_dYLo + m_dYHi) * ScaleY();
    const double zc = -0.5 * (m_dZLo + m_dZHi) * ScaleZ();
    const CRect& p = m_rcPlot;
    const int u = ClampToPixel(xc * m_dSinYaw + yc * m_dCosYaw);
    const int v = ClampToPixel((yc * m_dSinYaw - xc * m_dCosYaw) * m_dSinPitch + zc * m_dCosPitch);
    return {ClampToPixel(double(u) + (p.left + p.right) / 2 + m_ptPan.x),
            ClampToPixel(double((p.top + p.bottom) / 2) - v + m_ptPan.y)};
}

CPoint C3DPlotGeometry::BoxCorner(int i) const
{
    return Project(i & 1 ? m_dXHi : m_dXLo, i & 2 ? m_dYHi : m_dYLo, i & 4 ? m_dZHi : m_dZLo);
}

void C3DPlotGeometry::SetCylinderLimits(double rMin, double rMax, double hMin, double hMax)
{
    m_cyl.SetLimits(rMin, rMax, hMin, hMax, m_dXHi - m_dXLo, m_dYHi - m_dYLo);
}

// --- the forcing-phase cylinder ------------------------------------------------------------

void CylinderScales::SetLimits(double rMin, double rMax, double hMin, double hMax, double boxRangeX,
                               double boxRangeY)
{
    m_dRadiusOffset = boxRangeX / 2;
    if (RangeIsOpen(rMin, rMax)) {
        m_dRadiusMin = rMin;
        m_dRadiusMax = rMax;
        m_dRadiusScale = boxRangeX / 2 / (rMax - rMin);
    }
    if (RangeIsOpen(hMin, hMax)) {
        m_dHeightMin = hMin;
        m_dHeightMax = hMax;
        m_dHeightScale = boxRangeY / 2 / (hMax - hMin);
    }
    m_dRadiusCentre = m_dRadiusScale * (m_dRadiusMin + m_dRadiusMax) / 2;
    m_dHeightCentre = m_dHeightScale * (m_dHeightMin + m_dHeightMax) / 2;
}

Point3 CylinderScales::Map(double angFreq, double t, double x, double v) const
{
    const double theta = angFreq * t; // the phase pa is not added
    const double r = m_dRadiusOffset + m_dRadiusScale * x;
    return {r * std::cos(theta), r * std::sin(theta), m_dHeightScale * v};
}

// --- the box size --------------------------------------------------------------------------

int BoxZoom::HomeSize(int plotWidth, int plotHeight) const
{
    const long long side = std::max(0, std::min(plotWidth, plotHeight));
    return static_cast<int>(side * shareNum / std::max(1, shareDen));
}

int BoxZoom::Nearer(int size) const
{
    return ClampToPixel(std::trunc(size * step));
}

int BoxZoom::Farther(int size) const
{
    return ClampToPixel(std::trunc(size / step));
}
