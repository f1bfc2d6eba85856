#pragma once
// C2DView: the base of every two-dimensional plot view. It lays the page out from the text
// height, maps world values to pixels, clips segments, labels the axis ends, draws the zero
// axes, shows the mouse and crosshair readouts, the XOR crosshair and rubber band, and prints
// the window's picture stretched to the page width at 4:3.
//
// A view that describes itself (a PlotDescription: the limit block of its document that it
// shows and edits, the table column of its horizontal axis, its curves) gets the rest from
// here too: it follows its model's runs (CRunFollower) and draws each stored row live, draws
// the run and the imported table with its curves' pens, takes its window from the limit block
// at each update, and has zoom, pan, reset and set limits (with their update handlers) and the
// rubber band's zoom. It adds its own texts in DrawMargins, and may override EditLimits (a
// limits dialog of its own) and OnPlotClick (a click without a band).
#include "model/core/LimitBlocks.h"
#include "platform/Dc.h"
#include "platform/View.h"
#include "views/base/PlotLayers.h"
#include "views/base/PlotShared.h"
#include "views/base/PlotView.h"
#include "views/base/RowPainter.h"
#include "views/rows/CurveWalk.h"
#include "views/rows/PlotGeometry.h"
#include "views/rows/RingWalk.h"
#include "views/rows/RowPixels.h"

#include <array>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A curve of a plot: the table column of its vertical values and its settings members. The
// imported table's twin of the curve takes its pen from the import pens at importPen.
struct PlotCurve
{
    int column;
    BOOL CModelSettings::*shown; // null: always shown
    int CModelSettings::*style;  // null: solid
    int CModelSettings::*width;  // null: one pixel
    COLORREF CModelSettings::*color;
    int importPen = -1; // -1: the curve has no imported twin
    // Return marks: while m_bMarkReturn[markFlag] is set, the segment (or point) that ends on a
    // marked row takes the marks' pen; -1: no marks. The imported twin's marks follow the next
    // element of m_bMarkReturn and take import pen importMarkPen.
    int markFlag = -1;
    int CModelSettings::*markStyle = nullptr;
    int CModelSettings::*markWidth = nullptr;
    COLORREF CModelSettings::*markColor = nullptr;
    int importMarkPen = -1;
    bool importViewPens = false; // the import pens are the view items' (m_clrImportView ...)
    bool points = false;         // one pixel a row, in the pen's colour
};

struct PlotDescription : PlotViewCommon
{
    std::optional<LimitBlock> block; // the limits the view shows and edits; none: no commands
    int xColumn = 0;                 // table column of the horizontal axis; 0 is time
    int yColumn = kSlotXp;           // of the vertical axis, for the limits dialog's extents
    std::array<const char*, 2> names{"x", "x'"}; // the axes in the limits dialog and messages
    std::vector<PlotCurve> curves;               // drawing order
    bool sections = false;   // only the rows on the section phase, one a forcing cycle
    bool phaseMarks = false; // a wrapped ring's marks follow its oldest row's phase
};

class C2DView : public CPlotView, public C2DPlotGeometry
{
    VX_DECLARE_CLASS(C2DView)
public:
    C2DView();
    explicit C2DView(PlotDescription description);
    ~C2DView() override;

    const PlotDescription& Description() const { return m_desc; }

    CPoint m_ptBandAnchor; // fixed corner of the rubber band
    CPoint m_ptCross;      // where the crosshair was last drawn
    BYTE m_bCrossDrawn = 0;
    CPoint m_ptBandCorner; // moving corner as last drawn
    BOOL m_bBanding = FALSE;
    double m_dRowTime = 0.0;
    double m_dDt = 0.0;
    int m_nPrevRow = 0;

    static std::string FormatNumber(double value, int digits);

    // The page, the view's own texts (DrawMargins) and, unless the run is still going or waits
    // for Controls/Plot, the run and the imported table.
    void OnDraw(CDC* pDC) override;

    void ShowReadout(CDC* pDC, int px, int py, BOOL bCrosshair);
    void DrawCrosshair(CDC* pDC, int px, int py);
    void DrawArrowHead(CDC* pDC, double xTip, double yTip, double xTail, double yTail, int nLength,
                       int nAngleDeg, COLORREF clr);

