#include "model/phase/FixedPoints.h"

#include "model/phase/Nullclines.h"

#include <algorithm>
#include <cmath>

const char* const kTooManyFixedPointsMessage = "Only first 10 fixed points will be reported.";

const char* FixedPointText(int type)
{
    static const char* const texts[] = {
        "saddle point",  "indeterminate", "stable node",
        "unstable node", "stable spiral", "unstable spiral",
        "center",        "non-singular",  "degenerate node or star"};
    return type >= FP_SADDLE && type <= FP_DEGENERATE ? texts[type + 1] : texts[1];
}

namespace {

struct Jacobian
{
    double a11, a12, a21, a22;
};

// An eigenvector of J for lambda: (a12, lambda - a11) or (lambda - a22, a21), whichever is
// longer (the Newtonian plane, where a11 = 0 and a12 = 1, takes (1, lambda)); false when both
// vanish.
bool EigenVector(const Jacobian& j, double lambda, bool newtonian, double& vx, double& vy)
{
    double px = j.a12, py = lambda - j.a11;
    const double qx = lambda - j.a22, qy = j.a21;
    if (newtonian) {
        px = 1;
        py = lambda;
    } else if (std::hypot(qx, qy) > std::hypot(px, py)) {
        px = qx;
        py = qy;
    }
    const double n = std::hypot(px, py);
    if (!(n > 0) || !std::isfinite(n))
        return false;
    vx = px / n;
    vy = py / n;
    return true;
}

int SaddleVectors(const Jacobian& j, double tr, double det, bool newtonian, CFixedPoint& fp)
{
    const double r = std::sqrt(tr * tr - 4 * det);
    const double l1 = (tr + r) * 0.5, l2 = (tr - r) * 0.5;
    const bool has1 = EigenVector(j, l1, newtonian, fp.ux, fp.uy);
    const bool has2 = EigenVector(j, l2, newtonian, fp.sx, fp.sy);
    if (!has1 && !has2)
        return FP_INDETERMINATE;
    if (!has1) { // perpendicular to the other
        fp.ux = fp.sy;
        fp.uy = -fp.sx;
    } else if (!has2) {
        fp.sx = fp.uy;
        fp.sy = -fp.ux;
    }
    return FP_SADDLE;
}

} // namespace

CFixedPoint ClassifyFixedPoint(IPlaneField& field, double x, double y, const CPlaneFrame& frame,
                               double s, double t)
{
    CFixedPoint fp;
    fp.x = x;
    fp.y = y;
    field.SetPulse(t, field.Chronon());
    const double hx = frame.XRange() * s, hy = frame.YRange() * s;
    double f0, g0, f1, g1, f2, g2;
    field.Rates(t, x, y, f0, g0);
    field.Rates(t, x + hx, y, f1, g1);
    field.Rates(t, x, y + hy, f2, g2);
    const Jacobian j{(f1 - f0) / hx, (f2 - f0) / hy, (g1 - g0) / hx, (g2 - g0) / hy};
    // A homogeneous linear model has its Jacobian's entries as its rates at (1, 0) and (0, 1).
    double fx1, gx1, fy1, gy1;
    field.Rates(t, 1, 0, fx1, gx1);
    field.Rates(t, 0, 1, fy1, gy1);
    auto near = [s](double v, double a) { return std::fabs(v - a) <= std::fabs(v * s); };
    const bool linear =
        near(fx1, j.a11) && near(fy1, j.a12) && near(gx1, j.a21) && near(gy1, j.a22);
    double tr = j.a11 + j.a22;
    if (std::fabs(tr) < s)
        tr = 0;
    const double det = j.a11 * j.a22 - j.a12 * j.a21;
    const double q = tr * tr * 0.25;
    if (det < 0) {
        fp.type = SaddleVectors(j, tr, det, field.SecondIsRateOfFirst(), fp);
        return fp;
    }
    if (tr < 0 && det < q)
        fp.type = FP_STABLE_NODE;
    else if (tr > 0 && det < q)
        fp.type = FP_UNSTABLE_NODE;
    else if (tr < 0 && det > q)
        fp.type = FP_STABLE_SPIRAL;
    else if (tr > 0 && det > q)
        fp.type = FP_UNSTABLE_SPIRAL;
    else if (linear && det == 0)
        fp.type = FP_NON_SINGULAR;
    else if (linear && tr == 0)
        fp.type = FP_CENTER;
    else if (linear && std::fabs(det - q) < hx)
        fp.type = FP_DEGENERATE;
    return fp; // otherwise indeterminate (not a number falls here too)
}

