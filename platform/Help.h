#pragma once
// The help window: shows the program's help pages (registered in platform/Resources.h) by
// context number, and the help mode of Shift+F1, in which the next click asks the window
// under the pointer for its help context (WM_HELPHITTEST) or takes the command of the
// toolbar button or menu item clicked (HID_BASE_COMMAND + id).
#include "platform/Types.h"

namespace vx::help {

// HELP_CONTEXT shows the page of the context (the contents, with a note, when there is none);
// HELP_FINDER and HELP_CONTENTS show the contents.
void Show(DWORD dwData, UINT nCmd);
// The context number of the page on show (0: the contents); 0 when no window is open.
DWORD ShownTopic();
void Close();

void EnterHelpMode();
bool InHelpMode();

} // namespace vx::help
