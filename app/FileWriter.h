// The one worker that writes the program's own files (the match log, the result file, the text logs), so a
// slow or full disk never holds up the user-interface thread. The UI thread queues the write with what a
// file gets, or what its job makes it from; the worker writes in the order queued. A replacement of a file
// (built whole and renamed over the old one by its job) makes a replacement of the same file still waiting
// needless, so the newer takes its place; appends are never merged. A write that fails is reported in the
// debug output, and its failure callback runs later on the UI thread.
//
// Threads: Replace, Append, WaitIdle and Stop on the user-interface thread; the jobs on the worker.
// m_mutex protects the queue and the flags the worker reads.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class FileWriter {
public:
    using Job = std::function<bool()>;       // the write itself; false when it failed
    using OnFailure = std::function<void()>; // run on the user-interface thread after a failed write

    FileWriter() = default;
    ~FileWriter(); // writes what waits, then joins
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Queues the replacement of the file named `key` behind everything queued, instead of a replacement of
    // it that still waits. Returns at once.
    void Replace(const std::string& key, Job job, OnFailure onFailure = {});
    // Queues an append behind everything queued. Returns at once.
    void Append(Job job, OnFailure onFailure = {});
    // Tests and shutdown: waits at most waitMs until nothing waits or runs; true when idle.
    bool WaitIdle(int waitMs);
    // Writes what waits, then joins the worker; a later write starts it again.
    void Stop();

private:
    struct Entry {
        std::string key; // "" for an append
        Job job;
        OnFailure onFailure;
    };
    void Queue(Entry entry);
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake; // the worker: an entry, or the stop flag
    std::condition_variable m_idle; // the owner: the queue ran empty
    std::deque<Entry> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

// The program's writer of its own files.
FileWriter& TheFileWriter();
