#pragma once
// The three-variable model's Poincaré Section and Projected Orbit: the states (x, y, z) of a
// run in the turnable box of the 3-D base, once per forcing cycle as points or joined row by
// row, with the "Show Cell?" check box that shows or hides the box's edges.
#include "views/base/3DView.h"

class CBox3View : public C3DView
{
    VX_DECLARE_CLASS(CBox3View)
public:
    explicit CBox3View(ModelView view);
};

class CSys3PS : public CBox3View
{
    VX_DECLARE_CLASS(CSys3PS)
public:
    CSys3PS();
};

class CSys3PSP : public CBox3View
{
    VX_DECLARE_CLASS(CSys3PSP)
public:
    CSys3PSP();
};
