#include "registration/PlayerTable.h"

#include "app/AdoObject.h"
#include "app/SqlText.h"
#include "app/VariantText.h"
#include "platform/DebugOutput.h"

#include <QString>

#include <algorithm>

namespace Registration {

namespace {

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

std::string Q(std::string_view value) {
    return SqlQuote(value);
}

bool Failed(const std::vector<std::u16string>& names) {
    return names.size() == 1 && names.front().empty();
}

} // namespace

bool LoadContestRows(CAdoObject& db, std::vector<ContestRow>& rows) {
    rows.clear();
    // The number orders as a number, so 010 follows 009 and a hand-typed 10 sorts with them.
    const auto names = db.Select("SELECT Weight, FNo, CName, CNation, HName, HNation, Weight1, Sex, CVMac, "
                                 "HVMac, CFROM, HFROM, MatchNo FROM PLAYER ORDER BY CAST(FNo AS INTEGER)");
    if (Failed(names))
        return false;
    if (db.nColumns != ContestRow::kColumns)
        return db.nRows == 0;
    for (int r = 0; r < db.nRows; ++r) {
        ContestRow row;
        for (int c = 0; c < ContestRow::kColumns; ++c)
            row.column[c] = VariantToString(db.cell(r, c));
        rows.push_back(std::move(row));
    }
    return true;
}

std::string StoredPlayerName(std::string_view name, bool hong) {
    std::string stored = name.empty() ? std::string(hong ? "HONG" : "CHUNG") : std::string(name);
    std::replace(stored.begin(), stored.end(), '\'', '`');
    return stored;
}

SaveResult SavePlayer(CAdoObject& db, const PlayerForm& f, std::size_t maxStatement) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", f.number);
    const std::string cname = Q(StoredPlayerName(f.chungName, false));
    const std::string hname = Q(StoredPlayerName(f.hongName, true));
    const std::string key = "FNo = '" + std::string(number) + "' AND Weight = '" + Q(f.cls) +
                            "' AND Weight1 = '" + Q(f.weight) + "' AND Sex = '" + Q(f.gender) + "'";
    const auto names = db.Select("SELECT FNo FROM PLAYER WHERE %s", key.c_str());
    // A failed query counts as no row: the form is inserted.
    const bool exists = !Failed(names) && db.nRows > 0;
    std::string statement;
    if (exists) {
        statement = "UPDATE PLAYER SET Weight='" + Q(f.cls) + "', CName='" + cname + "', CNation='" +
                    Q(f.chungNation) + "', HName='" + hname + "', HNation='" + Q(f.hongNation) +
                    "', Weight1='" + Q(f.weight) + "', Sex='" + Q(f.gender) + "', CFrom='" + Q(f.chungTeam) +
                    "', HFrom='" + Q(f.hongTeam) + "', MatchNo='" + Q(f.phase) + "' WHERE " + key;
    } else {
        statement =
            "INSERT INTO PLAYER(FNo, Weight, CName, CNation, HName, HNation, Weight1, Sex, CFrom, HFrom, "
            "MatchNo) VALUES('" +
            std::string(number) + "','" + Q(f.cls) + "','" + cname + "','" + Q(f.chungNation) + "','" +
            hname + "','" + Q(f.hongNation) + "','" + Q(f.weight) + "','" + Q(f.gender) + "','" +
            Q(f.chungTeam) + "','" + Q(f.hongTeam) + "','" + Q(f.phase) + "')";
    }
    if (statement.size() > maxStatement) {
        DebugPrintf("registration of contest %s refused: the statement would take %zu bytes", number,
                    statement.size());
        return SaveResult::TooLong;
    }
    if (!db.Execute("%s", statement.c_str()))
        return SaveResult::Failed;
    return exists ? SaveResult::Updated : SaveResult::Inserted;
}

bool DeletePlayer(CAdoObject& db, const ContestRow& row) {
    return db.Execute(
        "DELETE FROM PLAYER WHERE FNo = '%s' AND Weight = '%s' AND Weight1 = '%s' AND Sex = '%s'",
        Q(Utf8(row.no())).c_str(), Q(Utf8(row.cls())).c_str(), Q(Utf8(row.weight())).c_str(),
        Q(Utf8(row.gender())).c_str());
}

} // namespace Registration
