// The writer of commands to the USB receiver: the command table, the pairing poll and the receiver states
// that order the start-up and pairing handshakes.
//
// The writer reaches the link through ReceiverLink, which the receiver object TTK_Receiver derives from: it
// writes whole frames, restarts the pairing-wait thread and hands message boxes to the UI thread. Tests
// implement it to record what would be written.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <mutex>

struct MatchData;
struct TTK_Receiver;

// nState of the receiver.
enum ReceiverState : int {
    kReceiverInitial = 43,
    kReceiverVersionSent = 44,
    kReceiverVersionReceived = 45, // the channel may be set
    kReceiverChannelSent = 46,
    kReceiverChannelAccepted = 47, // network information may be requested
    kReceiverNetworkSent = 48,
    kReceiverReady = 49,
    kReceiverRegisterSent = 50,
    kReceiverTeamRegisterSent = 51,
    kReceiverRegisterAddrSent = 52,
    kReceiverTeamRegisterAddrSent = 53,
    kReceiverRegistered = 54, // pairing may start
    kReceiverPolling = 55,
    kReceiverTeamPolling = 56,
    kReceiverPaired = 57,
    kReceiverPairTimeout = 59,
};

// The boxes of the command table. ShowReceiverNotice shows one on the UI thread.
enum class ReceiverNotice : int {
    EquipmentError = 1, // "Equipment Communication Error!"
    CheckUsb,           // "Please check an USB connection between Receiver and PC."
    NetworkError,       // "NetWork Error!"
    PairTimeoutChung,   // "Registeration Timeout of Chung!"
    PairTimeoutHong,    // "Registeration Timeout of Hong!"
    PairTimeoutReferee, // "Registeration Timeout of Referee Device!"
    CreateThreadError,  // "Create thread error"
};

// UI thread: shows the notice's box with its caption and icon; an unknown value shows nothing.
void ShowReceiverNotice(int notice);

// The handshake and pairing state of the receiver object. nState, bPairing, nTeamSlot and the counters
// are atomics (the receive thread reads and changes them); `lock` guards the pairing name, the side and the
// pairing poll's bytes, which the UI thread writes and the pairing-wait thread reads.
struct ReceiverProtocolState {
    std::atomic<int> nState{kReceiverInitial};
    std::atomic<int> bPairing{0};
    std::atomic<int> nVersionRetry{0};
    std::atomic<int> nStartCount{0};
    std::atomic<BYTE> nTeamSlot{0};
    // The court's radio channel, given to the receiver after each version reply (at start-up and after a
    // re-plug); -1 until the court has one. Command 37 keeps the channel it sends.
    std::atomic<int> nCourtChannel{-1};

    mutable std::mutex lock;
    char szPairName[260] = {}; // "CV", "CH", "HV", "HH", "CV2".., "judge1".."judge4"
    int nSide = 0;             // 0 Chung, 1 Hong, 2 judge device
    // The pairing poll's device code, level byte and eSocks class, and the match kind, taken from the match
    // record when the registration is sent, so the pairing-wait thread never reads the record.
    BYTE abPoll[3] = {};
    bool bTeamPoll = false;
};

// What the command writer needs from the receiver link.
class ReceiverLink {
public:
    virtual ~ReceiverLink() = default;
    virtual ReceiverProtocolState& Protocol() = 0;
    // The match record (levels, eSocks, competition type, device table owner); null writes nothing.
    virtual const MatchData* Match() = 0;
    // False while the device is closed: nothing is written then.
    virtual bool IsOpen() = 0;
    // Writes one whole frame. holdReceive: keep the receive thread from reading until it is written
    // (false for command 38, which the receive thread writes from its own dispatch). Errors are not examined.
    virtual void WriteFrame(const BYTE* frame, int length, bool holdReceive) = 0;
    // Stops a running pairing-wait thread and starts a new one; false when it cannot be started.
    virtual bool RestartPairingWait() = 0;
    // Shows a box: on the UI thread at once (ShowReceiverNotice); from a worker handed to the UI thread.
    virtual void Notify(ReceiverNotice notice) = 0;
    // 0..15 for command 37; a fresh pseudo-random value unless a test pins it.
    virtual int Random16();
};

// Builds and writes one command frame (or starts a pairing) for command code 36..57; text is the command's
// narrow argument (a device name, a name followed by hexadecimal addresses, or a value). A null receiver, a
// null text, or a code outside the table writes nothing; so does a command whose addresses are not
// hexadecimal. A closed receiver gets no frame and no state change, but releases 49/50 still remove their
// table entry and 37, 38 and 43 show the box they show when the receiver cannot take them. UI thread,
// receiver start thread and receive thread; commands 39..42 on the UI thread.
void SendReceiverCommand(TTK_Receiver* receiver, int code, const char* text);
void SendReceiverCommand(ReceiverLink& link, int code, const char* text);

// Pairing-wait thread: one pairing poll (0x0D, or 0x39 in a team match) with the final-polls flag.
void WritePairingPoll(TTK_Receiver* receiver, bool finalPolls);
void WritePairingPoll(ReceiverLink& link, bool finalPolls);

// Any thread: the fixed frame 02 01 05 01 01 04 (after the version reply and when the link closes).
void SendCommand05(TTK_Receiver* receiver);
void SendCommand05(ReceiverLink& link);

// Any thread. Exactly 16 hexadecimal digits become 8 bytes in dest (true); anything else writes nothing.
bool ParseMac16(BYTE dest[8], const char* text);

// Any thread: the device code of a pairing name ("CV" 0x01, "CH" 0x03, "HV" 0x11, "HH" 0x13,
// "judge1".."judge4" 0x21..0x24), 0 for any other name.
BYTE PairingDeviceCode(const char* name);
