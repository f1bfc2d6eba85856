#include "dialogs/PropertyKinds.h"

#include "model/core/KindVars.h"

namespace {

constexpr const char* kUser = "User Defined Function";

const PropertyKind kKinds[kSystemKinds] = {
    {SystemKind::Newtonian,
     "Newtonian System Properties",
     true,
     3,
     {{"m_strAppliedForce", "Applied Force: f(x, x', x:, t, af, pa, a, b, c, d) (appf)",
       "Applied Force"},
      {"m_strRestoringForce", "Restoring Force: f(x, x', x:, af, pa, a, b, c, d) (resf)",
       "Restoring Force"},
      {"m_strDragForce", "Drag Force: f(x, x', x:, af, pa, a, b, c, d) (drgf)", "Drag Force"}},
     false,
     DelayedFlag::AfterParameters,
     5,
     {kUser, "Double Well Potential : x''=a*cos(af*t)+b*(x-x^3)-c*x'",
      "Duffing Oscillator: x''=a*cos(af*t+pa)-b*x^3-c*x'",
      "van der Pol Oscillator: x''=a*sin(af*t)-b*x-c*(x^2-1)*x'",
      "Pendulum: x''=a*dlt(d)-b*sin(x)-c*x'*abs(x')"},
     {},
     false,
     3,
     {{"m_bTabX", "Position (tabx)"},
      {"m_bTabXp", "Velocity (tabx')"},
      {"m_bTabXpp", "Acceleration (tabx'')"}},
     3,
     {{"m_dMass", "Effective Mass (m)"}, {"m_dInitX", "x (ix)"}, {"m_dInitXp", "x' (iv)"}}},
    {SystemKind::OneVariable,
     "1 Variable System Properties",
     true,
     1,
     {{"m_strXRate", " x rate of change x' =  f(x, x:, t, af, pa, a, b, c, d) (xroc)",
       "x rate of change"}},
     true,
     DelayedFlag::BeforeParameters,
     5,
     {kUser, "Exponential", "Ploynomial", "Logistic", "Trigonometric"},
     {nullptr, "x'= a*exp(b*x)+c*x+d", "x'=a*x^3+b*x^2+c*x+d", "x'=a*x*( 1-x/b)   b>0",
      "x'=a*sin(b*x)+c*x+d"},
     false,
     2,
     {{"m_bTabX", "x (tabx)"}, {"m_bTabXp", "x' (tabx')"}},
     1,
     {{"m_dInitX", "x (ix)"}}},
    {SystemKind::TwoVariable,
     "2 Variable System Properties",
     false,
     2,
     {{"m_strXRate", "x rate of change x' = f(x, x:, y, y:, t, af, pa, a, b, c, d) (xroc)",
       "x rate of change"},
      {"m_strYRate", "y rate of change y' =  f(x, x:, y, y:, t, af, pa, a, b, c, d) (yroc)",
       "y rate of change"}},
     true,
     DelayedFlag::BeforeParameters,
     6,
     {kUser, "Invertable Exponential", "Straight Ploynomial", "Reversed Polynomial",
      "Crossed Variables", "Linear"},
     {nullptr, "x'= a*x+b*exp(-y)   y'=c*y+d*exp(-x)", "x'=a*x+b*x^2+c*x^3   y'=d*y",
      "x'=a*y+b*y^2+c*y^3   y'=d*x", "x'=a*x+b*x*y   y'=c*y+d*x*y", "x'=a*x+b*y   y'=c*x+d*y"},
     true,
     4,
     {{"m_bTabX", "x  (tabx)"},
      {"m_bTabXp", "x' (tabx')"},
      {"m_bTabY", "y  (taby)"},
      {"m_bTabYp", "y' (taby')"}},
     2,
     {{"m_dInitX", "x (ix)"}, {"m_dInitY", "y (iy)"}}},
    {SystemKind::ThreeVariable,
     "3 Variable System Properties",
     false,
     3,
     {{"m_strXRate", "x rate of change x' = f(x, x:, y, y:, z, z' t, af, pa, a, b, c, d) (xroc)",
       "x rate of change"},
      {"m_strYRate", "y rate of change y' =  f(x, x:, y, y:, z, z', t, af, pa, a, b, c, d) (yroc)",
       "y rate of change"},
      {"m_strZRate", "z rate of change z' =  f(x, x:, y, y:, z, z', t, af, pa, a, b, c, d) (yroc)",
       "z rate of change"}},
     true,
     DelayedFlag::Never,
     4,
     {kUser, "Folded Band", "Lorenz System", "Time Dependent Parameter"},
     {nullptr, "x'=-y-z   y'=x+a*y   z'=b+z*(x-c)", "x'=a*(y-x)   y'=b*x-y-x*z   z'=x*y-c*z",
      "x'=a*(y-x)   y'=(b+d*sin(.1*af*t))*x-y-x*z   z'=x*y-c*z"},
     true,
     6,
     {{"m_bTabX", "x  (tabx)"},
      {"m_bTabXp", "x' (tabx')"},
      {"m_bTabY", "y  (taby)"},
      {"m_bTabYp", "y' (taby')"},
      {"m_bTabZ", "z  (tabz)"},
      {"m_bTabZp", "z' (tabz')"}},
     3,
     {{"m_dInitX", "x (ix)"}, {"m_dInitY", "y (iy)"}, {"m_dInitZ", "z (iz)"}}},
};

constexpr DelayField kDelays[3] = {
    {&CModelSettings::m_nXDelay, &CModelSettings::m_dXDelayTime, "m_nXDelay",
     "x Delay Chronons (xdel)"},
    {&CModelSettings::m_nYDelay, &CModelSettings::m_dYDelayTime, "m_nYDelay",
     "y Delay Chronons (ydel)"},
    {&CModelSettings::m_nZDelay, &CModelSettings::m_dZDelayTime, "m_nZDelay",
     "z Delay Chronons (zdel)"},
};

} // namespace

const PropertyKind& PropertyKindOf(SystemKind kind)
{
    return kKinds[static_cast<int>(kind)];
}

int TableBytesPerRow(SystemKind kind)
{
    return 8 * VarsOf(kind).columns;
}

std::span<const DelayField> DelaysOf(SystemKind kind)
{
    return {kDelays, static_cast<std::size_t>(VarsOf(kind).axes)};
}
