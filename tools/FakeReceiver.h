// A stand-in for the USB receiver on a pseudo-terminal: the program opens SlavePath() as it opens the
// receiver's tty; this object plays the receiver on the master side. It answers the version, channel,
// network and registration commands, answers pairing polls with a pairing reply, and sends device reports
// (hits, judge presses, status, loss) on request. Used by the receiver emulator and by the tests.
//
// A host tool: it uses the pseudo-terminals of the machine it runs on directly.
//
// Threads: one serve thread reads and answers commands; every public method may be called from any thread.
// m_lock guards the command log, the settings below it and the pairing counters; m_writeLock keeps the
// frames written to the master whole.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeReceiver {
public:
    using Bytes = std::vector<BYTE>;

    // Opens the pseudo-terminal (raw, no echo) and starts the serve thread. IsOpen() tells whether it worked.
    FakeReceiver();
    // Stops and joins the serve thread, then closes both sides.
    ~FakeReceiver();
    FakeReceiver(const FakeReceiver&) = delete;
    FakeReceiver& operator=(const FakeReceiver&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    // The path to give the program (BELVANTA_RECEIVER).
    const std::string& SlavePath() const { return m_slavePath; }

    // Closes the master side as an unplugged receiver does: the program's reads fail from then on.
    void Unplug();
    // Plugs a receiver in again after Unplug (unplugging first if needed): a new pseudo-terminal, so
    // SlavePath() changes, served as before; the answers set and the command log are kept, a pairing under
    // way is forgotten. Like a receiver that lost its power, it has lost its channel and its paired
    // devices: a device report goes out only once the program set a channel and paired that device again.
    // The caller calls it from the thread that reads SlavePath().
    bool Replug();

    // ---- answers (set before the program asks) ----
    void SetVersion(BYTE major, BYTE minor);
    void SetNetwork(const BYTE mac[8], BYTE channel, WORD panId);
    // Status byte of the channel and network replies: 1 accepts (the default), anything else refuses.
    void SetChannelStatus(BYTE status);
    // How many pairing polls go unanswered before the pairing reply (0: the first poll is answered);
    // a negative count never answers, so the program's pairing times out.
    void SetPollsBeforePairing(int polls);
    // The device the operator switched on to pair ("HV3", "judge2"): it answers the next pairing poll. A team
    // registration names no member or judge in its frame, so without this the first member's device (or
    // judge 1) answers it.
    void SetPairingDevice(const std::string& name);

    // ---- device reports ----
    // The short address and the 8-byte address the fake gives a device name ("CV", "HH3", "judge2" ...):
    // fixed per name, the third address byte 1 for head gear, 0 otherwise.
    static void ShortAddress(const std::string& name, BYTE out[2]);
    static void DeviceAddress(const std::string& name, BYTE out[8]);
    // Device code of a pairing name: "CV" 0x01, "CH" 0x03, "HV" 0x11, "HH" 0x13, "judge1".."judge4"
    // 0x21..0x24, team members by their two-letter prefix; 0 for any other name.
    static BYTE DeviceCode(const std::string& name);

    // Each report below is false when it could not go out: the pseudo-terminal is closed, or after a
    // Replug the receiver has no channel yet or the device is not paired again.
    // A protector hit (event 2, or 6 with flagged) with its force and validity byte.
    bool SendHit(const std::string& name, int force, BYTE validity = 0, bool flagged = false);
    // A judge device's buttons (event 3, or 7 with flagged).
    bool SendJudge(const std::string& name, BYTE chungCode, BYTE hongCode, bool flagged = false);
    // A status report (event 1, or 5 with flagged) with its status value.
    bool SendStatus(const std::string& name, BYTE value, bool flagged = false);
    // A device-lost report (event 4).
    bool SendLost(const std::string& name);
    // Any frame, built with its checksum; and any bytes as they are (noise, broken frames).
    bool SendFrame(BYTE type, BYTE command, const Bytes& payload);
    bool SendRaw(const Bytes& bytes);

    // ---- what the program sent ----
    // Every complete command frame received so far, in order (whole frames, STX to checksum).
    std::vector<Bytes> Commands() const;
    // Waits until `count` frames with wire command `command` have arrived; false after timeoutMs.
    bool WaitForCommand(BYTE command, int count = 1, int timeoutMs = 10000) const;

    // Called on the serve thread with every command frame as it arrives (the emulator prints them).
    void SetCommandObserver(std::function<void(const Bytes&)> observer);

    // A line of the emulator's script language (see tools/ReceiverEmulator.cpp); false with a reason in
    // error for a line it cannot run. Blank lines and lines starting with '#' do nothing.
    bool RunScriptLine(const std::string& line, std::string& error);

private:
    void Serve();
    void Answer(const Bytes& frame);
    bool SendReport(const std::string& name, BYTE event, BYTE b3, BYTE b4, int force);

    int m_master = -1;
    int m_slave = -1; // kept open so the pty lives until the fake goes, whoever opens the slave
    int m_wake[2] = {-1, -1};
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;

    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<Bytes> m_commands;
    std::function<void(const Bytes&)> m_observer;
    BYTE m_version[2] = {0x03, 0x07}; // a firmware the program supports
    BYTE m_mac[8] = {0x00, 0x12, 0x4B, 0x00, 0x0A, 0x0B, 0x0C, 0x0D};
    BYTE m_channel = 11;
    WORD m_panId = 0x1234;
    BYTE m_channelStatus = 1;
    int m_pollsBeforePairing = 0;
    int m_pollsSeen = 0;
    // After a Replug: whether a channel was set since, and the devices paired since.
    bool m_powerLost = false;
    bool m_channelSet = false;
    std::vector<std::string> m_pairedSince;
    std::string m_pairName;   // device being registered, from the last registration command
    std::string m_switchedOn; // SetPairingDevice's device, until it answers
    BYTE m_teamSlot = 1;

    std::mutex m_writeLock;
};
