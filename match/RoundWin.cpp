// The single writer of the round-winner record: each round's winner, the round wins, their marks on both
// screens and the notices of a round won under the round-win system.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/RoundWinRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "records/MatchRecords.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QString>

#include <string>

namespace {

std::u16string Num(int value) {
    return QString::number(value).toStdU16String();
}

void SendRoundWinNotices(CMainWnd& view, const MatchData& md, int roundIndex, int winner, int notify) {
    if (md.nOvrSupplier == 8)
        view.m_JsonQueue.Append(JsonActionQueue::kIntermediateResult, roundIndex + 1);
    if (md.nOvrSupplier == 4)
        view.SendBracketEvent(8, u"", u"", u"");
    if (notify)
        view.SendWtMessage(0, 20, winner - 1, roundIndex + 1);
    view.SendIvrMessage(12, winner == RoundWinRules::kChung ? u"B" : u"R", Num(md.aSide[0].nRoundWins),
                        Num(md.aSide[1].nRoundWins), u"");
    if (md.nOvrSupplier == 3)
        UpdateTournamentWinCounts();
}

} // namespace

void CMainWnd::DecideRoundWinner(int roundIndex, int winner, int reason, int notify) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (!RoundWinRules::Record(*md, roundIndex, winner, reason)) {
        DebugPrintf("round winner %d for round index %d ignored", winner, roundIndex);
        return;
    }
    if (ScoreRules::UsesRoundWins(*md)) {
        ShowRoundWinners(1);
        SendRoundWinNotices(*this, *md, roundIndex, winner, notify);
    } else if (RoundWinRules::IsTeamGoldenBout(*md)) {
        // The next member bout starts from nothing.
        RoundWinRules::ClearGoldenBout(*md);
        for (int side = 0; side < 2; ++side)
            ResetSlotCursors(side);
        update();
        ShowScores(0, 0);
        UpdatePenaltyDisplay(0, 0);
    }

    if (m_pExtScrDlg)
        m_pExtScrDlg->ShowRoundWinMarks(md->nReverseScreen);
    for (int i = 0; i < 2; ++i) {
        ShowDlgItem(OperatorIds::RoundWonChung[i], false);
        ShowDlgItem(OperatorIds::RoundWonHong[i], false);
    }
    // Two marks per side; a count of three or more is not a round-win count and shows none.
    for (int side = 0; side < 2; ++side) {
        const int wins = md->aSide[side].nRoundWins;
        if (wins >= 3)
            continue;
        for (int i = 0; i < wins; ++i)
            ShowDlgItem(side == 0 ? OperatorIds::RoundWonChung[i] : OperatorIds::RoundWonHong[i], true);
    }
}
