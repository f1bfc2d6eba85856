// The per-view table: help context, toolbar, open-view slot and limit-caption prefix of each
// view by its index and its model's kind.
#include "views/rows/ViewIndex.h"
#include "model/CommandIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The captions of each view's limit fields, in the plane dialog's order: working horizontal
// minimum and maximum, working vertical, then the absolute ones; the box adds its depth axis.
TEST(ViewIndex, LimitCaptionsOfEachView)
{
    const struct
    {
        int view;
        K kind;
        std::vector<const char*> names;
        std::vector<std::string> captions;
    } cases[] = {
        {kViewVectorField,
         K::Newtonian,
         {"x", "x'"},
         {"Minimum x (vfxlo)", "Maximum x (vfxhi)", "Minimum x' (vfx'lo)", "Maximum x' (vfx'hi)",
          "Minimum x (vfaxlo)", "Maximum x (vfaxhi)", "Minimum x' (vfaylo)",
          "Maximum x' (vfayhi)"}},
        {kViewVectorField,
         K::OneVariable,
         {"x", "x'"},
         {"Minimum x (1dxlo)", "Maximum x (1dxhi)", "Minimum x' (1dx'lo)", "Maximum x' (1dx'hi)",
          "Minimum x (1daxlo)", "Maximum x (1daxhi)", "Minimum x' (1dax'lo)",
          "Maximum x' (1dax'hi)"}},
        {kViewVectorField,
         K::TwoVariable,
         {"x", "y"},
         {"Minimum x (vfxlo)", "Maximum x (vfxhi)", "Minimum y (vfylo)", "Maximum y (vfyhi)",
          "Minimum x (vfaxlo)", "Maximum x (vfaxhi)", "Minimum y (vfaylo)", "Maximum y (vfayhi)"}},
        {kViewProjectedOrbit,
         K::TwoVariable,
         {"x", "y"},
         {"Minimum x (poxlo)", "Maximum x (poxhi)", "Minimum y (poylo)", "Maximum y (poyhi)",
          "Minimum x (poaxlo)", "Maximum x (poaxhi)", "Minimum y (poaylo)", "Maximum y (poayhi)"}},
        {kViewFullOrbit,
         K::Newtonian,
         {"x", "x'"},
         {"Minimum x (foxlo)", "Maximum x (foxhi)", "Minimum x' (fox'lo)", "Maximum x' (fox'hi)",
          "Minimum x (foaxlo)", "Maximum x (foaxhi)", "Minimum x' (foax'lo)",
          "Maximum x' (foax'hi)"}},
        {kViewOrbitSections,
         K::OneVariable,
         {"x", "x'"},
         {"Minimum x (osxlo)", "Maximum x (osxhi)", "Minimum x' (osx'lo)", "Maximum x' (osx'hi)",
          "Minimum x (osaxlo)", "Maximum x (osaxhi)", "Minimum x' (osax'lo)",
          "Maximum x' (osax'hi)"}},
        {kViewPoincareSection,
         K::Newtonian,
         {"x", "x'"},
         {"Minimum x (psxlo)", "Maximum x (psxhi)", "Minimum x' (psx'lo)", "Maximum x' (psx'hi)",
          "Minimum x (psaxlo)", "Maximum x (psaxhi)", "Minimum x' (psax'lo)",
          "Maximum x' (psax'hi)"}},
        // The two-variable basins name their vertical axis x' as the other kinds do.
        {kViewBasins,
         K::TwoVariable,
         {"x", "x'"},
         {"Minimum x (baxlo)", "Maximum x (baxhi)", "Minimum x' (bax'lo)", "Maximum x' (bax'hi)",
          "Minimum x (baaxlo)", "Maximum x (baaxhi)", "Minimum x' (baax'lo)",
          "Maximum x' (baax'hi)"}},
        {kViewPoincareSection,
         K::ThreeVariable,
         {"x", "y", "z"},
         {"Minimum x (xlo)", "Maximum x (xhi)", "Minimum y (ylo)", "Maximum y (yhi)",
          "Minimum z (zlo)", "Maximum z (zhi)", "Minimum x (axlo)", "Maximum x (axhi)",
          "Minimum y (aylo)", "Maximum y (ayhi)", "Minimum z (azlo)", "Maximum z (azhi)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.captions[0]);
        std::vector<std::string> captions;
        for (bool absolute : {false, true})
            for (int axis = 0; axis < int(c.names.size()); ++axis)
                for (bool max : {false, true})
                    captions.push_back(
                        ViewLimitCaption({c.view, c.kind}, axis, c.names[axis], max, absolute));
        EXPECT_EQ(captions, c.captions);
    }
}
