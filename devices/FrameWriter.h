// The writer thread of one device link: frames handed over by any thread go out in the order they were
// handed over, each through the link's own write, so that no caller (the UI thread above all) waits on a
// slow or stuck tty. The queue is bounded: a link that takes nothing for long drops the newest frames
// with a debug line instead of growing. A link that closes hands its last step to the writer (Finish), so
// its closing frame goes out and the port closes behind the caller's back.
//
// Threads: Start, Stop and Finish belong to the owner's thread; Queue, Running, Finishing and AwaitFinish
// may be called from any thread, also while the writer writes. m_lock guards the queue, the flags and the
// last step.
#pragma once

#include "platform/WinTypes.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // write: sends one frame and says whether it went out; called on the writer thread only.
    using Write = std::function<bool(const BYTE* bytes, int length)>;

    explicit FrameWriter(std::string name) : m_name(std::move(name)) {}
    ~FrameWriter() { Stop(); }
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Starts the writer thread (a running one keeps running; a finishing one ends first, so the new thread
    // never overtakes its last frames); false when none can be created.
    bool Start(Write write);
    // Writes what is still queued, then ends and joins the thread. Nothing when it does not run.
    void Stop();
    // Ends the writer without waiting for it: the thread writes what is queued (what is still queued once
    // bound has passed is dropped; a write under way ends within the link's own time-out), then runs last
    // and ends. Queue refuses from this call on. False, and nothing happens, when the writer does not run.
    bool Finish(std::function<void()> last, std::chrono::milliseconds bound);
    // Whether a Finish has not yet run its last step.
    bool Finishing() const;
    // Waits until a Finish under way has run its last step; returns at once when none is. Never on the
    // writer thread (the last step included).
    void AwaitFinish() const;
    // Whether the caller is the writer thread, its last step included.
    bool OnWriterThread() const;
    bool Running() const;
    // Queues a copy of the frame; false when the writer does not run or its queue is full.
    bool Queue(const BYTE* bytes, int length);

    static constexpr std::size_t kMaxQueued = 256;

private:
    void Run();

    const std::string m_name;
    Write m_write;
    std::thread m_thread;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed; // frames queued, the stop asked for, the finish done
    std::deque<std::vector<BYTE>> m_frames;
    bool m_running = false; // a thread was started and is not yet joined
    bool m_stop = false;
    bool m_finishing = false;                         // Finish was called and its last step has not run
    std::function<void()> m_last;                     // Finish's last step
    std::thread::id m_writer;                         // the writer thread while it runs
    std::chrono::steady_clock::time_point m_finishBy; // frames still queued then are dropped
    std::size_t m_dropped = 0;                        // frames refused since the queue was last full
};
