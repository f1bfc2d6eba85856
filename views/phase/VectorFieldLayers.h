#pragma once
// The five layers of a Vector Field plane and their rules, apart from the window: D the direction
// field, N the nullclines, F the fixed points, M the saddle manifolds, T the tracks. Which are
// shown, when a layer's picture is valid, what a layer needs computed first (asking only when the
// user asked for the layer), and what Toggle, Recalc, the keys, a click and Clear Data do. The
// view draws the layers and answers the questions asked through IVectorFieldHost. No Qt here.
#include "views/phase/PhasePlane.h"

#include <array>
#include <memory>

class CModelCore;

// What differs between the Newtonian and the two-variable plane.
struct VectorFieldKindInfo
{
    const char* firstNullcline;    // the legend box of x' = 0
    const char* secondNullcline;   // the legend box of the second rate's nullcline
    const char* manifoldsQuestion; // when the nullclines or fixed points are missing
    bool spinsForcing;             // af and pa spin
};
const VectorFieldKindInfo& VectorFieldKind(SystemKind kind);

// What the layers ask of the view that shows them.
class IVectorFieldHost
{
public:
    virtual ~IVectorFieldHost() = default;
    // The model's settings (pens, grid spacing, steps); never null: the view asks the layers
    // to act only while it has its model.
    virtual CModelCore* Model() = 0;
    // A question with Yes and No (true for Yes); a message with OK.
    virtual bool AskYesNo(const char* text) = 0;
    virtual void Tell(const char* text) = 0;
    // The progress window of a pass, open while the object lives.
    virtual std::unique_ptr<IPassProgress> Progress(const char* title) = 0;
    // The pictures of the layers: one or all to be computed again; the stale shown ones computed
    // now (through CVectorFieldLayers::Compute); whether one is computed for the window shown.
    virtual void MarkStale(int layer) = 0;
    virtual void MarkAllStale() = 0;
    virtual void ComputeStale() = 0;
    virtual bool Computed(int layer) const = 0;
    // Repaints: the legend strip, the plot at once, the whole window later; the keyboard focus
    // back to the view after a button.
    virtual void InvalidateLegend() = 0;
    virtual void RedrawPlot() = 0;
    virtual void InvalidateAll() = 0;
    virtual void TakeFocus() = 0;
};

class CVectorFieldLayers
{
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

    // The two-variable plane shows its tracks from the start.
    CVectorFieldLayers(SystemKind kind, IVectorFieldHost& host);

    const CPhasePlane& Plane() const { return m_plane; }
    bool Shown(int layer) const { return m_bShow[layer]; }
    // The layer has a picture for the window shown.
    bool Valid(int layer) const;
    // Where the track starts that a click or Recalc T computes.
    double TrackStartX() const { return m_dTrackX; }
    double TrackStartY() const { return m_dTrackY; }

    // The picture of a shown stale layer for the frame; false when it is not there (declined,
    // or no saddle for the manifolds).
    bool Compute(int layer, const CPlaneFrame& frame);

    // The buttons and the keys D, N, F, M, T (with Shift: Recalc; Shift+T deletes the tracks),
    // while the model does not run.
    void Toggle(int layer);
    void Recalc(int layer);
    void Key(unsigned key, bool shift);
    // One track from the start point (a click sets it first).
    void CalcTrack();
    void SetTrackStart(double x, double y)
    {
        m_dTrackX = x;
        m_dTrackY = y;
    }

    // A spin step: the shown layers computed again at once, silently, the tracks kept.
    void Spun();
    // The model changed: taken again and everything discarded.
    void ModelChanged();
    // Everything computed goes, tracks included, and the four layers are hidden.
    void Discard();
    // A start point clicked before is forgotten.
    void TakeSettings(const CModelCore& s);

private:
    static CPhasePlane::Result ResultOf(int layer);
    void EnsureNullclines();
    bool EnsureFixedPoints();
    bool EnsureManifolds();
    void ToggleManifoldsKey(bool shift);
    // Computes the stale shown layers now; with bAsking the passes may ask and tell the user.
    void ComputeNow(bool bAsking);
    void Repaint();

    IVectorFieldHost& m_host;
    CPhasePlane m_plane;
    std::array<bool, kLayers> m_bShow{};
    bool m_bAsking = false;
    double m_dTrackX = 0, m_dTrackY = 0;
};
