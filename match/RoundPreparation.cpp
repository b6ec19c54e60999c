// Before the round clock runs for a new round: the clock set to the round's length and every per-round
// trace of the round before cleared (judge presses and slots, hit levels, tags, round marks).
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Timers.h"
#include "match/ClockRules.h"
#include "match/MatchFlowSteps.h"
#include "records/MatchRecords.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QString>

#include <algorithm>
#include <cstring>

using namespace MatchFlowSteps;

void CMainWnd::ResetJudgeWindow(int side) {
    if (side < 0 || side > 1)
        return;
    // Both windows of the side: a window left running would close on the next round's first press.
    KillTimer(TIMER_JUDGE_WINDOW[side]);
    KillTimer(TIMER_JUDGE_WINDOW_B[side]);
    for (int& count : m_nJudgeWindowCount[side])
        count = 0;
    m_bTrunkHit[side] = 0;
    m_bHeadHit[side] = 0;
}

void CMainWnd::PrepareRound() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    PlayFlowSound(u"boong");

    if (md->nCurRound > md->nRound && md->nCompetitionType == 1)
        ClearRoundWins();
    const int seconds = ClockRules::RoundLengthSeconds(*md);
    md->nRemainTime = seconds * 1000;
    md->nLastTick = md->nRemainTime;

    m_nShownSeconds = seconds;
    m_nRoundSteps = 0;
    m_nBoongSecond = -1;
    m_nTagMarkMs = md->nRemainTime;
    for (int side = 0; side < 2; ++side) {
        m_bTagActive[side] = 0;
        m_nTagStartMs[side] = 0;
        m_nPunchState[side] = 0;
    }
    m_bJointTag = 0;
    if (m_pExtScrDlg) {
        const int tagMs = md->nTeamTagTime * 1000;
        m_pExtScrDlg->UpdateTagPanel(0, 0, tagMs, tagMs);
        m_pExtScrDlg->SetSideIndicators(0, 0);
        m_pExtScrDlg->UpdateRoundScores();
    }

    ShowRoundNumber(md->nCurRound);
    if (md->nCompetitionRule == 1) {
        SetDlgItemText(OperatorIds::ScoreChung, QStringLiteral("0"));
        SetDlgItemText(OperatorIds::ScoreHong, QStringLiteral("0"));
        // Each round starts from nothing on the arena's screen as well.
        if (m_pExtScrDlg)
            m_pExtScrDlg->SetScores(0, 0, md->nReverseScreen);
        ShowRoundBreakdown();
    } else if (md->nCurRound > md->nRound) {
        const int r = std::min(md->nCurRound, kMaxRounds) - 1;
        ShowScores(md->aSide[0].nRoundScore[r], md->aSide[1].nRoundScore[r]);
    }

    if (md->nCurRound < 2) {
        if (m_bLogOpen)
            WriteMatchLogTimes(0);
    } else if (md->nCompetitionRule != 1) {
        // The round before is decided by its round totals: 1 Chung, 2 Hong, 3 a tie.
        const int r = std::min(md->nCurRound, kMaxRounds) - 2;
        const auto roundTotal = [&](int side) {
            const TTK_SideScore& other = md->aSide[side ^ 1];
            return md->aSide[side].nRoundScore[r] + other.nRoundPenaltyPoints1[r] +
                   other.nRoundPenaltyPoints2[r];
        };
        const int chung = roundTotal(0);
        const int hong = roundTotal(1);
        DecideRoundWinner(r, chung > hong ? 1 : hong > chung ? 2 : 3, 0, 1);
    }

    ClearHitLevels();
    ShowRoundLeader();

    for (int side = 0; side < 2; ++side) {
        TTK_SideScore& s = md->aSide[side];
        std::memset(s.aJudgePress, 0, sizeof s.aJudgePress);
        // The presses' own tiles too: the round before's last press would stay painted through the round.
        for (int j = 0; j < kJudges; ++j)
            update(OperatorLayout::JudgePress(side, j));
        InvalidateJudgeRows(side);
        std::memset(s.aJudgeSlot, 0, sizeof s.aJudgeSlot);
        std::memset(s.aSlotState, 0, sizeof s.aSlotState);
        CompactJudgeSlots(side);
        if (m_pExtScrDlg)
            m_pExtScrDlg->InvalidateSlotRow(side, md->nReverseScreen);
        ResetJudgeWindow(side);
        for (int& index : m_nSlotIndex[side])
            index = -1;
        m_nSlotCount[side] = 0;
        m_nCurrentSlot[side] = -1;
    }

    if (md->nCurRound >= 1 && md->nCurRound <= kMaxRounds)
        md->bRoundEnded[md->nCurRound - 1] = 0;
    LogFlowEvent(*this, 0, u"0:00");
}
