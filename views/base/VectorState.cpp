#include "views/base/VectorState.h"

void ClearUpperVectorState()
{
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    // Out of line, so no vector value of the caller is live across it.
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper");
#endif
}
