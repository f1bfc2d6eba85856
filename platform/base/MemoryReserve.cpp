#include "platform/base/MemoryReserve.h"

#include <sys/mman.h>

#include <atomic>
#include <cstddef>

namespace {
// Enough for a message box with its window's pixels, fonts and text layout, and for the PDF
// writer's buffers, with which a print job that ran out of memory is ended.
constexpr std::size_t kReserveBytes = 32u << 20;

// Mapped, not allocated: unmapping gives the address space back at once, where the allocator
// could keep freed memory as its own.
std::atomic<void*> g_reserve{nullptr};
std::atomic<bool> g_wanted{false};
std::atomic<int> g_givenBack{0}; // modal windows showing
} // namespace

void TakeMemoryReserve() noexcept
{
    g_wanted = true;
    if (g_reserve.load() != nullptr)
        return;
    void* p =
        ::mmap(nullptr, kReserveBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return;
    void* none = nullptr;
    if (!g_reserve.compare_exchange_strong(none, p))
        ::munmap(p, kReserveBytes); // another thread took it meanwhile
}

void GiveBackMemoryReserve() noexcept
{
    if (void* p = g_reserve.exchange(nullptr))
        ::munmap(p, kReserveBytes);
}

bool MemoryReserveHeld() noexcept
{
    return g_reserve.load() != nullptr;
}

CReserveGivenBack::CReserveGivenBack() noexcept
{
    ++g_givenBack;
    GiveBackMemoryReserve();
}

CReserveGivenBack::~CReserveGivenBack()
{
    if (--g_givenBack == 0 && g_wanted)
        TakeMemoryReserve();
}

bool AddressSpaceFree(std::size_t bytes) noexcept
{
    void* p = ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        return false;
    ::munmap(p, bytes);
    return true;
}
