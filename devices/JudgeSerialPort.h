// A judge's scoring device wired to a serial port. Each open port has one reader thread that cuts the byte
// stream into frames (devices/JudgeFrame.h) and sends the presses (UM_WIRED_JUDGE_INPUT, "%d,%d") and the
// values (UM_WIRED_JUDGE_VALUE, "%d") to the operator view with the judge number as wParam; a port that
// hangs up (the device unplugged) posts UM_WIRED_JUDGE_LOST with the judge number. The view writes the
// side frame back after a scored hit through the port's writer thread, so it never waits on the tty.
//
// Three exist for the whole program, g_JudgeSerial[0..2] for judges 1..3. The registration dialogs open
// and close them (OpenWiredJudge / CloseWiredJudge below do their steps).
//
// Threads: Open, Close, Write and the flags belong to the UI thread; the reader thread reads bEnabled,
// nMode and nJudge (atomics) and only sends messages. m_ringLock guards the ring buffer.
#pragma once

#include "devices/FrameWriter.h"
#include "devices/JudgeFrame.h"
#include "platform/SerialPort.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class JudgeSerialPort {
public:
    JudgeSerialPort() = default;
    ~JudgeSerialPort(); // Close()
    JudgeSerialPort(const JudgeSerialPort&) = delete;
    JudgeSerialPort& operator=(const JudgeSerialPort&) = delete;

    // Opens the port (a device path such as /dev/serial/by-id/...) with the line settings (stop bits 1 or
    // 2, parity 'N', 'O' or 'E') and starts its reader, which sends to the operator view (g_hMainWnd as it
    // is now). An open port is closed first, so a port never has two readers. False, with nothing left
    // open, when the port cannot be opened or the reader cannot start.
    bool Open(const std::string& portName, DWORD baudRate = 115200, BYTE byteSize = 8, BYTE stopBits = 1,
              char parity = 'N');
    // Signals the reader, joins it (releasing a send it may be blocked in), then closes the port. Closing
    // a closed port does nothing.
    void Close();
    // Hands the 7 bytes of a side frame to the writer thread: 7 once queued, 0 when the port is not open
    // or its writer is behind by a full queue.
    int Write(const BYTE* frame);
    bool IsOpen() const { return m_port.IsOpen(); }
    const std::string& LastError() const { return m_port.LastError(); }
    const std::string& PortName() const { return m_strPort; }

    int bOpened = 0;              // opened by the registration dialog
    int bLost = 0;                // hung up under the program; opened again once its port answers again
    std::atomic<int> bEnabled{0}; // 1: received bytes are handled; 0: read and dropped
    std::atomic<int> nMode{0};    // 1: bytes go to the frame parser; otherwise to the ring buffer
    std::atomic<int> nJudge{0};   // 1..3, sent as wParam

    static constexpr int kRingSize = 4192;

private:
    void ReaderThread();
    void Handle(const BYTE* bytes, int count);

    enum class State { Stopped, Running, Stopping };
    platform::SerialPort m_port;
    std::string m_strPort;
    std::thread m_thread;
    std::atomic<State> m_state{State::Stopped};
    std::atomic<HWND> m_target{0};
    JudgeFrame::Parser m_parser; // reader thread only
    FrameWriter m_writer{"wired judge"};
    std::mutex m_ringLock;
    BYTE m_ring[kRingSize] = {};
    int m_nHead = 0;
    int m_nTail = 0;
};

extern JudgeSerialPort g_JudgeSerial[3];

// UI thread. The port of judge n (0..2) from JudgeDev.ini [JUDGE_<n+1>] Port; empty when none is set.
std::string WiredJudgePort(int judge);
// UI thread. The registration's steps for judge n (0..2): opens its port from JudgeDev.ini at 115200 8N1
// and on success sets bOpened, nJudge, bEnabled, nMode 1, clears bLost and sets MatchData::bJudgeWired[n].
// False when no port is set or it cannot be opened; nothing changes then, and `why` (when given) gets a
// line naming the judge, its port and the reason ("Judge 2: port /dev/ttyUSB1 missing (no such device)").
bool OpenWiredJudge(int judge, std::string* why = nullptr);
// UI thread. Closes judge n's port and clears bOpened and MatchData::bJudgeWired[n].
void CloseWiredJudge(int judge);
