#include "common/ModelApp.h"

#include "common/PumpUntil.h"
#include "platform/Resources.h"

#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testapp {

CDocTemplate* AddModelTemplate(CWinApp& app, SystemKind kind, const CRuntimeClass* pViewClass,
                               UINT nID)
{
    const ModelKindInfo& info = DocKindInfo(kind);
    const std::string ext = nID == 0 ? info.filterExt : ".t" + std::to_string(nID);
    if (nID == 0)
        nID = info.nIDResource;
    vx::res::RegisterString(nID, std::string("\n") + info.newName + "\nModel\nModel Files (*" +
                                     ext + ")\n" + ext + "\nModel\nModel");
    vx::res::RegisterMenu(nID, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}},
                                {"&View", 0, {{"&Toolbar", ID_VIEW_TOOLBAR, {}}}},
                                {"&Window", 0, {{"&Cascade", ID_WINDOW_CASCADE, {}}}}});
    auto* t = new CMultiDocTemplate(nID, CRuntimeClass::FromName(info.className),
                                    VX_RUNTIME_CLASS(CMDIChildWnd), pViewClass);
    app.AddDocTemplate(t);
    return t;
}

void ShowMainFrame(CWinApp& app, CMDIFrameWnd* pFrame, UINT nMenu, int cx, int cy)
{
    vx::res::RegisterMenu(nMenu, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}}});
    pFrame->LoadFrame(nMenu, WS_OVERLAPPEDWINDOW);
    app.m_pMainWnd = pFrame;
    pFrame->GetWidget()->resize(cx, cy);
    pFrame->ShowWindow(SW_SHOW);
    // The window system's resize and expose arrive later: a resize that came during a short
    // run would clear the picture drawn live. The benchmarks share this and have no assertions:
    // a window never shown ends the program, saying so.
    if (!PumpUntil([pFrame] {
            const QWindow* w = pFrame->GetWidget()->windowHandle();
            return w && w->isExposed();
        })) {
        std::fprintf(stderr, "the main window was never shown\n");
        std::abort();
    }
}

const CRuntimeClass* GraphViewClass(int kind)
{
    static const char* const names[] = {"CSys1Graph", "CSys1NNGraph", "CSys2Graph", "CSys3Graph"};
    return CRuntimeClass::FromName(names[kind]);
}

CDocTemplate* FindTemplate(CWinApp& app, UINT nID)
{
    for (CDocTemplate* t : app.GetDocTemplates())
        if (t->GetResourceID() == nID)
            return t;
    return nullptr;
}

} // namespace testapp
