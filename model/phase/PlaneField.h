#pragma once
// The phase plane of a model as one abstract field: (x, y) -> (x', y') at time t. The Newtonian
// model is the plane (x, x') with rates (x', F / m); the two-variable model the plane (x, y);
// the one-variable model the line x with rate f(x) (y stays where it is). Every phase-plane
// calculation (direction field, nullclines, fixed points, manifolds, tracks, basins) is written
// once over this field; the adapters below evaluate through the right-hand side of the kind
// (KindRates.h) and the calculations step with the steppers (Steppers.h) of the run.
//
// A field evaluates through one parser and is not to be shared between threads: a worker
// takes a field of its own over a parser of its own (CPlaneModel::Rhs).
#include "model/core/KindRates.h"
#include "model/core/Steppers.h"
#include "platform/base/WinTypes.h"

#include <cmath>
#include <memory>
#include <vector>

class CParser;
class CModelCore;

// What a phase-plane calculation needs to know of a model.
struct CPlaneModel
{
    SystemKind kind = SystemKind::TwoVariable; // Newtonian, OneVariable or TwoVariable
    int form = 0;                              // 0 typed equations, else the built-in form
    FormParams params;
    double mass = 1;           // Newtonian only
    CParser* parser = nullptr; // equations recorded in lists 1 (x' or F) and 2 (y')
    double chronon = 0.01;     // the model's step dt

    // The model of a document: its kind, form, parameters, mass, step and parser.
    static CPlaneModel Of(CModelCore& model);
    // Its right-hand side over the given parser (its own or a copy), with the parameters and
    // the step loaded into that parser.
    KindRhs Rhs(CParser* parserToUse) const;
};

class IPlaneField
{
public:
    virtual ~IPlaneField() = default;
    // Rate i (0 x', 1 y') at (x, y) and time t.
    virtual double Rate(int i, double t, double x, double y) = 0;
    virtual void Rates(double t, double x, double y, double& fx, double& fy) = 0;
    // The time and step at which a step's pulse train dlt(d) is read (its start).
    virtual void SetPulse(double t, double h) = 0;
    // Whether y is the rate of x (the Newtonian plane): then x' = y exactly.
    virtual bool SecondIsRateOfFirst() const = 0;
    // The model's step dt, at which a pass that does not step reads the pulse train.
    virtual double Chronon() const = 0;
};

// Shared by the adapters: the right-hand side and what X: and Y: read.
class CFieldBase : public IPlaneField
{
public:
    explicit CFieldBase(const CPlaneModel& model);
    void SetPulse(double t, double h) final
    {
        m_rhs.tStep = t;
        m_rhs.hStep = h;
    }
    double Chronon() const final { return m_chronon; }

protected:
    // In the phase plane X: and Y: are the point itself.
    void LoadDelayed(double x, double y)
    {
        if (m_rhs.parser) {
            m_rhs.parser->m_dXDelayed = x;
            m_rhs.parser->m_dYDelayed = y;
        }
    }

    KindRhs m_rhs;
    double m_chronon;
};

// x'' = F(x, x', t) / m as the plane (x, x').
class CNewtonianField final : public CFieldBase
{
public:
    using CFieldBase::CFieldBase;
    double Rate(int i, double t, double x, double y) override
    {
        if (i == 0)
            return y;
        LoadDelayed(x, 0);
        return KindRate<SystemKind::Newtonian>(m_rhs, 1, KindState{t, {x, y, 0}});
    }
    void Rates(double t, double x, double y, double& fx, double& fy) override
    {
        fx = y;
        fy = Rate(1, t, x, y);
    }
    bool SecondIsRateOfFirst() const override { return true; }
};

