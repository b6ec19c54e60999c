#include "match/RoundWinnerRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"

namespace RoundWinnerRules {

namespace {

int PenaltySum(const TTK_SideScore& s) {
    return s.nPenaltyCount1 + s.nPenaltyCount2;
}

} // namespace

int FirstDifference(std::span<const Criterion> criteria) {
    for (const Criterion& c : criteria) {
        if (c.chung == c.hong)
            continue;
        const bool chungGreater = c.chung > c.hong;
        return chungGreater != c.smallerWins ? 0 : 1;
    }
    return -1;
}

std::vector<Criterion> GoldenRoundCriteria(const MatchData& md) {
    const TTK_SideScore& chung = md.aSide[0];
    const TTK_SideScore& hong = md.aSide[1];
    // The round index is kept inside the arrays whatever nCurRound holds.
    const int r = ScoreRules::RoundIndex(md);
    const auto tally = [&](int row, int round) {
        return Criterion{chung.nTechTally[row][round], hong.nTechTally[row][round]};
    };
    const Criterion hits{chung.nPssHits[0], hong.nPssHits[0]};
    const Criterion penalties{PenaltySum(chung), PenaltySum(hong), true};
    const Criterion roundWins{chung.nRoundWins, hong.nRoundWins};

    if (ScoreRules::UsesRoundWins(md)) {
        return {tally(ScoreRules::kPunchPoints, r),
                hits,
                {ScoreRules::MatchTotal(md, 0), ScoreRules::MatchTotal(md, 1)},
                penalties};
    }
    if (md.nCompetitionType == 2) {
        if (md.nRound == 1)
            return {hits, tally(ScoreRules::kTrunkTechCount, 0), tally(ScoreRules::kTechTotal, 0), penalties};
        return {hits, roundWins, penalties};
    }
    if (md.nRound == 1)
        return {tally(ScoreRules::kPunchPoints, r), hits, tally(ScoreRules::kTrunkTechCount, 0), penalties};
    return {tally(ScoreRules::kPunchPoints, r), hits, roundWins, penalties};
}

int GoldenRoundWinner(const MatchData& md) {
    return FirstDifference(GoldenRoundCriteria(md));
}

} // namespace RoundWinnerRules
