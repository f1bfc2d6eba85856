// Every command that a document or a view handles is reached by some menu item, key or button.
#include "app/ShellFixture.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Resources.h"
#include "platform/View.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Commands that no menu of the main window carries, with what reaches them instead.
const std::set<UINT> kReachedOtherwise = {
    ID_FILE_PRINT_DIRECT, // a view's own Print button
};

void AddMenuIds(const std::vector<vx::res::MenuItem>& items, std::set<UINT>& ids)
{
    for (const auto& item : items) {
        if (item.id)
            ids.insert(item.id);
        AddMenuIds(item.items, ids);
    }
}

// What the user can reach while a document of the template is active.
std::set<UINT> Reachable(UINT nIDMenu)
{
    std::set<UINT> ids = kReachedOtherwise;
    for (UINT id : {nIDMenu, IDR_MAINFRAME}) {
        if (const auto* menu = vx::res::FindMenu(id))
            AddMenuIds(*menu, ids);
        if (const auto* bar = vx::res::FindToolBar(id))
            ids.insert(bar->buttons.begin(), bar->buttons.end());
    }
    if (const auto* keys = vx::res::FindAccelerators(IDR_MAINFRAME))
        for (const auto& k : *keys)
            ids.insert(k.id);
    return ids;
}

// The ids of a command target's handlers that are not in the set.
std::vector<UINT> Unreached(const CCmdTarget& target, const std::set<UINT>& reachable)
{
    std::vector<UINT> missing;
    for (const auto& [first, last] : target.CommandRanges())
        for (UINT id = first; id <= last; ++id)
            if (!reachable.contains(id))
                missing.push_back(id);
    return missing;
}

// A new object of every creatable class derived from base; the caller owns them.
std::vector<std::unique_ptr<CObject>> CreateAll(const CRuntimeClass* base)
{
    std::vector<std::unique_ptr<CObject>> objects;
    for (const CRuntimeClass* c : CRuntimeClass::All())
        if (c != base && c->IsDerivedFrom(base))
            if (CObject* o = c->CreateObject())
                objects.emplace_back(o);
    return objects;
}

// The documents and views of each template, against that template's menu; every other view
// class against what any document type offers.
TEST(CommandReach, EveryHandledCommandHasAMenuKeyOrButton)
{
    ASSERT_NE(StartShell(), nullptr);
    std::set<UINT> anyType;
    std::set<const CRuntimeClass*> checked;
    for (CDocTemplate* t : theApp.GetDocTemplates()) {
        CDocument* doc = t->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr) << t->GetResourceID();
        const std::set<UINT> reachable = Reachable(t->GetResourceID());
        anyType.insert(reachable.begin(), reachable.end());
        EXPECT_EQ(Unreached(*doc, reachable), std::vector<UINT>{})
            << doc->GetRuntimeClass()->m_lpszClassName;
        for (CView* v : doc->GetViews()) {
            EXPECT_EQ(Unreached(*v, reachable), std::vector<UINT>{})
                << v->GetRuntimeClass()->m_lpszClassName;
            checked.insert(v->GetRuntimeClass());
        }
        doc->OnCloseDocument();
    }
    for (const auto& o : CreateAll(VX_RUNTIME_CLASS(CView))) {
        if (checked.contains(o->GetRuntimeClass()))
            continue;
        EXPECT_EQ(Unreached(*static_cast<CView*>(o.get()), anyType), std::vector<UINT>{})
            << o->GetRuntimeClass()->m_lpszClassName;
    }
}

} // namespace