// x' = f(x, y, t), y' = g(x, y, t); a one-variable model is the case g = 0 and f = f(x, t).
class CRateField final : public CFieldBase
{
public:
    explicit CRateField(const CPlaneModel& model);
    double Rate(int i, double t, double x, double y) override
    {
        LoadDelayed(x, y);
        const KindState s{t, {x, y, 0}};
        if (m_oneVar)
            return i == 0 ? KindRate<SystemKind::OneVariable>(m_rhs, 0, s) : 0;
        return KindRate<SystemKind::TwoVariable>(m_rhs, i, s);
    }
    void Rates(double t, double x, double y, double& fx, double& fy) override
    {
        if (m_oneVar) {
            fx = Rate(0, t, x, y);
            fy = 0;
            return;
        }
        LoadDelayed(x, y);
        double r[2];
        KindRates<SystemKind::TwoVariable>(m_rhs, KindState{t, {x, y, 0}}, r);
        fx = r[0];
        fy = r[1];
    }
    bool SecondIsRateOfFirst() const override { return false; }

private:
    bool m_oneVar;
};

// The field of a model's kind.
std::unique_ptr<CFieldBase> MakePlaneField(const CPlaneModel& model);

// One fixed fifth-order step (RKFStepOf) from (x, y) at time t with step h (negative h runs
// backwards); t is left to the caller. The pulse is read at t. Field is a final adapter, so
// the calls are direct.
template <class Field> void PlaneRKFStep(Field& f, double t, double h, double& x, double& y)
{
    f.SetPulse(t, h);
    KindState s{t, {x, y, 0}};
    RKFStepOf<2>(
        [&f](const KindState& at, double* r) { f.Rates(at.t, at.u[0], at.u[1], r[0], r[1]); }, s,
        h);
    x = s.u[0];
    y = s.u[1];
}

// The plot as the calculations see it: the pixel rectangle and the world limits it shows.
// Pixel to world as the plot views convert (x from the left edge, y down from the top edge).
struct CPlaneFrame
{
    int left = 0, top = 0, right = 0, bottom = 0;
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    double XRange() const { return xmax - xmin; }
    double YRange() const { return ymax - ymin; }
    double ScaleX() const { return Width() > 0 ? XRange() / Width() : 0; }
    double ScaleY() const { return Height() > 0 ? YRange() / Height() : 0; }
    double PixelToWorldX(int px) const { return (px - left) * ScaleX() + xmin; }
    double PixelToWorldY(int py) const { return ymax - (py - top) * ScaleY(); }
    // World to pixel, saturated far outside the plot; false for a point that is not finite.
    bool WorldToPixel(double x, double y, int& px, int& py) const;
    // The segment from (x1, y1) to (x2, y2) in pixels, an end far outside the plot pulled back
    // along the segment, so that it keeps its direction; false when nothing of it lies near
    // the plot or an end is not finite.
    bool SegmentToPixels(double x1, double y1, double x2, double y2, int& px1, int& py1, int& px2,
                         int& py2) const;
    // The grid pitch of the vector-field passes for gl grid lines: the smaller of width / gl
    // and height / gl, at least 1.
    int GridPitch(int gl) const;
};

// The direction field: one segment per grid point every second grid line, row by row from
// the top, each a quarter of the spacing long along the world diagonal of a pixel and pointing
// along the flow. A grid point where the field vanishes gets a segment of length 0.
struct CDirectionField
{
    std::vector<double> m_arrX1, m_arrY1, m_arrX2, m_arrY2; // tails (grid points) and heads
};

// Reports of a pass that takes long enough to show progress.
class IPassProgress
{
public:
    virtual ~IPassProgress() = default;
    virtual void ProgressStep() = 0;
};

// Steps progress once every period counts; the period is at least 1.
class CProgressCounter
{
public:
    CProgressCounter(IPassProgress* sink, long long total)
        : m_sink(sink), m_period(total / 30 >= 1 ? total / 30 : 1)
    {
    }
    void Count()
    {
        if (m_sink && ++m_n % m_period == 0)
            m_sink->ProgressStep();
    }

private:
    IPassProgress* m_sink;
    long long m_period, m_n = 0;
};

void CalcDirectionField(IPlaneField& field, const CPlaneFrame& frame, int pitch, double t,
                        CDirectionField& out, IPassProgress* progress = nullptr);
