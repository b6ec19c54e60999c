#include "devices/ReceiverCommand.h"

#include "app/MatchData.h"
#include "app/Network.h"
#include "app/ProgressDlg.h"
#include "devices/Receiver.h"
#include "devices/ReceiverFrame.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr int kMaxAddresses = 31;

void Write(ReceiverLink& link, BYTE command, const BYTE* payload, int n, bool holdReceive = true) {
    BYTE frame[kCommandBufferSize] = {};
    const int length = BuildFrame(frame, kFrameTypeCommand, command, payload, n);
    if (length > 0)
        link.WriteFrame(frame, length, holdReceive);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsJudgeName(std::string_view name) {
    return name.size() == 6 && name.substr(0, 5) == "judge" && name[5] >= '1' && name[5] <= '4';
}

// "CV", "CH", "HV", "HH", or a team member "CV1".."HH6" (member 1 is the two-letter name): the two letters.
std::string_view ProtectorKind(std::string_view name) {
    if (name.size() < 2 || name.size() > 3)
        return {};
    const std::string_view kind = name.substr(0, 2);
    if (kind != "CV" && kind != "CH" && kind != "HV" && kind != "HH")
        return {};
    if (name.size() == 3 && (name[2] < '1' || name[2] > '6'))
        return {};
    return kind;
}

// Callers hold st.lock.
void CopyPairName(ReceiverProtocolState& st, std::string_view name) {
    const size_t n = std::min(name.size(), sizeof st.szPairName - 1);
    std::memcpy(st.szPairName, name.data(), n);
    st.szPairName[n] = '\0';
}

void SetPairName(ReceiverProtocolState& st, std::string_view name) {
    std::lock_guard l(st.lock);
    CopyPairName(st, name);
}

// Sets the pairing name, side and poll bytes under the state's lock; side < 0 keeps the side.
void KeepPairing(ReceiverLink& link, std::string_view name, int side, const BYTE poll[3]) {
    ReceiverProtocolState& st = link.Protocol();
    const MatchData* md = link.Match();
    std::lock_guard l(st.lock);
    CopyPairName(st, name);
    if (side >= 0)
        st.nSide = side;
    std::memcpy(st.abPoll, poll, 3);
    st.bTeamPoll = md && md->nCompetitionType == 1;
}

struct Registration {
    BYTE payload[3] = {};
    int n = 3;
    int side = -1;
};

// Commands 39 and 40 (individual match): [device code, level byte, eSocks flag], judges [0x21..0x24].
Registration IndividualRegistration(const MatchData& md, std::string_view name) {
    Registration r;
    const std::string_view kind = ProtectorKind(name);
    if (IsJudgeName(name)) {
        r.payload[0] = static_cast<BYTE>(0x20 + (name[5] - '0'));
        r.n = 1;
        r.side = 2;
    } else if (kind.size() == 2 && name.size() == 2) {
        r.payload[0] = PairingDeviceCode(std::string(name).c_str());
        r.payload[1] = static_cast<BYTE>(kind[1] == 'V' ? md.nLevelBody : md.nLevelHead);
        r.payload[2] = md.bUseESocks ? 1 : 0;
        r.side = kind[0] == 'C' ? 0 : 1;
    }
    return r;
}

// Commands 41 and 42 (team match): [0 trunk / 1 head gear, level byte, eSocks flag], judges [0x02].
Registration TeamRegistration(const MatchData& md, std::string_view name) {
    Registration r;
    const std::string_view kind = ProtectorKind(name);
    if (IsJudgeName(name)) {
        r.payload[0] = 0x02;
        r.n = 1;
        r.side = 2;
    } else if (!kind.empty()) {
        r.payload[0] = kind[1] == 'V' ? 0x00 : 0x01;
        r.payload[1] = static_cast<BYTE>(kind[1] == 'V' ? md.nLevelBody : md.nLevelHead);
        r.payload[2] = md.bUseESocks ? 1 : 0;
        r.side = kind[0] == 'C' ? 0 : 1;
    }
    return r;
}

// The pairing poll's bytes for a name: [device code, level byte, eSocks class], zeros for other names.
void PollBytes(const MatchData& md, std::string_view name, BYTE out[3]) {
    const BYTE code = PairingDeviceCode(std::string(name).c_str());
    const std::string_view kind = ProtectorKind(name);
    out[0] = code;
    out[1] = kind.size() == 2 && name.size() == 2
                 ? static_cast<BYTE>(kind[1] == 'V' ? md.nLevelBody : md.nLevelHead)
                 : 0;
    out[2] = code != 0 && md.bUseESocks ? 0x10 : 0x00;
}

// The kind of the first device-table entry of that name; the receive thread changes the table too, so
// nothing points into it after the lock is let go.
std::optional<BYTE> DeviceKind(const char* name) {
    std::lock_guard lock(g_networkLock);
    if (!g_pNetworkArr)
        return std::nullopt;
    for (const TTK_Network& e : *g_pNetworkArr)
        if (e.name == name)
            return e.kind;
    return std::nullopt;
}

void RemoveDevice(const char* name) {
    std::lock_guard lock(g_networkLock);
    if (!g_pNetworkArr)
        return;
    const auto it = std::find_if(g_pNetworkArr->begin(), g_pNetworkArr->end(),
                                 [&](const TTK_Network& e) { return e.name == name; });
    if (it != g_pNetworkArr->end())
        g_pNetworkArr->erase(it);
}

BYTE ReleaseCode(std::string_view name) {
    if (name == "ED")
        return 0x30;
    if (name == "CV")
        return 0x01;
    if (name == "CH")
        return 0x02;
    if (name == "HV")
        return 0x11;
    if (name == "HH")
        return 0x12;
    if (name == "judge1" || name == "judge2" || name == "judge3")
        return static_cast<BYTE>(0x20 + (name[5] - '0'));
    return 0x00;
}

BYTE LostNoticeCode(std::string_view name) {
    if (name == "judge4")
        return 0x51;
    const BYTE code = PairingDeviceCode(std::string(name).c_str());
    return code != 0 ? code : 0x51;
}

int ReleaseIndex(std::string_view name) {
    static constexpr std::string_view kNames[] = {"CV", "CH", "HV", "HH", "judge1", "judge2", "judge3"};
    for (int i = 0; i < 7; ++i)
        if (name == kNames[i])
            return i;
    return 0; // the index frame is sent for any name
}

void SetState(ReceiverProtocolState& st, ReceiverState s) {
    st.nState.store(s);
}

// The box of a pairing that cannot start, by the side of the device being paired.
ReceiverNotice PairingRefusedNotice(ReceiverProtocolState& st) {
    std::lock_guard l(st.lock);
    return st.nSide == 0   ? ReceiverNotice::PairTimeoutChung
           : st.nSide == 1 ? ReceiverNotice::PairTimeoutHong
                           : ReceiverNotice::PairTimeoutReferee;
}

// The version was not answered: the first two refusals ask again (when the receiver can be asked),
// the third says to check the cable.
void RefuseChannel(ReceiverLink& link, bool askAgain);

// A closed receiver takes no frame and no state changes, but a command still keeps its own books: a
// release forgets its table entry, and a request that needs the receiver shows the box it shows whenever
// the receiver cannot take it.
void CommandToClosedReceiver(ReceiverLink& link, int code, const char* text) {
    DebugPrintf("receiver command %d (%s) not sent: the receiver is closed", code, text);
    switch (code) {
    case 37:
        RefuseChannel(link, false);
        return;
    case 38:
        link.Notify(ReceiverNotice::NetworkError);
        return;
    case 43:
        link.Notify(PairingRefusedNotice(link.Protocol()));
        return;
    case 49:
    case 50:
        RemoveDevice(text);
        return;
    default:
        return;
    }
}

} // namespace

