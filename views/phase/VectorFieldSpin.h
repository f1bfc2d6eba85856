#pragma once
// Spinning a parameter of a Vector Field view: the model's m_nSpinParam names it (1 t, 2 a,
// 3 b, 4 c, 5 d and, in the Newtonian view, 6 af and 7 pa) and an up-down control moves it in
// 100 steps through a range round its value, or the user types a value. What that does to the
// model is here, without the controls; no Qt here.
//
// a, b, c and d are the model's own values (a step leaves their texts alone, a typed value
// writes both); af and pa are the model's spun copies (m_dSpinAF, m_dSpinPA), never its af and
// pa; t is the vector-field time m_dVFTime, from 0 to the run time limit.
#include <string>

class CModelCore;

enum SpinParam : int
{
    kSpinT = 1,
    kSpinA,
    kSpinB,
    kSpinC,
    kSpinD,
    kSpinAF,
    kSpinPA,
};

struct SpinRange
{
    double lo = -10, hi = 10;
    bool operator==(const SpinRange&) const = default;
};

// The range round a value v (a, b, c, d, pa): -10 .. 10 for 0, else v - 2|v| .. v + 2|v|.
SpinRange SpinRangeAround(double v);
// The range of af: 0 .. 2 below 2 (af is a frequency), else as the others.
SpinRange SpinRangeOfAF(double v);
// The value at position p (0 .. 100) of a range.
double SpinValueAt(const SpinRange& r, int p);
// The position of t: whole percents of the run time limit at or below it, 0 .. 100 (0 when
// the limit is not positive).
int TimePosition(double t, double rtl);

class CSpinModel
{
public:
    // With af and pa (the Newtonian view) or without.
    explicit CSpinModel(bool withForcing) : m_bForcing(withForcing) {}

    bool Spins(int param) const
    {
        return param >= kSpinT && param <= (m_bForcing ? kSpinPA : kSpinD);
    }
    // "t", "a" ... "pa"; empty for a parameter not spun.
    const char* Name(int param) const;
    // The parameter of a name (exact, case-sensitive), or 0.
    int ParamOfName(const std::string& name) const;
    // The message for a name that is not one.
    const char* NameRefusal() const;

    // The af and pa copies from the model's af and pa, when the model has none yet.
    static void StartSpinCopies(CModelCore& s);
    // The ranges of a, b, c, d from the model's values; with af and pa, theirs from the copies.
    void RangesFromModel(const CModelCore& s);
    SpinRange Range(int param) const;

    // The spun parameter's value and the position its controls show: t at its place (af below
    // 2 too), the others in the middle.
    double Value(const CModelCore& s) const;
    int Position(const CModelCore& s) const;

    // Position p of the up-down control: the spun parameter takes the value there.
    void Step(CModelCore& s, int p) const;
    // The parameter was chosen: a, b, c, d, pa (and af from 2) go back to the middle of their
    // range, t and an af below 2 keep their value.
    void Choose(CModelCore& s) const;

    // A typed value: accepted when it is an expression whose value lies in the parameter's
    // bounds; then the model takes it (a, b, c, d with their text, af and pa in their copies)
    // and its range is set round it. A refused entry changes nothing of the model and returns
    // the message to show.
    struct Entry
    {
        bool accepted = false;
        std::string message;
    };
    Entry Enter(CModelCore& s, const std::string& text);

private:
    double* Member(CModelCore& s, int param) const;
    std::string* Text(CModelCore& s, int param) const;
    SpinRange& RangeRef(int param);

    bool m_bForcing;
    SpinRange m_ranges[6]; // a, b, c, d, af, pa
};
