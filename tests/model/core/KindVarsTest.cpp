#include "model/core/KindVars.h"
#include "model/core/SettingsTable.h"

#include <set>

#include <gtest/gtest.h>

namespace {

// Every member that the table names is the one the settings record calls by the variable's
// name, and no two variables share a member.
TEST(KindVars, MembersAreTheSettingsOfTheVariablesName)
{
    CModelSettings s;
    std::set<const void*> seen;
    auto check = [&](const std::string& member, const void* address, VarSlot slot) {
        const SettingField* f = FindField(member);
        ASSERT_NE(f, nullptr) << member;
        EXPECT_EQ(f->addr(s), address) << member;
        EXPECT_TRUE(seen.insert(address).second) << member << " of " << VarOf(slot).name;
    };
    for (int i = kSlotT; i < kSlots; ++i) {
        const auto slot = static_cast<VarSlot>(i);
        const VarInfo& v = VarOf(slot);
        const std::string suffix = MemberSuffix(slot);
        check("m_d" + suffix, &(s.*v.value), slot);
        if (slot == kSlotT)
            continue;
        check("m_bPlot" + suffix, &(s.*v.plot), slot);
        check("m_bTab" + suffix, &(s.*v.table), slot);
        check("m_clr" + suffix, &(s.*v.color), slot);
        check("m_nStyle" + suffix, &(s.*v.style), slot);
        check("m_nWidth" + suffix, &(s.*v.width), slot);
        check("m_clrImport[" + std::to_string(v.importPen) + "]", &s.m_clrImport[v.importPen],
              slot);
        EXPECT_TRUE(seen.insert(&(s.*v.min)).second && seen.insert(&(s.*v.max)).second) << v.name;
        if (v.initial)
            check("m_dInit" + suffix, &(s.*v.initial), slot);
    }
}

} // namespace
