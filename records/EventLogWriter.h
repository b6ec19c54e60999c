// The one worker that writes the local event log, so a busy disk, a full disk or another program holding the
// database never holds up scoring or the round clock. The user-interface thread hands over each event as one
// batch of statements and goes on; the worker runs a batch in one transaction on its own connection, so an
// event's row and the match totals it changes reach the disk together or not at all.
//
// A batch is queued in memory and appended to a queue file beside the database before Post returns, so a
// killed program loses no event it has shown: the next start writes what the file still holds. The
// statements are written so that running them again changes nothing (a row is inserted only when its key and
// index are not there yet, totals are set, not added), which makes that safe whatever the kill interrupted.
// A batch that fails stays at the head of the queue and is tried again, with a growing pause, in order; the
// batches behind it wait. Each attempt that ends (committed or failed) is posted to the notify window as
// UM_EVENT_LOG_SETTLED (the batch's sequence number, 1 committed or 0 failed).
//
// Threads: every public member is called on the user-interface thread, except the atomics' readers
// (LastQueued, Settled, Failing), which any thread may call. m_mutex protects the queue, the queue file and
// the flags the worker reads.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QFile;

using EventLogBatch = std::vector<std::string>; // the statements of one event, run in one transaction

class EventLogWriter {
public:
    EventLogWriter();
    ~EventLogWriter(); // stops and joins
    EventLogWriter(const EventLogWriter&) = delete;
    EventLogWriter& operator=(const EventLogWriter&) = delete;

    // Starts the worker on the local database of that connection string (a database file; a running
    // worker is stopped first) and queues, ahead of anything new, the batches its queue file kept from a
    // program that ended before writing them.
    void Start(const std::string& connectionString, const std::string& databasePath);
    // Lets the worker finish the batch under way and the queue while it writes without failing, then joins
    // it. What is left stays in the queue file for the next start.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    const std::string& connectionString() const { return m_connection; }

    // The window told of each settled batch (0: none).
    void SetNotifyWindow(HWND hwnd);
    // Queues the batch behind everything queued and returns at once with its sequence number (0 when no
    // worker runs: nothing is queued).
    std::uint64_t Post(EventLogBatch batch);

    // The sequence number of the last batch queued, and the highest one whose attempt has ended.
    std::uint64_t LastQueued() const { return m_lastQueued.load(); }
    std::uint64_t Settled() const { return m_settled.load(); }
    // The last attempt failed and batches wait to be tried again.
    bool Failing() const { return m_failing.load(); }

    // Tests and shutdown only: waits at most waitMs until nothing is queued; true when written.
    bool WaitWritten(int waitMs);
    // Tests: the pause before the next attempt after a failure (ms); it doubles after each failure, to 5 s.
    void SetRetryPauseForTests(int ms) { m_firstPauseMs = ms; }

private:
    struct Job {
        std::uint64_t sequence;
        EventLogBatch batch;
    };
    void Run();
    // Under m_mutex: the queue file's record of the batch appended, whole or not at all.
    void AppendToFile(const EventLogBatch& batch);
    // Under m_mutex: the batches the queue file kept queued, and a damaged end cut off.
    void ReadFile();

    std::string m_connection;
    std::string m_queuePath;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;    // the worker: a batch, or the stop flag
    std::condition_variable m_written; // the owner: the queue ran empty
    std::deque<Job> m_queue;           // the batch under way stays at the front until it is written
    std::unique_ptr<QFile> m_file;     // the queue file, open for appending while the worker runs
    std::int64_t m_fileSize = 0;       // its length, kept here so that an append asks the disk nothing
    bool m_stop = false;
    HWND m_notify = 0;
    std::atomic<int> m_firstPauseMs{100};
    std::thread m_thread;
    std::atomic<std::uint64_t> m_lastQueued{0};
    std::atomic<std::uint64_t> m_settled{0};
    std::atomic<bool> m_failing{false};
};

// The program's writer of the local event log.
EventLogWriter& TheEventLogWriter();
