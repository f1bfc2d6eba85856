// A message box that finds no memory to show itself: the program goes on, answered as a box
// closed without a button.
#include "platform/base/MessageHook.h"

#include <gtest/gtest.h>

#include <new>

TEST(MessageHook, ABoxWithoutMemoryAnswersAsOneClosedWithoutAButton)
{
    const MessageBoxHook old =
        SetMessageBoxHook([](const std::string&, unsigned) -> int { throw std::bad_alloc(); });
    const struct
    {
        unsigned type;
        int answer;
    } cases[] = {{msgbox::MB_OK, msgbox::IDOK},
                 {msgbox::MB_OKCANCEL, msgbox::IDCANCEL},
                 {msgbox::MB_YESNO, msgbox::IDNO},
                 {msgbox::MB_YESNOCANCEL | msgbox::MB_ICONEXCLAMATION, msgbox::IDCANCEL}};
    for (const auto& c : cases)
        EXPECT_EQ(ShowMessageBox("Save changes?", c.type), c.answer) << c.type;
    SetMessageBoxHook(old);
}
