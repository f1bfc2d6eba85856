#pragma once
// Starts the shell once per test program (offscreen) and renders its client area.
#include "app/MainFrm.h"
#include "app/VeltrixApp.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QSettings>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
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
        // The program runs in a folder of its own, with a teacher's configuration file (no
        // log-on at start).
        static QTemporaryDir run;
        std::filesystem::current_path(run.path().toStdString());
        std::ofstream("KRVX500.CFG", std::ios::binary).write("\x01\0\0\0\0", 5);
        theApp.SetCommandLine({"/tmp/named-on-the-command-line.ds2"});
        const bool ok = theApp.InitInstance();
        SetMessageBoxHook([](const std::string& text, unsigned) {
            Messages().push_back(text);
            return msgbox::IDOK;
        });
        // The first paint, and the configuration read that follows it, happen here and in
        // the program's folder.
        if (ok) {
            static_cast<CMainFrame*>(theApp.m_pMainWnd)->GetMdiArea()->viewport()->grab();
            for (int i = 0; i < 3; ++i) {
                QCoreApplication::processEvents();
                vx::DeliverPostedMessages();
            }
        }
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
