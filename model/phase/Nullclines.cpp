#include "model/phase/Nullclines.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

bool BisectRate(IPlaneField& field, int rate, double t, double& ax, double& ay, double fa,
                double& bx, double& by, double fb, double tol)
{
    // A rate like |x - x0|^p, zero or pole, ends below (zero) or above (pole) the geometric
    // mean of its ends unless x0 lies within about tol^2 of an end.
    const double mean = std::sqrt(std::fabs(fa)) * std::sqrt(std::fabs(fb));
    for (int n = 0; n < 200; ++n) {
        if (std::max(std::fabs(bx - ax), std::fabs(by - ay)) <= tol)
            break;
        const double mx = (ax + bx) * 0.5, my = (ay + by) * 0.5;
        const double fm = field.Rate(rate, t, mx, my);
        if (!std::isfinite(fm))
            return false;
        if (fm == 0) {
            ax = bx = mx;
            ay = by = my;
            return true;
        }
        if ((fm > 0) == (fa > 0)) {
            ax = mx;
            ay = my;
            fa = fm;
        } else {
            bx = mx;
            by = my;
            fb = fm;
        }
    }
    return !(std::min(std::fabs(fa), std::fabs(fb)) > mean);
}

namespace {

// Sides of a cell and the side of the neighbour across each.
enum Side
{
    kTop,
    kLeft,
    kBottom,
    kRight
};
constexpr int kOpposite[4] = {kBottom, kRight, kTop, kLeft};
constexpr int kStepI[4] = {0, -1, 0, 1};
constexpr int kStepJ[4] = {-1, 0, 1, 0};

struct Point
{
    double x, y;
};

class CTracer
{
public:
    CTracer(IPlaneField& field, int rate, const CPlaneFrame& frame, int pitch, double t)
        : m_field(field), m_rate(rate), m_frame(frame), m_p(std::max(pitch, 1)), m_t(t),
          m_nx(std::max(0, frame.Width() / m_p)), m_ny(std::max(0, frame.Height() / m_p)),
          m_tol(1e-6 * std::min(std::fabs(frame.XRange()), std::fabs(frame.YRange())))
    {
    }

    bool Trace(CVFTrack& track, IPassProgress* progress);
    bool Complete() const { return m_bComplete; }

private:
    // Horizontal edges (i, j) from corner (i, j) to (i + 1, j) come first, then the vertical
    // edges (i, j) from corner (i, j) to (i, j + 1).
    int HEdge(int i, int j) const { return j * m_nx + i; }
    int VEdge(int i, int j) const { return (m_ny + 1) * m_nx + j * (m_nx + 1) + i; }
    int EdgeOf(int i, int j, int side) const
    {
        switch (side) {
        case kTop:
            return HEdge(i, j);
        case kLeft:
            return VEdge(i, j);
        case kBottom:
            return HEdge(i, j + 1);
        default:
            return VEdge(i + 1, j);
        }
    }
    void Ends(int e, int& i0, int& j0, int& i1, int& j1) const
    {
        const int nh = (m_ny + 1) * m_nx;
        if (e < nh) {
            i0 = e % m_nx;
            j0 = e / m_nx;
            i1 = i0 + 1;
            j1 = j0;
        } else {
            i0 = (e - nh) % (m_nx + 1);
            j0 = (e - nh) / (m_nx + 1);
            i1 = i0;
            j1 = j0 + 1;
        }
    }
    double Value(int i, int j) const { return m_val[j * (m_nx + 1) + i]; }
    // Whether edge e holds a zero (found once, then kept with its crossing).
    bool Crosses(int e)
    {
        if (m_state[e] == kUnknown)
            m_state[e] = Locate(e);
        return m_state[e] == kZero;
    }
    Point Crossing(int e) { return m_crossing.at(e); }
    signed char Locate(int e);
    void Walk(int i, int j, int entry, int startEdge, std::vector<Point>& pts);
    void StartAt(int e, CVFTrack& track);

