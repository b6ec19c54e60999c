#include "links/WtConnectTest.h"

#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"

#include <system_error>
#include <utility>

WtConnectTest::~WtConnectTest() {
    Stop();
}

LPARAM WtConnectTest::Start(const WtApiTarget& target, HWND window, UINT message,
                            WtApiTransferLimits limits) {
    LPARAM test = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            return 0;
    }
    // The last test has ended; its worker is at most returning from its post.
    if (m_thread.joinable())
        m_thread.join();
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
        m_reply.reset();
        test = ++m_test;
    }
    m_cancel = false;
    limits.cancel = &m_cancel;
    try {
        m_thread = std::thread(&WtConnectTest::Run, this, target, window, message, test, std::move(limits));
    } catch (const std::system_error& error) {
        DebugPrintf("WT JSON API: the connect test could not be started: %s", error.what());
        std::lock_guard lock(m_mutex);
        m_running = false;
        return 0;
    }
    return test;
}

bool WtConnectTest::Running() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

std::optional<std::string> WtConnectTest::TakeReply(LPARAM test) {
    std::lock_guard lock(m_mutex);
    if (test != m_test)
        return std::nullopt;
    return std::exchange(m_reply, std::nullopt);
}

void WtConnectTest::Stop() {
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

void WtConnectTest::Run(WtApiTarget target, HWND window, UINT message, LPARAM test,
                        WtApiTransferLimits limits) {
    std::string reply;
    const int result = WtApiStatusGet(target, limits, reply);
    {
        std::lock_guard lock(m_mutex);
        m_reply = std::move(reply);
        m_running = false;
    }
    if (m_cancel) {
        DebugPrintf("WT JSON API: the connect test was cut short (result %d)", result);
        return;
    }
    if (!PostMessage(window, message, static_cast<WPARAM>(result), test))
        DebugPrintf("WT JSON API: the connect test ended (result %d) after its page was closed", result);
}

WtConnectTest& WtApiConnectTest() {
    static WtConnectTest test;
    return test;
}
