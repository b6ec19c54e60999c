// The end of a round settled by the rules: the point gap and the point ceiling, the cascade at the end of a
// golden-point round, and the round the round result dialog decided.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "match/RoundWinnerRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"

#include <QPushButton>
#include <QString>

#include <string>

namespace {

constexpr int kWinnerCancelButton = 1000;
constexpr int kSuperiorityButton = 1053;
constexpr int kSuperiorityDecision = 4;
// Round result reasons: the gam-jeom limit and the reason that also ends the round at once.
constexpr int kGamJeomLimitReason = 1;
constexpr int kEndNowReason = 7;
constexpr int kSuperiorityReason = 4;
constexpr int kNoRoundWinner = 11;

std::u16string Num(int value) {
    return QString::number(value).toStdU16String();
}

// The round-winner record has one entry per round; a message about no valid round must not write outside it.
bool ValidRound(const MatchData& md) {
    return md.nCurRound >= 1 && md.nCurRound <= kMaxRounds;
}

} // namespace

bool CMainWnd::CheckPointGap(int* side) {
    *side = 0;
    const MatchData* md = g_pMatchData;
    if (!md)
        return false;
    // The same gap rule as the score record's, so the clock and a score change never disagree.
    const int winner = ScoreRules::PointGapWinner(*md);
    if (winner < 0)
        return false;
    *side = winner;
    return true;
}

bool CMainWnd::CheckPointCeiling(int* side) {
    *side = 0;
    const MatchData* md = g_pMatchData;
    if (!md)
        return false;
    const int winner = ScoreRules::PointCeilingWinner(*md);
    if (winner < 0)
        return false;
    *side = winner;
    return true;
}

void CMainWnd::DecideRoundEnd() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    md->nGameState = 5;
    SendControlCharEvent(9, Num(md->aSide[0].nPssHits[0]), Num(md->aSide[1].nPssHits[0]), u"");

    md->nWinSide = RoundWinnerRules::GoldenRoundWinner(*md);
    if (md->nMonitorCount >= 2 && md->nCompetitionType != 2)
        ShowSuperiorityScreen();
    QPushButton* superiority = Button(kSuperiorityButton);
    superiority->setCheckable(true);
    superiority->setChecked(true);
    ShowDlgItem(kSuperiorityButton, true);

    // Undecided: the operator settles it with the winner buttons.
    if (md->nWinSide != 0 && md->nWinSide != 1)
        return;
    if (!ConfirmRoundEndWinner(md->nWinSide, kSuperiorityDecision)) {
        CloseRoundEndScreens();
        ShowDlgItem(kWinnerCancelButton, false);
        md->nGameState = 7;
        return;
    }
    if (md->nMonitorCount >= 2)
        ShowRoundWinnerScreens(md->nWinSide);
    // The golden round's decision writes no round record; cancelled, it leaves the round stopped.
    m_roundDecision = {};
    m_nStateBeforeDecision = 7;
    RecordConfirmedDecision();
    md->nGameState = 11;
}

void CMainWnd::EndRound(int winner, int reason) {
    MatchData* md = g_pMatchData;
    if (!md || winner == kNoRoundWinner)
        return;
    // A round result confirmed after the match was decided or finished would reopen it.
    if (md->nGameState == 11 || md->nGameState == 0) {
        DebugPrintf("round winner %d for round %d ignored: the match is decided or finished", winner,
                    md->nCurRound);
        return;
    }
    // Only a decided round is final; anything else would close the round without a winner.
    if ((winner != 1 && winner != 2) || !ValidRound(*md)) {
        DebugPrintf("round winner %d for round %d ignored", winner, md->nCurRound);
        return;
    }
    if (reason == kGamJeomLimitReason || reason == kEndNowReason) {
        if (md->nOvrSupplier == 8)
            m_JsonQueue.Append(6);
        KillTimer(TIMER_ROUND_CLOCK);
        md->nLastTick = md->nRemainTime = 0;
        ShowClockMs(0);
        md->nGameState = 5;
        SendWtMessage(0, 0, 5, 0);
        UpdateStateDisplay();
        SetTimer(TIMER_ROUND_END_DELAY, 2000);
        m_bRoundEndPending = 1;
        PrepareRest(false);
    } else {
        reason = reason == kSuperiorityReason ? kSuperiorityReason : 0;
    }
    const int r = md->nCurRound - 1;
    DecideRoundWinner(r, winner, reason, 1);
    md->bRoundEnded[r] = 1;
}
