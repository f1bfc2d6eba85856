#pragma once
// Catches the message boxes a test provokes, answering from a list, then OK.
#include "platform/base/MessageHook.h"

#include <deque>
#include <string>
#include <vector>

class MessageRecorder
{
public:
    explicit MessageRecorder(std::deque<int> answerList = {}) : answers(std::move(answerList))
    {
        m_old = SetMessageBoxHook([this](const std::string& text, unsigned) {
            messages.push_back(text);
            if (answers.empty())
                return msgbox::IDOK;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageRecorder() { SetMessageBoxHook(std::move(m_old)); }
    std::vector<std::string> messages;
    std::deque<int> answers;

private:
    MessageBoxHook m_old;
};
