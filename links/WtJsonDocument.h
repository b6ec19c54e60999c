// The JSON:API documents the WT match API receives: a "match-actions" document for each scoring or clock
// event, a "match-results" document with status "INTERMEDIATE" at the end of a round of the round-win
// system and one with status "UNCONFIRMED" for the final result. Compact UTF-8 text, no spaces. Pure
// functions over the match record; any thread that may read the record.
#pragma once

#include "links/EventText.h"

#include <array>
#include <string>

struct MatchData;

namespace WtJsonDocument {

// What a document carries besides the match record.
struct Context {
    int position = 1;         // the view's document counter
    int remainingSeconds = 0; // whole seconds the round clock shows
    LinkTime now;             // local time with its offset from UTC
};

// "score" of actions and intermediate results, home (Chung) first.
std::array<int, 2> Score(const MatchData& md);
// "penalties" of actions and intermediate results.
std::array<int, 2> Penalties(const MatchData& md);
// "2024-05-01T14:30:05+02:00": local time, then its offset from UTC; never the locale's format.
std::string Timestamp(const LinkTime& now);

// The action of the kind (see EventText::JsonActionName) with its hit level.
std::string Action(const MatchData& md, int kind, int hitLevel, const Context& context);
// The result of the round (1-based) of the round-win system; without that system its result is null.
std::string IntermediateResult(const MatchData& md, int round, const Context& context);
// The final result, by nWinSide and the decision kind.
std::string FinalResult(const MatchData& md, const Context& context);

} // namespace WtJsonDocument
