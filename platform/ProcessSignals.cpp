#include "platform/ProcessSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

int g_signalPipe[2] = {-1, -1};
std::function<void()> g_onTerminate; // UI thread only

void handleTermination(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1); // async-signal-safe
}

} // namespace

bool ignoreBrokenPipe() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGPIPE, &action, nullptr) == 0;
}

void onTerminationRequest(std::function<void()> onTerminate) {
    g_onTerminate = std::move(onTerminate);
    if (g_signalPipe[0] >= 0)
        return; // already listening; only the callback changes
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (g_onTerminate)
            g_onTerminate();
    });
    struct sigaction action {};
    action.sa_handler = handleTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace platform
