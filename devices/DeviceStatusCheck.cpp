#include "devices/DeviceStatusCheck.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Timers.h"
#include "devices/PacketDispatch.h"
#include "platform/DebugOutput.h"

#include <string_view>

namespace {

struct Protector {
    const char* prefix; // the name without its member digit
    const char* message;
    bool chung;
    bool head;
};

// In the order of their status bits within a team member.
constexpr Protector kProtectors[] = {
    {"CH", "CHUNG - ( Headgear Communication Error! )", true, true},
    {"CV", "CHUNG - (Trunk Protector Communication Error! )", true, false},
    {"HH", "HONG - ( Headgear Communication Error! )", false, true},
    {"HV", "HONG - ( Trunk Protector Communication Error! )", false, false},
};

constexpr const char* kJudgeMessages[] = {
    "Judge 1 - ( Judge device Communication Error! )",
    "Judge 2 - ( Judge device Communication Error! )",
    "Judge 3 - ( Judge device Communication Error! )",
};

constexpr int kTeamMembers = 6;

std::string ProtectorName(const Protector& p, int member) {
    std::string name = p.prefix;
    if (member > 1)
        name += static_cast<char>('0' + member);
    return name;
}

// Clears the registered flag of a lost device: protectors by player slot (0 Chung, 1 Hong, then the team
// members in pairs), judge devices by their number.
void ForgetRegistration(MatchData& md, std::string_view name) {
    if (name.starts_with("judge")) {
        md.bJudgeWired[name[5] - '1'] = 0;
        return;
    }
    const int member = name.size() == 3 ? name[2] - '0' : 1;
    const int slot = 2 * (member - 1) + (name[0] == 'C' ? 0 : 1);
    (name[1] == 'H' ? md.bRegHead : md.bRegBody)[slot] = 0;
}

// A judge whose device is on the wire: the receiver knows nothing of it.
bool WiredJudge(const MatchData& md, std::string_view name) {
    return name.starts_with("judge") && md.nJudgeUse[name[5] - '1'];
}

} // namespace

DeviceStatusPlan PlanDeviceStatusCheck(int previous, int current, int competitionType, int gameState) {
    DeviceStatusPlan plan;
    if (previous == current)
        return plan;
    plan.changed = true;
    const bool team = competitionType == 1;
    plan.lostCommand = team ? 47 : 46;

    const int newlyLost = current & ~previous;
    for (int member = 1; member <= (team ? kTeamMembers : 1); ++member)
        for (const Protector& p : kProtectors) {
            const std::string name = ProtectorName(p, member);
            if (newlyLost & DeviceLostBit(name))
                plan.lost.push_back({name, p.message});
        }
    for (int judge = 1; judge <= 3; ++judge) {
        const std::string name = "judge" + std::to_string(judge);
        if (newlyLost & DeviceLostBit(name))
            plan.lost.push_back({name, kJudgeMessages[judge - 1]});
    }

    if (current == 0)
        return plan;
    plan.showPopup = true;
    plan.stopRound = gameState == 3;
    if (current & kReceiverLostStatusBit) {
        plan.popupText = "Receiver disconnect error";
    } else if (!plan.lost.empty()) {
        plan.popupText = plan.lost.back().message;
        plan.releaseCommand = team ? 50 : 44;
        plan.releaseName = plan.lost.back().name;
    }
    return plan;
}

void CMainWnd::CheckDeviceStatus() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    ReopenReturnedWiredJudges();
    // Read once and compared with what the previous check read (not with the snapshot, which is copied
    // later in the tick): the receive thread may change the status at any moment, and the next check sees
    // every change exactly once.
    const int status = DeviceStatusLoad(*md);
    const DeviceStatusPlan plan =
        PlanDeviceStatusCheck(m_nCheckedDeviceStatus, status, md->nCompetitionType, md->nGameState);
    m_nCheckedDeviceStatus = status;
    if (!plan.changed)
        return;
    for (const LostDeviceNotice& lost : plan.lost) {
        OutputDebugString(lost.message);
        ForgetRegistration(*md, lost.name);
        if (!WiredJudge(*md, lost.name))
            SendReceiverCommand(plan.lostCommand, lost.name.c_str());
    }
    ShowDeviceErrorPopup(0);
    if (!plan.showPopup)
        return;
    if (plan.stopRound) {
        KillTimer(TIMER_ROUND_CLOCK);
        OnClickedStop();
    }
    ShowDeviceErrorPopup(1);
    DebugPrintf("device-error pop-up shown: %s", plan.popupText.c_str());
    if (plan.releaseCommand == 0)
        return;
    if (!WiredJudge(*md, plan.releaseName))
        SendReceiverCommand(plan.releaseCommand, plan.releaseName.c_str());
    ShowRegistrationForLostDevices();
}
