#pragma once
// Vector Field: the phase plane of a Newtonian model (x across, x' up) or of a two-variable
// model (x across, y up), on which the user shows and hides five layers, each computed from the
// model when it is shown and stale: D the direction field, N the nullclines, F the fixed points
// with their types, M the saddle manifolds, T the tracks started by clicks in the plot. Each has
// a Toggle and a Recalc button and a key (with Shift: Recalc; Shift+T deletes the tracks).
//
// The layers are computed outside painting, with their progress windows and questions when the
// user asked for them; a spin step (VectorFieldBase.h) computes the shown ones again at once,
// silently, keeping them shown and the tracks as they are. A change of the model seen by an
// update, a new grid or Clear Data hides them and discards everything.
//
// One design for both kinds; what differs is in the kind's VectorFieldKindInfo. The layers'
// rules are in CVectorFieldLayers, which asks the view through IVectorFieldHost.
#include "views/base/KindView.h"
#include "views/phase/VectorFieldBase.h"
#include "views/phase/VectorFieldLayers.h"

#include <array>
#include <memory>

class CVectorFieldView : public CVectorFieldBase, private IVectorFieldHost
{
    VX_DECLARE_CLASS(CVectorFieldView)
public:
    using enum CVectorFieldLayers::Layer;
    // The buttons: Toggle and Recalc of D, N, F, M, T in turn.
    static constexpr UINT IDC_VF_TOGGLE_DF = 2012, IDC_VF_RECALC_TRACKS = 2021;
    // The legend boxes besides the track's: nullclines, manifolds, the direction field's colours.
    enum LegendItem : int
    {
        kItemTrack,
        kItemNullcline1,
        kItemNullcline2,
        kItemStable,
        kItemUnstable,
        kItemDFFrom,
        kItemDFTo,
        kItems
    };

    explicit CVectorFieldView(SystemKind kind);
    ~CVectorFieldView() override;

    SystemKind Kind() const { return Plane().Kind(); }
    const CPhasePlane& Plane() const { return m_rules.Plane(); }
    bool Shown(int layer) const { return m_rules.Shown(layer); }
    // The layer has a picture for the window shown.
    bool Valid(int layer) const { return m_rules.Valid(layer); }
    CButton& Button(int layer, bool recalc) { return m_buttons[2 * layer + (recalc ? 1 : 0)]; }

    // The buttons.
    void OnToggle(int layer);
    void OnRecalc(int layer);
    // One track from the start point.
    void CalcTracks();
    void OnControlsClearData();
    void EditLegendStyle(int nItem) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;

protected:
    void Spun() override;
    void ModelChanged() override;
    void EnableControls(bool bEnable) override;
    void TakeSettings(const CModelCore& s) override;
    void DrawMargins(CDC* pDC) override;
    void OnPlotClick(CPoint point) override;
    void OnSize(UINT nType, int cx, int cy) override;

private:
    class CLayer;
    friend class CLayer;
    void DrawLayer(int layer, CDC* pDC);
    void DrawLegend(CDC* pDC);
    void DrawButtonCaptions(CDC* pDC);

    // What the layers ask.
    CModelCore* Model() override;
    bool AskYesNo(const char* text) override;
    void Tell(const char* text) override;
    std::unique_ptr<IPassProgress> Progress(const char* title) override;
    void MarkStale(int layer) override;
    void MarkAllStale() override;
    void ComputeStale() override;
    bool Computed(int layer) const override;
    void InvalidateLegend() override;
    void RedrawPlot() override;
    void InvalidateAll() override;
    void TakeFocus() override;

    // The view has its model and the model does not run: the layers may act.
    bool Ready() const;
    void OnUpdateClearData(CCmdUI* pCmdUI);
    void MapButtons();
    // Button I: Toggle (even) or Recalc (odd) of layer I / 2.
    template <int I> void OnButton()
    {
        if (I % 2)
            OnRecalc(I / 2);
        else
            OnToggle(I / 2);
    }

    CVectorFieldLayers m_rules;
    std::array<CLayer*, kLayers> m_layers{};
    std::array<CButton, 2 * kLayers> m_buttons;
    int m_nButtonsX = 0; // the left edge of the buttons
};

VX_KIND_VIEW(CSys1VF, CVectorFieldView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys2VF, CVectorFieldView, SystemKind::TwoVariable)
