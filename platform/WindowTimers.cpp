#include "platform/WindowTimers.h"

#include "platform/DebugOutput.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <cassert>

namespace platform {
namespace {

// A 0 ms QTimer would fire on every pass of the event loop and starve the UI thread.
UINT effectiveInterval(UINT ms) {
    return std::max<UINT>(ms, 1);
}

bool onUiThread(const char* what) {
    if (isUiThread())
        return true;
    assert(!"window timers are used on the UI thread only");
    DebugPrintf("%s called outside the UI thread; ignored", what);
    return false;
}

} // namespace

WindowTimers& WindowTimers::instance() {
    static WindowTimers registry;
    return registry;
}

bool WindowTimers::set(MessageWindow& window, UINT_PTR id, UINT ms) {
    const HWND hwnd = window.GetSafeHwnd();
    if (hwnd == 0 || !onUiThread("SetTimer"))
        return false;
    const Key key{hwnd, id};
    auto [it, added] = m_timers.try_emplace(key, Timer{&window, 0, 0, 0, nullptr});
    Timer& entry = it->second;
    entry.interval = effectiveInterval(ms);
    if (added)
        entry.order = m_nextOrder++;
    if (m_manual)
        entry.due = m_manualElapsed + entry.interval;
    else
        startReal(key, entry);
    return true;
}

bool WindowTimers::kill(HWND hwnd, UINT_PTR id) {
    if (!onUiThread("KillTimer"))
        return false;
    const auto it = m_timers.find({hwnd, id});
    if (it == m_timers.end())
        return false;
    keepIdle(it->first, std::move(it->second.timer));
    m_timers.erase(it);
    return true;
}

void WindowTimers::killAll(HWND hwnd) {
    if (!onUiThread("KillTimer"))
        return;
    auto it = m_timers.lower_bound({hwnd, 0});
    while (it != m_timers.end() && it->first.first == hwnd) {
        retire(std::move(it->second.timer));
        it = m_timers.erase(it);
    }
    for (auto idle = m_idle.lower_bound({hwnd, 0}); idle != m_idle.end() && idle->first.first == hwnd;) {
        retire(std::move(idle->second));
        idle = m_idle.erase(idle);
    }
}

void WindowTimers::startReal(const Key& key, Timer& entry) {
    if (!entry.timer) {
        if (const auto idle = m_idle.find(key); idle != m_idle.end()) {
            entry.timer = std::move(idle->second);
            m_idle.erase(idle);
        }
    }
    if (!entry.timer) {
        entry.timer = std::make_unique<QTimer>();
        entry.timer->setTimerType(Qt::PreciseTimer);
        // Qt reschedules a late timer from the current time, so a busy UI thread gets one tick, not a burst.
        QObject::connect(entry.timer.get(), &QTimer::timeout, entry.timer.get(),
                         [this, key] { fireReal(key); });
    }
    entry.timer->start(static_cast<int>(std::min<UINT>(entry.interval, INT32_MAX)));
}

void WindowTimers::fireReal(const Key& key) {
    const auto it = m_timers.find(key);
    if (it == m_timers.end())
        return;
    MessageWindow* window = it->second.window;
    ++m_handlerDepth;
    window->OnTimer(key.second); // may kill this timer or destroy the window: touch neither afterwards
    leaveHandler();
}

void WindowTimers::retire(std::unique_ptr<QTimer> timer) {
    if (!timer)
        return;
    timer->stop();
    if (m_handlerDepth > 0)
        m_retired.push_back(std::move(timer));
}

// The QTimer of a killed timer, stopped and kept for the timer's next arming (the one whose timeout is
// being emitted may be kept too: only retire() destroys a QTimer).
void WindowTimers::keepIdle(const Key& key, std::unique_ptr<QTimer> timer) {
    if (!timer)
        return;
    timer->stop();
    if (auto& kept = m_idle[key]; !kept)
        kept = std::move(timer);
    else
        retire(std::move(timer));
}

void WindowTimers::leaveHandler() {
    if (--m_handlerDepth == 0)
        m_retired.clear();
}

void WindowTimers::publishManualNow() const {
    detail::setManualTick(m_manual, manualNow());
}

void WindowTimers::startManual(DWORD start) {
    if (!onUiThread("ManualTime"))
        return;
    m_manual = true;
    m_manualStart = start;
    m_manualElapsed = 0;
    for (auto& [key, entry] : m_timers) {
        retire(std::move(entry.timer));
        entry.due = entry.interval;
    }
    publishManualNow();
}

void WindowTimers::stopManual() {
    if (!onUiThread("ManualTime"))
        return;
    m_manual = false;
    publishManualNow();
    for (auto& [key, entry] : m_timers)
        startReal(key, entry);
}

void WindowTimers::skip(DWORD ms) {
    m_manualElapsed += ms;
    publishManualNow();
}

void WindowTimers::advance(DWORD ms) {
    assert(m_manual);
    const std::uint64_t target = m_manualElapsed + ms;
    for (;;) {
        // The next tick: earliest due time (a late timer counts as due now), then arming order. Handlers
        // may change the table, so it is searched again after each one.
        auto next = m_timers.end();
        std::uint64_t nextTime = 0;
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            const std::uint64_t when = std::max(it->second.due, m_manualElapsed);
            if (next == m_timers.end() || when < nextTime ||
                (when == nextTime && it->second.order < next->second.order)) {
                next = it;
                nextTime = when;
            }
        }
        if (next == m_timers.end() || nextTime > target)
            break;
        m_manualElapsed = nextTime;
        publishManualNow();
        Timer& entry = next->second;
        entry.due = nextTime + entry.interval; // re-armed before the handler, which may re-arm or kill it
        const UINT_PTR id = next->first.second;
        MessageWindow* window = entry.window;
        ++m_handlerDepth;
        window->OnTimer(id);
        leaveHandler();
    }
    m_manualElapsed = std::max(m_manualElapsed, target); // a nested advance may have gone further
    publishManualNow();
}

bool WindowTimers::fire(HWND hwnd, UINT_PTR id) {
    const auto it = m_timers.find({hwnd, id});
    if (it == m_timers.end())
        return false;
    MessageWindow* window = it->second.window;
    ++m_handlerDepth;
    window->OnTimer(id);
    leaveHandler();
    return true;
}

UINT WindowTimers::interval(HWND hwnd, UINT_PTR id) const {
    const auto it = m_timers.find({hwnd, id});
    return it == m_timers.end() ? 0 : it->second.interval;
}

} // namespace platform
