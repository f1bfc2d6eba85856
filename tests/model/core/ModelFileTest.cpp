#include "model/core/ModelFile.h"
#include "model/core/NumberText.h"
#include "model/core/SettingsTable.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

const SystemKind kAllKinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};

std::vector<std::uint8_t> DefaultFile(SystemKind kind, CModelSettings* out = nullptr)
{
    CModelSettings s;
    SetModelDefaults(s, kind);
    CArchive ar;
    StoreModel(ar, s, kind);
    if (out)
        *out = s;
    return ar.Buffer();
}

// Stores s and loads the file into back: the settings the load replaced.
std::vector<std::string> StoreAndLoad(CModelSettings& s, SystemKind kind, CModelSettings& back)
{
    CArchive out;
    StoreModel(out, s, kind);
    CArchive in(out.Buffer());
    auto replaced = LoadModel(in, back, kind);
    EXPECT_EQ(in.Remaining(), 0u);
    return replaced;
}

template <class T> T At(const std::vector<std::uint8_t>& b, std::size_t off)
{
    T v;
    std::memcpy(&v, b.data() + off, sizeof v);
    return v;
}

// Fields of the layout compared one by one.
void ExpectSameStoredFields(CModelSettings& a, CModelSettings& b, SystemKind kind)
{
    for (const SettingField* f : FileLayout(kind)) {
        CModelSettings probe = b;
        f->CopyValue(probe, a);
        CArchive x, y;
        StoreModel(x, probe, kind);
        StoreModel(y, b, kind);
        EXPECT_EQ(x.Buffer(), y.Buffer()) << f->name;
    }
}

TEST(ModelFile, DefaultFileSizesAndNoReplacement)
{
    const std::size_t sizes[] = {1138, 987, 1151, 826};
    for (SystemKind k : kAllKinds) {
        EXPECT_EQ(DefaultFile(k).size(), sizes[static_cast<int>(k)]);
        CModelSettings s;
        CArchive in(DefaultFile(k));
        EXPECT_TRUE(LoadModel(in, s, k).empty());
    }
}

TEST(ModelFile, FieldOffsetsOfDefaultFiles)
{
    const auto n = DefaultFile(SystemKind::Newtonian);
    EXPECT_EQ(At<std::int32_t>(n, 0), 1); // m_bPlotX
    EXPECT_EQ(n[12], 14);                 // length of "a*cos(af*t+pa)"
    EXPECT_EQ(std::string(n.begin() + 13, n.begin() + 27), "a*cos(af*t+pa)");
    EXPECT_EQ(At<double>(n, 38), 10.0);                  // m_dGraphVAbsMax
    EXPECT_EQ(At<double>(n, 470), kTwoPi);               // m_dRunTimeLimit
    EXPECT_EQ(At<std::int32_t>(n, 510), 100);            // m_nChrononsPerCycle
    EXPECT_EQ(At<double>(n, 554), 1.0);                  // m_dMass
    EXPECT_EQ(At<std::int32_t>(n, 574), RGB(255, 0, 0)); // m_clrX
    EXPECT_EQ(At<double>(n, 1130), 1e-6);                // m_dJacobianStep

    const auto one = DefaultFile(SystemKind::OneVariable);
    EXPECT_EQ(std::string(one.begin() + 9, one.begin() + 15), "sin(x)");
    EXPECT_EQ(At<double>(one, 447), kTwoPi);
    EXPECT_EQ(At<double>(one, 455), 0.01); // m_dInitX
    EXPECT_EQ(At<std::int32_t>(one, 479), 100);

    const auto two = DefaultFile(SystemKind::TwoVariable);
    EXPECT_EQ(At<double>(two, 472), 5.0); // m_dInitX
    EXPECT_EQ(At<double>(two, 480), 0.0); // m_dInitY
    EXPECT_EQ(At<std::int32_t>(two, 504), 100);

    const auto three = DefaultFile(SystemKind::ThreeVariable);
    EXPECT_EQ(std::string(three.begin() + 25, three.begin() + 29), "-y-z");
    EXPECT_EQ(At<double>(three, 381), 25.0);      // m_dRunTimeLimit
    EXPECT_EQ(At<std::int32_t>(three, 429), 100); // m_nChrononsPerCycle
    EXPECT_EQ(At<std::int32_t>(three, 810), 30);  // Poincare pitch
    EXPECT_EQ(At<std::int32_t>(three, 814), 70);  // then its yaw, then its pan offset
}

