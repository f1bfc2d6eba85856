#pragma once
// Window messages between threads and windows. Any thread may post or send; the message is
// handled on the user-interface thread by the window's WindowProc. A window is named by its
// handle, an id in the window table: a message to a handle whose window is gone is dropped.
#include "platform/Types.h"

#include <functional>
#include <vector>

class CWnd;

// True on the user-interface thread (the thread of the QApplication).
bool IsUiThread();

// True while the handle names a live window. Any thread.
bool IsWindow(HWND hWnd);

// Queues the message and returns at once; FALSE when the window is already gone.
BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Handles the message and returns the handler's result. On the user-interface thread the
// handler runs at once. From another thread the caller blocks until the user-interface thread
// has handled it; the call returns 0 at once when the window is gone or goes before its turn.
LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// SendMessage that also gives up (returning 0, the message not delivered) as soon as stop()
// answers true while the message still waits for its turn. A calculation thread passes its
// stop test (for example a CEvent's IsSet), so a stopped run or a closing window never leaves it
// waiting. stop() is asked repeatedly and must not consume anything (peek at an event, read an
// atomic flag).
LRESULT SendMessageUnlessStopped(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                 const std::function<bool()>& stop);

// Runs fn on the user-interface thread and waits for it (at once when called there).
void RunOnUiThread(const std::function<void()>& fn);
// Queues fn to run on the user-interface thread and returns at once.
void PostToUiThread(std::function<void()> fn);

namespace vx {
// The window table (used by CWnd only).
HWND RegisterWindow(CWnd* pWnd);
void RebindWindow(HWND hWnd, CWnd* pWnd);
void UnregisterWindow(HWND hWnd);
CWnd* LookupWindow(HWND hWnd);
// Handles in registration order (a snapshot; the user-interface thread only).
std::vector<HWND> AllWindows();
// Delivers every queued message now (tests, and modal loops that must not wait).
void DeliverPostedMessages();
// Delivers only what another thread waits for (its sends and its calls to this thread); posted
// messages, commands among them, stay queued in order. For waits on a worker thread, which must
// not run a command while the object that started the worker is going away.
void DeliverCrossThreadCalls();
} // namespace vx
