#include "views/phase/PhasePlane.h"

#include "model/core/ModelCore.h"
#include "model/phase/Nullclines.h"
#include "parser/Parser.h"

#include <algorithm>
#include <new>

namespace {
bool SameFrame(const CPlaneFrame& a, const CPlaneFrame& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
           a.xmin == b.xmin && a.xmax == b.xmax && a.ymin == b.ymin && a.ymax == b.ymax;
}

void SetPen(CVFTrack& track, const VFPen& pen)
{
    track.m_clrLine = pen.color;
    track.m_nLineStyle = pen.style;
    track.m_nLineWidth = pen.width;
}

FormParams ParamsOf(const CModelCore& s)
{
    const bool newtonian = s.Kind() == SystemKind::Newtonian;
    return {s.m_dParamA,
            s.m_dParamB,
            s.m_dParamC,
            s.m_dParamD,
            newtonian ? s.m_dSpinAF : s.m_dAngFreq,
            newtonian ? s.m_dSpinPA : s.m_dPhase};
}
} // namespace

CPhasePlane::CPhasePlane(SystemKind kind)
{
    m_model.kind = kind;
}

CPhasePlane::~CPhasePlane() = default;

void CPhasePlane::TakeModel(CModelCore& s)
{
    // The equations as the model has them now, in a parser that no one else evaluates with.
    s.RecordEquations();
    m_pParser = std::make_unique<CParser>(*s.m_pParser);
    m_model = CPlaneModel::Of(s);
    m_model.parser = m_pParser.get();
    m_dStep = s.m_dChronon;
    m_model.chronon = m_dStep;
    TakeParameters(s);
}

void CPhasePlane::TakeParameters(const CModelCore& s)
{
    m_model.params = ParamsOf(s);
    m_dTime = m_dTrackTime = s.m_dVFTime;
    RebuildField();
    NewGeneration();
}

void CPhasePlane::RebuildField()
{
    m_pField = MakePlaneField(m_model);
}

void CPhasePlane::SetFrame(const CPlaneFrame& frame, int gl)
{
    m_frame = frame;
    m_nPitch = frame.GridPitch(gl);
}

bool CPhasePlane::ForWindow(const Stamp& s) const
{
    return s.gen == m_nGen && s.pitch == m_nPitch && SameFrame(s.frame, m_frame);
}

bool CPhasePlane::Current(Result r) const
{
    return ForWindow(m_stamps[r]);
}

void CPhasePlane::Stamped(Result r)
{
    m_stamps[r] = {m_nGen, m_frame, m_nPitch};
    m_ever[r] = true;
}

void CPhasePlane::NewGeneration()
{
    ++m_nGen;
}

void CPhasePlane::Clear()
{
    NewGeneration();
    m_ever = {};
    m_dirField = {};
    m_nullclines[0] = m_nullclines[1] = {};
    m_fixed.clear();
    m_manifolds = {};
    m_tracks.clear();
}

double CPhasePlane::ManifoldOffset() const
{
    return 0.01 * std::max(m_frame.XRange(), m_frame.YRange());
}

bool CPhasePlane::CalcDirectionField(IPassProgress* progress)
{
    bool stored = true;
    try {
        ::CalcDirectionField(*m_pField, m_frame, m_nPitch, m_dTime, m_dirField, progress);
    } catch (const std::bad_alloc&) {
        m_dirField = {};
        stored = false;
    }
    // Current even when empty, so that a repaint does not run out of memory again.
    Stamped(kDirField);
    return stored;
}

bool CPhasePlane::CalcNullclines(const VFPen pens[2], IPassProgress* progress)
{
    if (!m_bCurvesEnabled)
        return true;
    m_dTrackTime = m_dTime;
    bool stored = true, complete = false;
    for (int i = 0; i < 2 && stored; ++i) {
        CVFTrack& track = m_nullclines[i];
        track = {};
        if (i == 0 && Newtonian())
            continue; // x' = 0 is the horizontal axis
        SetPen(track, pens[i]);
        try {
            CalcNullcline(*m_pField, i, m_frame, m_nPitch, m_dTime, track, progress, &complete);
        } catch (const std::bad_alloc&) {
            track.Free();
            stored = false;
        }
    }
    // The two-variable nullclines are done once stored. The Newtonian x'' = 0 is agreed to
    // whatever came of it, and done once a curve of it runs to the border or closes, or when
    // memory ran out, so that what needs it does not run out again; otherwise it is looked for
    // again whenever it is asked for.
    if (Newtonian() ? complete || !stored : stored)
        Stamped(kNullclines);
    else if (Newtonian())
        m_ever[kNullclines] = true;
    return stored;
}

bool CPhasePlane::CalcFixedPoints(double jacobianStep)
{
    const int along = FixedPointNullcline();
    CFixedPointSearch found = FindFixedPoints(*m_pField, along, m_nullclines[along], m_frame,
                                              m_nPitch, jacobianStep, m_dTime);
    m_fixed = std::move(found.points);
    Stamped(kFixedPoints);
    return found.limitReached;
}

bool CPhasePlane::HasSaddle() const
{
    return std::any_of(m_fixed.begin(), m_fixed.end(),
                       [](const CFixedPoint& p) { return p.type == FP_SADDLE; });
}

int CPhasePlane::CalcManifolds(int steps, const CManifoldPens& pens, IPassProgress* progress,
                               const std::function<void()>& outOfMemory)
{
    m_dTrackTime = m_dTime;
    const CManifoldResult r = ::CalcManifolds(*m_pField, m_fixed, ManifoldOffset(), steps, m_dStep,
                                              m_dTime, pens, m_manifolds, progress);
    // Stamped even when empty, so that a repaint does not run out of memory again.
    Stamped(kManifolds);
    if (r.outOfMemory) {
        m_bCurvesEnabled = false;
        if (outOfMemory)
            outOfMemory();
    }
    return r.saddles;
}

void CPhasePlane::CalcTrack(double x0, double y0, int steps, const VFPen& pen,
                            IPassProgress* progress, const std::function<void()>& outOfMemory)
{
    // Whether the track is kept is decided before it starts: one that runs out stays.
    const bool keep = m_bCurvesEnabled;
    CVFTrack track = ::CalcTrack(*m_pField, x0, y0, m_dTrackTime, m_dStep, steps, progress, [&] {
        m_bCurvesEnabled = false;
        if (outOfMemory)
            outOfMemory();
    });
    if (!keep)
        return;
    SetPen(track, pen);
    m_tracks.push_back(std::move(track));
}
