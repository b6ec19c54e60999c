#include "match/RoundResultRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"

namespace RoundResultRules {

namespace {

SideCounts SideOf(const MatchData& md, int side, int r) {
    const TTK_SideScore& own = md.aSide[side];
    const TTK_SideScore& other = md.aSide[1 - side];
    const auto tally = [&](int row) { return own.nTechTally[row][r]; };
    // The technical points are counted with their kick; the counters show the kicks without them.
    const auto without = [&](int row, int technical) {
        const int tech = tally(technical);
        return tech > 0 ? tally(row) - tech : tally(row);
    };
    SideCounts c;
    c.total = own.nRoundScore[r] + other.nRoundPenaltyPoints1[r] + other.nRoundPenaltyPoints2[r];
    c.gamJeoms = own.nRoundPenalty1[r] + own.nRoundPenalty2[r];
    c.opponentGamJeoms = other.nRoundPenalty1[r] + other.nRoundPenalty2[r];
    c.head = without(ScoreRules::kHeadCount, ScoreRules::kHeadTechCount);
    c.trunk = without(ScoreRules::kTrunkCount, ScoreRules::kTrunkTechCount);
    c.punch = tally(ScoreRules::kPunchCount);
    c.turning = tally(ScoreRules::kTechTotal);
    c.pssHits = own.nPssHits[r + 1];
    c.team = md.nCompetitionType == 1 ? tally(ScoreRules::kKnockdownPoints) : 0;
    return c;
}

} // namespace

Counts RoundCounts(const MatchData& md, int roundIndex) {
    Counts counts;
    // nPssHits is indexed by the 1-based round, so round index kMaxRounds - 1 is its last entry too.
    if (roundIndex < 0 || roundIndex >= kMaxRounds || roundIndex + 1 >= kRoundNumberSlots)
        return counts;
    for (int side = 0; side < 2; ++side)
        counts.side[side] = SideOf(md, side, roundIndex);
    return counts;
}

Outcome Decide(const Counts& counts, int gamJeomLimit) {
    const SideCounts& chung = counts.side[0];
    const SideCounts& hong = counts.side[1];
    Outcome out;
    if (gamJeomLimit > 0 && chung.gamJeoms >= gamJeomLimit) {
        out.winner = kHong;
        out.reason = kGamJeomLimit;
        return out;
    }
    if (gamJeomLimit > 0 && hong.gamJeoms >= gamJeomLimit) {
        out.winner = kChung;
        out.reason = kGamJeomLimit;
        return out;
    }
    if (chung.total != hong.total) {
        out.winner = chung.total > hong.total ? kChung : kHong;
        out.reason = kPoints;
        return out;
    }
    struct Step {
        int criterion;
        int chung;
        int hong;
        bool smallerWins;
    };
    const Step steps[] = {
        {kTeamRow, chung.team, hong.team, false},       {kTurning, chung.turning, hong.turning, false},
        {kHeadCount, chung.head, hong.head, false},     {kTrunkCount, chung.trunk, hong.trunk, false},
        {kPunchCount, chung.punch, hong.punch, false},  {kFewerGamJeoms, chung.gamJeoms, hong.gamJeoms, true},
        {kPssHits, chung.pssHits, hong.pssHits, false},
    };
    out.showPopup = true;
    for (const Step& s : steps) {
        if (s.chung == s.hong)
            continue;
        const bool chungWins = (s.chung > s.hong) != s.smallerWins;
        out.winner = chungWins ? kChung : kHong;
        out.reason = kSuperiority;
        out.popupWinner = out.winner - 1;
        out.criterion = s.criterion;
        return out;
    }
    out.winner = kDraw;
    out.reason = kDecideNow;
    out.popupWinner = 2;
    out.criterion = 0;
    return out;
}

QString WinnerText(int winner) {
    if (winner == kChung)
        return QStringLiteral("WINNER : BLUE");
    if (winner == kHong)
        return QStringLiteral("WINNER : RED");
    return QStringLiteral("DRAW");
}

QString TitleText(int roundIndex) {
    return QStringLiteral("%1 Round Results").arg(roundIndex + 1);
}

} // namespace RoundResultRules
