#pragma once
// Commands that allocate in proportion to a plot, a run or a file: when memory runs out in one,
// the user is told and the program goes on.
#include "platform/base/MemoryReserve.h"
#include "platform/base/MessageHook.h"

#include <new>

// What the user is told where no text of the command's own says it.
extern const char* const kNoMemoryText;

// Shows text in a message box, the memory reserve given back first: even the text's copy may
// find no memory.
void TellNoMemory(const char* text = kNoMemoryText) noexcept;

// Whether a box that says memory ran out shows now: memory that runs out meanwhile is told by it.
bool TellingNoMemory() noexcept;

// Runs what; when memory runs out in it, shows text in a message box and returns false.
template <class F> bool TellIfNoMemory(F&& what, const char* text = kNoMemoryText)
{
    try {
        what();
        return true;
    } catch (const std::bad_alloc&) {
        TellNoMemory(text);
        return false;
    }
}

// Shows a modal window by show(), which returns its answer: the memory reserve is given back
// while it shows, as the window needs memory of its own. When memory runs out in it all the
// same, the user is told and failed comes back, as from a window closed without a choice.
template <class Show, class R> R ShowModal(Show&& show, R failed)
{
    const CReserveGivenBack givenBack;
    R answer = failed;
    TellIfNoMemory([&] { answer = show(); });
    return answer;
}
