#pragma once
// While it lives, the points of a vector-field curve cannot grow past a count, as when memory
// runs out.
#include "model/phase/VFTrack.h"

#include <cstddef>

class CurveGrowthLimit
{
public:
    explicit CurveGrowthLimit(std::size_t most = 8)
    {
        CVFTrack::s_growthHook = [most](std::size_t n) { return n <= most; };
    }
    ~CurveGrowthLimit() { CVFTrack::s_growthHook = nullptr; }
    CurveGrowthLimit(const CurveGrowthLimit&) = delete;
    CurveGrowthLimit& operator=(const CurveGrowthLimit&) = delete;
};
