#include "platform/base/MessageHook.h"

#include <cstdio>
#include <mutex>

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
    MessageBoxHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook)
        return hook(text, type);
    std::fprintf(stderr, "%s\n", text.c_str());
    return msgbox::IDOK;
}
