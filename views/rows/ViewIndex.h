#pragma once
// What a model view is by its index in model/ViewKinds and its model's kind: the help context
// of F1 and Shift+F1, the toolbar it loads when it becomes active, its slot of the document's
// open-view counts and the prefix of its limit captions (the data-entry keys of its limits, as
// "ps" in "Minimum x (psxlo)"). Toolbars go by kind; a few views differ by kind in their help
// context or prefix.
#include "model/ViewKinds.h"

#include <string>

// A view by its index (ModelView, -1 for none) and its model's kind.
struct ViewKey
{
    int view = -1;
    SystemKind kind = SystemKind::Newtonian;
};

struct ViewKindEntry
{
    DWORD helpContext = 0;        // 0: the view answers no help
    UINT toolBar = 0;             // 0: the view loads none
    int openViewSlot = -1;        // -1: not counted
    const char* limitPrefix = ""; // empty where the captions carry none
};

// The entry of a view; a key without a view index gives the empty entry.
ViewKindEntry ViewKindEntryOf(ViewKey key);

// The caption of a limit field of the view's axis (0 horizontal, 1 vertical, 2 depth) named
// name: its prefix and, where a view's key differs from the axis's name ("Minimum x' (vfaylo)"),
// that key.
std::string ViewLimitCaption(ViewKey key, int axis, const char* name, bool max, bool absolute);
