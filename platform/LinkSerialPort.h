// A serial port as the outside links use it (the wired judges have platform/SerialPort.h): a tty opened raw
// with the link's rate, data bits, parity and stop bits, read by a reader thread of its own into a bounded
// queue, written without blocking.
//
// Threads: open, close, write, take and the queries on the owner's thread (the UI thread). The reader
// thread fills the queue, calls the arrival callback given to open, and writes what the system did not take
// at once; the queue's mutex guards the queue and the dropped count, a second one the waiting output.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct LinkSerialSettings {
    int nBaud = 9600;  // one of 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200 (others too)
    int nDataBits = 8; // 5..8
    int nStopBits = 0; // 0 one stop bit, 2 two
    int nParity = 0;   // 0 none, 1 odd, 2 even
};

class LinkSerialPort {
public:
    // Bytes received and not yet taken at most; later bytes are dropped (and counted) until the owner takes.
    static constexpr std::size_t kQueueLimit = 64 * 1024;

    LinkSerialPort();
    ~LinkSerialPort(); // closes
    LinkSerialPort(const LinkSerialPort&) = delete;
    LinkSerialPort& operator=(const LinkSerialPort&) = delete;

    // Opens the tty at path ("COM3"-like names without a folder are looked up under /dev) and starts the
    // reader; onArrival runs on the reader thread after bytes were queued. 0, or the system's error number
    // (EINVAL for settings the port cannot take).
    int Open(const std::string& path, const LinkSerialSettings& settings, std::function<void()> onArrival);
    // Stops and joins the reader, closes the tty. Safe when not open.
    void Close();
    bool IsOpen() const;

    // Bytes accepted for writing and not yet taken by the system at most.
    static constexpr std::size_t kWriteLimit = 64 * 1024;

    // Takes the bytes whole, without waiting: the system gets what it takes now and the reader thread
    // writes the rest as soon as it can, before any later bytes, so a record never reaches the peer cut
    // and mixed with the next one. length when taken, 0 when they do not fit into what waits (nothing is
    // taken), -1 on error or when not open.
    int Write(const char* data, int length);
    // Takes up to size queued bytes, oldest first; the rest stays queued.
    int Take(char* buffer, int size);
    std::size_t Queued() const;
    std::size_t Dropped() const;
    // The line settings the tty has now; false when not open.
    bool LineSettings(LinkSerialSettings* settings) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// The machine's serial devices for the port list: /dev/ttyS* that have hardware behind them, ttyUSB*,
// ttyACM* and the stable names under /dev/serial/by-id, each as a full path, sorted in natural order.
std::vector<std::string> ListSerialPorts();

} // namespace platform
