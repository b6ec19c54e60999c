// A stand-in for a wired judge device on a pseudo-terminal: the program opens SlavePath() as the judge's
// serial port (JudgeDev.ini [JUDGE_n] Port); this object plays the device on the master side. It sends
// button presses and value reports framed as the device frames them (55 55, type, length, payload, AA AA)
// and collects every frame the program writes back (the side frame after a scored hit). Used by the
// wired-judge emulator and by the tests.
//
// A host tool: it uses the pseudo-terminals of the machine it runs on directly.
//
// Threads: one reader thread collects the program's frames; every public method may be called from any
// thread. m_lock guards the frames received and the observer.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeJudge {
public:
    using Bytes = std::vector<BYTE>;

    // Opens the pseudo-terminal (raw) and starts the reader. IsOpen() tells whether it worked.
    FakeJudge();
    // Stops and joins the reader, then closes both sides.
    ~FakeJudge();
    FakeJudge(const FakeJudge&) = delete;
    FakeJudge& operator=(const FakeJudge&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    // The path to put in JudgeDev.ini as the judge's Port.
    const std::string& SlavePath() const { return m_slavePath; }

    // The frames of a press (type 3: the Chung and the Hong button code, 0 for no button) and of a value
    // report (type 1: the value in the second payload byte). Codes and values are bytes (0..255).
    static Bytes PressFrame(int chungCode, int hongCode);
    static Bytes ValueFrame(int value);

    bool SendPress(int chungCode, int hongCode);
    bool SendValue(int value);
    bool SendRaw(const Bytes& bytes); // any bytes as they are (noise, broken frames)

    // Closes the master side as an unplugged device does: the program's reads fail from then on.
    void Unplug();
    // Plugs the device in again after Unplug (unplugging first if needed) on a new pseudo-terminal, so
    // SlavePath() changes; the frames received are kept. Call it from the thread that reads SlavePath().
    bool Replug();

    // Every whole frame the program wrote, in order.
    std::vector<Bytes> Received() const;
    // The side of each side frame received (type 2: 0 Chung, 1 Hong), in order.
    std::vector<int> Sides() const;
    // Waits until `count` frames have arrived; false after timeoutMs.
    bool WaitForFrames(std::size_t count, int timeoutMs = 5000) const;
    // Called on the reader thread with every frame as it arrives (the emulator prints them).
    void SetFrameObserver(std::function<void(const Bytes&)> observer);

    // One line of the emulator's language for this device: "press CHUNG HONG", "value N", "raw HEX ...",
    // "unplug". False with a reason in error for a line it cannot run; blank lines and lines starting with
    // '#' do nothing.
    bool RunScriptLine(const std::string& line, std::string& error);

private:
    void Read();

    int m_master = -1;
    int m_slave = -1; // kept open so the pty lives until the fake goes, whoever opens the slave
    int m_wake[2] = {-1, -1};
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_writeLock; // frames written whole

    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<Bytes> m_received;
    std::function<void(const Bytes&)> m_observer;
};
