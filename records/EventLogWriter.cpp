#include "records/EventLogWriter.h"

#include "app/AdoObject.h"
#include "app/Messages.h"
#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

// A lock another program holds makes an attempt fail after this long, so the operator hears of it and the
// links are not held for the whole wait; the worker then tries again.
constexpr int kBusyTimeoutMs = 250;
constexpr int kMaxPauseMs = 5'000;

// A record of the queue file: the magic, the payload's length and checksum (little-endian), then the
// statements, each ended by a NUL. A record cut short by a crash fails its checksum and ends the file.
constexpr char kMagic[4] = {'E', 'V', 'Q', '1'};
constexpr std::size_t kHeaderSize = 12;
constexpr std::uint32_t kMaxPayload = 1u << 20;

std::uint32_t Checksum(const char* data, std::size_t size) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 16777619u;
    }
    return hash;
}

void PutU32(char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

std::uint32_t GetU32(const char* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    return value;
}

QByteArray Record(const EventLogBatch& batch) {
    QByteArray payload;
    for (const std::string& statement : batch) {
        payload.append(statement.data(), static_cast<qsizetype>(statement.size()));
        payload.append('\0');
    }
    char header[kHeaderSize];
    std::memcpy(header, kMagic, 4);
    PutU32(header + 4, static_cast<std::uint32_t>(payload.size()));
    PutU32(header + 8, Checksum(payload.constData(), static_cast<std::size_t>(payload.size())));
    return QByteArray(header, kHeaderSize) + payload;
}

} // namespace

EventLogWriter::EventLogWriter() = default;

EventLogWriter::~EventLogWriter() {
    Stop();
}

void EventLogWriter::Start(const std::string& connectionString, const std::string& databasePath) {
    Stop();
    m_connection = connectionString;
    m_queuePath = databasePath + "-queue";
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_failing = false;
        ReadFile();
        m_file = std::make_unique<QFile>(QString::fromStdString(m_queuePath));
        if (!m_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            DebugPrintf("event log: the queue file %s cannot be opened (%s); a killed program loses the "
                        "events not yet written",
                        m_queuePath.c_str(), m_file->errorString().toStdString().c_str());
        m_fileSize = m_file->isOpen() ? m_file->size() : 0;
    }
    m_thread = std::thread(&EventLogWriter::Run, this);
}

void EventLogWriter::ReadFile() {
    QFile file(QString::fromStdString(m_queuePath));
    if (!file.exists() || !file.open(QIODevice::ReadWrite))
        return;
    const QByteArray all = file.readAll();
    qsizetype at = 0;
    int kept = 0;
    while (all.size() - at >= static_cast<qsizetype>(kHeaderSize)) {
        const char* header = all.constData() + at;
        const std::uint32_t size = GetU32(header + 4);
        if (std::memcmp(header, kMagic, 4) != 0 || size > kMaxPayload ||
            all.size() - at - static_cast<qsizetype>(kHeaderSize) < static_cast<qsizetype>(size))
            break;
        const char* payload = header + kHeaderSize;
        if (Checksum(payload, size) != GetU32(header + 8))
            break;
        EventLogBatch batch;
        for (std::size_t i = 0; i < size;) {
            const std::size_t end = std::find(payload + i, payload + size, '\0') - payload;
            batch.emplace_back(payload + i, end - i);
            i = end + 1;
        }
        m_queue.push_back(Job{++m_lastQueued, std::move(batch)});
        ++kept;
        at += static_cast<qsizetype>(kHeaderSize + size);
    }
    if (at != all.size()) {
        DebugPrintf("event log: the queue file %s ends in a damaged record; cut back to its %d whole ones",
                    m_queuePath.c_str(), kept);
        file.resize(at);
    }
    if (kept > 0)
        DebugPrintf("event log: %d events of an earlier run are written now", kept);
}

