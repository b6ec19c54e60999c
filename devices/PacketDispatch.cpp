#include "devices/PacketDispatch.h"

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Network.h"
#include "app/ProgressDlg.h"
#include "devices/DeviceReportText.h"
#include "devices/Receiver.h"
#include "devices/ReceiverFrame.h"
#include "match/RuleWndHandle.h"
#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

extern HWND g_hMainWnd;

std::mutex g_receiverNetworkLock;
int g_nReceiverChannel = 0;
int g_nReceiverPanId = 0;
BYTE g_abReceiverMac[8] = {};

namespace {

// Event codes of a device report; the odd partner of each (5, 6, 7) carries a flag on to the view.
enum : BYTE { kEventStatus = 1, kEventHit = 2, kEventJudge = 3, kEventLost = 4 };

// A device as the dispatch needs it: a judge device, or a protector of one side and team member.
struct Device {
    int judge = 0; // 1..3 for a judge device, 0 for a protector
    bool chung = false;
    bool head = false; // head gear, else trunk protector
    int member = 1;    // team member 1..6
};

std::optional<Device> DeviceOfName(std::string_view name) {
    if (name.size() == 6 && name.substr(0, 5) == "judge" && name[5] >= '1' && name[5] <= '3')
        return Device{name[5] - '0'};
    if (name.size() < 2 || name.size() > 3 || (name[0] != 'C' && name[0] != 'H') ||
        (name[1] != 'V' && name[1] != 'H'))
        return std::nullopt;
    Device d{0, name[0] == 'C', name[1] == 'H', 1};
    if (name.size() == 3) {
        if (name[2] < '2' || name[2] > '6')
            return std::nullopt;
        d.member = name[2] - '0';
    }
    return d;
}

// The device code of a pairing reply (individual match).
std::optional<Device> DeviceOfKind(BYTE kind) {
    switch (kind) {
    case 0x01:
        return Device{0, true, false, 1};
    case 0x03:
        return Device{0, true, true, 1};
    case 0x11:
        return Device{0, false, false, 1};
    case 0x13:
        return Device{0, false, true, 1};
    case 0x21:
    case 0x22:
    case 0x23:
        return Device{kind - 0x20};
    default:
        return std::nullopt;
    }
}

const char* NameOfKind(BYTE kind) {
    switch (kind) {
    case 0x01:
        return "CV";
    case 0x03:
        return "CH";
    case 0x11:
        return "HV";
    case 0x13:
        return "HH";
    case 0x21:
        return "judge1";
    case 0x22:
        return "judge2";
    case 0x23:
        return "judge3";
    default:
        return nullptr;
    }
}

int LostBit(const Device& d) {
    if (d.judge)
        return 0x10 << (d.judge - 1);
    // Per member: CH, CV, HH, HV. Member 6 skips 0x800000, the receiver-lost bit.
    const int offset = (d.chung ? 0 : 2) + (d.head ? 0 : 1);
    if (d.member == 1)
        return 1 << offset;
    if (d.member == 6)
        return 0x1000000 << offset;
    return 0x80 << (4 * (d.member - 2) + offset);
}

// Player slot of a protector: 0 Chung, 1 Hong, then the team members in pairs.
int PlayerSlot(const Device& d) {
    return 2 * (d.member - 1) + (d.chung ? 0 : 1);
}

// The third address byte tells trunk protector (0) from head gear (1).
bool AddressFitsKind(const TTK_Network& entry, const Device& d) {
    return entry.devAddr[2] == (d.head ? 1 : 0);
}

// The settings the dispatch reads while the user-interface thread may write them (with SharedStore).
template <class T> T Load(T& field) {
    return SharedLoad(field);
}

// A message to the operator view, posted once the device table is unlocked.
struct Outgoing {
    UINT message;
    WPARAM wParam;
    bool hasText;
    char text[64];
};

// Queues a message; the caller formats its text into the returned entry's buffer when it has one.
Outgoing& Queue(std::vector<Outgoing>& out, UINT message, WPARAM wParam, bool hasText = true) {
    return out.emplace_back(Outgoing{message, wParam, hasText, {}});
}

// One report of one table entry. Returns true when an individual match's entry is to be removed.
bool HandleReport(MatchData& md, const TTK_Network& entry, const Device& d, bool team, const BYTE* p,
                  int length, std::vector<Outgoing>& out) {
    const BYTE event = p[2];
    const bool flagged = event >= 5;
    const BYTE base = flagged ? static_cast<BYTE>(event - 4) : event;
    const bool protector = d.judge == 0;
    if (event == kEventLost) {
        DeviceStatusSet(md, LostBit(d));
        return !team;
    }
    if (base == kEventStatus && length >= 5) {
        if (protector && !AddressFitsKind(entry, d))
            return false;
        int& field = !protector ? md.nJudgeBattery[d.judge - 1]
                     : d.head   ? md.nHeadBattery[PlayerSlot(d)]
                                : md.nBodyBattery[PlayerSlot(d)];
        SharedStore(field, p[4]);
        Queue(out, UM_DEVICE_STATE_LOG, event == 5 ? 1 : 0, false);
    } else if (base == kEventHit && protector && length >= 7) {
        if (!AddressFitsKind(entry, d))
            return false;
        const int force = p[5] << 8 | p[6];
        const BYTE validity = p[3];
        bool valid = Load(md.bUseESocks) != 0 && validity != 0;
        if (team && valid && (validity < 16 || validity > (d.head ? 47 : 79)))
            return false; // neither a hit without an eSocks reading nor a reading in range
        const UINT message = d.head ? UM_HEAD_HIT : UM_TRUNK_HIT;
        const WPARAM side = d.chung ? 1 : 0;
        char* text = Queue(out, message, side).text;
        if (valid)
            FormatValidHitText(text, sizeof Outgoing::text, force, flagged, validity);
        else
            FormatPlainHitText(text, sizeof Outgoing::text, force, flagged, entry.name.c_str());
    } else if (base == kEventJudge && !protector && length >= 5) {
        FormatJudgeText(Queue(out, UM_JUDGE1_INPUT + d.judge - 1, 0).text, sizeof Outgoing::text, p[3], p[4],
                        flagged);
    }
    return false;
}

void HandleDeviceReport(TTK_Receiver& receiver, const ReceiverFrame& frame) {
    MatchData* md = receiver.pMatch;
    const int length = frame.PayloadLength();
    const BYTE* p = frame.Payload();
    if (!md || length < 3)
        return;
    const bool team = Load(md->nCompetitionType) == 1;
    std::vector<Outgoing> out;
    {
        std::lock_guard guard(g_networkLock);
        if (!g_pNetworkArr)
            return;
        std::vector<TTK_Network>& table = *g_pNetworkArr;
        for (std::size_t i = 0; i < table.size(); ++i) {
            receiver.curDevice = table[i];
            const TTK_Network& entry = receiver.curDevice;
            if (entry.shortAddr[0] != p[0] || entry.shortAddr[1] != p[1])
                continue;
            const std::optional<Device> d = team ? DeviceOfName(entry.name) : DeviceOfKind(entry.kind);
            if (d && HandleReport(*md, entry, *d, team, p, length, out))
                table.erase(table.begin() + static_cast<std::ptrdiff_t>(i));
            if (!team)
                break;
        }
    }
    // Posted, not sent: the receive thread reads on while the view takes the reports in their order.
    for (const Outgoing& o : out) {
        const BOOL queued = o.hasText ? PostTextMessage(g_hMainWnd, o.message, o.wParam, o.text)
                                      : PostMessage(g_hMainWnd, o.message, o.wParam, 0);
        if (!queued)
            DebugPrintf("device report 0x%x not handed to the view: it is gone", o.message);
    }
}

// ---- replies ----

void Registered(TTK_Receiver& receiver) {
    receiver.protocol.nState = kReceiverRegistered;
    SendReceiverCommand(&receiver, 43, "");
}

void PairingReply(TTK_Receiver& receiver, const BYTE* p, int length, bool team) {
    ReceiverProtocolState& st = receiver.protocol;
    int pairing = 1;
    if (length < 12 || !st.bPairing.compare_exchange_strong(pairing, 0))
        return; // too short to name the device, or the pairing timed out first
    receiver.pairingThread.Stop();
    // Posted as the pairing time-out does: the dialog closes when the UI thread is free.
    CloseProgressDialog();

    std::string name;
    if (team) {
        std::lock_guard guard(st.lock);
        name.assign(st.szPairName, strnlen(st.szPairName, sizeof st.szPairName));
    } else if (const char* kindName = NameOfKind(p[0])) {
        name = kindName;
    }
    const std::optional<Device> d = DeviceOfName(name);
    st.nState = kReceiverPaired;
    if (!d) {
        DebugPrintf("pairing reply for device code %02X, %s: nothing registered", p[0], name.c_str());
        return;
    }

    TTK_Network entry;
    entry.name = name;
    entry.kind = p[0];
    std::memcpy(entry.shortAddr, p + 2, 2);
    std::memcpy(entry.devAddr, p + 4, 8);
    {
        std::lock_guard guard(g_networkLock);
        if (g_pNetworkArr) {
            auto it = std::find_if(g_pNetworkArr->begin(), g_pNetworkArr->end(),
                                   [&](const TTK_Network& e) { return e.name == name; });
            if (it != g_pNetworkArr->end())
                *it = entry;
            else
                g_pNetworkArr->push_back(entry);
        }
    }
    if (receiver.pMatch)
        DeviceStatusClear(*receiver.pMatch, LostBit(*d));

    char text[64];
    const BYTE* a = entry.devAddr;
    if (d->judge)
        std::snprintf(text, sizeof text, "%s,%02x%02x%02x", name.c_str(), a[5], a[6], a[7]);
    else
        std::snprintf(text, sizeof text, "%s,%02x%02x%02x%02x%02x%02x%02x%02x", name.c_str(),
                      d->chung ? a[0] : 0x10, a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, d->judge ? 1 : 0, reinterpret_cast<LPARAM>(text));
    SendMessage(g_hMainWnd, UM_DEVICE_PAIRED_MAIN, 0, reinterpret_cast<LPARAM>(text));
}

void HandleReply(TTK_Receiver& receiver, const ReceiverFrame& frame) {
    ReceiverProtocolState& st = receiver.protocol;
    const int length = frame.PayloadLength();
    const BYTE* p = frame.Payload();
    const BYTE command = frame.Command();
    const bool accepted = length >= 1 && p[0] == 1;
    switch (st.nState.load()) {
    case kReceiverVersionSent:
        if (command == 0x07 && length >= 2) {
            // A receiver that reports major 0 is the first firmware, 9.1.
            const int major = p[0] == 0 ? 9 : p[0];
            const int minor = p[0] == 0 ? 1 : p[1];
            char text[16];
            std::snprintf(text, sizeof text, "%02x.%02x", major, minor);
            SetReceiverVersionText(std::u16string(text, text + std::strlen(text)));
            st.nState = kReceiverVersionReceived;
            SendCommand05(&receiver);
            st.nStartCount = 0;
            st.nVersionRetry = 0;
            // The receiver links on the court's channel by itself, at start-up as after a re-plug: a
            // receiver that lost its power has lost its channel too.
            if (const int channel = st.nCourtChannel.load(); channel >= 0)
                SendReceiverCommand(&receiver, 37, std::to_string(channel).c_str());
        }
        return;
    case kReceiverChannelSent:
        if (command == 0x0A && accepted) {
            st.nState = kReceiverChannelAccepted;
            SendReceiverCommand(&receiver, 38, "");
        }
        return;
    case kReceiverNetworkSent:
        if (command == 0x0B && accepted && length >= 12) {
            std::memcpy(receiver.abMac, p + 1, 8);
            receiver.byChannel = p[9];
            receiver.wPanId = static_cast<WORD>(p[10] << 8 | p[11]);
            {
                std::lock_guard guard(g_receiverNetworkLock);
                std::memcpy(g_abReceiverMac, receiver.abMac, 8);
                g_nReceiverChannel = receiver.byChannel;
                g_nReceiverPanId = receiver.wPanId;
            }
            st.nState = kReceiverReady;
            SendMessage(g_hRuleWnd.load(), UM_LINK_READY, 0, 0);
            SendMessage(g_hMainWnd, UM_LINK_READY, 0, 0);
        }
        return;
    case kReceiverRegisterSent:
        if (command == 0x0C && accepted)
            Registered(receiver);
        return;
    case kReceiverTeamRegisterSent:
        if (command == 0x38 && accepted && length >= 2) {
            st.nTeamSlot = p[1];
            Registered(receiver);
        }
        return;
    case kReceiverRegisterAddrSent:
        if (command == 0x30)
            Registered(receiver);
        return;
    case kReceiverTeamRegisterAddrSent:
        if (command == 0x3D && length >= 2) {
            st.nTeamSlot = p[1];
            Registered(receiver);
        }
        return;
    case kReceiverPolling:
        if (command == 0x0D && length != 2)
            PairingReply(receiver, p, length, false);
        return;
    case kReceiverTeamPolling:
        if (command == 0x39 && length == 12)
            PairingReply(receiver, p, length, true);
        return;
    default:
        return;
    }
}

} // namespace

void DispatchDeviceReport(TTK_Receiver& receiver, const ReceiverFrame& frame) {
    if (frame.Type() == kFrameTypeReport && frame.Command() == kDeviceReportCommand)
        HandleDeviceReport(receiver, frame);
    else if (frame.Type() == kFrameTypeReply)
        HandleReply(receiver, frame);
}

int DeviceLostBit(std::string_view name) {
    const std::optional<Device> d = DeviceOfName(name);
    return d ? LostBit(*d) : 0;
}