int ReceiverLink::Random16() {
    thread_local std::minstd_rand engine{std::random_device{}()};
    return static_cast<int>(engine() % 16);
}

void ShowReceiverNotice(int notice) {
    struct Box {
        const char* text;
        const char* caption;
        UINT flags;
    };
    static constexpr Box kBoxes[] = {
        {"Equipment Communication Error!", "Information", MB_OK | MB_ICONERROR},
        {"Please check an USB connection between Receiver and PC.", "Information", MB_OK | MB_ICONERROR},
        {"NetWork Error!", "", MB_OK},
        {"Registeration Timeout of Chung!", "Information", MB_OK | MB_ICONINFORMATION},
        {"Registeration Timeout of Hong!", "Information", MB_OK | MB_ICONINFORMATION},
        {"Registeration Timeout of Referee Device!", "Information", MB_OK | MB_ICONINFORMATION},
        {"Create thread error", "", MB_OK},
    };
    const int i = notice - static_cast<int>(ReceiverNotice::EquipmentError);
    if (i < 0 || i >= static_cast<int>(std::size(kBoxes)))
        return;
    MessageBox(0, std::string_view(kBoxes[i].text), std::string_view(kBoxes[i].caption), kBoxes[i].flags);
}

bool ParseMac16(BYTE dest[8], const char* text) {
    if (!text || std::strlen(text) != 16)
        return false;
    BYTE bytes[8];
    for (int i = 0; i < 8; ++i) {
        const int hi = HexDigit(text[2 * i]), lo = HexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = static_cast<BYTE>(hi * 16 + lo);
    }
    std::memcpy(dest, bytes, 8);
    return true;
}

