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
int Saturate(double v)
{
    constexpr double kLimit = 1 << 24;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}
} // namespace

bool CPlaneFrame::WorldToPixel(double x, double y, int& px, int& py) const
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    const double fx = (x - xmin) / ScaleX(), fy = (ymax - y) / ScaleY();
    px = left + Saturate(std::isnan(fx) ? 0 : fx);
    py = top + Saturate(std::isnan(fy) ? 0 : fy);
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
    const double len =
        0.25 * s * std::sqrt(frame.ScaleX() * frame.ScaleX() + frame.ScaleY() * frame.ScaleY());
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
