#pragma once
// C3DView: the base of every view that shows a run in a box turned by a pitch and a yaw. It lays
// the page out as the 2-D base does, projects world points, draws the box, the axes, the orbit
// views' axes and the floor ellipse, and owns the View Angle dialog's command.
//
// A view that describes itself (a Plot3DDescription) gets the rest here: it follows its model's
// runs and draws each stored row live through the description's mapping of a row to a point of
// the box (its columns as they stand, or the forcing-phase cylinder), draws the stored run,
// turns, and is dragged about. It keeps its angles and pan in the document's slots. The commands
// its kind has (zoom and reset of the box size, pan, Set Limits with the block's captions) come
// from the description too. It adds its own texts in DrawMargins and may draw its own scene in
// DrawScene.
#include "model/core/LimitBlocks.h"
#include "platform/Dc.h"
#include "platform/View.h"
#include "views/base/PlotLegend.h"
#include "views/base/PlotShared.h"
#include "views/base/PlotView.h"
#include "views/base/RowPainter.h"
#include "views/dialogs/ViewAngleTarget.h"
#include "views/rows/3DGeometry.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CVADlg;

// The box commands a view's kind has besides Set Limits (which any view with a block has) and the
// View Angle dialog (which every 3-D view has).
enum Plot3DCommand : unsigned
{
    k3DZoom = 1,  // Zoom Near and Zoom Far, of the box size
    k3DReset = 2, // the box size and the pan of the last resize
    k3DPan = 4,   // the four pan commands
};

struct Plot3DDescription : PlotViewCommon
{
    // The box's axes (three), or the cylinder's radius and height (two); none: no Set Limits.
    std::optional<LimitBlock> block;
    RowMapping mapping = RowMapping::Columns;
    // Table columns of x, y, z; the cylinder's radius and height. -1: not mapped.
    std::array<int, 3> columns{0, 0, 0};
    // The axes in the Set Limits captions (with the key's prefix) and messages.
    std::array<const char*, 3> names{"x", "y", "z"};
    // The box where the block does not give it (the cylinder's, or a view without a block).
    std::array<double, 3> boxLo{-10, -10, -10}, boxHi{10, 10, 10};
    unsigned commands = 0; // Plot3DCommand bits
    BoxZoom zoom;
    bool reloadAngles = false; // the View Angle dialog takes the angles of the view activated
    int CModelSettings::*style = nullptr; // the run's pen; null: solid 1 in window text
    int CModelSettings::*width = nullptr;
    COLORREF CModelSettings::*color = nullptr;
    // Return marks: while m_bMarkReturn[markFlag] is set, the segment that ends on a marked row
    // takes the marks' pen; -1: no marks. phaseMarks: a wrapped ring's marks follow its oldest
    // row's forcing phase.
    int markFlag = -1;
    int CModelSettings::*markStyle = nullptr;
    int CModelSettings::*markWidth = nullptr;
    COLORREF CModelSettings::*markColor = nullptr;
    bool phaseMarks = false;
    // The imported table's pen and its marks' pen (following m_bMarkReturn[markFlag + 1]), view
    // items of the import pens (m_clrImportView ...); -1: the imported table is not drawn.
    int importPen = -1;
    int importMarkPen = -1;
    const char* legend = nullptr;         // the run's legend swatch (" s "); null: no legend
    bool points = false;                  // one pixel a row, in the pen's colour
    bool sections = false;                // only the rows on the section phase, one a forcing cycle
    int angleSlot = -1;                   // element of m_nViewPitch and m_nViewYaw, or -1
    POINT CModelSettings::*pan = nullptr; // the pan offsets kept with the model, or null
};

class C3DView : public CPlotView, public C3DPlotGeometry, public IViewAngleTarget
{
    VX_DECLARE_CLASS(C3DView)
public:
    // Posted by the View Angle dialog's close box: the view destroys the dialog.
    static constexpr UINT WM_VIEW_ANGLE_CLOSED = WM_APP + 0x21;

    C3DView();
    explicit C3DView(Plot3DDescription description);
    ~C3DView() override;

    const Plot3DDescription& Description() const { return m_desc; }

    CVADlg* m_pVADlg = nullptr;
    CPoint m_ptDragOffset;
    BYTE m_bDragging = 0;
    BYTE m_bFullRedraw = 1;
    BYTE m_bCrossDrawn = 0;
    CPoint m_ptCross;
    CPoint m_ptDragLast;
    int m_nBoxSizeHome = 0; // the box size of the last resize, which Reset Limits restores
    CPoint m_ptPanHome;     // the pan of the last resize, likewise

