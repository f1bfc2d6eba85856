#include "views/base/RowPainter.h"

CRowPainter::CRowPainter(CDC* pDC, const CRect& plot, RowLook look, const PlotPen& pen,
                         std::optional<PlotPen> mark, MarkRule rule)
    : m_pDC(pDC), m_rcPlot(plot), m_look(look), m_color(pen.color), m_rule(mark ? rule : MarkRule{})
{
    m_line.pen = std::make_unique<CPen>(pen.style, pen.width, pen.color);
    m_line.batch.m_pDC = pDC;
    m_line.batch.m_pPen = m_line.pen.get();
    if (mark) {
        m_markColor = mark->color;
        m_mark.pen = std::make_unique<CPen>(mark->style, mark->width, mark->color);
        m_mark.batch.m_pDC = pDC;
        m_mark.batch.m_pPen = m_mark.pen.get();
    }
    // The sieve knows which pixels a line surely set only for a solid line one pixel wide.
    if (look == RowLook::Points ||
        (look == RowLook::Lines && pen.style == PS_SOLID && pen.width <= 1))
        m_sieve.emplace(plot);
    m_sieveOnly = look == RowLook::Lines && m_sieve && m_rule.stride <= 0;
}

CRowPainter::CRowPainter(CRowPainter&&) noexcept = default;
CRowPainter::~CRowPainter() = default;

void CRowPainter::AddSegment(CPoint a, CPoint b, std::int64_t age)
{
    if (m_rule.Marked(age)) {
        m_mark.batch.Add(a, b);
        return;
    }
    if (m_look == RowLook::TimeLines)
        m_fold.Add(a, b, [this](CPoint p, CPoint q) { m_line.batch.Add(p, q); });
    else if (a != b && (!m_sieve || m_sieve->Adds(a, b)))
        m_line.batch.Add(a, b);
}

void CRowPainter::ClippedSegment(CPoint a, CPoint b)
{
    SievedSegment(a, b);
}

void CRowPainter::MarkedSegment(CPoint a, CPoint b, bool marked)
{
    if (marked && m_mark.pen)
        m_mark.batch.Add(a, b);
    else
        AddSegment(a, b, -1);
}

void CRowPainter::Point(CPoint p, std::int64_t age)
{
    if (!m_rcPlot.PtInRect(p))
        return;
    if (m_rule.Marked(age))
        m_pDC->SetPixel(p.x, p.y, m_markColor);
    else if (m_sieve->AddsPoint(p))
        m_pDC->SetPixel(p.x, p.y, m_color);
}

void CRowPainter::Finish()
{
    m_fold.Flush([this](CPoint p, CPoint q) { m_line.batch.Add(p, q); });
    m_line.batch.Flush();
    if (m_mark.pen)
        m_mark.batch.Flush();
}

void DrawLiveSegment(CLiveCanvas& live, CWnd* pWnd, const PlotPen& p, CPoint a, CPoint b)
{
    CDC& dc = live.DC(pWnd);
    CPen* pOldPen = dc.SelectObject(&live.Pen(p.style, p.width, p.color));
    dc.MoveTo(a);
    dc.LineTo(b);
    dc.SelectObject(pOldPen);
    live.Touch(a, b, p.width);
}

PlotPen ImportPen(const CModelSettings& s, int i, bool viewItem)
{
    if (i < 0 || i >= 7)
        return {};
    if (!viewItem)
        return {s.m_nStyleImport[i], s.m_nWidthImport[i], s.m_clrImport[i]};
    if (i == 4)
        return {PS_SOLID, 1, s.m_clrImportView[i]};
    const int j = i < 4 ? i : i - 1;
    return {s.m_nStyleImportView[j], s.m_nWidthImportView[j], s.m_clrImportView[i]};
}
