#include "views/rows/ProjectedRows.h"

#include "views/rows/VectorState.h"

#include <cmath>

RowProjector::RowProjector(const C3DPlotGeometry& g, const C3DProjection& proj,
                           const MappedColumns& c)
    : m_map(g.CurrentRowMap()), m_proj(proj), m_t(c.t)
{
    for (int k = 0; k < 3; ++k) {
        m_v[k] = c.v[k] ? c.v[k] : &kNone;
        m_rowMask[k] = c.v[k] ? ~0 : 0;
    }
}

int RowProjector::Ahead(int i, int n, CPoint* out)
{
    ClearUpperVectorState(); // the segments drawn since the last batch may have painted
    n = std::min(n, kAhead);
    return m_map.mapping == RowMapping::ForcingCylinder ? CylinderAhead(i, n, out)
                                                        : ColumnsAhead(i, n, out);
}

// Three loops, each with what it reads in registers: the rows whose angles are finite and whose
// times go on, their angles turned on one from the next (the one chain that cannot be cut);
// their points' offsets on the screen (a loop that vectorises); their pixels. A point that is
// not finite has offsets out of reach; where some are, the rows up to the first such point are
// the ones worked out, and the turner goes again over them alone.
int RowProjector::CylinderAhead(int i, int n, CPoint* out)
{
    if (!m_rowMask[0] || !m_rowMask[1])
        return 0; // the cylinder maps both columns: row by row where one is missing
    const CylinderScales cyl = m_map.cyl;
    const double angFreq = m_map.angFreq, inf = std::numeric_limits<double>::infinity();
    const double *t = m_t + i, *x = m_v[0] + i, *h = m_v[1] + i;
    double theta[kAhead], cosA[kAhead], sinA[kAhead], u[kAhead], v[kAhead];
    int m = 0;
    for (; m < n; ++m) {
        theta[m] = angFreq * t[m];
        if (!(t[m] < inf) || !std::isfinite(theta[m]))
            break;
    }
    if (m == 0)
        return 0;
    const AngleTurner start = m_turner;
    AngleTurner turner = start;
    turner.Turn(theta, m, cosA, sinA);
    const C3DProjection proj = m_proj;
    for (int k = 0; k < m; ++k) {
        const Point3 w = cyl.MapAt(cosA[k], sinA[k], x[k], h[k]);
        proj.Offsets(w.x, w.y, w.z, u[k], v[k]);
    }
    if (!proj.NearPixels(u, v, m, out)) {
        int k = 0;
        while (k < m && Finite(cyl.MapAt(cosA[k], sinA[k], x[k], h[k])))
            ++k;
        if (k < m) {
            m = k;
            turner = start;
            turner.Turn(theta, m, cosA, sinA);
        }
        for (k = 0; k < m; ++k)
            out[k] = proj.Pixel(u[k], v[k]);
    }
    m_turner = turner;
    return m;
}

int RowProjector::ColumnsAhead(int i, int n, CPoint* out)
{
    const double* t = m_t;
    const Column a = At(0), b = At(1), c = At(2);
    const double inf = std::numeric_limits<double>::infinity();
    int m = 0;
    for (int row = i; m < n; ++m, ++row)
        if (!(t[row] < inf) || !std::isfinite(a[row]) || !std::isfinite(b[row]) ||
            !std::isfinite(c[row]))
            break;
    if (m == 0)
        return 0;
    const C3DProjection proj = m_proj;
    double u[kAhead], v[kAhead];
    for (int k = 0; k < m; ++k)
        proj.Offsets(a[i + k], b[i + k], c[i + k], u[k], v[k]);
    if (!proj.NearPixels(u, v, m, out))
        for (int k = 0; k < m; ++k)
            out[k] = proj.Pixel(u[k], v[k]);
    return m;
}
