#include "views/phase/VectorFieldLayers.h"

#include "model/core/ModelCore.h"
#include "platform/base/NoMemory.h"

#include <utility>

namespace {
const char* const kFixedPointsQuestion = "Fixed points are not available until \nnullclines have "
                                         "been calculated.  Do\nyou wish to calculate nullclines "
                                         "now?";
const char* const kNoSaddles = "No saddle points were located\nso no manifolds were found.";
const char* const kNullclineMemory = "There is not enough memory on your system\nto save the "
                                     "nullcline track data.  Nullcline tracks will\nnot be "
                                     "displayed.";
const char* const kTrackMemory = "There is not enough memory on your system\nto save the "
                                 "previous track data.  Old tracks will disappear\nwith each "
                                 "repainting of the window";
} // namespace

const VectorFieldKindInfo& VectorFieldKind(SystemKind kind)
{
    static const VectorFieldKindInfo newtonian{
        " x'=0 ", " x''=0 ",
        "Manifolds are not available until\nthe nullclines and fixed points have been "
        "calcualted.\nDo you want to calculate the nullclines and/or fixed\npoints now?",
        true};
    static const VectorFieldKindInfo twoVariable{
        " x'=0 ", " y'=0 ",
        "Manifolds are not available until the nullclines\nand fixed-points have been "
        "calcualted.\nDo you want to calculate the nullclines\nand/or fixed-points now?",
        false};
    return kind == SystemKind::Newtonian ? newtonian : twoVariable;
}

CVectorFieldLayers::CVectorFieldLayers(SystemKind kind, IVectorFieldHost& host)
    : m_host(host), m_plane(kind)
{
    m_bShow[kLayerT] = kind == SystemKind::TwoVariable;
}

CPhasePlane::Result CVectorFieldLayers::ResultOf(int layer)
{
    static const CPhasePlane::Result results[] = {CPhasePlane::kDirField, CPhasePlane::kNullclines,
                                                  CPhasePlane::kFixedPoints,
                                                  CPhasePlane::kManifolds};
    return results[std::min(layer, +kLayerM)];
}

bool CVectorFieldLayers::Valid(int layer) const
{
    return m_host.Computed(layer) && (layer == kLayerT || m_plane.Current(ResultOf(layer)));
}

// --- computing -----------------------------------------------------------------------------

bool CVectorFieldLayers::Compute(int layer, const CPlaneFrame& frame)
{
    m_plane.SetFrame(frame, m_host.Model()->m_nVFGridSpacing);
    switch (layer) {
    case kLayerD:
        if (!m_plane.Current(CPhasePlane::kDirField) &&
            !m_plane.CalcDirectionField(
                m_host.Progress("Direction Field Calculation Progress").get()))
            m_host.Tell(kNoMemoryText);
        return true;
    case kLayerN:
        EnsureNullclines();
        return true;
    case kLayerF:
        return EnsureFixedPoints();
    case kLayerM:
        return EnsureManifolds();
    default:
        return true;
    }
}

void CVectorFieldLayers::EnsureNullclines()
{
    if (m_plane.Current(CPhasePlane::kNullclines))
        return;
    const CModelCore& s = *m_host.Model();
    const VFPen pens[2] = {{s.m_clrNullcline1, s.m_nStyleNullcline1, s.m_nWidthNullcline1},
                           {s.m_clrNullcline2, s.m_nStyleNullcline2, s.m_nWidthNullcline2}};
    const auto progress = m_host.Progress("Nullcline Calculation Progress");
    if (!m_plane.CalcNullclines(pens, progress.get()))
        m_host.Tell(kNullclineMemory);
}

// The questions are asked when the user asks for a layer that needs a pass not done yet; a
// layer computed again (a spin step, a new window) computes what it needs without asking, or
// every step of a spin would ask again. The fixed points ask whenever the nullclines are not
// current, even where a Newtonian x'' = 0 that stops inside the plot leaves them so after every
// pass: the question comes back at each F, never by itself.
bool CVectorFieldLayers::EnsureFixedPoints()
{
    if (!m_plane.Current(CPhasePlane::kNullclines)) {
        if (m_bAsking && !m_host.AskYesNo(kFixedPointsQuestion)) {
            m_bShow[kLayerF] = false;
            return false;
        }
        EnsureNullclines();
    }
    if (!m_plane.Current(CPhasePlane::kFixedPoints) &&
        m_plane.CalcFixedPoints(m_host.Model()->m_dJacobianStep) && m_bAsking)
        m_host.Tell(kTooManyFixedPointsMessage);
    return true;
}