    // The run's legend items: the run, the imported rows, the run's marks, the imported marks.
    enum RunItem
    {
        kRunItem,
        kImportItem,
        kMarkItem,
        kImportMarkItem,
        kRunItems
    };
    CRect m_rcLegend; // where the legend lies above the plot
    // Edits an item's pen and its "Mark Return Chronon" (of points: the colour); true after OK.
    bool EditRunItem(int item);

    int ViewPitch() const override { return m_nPitch; }
    int ViewYaw() const override { return m_nYaw; }
    void SetPitch(int nDeg, BOOL bRedraw) override;
    void SetYaw(int nDeg, BOOL bRedraw) override;
    void ViewAngleDialogClosed() override;

    void DrawBox(CDC* pDC);
    void DrawAxes(CDC* pDC);
    void DrawOrbitAxes(CDC* pDC, const std::string& strName1, const std::string& strName2);
    void DrawFloorEllipse(CDC* pDC);
    void DrawCrosshair(CDC* pDC, int px, int py);

    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    void OnControlsSetYawPitch();
    void OnUpdateControlsSetYawPitch(CCmdUI* pCmdUI);
    void CloseViewAngleDlg();

    void OnControlsZoomNear();
    void OnControlsZoomFar();
    void OnUpdateControlsZoomFar(CCmdUI* pCmdUI);
    void OnControlsPanUp();
    void OnControlsPanDown();
    void OnControlsPanLeft();
    void OnControlsPanRight();
    void OnControlsResetLimits();
    void OnControlsSetLimits();

    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

    // The stored run, projected (also what a repaint draws), and the imported table; a view
    // that shows them otherwise draws its own.
    virtual void DrawRun(CDC* pDC);
    virtual void DrawImportedRun(CDC* pDC);
    // The description's columns of a table of rows rows; t null when a column is missing.
    MappedColumns MapColumns(const std::array<std::vector<double>, kSlots>& table, int rows) const;
    // The run's segment that ends at ring row nRow, on the live DC.
    void DrawNewSample(int nRow) override;

protected:
    // The view's own texts, drawn after the page.
    virtual void DrawMargins(CDC*) {}
    // The legend's rows above the plot, the lowest first: by default the description's swatch
    // on the run's colour and " r " on the marks' while they are on, and the same for imported
    // rows one line up.
    virtual SwatchRows LegendRows(const CModelCore& s) const;
    // DrawSceneFrame and (when drawing fully and the run is due) DrawStoredRun.
    virtual void DrawScene(CDC* pDC, bool bFull);
    // What every drawing shows, however quick: the box and its axes, or on the cylinder the
    // floor ellipse and the cylinder's axes with the description's first two names.
    void DrawSceneFrame(CDC* pDC);
    void DrawStoredRun(CDC* pDC) override;
    const PlotViewCommon& Common() const override { return m_desc; }
    CPlotPage& Page() override { return *this; }
    // The box, the angles and the pan from the document.
    void TakeSettings(const CModelCore& s) override;
    bool OnOwnHint(LPARAM lHint) override;
    // A press in the plot starts a drag of the picture.
    void OnPress(UINT nFlags, CPoint point) override;
    // The run's pen, and the marks' pen while the marks are on; of the imported table with
    // imported.
    PlotPen RunPen(const CModelCore& s, bool imported = false) const;
    std::optional<PlotPen> MarkPen(const CModelCore& s, bool imported = false) const;
    // The cursor's row mapped into the box, and the crosshair.
    bool CursorPixel(const RowValues& v, CPoint& p) const override;
    void MoveCrosshair(CDC* pDC, CPoint p) override { DrawCrosshair(pDC, p.x, p.y); }

private:
    void MapCommands();
    void SetAngle(bool pitch, int nDeg, BOOL bRedraw);
    void DrawPage(CDC* pDC);
    void DrawLegend(CDC* pDC);
    void ForgetPaintedCross(CDC* pDC);
    void TakeBox(const CModelCore& s);
    int LimitAxes() const;
    void TakeAngles(const CModelCore& s);
    void StorePan();
    void Pan(int dx, int dy);
    void DrawAxis(CDC* pDC, CPoint centre, CPoint a, CPoint b, const std::string& name);
    template <class Draw> void WithAxisStyle(CDC* pDC, Draw draw);
    LRESULT OnViewAngleClosed(WPARAM, LPARAM);
    // The rows of a table (ring.t is filled in) as the description draws them.
    void DrawTable(CDC* pDC, const std::array<std::vector<double>, kSlots>& table, RingSpan ring,
                   bool imported);
    // The live row as a point: every row, or (sections) each cycle's.
    void DrawNewPoint(const CModelCore& s, const MappedColumns& c, int nRow);

    Plot3DDescription m_desc;
    CPoint m_ptPress;
    CSize m_szHome; // the plot's size when the box size was last set from it
};