    IPlaneField& m_field;
    int m_rate;
    const CPlaneFrame& m_frame;
    int m_p;
    double m_t;
    int m_nx, m_ny;
    double m_tol;
    std::vector<double> m_val;
    std::vector<char> m_used;
    enum : signed char
    {
        kUnknown,
        kZero,
        kNone // no change of sign, or one across a pole
    };
    std::vector<signed char> m_state;
    std::unordered_map<int, Point> m_crossing; // of the edges found to hold a zero
    bool m_bComplete = false; // a curve reached the border or closed, or there is no cell
};

signed char CTracer::Locate(int e)
{
    int i0, j0, i1, j1;
    Ends(e, i0, j0, i1, j1);
    const double fa = Value(i0, j0), fb = Value(i1, j1);
    if (!std::isfinite(fa) || !std::isfinite(fb) || (fa > 0) == (fb > 0))
        return kNone;
    double ax = m_frame.PixelToWorldX(m_frame.left + i0 * m_p);
    double ay = m_frame.PixelToWorldY(m_frame.top + j0 * m_p);
    double bx = m_frame.PixelToWorldX(m_frame.left + i1 * m_p);
    double by = m_frame.PixelToWorldY(m_frame.top + j1 * m_p);
    if (fa == 0) // the zero lies on the corner itself
        m_crossing[e] = {ax, ay};
    else if (fb == 0)
        m_crossing[e] = {bx, by};
    else if (BisectRate(m_field, m_rate, m_t, ax, ay, fa, bx, by, fb, m_tol))
        m_crossing[e] = {(ax + bx) * 0.5, (ay + by) * 0.5};
    else
        return kNone;
    return kZero;
}

// Follows the curve from cell (i, j), entered through side entry, while it leaves through an
// unused crossing and stays on the grid; a curve that comes back to its start edge is closed.
void CTracer::Walk(int i, int j, int entry, int startEdge, std::vector<Point>& pts)
{
    const std::size_t edges = m_used.size();
    for (std::size_t n = 0; n < edges; ++n) {
        int exit = -1;
        bool closes = false;
        for (int s = 0; s < 4 && exit < 0; ++s) {
            if (s == entry)
                continue;
            const int e = EdgeOf(i, j, s);
            if (!m_used[e] && Crosses(e))
                exit = s;
            else if (e == startEdge && Crosses(e))
                closes = true;
        }
        if (exit < 0) {
            if (closes)
                pts.push_back(Crossing(startEdge));
            m_bComplete = m_bComplete || closes;
            return;
        }
        const int e = EdgeOf(i, j, exit);
        m_used[e] = 1;
        pts.push_back(Crossing(e));
        i += kStepI[exit];
        j += kStepJ[exit];
        if (i < 0 || j < 0 || i >= m_nx || j >= m_ny) {
            m_bComplete = true;
            return;
        }
        entry = kOpposite[exit];
    }
    m_bComplete = true; // every edge walked: it went round
}

void CTracer::StartAt(int e, CVFTrack& track)
{
    m_used[e] = 1;
    int i0, j0, i1, j1;
    Ends(e, i0, j0, i1, j1);
    const bool horizontal = j0 == j1;
    // The cells on either side: below and above a horizontal edge, right and left of a
    // vertical one, each entered through this edge.
    std::vector<Point> ahead, behind;
    // An edge on the border has a cell on one side only: the curve reaches the border there.
    m_bComplete = m_bComplete || (horizontal ? j0 == 0 || j0 == m_ny : i0 == 0 || i0 == m_nx);
    if (horizontal) {
        if (j0 < m_ny)
            Walk(i0, j0, kTop, e, ahead);
        if (j0 > 0)
            Walk(i0, j0 - 1, kBottom, e, behind);
    } else {
        if (i0 < m_nx)
            Walk(i0, j0, kLeft, e, ahead);
        if (i0 > 0)
            Walk(i0 - 1, j0, kRight, e, behind);
    }
    std::reverse(behind.begin(), behind.end());
    behind.push_back(Crossing(e));
    behind.insert(behind.end(), ahead.begin(), ahead.end());
    bool first = true;
    for (const Point& p : behind) {
        // Neighbouring edges that meet at a zero corner give the same point twice.
        if (!first && p.x == track.m_arrX.back() && p.y == track.m_arrY.back())
            continue;
        track.Add(p.x, p.y, first);
        first = false;
    }
}

bool CTracer::Trace(CVFTrack& track, IPassProgress* progress)
{
    m_bComplete = m_nx < 1 || m_ny < 1; // no cell: nothing to look for
    if (m_bComplete)
        return false;
    CProgressCounter counter(progress, static_cast<long long>(m_nx + 1) * (m_ny + 1));
    m_val.resize(static_cast<std::size_t>(m_nx + 1) * (m_ny + 1));
    m_field.SetPulse(m_t, m_field.Chronon());
    for (int j = 0; j <= m_ny; ++j) {
        const double y = m_frame.PixelToWorldY(m_frame.top + j * m_p);
        for (int i = 0; i <= m_nx; ++i) {
            counter.Count();
            m_val[j * (m_nx + 1) + i] =
                m_field.Rate(m_rate, m_t, m_frame.PixelToWorldX(m_frame.left + i * m_p), y);
        }
    }
    const auto edges = static_cast<std::size_t>((m_ny + 1) * m_nx + m_ny * (m_nx + 1));
    m_used.assign(edges, 0);
    m_state.assign(edges, kUnknown);
    // Row by row from the top: the top edge of each cell, then its left edge.
    for (int j = 0; j <= m_ny; ++j) {
        for (int i = 0; i <= m_nx; ++i) {
            if (i < m_nx && !m_used[HEdge(i, j)] && Crosses(HEdge(i, j)))
                StartAt(HEdge(i, j), track);
            if (j < m_ny && !m_used[VEdge(i, j)] && Crosses(VEdge(i, j)))
                StartAt(VEdge(i, j), track);
        }
    }
    return !track.Empty();
}

} // namespace

bool CalcNullcline(IPlaneField& field, int rate, const CPlaneFrame& frame, int pitch, double t,
                   CVFTrack& track, IPassProgress* progress, bool* complete)
{
    track.m_arrX.clear();
    track.m_arrY.clear();
    track.m_arrBreak.clear();
    CTracer tracer(field, rate, frame, pitch, t);
    const bool found = tracer.Trace(track, progress);
    if (complete)
        *complete = tracer.Complete();
    return found;
}
