#include "views/rows/ViewIndex.h"

#include "model/CommandIds.h"
#include "platform/Ids.h"
#include "views/rows/LimitDialogRules.h"

namespace {
constexpr DWORD Help(UINT nViewCommand)
{
    return HID_BASE_COMMAND + nViewCommand;
}

struct ViewRow
{
    DWORD help[kSystemKinds];
    const char* prefix[kSystemKinds];
};

// Newtonian, one-variable, two-variable, three-variable. The two-variable Projected Orbit, which
// has no help context of its own, takes its twins' one.
const ViewRow kRows[kModelViews] = {
    /* Graph */ {{Help(32776), Help(32776), Help(32776), Help(32776)}, {"", "", "", ""}},
    /* Table */ {{Help(32872), Help(32872), Help(32872), Help(32872)}, {"", "", "", ""}},
    /* Projected Orbit */ {{0x18005, 0x18005, 0x18005, 0x18005}, {"po", "po", "po", ""}},
    /* Full Orbit */ {{0x18006, 0x18006, 0x18006, 0}, {"fo", "fo", "fo", ""}},
    /* Orbit Sections */ {{0x18007, 0x18007, 0x18007, 0}, {"os", "os", "os", ""}},
    /* Poincare Section */ {{0x18009, 0x18009, 0x18009, 0x18009}, {"ps", "ps", "ps", ""}},
    /* Basins */ {{0x1800A, 0x1800A, 0x1880A, 0}, {"ba", "ba", "ba", ""}},
    /* Vector Field */ {{0x18022, 0x18022, 0x18022, 0}, {"vf", "1d", "vf", ""}},
    /* Real Space */ {{0x1806B, 0, 0, 0}, {"", "", "", ""}},
    /* Cycle Planes */ {{0x1806D, 0, 0, 0}, {"", "", "", ""}},
};

// Keys of limit fields that do not repeat their axis's name.
struct CaptionKey
{
    int view;
    SystemKind kind;
    int axis;
    bool absolute;
    const char* name;
};
const CaptionKey kCaptionKeys[] = {
    {kViewVectorField, SystemKind::Newtonian, 1, true, "y"},
};
} // namespace

ViewKindEntry ViewKindEntryOf(ViewKey key)
{
    const int k = static_cast<int>(key.kind);
    if (key.view < 0 || key.view >= kModelViews || k < 0 || k >= kSystemKinds)
        return {};
    const ViewRow& row = kRows[key.view];
    return {row.help[k], IDR_SYS1TYPE + static_cast<UINT>(k),
            key.view < kCountedViews ? key.view : -1, row.prefix[k]};
}

std::string ViewLimitCaption(ViewKey key, int axis, const char* name, bool max, bool absolute)
{
    const char* field = name;
    for (const CaptionKey& c : kCaptionKeys)
        if (c.view == key.view && c.kind == key.kind && c.axis == axis && c.absolute == absolute)
            field = c.name;
    return LimitCaption(ViewKindEntryOf(key).limitPrefix, name, max, absolute, field);
}
