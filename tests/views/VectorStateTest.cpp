// The upper vector state is marked unused after the clear, where the processor can say so.
#include "views/rows/VectorState.h"

#include <gtest/gtest.h>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>

namespace {
// Whether the processor reports which register states are in use (XGETBV with ECX = 1).
bool ReportsStatesInUse()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __builtin_cpu_supports("avx") && __get_cpuid_count(0xD, 1, &a, &b, &c, &d) &&
           (a & 4u) != 0;
}

[[gnu::noinline]] __attribute__((target("xsave"))) bool UpperHalvesInUse()
{
    return (_xgetbv(1) & 4u) != 0; // bit 2: the upper halves of the AVX registers
}

// Sets a whole wide register, as painting does. Compiled code would mark the upper halves
// unused again on its return, so the instruction is written out.
[[gnu::noinline]] void UseUpperHalves()
{
    asm volatile("vcmptrue_uspd %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");
}
} // namespace

TEST(VectorState, TheClearLeavesTheUpperHalvesUnused)
{
    if (!ReportsStatesInUse())
        GTEST_SKIP() << "the processor does not report the states in use";
    UseUpperHalves();
    ASSERT_TRUE(UpperHalvesInUse());
    ClearUpperVectorState();
    EXPECT_FALSE(UpperHalvesInUse());
}
#endif
