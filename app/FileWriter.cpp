#include "app/FileWriter.h"

#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>

FileWriter::~FileWriter() {
    Stop();
}

void FileWriter::Replace(const std::string& key, Job job, OnFailure onFailure) {
    Queue({key, std::move(job), std::move(onFailure)});
}

void FileWriter::Append(Job job, OnFailure onFailure) {
    Queue({std::string(), std::move(job), std::move(onFailure)});
}

void FileWriter::Queue(Entry entry) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable()) {
            m_stop = false;
            m_thread = std::thread(&FileWriter::Run, this);
        }
        bool replaced = false;
        if (!entry.key.empty())
            for (Entry& waiting : m_queue)
                if (waiting.key == entry.key) {
                    waiting = std::move(entry);
                    replaced = true;
                    break;
                }
        if (!replaced)
            m_queue.push_back(std::move(entry));
    }
    m_wake.notify_one();
}

bool FileWriter::WaitIdle(int waitMs) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(waitMs),
                           [&] { return m_queue.empty() && !m_busy; });
}

void FileWriter::Stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_thread = std::thread();
}

void FileWriter::Run() {
    for (;;) {
        Entry entry;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                break; // stopping, with everything written
            entry = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
        }
        const bool ok = entry.job();
        if (!ok) {
            DebugPrintf("file writer: a write of %s failed", entry.key.empty() ? "a log" : entry.key.c_str());
            if (entry.onFailure)
                if (QCoreApplication* app = QCoreApplication::instance())
                    QMetaObject::invokeMethod(app, std::move(entry.onFailure), Qt::QueuedConnection);
        }
        {
            std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_idle.notify_all();
    }
}

FileWriter& TheFileWriter() {
    static FileWriter writer;
    return writer;
}
