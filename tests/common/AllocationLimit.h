#pragma once
// While it lives, every allocation through operator new above a size fails with
// std::bad_alloc, as when memory runs out: on every thread, or on every thread but the one that
// set the limit (the workers of a job, while the test's own thread goes on). The test program that
// uses it links tests/common/AllocationLimit.cpp, which replaces the global operator new.
#include <cstddef>

class AllocationLimit
{
public:
    enum Threads
    {
        Every,
        OthersOnly
    };
    explicit AllocationLimit(std::size_t mostBytes, Threads threads = Every);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

    // Allocations refused so far while a limit stood.
    static long long Refused();
    // After the next `after` allocations of the calling thread, n fail, whatever their size (a
    // worker arms it from a hook that runs on it).
    static void FailNextOnThisThread(int n, int after = 0);
    // Whether limits work in this build: not under ThreadSanitizer, whose own allocator must
    // see every allocation and free.
    static bool Works();
};
