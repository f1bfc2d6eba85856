#include "platform/base/MessageHook.h"

#include "platform/base/MemoryReserve.h"
#include "platform/base/NoMemory.h"

#include <cstdio>
#include <mutex>
#include <new>

namespace {
std::mutex g_hookMutex;
MessageBoxHook g_hook;
} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    std::lock_guard lock(g_hookMutex);
    MessageBoxHook old = std::move(g_hook);
    g_hook = std::move(hook);
    return old;
}

int ShowMessageBox(const std::string& text, unsigned type)
{
    const CReserveGivenBack givenBack;
    int answer = DismissedAnswer(type);
    try {
        MessageBoxHook hook;
        {
            std::lock_guard lock(g_hookMutex);
            hook = g_hook;
        }
        if (hook) {
            answer = hook(text, type);
        } else {
            std::fprintf(stderr, "%s\n", text.c_str());
            answer = msgbox::IDOK;
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (text != kNoMemoryText)
            TellNoMemory();
    }
    return answer;
}

int DismissedAnswer(unsigned type)
{
    switch (type & 0x0F) {
    case msgbox::MB_OK:
        return msgbox::IDOK;
    case msgbox::MB_YESNO:
        return msgbox::IDNO;
    default:
        return msgbox::IDCANCEL;
    }
}
