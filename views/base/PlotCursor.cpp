// The keyboard cursor of CPlotView: its keys, its row's values and its read-outs.
#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/Ids.h"
#include "platform/Keyboard.h"
#include "views/base/PlotShared.h"
#include "views/base/PlotView.h"
#include "views/rows/CurveWalk.h"
#include "views/rows/PlotText.h"
#include "views/rows/RingWalk.h"

#include <cmath>

namespace {
CursorKey KeyOf(UINT nChar)
{
    switch (nChar) {
    case VK_UP:
        return CursorKey::Up;
    case VK_DOWN:
        return CursorKey::Down;
    case VK_SHIFT:
        return CursorKey::ShiftDown;
    case 'G':
        return CursorKey::Computed;
    case 'I':
        return CursorKey::Imported;
    default:
        return CursorKey::Other;
    }
}

COLORREF SourceColour(const CModelCore& s, const CursorDescription& d, int source)
{
    if (source == 1)
        return d.importItem >= 0 && d.importItem < 7 ? s.m_clrImportView[d.importItem]
                                                     : s.m_clrImport[0];
    return d.color ? s.*d.color : GetSysColor(COLOR_WINDOWTEXT);
}
} // namespace

CursorRows CPlotView::CursorRowsOf(const CModelCore& s)
{
    return {s.m_nTableRows,     s.m_nTableIndex, s.m_nTableCount,     s.m_bTableWrapped != 0,
            s.m_bHaveData != 0, s.m_nImportRows, s.m_bHaveImport != 0};
}

bool CPlotView::StepCursorBy(CursorKey key)
{
    const IModelDocument* m = GetModel();
    const CursorDescription& d = Common().cursor;
    if (!m || d.wrap == CursorWrap::None)
        return false;
    return StepCursor(m_cursor, key, CursorRowsOf(m->Core()), d.wrap, &m_cursorSection);
}

void CPlotView::TakeSectionCursor(const CModelCore& s, bool toFirst)
{
    SectionCursor& sc = m_cursorSection;
    const SectionRule rule = SectionRuleOf(s);
    sc.stride = rule.stride;
    {
        const CTableReadLock lock(s); // a run may be writing the ring
        const SectionRows rows = rule.Find(RunSpan(s, lock.Ring()));
        sc.first = rows.first;
        sc.last = rows.last;
    }
    if (!toFirst)
        return;
    sc.current = sc.first;
    // An imported table's sections start at its row 0.
    m_cursor.row = m_cursor.source == 1 ? 0 : sc.first;
    KeepCursorInside(m_cursor, CursorRowsOf(s));
}

void CPlotView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // The rows per cycle and a live ring's section rows as they stand at this key.
    if (Common().cursor.wrap == CursorWrap::Section && GetModel())
        TakeSectionCursor(GetModel()->Core(), false);
    const CursorKey key = KeyOf(nChar);
    // Ten rows a step while Shift is held as the arrow comes: a Shift let go while another
    // window had the focus never reaches this view's key-up.
    if (key == CursorKey::Up || key == CursorKey::Down)
        StepCursorBy(ShiftHeld() ? CursorKey::ShiftDown : CursorKey::ShiftUp);
    if (StepCursorBy(key)) {
        CClientDC dc(this);
        DrawCursor(&dc);
    }
    CKindView<CView>::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CPlotView::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SHIFT)
        StepCursorBy(CursorKey::ShiftUp);
    CKindView<CView>::OnKeyUp(nChar, nRepCnt, nFlags);
}

bool CPlotView::CursorValues(RowValues& v) const
{
    const IModelDocument* m = GetModel();
    if (!m)
        return false;
    const CModelCore& s = m->Core();
    RowCursor c = m_cursor;
    const CursorRows rows = CursorRowsOf(s);
    KeepCursorInside(c, rows);
    const bool imported = c.source == 1;
    const int n = imported ? rows.ImportedRows() : rows.ComputedRows();
    if (c.row < 0 || c.row >= n)
        return false;
    const CTableReadLock lock(s); // a run may be writing the ring
    const auto& columns = imported ? s.m_arrImport : s.m_arrTable;
    for (int k = 0; k < kSlots; ++k) {
        const double* col = ColumnData(columns[k], c.row + 1);
        v[k] = col ? col[c.row] : 0.0;
    }
    return true;
}

int CPlotView::CursorDigits(int column) const
{
    const IModelDocument* m = GetModel();
    return column == kSlotT && m ? DigitsForStep(m->Core().RunStep()) : 4;
}

void CPlotView::DrawCursor(CDC* pDC)
{
    const IModelDocument* m = GetModel();
    RowValues v{};
    if (!m || Common().cursor.wrap == CursorWrap::None || !CursorValues(v))
        return;
    CPoint p;
    if (CursorPixel(v, p))
        MoveCrosshair(pDC, p);
    DrawReadouts(pDC, v);
}

void CPlotView::DrawCursorIfDue(CDC* pDC)
{
    const IModelDocument* m = GetModel();
    if (!m || Common().cursor.wrap == CursorWrap::None)
        return;
    const CModelCore& s = m->Core();
    if ((s.m_bHaveData || s.m_bHaveImport) && (!s.m_bPlotManual || s.m_bPlotRequest))
        DrawCursor(pDC);
}

void CPlotView::DrawReadouts(CDC* pDC, const RowValues& v)
{
    const CursorDescription& d = Common().cursor;
    const CPlotPage& page = Page();
    const CRect& plot = page.m_rcPlot;
    const int h = page.m_nTextHeight;
    const int right = plot.right + page.m_nMarginRight;
    const int lines[3] = {plot.top, (plot.top + plot.bottom) / 2, plot.bottom - 50};
    CFont* pOldFont = m_hFontDown ? pDC->SelectObject(m_hFontDown.get()) : nullptr;
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->SetBkMode(OPAQUE);
    pDC->SetBkColor(GetSysColor(COLOR_WINDOW));
    pDC->SetTextColor(SourceColour(GetModel()->Core(), d, m_cursor.source));
    m_rcReadout.resize(d.readouts.size());
    for (std::size_t i = 0; i < d.readouts.size(); ++i) {
        const CursorReadout& r = d.readouts[i];
        if (r.column < 0 || r.column >= kSlots || r.line < 0 || r.line > 2)
            continue;
        const std::string text = std::string(VarOf(static_cast<VarSlot>(r.column)).name) + " =" +
                                 FormatNumber(v[r.column], CursorDigits(r.column));
        EraseRect(pDC, m_rcReadout[i]);
        const int x = right - r.across * h, y = lines[r.line];
        pDC->TextOut(x, y, text);
        m_rcReadout[i] = CRect(x - h, y, x, y + MeasureText(pDC, text).cx);
    }
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}
