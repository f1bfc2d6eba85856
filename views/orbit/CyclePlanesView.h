#pragma once
// The Cycle Planes view of the Newtonian model: a run as one polyline in a box of time,
// position p (x) and velocity v (x'), either as the v-p portrait in the plane t = 0 or
// stretched along the time axis, as the model's real-space mode 6 to 11 chooses. Only the
// restore of a model's saved views opens it.
#include "views/base/3DView.h"

class CSys1CP : public C3DView
{
    VX_DECLARE_CLASS(CSys1CP)
public:
    CSys1CP();

    int Mode() const;

protected:
    void TakeSettings(const CModelCore& s) override;
};

// The caption's text after the model's name for a real-space mode; empty outside 6 to 11.
const char* CyclePlanesTitle(int mode);
