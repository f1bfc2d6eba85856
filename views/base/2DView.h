#pragma once
// C2DView: the base of every two-dimensional plot view. It lays the page out from the text
// height, maps world values to pixels, clips segments, labels the axis ends, draws the zero
// axes, shows the mouse and crosshair readouts, the XOR crosshair and rubber band, and prints
// the window's picture stretched to the page width at 4:3. It follows its model's runs
// (CRunFollower). Subclasses set the world limits and digit counts in OnUpdate, call OnDraw
// first and then draw their data.
#include "model/RunFollower.h"
#include "platform/Dc.h"
#include "platform/View.h"
#include "views/base/PlotGeometry.h"

#include <memory>
#include <string>

class C2DView : public CRunFollower<CView>, public C2DPlotGeometry
{
    VX_DECLARE_CLASS(C2DView)
public:
    C2DView();
    ~C2DView() override;

    CPoint m_ptBandAnchor; // fixed corner of the rubber band
    CPoint m_ptCross;      // where the crosshair was last drawn
    BYTE m_bCrossDrawn = 0;
    CPoint m_ptBandCorner; // moving corner as last drawn
    BOOL m_bBanding = FALSE;
    double m_dRowTime = 0.0;
    double m_dDt = 0.0;
    BYTE m_bLiveDrawn = 0;
    int m_nPrevRow = 0;

    // Arial -12, reading across, upwards and downwards; made in OnInitialUpdate.
    std::unique_ptr<CFont> m_hFont, m_hFontUp, m_hFontDown;

    // Text routines shared by all plot views.
    static std::string FormatNumber(double value, int digits);
    static CSize MeasureText(CDC* pDC, const std::string& str);
    static void EraseRect(CDC* pDC, const CRect& rect);

    void OnDraw(CDC* pDC) override;
    void OnInitialUpdate() override;

    void ShowReadout(CDC* pDC, int px, int py, BOOL bCrosshair);
    void DrawCrosshair(CDC* pDC, int px, int py);
    void DrawArrowHead(CDC* pDC, double xTip, double yTip, double xTail, double yTail, int nLength,
                       int nAngleDeg, COLORREF clr);

    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnSize(UINT nType, int cx, int cy) override;

    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;

protected:
    // The frame asks the plot views to skip the one drawing after a restore; true when this
    // drawing is that one (the request is then used up).
    bool ConsumeSkipNextDraw();

private:
    void DrawZeroAxes(CDC* pDC);
    void DrawBand(CDC* pDC, CPoint corner);
};
