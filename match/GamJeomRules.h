// The rules of a gam-jeom that need no window: the four operations, how each changes the penalty counters
// of a side, the scores and counts shown after it and its codes for the outside systems. Pure functions
// over the match record; any thread, on a record no other thread writes meanwhile.
#pragma once

#include <string_view>
#include <utility>

struct MatchData;

namespace GamJeomRules {

enum class Op { Add, AddDouble, Remove, RemoveDouble };

// What distinguishes the four operations.
struct OpInfo {
    int weight;                   // points one gam-jeom of this kind gives the opponent: 1 single, 2 double
    bool removal;                 // takes one back
    int kind;                     // history kind: 10 single, 21 double
    std::u16string_view sound;    // file under Sound/
    bool soundAlways;             // plays whatever Use_Sound_Effect says
    std::u16string_view ctrlSign; // control-character record: "P" given, "M" taken back
    std::u16string_view ivrSign;  // IVR record: "A" given, "B" taken back
    int jsonAction[2];            // WT JSON action, Chung's first
};
const OpInfo& Info(Op op);

// Changes the side's counters of the current round as the operation does and sums the match counters
// again. Returns false and leaves the record as it was when the operation does not apply: a gam-jeom
// beyond the round's limit under the round-win system, or a removal from a round without a gam-jeom of
// that kind.
bool Apply(MatchData& md, int side, Op op);

// The sides' gam-jeom counters of rounds 1 to the current one summed again into nPenaltyCount1/2.
void SumPenaltyCounts(MatchData& md);

// The scores shown after the operation, Chung's first.
std::pair<int, int> ShownScores(const MatchData& md, Op op);

// The gam-jeom counts shown beside the sides, Chung's first: those of the current round under the
// round-win system or in the golden round, else those of the match.
std::pair<int, int> ShownCounts(const MatchData& md);

} // namespace GamJeomRules
