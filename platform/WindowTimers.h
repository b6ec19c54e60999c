// The registry behind MessageWindow::SetTimer and KillTimer: timers by window and id.
//
// A timer runs on a precise QTimer, or on the manual clock while a platform::ManualTime exists
// (platform/TickSource.h). Creating a ManualTime moves every armed timer onto the manual clock, due one
// full interval after the clock's start value; destroying it moves them back onto QTimers, each starting a
// fresh interval. Timers armed while it exists are due one interval after the manual clock's time.
//
// Everything here runs on the UI thread only, so nothing is locked. A handler may arm, re-arm or kill any
// timer, or destroy its own window.
#pragma once

#include "platform/WinTypes.h"

#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class MessageWindow;

namespace platform {

class WindowTimers {
public:
    // UI thread: the one registry of the process.
    static WindowTimers& instance();

    // UI thread: arms or re-arms timer id of window. FALSE when window has no handle.
    bool set(MessageWindow& window, UINT_PTR id, UINT ms);
    // UI thread: false when the timer is idle.
    bool kill(HWND hwnd, UINT_PTR id);
    // UI thread: stops every timer of the window (it is being destroyed).
    void killAll(HWND hwnd);

    // UI thread: the manual clock, driven by platform::ManualTime.
    void startManual(DWORD start);
    void stopManual();
    DWORD manualNow() const { return static_cast<DWORD>(m_manualStart + m_manualElapsed); }
    void advance(DWORD ms);
    void skip(DWORD ms);
    bool fire(HWND hwnd, UINT_PTR id);
    bool isArmed(HWND hwnd, UINT_PTR id) const { return m_timers.count({hwnd, id}) != 0; }
    UINT interval(HWND hwnd, UINT_PTR id) const;

private:
    using Key = std::pair<HWND, UINT_PTR>;
    struct Timer {
        MessageWindow* window; // valid while the entry exists: the window's destruction removes it
        UINT interval;
        std::uint64_t order;           // arming order; breaks ties between timers due at the same time
        std::uint64_t due = 0;         // manual clock: elapsed time of the next tick
        std::unique_ptr<QTimer> timer; // real clock only
    };

    void startReal(const Key& key, Timer& entry);
    void fireReal(const Key& key);
    void retire(std::unique_ptr<QTimer> timer);
    void keepIdle(const Key& key, std::unique_ptr<QTimer> timer);
    void leaveHandler();
    void publishManualNow() const;

    std::map<Key, Timer> m_timers;
    std::uint64_t m_nextOrder = 0;
    bool m_manual = false;
    DWORD m_manualStart = 0;
    std::uint64_t m_manualElapsed = 0; // never wraps, so due times compare plainly
    // A QTimer killed while a handler runs may be the one whose timeout is being emitted: it is stopped
    // and kept here until the outermost handler has returned.
    int m_handlerDepth = 0;
    std::vector<std::unique_ptr<QTimer>> m_retired;
    // Stopped QTimers of killed timers, by window and id: a timer armed and killed with every hit is
    // started again instead of being made and connected anew. One per timer a window has used.
    std::map<Key, std::unique_ptr<QTimer>> m_idle;
};

} // namespace platform
