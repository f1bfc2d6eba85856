#pragma once
// Starts the shell once per test program (offscreen) and renders its client area.
#include "app/MainFrm.h"
#include "app/VeltrixApp.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

// Messages shown since the shell started (nothing is shown on the offscreen display).
inline std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

inline CMainFrame* StartShell()
{
    static bool started = [] {
        // The recent-file list goes to a folder of the test, not to the user's settings.
        static QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        theApp.SetCommandLine({"/tmp/named-on-the-command-line.ds2"});
        const bool ok = theApp.InitInstance();
        SetMessageBoxHook([](const std::string& text, unsigned) {
            Messages().push_back(text);
            return msgbox::IDOK;
        });
        return ok;
    }();
    return started ? static_cast<CMainFrame*>(theApp.m_pMainWnd) : nullptr;
}

// The client area rendered at the given size (the main window is resized to get it).
inline QImage RenderClient(CSize size)
{
    CMainFrame* frame = StartShell();
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    QWidget* viewport = frame->GetMdiArea()->viewport();
    main->showNormal();
    for (int i = 0; i < 5 && viewport->size() != QSize(size.cx, size.cy); ++i) {
        const QSize delta = QSize(size.cx, size.cy) - viewport->size();
        main->resize(main->size() + delta);
        QCoreApplication::processEvents();
    }
    return viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pumps events and posted messages until done() holds; false after a minute (a hang guard).
inline bool Pump(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        vx::DeliverPostedMessages();
    }
    return true;
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

// Opens the menu that holds the command (its items are brought up to date) and picks it; false
// when the command is not in the menu or greyed.
inline bool Choose(UINT id)
{
    CMainFrame* frame = StartShell();
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    QAction* action = FindAction(main->menuBar()->actions(), id);
    if (action == nullptr)
        return false;
    if (auto* menu = qobject_cast<QMenu*>(action->parent()))
        frame->UpdateMenu(menu);
    if (!action->isEnabled())
        return false;
    action->trigger();
    QCoreApplication::processEvents();
    vx::DeliverPostedMessages();
    return true;
}
