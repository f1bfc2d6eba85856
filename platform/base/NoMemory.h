#pragma once
// Commands that allocate in proportion to a plot, a run or a file: when memory runs out in one,
// the user is told and the program goes on.
#include "platform/base/MessageHook.h"

#include <new>

// What the user is told where no text of the command's own says it.
extern const char* const kNoMemoryText;

// Runs what; when memory runs out in it, shows text in a message box and returns false.
template <class F> bool TellIfNoMemory(F&& what, const char* text = kNoMemoryText)
{
    try {
        what();
        return true;
    } catch (const std::bad_alloc&) {
        ShowMessageBox(text, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
        return false;
    }
}