BYTE PairingDeviceCode(const char* name) {
    const std::string_view n = name ? name : "";
    if (n == "CV")
        return 0x01;
    if (n == "CH")
        return 0x03;
    if (n == "HV")
        return 0x11;
    if (n == "HH")
        return 0x13;
    if (IsJudgeName(n))
        return static_cast<BYTE>(0x20 + (n[5] - '0'));
    return 0;
}

void SendCommand05(ReceiverLink& link) {
    if (!link.IsOpen())
        return;
    const BYTE payload[1] = {0x01};
    Write(link, 0x05, payload, 1);
}

void SendCommand05(TTK_Receiver* receiver) {
    if (receiver)
        SendCommand05(*receiver);
}

void WritePairingPoll(ReceiverLink& link, bool finalPolls) {
    ReceiverProtocolState& st = link.Protocol();
    if (!link.IsOpen())
        return;
    BYTE payload[3];
    bool team;
    {
        std::lock_guard l(st.lock);
        team = st.bTeamPoll;
        std::memcpy(payload, st.abPoll, 3);
    }
    if (team) {
        const BYTE poll[2] = {st.nTeamSlot.load(), static_cast<BYTE>(finalPolls ? 1 : 0)};
        Write(link, 0x39, poll, 2);
    } else {
        if (finalPolls && payload[0] != 0)
            payload[2] |= 0x01;
        Write(link, 0x0D, payload, 3);
    }
    // A pairing reply may have come meanwhile; it owns the state from then on.
    int polling = st.nState.load();
    if (st.bPairing.load())
        st.nState.compare_exchange_strong(polling, team ? kReceiverTeamPolling : kReceiverPolling);
}

void WritePairingPoll(TTK_Receiver* receiver, bool finalPolls) {
    if (receiver)
        WritePairingPoll(*receiver, finalPolls);
}

void SendReceiverCommand(TTK_Receiver* receiver, int code, const char* text) {
    if (receiver)
        SendReceiverCommand(*receiver, code, text);
}

namespace {

void RefuseChannel(ReceiverLink& link, bool askAgain) {
    ReceiverProtocolState& st = link.Protocol();
    if (st.nVersionRetry.fetch_add(1) + 1 < 3) {
        link.Notify(ReceiverNotice::EquipmentError);
        if (askAgain)
            SendReceiverCommand(link, 36, "");
    } else {
        // This attempt gave up; the next SET is a new attempt that asks the receiver again.
        st.nVersionRetry = 0;
        link.Notify(ReceiverNotice::CheckUsb);
    }
}

} // namespace

