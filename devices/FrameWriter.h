// The writer thread of one device link: frames handed over by any thread go out in the order they were
// handed over, each through the link's own write, so that no caller (the UI thread above all) waits on a
// slow or stuck tty. The queue is bounded: a link that takes nothing for long drops the newest frames
// with a debug line instead of growing.
//
// Threads: Start and Stop belong to the owner's thread; Queue may be called from any thread, also while
// the writer writes. m_lock guards the queue and the running flag.
#pragma once

#include "platform/WinTypes.h"

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

    // Starts the writer thread (a running one keeps running); false when none can be created.
    bool Start(Write write);
    // Writes what is still queued, then ends and joins the thread. Nothing when it does not run.
    void Stop();
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
    std::condition_variable m_changed;
    std::deque<std::vector<BYTE>> m_frames;
    bool m_running = false;
    bool m_stop = false;
    std::size_t m_dropped = 0; // frames refused since the queue was last full
};
