#include "controls/FlagPictureReader.h"

#include "platform/WindowMessages.h"

CFlagPictureReader::CFlagPictureReader(HWND owner, UINT message)
    : m_owner(owner), m_message(message), m_thread([this] { Run(); }) {}

CFlagPictureReader::~CFlagPictureReader() {
    {
        std::lock_guard lock(m_lock);
        m_state = Lifecycle::Stopping;
    }
    m_wake.notify_all();
    m_thread.join();
    m_state = Lifecycle::Stopped;
}

void CFlagPictureReader::Request(const QString& path, int number) {
    {
        std::lock_guard lock(m_lock);
        m_pending = std::pair{path, number};
    }
    m_wake.notify_all();
}

std::shared_ptr<const FlagPictures::Picture> CFlagPictureReader::Take(int number) {
    std::lock_guard lock(m_lock);
    if (number != m_nDone)
        return nullptr;
    return std::exchange(m_done, nullptr);
}

void CFlagPictureReader::Run() {
    for (;;) {
        std::pair<QString, int> request;
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [&] { return m_pending || m_state != Lifecycle::Running; });
            if (m_state != Lifecycle::Running)
                return;
            request = std::move(*m_pending);
            m_pending.reset();
        }
        std::shared_ptr<const FlagPictures::Picture> picture = FlagPictures::Kept(request.first);
        if (!picture)
            picture = FlagPictures::ReadAndKeep(request.first);
        {
            std::lock_guard lock(m_lock);
            m_nDone = request.second;
            m_done = std::move(picture);
        }
        PostMessage(m_owner, m_message, static_cast<WPARAM>(request.second), 0);
    }
}
