#pragma once
// What a Vector Field view computes of its model, kept apart from the window: its own copy of
// the model (a parser of its own with the equations recorded, the form and the parameters, the
// time of the field and the step of its curves) and the results of the five passes, each with
// the window and the model generation it was computed for. No Qt here.
//
// A result is current when it was computed for the window the view shows and for the current
// generation of the model; a spin step or a new model starts a new generation, which leaves
// every result stale (tracks are kept: they are curves of the moment they were started).
#include "model/phase/FixedPoints.h"
#include "model/phase/Manifolds.h"
#include "model/phase/PlaneField.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CModelCore;

// The pens of the curves, copied from the model's settings when a curve is made.
struct VFPen
{
    COLORREF color = 0;
    int style = 0, width = 1;
};

class CPhasePlane
{
public:
    enum Result : int
    {
        kDirField,
        kNullclines,
        kFixedPoints,
        kManifolds,
        kResults
    };

    explicit CPhasePlane(SystemKind kind);
    ~CPhasePlane();

    SystemKind Kind() const { return m_model.kind; }
    bool Newtonian() const { return m_model.kind == SystemKind::Newtonian; }

    // The model as the document holds it: its parser copied with the equations recorded, its
    // form, parameters (the Newtonian af and pa are the spun copies), mass and step; the field
    // is evaluated at the vector-field time. A new generation.
    void TakeModel(CModelCore& s);
    // The parameters a, b, c, d, af, pa and the time changed (a spin step): a new generation.
    void TakeParameters(const CModelCore& s);
    const FormParams& Params() const { return m_model.params; }
    double Time() const { return m_dTime; }
    double Step() const { return m_dStep; }

    // The window the passes work on, with the grid pitch of gl grid lines (at least 1).
    void SetFrame(const CPlaneFrame& frame, int gl);
    const CPlaneFrame& Frame() const { return m_frame; }
    int Pitch() const { return m_nPitch; }

    // Results.
    bool Current(Result r) const;
    // Computed at least once since the last Clear (the user agreed to what it needs).
    bool EverComputed(Result r) const { return m_ever[r]; }
    // Stale from now on (the next pass computes it again).
    void Invalidate(Result r) { m_stamps[r].gen = 0; }
    // A new generation: every result stale, the tracks kept.
    void NewGeneration();
    // Everything discarded, tracks included.
    void Clear();

    // The passes; each makes its result current. The curves take the pens given. progress may
    // be null.
    // False when memory ran out: the field is left empty (and current).
    bool CalcDirectionField(IPassProgress* progress);
    // False when a nullcline's points could not be stored (out of memory): that nullcline is
    // left empty and the pass stops, its result current on the Newtonian plane only. On the
    // Newtonian plane the result is current only when x'' = 0 has a curve that runs to the
    // border or closes, or the plot has no cell to search (a curve that stops inside, or none,
    // is looked for again). While the curves are off it does nothing.
    bool CalcNullclines(const VFPen pens[2], IPassProgress* progress);
    // Fixed points along the traced nullcline; limitReached when the search stopped at
    // MAX_FIXED_POINTS.
    bool CalcFixedPoints(double jacobianStep);
    // The manifolds of the saddles found (at most five); the number of saddles with manifolds.
    // Manifolds that run out of memory are left empty and turn the curves off, as a track does;
    // outOfMemory is told.
    int CalcManifolds(int steps, const CManifoldPens& pens, IPassProgress* progress,
                      const std::function<void()>& outOfMemory = {});
    bool HasSaddle() const;
    // A track of steps steps from (x0, y0), starting at the time the last track ended (or the
    // field's time after a pass that sets it); appended to the tracks while the curves are on.
    // Each point that cannot be stored (out of memory) empties the track, tells outOfMemory and
    // turns the curves off for good.
    void CalcTrack(double x0, double y0, int steps, const VFPen& pen, IPassProgress* progress,
                   const std::function<void()>& outOfMemory = {});
    void ClearTracks() { m_tracks.clear(); }
    // Off once a track ran out of memory: later tracks are not kept, nullclines not computed.
    bool CurvesEnabled() const { return m_bCurvesEnabled; }

    const CDirectionField& DirectionField() const { return m_dirField; }
    // 0: x' = 0 (the Newtonian plane's is the axis, never traced); 1: the second rate's.
    const CVFTrack& Nullcline(int i) const { return m_nullclines[i]; }
    const std::vector<CFixedPoint>& FixedPoints() const { return m_fixed; }
    const std::array<CVFTrack, kManifoldSlots>& Manifolds() const { return m_manifolds; }
    const std::vector<CVFTrack>& Tracks() const { return m_tracks; }
    // The start offset of manifold branches: a hundredth of the larger range.
    double ManifoldOffset() const;
    // The nullcline the fixed points are searched along: the traced one of the first rate, the
    // Newtonian x'' = 0.
    int FixedPointNullcline() const { return Newtonian() ? 1 : 0; }

private:
    struct Stamp
    {
        unsigned gen = 0; // 0: never
        CPlaneFrame frame;
        int pitch = 0;
    };
    bool ForWindow(const Stamp& s) const;
    void Stamped(Result r);
    void RebuildField();

    CPlaneModel m_model;
    std::unique_ptr<CParser> m_pParser;
    std::unique_ptr<CFieldBase> m_pField;
    double m_dTime = 0, m_dTrackTime = 0, m_dStep = 0.01;
    CPlaneFrame m_frame;
    int m_nPitch = 10;
    bool m_bCurvesEnabled = true;
    unsigned m_nGen = 1;
    std::array<Stamp, kResults> m_stamps{};
    std::array<bool, kResults> m_ever{};

    CDirectionField m_dirField;
    CVFTrack m_nullclines[2];
    std::vector<CFixedPoint> m_fixed;
    std::array<CVFTrack, kManifoldSlots> m_manifolds;
    std::vector<CVFTrack> m_tracks;
};
