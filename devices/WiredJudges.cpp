// The operator view and the wired judge devices: the side frame after a scored hit, and a judge whose
// wire is pulled, lost as a wireless judge's device is lost and opened again when its port answers.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "devices/JudgeFrame.h"
#include "devices/JudgeSerialPort.h"
#include "devices/PacketDispatch.h"
#include "platform/DebugOutput.h"
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include <algorithm>

void CMainWnd::NotifyWiredJudges(int side) {
    const MatchData* md = g_pMatchData;
    if (!md || (side != 0 && side != 1))
        return;
    const auto frame = JudgeFrame::SideFrame(side);
    for (int judge = 0; judge < std::min(md->nJudgeNumber, kJudges); ++judge) {
        JudgeSerialPort& port = g_JudgeSerial[judge];
        if (md->nJudgeUse[judge] && port.bOpened && port.IsOpen())
            port.Write(frame.data());
    }
}

void CMainWnd::OnWiredJudgeLost(int judge) {
    MatchData* md = g_pMatchData;
    if (!md || judge < 1 || judge > kJudges)
        return;
    JudgeSerialPort& port = g_JudgeSerial[judge - 1];
    if (!port.bOpened)
        return; // closed meanwhile by the registration dialog
    port.Close();
    port.bOpened = 0;
    port.bLost = 1;
    DebugPrintf("wired judge %d lost: port %s hung up", judge, port.PortName().c_str());
    // The device check stops the round, shows the judge's pop-up and brings up the registration.
    DeviceStatusSet(*md, DeviceLostBit("judge" + std::to_string(judge)));
}

void CMainWnd::ReopenReturnedWiredJudges() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    for (int judge = 0; judge < kJudges; ++judge) {
        if (!g_JudgeSerial[judge].bLost || !md->nJudgeUse[judge] || !OpenWiredJudge(judge))
            continue;
        DebugPrintf("wired judge %d back on port %s", judge + 1, g_JudgeSerial[judge].PortName().c_str());
        DeviceStatusClear(*md, DeviceLostBit("judge" + std::to_string(judge + 1)));
        for (CTK_RegDlg* dialog : {m_pRegDlg, static_cast<CTK_RegDlg*>(m_pRegDlgTeam)})
            if (dialog)
                dialog->ShowWiredJudgeConnected(judge);
    }
}
