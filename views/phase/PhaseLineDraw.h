#pragma once
// The phase line of a one-variable model in a 2-D plot: x' = f(x, t) against x across the plot,
// and at each zero a marker that shows the flow beside it. The one-variable Vector Field and
// Basins views draw it; as a layer it is computed outside painting, and again when the plot's
// window changes or the view marks it stale (a new model, parameters or time).
#include "model/phase/PhaseLine.h"
#include "views/base/PlotLayers.h"

#include <functional>

class CModelCore;
struct CModelSettings;

// A zero at (x, 0): a circle of radius 4 (open where the flow leaves, filled where it arrives,
// hatched where it touches), drawn only strictly inside the plot, and two arrows along the axis
// in the flow's direction, each only when it lies wholly in the plot.
void DrawZeroMarker(CDC* pDC, const C2DPlotGeometry& g, double x, PhaseZeroKind kind);
// The curve with the model's track pen (columns without a finite x' break it), then the zeros.
void DrawPhaseLine(CDC* pDC, const C2DPlotGeometry& g, const CPhaseLine& line,
                   const CModelSettings& s);
// The phase line of the model over the plot at time t, through the model's parser (its
// equation recorded in list 1), its touching zeros looked for as fine as touch says
// (PhaseLine.h). The model's running extents of x' (m_dSpinMin the largest, m_dSpinMax the
// smallest) are those of the curve.
CPhaseLine CalcModelPhaseLine(CModelCore& model, const C2DPlotGeometry& g, double t, double touch);

// The phase line at the model's vector-field time as a layer; shown while shown() holds.
class CPhaseLineLayer : public CPlotLayer
{
public:
    CPhaseLineLayer(std::function<CModelCore*()> model, std::function<bool()> shown, double touch)
        : m_model(std::move(model)), m_shown(std::move(shown)), m_dTouch(touch)
    {
    }
    bool Shown() const override { return m_shown(); }
    const CPhaseLine& Line() const { return m_line; }

protected:
    bool Compute(const C2DPlotGeometry& g) override;
    void Draw(CDC* pDC, const C2DPlotGeometry& g) override;

private:
    std::function<CModelCore*()> m_model;
    std::function<bool()> m_shown;
    double m_dTouch;
    CPhaseLine m_line;
};
