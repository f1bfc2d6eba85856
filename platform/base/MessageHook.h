#pragma once
// Message boxes for code that has no display of its own (parser, calculation, file formats).
// The user-interface layer installs a hook that shows a real box; a worker thread's call waits
// until the user has answered on the user-interface thread.
#include <functional>
#include <string>

namespace msgbox {
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
// The default button, counted in the order of the type's name; the first unless named.
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
} // namespace msgbox

using MessageBoxHook = std::function<int(const std::string& text, unsigned type)>;

// Installs the hook and returns the previous one (an empty hook restores the default,
// which writes the text to standard error and answers IDOK).
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Shows text through the installed hook; safe to call from any thread. The memory reserve is
// given back while the box shows (see MemoryReserve.h); a box that memory still runs out in
// leaves the text on standard error, answers as one closed without a button, and the user is
// told that memory ran out (NoMemory.h).
int ShowMessageBox(const std::string& text, unsigned type = msgbox::MB_OK);

// The answer of a box of that type closed without a button (Escape, or its title bar).
int DismissedAnswer(unsigned type);
