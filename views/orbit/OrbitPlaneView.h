#pragma once
// What the Poincaré Section and the Projected Orbit of the plane share: a model's run with x
// across and x' (y in the two-variable kind) up, on the 2-D base, with the texts around the
// plot (initial values and time base in the left margin, the equations above, the imported
// file's name below), the axes' names as legend swatches and the keyboard cursor's read-outs of
// the kind. A view adds its curve to the description, the boxes of its legend and what a click
// on one of them edits.
#include "views/base/2DView.h"
#include "views/base/PlotLegend.h"
#include "views/orbit/OrbitPlaneKinds.h"

#include <vector>

// The description both views start from: the view's block and key, the kind's axes and the
// cursor's read-outs.
PlotDescription OrbitPlaneDescription(ModelView view, LimitBlock block, SystemKind kind);

class COrbitPlaneView : public C2DView
{
    VX_DECLARE_CLASS(COrbitPlaneView)
public:
    COrbitPlaneView(PlotDescription description, SystemKind kind);
    ~COrbitPlaneView() override;

    SystemKind Kind() const { return m_kind; }
    const OrbitPlaneKind& Info() const { return OrbitPlaneKindOf(m_kind); }

protected:
    // The legend's rows above the plot, the lowest first; a swatch's item is its key in the
    // legend, 0 to 3.
    virtual SwatchRows LegendRows(const CModelCore& s) const = 0;
    // The colour of the computed or the imported rows (the axes' names, the file's name).
    virtual COLORREF DataColor(const CModelCore& s, bool imported) const = 0;
    // What a click on the legend box of an item edits; true after OK.
    virtual bool EditLegendItem(int item) = 0;

    void TakeSettings(const CModelCore& s) override;
    void DrawMargins(CDC* pDC) override;

    // dt in the left margin with trunc(4 - log10 dt) digits rather than the read-outs' digits.
    bool m_bStepDigits = false;

private:
    void DrawLegend(CDC* pDC, const CModelCore& s);

    SystemKind m_kind;
    CRect m_rcAxisNames; // the horizontal axis's names right of the plot
};
