#pragma once
// Graph vs Time: the variables of a model against time, for the run in the document's ring and
// for imported data, with legend, live drawing, zoom, pan, limits, variable choice, curve styles
// and the jump of the Data Table view to a clicked time. One design for the four model kinds;
// what differs is in the kind's GraphKindInfo.
#include "model/CommandIds.h"
#include "views/base/2DView.h"
#include "views/graph/GraphKinds.h"
#include "views/graph/GraphWalk.h"

#include <array>
#include <chrono>
#include <climits>
#include <memory>
#include <vector>

class CGraphView : public C2DView
{
    VX_DECLARE_CLASS(CGraphView)
public:
    explicit CGraphView(GraphKind kind);
    ~CGraphView() override;

    const GraphKindInfo& Info() const { return KindInfo(m_kind); }

    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;

    void DrawNewSample(int nRow);
    void DrawCurves(CDC* pDC);
    void DrawImportedCurves(CDC* pDC);
    void EditCurveStyle(int nItem);

    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

    void OnControlsZoomNear();
    void OnControlsZoomFar();
    void OnControlsPanUp();
    void OnControlsPanDown();
    void OnControlsPanLeft();
    void OnControlsPanRight();
    void OnControlsResetLimits();
    void OnControlsSetLimits();
    void OnControlsSelectVariables();

    void OnSize(UINT nType, int cx, int cy) override;

protected:
    void OnDestroy() override;
    LRESULT OnHelpHitTest(WPARAM, LPARAM);
    LRESULT OnCommandHelp(WPARAM, LPARAM);

private:
    struct Pen
    {
        int style, width;
        COLORREF color;
    };
    Pen CurvePen(VarSlot slot, bool imported) const;
    std::vector<VarSlot> ShownCurves() const;
    GraphLimits Limits() const;
    void SetLimits(const GraphLimits& g);
    void ChangeLimits(void (*rule)(GraphLimits&), bool bModified);
    void UpdateZoomFar(CCmdUI* pCmdUI);
    void UpdatePanUp(CCmdUI* pCmdUI);
    void UpdatePanDown(CCmdUI* pCmdUI);
    void UpdatePanLeft(CCmdUI* pCmdUI);
    void UpdatePanRight(CCmdUI* pCmdUI);

    void DrawMarginTexts(CDC* pDC);
    void DrawLegend(CDC* pDC);
    void DrawTopTexts(CDC* pDC);
    int DrawLegendRow(CDC* pDC, int yBottom, bool imported);
    using TableColumns = std::array<std::vector<double>, kSlots>;
    void DrawTable(CDC* pDC, const TableColumns& columns, const RingSpan& ring, bool imported);
    void InvalidateMargins();
    void PostTableRow(CPoint point);

    void EndLiveDrawing();

    GraphKind m_kind;
    IModelDocument* m_pCounted = nullptr; // the model whose open-view count this view raised
    // The window DC of a run drawn live, kept from its first sample to the next update that is
    // not a row. The box of the segments drawn since the screen was last brought up to date is
    // shown at most every kLiveFrame, so a fast run does not repaint the screen for every row.
    std::unique_ptr<CClientDC> m_pLiveDC;
    CRect m_rcLiveBox{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    std::chrono::steady_clock::time_point m_tLiveShown;
};

#define VX_GRAPH_VIEW(Name, Kind)                                                                  \
    class Name : public CGraphView                                                                 \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : CGraphView(Kind) {}                                                               \
    };
VX_GRAPH_VIEW(CSys1Graph, GraphKind::Newtonian)
VX_GRAPH_VIEW(CSys1NNGraph, GraphKind::OneVariable)
VX_GRAPH_VIEW(CSys2Graph, GraphKind::TwoVariable)
VX_GRAPH_VIEW(CSys3Graph, GraphKind::ThreeVariable)
#undef VX_GRAPH_VIEW
