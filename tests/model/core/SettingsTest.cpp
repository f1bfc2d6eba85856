#include "model/core/ModelSettings.h"
#include "model/core/SettingsTable.h"

#include <map>

#include <gtest/gtest.h>

namespace {

const SystemKind kAllKinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};

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
