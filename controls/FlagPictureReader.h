// The worker that reads and decodes the pictures of one flag control, so the user-interface thread never
// waits on a file or a decoder when a player is shown. The newest request replaces one not yet begun; each
// finished request is posted to the owner's window as `message` with its number in wParam, and its picture
// is kept for every flag control (FlagPictures::ReadAndKeep) and for Take.
//
// Threads: the owner's thread (the user-interface thread) makes, asks, takes and destroys; one worker of its
// own reads. The mutex guards the request and the result.
#pragma once

#include "controls/FlagPicture.h"
#include "platform/WinTypes.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class CFlagPictureReader {
public:
    CFlagPictureReader(HWND owner, UINT message);
    // Stops the worker (flag + wake + join); a picture being decoded is finished first, which the decode
    // bounds keep short.
    ~CFlagPictureReader();
    CFlagPictureReader(const CFlagPictureReader&) = delete;
    CFlagPictureReader& operator=(const CFlagPictureReader&) = delete;

    void Request(const QString& path, int number);
    // The picture of request `number` once it was posted (null when the file was refused), or null when
    // that request is not the last one finished.
    std::shared_ptr<const FlagPictures::Picture> Take(int number);

private:
    enum class Lifecycle { Running, Stopping, Stopped };
    void Run();

    const HWND m_owner;
    const UINT m_message;
    std::atomic<Lifecycle> m_state{Lifecycle::Running};
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::optional<std::pair<QString, int>> m_pending;    // under m_lock
    int m_nDone = -1;                                    // under m_lock
    std::shared_ptr<const FlagPictures::Picture> m_done; // under m_lock
    std::thread m_thread;
};
