#pragma once
// Answers the modal dialogs a test provokes: each step runs on the next modal dialog that
// comes up (offscreen nothing is seen, so nobody else would close them).
#include "platform/WinApp.h"
#include "platform/base/MessageHook.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class ModalDriver
{
public:
    using Step = std::function<void(QDialog*)>;
    explicit ModalDriver(std::vector<Step> steps) : m_steps(steps.begin(), steps.end())
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    // Titles of the dialogs answered, in order.
    std::vector<std::string> titles;
    bool Done() const { return m_steps.empty(); }

private:
    void Poll()
    {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || d == m_last || m_steps.empty())
            return;
        m_last = d;
        titles.push_back(d->windowTitle().toStdString());
        // Run apart from the poll, so that a dialog the step opens is answered too.
        QTimer::singleShot(0, d, [d, step = std::move(m_steps.front())] { step(d); });
        m_steps.pop_front();
    }
    std::deque<Step> m_steps;
    QPointer<QDialog> m_last;
    QTimer m_timer;
};

inline void Accept(QDialog* d)
{
    d->accept();
}

inline void Reject(QDialog* d)
{
    d->reject();
}

// While it lives the message boxes are shown as the program shows them, modal, for a driver to
// answer.
class ShownMessageBoxes
{
public:
    ShownMessageBoxes() : m_old(SetMessageBoxHook({})) { InstallMessageBoxHook(); }
    ~ShownMessageBoxes() { SetMessageBoxHook(std::move(m_old)); }
    ShownMessageBoxes(const ShownMessageBoxes&) = delete;
    ShownMessageBoxes& operator=(const ShownMessageBoxes&) = delete;

private:
    MessageBoxHook m_old;
};
