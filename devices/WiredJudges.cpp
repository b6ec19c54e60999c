// The operator view and the wired judge devices: the side frame after a scored hit.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "devices/JudgeFrame.h"
#include "devices/JudgeSerialPort.h"

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
