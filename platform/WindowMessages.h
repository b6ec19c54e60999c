// Window messages between threads and windows, in the shape the court program was designed around.
//
// Every window that receives custom messages derives from MessageWindow (next to its QWidget base). A
// window is reached through its HWND: a number that any thread may hold and that is never reused during
// the process, so a message to a window that is gone finds nothing instead of freed memory.
//
// All handlers run on the UI thread (the thread of the QCoreApplication), so they are serialised against
// each other and against the window timers. A worker that sends blocks until the handler has returned;
// a text it passes in lParam (a const char* cast to LPARAM) therefore stays valid for exactly that call,
// and the handler copies what it keeps.
//
// One mutex in WindowMessages.cpp guards the handle table (handle -> window), the next free handle, the
// shut-down flag, the list of sends waiting for the UI thread and the state and result of each of them.
// No handler runs while it is held.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <thread>

class MessageWindow {
public:
    // UI thread: registers a fresh handle.
    MessageWindow();
    // UI thread: the same as DestroyWindow().
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Any thread; 0 once the window is destroyed.
    HWND GetSafeHwnd() const;

    // UI thread: unregisters the handle, kills the window's timers and releases every send waiting for it
    // (those return 0); later messages to the handle are refused. A derived destructor that waits for a
    // worker which may be sending to this window calls it first; the base destructor calls it in any case.
    void DestroyWindow();

    // UI thread, called by the message functions below. A derived class must not run an event loop in its
    // constructor or destructor while the handle is registered, or a message could reach a half-built window.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // UI thread: arms timer id, or restarts an armed one with the new interval (an interval of 0 counts as
    // 1 ms). FALSE when the window is destroyed. See platform/WindowTimers.h.
    BOOL SetTimer(UINT_PTR id, UINT ms);
    // UI thread: stops timer id; an idle id does nothing and returns FALSE.
    BOOL KillTimer(UINT_PTR id);
    // UI thread, called once per due tick of an armed timer; a late UI thread gets one call, not a burst.
    virtual void OnTimer(UINT_PTR /*id*/) {}

private:
    std::atomic<HWND> m_hwnd{0}; // written on the UI thread only
};

// Any thread. On the UI thread the handler is called directly (a handler may send again); from another
// thread the call is queued to the UI thread and the caller blocks until the handler has returned. Returns
// the handler's result, or 0 when the window is gone, is destroyed before the handler returns, or messages
// are shut down.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Any thread: queues the message for the UI thread, delivered later in posting order. Carry integers only:
// nothing keeps a pointed-to text alive. FALSE for a window that is gone or after the shutdown; a message
// whose window is destroyed before delivery is dropped.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Any thread: as PostMessage, with a copy of the NUL-terminated text made now and handed to the handler as
// lParam (a const char*, valid during that call). A reader thread goes on reading while the UI thread takes
// what it read, and a burst of reports is handled back to back before the screen is painted.
BOOL PostTextMessage(HWND hwnd, UINT message, WPARAM wParam, const char* text);

// Any thread: whether hwnd names a window that is not yet destroyed.
BOOL IsWindow(HWND hwnd);

namespace platform {

// Any thread: whether the caller runs on the thread of the QCoreApplication.
bool isUiThread();

// UI thread, at shutdown, before joining workers: from then on every send returns 0 at once, every send
// still waiting is released with 0 (a handler already running finishes first), and posts are dropped.
void shutdownMessages();

// Any thread, before joining a worker: from now on every send of that thread returns 0 at once, and a send
// of it still waiting for the UI thread is released with 0 (one whose handler runs finishes first). So a
// worker's owner can join it even while the worker waits on a window that is still alive. Call
// forgetReleasedSender after the join, since the system may reuse the thread's id.
void releaseSendsFrom(std::thread::id sender);
void forgetReleasedSender(std::thread::id sender);

// UI thread: the window behind a handle, or nullptr when there is none (any more).
MessageWindow* windowFromHandle(HWND hwnd);

// Any thread: sends from other threads that wait for the UI thread (tests use it to know a worker blocks).
int pendingSendCount();

// UI thread, tests only: undoes shutdownMessages() so that later tests in the same binary can send again.
void restartMessagesForTests();

} // namespace platform
