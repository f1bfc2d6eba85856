// The per-view table: help context, toolbar, open-view slot and limit-caption prefix of each
// view by its index and its model's kind.
#include "views/base/ViewIndex.h"
#include "model/CommandIds.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using K = SystemKind;
} // namespace

TEST(ViewIndex, EachViewAndKindHasItsEntry)
{
    const struct
    {
        int view;
        K kind;
        DWORD help;
        UINT toolBar;
        int slot;
        const char* prefix;
    } cases[] = {
        {kViewGraph, K::Newtonian, 0x18008, IDR_SYS1TYPE, 0, ""},
        {kViewGraph, K::ThreeVariable, 0x18008, IDR_SYS3TYPE, 0, ""},
        {kViewTable, K::OneVariable, 0x10000 + 32872, IDR_SYS1NNTYPE, 1, ""},
        {kViewProjectedOrbit, K::TwoVariable, 0x18005, IDR_SYS2TYPE, 2, "po"},
        {kViewProjectedOrbit, K::ThreeVariable, 0x18005, IDR_SYS3TYPE, 2, ""},
        {kViewFullOrbit, K::OneVariable, 0x18006, IDR_SYS1NNTYPE, 3, "fo"},
        {kViewOrbitSections, K::Newtonian, 0x18007, IDR_SYS1TYPE, 4, "os"},
        {kViewPoincareSection, K::TwoVariable, 0x18009, IDR_SYS2TYPE, 5, "ps"},
        {kViewPoincareSection, K::ThreeVariable, 0x18009, IDR_SYS3TYPE, 5, ""},
        {kViewBasins, K::Newtonian, 0x1800A, IDR_SYS1TYPE, 6, "ba"},
        {kViewBasins, K::TwoVariable, 0x1880A, IDR_SYS2TYPE, 6, "ba"},
        {kViewVectorField, K::OneVariable, 0x18022, IDR_SYS1NNTYPE, 7, "1d"},
        {kViewVectorField, K::TwoVariable, 0x18022, IDR_SYS2TYPE, 7, "vf"},
        {kViewRealSpace, K::Newtonian, 0x1806B, IDR_SYS1TYPE, -1, ""},
        {kViewCyclePlanes, K::Newtonian, 0x1806D, IDR_SYS1TYPE, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << c.view << " kind " << int(c.kind));
        const ViewKindEntry e = ViewKindEntryOf({c.view, c.kind});
        EXPECT_EQ(e.helpContext, c.help);
        EXPECT_EQ(e.toolBar, c.toolBar);
        EXPECT_EQ(e.openViewSlot, c.slot);
        EXPECT_EQ(std::string(e.limitPrefix), c.prefix);
    }
}

// A view outside the table (a test's own, or a bad index) loads no toolbar, answers no help and
// is not counted.
TEST(ViewIndex, AViewWithoutAnIndexHasTheEmptyEntry)
{
    for (int view : {-1, int(kModelViews), 1 << 20}) {
        const ViewKindEntry e = ViewKindEntryOf({view, K::Newtonian});
        EXPECT_EQ(e.helpContext, 0u);
        EXPECT_EQ(e.toolBar, 0u);
        EXPECT_EQ(e.openViewSlot, -1);
    }
    EXPECT_EQ(ViewKindEntryOf({kViewGraph, static_cast<K>(7)}).toolBar, 0u);
}
