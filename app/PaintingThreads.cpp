#include "app/PaintingThreads.h"

#include "platform/DebugOutput.h"
#include "platform/ThreadPriority.h"

#include <QThreadPool>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Holds every task of a round on its own thread until all have started (or the wait ended), so that no
// thread takes two of them and leaves another unraised. The tasks capture nothing and meet here: what Qt
// hands between threads is hidden from ThreadSanitizer, this mutex is not.
struct Round {
    std::mutex lock;
    std::condition_variable changed;
    int started = 0;
    unsigned opened = 0, released = 0; // rounds begun and ended
};

Round& TheRound() {
    static Round round;
    return round;
}

void RaiseThisThread() {
    platform::raiseScoringPriority("painting");
    Round& round = TheRound();
    std::unique_lock guard(round.lock);
    const unsigned mine = round.opened;
    ++round.started;
    round.changed.notify_all();
    round.changed.wait(guard, [&] { return round.released >= mine; });
}

} // namespace

void RaisePaintingThreads() {
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    Round& round = TheRound();
    {
        std::lock_guard guard(round.lock);
        ++round.opened;
        round.started = 0;
    }
    for (int i = 0; i < threads; ++i)
        pool->start(&RaiseThisThread);
    std::unique_lock guard(round.lock);
    if (!round.changed.wait_for(guard, std::chrono::seconds(1), [&] { return round.started >= threads; }))
        DebugPrintf("painting threads: %d of %d took the scoring priority; the rest were busy", round.started,
                    threads);
    round.released = round.opened;
    round.changed.notify_all();
}
