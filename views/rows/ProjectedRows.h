#pragma once
// The pixels of a 3-D drawing's rows met in order, exactly as each row maps on its own
// (MappedColumns::Pixel with the drawing's turner), but with the long stretches of rows that
// surely map worked out a batch at a time in tight loops of their own: a repaint maps every row
// of a long run.
#include "views/rows/3DGeometry.h"

#include <algorithm>
#include <limits>

class RowProjector
{
public:
    static constexpr int kAhead = 256;

    RowProjector(const C3DPlotGeometry& g, const C3DProjection& proj, const MappedColumns& c);
    // The pixel of row i, the next row the turner meets; false when it maps to no point.
    bool Pixel(int i, CPoint& p)
    {
        return PointPixel(m_proj, m_map(m_t[i], Value(0, i), Value(1, i), Value(2, i), &m_turner),
                          p);
    }
    // The pixels of rows i, i + 1 ... (at most n, and kAhead) as Pixel gives them, up to the
    // first row that may map to no point or has a time that is not a number or infinite (a
    // segment from it is skipped or ends the walk); returns how many.
    int Ahead(int i, int n, CPoint* out);

private:
    // A mapped column, or one not mapped that reads its one 0 whatever the row: no test a row.
    struct Column
    {
        const double* v;
        int rowMask;
        double operator[](int i) const { return v[i & rowMask]; }
    };
    Column At(int k) const { return {m_v[k], m_rowMask[k]}; }
    double Value(int k, int i) const { return At(k)[i]; }
    int CylinderAhead(int i, int n, CPoint* out);
    int ColumnsAhead(int i, int n, CPoint* out);

    static constexpr double kNone = 0;
    RowMap m_map;
    C3DProjection m_proj;
    const double* m_t;
    const double* m_v[3];
    int m_rowMask[3];
    AngleTurner m_turner;
};
