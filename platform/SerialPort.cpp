#include "platform/SerialPort.h"

#include "platform/BaudRate.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

tcflag_t SizeFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// The process whose controlling terminal the character device is, 0 when it is nobody's: a device path
// that now names another person's terminal (a pseudo-terminal number given out again) is no device.
long SessionHolding(dev_t device) {
    // The terminal's number as /proc/<pid>/stat writes it.
    const unsigned long major = ::major(device), minor = ::minor(device);
    const unsigned long ttyNumber = (minor & 0xFF) | (major << 8) | ((minor & ~0xFFUL) << 12);
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    long holder = 0;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        const std::string path = std::string("/proc/") + entry->d_name + "/stat";
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        char text[1024];
        const ssize_t n = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (n <= 0)
            continue;
        text[n] = '\0';
        // "pid (comm) state ppid pgrp session tty_nr ...": the name may hold blanks and parentheses.
        const char* afterName = std::strrchr(text, ')');
        char state = 0;
        long ppid = 0, group = 0, session = 0;
        unsigned long tty = 0;
        if (afterName &&
            std::sscanf(afterName + 1, " %c %ld %ld %ld %lu", &state, &ppid, &group, &session, &tty) == 5 &&
            tty != 0 && tty == ttyNumber) {
            holder = pid;
            break;
        }
    }
    ::closedir(proc);
    return holder;
}

} // namespace

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const std::string& path, const SerialSettings& settings) {
    Close();
    const speed_t speed = BaudConstant(settings.baud);
    if (speed == B0 || settings.dataBits < 5 || settings.dataBits > 8 ||
        (settings.parity != 'N' && settings.parity != 'O' && settings.parity != 'E') ||
        (settings.stopBits != 1 && settings.stopBits != 2)) {
        m_error = "unsupported line settings";
        return false;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        m_error = errno == ENOENT ? "missing (no such device)" : SystemError("open");
        return false;
    }
    if (S_ISCHR(status.st_mode)) {
        if (const long holder = SessionHolding(status.st_rdev)) {
            m_error =
                "the terminal of a running session (process " + std::to_string(holder) + "), not a device";
            return false;
        }
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = SystemError("open");
        return false;
    }
    // The advisory lock keeps out every other copy of the program; TIOCEXCL other openers of the tty.
    termios tio{};
    const char* failed = nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        failed = "in use";
    else if (::ioctl(fd, TIOCEXCL) != 0)
        failed = "exclusive";
    else if (::tcgetattr(fd, &tio) != 0)
        failed = "line settings";
    if (!failed) {
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
        tio.c_cflag |= SizeFlag(settings.dataBits) | CLOCAL | CREAD;
        if (settings.stopBits == 2)
            tio.c_cflag |= CSTOPB;
        if (settings.parity != 'N')
            tio.c_cflag |= PARENB | (settings.parity == 'O' ? PARODD : 0);
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        if (::tcsetattr(fd, TCSANOW, &tio) != 0)
            failed = "line settings";
    }
    const int cancelFd = failed ? -1 : ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (!failed && cancelFd < 0)
        failed = "eventfd";
    if (failed) {
        m_error = SystemError(failed);
        ::close(fd);
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    m_fd = fd;
    m_cancelFd = cancelFd;
    m_error.clear();
    return true;
}

void SerialPort::Close() {
    if (m_fd >= 0) {
        ::tcflush(m_fd, TCIOFLUSH);
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_cancelFd >= 0) {
        ::close(m_cancelFd);
        m_cancelFd = -1;
    }
}

int SerialPort::Read(void* buffer, std::size_t size, int timeoutMs) {
    if (m_fd < 0)
        return -1;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_cancelFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (fds[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_cancelFd, &count, sizeof count);
        return 0;
    }
    if (fds[0].revents & POLLIN) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n > 0)
            return static_cast<int>(n);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return 0;
        return -1;
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
        return -1;
    return 0;
}

void SerialPort::CancelRead() {
    if (m_cancelFd < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_cancelFd, &one, sizeof one);
}

int SerialPort::Write(const void* buffer, std::size_t size, int timeoutMs) {
    if (m_fd < 0)
        return -1;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    while (done < size) {
        const ssize_t n = ::write(m_fd, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd out{m_fd, POLLOUT, 0};
        if (::poll(&out, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return -1;
        if (out.revents & (POLLHUP | POLLERR | POLLNVAL))
            return -1;
    }
    return static_cast<int>(done);
}

} // namespace platform
