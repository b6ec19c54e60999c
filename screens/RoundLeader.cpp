#include "screens/RoundLeader.h"

#include "app/MatchData.h"

namespace {

// The side with the higher value leads; equal values decide nothing (0).
int Higher(int chung, int hong) {
    return chung > hong ? 1 : hong > chung ? 2 : 0;
}

// A tally row less its reduction row, the reduction only counting when it is above 0.
int Net(const TTK_SideScore& s, int row, int reduction, int i) {
    return s.nTechTally[reduction][i] > 0 ? s.nTechTally[row][i] - s.nTechTally[reduction][i]
                                          : s.nTechTally[row][i];
}

} // namespace

int DecideRoundLeader(const MatchData& md) {
    const int round = md.nCurRound;
    if (round < 1 || round > kMaxRounds)
        return 0;
    const int i = round - 1;
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    const int chungPenalties = c.nRoundPenalty1[i] + c.nRoundPenalty2[i];
    const int hongPenalties = h.nRoundPenalty1[i] + h.nRoundPenalty2[i];
    if (chungPenalties >= md.nGamJeom)
        return 2;
    if (hongPenalties >= md.nGamJeom)
        return 1;
    const int steps[] = {
        Higher(c.nRoundScore[i] + h.nRoundPenaltyPoints1[i] + h.nRoundPenaltyPoints2[i],
               h.nRoundScore[i] + c.nRoundPenaltyPoints1[i] + c.nRoundPenaltyPoints2[i]),
        md.nCompetitionType == 1 ? Higher(c.nTechTally[11][i], h.nTechTally[11][i]) : 0,
        Higher(c.nTechTally[10][i], h.nTechTally[10][i]),
        Higher(Net(c, 5, 9, i), Net(h, 5, 9, i)),
        Higher(Net(c, 3, 7, i), Net(h, 3, 7, i)),
        Higher(c.nTechTally[1][i], h.nTechTally[1][i]),
        Higher(hongPenalties, chungPenalties), // fewer gam-jeoms lead
        Higher(c.nPssHits[round], h.nPssHits[round]),
    };
    for (const int leader : steps)
        if (leader != 0)
            return leader;
    return 0;
}
