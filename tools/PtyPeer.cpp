#include "tools/PtyPeer.h"

#include <cerrno>
#include <chrono>
#include <climits>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

bool WriteAll(int fd, const void* bytes, std::size_t count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t n = ::write(fd, next, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        next += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OpenRawPty(int& master, int& slave, std::string& slavePath) {
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B230400);
    ::cfsetospeed(&raw, B230400);
    char name[PATH_MAX] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        master = slave = -1;
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    slavePath = name;
    return true;
}

PtyPeer::PtyPeer() {
    OpenRawPty(m_master, m_slave, m_path);
}

PtyPeer::~PtyPeer() {
    Close();
}

bool PtyPeer::Write(const std::string& bytes) {
    return WriteAll(m_master, bytes.data(), bytes.size());
}

std::string PtyPeer::Read(std::size_t count, int ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (m_master >= 0 && got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            break;
        pollfd fd{m_master, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void PtyPeer::Close() {
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_master = m_slave = -1;
}
