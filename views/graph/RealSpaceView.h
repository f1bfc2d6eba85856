#pragma once
// The Real Space view of the Newtonian model: x as the angle of a pendulum that swings in the
// upper half of the plot while a run is calculated (drawn in XOR, so each position removes the
// last), above a trace of the run: the excursions L sin of x, x' and x'' against time running
// downwards (modes 1 to 3) or L sin(x') against L sin(x) (modes 4 and 5). It uses the 2-D
// base's transforms, clipping, crosshair and fonts but lays its page out itself; a click in the
// plot marks the row of its time in the Data Table view.
#include "views/base/2DView.h"
#include "views/base/PlotShared.h"

class CSys1RS : public C2DView
{
    VX_DECLARE_CLASS(CSys1RS)
public:
    CSys1RS();

    CPoint m_ptPivot;
    CPoint m_ptBob;
    int m_nRodLength = 300;
    int m_nBobRadius = 10;

    int Mode() const;

    void OnDraw(CDC* pDC) override;
    // The stored run, whole.
    void DrawPlotSpace(CDC* pDC);
    // The row just stored during a run: its trace segment and the pendulum moved to it.
    void DrawRealSpace(int nRow);
    void DrawNewSample(int nRow) override { DrawRealSpace(nRow); }
    // The pen of a legend item (0 x, 1 x', 2 x'', 3 the phase trace).
    void EditPaneStyle(int nItem);

    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnControlsSelectVariables();
    void OnUpdateControlsSelectVariables(CCmdUI* pCmdUI);

protected:
    // A click in the plot marks the row of its time in the Data Table view.
    void OnPlotClick(CPoint point) override;
    void DrawStoredRun(CDC* pDC) override;
    void TakeSettings(const CModelCore& s) override;

private:
    void DrawAxesAndNames(CDC* pDC);
    void DrawLegend(CDC* pDC);
    // The pendulum in XOR at an angle: a second drawing at the same angle removes it.
    void DrawPendulum(CDC* pDC, double angle);
    int ScreenRows(CDC* pDC);
    // The trace's segment between two rows, per shown curve, on pDC (batched when batches).
    void TraceSegment(CDC* pDC, int a, int b);
};
