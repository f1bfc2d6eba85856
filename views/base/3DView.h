#pragma once
// C3DView: the base of every view that shows a run in a box turned by a pitch and a yaw. It lays
// the page out as the 2-D base does, projects world points, draws the box, the axes, the orbit
// views' axes and the floor ellipse, and owns the View Angle dialog's command.
//
// A view that describes itself (a Plot3DDescription: the document's three-axis limit block, the
// table columns of x, y and z, the pen, its slot of the document's angles and its pan member)
// gets the rest here: it follows its model's runs and draws each stored row live, draws the
// stored run, zooms by the box size (leaving the document's limits as they are), pans by
// commands or by dragging the picture, resets, and sets the box with the "Set Plot Boundaries"
// dialog. It adds its own texts in DrawMargins and may draw its own scene in DrawScene.
#include "model/core/LimitBlocks.h"
#include "platform/Dc.h"
#include "platform/View.h"
#include "views/base/3DGeometry.h"
#include "views/base/PlotShared.h"
#include "views/base/PlotView.h"
#include "views/base/RowPainter.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CVADlg;

struct Plot3DDescription : PlotViewCommon
{
    std::optional<LimitBlock> block;                 // three axes; none: the box of the constructor
    std::array<int, 3> columns{0, 0, 0};             // table columns of x, y, z
    std::array<const char*, 3> names{"x", "y", "z"}; // the axes in labels and messages
    int CModelSettings::*style = nullptr;            // the run's pen; null: solid 1 in window text
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
    int angleSlot = -1;                   // element of m_nViewPitch and m_nViewYaw, or -1
    POINT CModelSettings::*pan = nullptr; // the pan offsets kept with the model, or null
};

class C3DView : public CPlotView, public C3DPlotGeometry
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
    double m_dOrbitAxisX = 0, m_dOrbitOffsetX = 0, m_dOrbitOffsetZ = 0;
    CPoint m_ptDragLast;
    double m_dZoom = 1.0; // the box size's share of the plot, relative to the default

    void SetPitch(int nDeg, BOOL bRedraw);
    void SetYaw(int nDeg, BOOL bRedraw);

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
    void OnControlsPanUp();
    void OnControlsPanDown();
    void OnControlsPanLeft();
    void OnControlsPanRight();
    void OnControlsResetLimits();
    void OnControlsSetLimits();

    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

    // The stored run, projected (also what a repaint draws).
    void DrawRun(CDC* pDC);
    // The run's segment that ends at ring row nRow, on the live DC.
    void DrawNewSample(int nRow) override;

protected:
    // The view's own texts, drawn after the page.
    virtual void DrawMargins(CDC*) {}
    // The box, the axes and (when drawing fully and the run is due) the run.
    virtual void DrawScene(CDC* pDC, bool bFull);
    void DrawStoredRun(CDC* pDC) override;
    const PlotViewCommon& Common() const override { return m_desc; }
    CPlotPage& Page() override { return *this; }
    // The box, the angles and the pan from the document.
    void TakeSettings(const CModelCore& s) override;
    bool OnOwnHint(LPARAM lHint) override;

private:
    void MapCommands();
    void SetAngle(bool pitch, int nDeg, BOOL bRedraw);
    void DrawPage(CDC* pDC);
    void TakeBox(const CModelCore& s);
    void TakeAngles(const CModelCore& s);
    void StorePan();
    void Pan(int dx, int dy);
    void DrawAxis(CDC* pDC, CPoint centre, CPoint a, CPoint b, const std::string& name);
    template <class Draw> void WithAxisStyle(CDC* pDC, Draw draw);
    LRESULT OnViewAngleClosed(WPARAM, LPARAM);
    // The run's pen, and the marks' pen while the marks are on.
    PlotPen RunPen(const CModelCore& s) const;
    std::optional<PlotPen> MarkPen(const CModelCore& s) const;
    // The run's columns x, y, z (false when the table lacks one), and a row's point.
    bool RunColumns(const CModelCore& s, const double* v[3]) const;
    CPoint RowPoint(const double* const v[3], int row) const;

    Plot3DDescription m_desc;
    CPoint m_ptPress;
};
