// The millisecond tick count, and a manual clock that tests put in its place.
#pragma once

#include "platform/WinTypes.h"

// Any thread: milliseconds of a steady clock in 32 bits; wraps as unsigned, so measure elapsed time as
// the unsigned difference of two counts. While a platform::ManualTime exists it returns the manual time.
DWORD GetTickCount();

namespace platform {

// Replaces the tick count and the window timers with a clock the test moves by hand (RAII; one at a time).
// While it exists, window timers run on this clock instead of QTimers: a timer armed before it is created
// is due one full interval after `start`, a timer armed while it exists one interval after the time of
// arming; when it goes, every armed timer returns to a QTimer with a fresh interval.
// Every method: UI thread.
class ManualTime {
public:
    explicit ManualTime(DWORD start = 0);
    ~ManualTime();
    ManualTime(const ManualTime&) = delete;
    ManualTime& operator=(const ManualTime&) = delete;

    DWORD now() const;
    // Moves the clock by ms, firing every timer due on the way in time order, each occurrence (a 10 ms
    // timer fires 5 times for advance(50)), with the clock at the due time during each call. A timer that
    // is already late (see skip) fires once, at the current time.
    void advance(DWORD ms);
    // Moves the clock by ms without firing anything, as a busy UI thread would; the next advance gives
    // every timer that fell due one tick, not a burst.
    void skip(DWORD ms);
    // Calls OnTimer(id) of the window now without changing the timer's schedule; false when it is idle.
    bool fire(HWND hwnd, UINT_PTR id);
    bool isArmed(HWND hwnd, UINT_PTR id) const;
    // The armed interval in ms; 0 when idle.
    UINT interval(HWND hwnd, UINT_PTR id) const;
};

namespace detail {
// UI thread: what GetTickCount returns while a manual clock runs, or no manual clock (active false).
void setManualTick(bool active, DWORD now);
} // namespace detail

} // namespace platform
