#pragma once
// The rows of a run as a 2-D plot's curves walk them: each curve's rows handed to its painter as
// pixel segments (or points), the rows that go on down a pixel column gathered as values and
// handed over when the column ends. The painter is a template parameter, so the call a row stays
// inline; it draws, the walk only maps and clips. No Qt here.
#include "model/core/ModelCore.h"
#include "views/rows/PlotGeometry.h"
#include "views/rows/RingWalk.h"
#include "views/rows/RowDecimation.h"
#include "views/rows/RowPixels.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

enum class RowLook
{
    Lines,     // segments between the rows
    TimeLines, // segments of a curve against time: crowded pixel columns fold
    Points,    // one pixel a row
};

// The run's rows as a reader holding the table lock sees them.
RingSpan RunSpan(const CModelCore& s, const TableRing& r);

// The leading finite values of v[0, n): how many, and the least and greatest of them (lo and
// hi are meaningless when n is 0).
struct FiniteSpan
{
    int n = 0;
    double lo = 0, hi = 0;
};
FiniteSpan FiniteExtremes(const double* v, int n);

// A curve being drawn: its column, its painter, the pixel of the row it reached last and the
// rows it gathers down a pixel column.
template <class Painter> struct CurveRows
{
    const double* v;
    Painter painter;
    int row = -1; // the last row reached, and its vertical pixel (stale while gathering)
    int at = 0;
    int ringRows = 0; // a column drawn row by row wraps from the ring's last row to row 0
    ValueColumn column{};
    const int* py = nullptr; // the pixels of the rows, by slot of the row pixels' block
};

// Which rows a walk takes: with sections, those on the section phase one a cycle by the rule;
// otherwise those of the time window [tMin, tMax], widened by the rule's step.
struct CurveWalkRows
{
    bool sections = false;
    double tMin = 0, tMax = 0;
    SectionRule rule;
};

// The walk of one table's rows through the curves drawn of it. A painter has Look(),
// GathersColumns(), Segment(a, b, age), Point(p, age) and Finish().
template <class Painter> class CCurveWalk
{
public:
    using Curve = CurveRows<Painter>;
    // The walk keeps its own copy of the page and the curves: a row reads them with no pointer
    // to follow.
    CCurveWalk(const C2DPlotGeometry& g, std::vector<Curve> curves)
        : m_g(g), m_curves(std::move(curves))
    {
    }

    // Walks the ring's rows against horizontal column x and finishes every painter.
    void Walk(const double* x, const RingSpan& ring, const CurveWalkRows& rows);

private:
    void AddRow(Curve& c, int xa, int xb, int a, int b, int age);
    [[gnu::always_inline]] void DrawRow(Curve& c, CPoint p1, CPoint p2, int age)
    {
        if (c.painter.Look() == RowLook::Points)
            c.painter.Point(p2, age);
        else
            m_g.ClipAndDraw(p1, p2, [&](CPoint a, CPoint b) { c.painter.Segment(a, b, age); });
    }
    [[gnu::always_inline]] void AddRows(const CRowPixels& pixels, int a, int b, int age, int slot);
    // The curve's segment to the row in slot, both rows' pixels from the block.
    [[gnu::always_inline]] void AddBlockRow(Curve& c, int xa, int xb, int age, int slot)
    {
        const int ya = c.py[slot - 1], yb = c.py[slot];
        if (ya != kNoPixel && yb != kNoPixel)
            DrawRow(c, CPoint(xa, ya), CPoint(xb, yb), age);
    }
    // AddRows where no curve gathers columns (every one has its pixels in the block): the walk
    // of lines keeps nothing else in registers.
    [[gnu::always_inline]] void AddBlockRows(const CRowPixels& pixels, int age, int slot)
    {
        const int xa = pixels.X(slot - 1), xb = pixels.X(slot);
        if (xa == kNoPixel || xb == kNoPixel)
            return; // a diverged run: nothing to draw here
        for (Curve& c : m_curves)
            AddBlockRow(c, xa, xb, age, slot);
    }
    int GatherRun(const CRowPixels& pixels, int b, int slot);
    void FlushColumn(Curve& c, int age);
    void AddSectionRows(CRowPixels& pixels, const RingSpan& ring, const CurveWalkRows& rows);

    const C2DPlotGeometry m_g;
    std::vector<Curve> m_curves;
    std::vector<FiniteSpan> m_spans; // a column run's extremes, by curve
    bool m_sections = false;
};

template <class Painter>
void CCurveWalk<Painter>::Walk(const double* x, const RingSpan& ring, const CurveWalkRows& rows)
{
    if (m_curves.empty() || !x)
        return;
    m_sections = rows.sections;
    // A curve that gathers columns maps only the rows that end them, one by one.
    std::vector<const double*> ys;
    for (const Curve& c : m_curves)
        ys.push_back(c.painter.GathersColumns() ? nullptr : c.v);
    CRowPixels pixels(m_g, ring.rows, x, std::move(ys), rows.sections ? 1 : CRowPixels::kBlockRows);
    for (std::size_t k = 0; k < m_curves.size(); ++k)
        m_curves[k].py = pixels.Y(static_cast<int>(k));
    if (rows.sections) {
        AddSectionRows(pixels, ring, rows);
    } else {
        // Lines draw nothing between two rows on one pixel: such rows are left out at once. No
        // line gathers columns, so their walk has no test a row for it.
        const bool lines = std::all_of(m_curves.begin(), m_curves.end(), [](const Curve& c) {
            return c.painter.Look() == RowLook::Lines;
        });
        if (lines)
            pixels.Walk(ring, rows.tMin, rows.tMax, rows.rule.step, true,
                        [&](int, int, int age, int slot) {
                            AddBlockRows(pixels, age, slot);
                            return 0;
                        });
        else
            pixels.Walk(ring, rows.tMin, rows.tMax, rows.rule.step, false,
                        [&](int a, int b, int age, int slot) {
                            AddRows(pixels, a, b, age, slot);
                            return GatherRun(pixels, b, slot);
                        });
    }
    for (Curve& c : m_curves) {
        FlushColumn(c, 0);
        c.painter.Finish();
    }
}

