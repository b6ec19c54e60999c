// The cascade that settles the end of a golden-point round (and of the last round under the round-win
// system) when no rule has ended it: criteria compared in a fixed order, the first that differs decides.
// Pure functions over the match record; any thread, on a record no other thread writes meanwhile.
#pragma once

#include <span>
#include <vector>

struct MatchData;

namespace RoundWinnerRules {

// One criterion: both sides' values; the greater wins unless smallerWins.
struct Criterion {
    int chung = 0;
    int hong = 0;
    bool smallerWins = false;
};

// The first criterion whose values differ decides: 0 Chung, 1 Hong; -1 when every one is equal.
int FirstDifference(std::span<const Criterion> criteria);

// The criteria of the record's match, in the order they are tried.
std::vector<Criterion> GoldenRoundCriteria(const MatchData& md);

// The winner of the golden round by the cascade: 0 Chung, 1 Hong, -1 undecided.
int GoldenRoundWinner(const MatchData& md);

} // namespace RoundWinnerRules
