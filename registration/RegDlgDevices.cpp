// The registration dialog's devices: pairing and releasing the protectors and the judges' devices through
// the operator view, the replies of the receive thread, and the device lists of DevMgr.ini.
#include "registration/RegDlg.h"

#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/ProgressDlg.h"
#include "app/TextConvert.h"
#include "devices/DeviceLists.h"
#include "devices/JudgeSerialPort.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <array>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace Registration;

namespace {

// The judge-paired text waits this long before it shows: the judge device needs the time after its reply.
constexpr UINT_PTR kJudgePairedTimer = 103;
constexpr UINT kJudgePairedMs = 600;

constexpr int kAddressEdits[] = {1044, 1045, 1046, 1047};
constexpr int kPssButtons[] = {1285, 1286, 1287, 1288};
constexpr int kJudgeLabels[] = {1323, 1324, 1325};
constexpr int kJudgeButtons[] = {1329, 1330, 1331};
constexpr int kWiredChecks[] = {1311, 1060, 1062};
// DevMgr.ini keys of the Chung trunk, Chung head, Hong trunk and Hong head lists.
constexpr const char16_t* kListKeys[] = {u"EBP_CHUNG", u"EHP_CHUNG", u"EBP_HONG", u"EHP_HONG"};

constexpr const char16_t* kProgressTexts[] = {
    u"Registering the Chung's trunk pss ...",
    u"Registering the Chung's head gear ...",
    u"Registering the Hong's trunk pss ...",
    u"Registering the Hong's head gear ...",
};
constexpr const char16_t* kJudgeProgressTexts[] = {
    u"Registering the Judge 1 device ...",
    u"Registering the Judge 2 device ...",
    u"Registering the Judge 3 device ...",
};

QString Narrow(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Caption(int index, bool registered) {
    const bool head = index == 1 || index == 3;
    return QString(head ? "Head\n" : "Trunk\n") + (registered ? "Off" : "Register");
}

QString JudgeCaption(int judge, bool registered) {
    return QStringLiteral("Judge %1\n%2").arg(judge + 1).arg(registered ? "Off" : "Register");
}

int& RegisteredFlag(MatchData& md, int index) {
    const int slot = index >= 2 ? 1 : 0;
    return index == 1 || index == 3 ? md.bRegHead[slot] : md.bRegBody[slot];
}

char (&AddressField(MatchData& md, int index))[260] {
    TTK_Player& player = md.aPlayer[index >= 2 ? 1 : 0];
    return index == 1 || index == 3 ? player.szMacHead : player.szMacBody;
}

template <std::size_t N> void Put(char (&field)[N], std::string_view text) {
    const std::size_t n = std::min(text.size(), N - 1);
    if (n > 0)
        std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

// Team member devices: button and edit of each member's Chung trunk, Chung head, Hong trunk, Hong head.
constexpr int kMemberIds[6][4][2] = {
    {{1416, 1412}, {1417, 1413}, {1418, 1414}, {1419, 1415}},
    {{1420, 1053}, {1292, 1058}, {1317, 1068}, {1318, 1069}},
    {{1293, 1059}, {1308, 1061}, {1319, 1070}, {1320, 1071}},
    {{1309, 1064}, {1314, 1065}, {1321, 1072}, {1322, 1073}},
    {{1315, 1066}, {1316, 1067}, {1326, 1074}, {1327, 1075}},
    {{1328, 1076}, {1332, 1077}, {1333, 1078}, {1334, 1079}},
};

int& MemberFlag(MatchData& md, int member, int k) {
    const int slot = TeamPlayerSlot(member, k);
    return k % 2 ? md.bRegHead[slot] : md.bRegBody[slot];
}

char (&MemberAddress(MatchData& md, int member, int k))[260] {
    TTK_Player& player = md.aPlayer[TeamPlayerSlot(member, k)];
    return k % 2 ? player.szMacHead : player.szMacBody;
}

// The device-status bit of a member's device: members 1 (bits 0..3), 2..5 (7..22), 6 (24..27), each in the
// order Chung head, Chung trunk, Hong head, Hong trunk.
int MemberStatusBit(int member, int k) {
    static constexpr int kOrder[] = {1, 0, 3, 2}; // position of k in that order
    const int base = member == 1 ? 0 : member == 6 ? 24 : 7 + 4 * (member - 2);
    return 1 << (base + kOrder[k]);
}

// A device slot of the dialog: who wears it, whether a device is registered to it, and its address.
struct DeviceSlot {
    std::string label; // "Chung's trunk protector", "Hong's member 3 head gear"
    std::string name;  // the receiver's name of the slot: "CV", "HH3"
    int registered;
    std::string_view address;
};

std::vector<DeviceSlot> DeviceSlots(MatchData& md, bool team) {
    static constexpr const char* kParts[] = {"trunk protector", "head gear"};
    std::vector<DeviceSlot> all;
    if (!team) {
        for (int index = 0; index < 4; ++index)
            all.push_back({std::string(index < 2 ? "Chung's " : "Hong's ") + kParts[index % 2],
                           std::string(ProtectorName(index)), RegisteredFlag(md, index),
                           FieldText(AddressField(md, index))});
        return all;
    }
    for (int member = 1; member <= 6; ++member)
        for (int k = 0; k < 4; ++k)
            all.push_back({std::string(k < 2 ? "Chung's" : "Hong's") + " member " + std::to_string(member) +
                               " " + kParts[k % 2],
                           TeamDeviceName(member, k), MemberFlag(md, member, k),
                           FieldText(MemberAddress(md, member, k))});
    return all;
}

// An address as the dialog compares it: its hexadecimal digits, in lower case.
std::string AddressKey(std::string_view address) {
    std::string key;
    for (const char c : address)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// The refusal of an address that another slot than `name` holds: one device scores for one slot only.
std::optional<std::string> AddressHeldElsewhere(MatchData& md, bool team, const std::string& name,
                                                std::string_view address) {
    const std::string key = AddressKey(address);
    if (key.empty())
        return std::nullopt;
    for (const DeviceSlot& slot : DeviceSlots(md, team))
        if (slot.registered && slot.name != name && AddressKey(slot.address) == key)
            return "The device " + std::string(address) + " is already registered to " + slot.label +
                   ".\r\nRelease it there first.";
    return std::nullopt;
}

} // namespace

const CTK_RegDlg::MemberDevice* CTK_RegDlg::MemberDeviceOf(int index) {
    static const auto devices = [] {
        std::array<MemberDevice, 28> all{};
        for (int member = 1; member <= 6; ++member)
            for (int k = 0; k < 4; ++k)
                all[TeamDeviceIndex(member, k)] = {member, k, kMemberIds[member - 1][k][0],
                                                   kMemberIds[member - 1][k][1]};
        return all;
    }();
    if (index < 0 || index >= static_cast<int>(devices.size()) || devices[index].member == 0)
        return nullptr;
    return &devices[index];
}

void CTK_RegDlg::ShowMemberAddresses(bool onlyLost) {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    const int status = DeviceStatusLoad(md);
    for (int member = 1; member <= 6; ++member) {
        for (int k = 0; k < 4; ++k) {
            if (onlyLost && !(status & MemberStatusBit(member, k)))
                continue;
            const MemberDevice* device = MemberDeviceOf(TeamDeviceIndex(member, k));
            const bool shown = onlyLost || MemberFlag(md, member, k);
            SetDlgItemText(device->edit, shown ? Narrow(FieldText(MemberAddress(md, member, k))) : QString());
        }
    }
}

void CTK_RegDlg::ShowDeviceState() {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    if (m_bTeam)
        ShowMemberAddresses(false);
    for (int index = 0; index < 4 && !m_bTeam; ++index) {
        const bool registered = RegisteredFlag(md, index);
        SetDlgItemText(kPssButtons[index], Caption(index, registered));
        SetDlgItemText(kAddressEdits[index],
                       registered ? Narrow(FieldText(AddressField(md, index))) : QString());
    }
    for (int n = 0; n < kJudges; ++n) {
        const bool registered = md.bJudgeWired[n];
        if (registered)
            SetDlgItemText(kJudgeLabels[n],
                           md.nJudgeUse[n] ? QStringLiteral("OK") : Narrow(FieldText(md.szJudgeMac[n])));
        SetDlgItemText(kJudgeButtons[n], JudgeCaption(n, registered));
        static_cast<QCheckBox*>(GetDlgItem(kWiredChecks[n]))->setChecked(md.nJudgeUse[n]);
    }
    Colour();
}

void CTK_RegDlg::ResetDeviceButtons() {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    const int status = DeviceStatusLoad(md);
    if (m_bTeam)
        ShowMemberAddresses(true);
    // Status bits 0..3: Chung head, Chung trunk, Hong head, Hong trunk.
    static constexpr int kIndexOfBit[] = {1, 0, 3, 2};
    for (int bit = 0; bit < 4 && !m_bTeam; ++bit) {
        if (!(status & (1 << bit)))
            continue;
        const int index = kIndexOfBit[bit];
        SetDlgItemText(kPssButtons[index], Caption(index, false));
        SetDlgItemText(kAddressEdits[index], Narrow(FieldText(AddressField(md, index))));
    }
    for (int n = 0; n < kJudges; ++n) {
        if (!(status & (0x10 << n)))
            continue;
        SetDlgItemText(kJudgeButtons[n], JudgeCaption(n, false));
        SetDlgItemText(kJudgeLabels[n], QStringLiteral("None"));
    }
    Colour();
}

void CTK_RegDlg::ReadDeviceListEntries() {
    for (int i = 0; i < 4; ++i) {
        WCHAR value[kIniValueChars] = {};
        ReadIniString(u"DEVICE_LIST", kListKeys[i], value, u"DevMgr.ini");
        g_strDeviceListEntries[i] = value;
    }
}

void CTK_RegDlg::OnUseDeviceList() {
    const bool on = static_cast<QCheckBox*>(GetDlgItem(1053))->isChecked();
    GetDlgItem(1291)->setEnabled(on);
    if (!m_pMatchData)
        return;
    m_pMatchData->bUseDeviceList = on ? 1 : 0;
    WriteIniString(u"Rule", u"Use_Device_List", on ? u"1" : u"0", u"Rule.ini");
}

void CTK_RegDlg::OnUseWireConnection(int judge) {
    const bool on = static_cast<QCheckBox*>(GetDlgItem(kWiredChecks[judge]))->isChecked();
    if (m_pMatchData)
        m_pMatchData->nJudgeUse[judge] = on ? 1 : 0;
    const std::u16string section = u"JUDGE_" + std::u16string(1, static_cast<char16_t>(u'1' + judge));
    WriteIniString(section.c_str(), u"Use", on ? u"1" : u"0", u"JudgeDev.ini");
}

void CTK_RegDlg::RegisterPss(int index) {
    if (!m_pMatchData || index < 0 || index > 3)
        return;
    MatchData& md = *m_pMatchData;
    if (LinkUp() && FieldText(md.szContestNo).empty()) {
        MessageBox(GetSafeHwnd(), u"Please select a game to play first.", u"Information",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (RegisteredFlag(md, index)) {
        if (MessageBox(GetSafeHwnd(), u"Are you sure to disconnect this equipment?", u"Information",
                       MB_YESNO | MB_ICONQUESTION) == IDYES)
            ReleaseDevice(static_cast<unsigned>(index));
        return;
    }
    const bool useList = static_cast<QCheckBox*>(GetDlgItem(1053))->isChecked();
    const QString typed = GetDlgItemText(kAddressEdits[index]).trimmed();
    const PssRequest request = BuildPssRequest(index, typed.toStdU16String(), useList,
                                               g_strDeviceListEntries[index], md.bUsePreReg != 0);
    if (!request.send) {
        MessageBox(GetSafeHwnd(), request.message);
        return;
    }
    if (const auto held =
            AddressHeldElsewhere(md, false, std::string(ProtectorName(index)), typed.toStdString())) {
        MessageBox(GetSafeHwnd(), *held);
        return;
    }
    SendMessage(g_hMainWnd, UM_REGISTER_DEVICE, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(request.text.c_str()));
    ShowProgress(kProgressTexts[index]);
}

void CTK_RegDlg::RegisterJudge(int judge) {
    if (!m_pMatchData || judge < 0 || judge >= kJudges)
        return;
    MatchData& md = *m_pMatchData;
    if (md.bJudgeWired[judge]) {
        if (MessageBox(GetSafeHwnd(), u"Are you sure to disconnect this equipment?", u"Information",
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        if (md.nJudgeUse[judge])
            CloseJudgePort(judge);
        ReleaseDevice(static_cast<unsigned>(20 + judge));
        return;
    }
    if (!md.nJudgeUse[judge]) {
        SendMessage(g_hMainWnd, m_bTeam ? UM_REGISTER_TEAM_DEVICE : UM_REGISTER_DEVICE,
                    static_cast<WPARAM>(20 + judge), reinterpret_cast<LPARAM>(""));
        ShowProgress(kJudgeProgressTexts[judge]);
        return;
    }
    std::string why;
    if (OpenWiredJudge(judge, &why)) {
        ShowWiredJudgeConnected(judge);
    } else {
        MessageBox(GetSafeHwnd(), "Fail to connection!\r\nPlease check the wire connection!\r\n" + why);
    }
}

void CTK_RegDlg::ShowWiredJudgeConnected(int judge) {
    if (judge < 0 || judge >= kJudges)
        return;
    SetDlgItemText(kJudgeLabels[judge], QStringLiteral("OK"));
    SetDlgItemText(kJudgeButtons[judge], JudgeCaption(judge, true));
    Colour();
}

void CTK_RegDlg::ReleaseDevice(unsigned index) {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    // The view sends the release command before it returns; nothing follows here that the receiver must wait
    // for, so the user-interface thread does not pause.
    SendMessage(g_hMainWnd, m_bTeam ? UM_RELEASE_TEAM_DEVICE : UM_RELEASE_DEVICE, index, 0);
    if (m_bTeam) {
        if (const MemberDevice* device = MemberDeviceOf(static_cast<int>(index))) {
            MemberFlag(md, device->member, device->k) = 0;
            Put(MemberAddress(md, device->member, device->k), "");
            SetDlgItemText(device->edit, QString());
            Colour();
            return;
        }
    }
    if (index <= 3 && !m_bTeam) {
        RegisteredFlag(md, static_cast<int>(index)) = 0;
        SetDlgItemText(kPssButtons[index], Caption(static_cast<int>(index), false));
        if (!md.pOvrLink && !md.bOvrConnected) {
            Put(AddressField(md, static_cast<int>(index)), "");
            SetDlgItemText(kAddressEdits[index], QString());
        }
    } else if (index >= 20 && index <= 22) {
        const int judge = static_cast<int>(index) - 20;
        md.bJudgeWired[judge] = 0;
        SetDlgItemText(kJudgeButtons[judge], JudgeCaption(judge, false));
        SetDlgItemText(kJudgeLabels[judge], QStringLiteral("None"));
    }
    Colour();
}

void CTK_RegDlg::UpdateDeviceButtons(int kind, const char* text) {
    if (!m_pMatchData)
        return;
    const std::string copy = text ? text : "";
    if (kind != 0) {
        // Shown after a pause, without holding the receive thread that sent it.
        m_judgePaired.push_back(copy);
        if (m_judgePaired.size() == 1)
            SetTimer(kJudgePairedTimer, kJudgePairedMs);
        return;
    }
    MatchData& md = *m_pMatchData;
    const std::size_t comma = copy.find(',');
    const std::string name = copy.substr(0, comma);
    const std::string address = comma == std::string::npos
                                    ? std::string()
                                    : copy.substr(comma + 1, copy.find(',', comma + 1) - comma - 1);
    if (const auto held = AddressHeldElsewhere(md, m_bTeam, name, address)) {
        // The receiver paired a device another slot holds: it is let go again, so it scores once.
        DebugPrintf("pairing reply \"%s\": %s", copy.c_str(), held->c_str());
        for (int index = 0; index < 28; ++index) {
            const MemberDevice* device = m_bTeam ? MemberDeviceOf(index) : nullptr;
            if ((m_bTeam && device && TeamDeviceName(device->member, device->k) == name) ||
                (!m_bTeam && index < 4 && name == ProtectorName(index))) {
                SendMessage(g_hMainWnd, m_bTeam ? UM_RELEASE_TEAM_DEVICE : UM_RELEASE_DEVICE,
                            static_cast<WPARAM>(index), 0);
                break;
            }
        }
        // The receive thread waits in this send: the box shows once it is released.
        QTimer::singleShot(0, this, [this, text = *held] { MessageBox(GetSafeHwnd(), text); });
        return;
    }
    if (m_bTeam) {
        for (int member = 1; member <= 6; ++member) {
            for (int k = 0; k < 4; ++k) {
                if (name != TeamDeviceName(member, k))
                    continue;
                MemberFlag(md, member, k) = 1;
                Put(MemberAddress(md, member, k), address);
                SetDlgItemText(MemberDeviceOf(TeamDeviceIndex(member, k))->edit,
                               QString::fromStdString(address));
                Colour();
                return;
            }
        }
    }
    for (int index = 0; index < 4 && !m_bTeam; ++index) {
        if (name != ProtectorName(index))
            continue;
        RegisteredFlag(md, index) = 1;
        SetDlgItemText(kPssButtons[index], Caption(index, true));
        Put(AddressField(md, index), address);
        SetDlgItemText(kAddressEdits[index], QString::fromStdString(address));
        Colour();
        return;
    }
    DebugPrintf("pairing reply \"%s\" names no protector of this dialog; ignored", copy.c_str());
}

void CTK_RegDlg::OnTimer(UINT_PTR id) {
    if (id == TIMER_OVR_MATCH_LOAD) {
        ReadOvrMatchReply();
        return;
    }
    if (id != kJudgePairedTimer)
        return;
    KillTimer(kJudgePairedTimer);
    if (m_judgePaired.empty())
        return;
    const std::string text = m_judgePaired.front();
    m_judgePaired.pop_front();
    ApplyJudgePaired(text);
    if (!m_judgePaired.empty())
        SetTimer(kJudgePairedTimer, kJudgePairedMs);
}

void CTK_RegDlg::ApplyJudgePaired(const std::string& text) {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    const std::size_t comma = text.find(',');
    const std::string name = text.substr(0, comma);
    const std::string address = comma == std::string::npos
                                    ? std::string()
                                    : text.substr(comma + 1, text.find(',', comma + 1) - comma - 1);
    for (int n = 0; n < kJudges; ++n) {
        if (name != "judge" + std::to_string(n + 1))
            continue;
        md.bJudgeWired[n] = 1;
        Put(md.szJudgeMac[n], address);
        SetDlgItemText(kJudgeButtons[n], JudgeCaption(n, true));
        SetDlgItemText(kJudgeLabels[n], QString::fromStdString(address));
        Colour();
        return;
    }
    DebugPrintf("judge pairing reply \"%s\" names no judge; ignored", text.c_str());
}

void CTK_RegDlg::RegisterMemberPss(int index) {
    const MemberDevice* device = MemberDeviceOf(index);
    if (!m_pMatchData || !device)
        return;
    MatchData& md = *m_pMatchData;
    if (LinkUp() && FieldText(md.szContestNo).empty()) {
        MessageBox(GetSafeHwnd(), u"Please select a game to play first.", u"Information",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (MemberFlag(md, device->member, device->k)) {
        if (MessageBox(GetSafeHwnd(), u"Are you sure to disconnect this equipment?", u"Information",
                       MB_YESNO | MB_ICONQUESTION) == IDYES)
            ReleaseDevice(static_cast<unsigned>(index));
        return;
    }
    const QString typed = GetDlgItemText(device->edit).trimmed();
    const PssRequest request = BuildTeamPssRequest(index, typed.toStdU16String());
    if (!request.send) {
        MessageBox(GetSafeHwnd(), request.message);
        return;
    }
    if (const auto held =
            AddressHeldElsewhere(md, true, TeamDeviceName(device->member, device->k), typed.toStdString())) {
        MessageBox(GetSafeHwnd(), *held);
        return;
    }
    SendMessage(g_hMainWnd, UM_REGISTER_TEAM_DEVICE, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(request.text.c_str()));
    static constexpr const char* kParts[] = {"trunk pss", "head gear"};
    const QString text = QStringLiteral("Registering the %1 %2's %3 ...")
                             .arg(device->k < 2 ? "Chung" : "Hong")
                             .arg(device->member)
                             .arg(kParts[device->k % 2]);
    ShowProgress(text.toStdU16String());
}

void CTK_RegDlg::CloseJudgePort(int judge) {
    CloseWiredJudge(judge);
}

void CTK_RegDlg::ShowProgress(const std::u16string& text) {
    CTK_ProgDlg progress(text, this);
    progress.DoModal();
}
