#pragma once
// Page layout and projection of a 3-D plot: the box limits seen at a pitch and a yaw, scaled so
// that one full range of an axis spans the box size, and placed so that the box centre lies on
// the plot centre shifted by the pan; how a table row becomes a point of that box; and the box
// size's zoom. No Qt here: the view class holds this state and draws.
#include "views/rows/PlotGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

struct Point3
{
    double x = 0, y = 0, z = 0;
};

// How a view turns a row into a point of its box: its three columns as they stand, or the
// forcing-phase cylinder (time as the angle af t about the z axis, the first column as the
// radius and the second as the height).
enum class RowMapping
{
    Columns,
    ForcingCylinder,
};

// The cylinder's scales from the working limits of its radius and height variables in a box: one
// working range of each spans half the box's range, x = 0 lies at half the x range from the axis.
struct CylinderScales
{
    double m_dRadiusScale = 1.0, m_dHeightScale = 1.0, m_dRadiusOffset = 10.0;
    double m_dRadiusMin = -10.0, m_dRadiusMax = 10.0, m_dHeightMin = -10.0, m_dHeightMax = 10.0;
    double m_dRadiusCentre = 0.0, m_dHeightCentre = 0.0;

    // Takes working limits; a range that is not open keeps the scale it had (nothing divides
    // by zero), boxRange the x and y ranges of the box.
    void SetLimits(double rMin, double rMax, double hMin, double hMax, double boxRangeX,
                   double boxRangeY);
    Point3 Map(double angFreq, double t, double x, double v) const;
    // The same at an angle given by its cosine and sine.
    Point3 MapAt(double cosA, double sinA, double x, double v) const
    {
        const double r = m_dRadiusOffset + m_dRadiusScale * x;
        return {r * cosA, r * sinA, m_dHeightScale * v};
    }
};

// The cosine and sine of the angles of rows met in order: while the rows keep one step of
// angle, each is turned on from the one before by that step, and worked out afresh every
// kFresh rows and wherever the step changes; so a walk over a long run takes a sine and cosine
// for a few rows only. The angles differ from those worked out alone by rounding only.
class AngleTurner
{
public:
    static constexpr int kFresh = 64;
    void At(double theta, double& c, double& s) { Turn(&theta, 1, &c, &s); }
    // The same for n angles met in order; inline: a repaint turns every row.
    void Turn(const double* theta, int n, double* c, double* s);

private:
    double m_theta = 0, m_c = 1, m_s = 0;
    // Not a number till the first angle: no step is the same as it.
    double m_step = std::numeric_limits<double>::quiet_NaN(), m_cStep = 1, m_sStep = 0;
    int m_turns = -1; // rows turned on since the last fresh one; -1: the step's not worked out
};

// The state is held in locals through the loop (registers), and the part of the rounding that
// the step gives is worked out once a step.
inline void AngleTurner::Turn(const double* theta, int n, double* c, double* s)
{
    double last = m_theta, cos0 = m_c, sin0 = m_s, step0 = m_step, cStep = m_cStep, sStep = m_sStep;
    int turns = m_turns;
    double stepRounding = 1e-12 * std::abs(step0);
    for (int k = 0; k < n; ++k) {
        const double th = theta[k], step = th - last;
        // A step equal to the last but for the rounding of the rows' times (a few units in the
        // last place of the angle) turns on.
        const double rounding =
            stepRounding + 16 * std::numeric_limits<double>::epsilon() * std::abs(th);
        if (std::abs(step - step0) <= rounding && turns < kFresh) {
            if (turns < 0) { // the step comes again: worth its sine and cosine
                cStep = std::cos(step0);
                sStep = std::sin(step0);
                turns = 0;
            }
            const double cNext = cos0 * cStep - sin0 * sStep;
            sin0 = sin0 * cStep + cos0 * sStep;
            cos0 = cNext;
            ++turns;
        } else {
            cos0 = std::cos(th);
            sin0 = std::sin(th);
            step0 = step;
            stepRounding = 1e-12 * std::abs(step0);
            turns = -1;
        }
        last = th;
        c[k] = cos0;
        s[k] = sin0;
    }
    m_theta = last;
    m_c = cos0;
    m_s = sin0;
    m_step = step0;
    m_cStep = cStep;
    m_sStep = sStep;
    m_turns = turns;
}

// The box size's rules: a share of the plot's smaller side on each resize (integer pixels),
// zoom steps that multiply or divide it and truncate, Zoom Far offered down to a smallest box.
struct BoxZoom
{
    int shareNum = 3, shareDen = 4;
    double step = 1.1;
    int farMinBox = 100;

    int HomeSize(int plotWidth, int plotHeight) const;
    int Nearer(int size) const; // never past an int's pixels, however often
    int Farther(int size) const;
    bool FartherOffered(int size) const { return size >= farMinBox; }
};

// The projection of a box at one moment: its scales and angles worked out once, so a drawing
// of many points does not divide for every one. Gives the pixels of C3DPlotGeometry::Project.
struct C3DProjection
{
    double scaleX = 1, scaleY = 1, scaleZ = 1;
    double sinYaw = 0, cosYaw = 1, sinPitch = 0, cosPitch = 1;
    CPoint origin;
    // How far a point may lie from the origin across and up the screen, in whole pixels, with
    // no pixel clamped (Reach of the origin's coordinates); none unless set.
    int reachX = -1, reachY = -1;

