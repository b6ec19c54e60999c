// The match import from the WT JSON API: the match list of this mat, as the API answers
// "matches?filter[mat]=..&include=homeCompetitor,awayCompetitor,refereeAssignment,event,matchConfiguration",
// read into the match record. The first element of "data" that is a SCHEDULED match of this court (and,
// when asked, has the typed number) is taken, with its event, both competitors and its configuration from
// "included". An element that lacks a member it needs, or holds one of the wrong type, is skipped.
//
// Thread: user-interface thread (writes the match record).
#pragma once

#include "links/ImportOutcome.h"

#include <optional>
#include <string_view>

struct MatchData;

namespace WtMatchImport {

// byNumber: only the element whose attributes.number is `number` is taken. team: the team dialog's
// mapping (team phase names, competition type 1, the competitors' initial names, no penalty limit).
ImportOutcome Load(MatchData& md, std::string_view reply, bool byNumber, std::string_view number, bool team);

// Seconds of a "mm:ss" text, split at the colon; a text without one is seconds. Empty when it is no time.
std::optional<int> MinSecText(std::string_view text);

} // namespace WtMatchImport
