// A serial port (a tty such as /dev/ttyUSB0 or /dev/serial/by-id/..., or a pseudo-terminal), raw, with
// the line settings given at open and no flow control. It is opened exclusively: not as the controlling
// tty, refused while another opener holds it.
//
// Threads: Open and Close belong to the owner's thread. Read is for one reader thread, Write for one writer
// thread (it may be another one), CancelRead for any thread. Close must not overlap a Read or Write: the
// owner wakes its reader with CancelRead and joins it first.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <string>

namespace platform {

struct SerialSettings {
    DWORD baud = 115200;
    int dataBits = 8;  // 5..8
    char parity = 'N'; // 'N' none, 'O' odd, 'E' even
    int stopBits = 1;  // 1 or 2
};

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort(); // Close()
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // False, with LastError() telling why, when the path is missing or cannot be opened, is held by another
    // opener, is the controlling terminal of a running session (a terminal, not a device) or refuses the
    // settings; nothing stays open then. Opening an open port closes it first.
    bool Open(const std::string& path, const SerialSettings& settings);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& LastError() const { return m_error; }

    // Reads what is waiting, up to size bytes, after waiting up to timeoutMs (-1: no end) for the first:
    // the count, 0 after the time-out or a CancelRead, -1 when the port failed or hung up (unplugged).
    int Read(void* buffer, std::size_t size, int timeoutMs);
    // Ends the Read that waits now, or the next one.
    void CancelRead();
    // Writes all size bytes within timeoutMs: the count written, -1 when the port failed.
    int Write(const void* buffer, std::size_t size, int timeoutMs);

private:
    int m_fd = -1;
    int m_cancelFd = -1; // an eventfd that CancelRead signals
    std::string m_error;
};

} // namespace platform