    // The run's segment that ends at ring row nRow, for every shown curve, on the live DC.
    void DrawNewSample(int nRow) override;
    void DrawCurves(CDC* pDC);
    void DrawImportedCurves(CDC* pDC);

    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnSize(UINT nType, int cx, int cy) override;

    void OnControlsZoomNear();
    void OnControlsZoomFar();
    void OnControlsPanUp();
    void OnControlsPanDown();
    void OnControlsPanLeft();
    void OnControlsPanRight();
    void OnControlsResetLimits();
    void OnControlsSetLimits();

protected:
    using Pen = PlotPen;
    static Pen CurvePen(const CModelCore& s, const PlotCurve& curve, bool imported);
    // The marks' pen of a curve, none while its marks are off.
    static std::optional<Pen> MarkPen(const CModelCore& s, const PlotCurve& curve, bool imported);
    static bool CurveShown(const CModelCore& s, const PlotCurve& curve);

    // The view's own texts and legend, drawn after the page and its layers.
    virtual void DrawMargins(CDC*) {}
    // The layers drawn over the page in order, before the texts and the run (PlotLayers.h).
    CPlotLayers& Layers() { return m_layers; }
    // The limits dialog: true when the user confirmed it and g holds the new limits. By default
    // the plain dialog of the block, with the captions of the view's prefix and axis names.
    virtual bool EditLimits(PlotLimits& g);
    // A press in the plot starts the rubber band (a view without limits draws none: a click).
    void OnPress(UINT nFlags, CPoint point) override;
    // A click in the plot that drew no band, before the crosshair moves there.
    virtual void OnPlotClick(CPoint) {}
    // Whether the crosshair marks a click; a view with no point to mark says no.
    virtual bool ClickMarksPoint() const { return true; }

    // The document's limit block (the description must name one).
    PlotLimits Limits() const;
    // Writes the window of the view's block; refuses (false) one without open ranges.
    bool SetLimits(const PlotLimits& g);
    void DrawStoredRun(CDC* pDC) override;
    const PlotViewCommon& Common() const override { return m_desc; }
    CPlotPage& Page() override { return *this; }
    // The window from the limit block.
    void TakeSettings(const CModelCore& s) override;
    bool OnOwnHint(LPARAM lHint) override;
    // The cursor's row at its two columns, the crosshair, and the digits of the axes.
    bool CursorPixel(const RowValues& v, CPoint& p) const override;
    void MoveCrosshair(CDC* pDC, CPoint p) override { DrawCrosshair(pDC, p.x, p.y); }
    int CursorDigits(int column) const override;

    // The page without values and zero axes: the printed page's mapping, the layout from the
    // text height, the frame; clears the crosshair and live-drawn flags.
    void DrawPageFrame(CDC* pDC);

private:
    void MapLimitCommands();
    void DrawPage(CDC* pDC);
    void DrawZeroAxes(CDC* pDC);
    void DrawBand(CDC* pDC, CPoint corner);
    using TableColumns = std::array<std::vector<double>, kSlots>;
    void DrawTable(CDC* pDC, const TableColumns& columns, const RingSpan& ring, bool imported);
    using Curve = CurveRows<CRowPainter>;
    std::vector<Curve> CurvesOf(CDC* pDC, const TableColumns& columns, const RingSpan& ring,
                                bool imported);
    CurveWalkRows WalkRows() const;
    void DrawLiveRow(const PlotCurve& c, const Pen& p, CPoint p1, CPoint p2);
    void ChangeLimits(void (*rule)(PlotLimits&), bool bModified);
    void EnableIf(CCmdUI* pCmdUI, bool (*test)(const PlotLimits&));
    void OnUpdateZoomFar(CCmdUI* pCmdUI);
    void OnUpdatePanUp(CCmdUI* pCmdUI);
    void OnUpdatePanDown(CCmdUI* pCmdUI);
    void OnUpdatePanLeft(CCmdUI* pCmdUI);
    void OnUpdatePanRight(CCmdUI* pCmdUI);

    PlotDescription m_desc;
    CPlotLayers m_layers{this, *this};
};
