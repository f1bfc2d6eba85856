#include "model/core/ModelSettings.h"
#include "model/core/SettingsTable.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

namespace {

const SystemKind kAllKinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};

TEST(Settings, DefaultsOfEachKind)
{
    struct Case
    {
        SystemKind kind;
        int tableKB;
        double rtl, initX;
        const char* paramA;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, 313, kTwoPi, 0, "1"},
        {SystemKind::OneVariable, 235, kTwoPi, 0.01, "1"},
        {SystemKind::TwoVariable, 391, kTwoPi, 5, "0"},
        {SystemKind::ThreeVariable, 547, 25, 0, ".12651"},
    };
    for (const auto& c : cases) {
        CModelSettings s;
        SetModelDefaults(s, c.kind);
        EXPECT_EQ(s.m_nTableKB, c.tableKB);
        EXPECT_EQ(s.m_dRunTimeLimit, c.rtl);
        EXPECT_EQ(s.m_dInitX, c.initX);
        EXPECT_EQ(s.m_strParamA, c.paramA);
        EXPECT_EQ(s.m_dChronon, kTwoPi / 100);
        EXPECT_EQ(s.m_dXDelayTime, s.m_dChronon);
        EXPECT_EQ(s.m_dYDelayTime, s.m_dChronon);
        EXPECT_EQ(s.m_dZDelayTime, s.m_dChronon);
        EXPECT_EQ(s.m_dParamA, 1); // values wait for the parameters to be evaluated
        EXPECT_EQ(s.m_nBADepth, 100);
    }
    CModelSettings n;
    SetModelDefaults(n, SystemKind::Newtonian);
    EXPECT_EQ(n.m_strEquation, "a*cos(af*t+pa)-b*x-c*x'");
}

TEST(Settings, VectorFieldPensFollowProjectedOrbitPen)
{
    CModelSettings s;
    s.m_nStyleVFTrack = 2;
    s.m_nWidthNullcline2 = 7;
    SetModelDefaults(s, SystemKind::TwoVariable);
    EXPECT_EQ(s.m_nStyleVFTrack, 0);
    EXPECT_EQ(s.m_nWidthNullcline2, 1);
    EXPECT_EQ(s.m_nWidthUnstableManifold, s.m_nWidthPO);
}

TEST(Settings, DefaultsLeaveConstructorValuesAlone)
{
    CModelSettings s;
    s.m_clrImport[0] = RGB(1, 2, 3);
    s.m_nVFGridSpacing = 55;
    s.m_nOpenViews[3] = 2;
    SetModelDefaults(s, SystemKind::Newtonian);
    EXPECT_EQ(s.m_clrImport[0], RGB(1, 2, 3));
    EXPECT_EQ(s.m_nVFGridSpacing, 55);
    EXPECT_EQ(s.m_nOpenViews[3], 2);
    EXPECT_EQ(s.m_clrSection[0], RGB(255, 0, 255));
    EXPECT_EQ(s.m_clrSection[1], RGB(0, 255, 255));
    EXPECT_EQ(s.m_clrSectionImport[2], RGB(180, 0, 180));
}

TEST(Settings, EveryKeyNamesOneMemberPerKind)
{
    for (SystemKind k : kAllKinds) {
        std::map<std::string, std::string> seen;
        for (const auto& f : SettingsTable()) {
            if (f.key.empty() || !f.UsedBy(k))
                continue;
            auto [it, fresh] = seen.emplace(f.key, f.name);
            EXPECT_TRUE(fresh || it->second == f.name) << f.key;
        }
    }
}

TEST(Settings, KeysReachTheirMembersPerKind)
{
    struct Case
    {
        const char* key;
        SystemKind kind;
        const char* member; // nullptr: no such key in the kind
    };
    const Case cases[] = {
        {"tr", SystemKind::ThreeVariable, "m_nTableRows"},
        {"pox'hi", SystemKind::Newtonian, "m_dPOMax2"},
        {"poyhi", SystemKind::TwoVariable, "m_dPOMax2"},
        {"poyhi", SystemKind::ThreeVariable, "m_dPO3MaxY"},
        {"pox'hi", SystemKind::TwoVariable, nullptr},
        {"vfclr", SystemKind::OneVariable, "m_clrVFTrack"},
        {"vftclr", SystemKind::OneVariable, nullptr},
        {"os15clr", SystemKind::Newtonian, "m_clrSection[14]"},
        {"m", SystemKind::OneVariable, nullptr},
        {"c/c", SystemKind::Newtonian, "m_nChrononsPerCycle"},
    };
    for (const auto& c : cases) {
        const SettingField* f = FindFieldByKey(c.key, c.kind);
        if (!c.member) {
            EXPECT_EQ(f, nullptr) << c.key;
            continue;
        }
        ASSERT_NE(f, nullptr) << c.key;
        EXPECT_EQ(f->name, c.member);
    }
    CModelSettings s;
    FindFieldByKey("tr", SystemKind::Newtonian)->Int(s) = 123;
    EXPECT_EQ(s.m_nTableRows, 123);
    FindField("m_bViewWanted[2]")->Int(s) = 1;
    EXPECT_EQ(s.m_bViewWanted[2], 1);
}

} // namespace
