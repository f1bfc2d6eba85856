#include "platform/Resources.h"

#include <QImage>

#include <map>

namespace vx::res {
namespace {
struct Tables
{
    std::map<UINT, std::string> strings;
    std::map<UINT, std::vector<MenuItem>> menus;
    std::map<UINT, std::vector<Accelerator>> accelerators;
    std::map<UINT, ToolBar> toolbars;
    std::map<UINT, std::function<QImage()>> bitmaps;
    std::map<UINT, std::function<QImage(int, int)>> buttons;
    std::map<DWORD, HelpTopic> help;
    std::vector<DWORD> helpOrder;
};
Tables& T()
{
    static Tables tables;
    return tables;
}
template <class Map> const typename Map::mapped_type* Find(const Map& m, UINT id)
{
    auto it = m.find(id);
    return it == m.end() ? nullptr : &it->second;
}
} // namespace

void RegisterString(UINT id, std::string text)
{
    T().strings[id] = std::move(text);
}
std::string LoadString(UINT id)
{
    const std::string* s = Find(T().strings, id);
    return s ? *s : std::string();
}

void RegisterMenu(UINT id, std::vector<MenuItem> items)
{
    T().menus[id] = std::move(items);
}
const std::vector<MenuItem>* FindMenu(UINT id)
{
    return Find(T().menus, id);
}

void RegisterAccelerators(UINT id, std::vector<Accelerator> keys)
{
    T().accelerators[id] = std::move(keys);
}
const std::vector<Accelerator>* FindAccelerators(UINT id)
{
    return Find(T().accelerators, id);
}

void RegisterToolBar(UINT id, ToolBar bar)
{
    T().toolbars[id] = std::move(bar);
}
const ToolBar* FindToolBar(UINT id)
{
    return Find(T().toolbars, id);
}

void RegisterBitmap(UINT id, std::function<QImage()> make)
{
    T().bitmaps[id] = std::move(make);
}
QImage LoadBitmap(UINT id)
{
    const auto* make = Find(T().bitmaps, id);
    return make ? (*make)() : QImage();
}

void RegisterButtonImage(UINT commandId, std::function<QImage(int, int)> make)
{
    T().buttons[commandId] = std::move(make);
}
QImage LoadButtonImage(UINT commandId, int cx, int cy)
{
    const auto* make = Find(T().buttons, commandId);
    return make ? (*make)(cx, cy) : QImage();
}

void RegisterHelpTopic(DWORD context, HelpTopic topic)
{
    if (!T().help.count(context))
        T().helpOrder.push_back(context);
    T().help[context] = std::move(topic);
}
void RegisterHelpPages(std::span<const HelpPage> pages, DWORD contextBase, bool bParagraph)
{
    for (const HelpPage& p : pages)
        RegisterHelpTopic(contextBase + p.context,
                          {p.title, bParagraph ? "<p>" + std::string(p.html) + "</p>" : p.html});
}
const HelpTopic* FindHelpTopic(DWORD context)
{
    return Find(T().help, context);
}
std::vector<DWORD> HelpTopicIds()
{
    return T().helpOrder;
}

} // namespace vx::res