bool CVectorFieldLayers::EnsureManifolds()
{
    if (!m_plane.Current(CPhasePlane::kNullclines) || !m_plane.Current(CPhasePlane::kFixedPoints)) {
        const bool agreed = m_plane.EverComputed(CPhasePlane::kNullclines) &&
                            m_plane.EverComputed(CPhasePlane::kFixedPoints);
        if (m_bAsking && !agreed &&
            !m_host.AskYesNo(VectorFieldKind(m_plane.Kind()).manifoldsQuestion)) {
            m_bShow[kLayerM] = false;
            return false;
        }
        // The fixed points see to the nullclines they need, once.
        const bool asking = std::exchange(m_bAsking, false);
        EnsureFixedPoints();
        m_bAsking = asking;
    }
    if (!m_plane.HasSaddle()) {
        if (m_bAsking)
            m_host.Tell(kNoSaddles);
        return false;
    }
    if (!m_plane.Current(CPhasePlane::kManifolds)) {
        const CModelCore& s = *m_host.Model();
        const CManifoldPens pens{s.m_clrStableManifold,    s.m_clrUnstableManifold,
                                 s.m_nStyleStableManifold, s.m_nStyleUnstableManifold,
                                 s.m_nWidthStableManifold, s.m_nWidthUnstableManifold};
        const auto progress = m_host.Progress("Manifold Calculation Progress");
        m_plane.CalcManifolds(s.m_nManifoldSteps, pens, progress.get(),
                              [this] { m_host.Tell(kTrackMemory); });
    }
    return true;
}

void CVectorFieldLayers::ComputeNow(bool bAsking)
{
    m_bAsking = bAsking;
    m_host.ComputeStale();
    m_bAsking = false;
}

void CVectorFieldLayers::CalcTrack()
{
    const CModelCore& s = *m_host.Model();
    const auto progress = m_host.Progress("Track Calculation Progress");
    m_plane.CalcTrack(m_dTrackX, m_dTrackY, s.m_nTrackSteps,
                      {s.m_clrVFTrack, s.m_nStyleVFTrack, s.m_nWidthVFTrack}, progress.get(),
                      [this] { m_host.Tell(kTrackMemory); });
    m_bShow[kLayerT] = true;
    m_host.InvalidateAll();
}

// --- buttons and keys ----------------------------------------------------------------------

void CVectorFieldLayers::Repaint()
{
    m_host.InvalidateLegend();
    m_host.RedrawPlot();
}

void CVectorFieldLayers::Toggle(int layer)
{
    m_bShow[layer] = !m_bShow[layer];
    if (layer == kLayerT) {
        m_host.RedrawPlot();
        m_host.TakeFocus();
        return;
    }
    if (m_bShow[layer] && !Valid(layer))
        m_host.MarkStale(layer); // also one declined before
    ComputeNow(true);
    if (layer == kLayerM && !m_host.Computed(layer))
        m_bShow[layer] = false; // nothing to show
    Repaint();
    m_host.TakeFocus();
}

void CVectorFieldLayers::Recalc(int layer)
{
    if (layer == kLayerT) {
        CalcTrack();
        return;
    }
    m_plane.Invalidate(ResultOf(layer));
    m_host.MarkStale(layer);
    const bool wasShown = std::exchange(m_bShow[layer], true);
    ComputeNow(true);
    if (layer == kLayerM && !m_host.Computed(layer))
        m_bShow[layer] = wasShown && m_bShow[layer];
    Repaint();
    m_host.TakeFocus();
}

// The key keeps M shown whatever the calculation found; without a saddle among the fixed points
// known it only says so.
void CVectorFieldLayers::ToggleManifoldsKey(bool shift)
{
    if (m_plane.Current(CPhasePlane::kFixedPoints) && !m_plane.HasSaddle()) {
        m_host.Tell(kNoSaddles);
        return;
    }
    m_bShow[kLayerM] = shift || !m_bShow[kLayerM];
    if (shift)
        m_plane.Invalidate(CPhasePlane::kManifolds);
    if (m_bShow[kLayerM] && !Valid(kLayerM))
        m_host.MarkStale(kLayerM);
    ComputeNow(true);
    Repaint();
}

void CVectorFieldLayers::Key(unsigned key, bool shift)
{
    static const char keys[] = {'D', 'N', 'F', 'M', 'T'};
    int layer = kLayerD;
    while (layer < kLayers && key != static_cast<unsigned>(keys[layer]))
        ++layer;
    if (layer == kLayerM) {
        ToggleManifoldsKey(shift);
    } else if (layer == kLayerT && shift) {
        m_plane.ClearTracks();
        m_host.RedrawPlot();
    } else if (layer < kLayers) {
        if (shift)
            Recalc(layer);
        else
            Toggle(layer);
    }
}

// --- the model -----------------------------------------------------------------------------

void CVectorFieldLayers::Spun()
{
    m_plane.TakeParameters(*m_host.Model());
    m_host.MarkAllStale();
    ComputeNow(false);
}

void CVectorFieldLayers::ModelChanged()
{
    m_plane.TakeModel(*m_host.Model());
    Discard();
}

void CVectorFieldLayers::Discard()
{
    m_plane.Clear();
    for (int i = kLayerD; i <= kLayerM; ++i)
        m_bShow[i] = false;
    m_host.MarkAllStale();
    m_host.InvalidateLegend();
}

void CVectorFieldLayers::TakeSettings(const CModelCore& s)
{
    m_dTrackX = s.m_dInitX;
    m_dTrackY = m_plane.Newtonian() ? s.m_dInitXp : s.m_dInitY;
}
