#include "records/TournamentWriter.h"

#include "app/AdoObject.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <chrono>
#include <vector>

struct TournamentWriter::Outcome {
    bool done = false;
    bool ok = false;
};

namespace {

enum class Written { Yes, Refused, Unreachable };

// Runs one statement, reconnecting once when the connection turns out to be gone (a restarted server).
Written Write(CAdoObject& db, const std::string& connectionText, const TournamentStatement& s) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!db.bOpen && !db.Open(connectionText.c_str())) {
            db.Close();
            DebugPrintf("tournament database: not connected (%s); kept to be sent again: %s",
                        db.lastError().c_str(), s.sql.c_str());
            return Written::Unreachable;
        }
        if (db.ExecuteBound(s.sql, s.values)) {
            if (db.rowsAffected() == 0)
                DebugPrintf("tournament database: no row of the active tournament matched: %s",
                            s.sql.c_str());
            return Written::Yes;
        }
        if (!db.connectionLost()) {
            // Some drivers report a broken connection as a plain error: only a server that still answers has
            // refused the statement.
            const std::string refusal = db.lastError();
            if (db.ExecuteBound("SELECT 1", {})) {
                DebugPrintf("tournament database: refused (%s): %s", refusal.c_str(), s.sql.c_str());
                return Written::Refused;
            }
        }
        db.Close();
    }
    DebugPrintf("tournament database: connection lost (%s); kept to be sent again", db.lastError().c_str());
    return Written::Unreachable;
}

} // namespace

TournamentWriter::~TournamentWriter() {
    Stop();
}

void TournamentWriter::Start(const std::string& connectionText, int connectSeconds, int statementSeconds) {
    Stop();
    m_state = State::Starting;
    m_written = 0;
    m_failed = 0;
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_unreachable = false;
        m_statementSeconds = statementSeconds;
    }
    m_thread = std::thread(&TournamentWriter::Run, this, connectionText, connectSeconds, statementSeconds);
    m_state = State::Running;
}

bool TournamentWriter::BeginStop() {
    if (!m_thread.joinable())
        return false;
    m_state = State::Stopping;
    std::deque<Job> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        dropped.swap(m_queue);
        for (Job& job : dropped)
            if (job.outcome)
                job.outcome->done = true;
    }
    m_wake.notify_all();
    m_idle.notify_all();
    for (const Job& job : dropped)
        DebugPrintf("tournament database: closed before it was written: %s", job.statement.sql.c_str());
    m_failed += dropped.size();
    return true;
}

void TournamentWriter::Stop() {
    if (!BeginStop())
        return;
    m_thread.join();
    m_state = State::Stopped;
}

bool TournamentWriter::Post(TournamentBatch batch) {
    if (!IsRunning()) {
        for (const TournamentStatement& s : batch)
            DebugPrintf("tournament database: not connected; not written: %s", s.sql.c_str());
        return false;
    }
    std::vector<std::string> keys;
    keys.reserve(batch.size());
    for (const TournamentStatement& s : batch)
        keys.push_back(s.replaceable ? s.rowKey() : std::string());
    {
        std::lock_guard lock(m_mutex);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            TournamentStatement& s = batch[i];
            std::string& key = keys[i];
            bool replaced = false;
            if (!key.empty())
                for (Job& waiting : m_queue)
                    if (waiting.key == key) {
                        waiting.statement = std::move(s);
                        replaced = true;
                        break;
                    }
            if (!replaced)
                m_queue.push_back(Job{std::move(s), std::move(key), nullptr});
        }
    }
    m_wake.notify_one();
    return true;
}

bool TournamentWriter::RunAndWait(TournamentStatement statement, int waitMs) {
    auto outcome = std::make_shared<Outcome>();
    std::unique_lock lock(m_mutex);
    // Looked at under the lock that BeginStop drops the queue under: a helper thread calls this while the
    // owner may be stopping the worker, and a statement queued after the drop would wait for no worker.
    if (!IsRunning()) {
        DebugPrintf("tournament database: not connected; not written: %s", statement.sql.c_str());
        return false;
    }
    if (m_unreachable) {
        // Nobody waits for a server that is away: the write is queued to go when it is back.
        DebugPrintf("tournament database: the server is not reached; queued, not written yet: %s",
                    statement.sql.c_str());
        m_queue.push_back(Job{std::move(statement), std::string(), nullptr});
        m_wake.notify_one();
        return false;
    }
    m_queue.push_back(Job{std::move(statement), std::string(), outcome});
    m_wake.notify_one();
    if (!m_idle.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return outcome->done; })) {
        DebugPrintf("tournament database: no answer within %d ms; taken as not written", waitMs);
        return false;
    }
    return outcome->ok;
}

bool TournamentWriter::WaitIdle(int waitMs) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(waitMs),
                           [&] { return m_queue.empty() && !m_busy; });
}

TournamentWriter::Backlog TournamentWriter::Pending() const {
    std::lock_guard lock(m_mutex);
    Backlog backlog;
    backlog.writes = m_queue.size() + (m_busy ? 1 : 0);
    const auto limit = std::chrono::seconds(m_statementSeconds > 0 ? m_statementSeconds : 1);
    backlog.held = backlog.writes > 0 &&
                   (m_unreachable || (m_busy && std::chrono::steady_clock::now() - m_busySince > limit));
    return backlog;
}

void TournamentWriter::Run(std::string connectionText, int connectSeconds, int statementSeconds) {
    CAdoObject db; // this worker's own connection, used on this thread only
    db.SetTimeouts(connectSeconds, statementSeconds);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                break;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
            m_busySince = std::chrono::steady_clock::now();
        }
        const Written written = Write(db, connectionText, job.statement);
        if (written == Written::Yes)
            ++m_written;
        else if (written == Written::Refused)
            ++m_failed;
        {
            std::lock_guard lock(m_mutex);
            m_busy = false;
            m_unreachable = written == Written::Unreachable;
            if (job.outcome) {
                // Whoever waits is answered now; a write the server was not asked stays queued all the same.
                job.outcome->done = true;
                job.outcome->ok = written == Written::Yes;
                job.outcome.reset();
            }
            if (m_unreachable) {
                // A newer statement of the same row already waits with the newer values: this one may go.
                const bool newer =
                    !job.key.empty() && std::any_of(m_queue.begin(), m_queue.end(),
                                                    [&](const Job& j) { return j.key == job.key; });
                if (!newer)
                    m_queue.push_front(std::move(job));
            }
        }
        m_idle.notify_all();
        if (written == Written::Unreachable) {
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::milliseconds(kRetryMs), [&] { return m_stop; }))
                break;
        }
    }
    db.Close();
}

TournamentWriter& TheTournamentWriter() {
    static TournamentWriter writer;
    return writer;
}
