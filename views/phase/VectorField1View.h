#pragma once
// The Vector Field of a one-variable model: x' = f(x, t) against x at the time the user picks,
// with the zeros of f marked on the x axis by their stability (the phase line).
#include "views/base/2DView.h"

class CSys1NNVF : public C2DView
{
    VX_DECLARE_CLASS(CSys1NNVF)
public:
    CSys1NNVF();
    ~CSys1NNVF() override;

protected:
    void DrawMargins(CDC* pDC) override;
    void DrawNewSample(int) override {}
};
