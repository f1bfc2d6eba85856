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
// One design for both kinds; what differs is in the kind's VectorFieldKindInfo.
#include "views/base/KindView.h"
#include "views/phase/PhasePlane.h"
#include "views/phase/VectorFieldBase.h"

#include <array>
#include <memory>

struct VectorFieldKindInfo
{
    const char* firstNullcline;    // the legend box of x' = 0
    const char* secondNullcline;   // the legend box of the second rate's nullcline
    const char* manifoldsQuestion; // when the nullclines or fixed points are missing
    bool spinsForcing;             // af and pa spin
};
const VectorFieldKindInfo& VectorFieldKind(SystemKind kind);

class CVectorFieldView : public CVectorFieldBase
{
    VX_DECLARE_CLASS(CVectorFieldView)
public:
    enum Layer : int
    {
        kLayerD,
        kLayerN,
        kLayerF,
        kLayerM,
        kLayerT,
        kLayers
    };
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

    SystemKind Kind() const { return m_plane.Kind(); }
    const CPhasePlane& Plane() const { return m_plane; }
    bool Shown(int layer) const { return m_bShow[layer]; }
    // The layer has a picture for the window shown.
    bool Valid(int layer) const;
    CButton& Button(int layer, bool recalc) { return m_buttons[2 * layer + (recalc ? 1 : 0)]; }
    // Where the track starts that a click or Recalc T computes.
    double TrackStartX() const { return m_dTrackX; }
    double TrackStartY() const { return m_dTrackY; }

    // The buttons.
    void OnToggle(int layer);
    void OnRecalc(int layer);
    // One track from the start point.
    void CalcTracks();
    void OnControlsClearData();
    void EditLegendStyle(int nItem) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;

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
    bool ComputeLayer(int layer, const C2DPlotGeometry& g);
    void DrawLayer(int layer, CDC* pDC);
    bool EnsureNullclines();
    bool EnsureFixedPoints();
    bool EnsureManifolds();
    // Computes the stale shown layers now; with bAsking the passes may ask and tell the user.
    void ComputeNow(bool bAsking);
    CPhasePlane::Result ResultOf(int layer) const;
    void DrawLegend(CDC* pDC);
    void DrawButtonCaptions(CDC* pDC);
    void InvalidateLegendStrip();
    void RedrawPlot();
    void Discard();
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

    CPhasePlane m_plane;
    std::array<bool, kLayers> m_bShow{};
    std::array<CLayer*, kLayers> m_layers{};
    std::array<CButton, 2 * kLayers> m_buttons;
    bool m_bShiftDown = false;
    bool m_bAsking = false;
    double m_dTrackX = 0, m_dTrackY = 0;
    int m_nButtonsX = 0; // the left edge of the buttons
};

VX_KIND_VIEW(CSys1VF, CVectorFieldView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys2VF, CVectorFieldView, SystemKind::TwoVariable)
