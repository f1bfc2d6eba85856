#pragma once
// Drives the real main window as a user does: picks commands from its menus (greyed ones are
// not carried out) and waits for what they start.
#include "app/ShellFixture.h"
#include "common/ModelApp.h"
#include "model/DynSys.h"
#include "model/ExpThread.h"
#include "platform/DocTemplate.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <functional>

// The View menu's commands that open a model's views, as the menu numbers them.
constexpr UINT ID_PROJECTED_ORBIT = 32773, ID_FULL_ORBIT = 32774, ID_GRAPH = 32776,
               ID_BASINS = 32778, ID_VECTOR_FIELD = 32802, ID_TABLE = 32872;

// Pumps events and posted messages until done() holds; false after PumpUntil's hang guard.
inline bool Pump(const std::function<bool()>& done)
{
    return PumpUntil(done);
}

// Whether a visible top-level window has that title.
inline bool ProgressWindowShown(const char* title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return true;
    return false;
}

// The document's last export has ended and its progress window is gone: the window closes on
// the export's last message, posted after the thread finished, and one still open when the test
// ends outlives the document.
inline bool ExportEnded(const CDynSys* doc)
{
    return doc->m_pExpThread && doc->m_pExpThread->Finished() &&
           !ProgressWindowShown("File Export Progress");
}

// Gives the application its idle time, as after a file is opened.
inline void Idle()
{
    for (LONG n = 0; n < 16 && theApp.OnIdle(n); ++n) {
    }
    QCoreApplication::processEvents();
}

inline QAction* FindAction(const QList<QAction*>& actions, UINT id)
{
    for (QAction* a : actions) {
        if (a->data().toUInt() == id)
            return a;
        if (a->menu())
            if (QAction* found = FindAction(a->menu()->actions(), id))
                return found;
    }
    return nullptr;
}

// The menu item of the command, brought up to date as when its menu opens; null when the
// active menu has no such item. The main window is the test shell's unless another is named.
inline QAction* UpdatedAction(UINT id, CMainFrame* frame = nullptr)
{
    if (!frame)
        frame = StartShell();
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    QAction* action = FindAction(main->menuBar()->actions(), id);
    if (action)
        if (auto* menu = qobject_cast<QMenu*>(action->parent()))
            frame->UpdateMenu(menu);
    return action;
}

// Whether the active menu offers the command enabled.
inline bool Offered(UINT id)
{
    QAction* action = UpdatedAction(id);
    return action && action->isEnabled();
}

// Opens the menu that holds the command and picks it; false when the command is not in the
// menu or greyed.
inline bool Choose(UINT id, CMainFrame* frame = nullptr)
{
    QAction* action = UpdatedAction(id, frame);
    if (action == nullptr || !action->isEnabled())
        return false;
    action->trigger();
    QCoreApplication::processEvents();
    vx::DeliverPostedMessages();
    return true;
}

// The document template with that resource id.
inline CDocTemplate* TemplateOf(UINT nID)
{
    StartShell();
    for (CDocTemplate* t : theApp.GetDocTemplates())
        if (t->GetResourceID() == nID)
            return t;
    return nullptr;
}

// A new model of the kind with that resource id, as File/New makes it.
inline CDynSys* NewModel(UINT nID)
{
    CDocTemplate* t = TemplateOf(nID);
    auto* doc = t ? dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr)) : nullptr;
    QCoreApplication::processEvents();
    return doc;
}

// Controls/Run, then waits for the run's end.
inline bool RunThroughMenu(CDynSys* doc)
{
    return Choose(ID_CONTROLS_RUN) && Pump([doc] { return !doc->m_bRunning && doc->m_bHaveData; });
}

// Controls/Run, then Controls/Stop once the run has stored rows beyond those the table had (a
// run stopped before its first step adds none), and waits for the run's end.
inline bool RunAWhileThroughMenu(CDynSys* doc)
{
    const RowCount had = CTableReadLock(*doc).Ring().count;
    return Choose(ID_CONTROLS_RUN) && Pump([doc, had] {
               return CTableReadLock(*doc).Ring().count > had || !doc->m_bRunning;
           }) &&
           Choose(ID_CONTROLS_STOP) && Pump([doc] { return !doc->m_bRunning; });
}

// A new model of the kind with the view that command opens, active and maximised; the view as
// View, or null.
template <class View> View* OpenViewOfNewModel(UINT nType, UINT nCommand, CDynSys*& doc)
{
    doc = NewModel(nType);
    if (!doc || !Choose(nCommand))
        return nullptr;
    View* view = nullptr;
    for (CView* v : doc->GetViews())
        if (!view)
            view = dynamic_cast<View*>(v);
    if (!view)
        return nullptr;
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    view->RedrawWindow();
    return view;
}
