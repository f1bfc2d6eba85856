#include "platform/base/NoMemory.h"

#include "platform/base/MemoryReserve.h"

#include <cstdio>

const char* const kNoMemoryText = "Not enough memory to go on.";

void TellNoMemory(const char* text) noexcept
{
    GiveBackMemoryReserve();
    try {
        ShowMessageBox(text, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", text);
    }
}
