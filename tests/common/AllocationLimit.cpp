#include "common/AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <thread>

#if defined(__SANITIZE_THREAD__)
#define VELTRIX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELTRIX_THREAD_SANITIZER 1
#endif
#endif

namespace {

std::atomic<std::size_t> g_most{std::numeric_limits<std::size_t>::max()};
std::atomic<long long> g_refused{0};
std::atomic<std::thread::id> g_spared{}; // a thread the limit leaves alone
thread_local int t_passNext = 0, t_failNext = 0;

} // namespace

AllocationLimit::AllocationLimit(std::size_t mostBytes, Threads threads)
{
    g_spared.store(threads == OthersOnly ? std::this_thread::get_id() : std::thread::id());
    g_most.store(mostBytes);
}

AllocationLimit::~AllocationLimit()
{
    g_most.store(std::numeric_limits<std::size_t>::max());
    g_spared.store(std::thread::id());
}

long long AllocationLimit::Refused()
{
    return g_refused.load();
}

void AllocationLimit::FailNextOnThisThread(int n, int after)
{
    t_passNext = after;
    t_failNext = n;
}

#ifdef VELTRIX_THREAD_SANITIZER
bool AllocationLimit::Works()
{
    return false;
}
#else
bool AllocationLimit::Works()
{
    return true;
}

namespace {

void* Allocate(std::size_t n) noexcept
{
    if (t_passNext > 0) {
        --t_passNext;
    } else if (t_failNext > 0) {
        --t_failNext;
        g_refused.fetch_add(1, std::memory_order_relaxed);
        return nullptr;
    }
    if (n > g_most.load(std::memory_order_relaxed) &&
        std::this_thread::get_id() != g_spared.load(std::memory_order_relaxed)) {
        g_refused.fetch_add(1, std::memory_order_relaxed);
        return nullptr;
    }
    return std::malloc(n == 0 ? 1 : n);
}

void* AllocateOrThrow(std::size_t n)
{
    if (void* p = Allocate(n))
        return p;
    throw std::bad_alloc();
}

} // namespace

// Every form that allocates with malloc frees with free, so a sanitizer sees matching pairs.
void* operator new(std::size_t n)
{
    return AllocateOrThrow(n);
}
void* operator new[](std::size_t n)
{
    return AllocateOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return Allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return Allocate(n);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
#endif