TEST(ModelFile, RoundTripOfChangedValues)
{
    for (SystemKind k : kAllKinds) {
        CModelSettings s;
        SetModelDefaults(s, k);
        s.m_strParamB = std::string(300, 'b'); // a long text takes the 3-byte prefix
        s.m_strXRate = "x*(1-x)";
        s.m_strAppliedForce = "";
        s.m_dRunTimeLimit = 12.5;
        s.m_nChrononsPerCycle = 120;
        s.m_nTableInterval = 4;
        s.m_nTableRows = 500;
        s.m_clrSection[15] = RGB(1, 2, 3);
        s.m_nViewPitch[1] = -45;
        s.m_ptFOView = POINT{-3, 17};
        s.m_ptPS3View = POINT{8, -9};
        s.m_nModelForm = 2;
        s.m_nOpenViews[0] = 1;
        CModelSettings back;
        EXPECT_TRUE(StoreAndLoad(s, k, back).empty());
        ExpectSameStoredFields(s, back, k);
        EXPECT_EQ(back.m_nTableInterval, 4);
        EXPECT_EQ(back.m_strParamB, s.m_strParamB);
    }
}

TEST(ModelFile, ViewFlagsComeFromOpenViews)
{
    CModelSettings s;
    SetModelDefaults(s, SystemKind::TwoVariable);
    s.m_nOpenViews[0] = 1; // Graph vs Time
    s.m_nOpenViews[1] = 1; // Data Table: not remembered
    CArchive ar;
    StoreModel(ar, s, SystemKind::TwoVariable);
    EXPECT_EQ(std::vector<int>(s.m_bViewWanted, s.m_bViewWanted + 7),
              (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));

    CModelSettings t;
    SetModelDefaults(t, SystemKind::ThreeVariable);
    t.m_nOpenViews[2] = 1; // Projected Orbit
    t.m_nOpenViews[5] = 2; // Poincare Section
    CArchive ar3;
    StoreModel(ar3, t, SystemKind::ThreeVariable);
    EXPECT_EQ(std::vector<int>(t.m_bViewWanted, t.m_bViewWanted + 7),
              (std::vector<int>{0, 1, 0, 0, 1, 0, 0}));
}

TEST(ModelFile, EveryTruncationFailsAndLeavesTheRecordAlone)
{
    for (SystemKind k : kAllKinds) {
        const auto full = DefaultFile(k);
        CModelSettings before;
        before.m_strXRate = "untouched";
        before.m_nTableRows = 77;
        for (std::size_t len = 0; len < full.size(); ++len) {
            CModelSettings s = before;
            CArchive in(std::vector<std::uint8_t>(full.begin(), full.begin() + len));
            EXPECT_THROW(LoadModel(in, s, k), CArchiveException) << len;
            EXPECT_EQ(s.m_strXRate, "untouched");
            EXPECT_EQ(s.m_nTableRows, 77);
        }
    }
}

