#pragma once
// CPlotView: what the 2-D and 3-D plot bases share. It follows its model's runs, draws each
// stored row live on a window DC kept until the next update that is not a row, and at any other
// update takes its settings from the document and repaints as the hint asks; at the end of a
// run a picture drawn live is kept, Overlay Plot draws the stored run over the picture, and
// otherwise the window is repainted. It also owns the plot fonts, printing, and the skip of the
// one drawing after a frame's restore; its description's key gives it (CKindView) its help,
// toolbar and open-view count.
#include "platform/View.h"
#include "views/base/KindView.h"
#include "views/base/PlotCursor.h"
#include "views/base/PlotLegend.h"
#include "views/base/PlotShared.h"
#include "views/rows/PlotGeometry.h"

#include <memory>
#include <string>
#include <vector>

// What every plot view's description names besides its plot.
struct PlotViewCommon
{
    std::string title;               // the frame's caption after the model's name
    std::vector<LPARAM> redrawHints; // hints that repaint the window besides HINT_RESET
    ViewKey key; // help, toolbar, open-view count and limit captions (ViewIndex.h); none: -1
    CursorDescription cursor; // the keyboard cursor (PlotCursor.h); none by default
};

class CPlotView : public CKindView<CView>
{
    VX_DECLARE_CLASS(CPlotView)
public:
    CPlotView();

    BYTE m_bLiveDrawn = 0;
    // The keyboard cursor: the row it marks, its source (0 computed, 1 imported) and the rows
    // a step moves; a Section cursor keeps to the section rows the view sets here.
    RowCursor m_cursor;
    SectionCursor m_cursorSection;
    // Arial -12, reading across, upwards and downwards; made in OnInitialUpdate.
    std::unique_ptr<CFont> m_hFont, m_hFontUp, m_hFontDown;
    // The legend's items that a click opens, placed as the view draws them.
    CPlotLegend m_legend;

    void OnInitialUpdate() override;
    // A stored row is drawn live; any other hint takes the settings and repaints as it asks.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;

    // The run's segment that ends at ring row nRow, on the live DC.
    virtual void DrawNewSample(int nRow) = 0;

    ViewKey Key() const override { return Common().key; }

    // The cursor's keys (Up, Down, Shift, 'G', 'I'); a key that moves it draws it at once.
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Outside the plot, a click on a legend item opens it; then the view's own OnPress.
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    // The cross at the cursor's row and the row's read-outs in its source's colour.
    virtual void DrawCursor(CDC* pDC);

protected:
    virtual const PlotViewCommon& Common() const = 0;
    virtual CPlotPage& Page() = 0;
    // The view's window (limits, box, angles) from the document, at every update but a row.
    virtual void TakeSettings(const CModelCore& s) = 0;
    // A hint of the view's own; true when handled.
    virtual bool OnOwnHint(LPARAM) { return false; }
    // A press of the left button, after the legend had it.
    virtual void OnPress(UINT nFlags, CPoint point) { CView::OnLButtonDown(nFlags, point); }
    // What Overlay Plot draws over the picture at the end of a run.
    virtual void DrawStoredRun(CDC* pDC) = 0;

    // Whether a drawing shows the run's rows: a finished run's, and during a run drawn live
    // those stored so far (live drawing goes on from there).
    static bool RunRowsDue(const CModelCore& s)
    {
        return s.m_bHaveData || (s.m_bRunning && s.m_bPlotConcurrent);
    }
    // The rows the cursor walks, as the document holds them.
    static CursorRows CursorRowsOf(const CModelCore& s);
    // The values of the cursor's row; false when its source has no such row.
    bool CursorValues(RowValues& v) const;
    // The cursor at a repaint: drawn when the view has one, there are rows and the plot is due.
    void DrawCursorIfDue(CDC* pDC);
    // A Section cursor's rows as the ring holds them (its first and last section rows and the
    // rows per cycle); toFirst also puts the cursor on the first section row of its source.
    void TakeSectionCursor(const CModelCore& s, bool toFirst);
    // What the bases give the cursor: the pixel of a row (false: none), the cross moved there,
    // and the digits of a read-out.
    virtual bool CursorPixel(const RowValues&, CPoint&) const { return false; }
    virtual void MoveCrosshair(CDC*, CPoint) {}
    virtual int CursorDigits(int column) const;

    // The frame's caption: the model's name and the description's title, if it has one.
    void TakeCaption(const CModelCore& s);
    // The end of a run, or a new model.
    void RunEnded(const CModelCore& s);
    void InvalidateMargins();
    void EndLiveDrawing() { m_live.End(); }
    // True when this drawing is the one to skip after a restore (a redraw follows it).
    bool SkipThisDrawing(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy) override;
    void OnDestroy() override;

    CLiveCanvas m_live;

private:
    LRESULT OnRedrawSkipped(WPARAM, LPARAM);
    bool StepCursorBy(CursorKey key);
    void DrawReadouts(CDC* pDC, const RowValues& v);

    std::vector<CRect> m_rcReadout; // the read-outs' boxes, erased before each is drawn again
};
