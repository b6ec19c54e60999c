#include "devices/ReceiverWorker.h"

#include "platform/WindowMessages.h"

#include "platform/DebugOutput.h"

#include <chrono>
#include <system_error>

void WorkerClock::Advance(DWORD ms) {
    {
        std::lock_guard guard(m_lock);
        m_now += ms;
    }
    m_changed.notify_all();
}

bool ReceiverWorker::Start(std::function<void()> body, WorkerClock& clock) {
    std::lock_guard guard(m_threadLock);
    if (m_state == State::Running)
        return false;
    if (m_thread.joinable())
        m_thread.join(); // finished: the body has returned
    m_stop = false;
    m_clock = &clock;
    m_sleeps = 0;
    m_state = State::Running;
    try {
        m_thread = std::thread([this, body = std::move(body)] {
            body();
            m_state = State::Finished;
        });
    } catch (const std::system_error& error) {
        DebugPrintf("receiver thread not created: %s", error.what());
        m_state = State::Idle;
        return false;
    }
    return true;
}

void ReceiverWorker::RequestStop() {
    std::lock_guard guard(m_threadLock);
    if (!m_thread.joinable())
        return;
    m_stop.store(true, std::memory_order_release);
    {
        // Under the clock's lock, so a worker between its stop check and its wait cannot miss the wake.
        std::lock_guard clockGuard(m_clock->m_lock);
    }
    m_clock->m_changed.notify_all();
}

void ReceiverWorker::Stop() {
    RequestStop();
    std::lock_guard guard(m_threadLock);
    if (!m_thread.joinable())
        return;
    // The worker may be waiting on a window that lives on (the view, a dialog): let it go before joining.
    const std::thread::id id = m_thread.get_id();
    platform::releaseSendsFrom(id);
    m_thread.join();
    platform::forgetReleasedSender(id);
    m_state = State::Idle;
}

bool ReceiverWorker::Sleep(DWORD ms) {
    WorkerClock& clock = *m_clock;
    std::unique_lock guard(clock.m_lock);
    m_sleepingIn = ++m_sleeps;
    if (clock.m_manual) {
        const std::uint64_t due = clock.m_now + ms;
        clock.m_changed.wait(guard, [&] { return StopRequested() || clock.m_now >= due; });
    } else {
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        clock.m_changed.wait_until(guard, due, [&] { return StopRequested(); });
    }
    m_sleepingIn = 0;
    return !StopRequested();
}
