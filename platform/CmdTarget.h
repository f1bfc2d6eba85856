#pragma once
// Command targets: objects that handle menu, accelerator and toolbar commands by id, and the
// update handlers that enable, check and relabel those items before they are shown.
// Handlers are registered in the constructor (MapCommand, MapUpdate); a later registration of
// the same id wins, so a derived class overrides its base by mapping the id again.
#include "platform/RuntimeClass.h"
#include "platform/Types.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What an update handler may change on the menu item or toolbar button of one command.
class CCmdUI
{
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE) { m_bEnabled = bOn != 0; }
    virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    virtual void SetRadio(BOOL bOn = TRUE) { SetCheck(bOn ? 1 : 0); }
    virtual void SetText(const std::string& text) { m_strText = text; }
    // Hides or shows the item (the recent-file entries).
    virtual void Show(BOOL bShow = TRUE) { m_bVisible = bShow != 0; }

    UINT m_nID;
    // Last values set; the layer's own subclasses also apply them to Qt actions.
    bool m_bEnabled = true;
    int m_nCheck = -1; // -1: never set
    std::string m_strText;
    bool m_bVisible = true;
};

enum class CmdKind
{
    Execute,   // run the command handler
    Update,    // run the update handler
    HasHandler // only answer whether a command handler exists
};

class CCmdTarget : public CObject
{
    VX_DECLARE_CLASS(CCmdTarget)
public:
    // This target's own handlers only; the routing classes override it to pass the command on.
    virtual bool OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI);

    // Routes a command through this target's chain; true when some target handled it.
    bool ExecuteCommand(UINT nID) { return OnCmdMsg(nID, CmdKind::Execute, nullptr); }
    // Runs the update handler found along the chain; without one, the item is enabled
    // exactly when some target has a command handler for it.
    void UpdateCommand(CCmdUI* pCmdUI);
    // The ids this target's own command handlers cover, as first-last ranges.
    std::vector<std::pair<UINT, UINT>> CommandRanges() const;

protected:
    template <class T> void MapCommand(UINT nID, void (T::*fn)())
    {
        T* self = static_cast<T*>(this);
        m_commands.push_back({nID, nID, [self, fn](UINT) { (self->*fn)(); }});
    }
    template <class T> void MapCommandRange(UINT nFirst, UINT nLast, void (T::*fn)(UINT))
    {
        T* self = static_cast<T*>(this);
        m_commands.push_back({nFirst, nLast, [self, fn](UINT id) { (self->*fn)(id); }});
    }
    template <class T> void MapUpdate(UINT nID, void (T::*fn)(CCmdUI*))
    {
        T* self = static_cast<T*>(this);
        m_updates.push_back({nID, nID, [self, fn](CCmdUI* ui) { (self->*fn)(ui); }});
    }
    template <class T> void MapUpdateRange(UINT nFirst, UINT nLast, void (T::*fn)(CCmdUI*))
    {
        T* self = static_cast<T*>(this);
        m_updates.push_back({nFirst, nLast, [self, fn](CCmdUI* ui) { (self->*fn)(ui); }});
    }

private:
    struct CommandEntry
    {
        UINT first;
        UINT last;
        std::function<void(UINT)> fn;
    };
    struct UpdateEntry
    {
        UINT first;
        UINT last;
        std::function<void(CCmdUI*)> fn;
    };
    std::vector<CommandEntry> m_commands;
    std::vector<UpdateEntry> m_updates;
};