// The segment from row a to row b (or b's point), b of the given age, at horizontal pixels xa
// and xb; the vertical pixels mapped here. A curve that gathers columns maps few rows.
template <class Painter>
void CCurveWalk<Painter>::AddRow(Curve& c, int xa, int xb, int a, int b, int age)
{
    if (!std::isfinite(c.v[a]) || !std::isfinite(c.v[b]))
        return; // a diverged run: nothing to draw here
    const CPoint p1(xa, a == c.row ? c.at : m_g.WorldToPixelY(c.v[a]));
    const CPoint p2(xb, m_g.WorldToPixelY(c.v[b]));
    c.row = b;
    c.at = p2.y;
    DrawRow(c, p1, p2, age);
}

// Each curve's segment from row a to row b. A curve against time gathers the rows that go on
// down a pixel column as values, most rows of a long run, and draws the column when it ends;
// the others take their rows' pixels from the block.
template <class Painter>
inline void CCurveWalk<Painter>::AddRows(const CRowPixels& pixels, int a, int b, int age, int slot)
{
    const int xa = pixels.X(slot - 1), xb = pixels.X(slot);
    if (xa == kNoPixel || xb == kNoPixel)
        return;                                  // a diverged run: nothing to draw here
    const bool column = xa == xb && !m_sections; // section rows are a cycle apart
    for (Curve& c : m_curves) {
        if (c.py) {
            AddBlockRow(c, xa, xb, age, slot);
            continue;
        }
        if (column && a == c.row && std::isfinite(c.v[b])) {
            c.column.Add(xa, c.at, a, b, c.v[b]);
            c.row = b;
            continue;
        }
        if (c.column.open)
            FlushColumn(c, age);
        AddRow(c, xa, xb, a, b, age);
    }
}

// Where every curve gathers its columns and went on to row b, the rows after b on b's pixel
// column join the curves' columns at once as their extremes, as they would one by one: their
// values finite, every row of the block walked. One pass over each curve's values finds where
// they stop being finite and their extremes; a curve that stops sooner shortens the run of all,
// and the curves before it take theirs again over the shorter run. The rows taken.
template <class Painter>
int CCurveWalk<Painter>::GatherRun(const CRowPixels& pixels, int b, int slot)
{
    const int x = pixels.X(slot);
    int n = pixels.AllVisited() && x != kNoPixel ? pixels.ColumnRun(slot) : 0;
    // Most rows have no run after them: they ask nothing of the curves.
    if (n == 0 || std::any_of(m_curves.begin(), m_curves.end(),
                              [b](const Curve& c) { return c.py || c.row != b; }))
        return 0;
    m_spans.clear();
    for (const Curve& c : m_curves) {
        m_spans.push_back(FiniteExtremes(c.v + b + 1, n));
        n = m_spans.back().n;
        if (n == 0)
            return 0;
    }
    for (std::size_t k = 0; k < m_curves.size(); ++k) {
        Curve& c = m_curves[k];
        const FiniteSpan e = m_spans[k].n == n ? m_spans[k] : FiniteExtremes(c.v + b + 1, n);
        c.column.Add(x, c.at, b, b + n, e.lo); // opens the column at row b where it is not open
        c.column.Add(x, c.at, b, b + n, e.hi);
        c.row = b + n;
    }
    return n;
}

// The gathered column as the fold of its segments would draw it: first -> highest -> lowest
// -> last; row by row where some row lies beyond the plot and its segments need clipping.
template <class Painter> void CCurveWalk<Painter>::FlushColumn(Curve& c, int age)
{
    ValueColumn& col = c.column;
    if (!col.open)
        return;
    col.open = false;
    const int top = m_g.WorldToPixelY(col.hi), bottom = m_g.WorldToPixelY(col.lo);
    c.at = m_g.WorldToPixelY(c.v[col.lastRow]);
    const CPoint first(col.x, col.firstY), high(col.x, top), low(col.x, bottom);
    if (m_g.WellInside(first) && m_g.WellInside(high) && m_g.WellInside(low)) {
        c.painter.Segment(first, high, age);
        c.painter.Segment(high, low, age);
        c.painter.Segment(low, CPoint(col.x, c.at), age);
        return;
    }
    c.row = col.startRow;
    c.at = col.firstY;
    for (int prev = col.startRow; prev != col.lastRow;) {
        const int next = prev + 1 == c.ringRows ? 0 : prev + 1;
        AddRow(c, col.x, col.x, prev, next, age);
        prev = next;
    }
}

// The rows on the section phase, from the first of them one a cycle.
template <class Painter>
void CCurveWalk<Painter>::AddSectionRows(CRowPixels& pixels, const RingSpan& ring,
                                         const CurveWalkRows& rows)
{
    int prev = -1, k = 0;
    rows.rule.Walk(ring, [&](int row) {
        const int a = prev < 0 ? row : prev;
        AddRows(pixels, a, row, k, pixels.Reach(a, row));
        prev = row;
        ++k;
    });
}
