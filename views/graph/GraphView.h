#pragma once
// Graph vs Time: the variables of a model against time, for the run in the document's ring and
// for imported data. The 2-D base draws the curves (live during a run) and owns zoom, pan and
// the limits of the Graph block; this view adds its margin texts and legend, the limits and
// variables dialogs, curve styles from the legend and the jump of the Data Table view to a
// clicked time. One design for the four model kinds; what differs is in the kind's
// GraphKindInfo.
#include "model/CommandIds.h"
#include "views/base/2DView.h"
#include "views/graph/GraphKinds.h"
#include "views/graph/GraphWalk.h"

class CGraphView : public C2DView
{
    VX_DECLARE_CLASS(CGraphView)
public:
    explicit CGraphView(GraphKind kind);
    ~CGraphView() override;

    const GraphKindInfo& Info() const { return KindInfo(m_kind); }

    void EditCurveStyle(int nItem);
    void OnControlsSelectVariables();

protected:
    void DrawMargins(CDC* pDC) override;
    bool EditLimits(PlotLimits& g) override;
    void OnPlotClick(CPoint point) override;

private:
    void DrawMarginTexts(CDC* pDC);
    void DrawLegend(CDC* pDC);
    void DrawTopTexts(CDC* pDC);
    std::vector<LegendSwatch> LegendRow(const CModelCore& s, bool imported) const;

    GraphKind m_kind;
};

VX_KIND_VIEW(CSys1Graph, CGraphView, GraphKind::Newtonian)
VX_KIND_VIEW(CSys1NNGraph, CGraphView, GraphKind::OneVariable)
VX_KIND_VIEW(CSys2Graph, CGraphView, GraphKind::TwoVariable)
VX_KIND_VIEW(CSys3Graph, CGraphView, GraphKind::ThreeVariable)
