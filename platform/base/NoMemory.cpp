#include "platform/base/NoMemory.h"

#include "platform/base/MemoryReserve.h"

#include <atomic>
#include <cstdio>

const char* const kNoMemoryText = "Not enough memory to go on.";

namespace {
std::atomic<int> g_telling{0};
} // namespace

bool TellingNoMemory() noexcept
{
    return g_telling.load() > 0;
}

void TellNoMemory(const char* text) noexcept
{
    ++g_telling;
    GiveBackMemoryReserve();
    try {
        ShowMessageBox(text, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", text);
    }
    --g_telling;
}
