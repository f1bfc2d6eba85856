#pragma once
// While one lives, the memory that the calling thread takes from malloc, calloc, realloc and the
// aligned allocations, and still holds, is counted, and its peak kept. The test program that uses
// it links tests/common/CountedAllocations.cpp, which replaces malloc and its kin: not in the
// sanitizer builds, whose runtimes replace them themselves.
#include <cstddef>

class CountedAllocations
{
public:
    CountedAllocations();
    ~CountedAllocations();
    CountedAllocations(const CountedAllocations&) = delete;
    CountedAllocations& operator=(const CountedAllocations&) = delete;

    // The most bytes held at once since this began.
    std::size_t Peak() const;
};