void EventLogWriter::Stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    std::lock_guard lock(m_mutex);
    if (!m_queue.empty())
        DebugPrintf("event log: %d events are left in %s for the next start",
                    static_cast<int>(m_queue.size()), m_queuePath.c_str());
    m_queue.clear();
    m_file.reset();
    m_settled = m_lastQueued.load(); // nothing waits for a worker that is gone
    m_failing = false;
    m_written.notify_all();
}

void EventLogWriter::SetNotifyWindow(HWND hwnd) {
    std::lock_guard lock(m_mutex);
    m_notify = hwnd;
}

std::uint64_t EventLogWriter::Post(EventLogBatch batch) {
    if (!IsRunning()) {
        DebugPrintf("event log: no writer runs; an event of %d statements is not written",
                    static_cast<int>(batch.size()));
        return 0;
    }
    std::uint64_t sequence;
    {
        std::lock_guard lock(m_mutex);
        AppendToFile(batch);
        sequence = ++m_lastQueued;
        m_queue.push_back(Job{sequence, std::move(batch)});
    }
    m_wake.notify_one();
    return sequence;
}

void EventLogWriter::AppendToFile(const EventLogBatch& batch) {
    if (!m_file || !m_file->isOpen())
        return;
    const QByteArray record = Record(batch);
    const qint64 before = m_fileSize;
    if (m_file->write(record) == record.size()) {
        m_fileSize += record.size();
        return;
    }
    // A full disk takes part of the record at most: cut it off, so the records after it still read.
    DebugPrintf("event log: the queue file %s did not take an event (%s); it waits in memory only",
                m_queuePath.c_str(), m_file->errorString().toStdString().c_str());
    m_fileSize = m_file->resize(before) ? before : m_file->size();
}

bool EventLogWriter::WaitWritten(int waitMs) {
    std::unique_lock lock(m_mutex);
    return m_written.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return m_queue.empty(); });
}

void EventLogWriter::Run() {
    CAdoObject db; // this worker's own connection, used on this thread only
    db.SetBusyTimeout(kBusyTimeoutMs);
    const auto write = [&](const EventLogBatch& batch) {
        if (!db.bOpen && !db.Open(m_connection.c_str())) {
            DebugPrintf("event log: the local database does not open: %s", db.lastError().c_str());
            return false;
        }
        if (!db.Execute("BEGIN IMMEDIATE")) {
            DebugPrintf("event log: no write access: %s", db.lastError().c_str());
            return false;
        }
        for (const std::string& statement : batch)
            if (!db.Execute("%s", statement.c_str())) {
                DebugPrintf("event log: not written (%s): %s", db.lastError().c_str(), statement.c_str());
                db.Execute("ROLLBACK");
                return false;
            }
        if (!db.Execute("COMMIT")) {
            DebugPrintf("event log: commit failed: %s", db.lastError().c_str());
            db.Execute("ROLLBACK");
            return false;
        }
        return true;
    };
    int pauseMs = 0;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                break;
            job = m_queue.front(); // stays queued until it is written
        }
        const bool ok = write(job.batch);
        HWND notify;
        {
            std::lock_guard lock(m_mutex);
            if (ok) {
                m_queue.pop_front();
                if (m_queue.empty() && m_file && m_file->isOpen() && m_file->resize(0))
                    m_fileSize = 0; // all of it is in the database now
            }
            // A failure settles every batch queued so far: the links do not wait while the disk does not
            // take them.
            m_settled = ok ? job.sequence : m_lastQueued.load();
            m_failing = !ok;
            notify = m_notify;
        }
        if (notify)
            PostMessage(notify, UM_EVENT_LOG_SETTLED, static_cast<WPARAM>(job.sequence), ok ? 1 : 0);
        if (ok) {
            pauseMs = 0;
            m_written.notify_all();
            continue;
        }
        pauseMs = pauseMs == 0 ? m_firstPauseMs.load() : std::min(pauseMs * 2, kMaxPauseMs);
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::milliseconds(pauseMs), [&] { return m_stop; }))
            break;
    }
    db.Close();
}

EventLogWriter& TheEventLogWriter() {
    static EventLogWriter writer;
    return writer;
}
