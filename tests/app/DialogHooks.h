#pragma once
// Answers the file dialogs and the message boxes that the commands of a test show: the file
// dialogs with path, the boxes with the queued answers (OK, or Yes, when none is queued).
#include "platform/WinApp.h"
#include "platform/base/MessageHook.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class Dialogs
{
public:
    Dialogs()
    {
        m_oldFile = SetFileDialogHook([this](bool, const std::string& filter) {
            filters.push_back(filter);
            return path;
        });
        m_oldBox = SetMessageBoxHook([this](const std::string& text, unsigned type) {
            texts.push_back(text);
            if (onBox)
                onBox(text);
            if (answers.empty())
                return (type & 0x0F) == msgbox::MB_OK ? msgbox::IDOK : msgbox::IDYES;
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~Dialogs()
    {
        SetFileDialogHook(std::move(m_oldFile));
        SetMessageBoxHook(std::move(m_oldBox));
    }
    std::string path;
    std::deque<int> answers;
    std::function<void(const std::string&)> onBox;
    std::vector<std::string> texts, filters;

private:
    FileDialogHook m_oldFile;
    MessageBoxHook m_oldBox;
};