namespace {

// Newton's method on both rates from an estimate, with forward-difference Jacobians. True
// when it settled within one grid cell of the estimate, which it then replaces.
bool Polish(IPlaneField& field, double t, double tol, double hx, double hy, double cellX,
            double cellY, double& xf, double& yf)
{
    const bool axis = field.SecondIsRateOfFirst(); // x' = y: the points lie on y = 0
    double x = xf, y = yf;
    bool settled = false;
    for (int n = 0; n < 30 && !settled; ++n) {
        double f, g, fx, gx, fy, gy;
        field.Rates(t, x, y, f, g);
        if (f == 0 && g == 0)
            break;
        field.Rates(t, x + hx, y, fx, gx);
        double dx, dy = 0;
        if (axis) {
            const double d = (gx - g) / hx;
            if (!(d != 0))
                return false;
            dx = -g / d;
        } else {
            field.Rates(t, x, y + hy, fy, gy);
            const double a = (fx - f) / hx, b = (fy - f) / hy, c = (gx - g) / hx, d = (gy - g) / hy;
            const double det = a * d - b * c;
            if (!(det != 0))
                return false;
            dx = (-f * d + g * b) / det;
            dy = (-g * a + f * c) / det;
        }
        x += dx;
        y += dy;
        if (!std::isfinite(x) || !std::isfinite(y))
            return false;
        settled = std::fabs(dx) <= tol && std::fabs(dy) <= tol;
    }
    if (!(std::fabs(x - xf) <= cellX && std::fabs(y - yf) <= cellY))
        return false;
    xf = x;
    yf = y;
    return true;
}

// The crossing of the zero of rate `other` between nullcline points a and b, along the chord;
// false when the sign of the rate changes there across a pole.
bool Bracket(IPlaneField& field, int other, double t, double tol, double ax, double ay, double ga,
             double bx, double by, double gb, double& xf, double& yf)
{
    if (field.SecondIsRateOfFirst()) {
        yf = 0; // x' = y: the zero of x' is the axis itself
        xf = ga == gb ? bx : ax + (bx - ax) * ga / (ga - gb);
        return true;
    }
    if (gb == 0) {
        xf = bx;
        yf = by;
        return true;
    }
    const bool zero = BisectRate(field, other, t, ax, ay, ga, bx, by, gb, tol);
    xf = (ax + bx) * 0.5;
    yf = (ay + by) * 0.5;
    return zero;
}

// The fixed points bracketed along a nullcline, refined; those already found are left out.
class CCandidates
{
public:
    CCandidates(IPlaneField& field, int other, const CPlaneFrame& frame, int pitch, double s,
                double t)
        : m_field(field), m_other(other), m_frame(frame), m_s(s), m_t(t),
          m_tol(1e-9 * std::min(std::fabs(frame.XRange()), std::fabs(frame.YRange()))),
          m_cellX(std::max(pitch, 1) * std::fabs(frame.ScaleX())),
          m_cellY(std::max(pitch, 1) * std::fabs(frame.ScaleY()))
    {
    }

    // The point where the other rate (ga at a, gb at b) vanishes between a and b; false when
    // it changes sign there across a pole, or the point was found before.
    bool Add(double ax, double ay, double ga, double bx, double by, double gb, CFixedPoint& fp)
    {
        Candidate c{};
        if (!Bracket(m_field, m_other, m_t, m_tol, ax, ay, ga, bx, by, gb, c.x, c.y))
            return false;
        c.refined = Polish(m_field, m_t, m_tol, m_frame.XRange() * m_s, m_frame.YRange() * m_s,
                           m_cellX, m_cellY, c.x, c.y);
        if (std::fabs(c.x) < 2 * m_tol)
            c.x = 0;
        if (std::fabs(c.y) < 2 * m_tol)
            c.y = 0;
        if (!std::isfinite(c.x) || !std::isfinite(c.y) ||
            std::any_of(m_seen.begin(), m_seen.end(),
                        [&](const Candidate& o) { return Same(o, c); }))
            return false;
        m_seen.push_back(c);
        fp = ClassifyFixedPoint(m_field, c.x, c.y, m_frame, m_s, m_t);
        return true;
    }

private:
    struct Candidate
    {
        double x, y;
        bool refined; // else left where the walk bracketed it
    };
    // Two candidates are one fixed point when both refine to the same point; one that would
    // not refine is the same as any within a grid cell of it.
    bool Same(const Candidate& a, const Candidate& b) const
    {
        const double share = a.refined && b.refined ? 1e-3 : 1;
        return std::fabs(a.x - b.x) <= share * m_cellX && std::fabs(a.y - b.y) <= share * m_cellY;
    }

    IPlaneField& m_field;
    int m_other;
    const CPlaneFrame& m_frame;
    double m_s, m_t, m_tol, m_cellX, m_cellY;
    std::vector<Candidate> m_seen;
};

} // namespace

CFixedPointSearch FindFixedPoints(IPlaneField& field, int along, const CVFTrack& nullcline,
                                  const CPlaneFrame& frame, int pitch, double s, double t)
{
    CFixedPointSearch found;
    const int other = 1 - along;
    const int n = nullcline.Count();
    if (n < 1)
        return found;
    field.SetPulse(t, field.Chronon());
    CCandidates candidates(field, other, frame, pitch, s, t);
    const auto& X = nullcline.m_arrX;
    const auto& Y = nullcline.m_arrY;
    double gPrev = field.Rate(other, t, X[0], Y[0]);
    for (int i = 0; i < n; ++i) {
        const double g = i == 0 ? gPrev : field.Rate(other, t, X[i], Y[i]);
        // A crossing is a strict change of sign between points of one curve, or a point where
        // the rate is exactly 0 (counted once where the curve repeats that point).
        const bool joined = i > 0 && !nullcline.StartsBranch(i);
        const bool repeat = joined && gPrev == 0 && X[i - 1] == X[i] && Y[i - 1] == Y[i];
        const bool hit = g == 0 ? !repeat : joined && gPrev * g < 0;
        const int a = g == 0 || !joined ? i : i - 1; // the bracket's first end
        const double ga = a == i ? g : gPrev;
        gPrev = g;
        CFixedPoint fp;
        if (!hit || !candidates.Add(X[a], Y[a], ga, X[i], Y[i], g, fp))
            continue;
        found.points.push_back(fp);
        if (static_cast<int>(found.points.size()) == MAX_FIXED_POINTS) {
            found.limitReached = true;
            break;
        }
    }
    return found;
}
