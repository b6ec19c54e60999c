#include "app/PaintingThreads.h"

#include "platform/DebugOutput.h"
#include "platform/ThreadPriority.h"

#include <QThreadPool>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// Holds every task of the round on its own thread until all have started (or the wait ended), so that no
// thread takes two of them and leaves another unraised.
struct Round {
    std::mutex lock;
    std::condition_variable changed;
    int started = 0;
    bool released = false;
};

} // namespace

void RaisePaintingThreads() {
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    const auto round = std::make_shared<Round>();
    for (int i = 0; i < threads; ++i)
        pool->start([round] {
            platform::raiseScoringPriority("painting");
            std::unique_lock guard(round->lock);
            ++round->started;
            round->changed.notify_all();
            round->changed.wait(guard, [&] { return round->released; });
        });
    std::unique_lock guard(round->lock);
    if (!round->changed.wait_for(guard, std::chrono::seconds(1), [&] { return round->started == threads; }))
        DebugPrintf("painting threads: %d of %d took the scoring priority; the rest were busy",
                    round->started, threads);
    round->released = true;
    round->changed.notify_all();
}
