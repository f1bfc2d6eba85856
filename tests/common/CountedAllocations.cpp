#include "common/CountedAllocations.h"

#include <malloc.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

// The blocks taken while counting, by address: open addressing, a removed one marked so that a
// search goes on past it.
constexpr size_t kSlots = size_t{1} << 18;
void* const kRemoved = reinterpret_cast<void*>(1);
struct Slot
{
    void* p;
    size_t bytes;
};
Slot g_slots[kSlots];
thread_local bool t_counting = false;
size_t g_held = 0, g_peak = 0;

size_t SlotOf(const void* p)
{
    return (reinterpret_cast<std::uintptr_t>(p) >> 4) * 0x9E3779B97F4A7C15u % kSlots;
}

void Taken(void* p)
{
    if (!p || !t_counting)
        return;
    const size_t bytes = malloc_usable_size(p);
    for (size_t i = SlotOf(p);; i = (i + 1) % kSlots)
        if (!g_slots[i].p || g_slots[i].p == kRemoved) {
            g_slots[i] = {p, bytes};
            break;
        }
    g_held += bytes;
    if (g_held > g_peak)
        g_peak = g_held;
}

void Given(void* p)
{
    if (!p || !t_counting)
        return;
    for (size_t i = SlotOf(p); g_slots[i].p; i = (i + 1) % kSlots)
        if (g_slots[i].p == p) {
            g_held -= g_slots[i].bytes;
            g_slots[i].p = kRemoved;
            return;
        }
}

} // namespace

extern "C" {
void* malloc(size_t n)
{
    void* p = __libc_malloc(n);
    Taken(p);
    return p;
}

void* calloc(size_t n, size_t size)
{
    void* p = __libc_calloc(n, size);
    Taken(p);
    return p;
}

void* realloc(void* old, size_t n)
{
    Given(old);
    void* p = __libc_realloc(old, n);
    if (p)
        Taken(p);
    else if (old && n) // left as it was
        Taken(old);
    return p;
}

void free(void* p)
{
    Given(p);
    __libc_free(p);
}

void* memalign(size_t alignment, size_t n)
{
    void* p = __libc_memalign(alignment, n);
    Taken(p);
    return p;
}

void* aligned_alloc(size_t alignment, size_t n)
{
    return memalign(alignment, n);
}

int posix_memalign(void** out, size_t alignment, size_t n)
{
    void* p = memalign(alignment, n);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}
}

CountedAllocations::CountedAllocations()
{
    std::memset(g_slots, 0, sizeof g_slots);
    g_held = g_peak = 0;
    t_counting = true;
}

CountedAllocations::~CountedAllocations()
{
    t_counting = false;
}

size_t CountedAllocations::Peak() const
{
    return g_peak;
}
