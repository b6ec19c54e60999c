// The score event record: the common tail of every score change. It writes the history row of the side's
// event list and the logs, then applies the rules that end a round or the match at once.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "match/ScoreRules.h"
#include "platform/Sound.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"

#include <QTableWidgetItem>

#include <algorithm>
#include <cstdint>

using namespace ScoreRules;

namespace {

constexpr int kEventList[2] = {1081, 1080}; // Chung, Hong
constexpr int kHistoryColumns = 5;          // number, round, points, technique, time

// Decision kinds of the rules below.
constexpr int kPointGapDecision = 1;
constexpr int kGoldenPointDecision = 2;
constexpr int kGamJeomLimitDecision = 7;
constexpr int kPointCeilingDecision = 9;
// Reasons the round result dialog is given.
constexpr int kPointsReason = 1;
constexpr int kGamJeomReason = 7;
constexpr int kRoundOverReason = 11;

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The time a history row shows: a round that has ended, or whose clock has run out, shows "0:00".
std::u16string_view HistoryTime(const CMainWnd& view, const MatchData& md, std::u16string_view time) {
    const int state = md.nGameState;
    if (state == 4 || state == 5 || (state == 7 && view.m_nShownSeconds == 0))
        return u"0:00";
    return time;
}

void AddHistoryRow(CMainWnd& view, const MatchData& md, int side, int kind, int removal, int points,
                   std::u16string_view time) {
    CMyListCtrl* list = view.EventList(kEventList[side]);
    if (list->columnCount() < kHistoryColumns)
        list->setColumnCount(kHistoryColumns);
    const int n = view.m_nHistoryRows[side]++;
    // The counter and the list agree unless the list was emptied on its own; the row then goes last.
    const int row = std::min(n, list->rowCount());
    list->insertRow(row);
    const QString texts[kHistoryColumns] = {
        QString::number(n + 1),
        QString::number(md.nCurRound),
        (removal ? QStringLiteral("(-)%1") : QStringLiteral("(+)%1")).arg(points),
        Q(TechniqueText(kind)),
        Q(HistoryTime(view, md, time)),
    };
    for (int column = 0; column < kHistoryColumns; ++column)
        list->setItem(row, column, new QTableWidgetItem(texts[column]));
    list->ShowLastRow();
}

// Sets the decision fields and hands the decision over, the clock stopped first.
void Decide(CMainWnd& view, MatchData& md, int winner, int decision) {
    view.StopAll();
    md.nWinSide = winner;
    md.nDecisionKind = decision;
    md.nWinRound = md.nCurRound;
    view.DecideWinner(winner, decision);
}

// Under the round-win system a rule ends only the round: the round result dialog takes the winner.
void EndRoundFor(CMainWnd& view, MatchData& md, int winner, int reason) {
    if (md.nGameState == 3)
        view.StopAll();
    view.ShowDecisionPopup(reason, winner + 1);
    view.ShowRoundResultDialog(RoundIndex(md), winner + 1, reason);
}

// The rules that end a round or the match at once, in their order; the first that applies ends the check.
void ApplyEndingRules(CMainWnd& view, MatchData& md, int side, int kind, int removal, int points) {
    const bool roundWins = UsesRoundWins(md);
    const int opponent = side == 0 ? 1 : 0;

    if (md.bUsePointCeil) {
        if (const int winner = PointCeilingWinner(md); winner >= 0) {
            if (!roundWins) {
                Decide(view, md, winner, kPointCeilingDecision);
            } else {
                if (md.nGameState == 3)
                    view.StopAll();
                PlaySound(AppPath(u"Sound/boong.wav"));
                view.ShowRoundResultDialog(RoundIndex(md), winner + 1, kPointsReason);
            }
            return;
        }
    }

    if (md.bUsePointGap && (roundWins || md.nCurRound >= FirstPointGapRound(md))) {
        if (const int winner = PointGapWinner(md); winner >= 0) {
            if (roundWins)
                EndRoundFor(view, md, winner, kPointsReason);
            else
                Decide(view, md, winner, kPointGapDecision);
            return;
        }
    }

    if (!IsGoldenRound(md)) {
        // A limit of 0 is a missing setting, not a limit every side has reached.
        if (md.nGamJeom > 0) {
            const TTK_SideScore& own = md.aSide[side];
            if (roundWins && RoundGamJeoms(md, side) >= md.nGamJeom) {
                EndRoundFor(view, md, opponent, kGamJeomReason);
                return;
            }
            if (!roundWins && own.nPenaltyCount1 + own.nPenaltyCount2 >= md.nGamJeom) {
                Decide(view, md, opponent, kGamJeomLimitDecision);
                return;
            }
        }
        if (roundWins && md.bRoundOver) {
            view.ShowRoundResultDialog(RoundIndex(md), 0, kRoundOverReason);
        } else if (md.nCompetitionType == 1 && md.nCurRound == md.nRound && md.bTeamDrawUse &&
                   view.m_nShownSeconds == 0) {
            view.ShowDlgItem(OperatorIds::Draw, MatchTotal(md, 0) == MatchTotal(md, 1));
        }
        return;
    }

    const int target = GoldenPointTarget(md);
    const bool bothBelow = RoundTotal(md, 0) < target && RoundTotal(md, 1) < target;
    if (removal) {
        if (bothBelow && md.nRemainTime == 0)
            view.DecideRoundEnd();
        return;
    }
    if (md.nCompetitionType == 2) {
        // Only a scoring technique or the gam-jeom that reaches the target names a winner; anything else
        // leaves the round running.
        int winner = -1;
        if ((kind == kPunch || kind == kTrunk || kind == kHead) && points > 0)
            winner = side;
        else if (kind == kGamJeom && RoundGamJeoms(md, side) >= target)
            winner = opponent;
        if (winner >= 0)
            Decide(view, md, winner, kGoldenPointDecision);
        return;
    }
    if (bothBelow) {
        if (md.nRemainTime == 0)
            view.DecideRoundEnd();
        return;
    }
    Decide(view, md, RoundTotal(md, 0) < target ? 1 : 0, kGoldenPointDecision);
}

} // namespace

void CMainWnd::RecordScoreEvent(std::u16string_view time, int side, int kind, int removal, int points,
                                int source, int extra) {
    if (!g_pMatchData || side < 0 || side > 1)
        return;
    MatchData& md = *g_pMatchData;

    ShowRoundLeader();
    SendTvgMessage(md.nTvgSupplier, 0, u"", u"", u"");
    AddHistoryRow(*this, md, side, kind, removal, points, time);
    ShowRoundBreakdown();

    const int logged = LoggedPoints(md, kind, points, removal);
    const int logKind = kind == kValidPunch && source != kDevice ? kLoggedPunch : kind;
    const std::uint32_t stamp = source == kDevice ? m_nLastInputTime : 2000;
    if (side == 0)
        LogChungEvent(time, logKind, logged, 1, stamp);
    else
        LogHongEvent(time, logKind, logged, 1, stamp);
    ReleaseLinks(); // the log has committed (or not logged) the event: the held notices go out

    if (kind >= 0 && kind <= kDoubleGamJeom && m_bLogOpen) {
        const int code = HistoryLogCode(removal, source, -1, kind);
        const int group = HistoryMarkKind(md, kind, removal, source);
        if (code >= 0 && group >= 0)
            LogMatchEvent(md.nCurRound, code, time, side, group, logged, extra);
    }

    ApplyEndingRules(*this, md, side, kind, removal, points);
}
