#pragma once
// The program's resources: strings, menus, accelerator tables, toolbars and pictures, kept as
// C++ tables that the program registers at start (resources/ holds the program's own). The
// layer looks them up by id where the old platform loaded a resource.
#include "platform/Types.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

class QImage;

namespace vx::res {

// A menu entry: a command (id != 0), a popup (items not empty) or a separator (neither).
// "&" marks the mnemonic; "\t" separates the shortcut text shown at the right.
struct MenuItem
{
    std::string text;
    UINT id = 0;
    std::vector<MenuItem> items;
};
inline MenuItem Separator()
{
    return {};
}

struct Accelerator
{
    std::string keys; // Qt's key sequence text, e.g. "Ctrl+N", "Shift+F1", "Alt+Backspace"
    UINT id = 0;
};

struct ToolBar
{
    int cxButton = 16;
    int cyButton = 15;
    std::vector<UINT> buttons; // command ids; 0 is a separator
};

void RegisterString(UINT id, std::string text);
// The string, or an empty one when the id is not registered.
std::string LoadString(UINT id);

void RegisterMenu(UINT id, std::vector<MenuItem> items);
const std::vector<MenuItem>* FindMenu(UINT id);

void RegisterAccelerators(UINT id, std::vector<Accelerator> keys);
const std::vector<Accelerator>* FindAccelerators(UINT id);

void RegisterToolBar(UINT id, ToolBar bar);
const ToolBar* FindToolBar(UINT id);

// Pictures are made on demand (drawn in code or read from the compiled-in Qt resources).
void RegisterBitmap(UINT id, std::function<QImage()> make);
QImage LoadBitmap(UINT id);

// The picture of a toolbar button for a command at the given size.
void RegisterButtonImage(UINT commandId, std::function<QImage(int cx, int cy)> make);
QImage LoadButtonImage(UINT commandId, int cx, int cy);

// Help pages by context number: a title and a page of simple HTML; a link "topic:N" (N in
// hexadecimal) opens another page.
struct HelpTopic
{
    std::string title;
    std::string html;
};
void RegisterHelpTopic(DWORD context, HelpTopic topic);
// A table of pages, each at contextBase + its number; bParagraph wraps each text in <p>.
struct HelpPage
{
    DWORD context;
    const char* title;
    const char* html;
};
void RegisterHelpPages(std::span<const HelpPage> pages, DWORD contextBase = 0,
                       bool bParagraph = false);
const HelpTopic* FindHelpTopic(DWORD context);
// Context numbers of all pages, in registration order.
std::vector<DWORD> HelpTopicIds();

} // namespace vx::res
