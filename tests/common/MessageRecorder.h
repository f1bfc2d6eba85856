#pragma once
// Catches the message boxes a test provokes.
#include "platform/base/MessageHook.h"

#include <string>
#include <vector>

class MessageRecorder
{
public:
    MessageRecorder()
    {
        m_old = SetMessageBoxHook([this](const std::string& text, unsigned) {
            messages.push_back(text);
            return msgbox::IDOK;
        });
    }
    ~MessageRecorder() { SetMessageBoxHook(std::move(m_old)); }
    std::vector<std::string> messages;

private:
    MessageBoxHook m_old;
};
