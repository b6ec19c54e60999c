#include "platform/LinkSerialPort.h"

#include "platform/DebugOutput.h"
#include "platform/SerialLineSettings.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

struct LinkSerialPort::Impl {
    int fd = -1;
    int wake = -1; // eventfd that wakes the reader: output waits, or the reader is to end
    std::atomic<bool> stopping{false};
    std::thread reader;
    std::function<void()> onArrival;
    mutable std::mutex lock; // guards queue and dropped
    std::deque<char> queue;
    std::size_t dropped = 0;
    mutable std::mutex outLock; // guards out
    std::string out;            // accepted bytes the system has not taken yet, whole records only

    void Wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t woken = ::write(wake, &one, sizeof one);
    }

    // Hands the system what it takes now of the waiting output; false on a write error.
    bool Flush() {
        std::lock_guard l(outLock);
        while (!out.empty()) {
            const ssize_t n = ::write(fd, out.data(), out.size());
            if (n > 0) {
                out.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || errno == EAGAIN)
                return true;
            out.clear(); // the device fails: what waits can never go
            return false;
        }
        return true;
    }

    bool OutputWaits() const {
        std::lock_guard l(outLock);
        return !out.empty();
    }

    void Read() {
        char buffer[1024];
        for (;;) {
            pollfd fds[2] = {{fd, static_cast<short>(POLLIN | (OutputWaits() ? POLLOUT : 0)), 0},
                             {wake, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t drained = ::read(wake, &count, sizeof count);
                if (stopping)
                    return;
            }
            if ((fds[0].revents & POLLOUT) && !Flush())
                DebugPrintf("serial port: waiting output could not be written (error %d)", errno);
            if (fds[0].revents & POLLIN) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0) {
                    Queue(buffer, static_cast<std::size_t>(n));
                    continue;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR))
                    continue;
            }
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL) || (fds[0].revents & POLLIN)) {
                // The device is gone (unplugged, or the other end of a pty closed): nothing more comes.
                DebugPrintf("serial port: the device hung up");
                return;
            }
        }
    }

    void Queue(const char* data, std::size_t n) {
        {
            std::lock_guard l(lock);
            const std::size_t room = kQueueLimit - std::min(kQueueLimit, queue.size());
            const std::size_t kept = std::min(room, n);
            queue.insert(queue.end(), data, data + kept);
            dropped += n - kept;
        }
        if (onArrival)
            onArrival();
    }
};

LinkSerialPort::LinkSerialPort() : m(std::make_unique<Impl>()) {}

LinkSerialPort::~LinkSerialPort() {
    Close();
}

int LinkSerialPort::Open(const std::string& path, const LinkSerialSettings& settings,
                         std::function<void()> onArrival) {
    Close();
    if (path.empty())
        return ENOENT;
    const std::string device = path.find('/') == std::string::npos ? "/dev/" + path : path;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (const int error = ConfigureSerialLine(fd, settings)) {
        ::close(fd);
        return error;
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    m->fd = fd;
    m->wake = wake;
    m->onArrival = std::move(onArrival);
    m->queue.clear();
    m->dropped = 0;
    m->out.clear();
    m->stopping = false;
    m->reader = std::thread([impl = m.get()] { impl->Read(); });
    return 0;
}

void LinkSerialPort::Close() {
    if (m->fd < 0)
        return;
    m->stopping = true;
    m->Wake();
    m->reader.join();
    // What the system takes at once still goes (a closing record); the rest is dropped with the port.
    m->Flush();
    if (!m->out.empty())
        DebugPrintf("serial port closed with %zu bytes unsent", m->out.size());
    m->out.clear();
    ::close(m->wake);
    ::close(m->fd);
    m->fd = -1;
    m->wake = -1;
    m->onArrival = nullptr;
}

bool LinkSerialPort::IsOpen() const {
    return m->fd >= 0;
}

int LinkSerialPort::Write(const char* data, int length) {
    if (m->fd < 0 || !data || length < 0)
        return -1;
    {
        std::lock_guard l(m->outLock);
        if (m->out.size() + static_cast<std::size_t>(length) > kWriteLimit)
            return 0;
        m->out.append(data, static_cast<std::size_t>(length));
    }
    if (!m->Flush())
        return -1;
    if (m->OutputWaits())
        m->Wake(); // the reader writes the rest once the system takes more
    return length;
}

int LinkSerialPort::Take(char* buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    std::lock_guard l(m->lock);
    const std::size_t n = std::min(static_cast<std::size_t>(size), m->queue.size());
    std::copy_n(m->queue.begin(), n, buffer);
    m->queue.erase(m->queue.begin(), m->queue.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int>(n);
}

std::size_t LinkSerialPort::Queued() const {
    std::lock_guard l(m->lock);
    return m->queue.size();
}

std::size_t LinkSerialPort::Dropped() const {
    std::lock_guard l(m->lock);
    return m->dropped;
}

bool LinkSerialPort::LineSettings(LinkSerialSettings* settings) const {
    return m->fd >= 0 && settings && ReadSerialLine(m->fd, settings) == 0;
}

namespace {

// Natural order: "ttyS2" before "ttyS10".
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            const std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

// A ttyS with no UART behind it reports type 0.
bool HasUart(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return type >> value && value != 0;
}

} // namespace

std::vector<std::string> ListSerialPorts() {
    namespace fs = std::filesystem;
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        const bool usb = name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
        const bool uart = name.rfind("ttyS", 0) == 0 && HasUart(name);
        if (usb || uart)
            ports.push_back(entry.path().string());
    }
    std::sort(ports.begin(), ports.end(), NaturalLess);
    std::vector<std::string> stable;
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec))
        stable.push_back(entry.path().string());
    std::sort(stable.begin(), stable.end(), NaturalLess);
    ports.insert(ports.end(), stable.begin(), stable.end());
    return ports;
}

} // namespace platform
