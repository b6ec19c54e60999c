// The pure rules of the new-match and round set-up: the registration's round-and-time text, the match-log
// file name and the golden-round display values. Any thread (they touch nothing shared).
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct MatchData;

namespace NewMatch {

// The longest round-and-time text accepted; the senders' texts are far shorter.
constexpr std::size_t kMaxRoundTimeText = 32;

struct RoundAndTime {
    int ms;    // remaining time of the round
    int round; // as sent; the caller holds it to the rounds the record keeps
};
// "time,round": a time of fewer than 5 digits is seconds, otherwise milliseconds; both tokens plain
// decimal digits and the time at most the longest clock. nullopt for anything else (empty, signs, blanks,
// a third token, overlong).
std::optional<RoundAndTime> ParseRoundAndTime(std::string_view text);

// "<date>(No<contest>).xls" with every ':' of the date text removed; empty when the contest number cannot be
// part of a file name (a folder separator, ".." or a control character).
std::string MatchLogFileName(std::string dateText, std::string_view contestNo);

// The golden-round value of side 0 Chung / 1 Hong for round index r, by nCompetitionType: type 2 own round
// points plus the opponent's gam-jeoms (a lone single one counts 0, else single + 2 x double); type 1 the
// round total; type 0 the round total, or the own round points when that total is below 2 and the
// opponent has exactly one gam-jeom in the round.
int GoldenRoundScore(const MatchData& md, int side, int r);
// Own round points plus the points the opponent's gam-jeoms of round index r gave.
int RoundTotal(const MatchData& md, int side, int r);

} // namespace NewMatch

// Removes every ':' from the text; true when there was one.
bool StripColons(std::string& text);
