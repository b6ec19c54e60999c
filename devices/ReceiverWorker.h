// One thread of the receiver link with an explicit lifecycle, and the clock its sleeps run on.
//
// A worker is never killed: Stop() raises its stop flag, wakes its sleep and joins it. The thread body
// checks StopRequested() and sleeps only through Sleep(), which returns early (false) once a stop is asked.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// The time the receiver's threads sleep on: the steady clock, or a clock that tests move by hand.
// m_lock guards m_now and the sleeping flags of the workers that sleep on it.
class WorkerClock {
public:
    explicit WorkerClock(bool manual = false) : m_manual(manual) {}

    // Tests, any thread: moves a manual clock by ms and wakes the sleepers that fall due.
    void Advance(DWORD ms);

private:
    friend class ReceiverWorker;
    const bool m_manual;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::uint64_t m_now = 0; // manual ms
};

class ReceiverWorker {
public:
    enum class State { Idle, Running, Finished }; // Finished: the body returned, the thread awaits its join

    ReceiverWorker() = default;
    ~ReceiverWorker() { Stop(); }
    ReceiverWorker(const ReceiverWorker&) = delete;
    ReceiverWorker& operator=(const ReceiverWorker&) = delete;

    // Any thread but the worker's own: joins a finished thread, then runs body on a new thread sleeping on
    // clock. False when a thread is still running or none could be created.
    bool Start(std::function<void()> body, WorkerClock& clock);
    // Any thread: raises the stop flag and wakes the worker's sleep, without waiting. A worker blocked
    // elsewhere (a read) is woken by its owner before Stop().
    void RequestStop();
    // Any thread but the worker's own: stop flag, wake, join. Nothing when no thread was started.
    void Stop();

    // The worker itself: sleeps ms on its clock; false at once when a stop is asked.
    bool Sleep(DWORD ms);
    bool StopRequested() const { return m_stop.load(std::memory_order_acquire); }

    State GetState() const { return m_state.load(); }
    // Any thread: the number of the Sleep() the worker waits in now (1 for the first), 0 while it does not
    // sleep. Tests advance a manual clock once the sleep they mean has begun.
    int SleepingIn() const { return m_sleepingIn.load(); }

private:
    std::mutex m_threadLock; // guards m_thread and m_clock against a Start and a Stop from two threads
    std::thread m_thread;
    WorkerClock* m_clock = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sleepingIn{0};
    int m_sleeps = 0; // the worker's Sleep() calls so far; the worker's own
    std::atomic<State> m_state{State::Idle};
};