    static int Reach(int o)
    {
        return static_cast<int>(kPixelLimit - std::min(std::llabs(o), 2LL * kPixelLimit));
    }
    CPoint operator()(double x, double y, double z) const // inline: a repaint projects every row
    {
        double u, v;
        Offsets(x, y, z, u, v);
        return Pixel(u, v);
    }
    // How far a point lies from the origin across and up the screen, before it is a pixel.
    void Offsets(double x, double y, double z, double& u, double& v) const
    {
        const double X = x * scaleX, Y = y * scaleY;
        u = X * sinYaw + Y * cosYaw;
        v = (Y * sinYaw - X * cosYaw) * sinPitch + z * scaleZ * cosPitch;
    }
    bool WithinReach(double u, double v) const
    {
        return (std::fabs(u) <= reachX) & (std::fabs(v) <= reachY);
    }
    CPoint Pixel(double u, double v) const
    {
        if (WithinReach(u, v)) // one test each: no clamp bites
            return {origin.x + static_cast<int>(u), origin.y - static_cast<int>(v)};
        const int iu = ClampToPixel(u), iv = ClampToPixel(v);
        return {ClampToPixel(double(origin.x) + iu), ClampToPixel(double(origin.y) - iv)};
    }
    // The pixels of n points' offsets, in a loop that vectorises; true when all lie within
    // reach (as a repaint's mostly do), else some pixels are wrong (then Pixel gives them). A
    // point that is not finite has an offset out of reach.
    bool NearPixels(const double* u, const double* v, int n, CPoint* out) const;
};

// How a drawing turns rows into points of its box: the mapping and the numbers it reads.
struct RowMap
{
    RowMapping mapping = RowMapping::Columns;
    double angFreq = 0; // the forcing's angular frequency, for the cylinder
    CylinderScales cyl;

    // The box point of a row: its time and its mapped columns' values; with a turner the
    // cylinder's angles turn on from the row before.
    Point3 operator()(double t, double a, double b, double c, AngleTurner* turner = nullptr) const
    {
        if (mapping != RowMapping::ForcingCylinder)
            return {a, b, c};
        if (!turner)
            return cyl.Map(angFreq, t, a, b);
        double cosA, sinA;
        turner->At(angFreq * t, cosA, sinA);
        return cyl.MapAt(cosA, sinA, a, b);
    }
};

inline bool Finite(const Point3& w)
{
    return std::isfinite(w.x) && std::isfinite(w.y) && std::isfinite(w.z);
}

// The pixel of a box point; false when the point is not finite (a run that blew up).
inline bool PointPixel(const C3DProjection& proj, const Point3& w, CPoint& p)
{
    if (!Finite(w))
        return false;
    p = proj(w.x, w.y, w.z);
    return true;
}

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

    RowMapping m_rowMapping = RowMapping::Columns;
    double m_dAngFreq = 0; // the forcing's angular frequency, for the cylinder
    CylinderScales m_cyl;

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
    CPoint Project(double x, double y, double z) const { return Projection()(x, y, z); }
    // Project as it stands now, for a drawing of many points.
    C3DProjection Projection() const;
    // The origin that puts the box centre on the plot centre plus the pan.
    CPoint CalcOrigin() const;

    // The twelve edges of the box, as pairs of corner indices (bit 0 x, bit 1 y, bit 2 z high).
    static const int kBoxEdges[12][2];
    CPoint BoxCorner(int i) const;

    // How rows map to the box now.
    RowMap CurrentRowMap() const { return {m_rowMapping, m_dAngFreq, m_cyl}; }
    // The box point of a row: its time and its mapped columns' values.
    Point3 MapRow(double t, double a, double b, double c) const
    {
        return CurrentRowMap()(t, a, b, c);
    }
    // The pixel of a row; false when its point is not finite (a run that blew up).
    bool RowPixel(double t, double a, double b, double c, CPoint& p) const
    {
        return RowPixel(Projection(), t, a, b, c, p);
    }
    bool RowPixel(const C3DProjection& proj, double t, double a, double b, double c, CPoint& p,
                  AngleTurner* turner = nullptr) const
    {
        return PointPixel(proj, CurrentRowMap()(t, a, b, c, turner), p);
    }
    // The cylinder's scales and centres from working limits, in this box.
    void SetCylinderLimits(double rMin, double rMax, double hMin, double hMax);
};

// The columns of a table that a 3-D view maps: time and up to three values; a column the view
// does not map is null and reads as 0.
struct MappedColumns
{
    const double* t = nullptr;
    const double* v[3] = {nullptr, nullptr, nullptr};

    double V(int k, int i) const { return v[k] ? v[k][i] : 0; }

    // The pixel of row i in g; false when the row maps to no finite point.
    bool Pixel(const C3DPlotGeometry& g, int i, CPoint& p) const
    {
        return Pixel(g, g.Projection(), i, p);
    }
    // The same with the projection worked out once for a drawing, and the cylinder's angles
    // turned on from row to row where the drawing meets its rows in order.
    bool Pixel(const C3DPlotGeometry& g, const C3DProjection& proj, int i, CPoint& p,
               AngleTurner* turner = nullptr) const
    {
        return g.RowPixel(proj, t[i], V(0, i), V(1, i), V(2, i), p, turner);
    }
};
