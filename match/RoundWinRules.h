// The round-winner record: who won each round, the round wins counted from it, and the member bout of a
// team golden round settled by its points. Pure functions over the match record; any thread, on a record
// no other thread writes meanwhile.
#pragma once

struct MatchData;

namespace RoundWinRules {

// Values of MatchData::nRoundWinner.
enum Winner { kNone = 0, kChung = 1, kHong = 2, kClosed = 3 };

// A winner the record accepts: Chung, Hong, or a round closed without one.
bool ValidWinner(int winner);
// A round index inside the record's per-round arrays.
bool ValidRound(int roundIndex);

// Both sides' round wins counted again from the winners of the rounds played (and of roundIndex when it
// lies beyond them), so a round decided twice is never counted twice.
void RecountWins(MatchData& md, int roundIndex);

// 1 when Chung's total is higher, 2 when Hong's is, 0 when equal.
int HigherTotal(int chung, int hong);
// The team golden bout: 1 when Chung reached the bout's winning points, else 2 when Hong did, else 0.
int GoldenBoutWinner(int chung, int hong, int goldenPoints);
// Whether the round belongs to a member bout of a team match's golden round.
bool IsTeamGoldenBout(const MatchData& md);

// Clears the points, gam-jeom counters, gam-jeom points and tally rows both sides scored in the team
// golden round (round index nRound), so the next member bout starts from nothing.
void ClearGoldenBout(MatchData& md);

// Records the winner of the round by the rules of the match and counts the round wins again. Under the
// round-win system the given winner and reason are stored and the round is final; in a team golden bout
// the bout's points decide; otherwise the round's totals decide. Returns false, changing nothing, for a
// winner other than 1, 2, 3 or a round index outside the record. The golden bout's counters are not
// cleared here (ClearGoldenBout).
bool Record(MatchData& md, int roundIndex, int winner, int reason);

} // namespace RoundWinRules
