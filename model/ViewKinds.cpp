#include "model/ViewKinds.h"

#include "platform/RuntimeClass.h"
#include "platform/View.h"

namespace {

const ModelViewInfo kViews[kModelViews] = {
    {32776, "&Graph vs Time", {"CSys1Graph", "CSys1NNGraph", "CSys2Graph", "CSys3Graph"}},
    {32872, "&Data Table", {"CSys1Tab", "CSys1NNTab", "CSys2Tab", "CSys3Tab"}},
    // J where the O of "Projected Orbit" is the Orbit Sections' key in the same menu.
    {32773,
     "Pro&jected Orbit",
     {"CSys1PSP", "CSys1NNPSP", "CSys2PSP", "CSys3PSP"},
     {nullptr, nullptr, nullptr, "Projected &Orbit"}},
    {32774, "&Full Orbit", {"CSys1PSO", "CSys1NNPSO", "CSys2PSO", nullptr}},
    {32775, "&Orbit Sections", {"CSys1PSOC", "CSys1NNPSOC", "CSys2PSOC", nullptr}},
    {32777, "&Poincar\xE9 Section", {"CSys1PS", "CSys1NNPS", "CSys2PS", "CSys3PS"}},
    {32778, "&Basins of Attraction", {"CSys1BA", "CSys1NNBA", "CSys2BA", nullptr}},
    {32802, "&Vector Field", {"CSys1VF", "CSys1NNVF", "CSys2VF", nullptr}},
    {0, nullptr, {"CSys1RS", nullptr, nullptr, nullptr}},
    {0, nullptr, {"CSys1CP", nullptr, nullptr, nullptr}},
};

} // namespace

const ModelViewInfo& ViewInfo(int nView)
{
    return kViews[nView];
}

const char* ViewMenuText(SystemKind kind, int nView)
{
    const ModelViewInfo& info = kViews[nView];
    const char* own = info.kindMenuText[static_cast<int>(kind)];
    return own ? own : info.menuText;
}

int ViewOfCommand(UINT nID)
{
    for (int v = 0; v < kModelViews; ++v)
        if (kViews[v].nID != 0 && kViews[v].nID == nID)
            return v;
    return -1;
}

const CRuntimeClass* ViewClass(SystemKind kind, int nView)
{
    if (nView < 0 || nView >= kModelViews)
        return nullptr;
    const char* name = kViews[nView].classes[static_cast<int>(kind)];
    const CRuntimeClass* c = name ? CRuntimeClass::FromName(name) : nullptr;
    return c && c->m_pfnCreateObject && c->IsDerivedFrom(VX_RUNTIME_CLASS(CView)) ? c : nullptr;
}
