#include "match/GamJeomRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"

namespace GamJeomRules {

using namespace ScoreRules;

namespace {

constexpr OpInfo kOps[] = {
    {1, false, kGamJeom, u"deduction.wav", true, u"P", u"A", {13, 19}},
    {2, false, kDoubleGamJeom, u"deduction.wav", true, u"P", u"A", {64, 65}},
    {1, true, kGamJeom, u"removededuction.wav", false, u"M", u"B", {44, 45}},
    {2, true, kDoubleGamJeom, u"removededuction.wav", false, u"M", u"B", {66, 67}},
};

// Golden round of competition type 2: own points of the round plus the opponent's gam-jeoms of the round
// (a double counts once), none when the opponent has exactly one.
int CountRuleScore(const MatchData& md, int side) {
    const int count = RoundGamJeoms(md, 1 - side);
    return md.aSide[side].nRoundScore[RoundIndex(md)] + (count == 1 ? 0 : count);
}

} // namespace

const OpInfo& Info(Op op) {
    return kOps[static_cast<int>(op)];
}

bool Apply(MatchData& md, int side, Op op) {
    const OpInfo& info = Info(op);
    const int r = RoundIndex(md);
    TTK_SideScore& s = md.aSide[side];
    const bool dbl = info.weight == 2;
    int& count = dbl ? s.nRoundPenalty2[r] : s.nRoundPenalty1[r];
    int& points = dbl ? s.nRoundPenaltyPoints2[r] : s.nRoundPenaltyPoints1[r];
    if (info.removal) {
        // Only a gam-jeom of this round can be taken back, and never below zero.
        if (count < 1 || points < info.weight)
            return false;
        count -= 1;
        points -= info.weight;
    } else {
        // A limit of 0 is a missing setting, not a limit every side has reached.
        if (UsesRoundWins(md) && md.nGamJeom > 0 && RoundGamJeoms(md, side) >= md.nGamJeom)
            return false;
        count += 1;
        points += info.weight;
    }
    SumPenaltyCounts(md);
    return true;
}

void SumPenaltyCounts(MatchData& md) {
    for (TTK_SideScore& s : md.aSide) {
        s.nPenaltyCount1 = 0;
        s.nPenaltyCount2 = 0;
        for (int i = 0; i <= RoundIndex(md); ++i) {
            s.nPenaltyCount1 += s.nRoundPenalty1[i];
            s.nPenaltyCount2 += s.nRoundPenalty2[i];
        }
    }
}

std::pair<int, int> ShownScores(const MatchData& md, Op op) {
    if (!IsGoldenRound(md) || md.nCompetitionType != 2)
        return DisplayedScores(md);
    const bool countRule = op == Op::Remove || op == Op::RemoveDouble || (op == Op::Add && UsesRoundWins(md));
    if (countRule)
        return {CountRuleScore(md, 0), CountRuleScore(md, 1)};
    return {RoundTotal(md, 0), RoundTotal(md, 1)};
}

std::pair<int, int> ShownCounts(const MatchData& md) {
    if (UsesRoundWins(md) || IsGoldenRound(md))
        return {RoundGamJeoms(md, 0), RoundGamJeoms(md, 1)};
    const auto match = [&md](int side) {
        return md.aSide[side].nPenaltyCount1 + md.aSide[side].nPenaltyCount2;
    };
    return {match(0), match(1)};
}

} // namespace GamJeomRules
