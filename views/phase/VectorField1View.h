#pragma once
// The Vector Field of a one-variable model: x' = f(x, t) against x at the time the user picks,
// with the zeros of f marked on the x axis by their stability (the phase line). It spins a, b,
// c, d and t like the other Vector Field views and has none of their layers, buttons or keys;
// a press in the plot starts a band, and a click that drew none marks nothing.
#include "views/phase/VectorFieldBase.h"

class CPhaseLineLayer;

class CSys1NNVF : public CVectorFieldBase
{
    VX_DECLARE_CLASS(CSys1NNVF)
public:
    CSys1NNVF();
    ~CSys1NNVF() override;

    const CPhaseLineLayer& PhaseLine() const { return *m_pPhaseLine; }

protected:
    void Spun() override;
    void ModelChanged() override;
    void DrawMargins(CDC* pDC) override;
    // The phase line has no point for a click to mark: a click only ends the band.
    bool ClickMarksPoint() const override { return false; }

private:
    CPhaseLineLayer* m_pPhaseLine = nullptr;
};
