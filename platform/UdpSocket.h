// A UDP socket bound to a local port, sending datagrams to one peer, on the UI thread's event loop.
//
// Threads: every function on the UI thread (the thread that made the socket); the readable callback runs
// there too. Readiness is re-armed by Receive: one callback, the next after the owner has read (at once
// when more datagrams wait). The socket may be closed or freed inside its own callback.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class UdpSocket {
public:
    UdpSocket();
    ~UdpSocket(); // closes
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Binds local port 0..65535 (0: any free port) on every local address. 0, or the system's error number
    // (EINVAL for a port outside the range, EADDRINUSE for a port taken).
    int Bind(int localPort, std::function<void()> onReadable);
    // The local port bound; 0 when not bound.
    int LocalPort() const;
    // One datagram of length bytes to ip:port (first part of the dotted form in the top byte). The bytes
    // sent, or -1.
    int SendTo(std::uint32_t ip, int port, const char* data, int length);
    // Takes the next datagram, cut at size bytes (the rest of that datagram is lost, later ones stay
    // queued); -1 when none waits.
    int Receive(char* buffer, int size);
    void Close();

private:
    class Impl;
    Impl* m = nullptr; // freed once its own callback has returned
};

} // namespace platform
