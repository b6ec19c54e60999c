#include "tools/FakeJudge.h"

#include "devices/JudgeFrame.h"
#include "tools/PtyPeer.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr BYTE kStart = 0x55;
constexpr BYTE kEnd = 0xAA;
constexpr BYTE kTypeValue = 1;
constexpr BYTE kTypeSide = 2;
constexpr BYTE kTypePress = 3;

bool IsByte(int value) {
    return value >= 0 && value <= 255;
}

// A whole number from 0 to 255 in the given base, or -1.
int ByteOf(const std::string& text, int base) {
    if (text.empty())
        return -1;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, base);
    return *end == '\0' && errno == 0 && value >= 0 && value <= 255 ? static_cast<int>(value) : -1;
}

} // namespace

FakeJudge::FakeJudge() {
    if (!OpenRawPty(m_master, m_slave, m_slavePath))
        return;
    if (::pipe(m_wake) != 0) {
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
        return;
    }
    m_thread = std::thread([this] { Read(); });
}

FakeJudge::~FakeJudge() {
    Unplug();
    for (int& fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

FakeJudge::Bytes FakeJudge::PressFrame(int chungCode, int hongCode) {
    return {kStart, kStart, kTypePress, 2, static_cast<BYTE>(chungCode), static_cast<BYTE>(hongCode),
            kEnd,   kEnd};
}

FakeJudge::Bytes FakeJudge::ValueFrame(int value) {
    return {kStart, kStart, kTypeValue, 2, 0, static_cast<BYTE>(value), kEnd, kEnd};
}

bool FakeJudge::SendPress(int chungCode, int hongCode) {
    return IsByte(chungCode) && IsByte(hongCode) && SendRaw(PressFrame(chungCode, hongCode));
}

bool FakeJudge::SendValue(int value) {
    return IsByte(value) && SendRaw(ValueFrame(value));
}

bool FakeJudge::SendRaw(const Bytes& bytes) {
    std::lock_guard guard(m_writeLock);
    return WriteAll(m_master, bytes.data(), bytes.size());
}

void FakeJudge::Unplug() {
    // The reader stops before the descriptors close, so it never polls a closed or reused one.
    m_stop = true;
    if (m_wake[1] >= 0) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &stop, 1);
    }
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    std::lock_guard guard(m_writeLock);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_master = m_slave = -1;
}

bool FakeJudge::Replug() {
    if (m_wake[0] < 0)
        return false; // never opened
    Unplug();
    {
        std::lock_guard guard(m_writeLock);
        if (!OpenRawPty(m_master, m_slave, m_slavePath))
            return false;
    }
    char drained[16];
    while (::poll(std::array{pollfd{m_wake[0], POLLIN, 0}}.data(), 1, 0) > 0 &&
           ::read(m_wake[0], drained, sizeof drained) > 0) {
    }
    m_stop = false;
    m_thread = std::thread([this] { Read(); });
    return true;
}

std::vector<FakeJudge::Bytes> FakeJudge::Received() const {
    std::lock_guard guard(m_lock);
    return m_received;
}

std::vector<int> FakeJudge::Sides() const {
    std::vector<int> sides;
    for (const Bytes& frame : Received())
        if (frame.size() >= 5 && frame[2] == kTypeSide)
            sides.push_back(frame[4]);
    return sides;
}

bool FakeJudge::WaitForFrames(std::size_t count, int timeoutMs) const {
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_received.size() >= count; });
}

void FakeJudge::SetFrameObserver(std::function<void(const Bytes&)> observer) {
    std::lock_guard guard(m_lock);
    m_observer = std::move(observer);
}

void FakeJudge::Read() {
    const int master = m_master; // Unplug stops this thread before it closes the descriptor
    JudgeFrame::Parser parser;
    while (!m_stop) {
        pollfd fds[2] = {{master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        BYTE buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return; // unplugged, or the program's side went away for good
        parser.Feed(buffer, static_cast<std::size_t>(n), [&](const JudgeFrame::Frame& frame) {
            const Bytes whole(frame.begin(), frame.begin() + 4 + frame[3] + 2);
            std::function<void(const Bytes&)> observer;
            {
                std::lock_guard guard(m_lock);
                m_received.push_back(whole);
                observer = m_observer;
            }
            m_changed.notify_all();
            if (observer)
                observer(whole);
        });
    }
}

bool FakeJudge::RunScriptLine(const std::string& line, std::string& error) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return true;
    std::vector<std::string> args;
    for (std::string arg; in >> arg;)
        args.push_back(arg);
    if (word == "press" && args.size() == 2) {
        const int chung = ByteOf(args[0], 10);
        const int hong = ByteOf(args[1], 10);
        if (chung < 0 || hong < 0) {
            error = "press: button codes are numbers from 0 to 255";
            return false;
        }
        return SendPress(chung, hong) || (error = "press: the terminal is closed", false);
    }
    if (word == "value" && args.size() == 1) {
        const int value = ByteOf(args[0], 10);
        if (value < 0) {
            error = "value: a number from 0 to 255";
            return false;
        }
        return SendValue(value) || (error = "value: the terminal is closed", false);
    }
    if (word == "raw" && !args.empty()) {
        Bytes bytes;
        for (const std::string& hex : args) {
            const int b = ByteOf(hex, 16);
            if (b < 0) {
                error = "raw: \"" + hex + "\" is not a hexadecimal byte";
                return false;
            }
            bytes.push_back(static_cast<BYTE>(b));
        }
        return SendRaw(bytes) || (error = "raw: the terminal is closed", false);
    }
    if (word == "unplug" && args.empty()) {
        Unplug();
        return true;
    }
    error = "unknown line: " + line;
    return false;
}
