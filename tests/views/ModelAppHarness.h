#pragma once
// The program's way of showing a model: an application with a main MDI frame and one template
// per model kind whose first view is Graph vs Time, so that runs go through the documents'
// calculation threads and messages.
#include "common/ModelApp.h"
#include "views/graph/GraphView.h"

#include <QWidget>

class CGraphTestMain : public CMDIFrameWnd
{
};

inline CWinApp& GraphTestApp()
{
    static CWinApp app("VeltrixGraphTest");
    static bool ready = [] {
        for (int k = 0; k < kSystemKinds; ++k)
            testapp::AddModelTemplate(app, static_cast<SystemKind>(k), testapp::GraphViewClass(k));
        testapp::ShowMainFrame(app, new CGraphTestMain, 961, 900, 640);
        return true;
    }();
    (void)ready;
    return app;
}

inline CMDIFrameWnd* GraphTestMainFrame()
{
    return static_cast<CMDIFrameWnd*>(GraphTestApp().m_pMainWnd);
}

inline CDynSys* NewModel(SystemKind kind)
{
    CDocTemplate* t = testapp::FindTemplate(GraphTestApp(), DocKindInfo(kind).nIDResource);
    return t ? dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr)) : nullptr;
}

inline CGraphView* GraphOf(CDynSys* doc)
{
    const auto views = doc->GetViews();
    return views.empty() ? nullptr : dynamic_cast<CGraphView*>(views.front());
}

// Runs the document from its start to its run time and waits for the end.
inline bool RunToEnd(CDynSys* doc)
{
    doc->OnControlsRun();
    return PumpUntil([doc] { return !doc->m_bRunning; });
}
