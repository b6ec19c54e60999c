// The far end of a serial link for tests and tools: a pseudo-terminal whose slave path the program opens
// like a real port, while this side plays the peer on the master. Closing it makes the program's port
// hang up as an unplugged device does. One thread at a time.
#pragma once

#include <cstddef>
#include <string>

// Writes every byte to the descriptor, again after an interrupted write; false when a write fails.
bool WriteAll(int fd, const void* bytes, std::size_t count);

// Opens a pseudo-terminal, raw on both sides so bytes pass unchanged, its descriptors closed on exec.
// False, with both descriptors -1, when none can be had.
bool OpenRawPty(int& master, int& slave, std::string& slavePath);

class PtyPeer {
public:
    PtyPeer(); // check Ok()
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool Ok() const { return m_master >= 0; }
    const std::string& Path() const { return m_path; }
    // Writes every byte to the program's side.
    bool Write(const std::string& bytes);
    // What the program wrote, waiting up to ms for count bytes in all.
    std::string Read(std::size_t count, int ms);
    void Close();

private:
    int m_master = -1;
    int m_slave = -1; // held so the pty lives until the peer goes
    std::string m_path;
};
