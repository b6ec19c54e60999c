// Reading the court's matches from the tournament results database (OVR supplier 3): today's next or
// playing match of this court into a TTK_MatchInfo, the contest list's row for it, and the look-ups of the
// video-replay quota and the division's minimum levels. The SQL runs unchanged on Oracle 12c+ and on
// PostgreSQL; the court number, the match status and the codes are bound values.
#pragma once

#include <array>
#include <string>
#include <vector>

class CAdoObject;
class DbVariant;
struct TTK_MatchInfo;

namespace TournamentSelection {

// The selection statement for the protector type (0 none, 1 trunk, 2 trunk and head gear with the two head
// addresses as columns 16 and 17); the team dialog's leaves out the head gear and the address filters and
// takes the names as they are. Two values: the match status ('1' next, '2' playing) and the court.
std::string MatchQuery(int pssType, bool team);
// which 1 the next match, otherwise the playing one.
std::vector<DbVariant> MatchValues(int which, int courtNo);

// Runs the selection for the court into info: slot 22 "1" (which 1) or "2", slot 25 cleared, the row's
// columns into their slots, nFound 1 when a row came (the last of several wins); nextNumber gets
// disp_game_no. False, nFound 0, when no row or no column came back (a failed query included). Any thread
// that holds db.
bool SelectMatch(CAdoObject& db, int pssType, int courtNo, int which, bool team, TTK_MatchInfo& info,
                 int& nextNumber);
// The same from the rows the connection holds after the query.
bool FillMatchInfo(const CAdoObject& result, bool team, TTK_MatchInfo& info, int& nextNumber);

// The contest list's 15 columns for the selected match: class, "7[Next]" or "7[Current]", names and nations,
// weight, the gender word ("Male"/"Female"; the team dialog's "남자"/"여자"), body addresses, head-gear
// addresses in 12 and 13, the stage in 14.
std::array<std::u16string, 15> ListRow(const TTK_MatchInfo& info, int nextNumber, bool team);

// What a look-up brought: exactly one value, none (no row, or several rows or columns), one that is no whole
// number in the range the operator may type (refused), or the statement failed (the server lost, too slow
// or refusing it).
enum class LookUp { Found, None, Refused, Failed };
// Exactly one value back: the blue player's video-replay quota (0-5), the minimum trunk level and the
// minimum punch level (0-100) of the selected match. value is left alone unless one came back in range;
// shown gets the refused value as the database holds it. Any thread that holds db.
LookUp QueryVideoCount(CAdoObject& db, const TTK_MatchInfo& info, int& value, std::string* shown = nullptr);
LookUp QueryStrengthLevel(CAdoObject& db, const TTK_MatchInfo& info, int& value,
                          std::string* shown = nullptr);
LookUp QueryPunchLevel(CAdoObject& db, const TTK_MatchInfo& info, int& value, std::string* shown = nullptr);

} // namespace TournamentSelection
