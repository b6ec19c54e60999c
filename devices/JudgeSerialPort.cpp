#include "devices/JudgeSerialPort.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"

#include <QString>

#include <string>
#include <system_error>

extern HWND g_hMainWnd;

JudgeSerialPort g_JudgeSerial[3];

namespace {

// How long a side frame may take to leave; at 115200 baud its 7 bytes need under 1 ms.
constexpr int kWriteTimeoutMs = 100;
// A read takes what the tty holds, up to this much.
constexpr int kReadSize = 2048;

} // namespace

JudgeSerialPort::~JudgeSerialPort() {
    Close();
}

bool JudgeSerialPort::Open(const std::string& portName, DWORD baudRate, BYTE byteSize, BYTE stopBits,
                           char parity) {
    Close();
    platform::SerialSettings settings;
    settings.baud = baudRate;
    settings.dataBits = byteSize;
    settings.stopBits = stopBits;
    settings.parity = parity;
    if (!m_port.Open(portName, settings)) {
        DebugPrintf("wired judge port %s: %s", portName.c_str(), m_port.LastError().c_str());
        return false;
    }
    m_strPort = portName;
    m_parser.Reset();
    {
        std::lock_guard guard(m_ringLock);
        m_nHead = m_nTail = 0;
    }
    m_target = g_hMainWnd;
    if (!m_writer.Start([this](const BYTE* bytes, int length) {
            return m_port.Write(bytes, static_cast<std::size_t>(length), kWriteTimeoutMs) == length;
        })) {
        m_port.Close();
        return false;
    }
    m_state = State::Running;
    try {
        m_thread = std::thread(&JudgeSerialPort::ReaderThread, this);
    } catch (const std::system_error& error) {
        DebugPrintf("wired judge port %s: no reader thread (%s)", portName.c_str(), error.what());
        m_state = State::Stopped;
        m_writer.Stop();
        m_port.Close();
        return false;
    }
    return true;
}

void JudgeSerialPort::Close() {
    if (m_thread.joinable()) {
        m_state = State::Stopping;
        m_port.CancelRead();
        const std::thread::id reader = m_thread.get_id();
        platform::releaseSendsFrom(reader);
        m_thread.join();
        platform::forgetReleasedSender(reader);
    }
    m_state = State::Stopped;
    m_writer.Stop();
    m_port.Close();
}

int JudgeSerialPort::Write(const BYTE* frame) {
    if (!frame || !m_port.IsOpen())
        return 0;
    if (!m_writer.Queue(frame, 7)) {
        DebugPrintf("wired judge %d: side frame not queued", nJudge.load());
        return 0;
    }
    return 7;
}

void JudgeSerialPort::ReaderThread() {
    BYTE buffer[kReadSize];
    while (m_state == State::Running) {
        const int count = m_port.Read(buffer, sizeof buffer, -1);
        if (count < 0) {
            DebugPrintf("wired judge %d: port %s lost", nJudge.load(), m_strPort.c_str());
            // Posted: the view closes this port, which joins this thread.
            if (m_state == State::Running && nJudge >= 1 &&
                !PostMessage(m_target, UM_WIRED_JUDGE_LOST, static_cast<WPARAM>(nJudge.load()), 0))
                DebugPrintf("wired judge %d: its loss was not told to the view", nJudge.load());
            break;
        }
        if (count > 0 && m_state == State::Running)
            Handle(buffer, count);
    }
}

void JudgeSerialPort::Handle(const BYTE* bytes, int count) {
    if (!bEnabled)
        return;
    if (nMode == 1) {
        m_parser.Feed(bytes, static_cast<std::size_t>(count), [this](const JudgeFrame::Frame& frame) {
            if (const auto message = JudgeFrame::MessageOf(frame))
                SendMessage(m_target, message->message, static_cast<WPARAM>(nJudge.load()),
                            reinterpret_cast<LPARAM>(message->text.c_str()));
        });
        return;
    }
    std::lock_guard guard(m_ringLock);
    const int filled = (m_nHead - m_nTail + kRingSize) % kRingSize;
    if (count >= kRingSize - filled) {
        DebugPrintf("wired judge %d: buff full, %d bytes dropped", nJudge.load(), count);
        return;
    }
    for (int i = 0; i < count; ++i) {
        m_ring[m_nHead] = bytes[i];
        m_nHead = (m_nHead + 1) % kRingSize;
    }
}

std::string WiredJudgePort(int judge) {
    if (judge < 0 || judge >= kJudges)
        return {};
    const std::u16string section = u"JUDGE_" + QString::number(judge + 1).toStdU16String();
    WCHAR value[kIniValueChars] = {};
    ReadIniString(section.c_str(), u"Port", value, u"JudgeDev.ini");
    return QString::fromUtf16(value).trimmed().toStdString();
}

bool OpenWiredJudge(int judge, std::string* why) {
    if (judge < 0 || judge >= kJudges)
        return false;
    const std::string port = WiredJudgePort(judge);
    const std::string name = "Judge " + std::to_string(judge + 1);
    JudgeSerialPort& serial = g_JudgeSerial[judge];
    if (port.empty() || !serial.Open(port, 115200, 8, 1, 'N')) {
        const std::string reason = port.empty() ? name + ": no port is set in JudgeDev.ini"
                                                : name + ": port " + port + " " + serial.LastError();
        DebugPrintf("wired judge %d not opened: %s", judge + 1, reason.c_str());
        if (why)
            *why = reason;
        return false;
    }
    serial.bOpened = 1;
    serial.bLost = 0;
    serial.nJudge = judge + 1;
    serial.bEnabled = 1;
    serial.nMode = 1;
    if (g_pMatchData)
        g_pMatchData->bJudgeWired[judge] = 1;
    return true;
}

void CloseWiredJudge(int judge) {
    if (judge < 0 || judge >= kJudges)
        return;
    g_JudgeSerial[judge].Close();
    g_JudgeSerial[judge].bOpened = 0;
    g_JudgeSerial[judge].bLost = 0;
    if (g_pMatchData)
        g_pMatchData->bJudgeWired[judge] = 0;
}
