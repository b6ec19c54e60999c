// The one worker that writes into the tournament results database, so a slow or lost server never holds up
// scoring or the round clock. Statements wait in one ordered queue and run on the worker's own connection,
// which it opens (again) when needed. Each statement carries full values, so a waiting statement of the same
// row is replaced by a newer one instead of growing the queue. A statement the server could not be asked
// (no connection, a lost one, no answer in time) stays first in the queue and is sent again every
// kRetryMs until the server takes it, so nothing is lost while the server is away and the rows end with the
// newest values. A statement the server refuses is reported on the debug output and counted, never taken
// for written.
//
// Threads: every public member is called on the user-interface thread (the owner), except RunAndWait and
// the Stop that follows a BeginStop, which a helper thread may call while the owner's event loop turns;
// the worker runs the statements. m_mutex protects the queue and the flags the worker reads.
#pragma once

#include "records/TournamentStatements.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TournamentWriter {
public:
    enum class State { Stopped, Starting, Running, Stopping };
    // The pause between two attempts while the server cannot be reached.
    static constexpr int kRetryMs = 1000;

    TournamentWriter() = default;
    ~TournamentWriter(); // stops and joins
    TournamentWriter(const TournamentWriter&) = delete;
    TournamentWriter& operator=(const TournamentWriter&) = delete;

    // Starts the worker for that ODBC connection text (a running one is stopped first). It connects when the
    // first statement arrives.
    void Start(const std::string& connectionText, int connectSeconds, int statementSeconds);
    // Drops what still waits (each dropped statement is reported) and tells the worker to end after the
    // statement under way, without waiting for it: nothing is queued from then on. False when no worker runs.
    bool BeginStop();
    // BeginStop, then joins the worker: waits at most for the statement under way. After BeginStop it may be
    // called on another thread, while the owner's thread goes on.
    void Stop();
    bool IsRunning() const { return m_state.load() == State::Running; }

    // Queues the statements behind everything queued and returns at once. False when the worker is not
    // running (nothing is queued).
    bool Post(TournamentBatch batch);
    // Queues one statement behind everything queued and waits at most waitMs for it to run. True only when it
    // ran without a database error. While the server is not reached it returns false at once, and the
    // statement stays queued to be written when the server is back.
    bool RunAndWait(TournamentStatement statement, int waitMs);
    // Waits at most waitMs until nothing waits or runs; true when idle.
    bool WaitIdle(int waitMs);

    // The writes that have not reached the server yet: those queued and the one under way. held: the server
    // did not take the last attempt, or the one under way has waited longer than the statement time-out.
    struct Backlog {
        std::size_t writes = 0;
        bool held = false;
    };
    Backlog Pending() const;

    // Statements written, and refused or dropped at a stop, since Start. One kept to be sent again is neither
    // until its end.
    std::uint64_t WrittenCount() const { return m_written.load(); }
    std::uint64_t FailedCount() const { return m_failed.load(); }

private:
    struct Outcome;
    struct Job {
        TournamentStatement statement;
        std::string key;                  // the statement's row key when it may be replaced, else ""
        std::shared_ptr<Outcome> outcome; // set for a statement someone waits for
    };
    void Run(std::string connectionText, int connectSeconds, int statementSeconds);

    std::atomic<State> m_state{State::Stopped};
    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // the worker: a job or the stop flag
    std::condition_variable m_idle; // the owner: the queue ran empty
    std::deque<Job> m_queue;
    bool m_busy = false; // a job is under way
    std::chrono::steady_clock::time_point m_busySince;
    bool m_unreachable = false; // the last attempt could not reach the server
    int m_statementSeconds = 0;
    bool m_stop = false;
    std::thread m_thread;
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::uint64_t> m_failed{0};
};

// The program's writer of the tournament results database.
TournamentWriter& TheTournamentWriter();
