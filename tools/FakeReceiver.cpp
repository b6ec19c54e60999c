#include "tools/FakeReceiver.h"
#include "tools/PtyPeer.h"

#include "devices/ReceiverFrame.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

std::string NameOfCode(BYTE code) {
    switch (code) {
    case 0x01:
        return "CV";
    case 0x03:
        return "CH";
    case 0x11:
        return "HV";
    case 0x13:
        return "HH";
    case 0x21:
    case 0x22:
    case 0x23:
    case 0x24:
        return "judge" + std::to_string(code - 0x20);
    default:
        return {};
    }
}

bool IsHeadGear(const std::string& name) {
    return name.size() >= 2 && name[1] == 'H' && name[0] != 'j';
}

} // namespace

FakeReceiver::FakeReceiver() {
    if (!OpenRawPty(m_master, m_slave, m_slavePath))
        return;
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
        return;
    }
    m_thread = std::thread([this] { Serve(); });
}

FakeReceiver::~FakeReceiver() {
    Unplug();
    if (m_slave >= 0)
        ::close(m_slave);
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

void FakeReceiver::Unplug() {
    if (m_thread.joinable()) {
        m_stop = true;
        const BYTE one = 1;
        (void)!::write(m_wake[1], &one, 1);
        m_thread.join();
    }
    std::lock_guard w(m_writeLock);
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

bool FakeReceiver::Replug() {
    if (m_wake[0] < 0)
        return false; // never opened
    Unplug();
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    {
        std::lock_guard w(m_writeLock);
        if (!OpenRawPty(m_master, m_slave, m_slavePath))
            return false;
    }
    {
        std::lock_guard l(m_lock);
        m_pollsSeen = 0;
        m_pairName.clear();
        m_powerLost = true;
        m_channelSet = false;
        m_pairedSince.clear();
    }
    BYTE drained[16];
    while (::read(m_wake[0], drained, sizeof drained) > 0) {
    }
    m_stop = false;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void FakeReceiver::Serve() {
    ReceiverFrameParser parser;
    BYTE buffer[256];
    while (!m_stop) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0) {
                parser.Feed(buffer, static_cast<int>(n),
                            [this](const ReceiverFrame& f) { Answer(Bytes(f.bytes, f.bytes + f.length)); });
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // No one holds the slave open besides us only when it was never opened; wait briefly so a
            // hang-up cannot spin this thread.
            pollfd wake{m_wake[0], POLLIN, 0};
            if (::poll(&wake, 1, 10) > 0)
                return;
        }
    }
}

void FakeReceiver::Answer(const Bytes& frame) {
    const BYTE command = frame[2];
    const BYTE* payload = frame.data() + 4;
    const int n = frame[3];
    Bytes reply;
    bool answer = true;
    std::function<void(const Bytes&)> observer;
    {
        std::lock_guard l(m_lock);
        m_commands.push_back(frame);
        observer = m_observer;
        switch (command) {
        case 0x07:
            reply = {m_version[0], m_version[1]};
            break;
        case 0x0A:
            reply = {m_channelStatus};
            m_channelSet = m_channelSet || m_channelStatus == 1;
            break;
        case 0x0B:
            reply = {m_channelStatus};
            reply.insert(reply.end(), m_mac, m_mac + 8);
            reply.push_back(m_channel);
            reply.push_back(static_cast<BYTE>(m_panId >> 8));
            reply.push_back(static_cast<BYTE>(m_panId & 0xFF));
            break;
        case 0x0C:
        case 0x30:
            m_pollsSeen = 0;
            reply = {1};
            break;
        case 0x38:
        case 0x3D:
            m_pollsSeen = 0;
            m_pairName = n >= 1 ? (payload[0] == 0 ? "CV" : payload[0] == 1 ? "CH" : "judge1") : "";
            reply = {1, m_teamSlot};
            break;
        case 0x0D:
        case 0x39: {
            const int seen = m_pollsSeen++;
            if (m_pollsBeforePairing < 0 || seen < m_pollsBeforePairing) {
                answer = false;
                break;
            }
            std::string name = command == 0x0D && n >= 1 ? NameOfCode(payload[0]) : m_pairName;
            if (!m_switchedOn.empty())
                name = std::exchange(m_switchedOn, std::string());
            m_pairedSince.push_back(name);
            BYTE shortAddr[2], mac[8];
            ShortAddress(name, shortAddr);
            DeviceAddress(name, mac);
            reply = {command == 0x0D && n >= 1 ? payload[0] : DeviceCode(name), 0, shortAddr[0],
                     shortAddr[1]};
            reply.insert(reply.end(), mac, mac + 8);
            break;
        }
        default:
            answer = false; // 0x05, releases, notices: the computer expects no reply
            break;
        }
    }
    m_changed.notify_all();
    if (observer)
        observer(frame);
    if (answer)
        SendFrame(kFrameTypeReply, command, reply);
}

void FakeReceiver::SetCommandObserver(std::function<void(const Bytes&)> observer) {
    std::lock_guard l(m_lock);
    m_observer = std::move(observer);
}

void FakeReceiver::SetVersion(BYTE major, BYTE minor) {
    std::lock_guard l(m_lock);
    m_version[0] = major;
    m_version[1] = minor;
}

void FakeReceiver::SetNetwork(const BYTE mac[8], BYTE channel, WORD panId) {
    std::lock_guard l(m_lock);
    std::copy(mac, mac + 8, m_mac);
    m_channel = channel;
    m_panId = panId;
}

void FakeReceiver::SetChannelStatus(BYTE status) {
    std::lock_guard l(m_lock);
    m_channelStatus = status;
}

void FakeReceiver::SetPairingDevice(const std::string& name) {
    std::lock_guard l(m_lock);
    m_switchedOn = name;
}

void FakeReceiver::SetPollsBeforePairing(int polls) {
    std::lock_guard l(m_lock);
    m_pollsBeforePairing = polls;
}

BYTE FakeReceiver::DeviceCode(const std::string& name) {
    if (name.rfind("judge", 0) == 0 && name.size() == 6 && name[5] >= '1' && name[5] <= '4')
        return static_cast<BYTE>(0x20 + (name[5] - '0'));
    const std::string kind = name.substr(0, 2);
    if (kind == "CV")
        return 0x01;
    if (kind == "CH")
        return 0x03;
    if (kind == "HV")
        return 0x11;
    if (kind == "HH")
        return 0x13;
    return 0;
}

void FakeReceiver::ShortAddress(const std::string& name, BYTE out[2]) {
    // The member number keeps team members apart: "CV" and "CV1" are member 1.
    const int member = name.size() == 3 && name[0] != 'j' ? name[2] - '0' : 1;
    out[0] = static_cast<BYTE>(0x40 + member);
    out[1] = DeviceCode(name);
}

void FakeReceiver::DeviceAddress(const std::string& name, BYTE out[8]) {
    BYTE shortAddr[2];
    ShortAddress(name, shortAddr);
    const BYTE mac[8] = {0x00,         0x15,        static_cast<BYTE>(IsHeadGear(name) ? 1 : 0),
                         0xA0,         0x5E,        0x77,
                         shortAddr[0], shortAddr[1]};
    std::copy(mac, mac + 8, out);
}

bool FakeReceiver::SendReport(const std::string& name, BYTE event, BYTE b3, BYTE b4, int force) {
    {
        std::lock_guard l(m_lock);
        // "CV" and "CV1" name one device.
        const std::string device = name.size() == 3 && name[2] == '1' ? name.substr(0, 2) : name;
        if (m_powerLost && (!m_channelSet || std::ranges::find(m_pairedSince, device) == m_pairedSince.end()))
            return false;
    }
    BYTE shortAddr[2];
    ShortAddress(name, shortAddr);
    return SendFrame(kFrameTypeReport, kDeviceReportCommand,
                     {shortAddr[0], shortAddr[1], event, b3, b4, static_cast<BYTE>((force >> 8) & 0xFF),
                      static_cast<BYTE>(force & 0xFF)});
}

bool FakeReceiver::SendHit(const std::string& name, int force, BYTE validity, bool flagged) {
    return SendReport(name, flagged ? 6 : 2, validity, 0, force);
}

bool FakeReceiver::SendJudge(const std::string& name, BYTE chungCode, BYTE hongCode, bool flagged) {
    return SendReport(name, flagged ? 7 : 3, chungCode, hongCode, 0);
}

bool FakeReceiver::SendStatus(const std::string& name, BYTE value, bool flagged) {
    return SendReport(name, flagged ? 5 : 1, 0, value, 0);
}

bool FakeReceiver::SendLost(const std::string& name) {
    return SendReport(name, 4, 0, 0, 0);
}

bool FakeReceiver::SendFrame(BYTE type, BYTE command, const Bytes& payload) {
    BYTE frame[kCommandBufferSize];
    const int n = BuildFrame(frame, type, command, payload.data(), static_cast<int>(payload.size()));
    return n > 0 && SendRaw(Bytes(frame, frame + n));
}

bool FakeReceiver::SendRaw(const Bytes& bytes) {
    std::lock_guard w(m_writeLock);
    return m_master >= 0 && WriteAll(m_master, bytes.data(), bytes.size());
}

std::vector<FakeReceiver::Bytes> FakeReceiver::Commands() const {
    std::lock_guard l(m_lock);
    return m_commands;
}

bool FakeReceiver::WaitForCommand(BYTE command, int count, int timeoutMs) const {
    std::unique_lock l(m_lock);
    return m_changed.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] {
        int seen = 0;
        for (const Bytes& f : m_commands)
            seen += f[2] == command;
        return seen >= count;
    });
}

