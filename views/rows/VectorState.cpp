#include "views/rows/VectorState.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <immintrin.h>

namespace {
// Compiled for AVX alone and never inlined, so no AVX instruction reaches a caller that runs
// without it, and the compiler knows what the instruction does to the vector registers.
[[gnu::noinline]] __attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}
} // namespace

void ClearUpperVectorState()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        ZeroUpper();
}
#else
void ClearUpperVectorState()
{
}
#endif
