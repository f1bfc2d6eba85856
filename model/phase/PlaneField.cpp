#include "model/phase/PlaneField.h"

#include "model/core/ModelCore.h"
#include "parser/Parser.h"

#include <algorithm>

CPlaneModel CPlaneModel::Of(CModelCore& m)
{
    CPlaneModel p;
    p.kind = m.Kind();
    p.form = m.m_nModelForm;
    p.params = {m.m_dParamA, m.m_dParamB, m.m_dParamC, m.m_dParamD, m.m_dAngFreq, m.m_dPhase};
    p.mass = m.m_dMass;
    p.parser = m.m_pParser.get();
    p.chronon = m.RunStep();
    return p;
}

KindRhs CPlaneModel::Rhs(CParser* parserToUse) const
{
    KindRhs f;
    f.kind = kind;
    f.form = form;
    f.params = params;
    f.mass = mass;
    f.parser = parserToUse;
    f.hStep = chronon;
    // The logistic form never divides by a b of 0.
    if (kind == SystemKind::OneVariable && form == static_cast<int>(OneVariableModel::Logistic) &&
        f.params.b == 0)
        f.params.b = 1;
    if (parserToUse) {
        LoadParams(*parserToUse, params);
        parserToUse->m_dDT = chronon;
    }
    return f;
}

CFieldBase::CFieldBase(const CPlaneModel& model)
    : m_rhs(model.Rhs(model.parser)), m_chronon(model.chronon)
{
}

CRateField::CRateField(const CPlaneModel& model)
    : CFieldBase(model), m_oneVar(model.kind == SystemKind::OneVariable)
{
}

std::unique_ptr<CFieldBase> MakePlaneField(const CPlaneModel& model)
{
    if (model.kind == SystemKind::Newtonian)
        return std::make_unique<CNewtonianField>(model);
    return std::make_unique<CRateField>(model);
}

namespace {

constexpr double kPixelLimit = 1 << 24; // pixels from the plot's corner that a point may lie

int Saturate(double v)
{
    return static_cast<int>(std::clamp(std::isnan(v) ? 0 : v, -kPixelLimit, kPixelLimit));
}

// Clips the parameter range [t0, t1] of p + t d to p + t d <= limit and >= -limit (one
// coordinate); false when nothing is left.
bool ClipCoordinate(double p, double d, double& t0, double& t1)
{
    for (const double bound : {-kPixelLimit, kPixelLimit}) {
        const double gap = bound - p; // the coordinate may move to the bound, not past it
        const bool lower = bound < 0;
        if (d == 0) {
            if (lower ? gap > 0 : gap < 0)
                return false;
            continue;
        }
        const double t = gap / d;
        if ((d > 0) == lower)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

bool CPlaneFrame::WorldToPixel(double x, double y, int& px, int& py) const
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    px = left + Saturate((x - xmin) / ScaleX());
    py = top + Saturate((ymax - y) / ScaleY());
    return true;
}

bool CPlaneFrame::SegmentToPixels(double x1, double y1, double x2, double y2, int& px1, int& py1,
                                  int& px2, int& py2) const
{
    // Pixels from the plot's corner in doubles, where a far point cannot overflow.
    const double ax = (x1 - xmin) / ScaleX(), ay = (ymax - y1) / ScaleY();
    const double bx = (x2 - xmin) / ScaleX(), by = (ymax - y2) / ScaleY();
    const double dx = bx - ax, dy = by - ay;
    for (const double v : {ax, ay, dx, dy})
        if (!std::isfinite(v))
            return false;
    // The part within the limits, as p + t d from the first end and as q - u d from the second.
    double t0 = 0, t1 = 1, u0 = 0, u1 = 1;
    if (!ClipCoordinate(ax, dx, t0, t1) || !ClipCoordinate(ay, dy, t0, t1) ||
        !ClipCoordinate(bx, -dx, u0, u1) || !ClipCoordinate(by, -dy, u0, u1))
        return false;
    // A clipped end is measured from an end within the limits where there is one: measured
    // from a far end, the sum would lose the segment's direction.
    const bool firstIn = t0 == 0, secondIn = u0 == 0;
    auto store = [this](double x, double y, int& px, int& py) {
        px = left + Saturate(x);
        py = top + Saturate(y);
    };
    if (firstIn || !secondIn)
        store(ax + t0 * dx, ay + t0 * dy, px1, py1);
    else
        store(bx - u1 * dx, by - u1 * dy, px1, py1);
    if (secondIn || !firstIn)
        store(bx - u0 * dx, by - u0 * dy, px2, py2);
    else
        store(ax + t1 * dx, ay + t1 * dy, px2, py2);
    return true;
}

int CPlaneFrame::GridPitch(int gl) const
{
    if (gl < 1)
        gl = 1;
    return std::max(1, std::min(Width() / gl, Height() / gl));
}

void CalcDirectionField(IPlaneField& field, const CPlaneFrame& frame, int pitch, double t,
                        CDirectionField& out, IPassProgress* progress)
{
    const int s = 2 * std::max(pitch, 1);
    const double len = 0.25 * s * std::hypot(frame.ScaleX(), frame.ScaleY());
    const long long cols = std::max(0, (frame.Width() + s - 1) / s);
    const long long rows = std::max(0, (frame.Height() + s - 1) / s);
    CProgressCounter counter(progress, cols * rows);
    out = {};
    for (auto* a : {&out.m_arrX1, &out.m_arrY1, &out.m_arrX2, &out.m_arrY2})
        a->reserve(static_cast<std::size_t>(cols * rows));
    field.SetPulse(t, field.Chronon());
    for (int py = frame.top; py < frame.bottom; py += s) {
        for (int px = frame.left; px < frame.right; px += s) {
            counter.Count();
            const double x = frame.PixelToWorldX(px), y = frame.PixelToWorldY(py);
            double fx, fy;
            field.Rates(t, x, y, fx, fy);
            const double n = std::hypot(fx, fy);
            // A point where the field vanishes (or is not finite) has no direction.
            const bool dir = n > 0 && std::isfinite(n);
            out.m_arrX1.push_back(x);
            out.m_arrY1.push_back(y);
            out.m_arrX2.push_back(dir ? x + len * fx / n : x);
            out.m_arrY2.push_back(dir ? y + len * fy / n : y);
        }
    }
}
