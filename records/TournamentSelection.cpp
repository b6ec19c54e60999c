#include "records/TournamentSelection.h"

#include "app/AdoObject.h"
#include "app/MatchInfo.h"
#include "app/VariantText.h"
#include "links/ImportOutcome.h"

#include <QString>

#include <cstdlib>

namespace TournamentSelection {

namespace {

constexpr const char* kActiveTournament = "(SELECT tour_code, tour_cnt FROM tkdtour WHERE use_yn = 'Y')";

std::string Utf8(const DbVariant& v) {
    return QString::fromStdU16String(VariantToString(v)).toStdString();
}

std::u16string Wide(const std::string& text) {
    return QString::fromStdString(text).toStdU16String();
}

// The decimal value of a cell: an integer, or the leading digits of a text.
int Number(const DbVariant& v) {
    if (v.isInteger())
        return static_cast<int>(v.asInt64());
    return std::atoi(Utf8(v).c_str());
}

// The one value of a look-up; none when not exactly one row of one column came back, or a NULL (a quota of
// NULL is no quota of 0); refused when it is no whole number within range (a level of "abc" is no 0).
LookUp OneValue(CAdoObject& db, const std::string& sql, const std::vector<DbVariant>& values,
                ImportText::Range range, int& out, std::string* shown) {
    const std::vector<std::u16string> names = db.SelectBound(sql, values);
    if (names.size() == 1 && names[0].empty())
        return LookUp::Failed; // a failed statement names exactly one empty column
    if (db.nRows != 1 || db.nColumns != 1 || db.cell(0, 0).isNull())
        return LookUp::None;
    const DbVariant& cell = db.cell(0, 0);
    const std::string text = cell.isInteger() ? std::to_string(cell.asInt64()) : Utf8(cell);
    const std::optional<int> value = ImportText::WholeNumber(text);
    if (!value || *value < range.low || *value > range.high) {
        if (shown)
            *shown = text;
        return LookUp::Refused;
    }
    out = *value;
    return LookUp::Found;
}

// The slot each column of the selection goes to, in column order.
constexpr TTK_MatchInfo::Slot kColumnSlots[] = {
    TTK_MatchInfo::kDepCode,       TTK_MatchInfo::kDepName,        TTK_MatchInfo::kWeiCode,
    TTK_MatchInfo::kWeiName,       TTK_MatchInfo::kStageCode,      TTK_MatchInfo::kGameCode,
    TTK_MatchInfo::kGenderCode,    TTK_MatchInfo::kWhich, // 7: disp_game_no, the next number (see below)
    TTK_MatchInfo::kBlueMacBody,   TTK_MatchInfo::kBluePlayerName, TTK_MatchInfo::kBluePlayerTeam,
    TTK_MatchInfo::kBluePlayerNat, TTK_MatchInfo::kRedMacBody,     TTK_MatchInfo::kRedPlayerName,
    TTK_MatchInfo::kRedPlayerTeam, TTK_MatchInfo::kRedPlayerNat,   TTK_MatchInfo::kBlueMacHead,
    TTK_MatchInfo::kRedMacHead,
};
constexpr int kDispGameNoColumn = 7;

std::string LevelQuery(const char* column) {
    return std::string("SELECT a.") + column +
           " FROM tkdgerusel a WHERE a.dep_code = ? AND a.wei_code = ? AND (a.tour_code, a.tour_cnt) IN " +
           kActiveTournament;
}

std::vector<DbVariant> Codes(const TTK_MatchInfo& info, std::initializer_list<TTK_MatchInfo::Slot> keys) {
    std::vector<DbVariant> values;
    for (TTK_MatchInfo::Slot s : keys)
        values.push_back(DbVariant::text(info[s]));
    return values;
}

} // namespace

std::string MatchQuery(int pssType, bool team) {
    const bool head = !team && pssType == 2;
    const bool addresses = !team && (pssType == 1 || pssType == 2);
    const std::string headColumns = head ? ", a.blue_mac_head, a.red_mac_head" : "";
    const std::string blueName =
        team ? "a.blue_player_name" : "PSS_SEND_NAME(a.blue_reg_seq) AS blue_player_name";
    const std::string redName =
        team ? "a.red_player_name" : "PSS_SEND_NAME(a.red_reg_seq) AS red_player_name";
    return "SELECT a.dep_code, a.dep_name, a.wei_code, a.wei_name, a.stage_code, a.game_code, a.gender_code,"
           " a.disp_game_no, a.blue_mac_body, a.blue_player_name, a.blue_player_team, a.blue_player_nat,"
           " a.red_mac_body, a.red_player_name, a.red_player_team, a.red_player_nat" +
           headColumns +
           " FROM (SELECT a.dep_code,"
           " (SELECT code_name1 FROM tkdcode WHERE main_code = '42' AND sub_code = a.dep_code) dep_name,"
           " a.wei_code, (SELECT code_name1 FROM tkdcode WHERE main_code = '22' AND sub_code = a.wei_code) "
           "wei_name,"
           " a.stage_code, a.game_code, a.game_date, a.game_no,"
           " CASE (SELECT geru_game_no_type FROM tkdtour WHERE use_yn = 'Y') WHEN '1' THEN a.game_code"
           " WHEN '2' THEN a.game_dep_no WHEN '3' THEN a.game_day_no WHEN '4' THEN a.game_no END "
           "disp_game_no,"
           " a.game_day_no, a.game_dep_no, a.gender_code, a.blue_mac_body, " +
           blueName + ", a.blue_player_team, a.blue_player_nat, a.red_mac_body, " + redName +
           ", a.red_player_team, a.red_player_nat" + headColumns +
           " FROM tkdgerursltview a WHERE a.game_status = ? AND a.game_court = ?"
           " AND a.game_date = TO_CHAR(CURRENT_DATE, 'YYYYMMDD')" +
           (addresses ? " AND a.blue_mac_body IS NOT NULL AND a.red_mac_body IS NOT NULL"
                        " AND a.mac_addr_reg_time IS NOT NULL"
                      : "") +
           " AND a.match_order IS NOT NULL AND a.game_court IS NOT NULL"
           " ORDER BY a.game_date, a.court_reg_time FETCH FIRST 1 ROWS ONLY) a";
}

std::vector<DbVariant> MatchValues(int which, int courtNo) {
    return {DbVariant::text(which == 1 ? "1" : "2"), DbVariant::text(std::to_string(courtNo))};
}

bool SelectMatch(CAdoObject& db, int pssType, int courtNo, int which, bool team, TTK_MatchInfo& info,
                 int& nextNumber) {
    info[TTK_MatchInfo::kWhich] = which == 1 ? "1" : "2";
    info[TTK_MatchInfo::kCleared].clear();
    db.SelectBound(MatchQuery(pssType, team), MatchValues(which, courtNo));
    return FillMatchInfo(db, team, info, nextNumber);
}

bool FillMatchInfo(const CAdoObject& result, bool team, TTK_MatchInfo& info, int& nextNumber) {
    if (result.nRows <= 0 || result.nColumns <= 0) {
        info.nFound = 0;
        return false;
    }
    info.nFound = 1;
    const int row = result.nRows - 1;
    const int columns = std::min<int>(result.nColumns, team ? 16 : static_cast<int>(std::size(kColumnSlots)));
    for (int c = 0; c < columns; ++c) {
        if (c == kDispGameNoColumn)
            nextNumber = Number(result.cell(row, c));
        else
            info[kColumnSlots[c]] = Utf8(result.cell(row, c));
    }
    return true;
}

std::array<std::u16string, 15> ListRow(const TTK_MatchInfo& info, int nextNumber, bool team) {
    using S = TTK_MatchInfo;
    const bool male = info[S::kGenderCode] == "1";
    std::array<std::u16string, 15> row;
    row[0] = Wide(info[S::kDepName]);
    row[1] = Wide(std::to_string(nextNumber) + (info[S::kWhich] == "1" ? "[Next]" : "[Current]"));
    row[2] = Wide(info[S::kBluePlayerName]);
    row[3] = Wide(info[S::kBluePlayerNat]);
    row[4] = Wide(info[S::kRedPlayerName]);
    row[5] = Wide(info[S::kRedPlayerNat]);
    row[6] = Wide(info[S::kWeiName]);
    row[7] = team ? (male ? u"남자" : u"여자") : (male ? u"Male" : u"Female");
    row[8] = Wide(info[S::kBlueMacBody]);
    row[9] = Wide(info[S::kRedMacBody]);
    row[12] = Wide(info[S::kBlueMacHead]);
    row[13] = Wide(info[S::kRedMacHead]);
    row[14] = Wide(info[S::kStageCode]);
    return row;
}

LookUp QueryVideoCount(CAdoObject& db, const TTK_MatchInfo& info, int& value, std::string* shown) {
    const std::string sql =
        std::string(
            "SELECT a.video_cnt FROM tkdgeruplayer a, tkdgerursltd b WHERE (a.tour_code, a.tour_cnt) IN ") +
        kActiveTournament +
        " AND a.dep_code = b.dep_code AND a.wei_code = b.wei_code AND a.reg_seq = b.reg_seq"
        " AND a.tour_code = b.tour_code AND a.tour_cnt = b.tour_cnt AND b.dep_code = ? AND b.wei_code = ?"
        " AND b.stage_code = ? AND b.game_code = ? AND b.br_gubun = 'B'";
    return OneValue(db, sql,
                    Codes(info, {TTK_MatchInfo::kDepCode, TTK_MatchInfo::kWeiCode, TTK_MatchInfo::kStageCode,
                                 TTK_MatchInfo::kGameCode}),
                    ImportText::kReplayRange, value, shown);
}

LookUp QueryStrengthLevel(CAdoObject& db, const TTK_MatchInfo& info, int& value, std::string* shown) {
    return OneValue(db, LevelQuery("strength"),
                    Codes(info, {TTK_MatchInfo::kDepCode, TTK_MatchInfo::kWeiCode}), ImportText::kLevelRange,
                    value, shown);
}

LookUp QueryPunchLevel(CAdoObject& db, const TTK_MatchInfo& info, int& value, std::string* shown) {
    return OneValue(db, LevelQuery("punch_level"),
                    Codes(info, {TTK_MatchInfo::kDepCode, TTK_MatchInfo::kWeiCode}), ImportText::kLevelRange,
                    value, shown);
}

} // namespace TournamentSelection
