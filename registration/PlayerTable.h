// The contests of the court in the local database's table PLAYER: the list, saving a form (update of the
// row with the same key, else a new row) and deleting a row. A row's key is its contest number, class,
// weight class and gender. Every value goes into the statements quoted, so a name or team with an apostrophe
// is stored as typed; player names keep the backtick that stands for an apostrophe in their stored form.
//
// Thread: user-interface thread (the database wrapper's).
#pragma once

#include "registration/RegistrationRules.h"

#include <string>
#include <vector>

class CAdoObject;

namespace Registration {

// The rows in the list's column order, by ascending contest number. False when the query failed (rows
// empty).
bool LoadContestRows(CAdoObject& db, std::vector<ContestRow>& rows);

// The form as the operator filled it (UTF-8 texts).
struct PlayerForm {
    int number = 0; // 1..999
    std::string cls, chungName, chungNation, hongName, hongNation, weight, gender, chungTeam, hongTeam, phase;
};
// Player names as stored: "CHUNG" / "HONG" for an empty name, every apostrophe a backtick.
std::string StoredPlayerName(std::string_view name, bool hong);

enum class SaveResult { Inserted, Updated, Failed, TooLong };
// Longest statement the form may make (the dialogs' limit: 1024 bytes, 2048 in the team dialog).
SaveResult SavePlayer(CAdoObject& db, const PlayerForm& form, std::size_t maxStatement);

// Deletes the row with this key; false when the statement failed.
bool DeletePlayer(CAdoObject& db, const ContestRow& row);

} // namespace Registration
