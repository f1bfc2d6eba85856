#pragma once
// The limit blocks of the plot views over the flat limit fields of the settings record. A
// block gives, for each of its axes, the members of the working window and of the absolute
// bounds that zoom and pan keep the window in, so that a view names its block instead of
// reading and writing each member. The members keep their names (model files and data entry
// use them). No Qt here.

struct CModelSettings;

enum class LimitBlock : int
{
    Graph,           // Graph vs Time: time, then the shared vertical axis
    ProjectedOrbit,  // x and x' (y in the two-variable kind)
    FullOrbit,       //
    OrbitSections,   //
    PoincareSection, //
    Basins,          //
    VectorField,     //
    ProjectedOrbit3, // the three-variable kind's blocks: x, y and z
    PoincareSection3,
    Basins3,
};
constexpr int kLimitBlocks = 10;
constexpr int kMaxLimitAxes = 3;

// One axis of a block. A null bound stands for a bound fixed at zero: the time axis starts at
// 0 and ends at the run time.
struct LimitAxisMembers
{
    double CModelSettings::*min;
    double CModelSettings::*max;
    double CModelSettings::*absMin;
    double CModelSettings::*absMax;
};

struct LimitBlockMembers
{
    int axes;
    LimitAxisMembers axis[kMaxLimitAxes];
};
const LimitBlockMembers& LimitMembers(LimitBlock block);

// One axis's values: the working window and its absolute bounds.
struct AxisLimits
{
    double min = 0.0, max = 0.0;
    double absMin = 0.0, absMax = 0.0;
    bool operator==(const AxisLimits&) const = default;
};

// The two axes of a 2-D view: horizontal, vertical.
struct PlotLimits
{
    AxisLimits x, y;
    bool operator==(const PlotLimits&) const = default;
};

// Whether lo .. hi is a range every scale can divide by: finite, lo below hi.
bool RangeIsOpen(double lo, double hi);
// Both axes' working windows and bounds are open ranges.
bool LimitsAreOpen(const PlotLimits& g);

AxisLimits ReadAxis(const CModelSettings& s, LimitBlock block, int axis);
// Writes the working window and the bounds that are members (a fixed bound stays).
void WriteAxis(CModelSettings& s, LimitBlock block, int axis, const AxisLimits& a);

// The first two axes of a block.
PlotLimits ReadLimits(const CModelSettings& s, LimitBlock block);
void WriteLimits(CModelSettings& s, LimitBlock block, const PlotLimits& g);
