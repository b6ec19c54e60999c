// The tournament results database's writes of the match in progress: built here on the UI thread from
// the match record and the current match's codes, written by the tournament writer's worker.
#include "records/MatchRecords.h"

#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "devices/PacketDispatch.h"
#include "records/TournamentWriter.h"

#include <cstring>
#include <mutex>

void SetTournamentMatchPlaying() {
    TheTournamentWriter().Post({MatchStatusStatement("2", CurrentTournamentCodes(g_MatchInfoCur))});
}

void SetTournamentCurrentRound() {
    if (g_pMatchData)
        TheTournamentWriter().Post(
            {CurrentRoundStatement(g_pMatchData->nCurRound, CurrentTournamentCodes(g_MatchInfoCur))});
}

void UpdateTournamentScore(int side) {
    if (g_pMatchData && side >= 0 && side <= 2)
        TheTournamentWriter().Post(
            ScoreStatements(*g_pMatchData, side, CurrentTournamentCodes(g_MatchInfoCur)));
}

void UpdateTournamentWinCounts() {
    if (g_pMatchData)
        TheTournamentWriter().Post(WinCountStatements(*g_pMatchData, CurrentTournamentCodes(g_MatchInfoCur)));
}

void UpdateCourtReceiver() {
    if (!g_pMatchData)
        return;
    int channel, panId;
    BYTE address[8];
    {
        std::lock_guard lock(g_receiverNetworkLock); // the receive thread writes them
        channel = g_nReceiverChannel;
        panId = g_nReceiverPanId;
        std::memcpy(address, g_abReceiverMac, sizeof address);
    }
    TheTournamentWriter().Post({CourtReceiverStatement(channel, panId, address, g_pMatchData->nCourtNo)});
}
