#include "views/base/PlotView.h"

#include "model/RunProtocol.h"
#include "platform/FrameWnd.h"

#include <algorithm>

VX_IMPLEMENT_ABSTRACT(CPlotView, CView)

namespace {
// Posted by a drawing that was skipped: the whole picture is drawn again right after it.
constexpr UINT WM_REDRAW_SKIPPED = WM_APP + 0x20;
} // namespace

CPlotView::CPlotView()
{
    MapMessage(WM_REDRAW_SKIPPED, &CPlotView::OnRedrawSkipped);
}

void CPlotView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    MakePlotFonts(m_hFont, m_hFontUp, m_hFontDown);
    CountOpenView();
}

void CPlotView::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    IModelDocument* m = GetModel();
    if (!m)
        return;
    if (const CRowHint* row = CRowHint::Of(pHint)) {
        DrawNewSample(row->m_nRow);
        m_bLiveDrawn = TRUE;
        return;
    }
    EndLiveDrawing();
    const CModelCore& s = m->Core();
    if (Common().cursor.wrap != CursorWrap::None) {
        CursorToOldest(m_cursor, CursorRowsOf(s)); // a view's TakeSettings may put it elsewhere
        if (Common().cursor.wrap == CursorWrap::Section)
            TakeSectionCursor(s, true);
    }
    TakeSettings(s);
    if (OnOwnHint(lHint))
        return;
    const std::vector<LPARAM>& redraw = Common().redrawHints;
    if (lHint == HINT_MODEL || lHint == HINT_CALC_DONE)
        RunEnded(s);
    else if (lHint == HINT_RESET || std::ranges::find(redraw, lHint) != redraw.end())
        RedrawWindow();
}

void CPlotView::TakeCaption(const CModelCore& s)
{
    if (!Common().title.empty())
        if (CFrameWnd* frame = GetParentFrame())
            frame->SetWindowText(s.m_strFileName + Common().title);
}

void CPlotView::RunEnded(const CModelCore& s)
{
    if (s.m_bPlotOverlay) {
        CClientDC dc(this);
        if (!m_bLiveDrawn)
            DrawStoredRun(&dc);
        InvalidateMargins();
        DrawCursorIfDue(&dc);
    } else if (m_bLiveDrawn) {
        InvalidateMargins();
        if (s.m_bHaveData) {
            CClientDC dc(this);
            DrawCursorIfDue(&dc);
        }
    } else {
        RedrawWindow();
    }
    m_bLiveDrawn = FALSE;
}

void CPlotView::InvalidateMargins()
{
    const CPlotPage& p = Page();
    const CRect* const strips[4] = {&p.m_rcMarginLeftArea, &p.m_rcMarginTopArea,
                                    &p.m_rcMarginRightArea, &p.m_rcMarginBottomArea};
    InvalidateStrips(this, strips);
}

// A printout is never skipped and leaves the request to the screen; a skipped drawing asks for
// the whole picture right after it.
bool CPlotView::SkipThisDrawing(CDC* pDC)
{
    if (pDC->IsPrinting() || !ConsumeSkipNextDraw(this))
        return false;
    PostMessage(WM_REDRAW_SKIPPED);
    return true;
}

LRESULT CPlotView::OnRedrawSkipped(WPARAM, LPARAM)
{
    Invalidate();
    return 0;
}

BOOL CPlotView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CPlotView::OnSize(UINT nType, int cx, int cy)
{
    EndLiveDrawing();                                // the window's picture may take the new size
    m_rcReadout.assign(m_rcReadout.size(), CRect()); // the next read-out erases nothing
    CView::OnSize(nType, cx, cy);
}

void CPlotView::OnDestroy()
{
    EndLiveDrawing();
    CKindView<CView>::OnDestroy();
}

void CPlotView::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!Page().m_rcPlotHit.PtInRect(point))
        m_legend.Dispatch(point);
    OnPress(nFlags, point);
}
