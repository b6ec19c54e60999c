// "Connect Test" of the WT JSON API: the server's status GET on a worker of its own, so the UI thread (the
// round clock, the screens, the configuration dialog) goes on while a server answers late or not at all.
// One test runs at a time. When it ends, its result is posted to the window that started it; the reply
// text waits here until that window takes it. A window destroyed by then gets nothing, since the post finds
// no window.
//
// Threads: Start, TakeReply and Stop on the UI thread; Running on any. m_mutex guards the state below it.
#pragma once

#include "links/WtApiClient.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class WtConnectTest {
public:
    WtConnectTest() = default;
    ~WtConnectTest(); // Stop()
    WtConnectTest(const WtConnectTest&) = delete;
    WtConnectTest& operator=(const WtConnectTest&) = delete;

    // Starts the status GET of target within limits; once it has ended, posts message to window with
    // wParam libcurl's result code and lParam the test's number, which TakeReply asks for. Returns that
    // number, or 0 (no test started) while a test runs or when no thread could be started.
    LPARAM Start(const WtApiTarget& target, HWND window, UINT message,
                 WtApiTransferLimits limits = WtApiGetLimits());
    bool Running() const;
    // The reply of test number `test` ("HTTP Response Code : <code>", empty when it could make no request),
    // once; nothing when a later test has started since or the reply was taken.
    std::optional<std::string> TakeReply(LPARAM test);
    // Ends a test under way (its transfer gives up at libcurl's next progress call, within about a second)
    // and joins the worker; that test posts nothing.
    void Stop();

private:
    void Run(WtApiTarget target, HWND window, UINT message, LPARAM test, WtApiTransferLimits limits);

    mutable std::mutex m_mutex;
    bool m_running = false;
    LPARAM m_test = 0;                  // number of the latest test
    std::optional<std::string> m_reply; // its reply, until taken
    std::atomic<bool> m_cancel{false};  // read by the transfer's progress calls
    std::thread m_thread;               // the UI thread's only
};

// The program's connect test, stopped by WtApiShutdown before the HTTP library is cleaned up.
WtConnectTest& WtApiConnectTest();
