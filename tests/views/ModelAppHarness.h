#pragma once
// The program's way of showing a model: an application with a main MDI frame and one template
// per model kind whose first view is Graph vs Time, so that runs go through the documents'
// calculation threads and messages.
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "platform/Frame.h"
#include "platform/Resources.h"
#include "platform/WinApp.h"
#include "views/graph/GraphView.h"

#include <QCoreApplication>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>

class CGraphTestMain : public CMDIFrameWnd
{
};

inline CWinApp& GraphTestApp()
{
    static CWinApp app("VeltrixGraphTest");
    static bool ready = [] {
        static const char* const views[] = {"CSys1Graph", "CSys1NNGraph", "CSys2Graph",
                                            "CSys3Graph"};
        constexpr UINT kMainMenu = 961;
        vx::res::RegisterMenu(kMainMenu, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}}});
        for (int k = 0; k < kSystemKinds; ++k) {
            const ModelKindInfo& info = DocKindInfo(static_cast<SystemKind>(k));
            vx::res::RegisterString(info.nIDResource,
                                    std::string("\n") + info.newName + "\nModel\nModel (*" +
                                        info.filterExt + ")\n" + info.filterExt + "\nModel\nModel");
            vx::res::RegisterMenu(info.nIDResource, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}}});
            app.AddDocTemplate(new CMultiDocTemplate(
                info.nIDResource, CRuntimeClass::FromName(info.className),
                VX_RUNTIME_CLASS(CMDIChildWnd), CRuntimeClass::FromName(views[k])));
        }
        auto* frame = new CGraphTestMain;
        frame->LoadFrame(kMainMenu, WS_OVERLAPPEDWINDOW);
        app.m_pMainWnd = frame;
        frame->GetWidget()->resize(900, 640);
        frame->ShowWindow(SW_SHOW);
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
    for (CDocTemplate* t : GraphTestApp().GetDocTemplates())
        if (t->GetResourceID() == DocKindInfo(kind).nIDResource)
            return dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr));
    return nullptr;
}

inline CGraphView* GraphOf(CDynSys* doc)
{
    const auto views = doc->GetViews();
    return views.empty() ? nullptr : dynamic_cast<CGraphView*>(views.front());
}

// Pumps events and posted messages until pred() holds; false after a minute (a hang guard).
inline bool PumpUntil(const std::function<bool()>& pred)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        vx::DeliverPostedMessages();
    }
    return true;
}

// Runs the document from its start to its run time and waits for the end.
inline bool RunToEnd(CDynSys* doc)
{
    doc->OnControlsRun();
    return PumpUntil([doc] { return !doc->m_bRunning; });
}
