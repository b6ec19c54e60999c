// The result browser's statements over the local event log: the newest match, the search by court, match
// number and player name, and the deletion of matches with their event rows. User-interface thread only.
#pragma once

#include "app/DbVariant.h"

#include <string>
#include <string_view>
#include <vector>

class CAdoObject;

// One match as the browser lists it: court, match number, both names, both totals, result, date (as
// shown) and the match key.
struct ResultListRow {
    std::u16string court, gameNo, chungName, hongName, chungPoint, hongPoint, win, date, key;
};

// Search criteria, in the order the drop-down lists offer them.
enum class ResultCriterion { None, Court, MatchNo, Name };

struct ResultSearchTerm {
    ResultCriterion criterion = ResultCriterion::None;
    std::u16string value; // as typed; a match number is read as a number and searched as "%03d"
};

// The newest match (by start time), or nothing.
std::vector<ResultListRow> LatestResult(CAdoObject& db);
// Matches that satisfy every term with a value, newest first; every match without one. The values are bound,
// never part of the statement, so a name with an apostrophe finds the match stored under it.
std::vector<ResultListRow> SearchResults(CAdoObject& db, const ResultSearchTerm& first,
                                         const ResultSearchTerm& second);
// The statement SearchResults runs, with its values in placeholder order.
struct ResultQuery {
    std::string sql;
    std::vector<DbVariant> values;
};
ResultQuery ResultSearchQuery(const ResultSearchTerm& first, const ResultSearchTerm& second);

// Deletes the matches with these keys and their CHUNGLOG and HONGLOG rows, all in one transaction: either
// everything goes or nothing does. False (and nothing deleted) on any failure.
bool DeleteResults(CAdoObject& db, const std::vector<std::u16string>& keys);
// Empties GAMET, CHUNGLOG and HONGLOG in one transaction. False (and nothing deleted) on any failure.
bool DeleteAllResults(CAdoObject& db);
