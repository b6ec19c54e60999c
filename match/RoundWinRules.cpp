#include "match/RoundWinRules.h"

#include "app/MatchData.h"
#include "match/NewMatch.h"
#include "match/ScoreRules.h"

#include <algorithm>
#include <iterator>

namespace RoundWinRules {

namespace {

// The golden round's index, kept inside the per-round arrays whatever Rule.ini says.
int GoldenIndex(const MatchData& md) {
    return std::clamp(md.nRound, 0, kMaxRounds - 1);
}

} // namespace

bool ValidWinner(int winner) {
    return winner == kChung || winner == kHong || winner == kClosed;
}

bool ValidRound(int roundIndex) {
    return roundIndex >= 0 && roundIndex < kMaxRounds;
}

void RecountWins(MatchData& md, int roundIndex) {
    const int last = std::clamp(std::max(md.nCurRound - 1, roundIndex), -1, kMaxRounds - 1);
    int wins[2] = {};
    for (int i = 0; i <= last; ++i)
        if (md.nRoundWinner[i] == kChung || md.nRoundWinner[i] == kHong)
            ++wins[md.nRoundWinner[i] - 1];
    md.aSide[0].nRoundWins = wins[0];
    md.aSide[1].nRoundWins = wins[1];
}

int HigherTotal(int chung, int hong) {
    return chung > hong ? kChung : hong > chung ? kHong : kNone;
}

int GoldenBoutWinner(int chung, int hong, int goldenPoints) {
    if (chung >= goldenPoints)
        return kChung;
    return hong >= goldenPoints ? kHong : kNone;
}

bool IsTeamGoldenBout(const MatchData& md) {
    return md.nCompetitionType == 1 && md.nCurRound >= md.nRound + 1;
}

void ClearGoldenBout(MatchData& md) {
    const int r = GoldenIndex(md);
    for (TTK_SideScore& side : md.aSide) {
        side.nRoundScore[r] = 0;
        side.nRoundPenalty1[r] = side.nRoundPenalty2[r] = 0;
        side.nRoundPenaltyPoints1[r] = side.nRoundPenaltyPoints2[r] = 0;
        for (auto& row : side.nTechTally)
            row[r] = 0;
    }
}

bool Record(MatchData& md, int roundIndex, int winner, int reason) {
    if (!ValidWinner(winner) || !ValidRound(roundIndex))
        return false;
    if (ScoreRules::UsesRoundWins(md)) {
        md.nRoundWinner[roundIndex] = winner;
        md.nRoundReason[roundIndex] = reason;
        md.bRoundEnded[roundIndex] = 1;
    } else if (IsTeamGoldenBout(md)) {
        const int r = GoldenIndex(md);
        md.nRoundWinner[roundIndex] = GoldenBoutWinner(NewMatch::RoundTotal(md, 0, r),
                                                       NewMatch::RoundTotal(md, 1, r), md.nTeamGRndGPoint);
    } else {
        md.nRoundWinner[roundIndex] =
            HigherTotal(NewMatch::RoundTotal(md, 0, roundIndex), NewMatch::RoundTotal(md, 1, roundIndex));
    }
    RecountWins(md, roundIndex);
    return true;
}

} // namespace RoundWinRules
