#pragma once
// CApplication: the program's QApplication. Qt lets no exception through its event loop, so
// memory that runs out while an event is handled goes no further than notify, where Qt hands the
// event to the program: the handler is ended there, the innermost modal window of the program's
// own loop (RunModalLoop) ends as cancelled and its caller tells the user once the loop has
// returned; with no such window the user is told by a posted event.
#include <QApplication>

#include <new>

class CApplication : public QApplication
{
public:
    CApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* e) override;
};

namespace vx {

// What notify does when memory ran out in a handler; allocates nothing that it must have.
void MemoryRanOutInHandler() noexcept;

// Runs a handler that the program's own dispatch calls outside notify (posted messages, idle
// work), memory running out in it handled as in notify.
template <class F> void RunHandler(F&& handler) noexcept
{
    try {
        handler();
    } catch (const std::bad_alloc&) {
        MemoryRanOutInHandler();
    }
}

} // namespace vx
