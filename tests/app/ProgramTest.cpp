// The program finds the document and view classes of every kind that is built.
#include "app/DocTypes.h"
#include "platform/RuntimeClass.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool IsPlaceholder(const CRuntimeClass* c)
{
    return std::strncmp(c->m_lpszClassName, "CPlaceholder", 12) == 0;
}

TEST(Program, BuiltModelKindsAreUsedInsteadOfPlaceholders)
{
#ifndef HAVE_VELTRIX_MODEL
    GTEST_SKIP() << "the model documents are not built";
#else
    const auto& types = ShellDocTypes();
    ASSERT_EQ(types.size(), 5u);
    for (size_t i = 1; i < types.size(); ++i) {
        EXPECT_FALSE(IsPlaceholder(FindDocClass(types[i].docClass))) << types[i].docClass;
#ifdef HAVE_VELTRIX_VIEWSGRAPH
        EXPECT_FALSE(IsPlaceholder(FindViewClass(types[i].viewClass))) << types[i].viewClass;
#endif
    }
#endif
}

} // namespace