namespace {

// A protector as the script names it: CV, CH, HV or HH, with a team member's digit 1..6 or without.
bool IsProtectorName(const std::string& name) {
    const std::string kind = name.substr(0, 2);
    return (kind == "CV" || kind == "CH" || kind == "HV" || kind == "HH") &&
           (name.size() == 2 || (name.size() == 3 && name[2] >= '1' && name[2] <= '6'));
}

bool IsJudgeName(const std::string& name) {
    return name.size() == 6 && name.rfind("judge", 0) == 0 && name[5] >= '1' && name[5] <= '4';
}

// A whole word as a number of the base within 0..max.
bool ParseNumber(const std::string& word, int base, int max, int& out) {
    if (word.empty() || word[0] == '-' || word[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(word.c_str(), &end, base);
    if (*end != '\0' || errno != 0 || v < 0 || v > max)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

bool FakeReceiver::RunScriptLine(const std::string& line, std::string& error) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return true;
    std::vector<std::string> args;
    for (std::string arg; in >> arg;)
        args.push_back(arg);
    auto fail = [&](const char* usage) {
        error = std::string("usage: ") + usage;
        return false;
    };
    // An optional last word "flag".
    auto takeFlag = [&] {
        if (args.empty() || args.back() != "flag")
            return false;
        args.pop_back();
        return true;
    };
    auto sent = [&](bool ok) {
        if (!ok)
            error =
                "not sent: the receiver is unplugged, or after a re-plug has no channel or has not paired "
                "the device again";
        return ok;
    };
    int a = 0, b = 0;
    if (word == "hit") {
        constexpr const char* kUsage =
            "hit CV|CH|HV|HH[1-6] FORCE(0-65535) [SENSOR(hexadecimal 00-FF)] [flag]";
        const bool flagged = takeFlag();
        if (args.size() < 2 || args.size() > 3 || !IsProtectorName(args[0]) ||
            !ParseNumber(args[1], 10, 65535, a) || (args.size() == 3 && !ParseNumber(args[2], 16, 255, b)))
            return fail(kUsage);
        return sent(SendHit(args[0], a, static_cast<BYTE>(b), flagged));
    }
    if (word == "judge") {
        const bool flagged = takeFlag();
        if (args.size() != 3 || !IsJudgeName(args[0]) || !ParseNumber(args[1], 10, 255, a) ||
            !ParseNumber(args[2], 10, 255, b))
            return fail("judge judge1..judge4 CHUNG_CODE HONG_CODE [flag]");
        return sent(SendJudge(args[0], static_cast<BYTE>(a), static_cast<BYTE>(b), flagged));
    }
    if (word == "status") {
        const bool flagged = takeFlag();
        if (args.size() != 2 || !(IsProtectorName(args[0]) || IsJudgeName(args[0])) ||
            !ParseNumber(args[1], 10, 255, a))
            return fail("status NAME VALUE(0-255) [flag]");
        return sent(SendStatus(args[0], static_cast<BYTE>(a), flagged));
    }
    if (word == "lost") {
        if (args.size() != 1 || !(IsProtectorName(args[0]) || IsJudgeName(args[0])))
            return fail("lost NAME");
        return sent(SendLost(args[0]));
    }
    if (word == "raw") {
        Bytes bytes;
        for (const std::string& hex : args) {
            if (!ParseNumber(hex, 16, 255, a))
                return fail("raw HEXBYTE...");
            bytes.push_back(static_cast<BYTE>(a));
        }
        if (bytes.empty())
            return fail("raw HEXBYTE...");
        return sent(SendRaw(bytes));
    }
    if (word == "version") {
        if (args.size() != 2 || !ParseNumber(args[0], 16, 255, a) || !ParseNumber(args[1], 16, 255, b))
            return fail("version MAJOR MINOR (hexadecimal)");
        SetVersion(static_cast<BYTE>(a), static_cast<BYTE>(b));
        return true;
    }
    if (word == "pair") {
        if (args.size() != 1 || !(IsProtectorName(args[0]) || IsJudgeName(args[0])))
            return fail("pair CV|CH|HV|HH[1-6]|judge1..judge4");
        SetPairingDevice(args[0].size() == 3 && args[0][2] == '1' ? args[0].substr(0, 2) : args[0]);
        return true;
    }
    if (word == "polls") {
        if (args.size() != 1 || (args[0] != "never" && !ParseNumber(args[0], 10, 1000, a)))
            return fail("polls COUNT|never");
        SetPollsBeforePairing(args[0] == "never" ? -1 : a);
        return true;
    }
    if ((word == "refuse" || word == "accept" || word == "unplug") && !args.empty())
        return fail(word == "unplug" ? "unplug" : "refuse | accept");
    if (word == "refuse") {
        SetChannelStatus(0);
        return true;
    }
    if (word == "accept") {
        SetChannelStatus(1);
        return true;
    }
    if (word == "unplug") {
        Unplug();
        return true;
    }
    error = "unknown command: " + word;
    return false;
}
