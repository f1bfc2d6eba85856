#pragma once
// The Cycle Planes view of the Newtonian model: a run as one polyline in a box of time,
// position p (x) and velocity v (x'), either as the v-p portrait in the plane t = 0 or
// stretched along the time axis, as the model's real-space mode 6 to 11 chooses. With "Mark
// Return Chronon" on, each turning point of the motion (the velocity turning from non-negative
// to non-positive) is drawn with the second pen and gets p and v axes of its own at its time:
// the cycle planes. Only the restore of a model's saved views opens it.
#include "views/base/3DView.h"

class CSys1CP : public C3DView
{
    VX_DECLARE_CLASS(CSys1CP)
public:
    CSys1CP();

    int Mode() const;

    // The time axis (modes 7 to 11) and the p and v axes at time t.
    void DrawPlaneAxes(CDC* pDC, double t);
    void DrawOrbit(CDC* pDC);
    void DrawNewSample(int nRow) override;

protected:
    void TakeSettings(const CModelCore& s) override;
    void DrawScene(CDC* pDC, bool bFull) override;
    void DrawStoredRun(CDC* pDC) override;
    SwatchRows LegendRows(const CModelCore& s) const override;

private:
    // The segment from row a to row b: its pen and, at a turning point, its plane; true there.
    template <class Draw> bool Step(CDC* pDC, const CModelCore& s, int a, int b, Draw draw);
};

// The caption's text after the model's name for a real-space mode; empty outside 6 to 11.
const char* CyclePlanesTitle(int mode);