TEST(ModelFile, HugeTextLengthIsAFailureNotAnAllocation)
{
    auto file = DefaultFile(SystemKind::OneVariable);
    // The x' text starts at offset 8: claim four gigabytes.
    const std::uint8_t prefix[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    file.erase(file.begin() + 8);
    file.insert(file.begin() + 8, std::begin(prefix), std::end(prefix));
    CModelSettings s;
    CArchive in(file);
    EXPECT_THROW(LoadModel(in, s, SystemKind::OneVariable), CArchiveException);
}

TEST(ModelFile, AbsurdValuesAreReplacedByDefaults)
{
    CModelSettings s;
    SetModelDefaults(s, SystemKind::Newtonian);
    s.m_nTableRows = 5;
    s.m_nChrononsPerCycle = 120;
    s.m_nTableInterval = 7; // does not divide 120
    s.m_nOrbitSections = 40;
    s.m_nActivePage = 9;
    s.m_nModelForm = 5; // the Newtonian kind has four forms
    s.m_dAngFreq = 0;
    s.m_dGraphVMax = std::numeric_limits<double>::quiet_NaN();
    s.m_nStyleX = 7;
    s.m_clrPS = 0x7F000000;
    s.m_bMarkReturn[3] = 2;
    s.m_nXDelay = 0;
    s.m_dInitXp = 1e31;
    s.m_dMass = 2.5;      // sound values stay
    s.m_strParamA = "2*"; // texts are the equations' business
    CModelSettings back;
    const auto replaced = StoreAndLoad(s, SystemKind::Newtonian, back);
    EXPECT_EQ(replaced, (std::vector<std::string>{"vmax", "ix'", "af", "xdel", "ti", "tr",
                                                  "property page", "psclr", "xlt", "plot styles",
                                                  "orbit sections", "standard form"}));
    EXPECT_EQ(back.m_nTableRows, 10000);
    EXPECT_EQ(back.m_nChrononsPerCycle, 120);
    EXPECT_EQ(back.m_nTableInterval, 1);
    EXPECT_EQ(back.m_nOrbitSections, 6);
    EXPECT_EQ(back.m_nActivePage, 0);
    EXPECT_EQ(back.m_nModelForm, 0);
    EXPECT_EQ(back.m_dAngFreq, 1);
    EXPECT_EQ(back.m_dGraphVMax, 10);
    EXPECT_EQ(back.m_nStyleX, 0);
    EXPECT_EQ(back.m_clrPS, RGB(0, 255, 0));
    EXPECT_EQ(back.m_bMarkReturn[3], 0);
    EXPECT_EQ(back.m_nXDelay, 1);
    EXPECT_EQ(back.m_dInitXp, 0);
    EXPECT_EQ(back.m_dMass, 2.5);
    EXPECT_EQ(back.m_strParamA, "2*");
    const std::string msg = ReplacedSettingsMessage(replaced);
    EXPECT_NE(msg.find("tr"), std::string::npos);
    EXPECT_NE(msg.find("ti"), std::string::npos);
}

// Whatever the program itself can store comes back from its file as it was: the edges of what
// the dialogs, the data-entry window and the views accept, after their own rounding.
TEST(ModelFile, EveryValueTheProgramStoresLoadsBack)
{
    constexpr double kPi = 3.14159265; // the largest phase the pages and data entry take
    struct Case
    {
        SystemKind kind;
        const char* member;
        double value;
    };
    const Case cases[] = {
        {SystemKind::TwoVariable, "m_nSpinParam", 5}, // spinning d
        {SystemKind::TwoVariable, "m_nSpinParam", 6}, // af
        {SystemKind::Newtonian, "m_nSpinParam", 7},   // pa
        {SystemKind::TwoVariable, "m_nSpinParam", 1}, // t
        {SystemKind::TwoVariable, "m_nBADepth", 0},   // the basins Depth strip: 0 to 1000
        {SystemKind::TwoVariable, "m_nBADepth", 1000},
        {SystemKind::Newtonian, "m_dPhase", RoundToDigits(kPi, 6)}, // pa is stored rounded
        {SystemKind::OneVariable, "m_dPhase", RoundToDigits(-kPi, 6)},
        {SystemKind::ThreeVariable, "m_dAngFreq", kTwoPi / 1e-30}, // af from the least period
        {SystemKind::ThreeVariable, "m_dAngFreq", 1e-30},
        {SystemKind::Newtonian, "m_nChrononsPerCycle", 100000},
        {SystemKind::Newtonian, "m_nTableRows", 1000000},
        {SystemKind::OneVariable, "m_nXDelay", 100000},
        {SystemKind::Newtonian, "m_dMass", 1e-30},
        {SystemKind::TwoVariable, "m_dJacobianStep", 1e-15},
        {SystemKind::TwoVariable, "m_nOrbitSections", 15},
        {SystemKind::Newtonian, "m_nRSMode", 11},
        {SystemKind::Newtonian, "m_nAnimDelay", 100},
        {SystemKind::TwoVariable, "m_nVFGridSpacing", 10},
        {SystemKind::TwoVariable, "m_nManifoldSteps", 99999},
        {SystemKind::OneVariable, "m_nBAGrid", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member + std::string(" ") + std::to_string(c.value));
        const SettingField* f = FindField(c.member);
        ASSERT_NE(f, nullptr);
        CModelSettings s;
        SetModelDefaults(s, c.kind);
        if (f->type == FieldType::Double)
            f->Double(s) = c.value;
        else
            f->Int(s) = static_cast<int>(c.value);
        CModelSettings back;
        EXPECT_TRUE(StoreAndLoad(s, c.kind, back).empty());
        if (f->type == FieldType::Double)
            EXPECT_EQ(f->Double(back), c.value);
        else
            EXPECT_EQ(f->Int(back), static_cast<int>(c.value));
    }
}

// Limits outside their dialogs' ranges, or that close or invert an axis, get that axis's
// defaults back: a time axis that ends at or before 0, a negative start or a limit beyond 1e30
// would leave the graph without a scale.
TEST(ModelFile, LimitsOutsideTheirRangesAreReplaced)
{
    struct Case
    {
        SystemKind kind;
        const char *min, *max;
        double lo, hi;
        const char* label; // null: kept
    };
    const auto N = SystemKind::Newtonian, T = SystemKind::TwoVariable;
    const double d = std::numeric_limits<double>::quiet_NaN(); // the default stays
    const Case cases[] = {
        {T, "m_dGraphTMin", "m_dGraphTMax", d, 0, "tmax"},
        {T, "m_dGraphTMin", "m_dGraphTMax", d, -2, "tmax"},
        {T, "m_dGraphTMin", "m_dGraphTMax", -1, d, "tmin"},
        {T, "m_dGraphVMin", "m_dGraphVMax", -1e31, d, "vmin"},
        {T, "m_dGraphVAbsMin", "m_dGraphVAbsMax", d, 1e31, "plot limits"},
        {T, "m_dGraphTMin", "m_dGraphTMax", 0, d, nullptr}, // the edges are allowed
        {T, "m_dGraphVAbsMin", "m_dGraphVAbsMax", -1e30, d, nullptr},
        {N, "m_dGraphVMin", "m_dGraphVMax", 3, 3, "plot limits"},
        {SystemKind::OneVariable, "m_dGraphTMin", "m_dGraphTMax", 4, 1, "plot limits"},
        {T, "m_dGraphVAbsMin", "m_dGraphVAbsMax", 0, 0, "plot limits"},
        {T, "m_dPOMin2", "m_dPOMax2", 5, -5, "plot limits"},
        {SystemKind::ThreeVariable, "m_dPO3AbsMinZ", "m_dPO3AbsMaxZ", 1, 1, "plot limits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.max) + " " + std::to_string(c.lo) + " " + std::to_string(c.hi));
        CModelSettings defaults;
        SetModelDefaults(defaults, c.kind);
        CModelSettings s = defaults, back;
        for (const auto& [member, value] : {std::pair{c.min, c.lo}, {c.max, c.hi}})
            if (!std::isnan(value))
                FindField(member)->Double(s) = value;
        const auto replaced = StoreAndLoad(s, c.kind, back);
        CModelSettings& expected = c.label ? defaults : s;
        EXPECT_EQ(replaced,
                  c.label ? std::vector<std::string>{c.label} : std::vector<std::string>{});
        EXPECT_EQ(FindField(c.min)->Double(back), FindField(c.min)->Double(expected));
        EXPECT_EQ(FindField(c.max)->Double(back), FindField(c.max)->Double(expected));
    }
}

} // namespace

namespace {

// Settings without a dialog field of their own: the Depth strip, the 3-D views' angles and pans.
TEST(ModelFile, StripAndViewSettingsOutsideTheirRangesAreReplaced)
{
    struct Case
    {
        SystemKind kind;
        const char* member;
        long long value;
        const char* label; // null: kept
    };
    const auto N = SystemKind::Newtonian, T = SystemKind::TwoVariable,
               H = SystemKind::ThreeVariable;
    const Case cases[] = {
        {T, "m_nBADepth", 1001, "basins depth"},
        {N, "m_nBADepth", 999999, "basins depth"},
        {SystemKind::OneVariable, "m_nBADepth", 1000000, "basins depth"},
        {T, "m_nBADepth", -1, "basins depth"},
        {T, "m_nBADepth", 1000, nullptr},
        {N, "m_nViewPitch[1]", 181, "view angles"},
        {T, "m_nViewYaw[2]", -2147483648LL, "view angles"},
        {H, "m_nViewYaw[0]", -180, nullptr},
        {H, "m_nViewPitch[3]", 180, nullptr},
        {N, "m_ptFOView", 2147483647, "view pans"},
        {T, "m_ptOSView", -(kViewPanLimit + 1LL), "view pans"},
        {H, "m_ptPS3View", kViewPanLimit, nullptr},
        {H, "m_ptPSPView", -kViewPanLimit, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + std::to_string(c.value));
        const SettingField* f = FindField(c.member);
        ASSERT_NE(f, nullptr);
        CModelSettings defaults;
        SetModelDefaults(defaults, c.kind);
        CModelSettings s = defaults, back;
        const bool point = f->type == FieldType::Point;
        if (point)
            f->Point(s) = POINT{5, static_cast<int>(c.value)};
        else
            f->Int(s) = static_cast<int>(c.value);
        const auto replaced = StoreAndLoad(s, c.kind, back);
        EXPECT_EQ(replaced,
                  c.label ? std::vector<std::string>{c.label} : std::vector<std::string>{});
        CModelSettings& expected = c.label ? defaults : s;
        if (point) {
            EXPECT_EQ(f->Point(back).x, f->Point(expected).x);
            EXPECT_EQ(f->Point(back).y, f->Point(expected).y);
        } else {
            EXPECT_EQ(f->Int(back), f->Int(expected));
        }
    }
}

// The message names a limit by the key of the file's kind.
TEST(ModelFile, ReplacedLimitsAreNamedByTheKeysOfTheirKind)
{
    struct Case
    {
        SystemKind kind;
        const char* member;
        const char* label;
    };
    const Case cases[] = {
        {SystemKind::TwoVariable, "m_dVFMax2", "vfyhi"},
        {SystemKind::TwoVariable, "m_dPOMin2", "poylo"},
        {SystemKind::Newtonian, "m_dVFMax2", "vfx'hi"},
        {SystemKind::OneVariable, "m_dBAMin2", "bax'lo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        CModelSettings s, back;
        SetModelDefaults(s, c.kind);
        FindField(c.member)->Double(s) = std::numeric_limits<double>::infinity();
        EXPECT_EQ(StoreAndLoad(s, c.kind, back), std::vector<std::string>{c.label});
    }
}

} // namespace
