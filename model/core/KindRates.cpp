#include "model/core/KindRates.h"

void KindRates(KindRhs& f, const KindState& s, double* rate)
{
    ForKind(f.kind, [&](auto k) { KindRates<decltype(k)::value>(f, s, rate); });
}

double KindRate(KindRhs& f, int i, const KindState& s)
{
    return ForKind(f.kind, [&](auto k) { return KindRate<decltype(k)::value>(f, i, s); });
}
