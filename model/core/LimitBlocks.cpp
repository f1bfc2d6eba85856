#include "model/core/LimitBlocks.h"

#include "model/core/ModelSettings.h"

#include <cmath>

namespace {
using S = CModelSettings;

#define VX_AXIS(Min, Max, AbsMin, AbsMax)                                                          \
    {                                                                                              \
        &S::Min, &S::Max, &S::AbsMin, &S::AbsMax                                                   \
    }
#define VX_BLOCK2(P)                                                                               \
    {                                                                                              \
        2,                                                                                         \
        {                                                                                          \
            VX_AXIS(m_d##P##Min1, m_d##P##Max1, m_d##P##AbsMin1, m_d##P##AbsMax1),                 \
                VX_AXIS(m_d##P##Min2, m_d##P##Max2, m_d##P##AbsMin2, m_d##P##AbsMax2)              \
        }                                                                                          \
    }
#define VX_BLOCK3(P)                                                                               \
    {                                                                                              \
        3,                                                                                         \
        {                                                                                          \
            VX_AXIS(m_d##P##MinX, m_d##P##MaxX, m_d##P##AbsMinX, m_d##P##AbsMaxX),                 \
                VX_AXIS(m_d##P##MinY, m_d##P##MaxY, m_d##P##AbsMinY, m_d##P##AbsMaxY),             \
                VX_AXIS(m_d##P##MinZ, m_d##P##MaxZ, m_d##P##AbsMinZ, m_d##P##AbsMaxZ)              \
        }                                                                                          \
    }

// In the order of LimitBlock.
const LimitBlockMembers kBlocks[kLimitBlocks] = {
    {2,
     {{&S::m_dGraphTMin, &S::m_dGraphTMax, nullptr, &S::m_dRunTimeLimit},
      VX_AXIS(m_dGraphVMin, m_dGraphVMax, m_dGraphVAbsMin, m_dGraphVAbsMax)}},
    VX_BLOCK2(PO),
    VX_BLOCK2(FO),
    VX_BLOCK2(OS),
    VX_BLOCK2(PS),
    VX_BLOCK2(BA),
    VX_BLOCK2(VF),
    VX_BLOCK3(PO3),
    VX_BLOCK3(PS3),
    VX_BLOCK3(B3),
};
#undef VX_BLOCK3
#undef VX_BLOCK2
#undef VX_AXIS

double Get(const S& s, double S::*m)
{
    return m ? s.*m : 0.0;
}

void Set(S& s, double S::*m, double v)
{
    if (m)
        s.*m = v;
}
} // namespace

bool RangeIsOpen(double lo, double hi)
{
    return std::isfinite(lo) && std::isfinite(hi) && lo < hi && std::isfinite(hi - lo);
}

bool LimitsAreOpen(const PlotLimits& g)
{
    for (const AxisLimits* a : {&g.x, &g.y})
        if (!RangeIsOpen(a->min, a->max) || !RangeIsOpen(a->absMin, a->absMax))
            return false;
    return true;
}

const LimitBlockMembers& LimitMembers(LimitBlock block)
{
    return kBlocks[static_cast<int>(block)];
}

AxisLimits ReadAxis(const CModelSettings& s, LimitBlock block, int axis)
{
    const LimitAxisMembers& m = LimitMembers(block).axis[axis];
    return {Get(s, m.min), Get(s, m.max), Get(s, m.absMin), Get(s, m.absMax)};
}

void WriteAxis(CModelSettings& s, LimitBlock block, int axis, const AxisLimits& a)
{
    const LimitAxisMembers& m = LimitMembers(block).axis[axis];
    Set(s, m.min, a.min);
    Set(s, m.max, a.max);
    Set(s, m.absMin, a.absMin);
    Set(s, m.absMax, a.absMax);
}

PlotLimits ReadLimits(const CModelSettings& s, LimitBlock block)
{
    return {ReadAxis(s, block, 0), ReadAxis(s, block, 1)};
}

void WriteLimits(CModelSettings& s, LimitBlock block, const PlotLimits& g)
{
    WriteAxis(s, block, 0, g.x);
    WriteAxis(s, block, 1, g.y);
}
