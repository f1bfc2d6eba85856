#pragma once
// Draws the rows of one curve of a plot: as clipped segments joined into polylines or as single
// pixels, each row with the curve's pen or, where the return marks pick it, with the marks' pen.
// The two pens are made once a drawing, whatever the rows. A curve against time folds the rows
// that crowd a pixel column; any other one-pixel curve skips what sets no new pixel.
#include "model/core/ModelSettings.h"
#include "platform/Dc.h"
#include "views/base/PlotShared.h"
#include "views/rows/CurveWalk.h"
#include "views/rows/RingWalk.h"
#include "views/rows/RowDecimation.h"

#include <cstdint>
#include <memory>
#include <optional>

struct PlotPen
{
    int style = PS_SOLID, width = 1;
    COLORREF color = 0;
};

class CRowPainter
{
public:
    // mark: the marks' pen and the rule that picks their rows; none: every row with pen.
    CRowPainter(CDC* pDC, const CRect& plot, RowLook look, const PlotPen& pen,
                std::optional<PlotPen> mark = std::nullopt, MarkRule rule = {});
    CRowPainter(CRowPainter&&) noexcept;
    ~CRowPainter();

    RowLook Look() const { return m_look; }
    // A curve against time without marks: its crowded columns may be handed over as values.
    bool GathersColumns() const { return m_look == RowLook::TimeLines && m_rule.stride <= 0; }
    // The clipped segment that ends on the row of the given age (see MarkRule). Inline where a
    // curve against time goes on down a crowded pixel column, as most of a long run's rows do.
    void Segment(CPoint a, CPoint b, std::int64_t age)
    {
        if (m_sieveOnly) { // an unmarked one-pixel phase curve: most rows add no pixel
            SievedSegment(a, b);
            return;
        }
        if (m_look != RowLook::TimeLines || m_rule.Marked(age) || !m_fold.Extends(a, b))
            AddSegment(a, b, age);
    }
    // Whether every segment goes through the sieve alone (an unmarked solid one-pixel curve of
    // lines); then SievedSegment is Segment, and so is InsideSegment for a segment inside the
    // plot, with its box tested here.
    bool SievesOnly() const { return m_sieveOnly; }
    void SievedSegment(CPoint a, CPoint b)
    {
        if (a != b && m_sieve->Adds(a, b))
            m_line.batch.Add(a, b);
    }
    void InsideSegment(CPoint a, CPoint b)
    {
        if (a != b && m_sieve->AddsWithin(a, b))
            m_line.batch.Add(a, b);
    }
    // SievedSegment a call away, for the few segments clipped at the plot's edge.
    void ClippedSegment(CPoint a, CPoint b);
    // The clipped segment, with the marks' pen where the view marks it by a rule of its own (a
    // painter made without a MarkRule).
    void MarkedSegment(CPoint a, CPoint b, bool marked);
    // The row's pixel, set when it lies in the plot.
    void Point(CPoint p, std::int64_t age);
    // Draws what is gathered, the marks last; the DC keeps its pen.
    void Finish();

private:
    void AddSegment(CPoint a, CPoint b, std::int64_t age);
    struct Stroke
    {
        std::unique_ptr<CPen> pen;
        PolylineBatch batch;
    };
    CDC* m_pDC;
    CRect m_rcPlot;
    RowLook m_look;
    COLORREF m_color, m_markColor = 0;
    MarkRule m_rule;
    Stroke m_line, m_mark;
    ColumnFold m_fold;
    std::optional<PixelSieve> m_sieve; // one-pixel solid lines and points
    bool m_sieveOnly = false;          // lines, every one sieved, no marks
};

// Import pen i: a curve's (m_clrImport ...) or a view item's (m_clrImportView ...); the view
// items' styles and widths skip the section points' entry (colour 4), which draws no line.
PlotPen ImportPen(const CModelSettings& s, int i, bool viewItem);

// The return marks' pen of a plot item that names its marks (markFlag, markStyle, markWidth,
// markColor, importMarkPen, as a 2-D curve or a 3-D description does): none while its marks, or
// its imported twin's (the next flag), are off. viewPens as in ImportPen.
template <class Item>
std::optional<PlotPen> ReturnMarkPen(const CModelSettings& s, const Item& d, bool imported,
                                     bool viewPens)
{
    const int flag = d.markFlag + (imported ? 1 : 0);
    if (d.markFlag < 0 || flag >= 6 || !s.m_bMarkReturn[flag])
        return std::nullopt;
    if (imported)
        return d.importMarkPen >= 0 ? std::optional(ImportPen(s, d.importMarkPen, viewPens))
                                    : std::nullopt;
    if (!d.markStyle || !d.markWidth || !d.markColor)
        return std::nullopt;
    return PlotPen{s.*d.markStyle, s.*d.markWidth, s.*d.markColor};
}

// A live row's segment, clipped already, on the canvas's DC.
void DrawLiveSegment(CLiveCanvas& live, CWnd* pWnd, const PlotPen& p, CPoint a, CPoint b);