void SendReceiverCommand(ReceiverLink& link, int code, const char* text) {
    if (!text)
        return;
    if (!link.IsOpen()) {
        CommandToClosedReceiver(link, code, text);
        return;
    }
    ReceiverProtocolState& st = link.Protocol();
    const MatchData* md = link.Match();
    const std::string_view name = text;
    BYTE payload[kCommandMaxPayload] = {};

    switch (code) {
    case 36:
        // The state goes first: the reply may arrive before the write returns.
        st.nStartCount.fetch_add(1);
        SetState(st, kReceiverVersionSent);
        Write(link, 0x07, nullptr, 0);
        return;
    case 37: {
        // Once the version was answered the receiver takes a channel in every later state, so the court's
        // channel can be set again on a linked receiver.
        if (st.nState.load() < kReceiverVersionReceived) {
            RefuseChannel(link, true);
            return;
        }
        st.nCourtChannel = std::atoi(text) & 0xFF;
        payload[0] = static_cast<BYTE>(st.nCourtChannel.load());
        payload[1] = 0x0F;
        payload[2] = static_cast<BYTE>(link.Random16() & 0x0F);
        SetState(st, kReceiverChannelSent);
        Write(link, 0x0A, payload, 3);
        return;
    }
    case 38:
        if (st.nState.load() != kReceiverChannelAccepted) {
            link.Notify(ReceiverNotice::NetworkError);
            return;
        }
        SetState(st, kReceiverNetworkSent);
        Write(link, 0x0B, payload, 1, /*holdReceive=*/false);
        return;
    case 39:
    case 41: {
        if (!md)
            return;
        const Registration r = code == 39 ? IndividualRegistration(*md, name) : TeamRegistration(*md, name);
        BYTE poll[3];
        PollBytes(*md, name.size() == 3 && name[2] == '1' ? name.substr(0, 2) : name, poll);
        KeepPairing(link, name, r.side, poll);
        SetState(st, code == 39 ? kReceiverRegisterSent : kReceiverTeamRegisterSent);
        Write(link, code == 39 ? 0x0C : 0x38, r.payload, r.n);
        return;
    }
    case 40: {
        // A two-letter name, then groups of 16 hexadecimal digits; a trailing partial group is no address.
        if (!md || name.size() < 2)
            return;
        const std::string_view device = name.substr(0, 2);
        const Registration r = IndividualRegistration(*md, device);
        std::memcpy(payload, r.payload, 3);
        const int groups = std::min<int>(static_cast<int>(name.size() - 2) / 16, kMaxAddresses);
        for (int g = 0; g < groups; ++g) {
            const std::string group(name.substr(2 + 16 * g, 16));
            if (!ParseMac16(payload + 3 + 8 * g, group.c_str())) {
                DebugPrintf("Receiver command 40: \"%s\" is not a hexadecimal address; nothing sent",
                            group.c_str());
                return;
            }
            payload[3 + 8 * g] = 0x00;
        }
        // The poll that follows the registration pairs this device.
        BYTE poll[3];
        PollBytes(*md, device, poll);
        KeepPairing(link, device, r.side, poll);
        SetState(st, kReceiverRegisterAddrSent);
        Write(link, 0x30, payload, 3 + 8 * groups);
        return;
    }
    case 42: {
        // The member name is everything before the 16 address digits; "CV1" stands for "CV".
        if (!md || name.size() < 16 + 2) {
            DebugPrintf("Receiver command 42: \"%s\" is no member name with an address; nothing sent", text);
            return;
        }
        std::string_view member = name.substr(0, name.size() - 16);
        if (member.size() == 3 && member[2] == '1' && !ProtectorKind(member).empty())
            member = member.substr(0, 2);
        if (!ParseMac16(payload + 3, std::string(name.substr(name.size() - 16)).c_str())) {
            DebugPrintf("Receiver command 42: \"%s\" has no hexadecimal address; nothing sent", text);
            return;
        }
        const Registration r = TeamRegistration(*md, member);
        std::memcpy(payload, r.payload, r.n);
        payload[3] = 0x00;
        BYTE poll[3];
        PollBytes(*md, member, poll);
        KeepPairing(link, member, r.side, poll);
        SetState(st, kReceiverTeamRegisterAddrSent);
        Write(link, 0x3D, payload, 11);
        return;
    }
    case 43: {
        if (st.nState.load() != kReceiverRegistered) {
            link.Notify(PairingRefusedNotice(st));
            return;
        }
        bool team;
        {
            std::lock_guard l(st.lock);
            team = st.bTeamPoll;
        }
        ForgetProgressDialogClose();
        st.bPairing.store(1);
        SetState(st, team ? kReceiverTeamPolling : kReceiverPolling);
        if (!link.RestartPairingWait()) {
            st.bPairing.store(0);
            link.Notify(ReceiverNotice::CreateThreadError);
        }
        return;
    }
    case 44:
        payload[0] = ReleaseCode(name);
        Write(link, 0x0F, payload, 1);
        return;
    case 45:
        payload[0] = name == "CV" ? 0 : 1;
        SetPairName(st, name);
        Write(link, 0x31, payload, 1);
        return;
    case 46:
        payload[0] = LostNoticeCode(name);
        Write(link, 0x34, payload, 1);
        return;
    case 47:
        if (const std::optional<BYTE> kind = DeviceKind(text)) {
            payload[0] = *kind;
            Write(link, 0x3B, payload, 1);
        }
        return;
    case 48:
        payload[0] = name == "1" ? 1 : 0;
        SetPairName(st, name);
        Write(link, 0x36, payload, 1);
        return;
    case 49:
        payload[0] = static_cast<BYTE>(ReleaseIndex(name));
        payload[1] = 0x01;
        RemoveDevice(text);
        Write(link, 0x3A, payload, 2);
        return;
    case 50:
        if (const std::optional<BYTE> kind = DeviceKind(text)) {
            payload[0] = *kind;
            payload[1] = 0x01;
            RemoveDevice(text);
            Write(link, 0x3A, payload, 2);
        }
        return;
    case 51:
        if (name.empty())
            return;
        payload[0] = static_cast<BYTE>(static_cast<BYTE>(name[0]) - 0x30);
        payload[1] = 0x01;
        Write(link, 0x3A, payload, 2);
        return;
    case 52:
        Write(link, 0x44, nullptr, 0);
        return;
    case 54:
        Write(link, 0x46, nullptr, 0);
        return;
    case 55:
        Write(link, 0x47, nullptr, 0);
        return;
    default: // 53, 56, 57 send nothing; other codes are not commands
        return;
    }
}
