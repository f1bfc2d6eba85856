// Preloaded into a test program: allocations of the main thread really fail, as when memory runs
// out, while a test asks for it. malloc, calloc, realloc and the aligned allocations return null
// (so operator new throws std::bad_alloc, and C code sees its null), on the main thread only.
//
// A test finds VeltrixFailAllocations with dlsym when this shim is preloaded: the first-th
// allocation of the main thread from then on fails, then every every-th after it, at most most
// in all, for milliseconds. VeltrixRefusedAllocations says how many have failed so far.
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
}

namespace {
std::atomic<long> g_next{0};  // allocations of the main thread until the next failure; 0: none
std::atomic<long> g_every{0}; // then every so many
std::atomic<long> g_left{0};  // failures still to come
std::atomic<long> g_refused{0};
std::atomic<long long> g_until{0}; // monotonic nanoseconds

long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Called at each refusal: a debugger's breakpoint shows where it fell.
extern "C" __attribute__((noinline, visibility("default"))) void VeltrixAllocationRefused()
{
    asm volatile("");
}

// Whether this allocation fails; allocates nothing.
bool Refused()
{
    if (g_left.load(std::memory_order_relaxed) <= 0 || syscall(SYS_gettid) != getpid())
        return false;
    if (Now() > g_until.load()) {
        g_left.store(0);
        return false;
    }
    if (--g_next > 0)
        return false;
    g_next.store(g_every.load());
    --g_left;
    ++g_refused;
    VeltrixAllocationRefused();
    errno = ENOMEM;
    return true;
}
} // namespace

extern "C" __attribute__((visibility("default"))) void
VeltrixFailAllocations(long first, long every, long most, long milliseconds)
{
    g_left.store(0);
    g_every.store(every);
    g_next.store(first);
    g_until.store(Now() + milliseconds * 1000000LL);
    g_left.store(most);
}

extern "C" __attribute__((visibility("default"))) long VeltrixRefusedAllocations()
{
    return g_refused.load();
}

extern "C" {
void* malloc(std::size_t n) noexcept
{
    return Refused() ? nullptr : __libc_malloc(n);
}

void* calloc(std::size_t count, std::size_t n) noexcept
{
    return Refused() ? nullptr : __libc_calloc(count, n);
}

void* realloc(void* p, std::size_t n) noexcept
{
    return n != 0 && Refused() ? nullptr : __libc_realloc(p, n);
}

void* memalign(std::size_t alignment, std::size_t n) noexcept
{
    return Refused() ? nullptr : __libc_memalign(alignment, n);
}

void* aligned_alloc(std::size_t alignment, std::size_t n) noexcept
{
    return memalign(alignment, n);
}

int posix_memalign(void** p, std::size_t alignment, std::size_t n) noexcept
{
    if (Refused())
        return ENOMEM;
    *p = __libc_memalign(alignment, n);
    return *p ? 0 : ENOMEM;
}
}
