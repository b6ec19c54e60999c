#include "platform/TickSource.h"

#include "platform/WindowTimers.h"

#include <atomic>
#include <cassert>
#include <chrono>

namespace platform {
namespace {

// Written on the UI thread by the manual clock, read by GetTickCount on any thread.
std::atomic<bool> g_manualActive{false};
std::atomic<DWORD> g_manualTick{0};

} // namespace

namespace detail {

void setManualTick(bool active, DWORD now) {
    g_manualTick.store(now);
    g_manualActive.store(active);
}

} // namespace detail

ManualTime::ManualTime(DWORD start) {
    assert(!g_manualActive.load() && "only one ManualTime at a time");
    WindowTimers::instance().startManual(start);
}

ManualTime::~ManualTime() {
    WindowTimers::instance().stopManual();
}

DWORD ManualTime::now() const {
    return WindowTimers::instance().manualNow();
}

void ManualTime::advance(DWORD ms) {
    WindowTimers::instance().advance(ms);
}

void ManualTime::skip(DWORD ms) {
    WindowTimers::instance().skip(ms);
}

bool ManualTime::fire(HWND hwnd, UINT_PTR id) {
    return WindowTimers::instance().fire(hwnd, id);
}

bool ManualTime::isArmed(HWND hwnd, UINT_PTR id) const {
    return WindowTimers::instance().isArmed(hwnd, id);
}

UINT ManualTime::interval(HWND hwnd, UINT_PTR id) const {
    return WindowTimers::instance().interval(hwnd, id);
}

} // namespace platform

DWORD GetTickCount() {
    if (platform::g_manualActive.load())
        return platform::g_manualTick.load();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
