#include "devices/FrameWriter.h"

#include "platform/DebugOutput.h"

#include <system_error>
#include <utility>

bool FrameWriter::Start(Write write) {
    {
        std::lock_guard guard(m_lock);
        if (m_running && !m_stop)
            return true;
    }
    if (m_thread.joinable())
        m_thread.join(); // stopped or finishing: its frames and its last step go first
    std::lock_guard guard(m_lock);
    m_running = false;
    m_frames.clear();
    m_write = std::move(write);
    m_stop = false;
    try {
        m_thread = std::thread(&FrameWriter::Run, this);
    } catch (const std::system_error& error) {
        DebugPrintf("%s: no writer thread (%s)", m_name.c_str(), error.what());
        return false;
    }
    m_running = true;
    return true;
}

void FrameWriter::Stop() {
    {
        std::lock_guard guard(m_lock);
        if (!m_running)
            return;
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
    std::lock_guard guard(m_lock);
    m_running = false;
    m_frames.clear();
}

bool FrameWriter::Finish(std::function<void()> last, std::chrono::milliseconds bound) {
    {
        std::lock_guard guard(m_lock);
        if (!m_running || m_stop)
            return false;
        m_stop = true;
        m_finishing = true;
        m_last = std::move(last);
        m_finishBy = std::chrono::steady_clock::now() + bound;
    }
    m_changed.notify_all();
    return true;
}

bool FrameWriter::Finishing() const {
    std::lock_guard guard(m_lock);
    return m_finishing;
}

void FrameWriter::AwaitFinish() const {
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [&] { return !m_finishing; });
}

bool FrameWriter::OnWriterThread() const {
    std::lock_guard guard(m_lock);
    return m_writer == std::this_thread::get_id();
}

bool FrameWriter::Running() const {
    std::lock_guard guard(m_lock);
    return m_running && !m_stop;
}

bool FrameWriter::Queue(const BYTE* bytes, int length) {
    if (!bytes || length <= 0)
        return false;
    {
        std::lock_guard guard(m_lock);
        if (!m_running || m_stop)
            return false;
        if (m_frames.size() >= kMaxQueued) {
            if (m_dropped++ == 0)
                DebugPrintf("%s: %zu frames wait to be written; newer ones are dropped until they go out",
                            m_name.c_str(), m_frames.size());
            return false;
        }
        if (m_dropped > 0) {
            DebugPrintf("%s: %zu frames were dropped", m_name.c_str(), m_dropped);
            m_dropped = 0;
        }
        m_frames.emplace_back(bytes, bytes + length);
    }
    m_changed.notify_one();
    return true;
}

void FrameWriter::Run() {
    std::unique_lock lock(m_lock);
    m_writer = std::this_thread::get_id();
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || !m_frames.empty(); });
        if (m_finishing && !m_frames.empty() && std::chrono::steady_clock::now() > m_finishBy) {
            DebugPrintf("%s: %zu frames not written in time before the close", m_name.c_str(),
                        m_frames.size());
            m_frames.clear();
        }
        if (m_frames.empty())
            break; // stopped, everything written
        std::vector<BYTE> frame = std::move(m_frames.front());
        m_frames.pop_front();
        lock.unlock();
        const bool written = m_write(frame.data(), static_cast<int>(frame.size()));
        if (!written)
            DebugPrintf("%s: frame of %zu bytes not written", m_name.c_str(), frame.size());
        lock.lock();
        // Stopping on a link that fails: the rest would only wait out their time-outs.
        if (!written && m_stop)
            m_frames.clear();
    }
    if (std::function<void()> last = std::exchange(m_last, nullptr)) {
        lock.unlock();
        last();
        lock.lock();
    }
    m_finishing = false;
    m_writer = {};
    m_changed.notify_all();
}
