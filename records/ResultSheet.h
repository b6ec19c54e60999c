// The result sheet of one stored match: its GAMET row in the shared result row, its event rows for the
// print, the order of both sides' events on paper, the precise event time and the sheet's pages.
// User-interface thread only.
#pragma once

#include "app/DbTemp.h"

#include <string>
#include <string_view>
#include <vector>

class CAdoObject;

// ---- the match row ----

// Slots of the shared result row (g_strResultRow) that the sheet and its print read.
namespace ResultSlot {
enum : int {
    Court = 0,
    GameNo = 1,
    ChungTotal = 2,
    HongTotal = 3,
    ChungPoint = 4,
    HongPoint = 5,
    ChungHead = 6,
    ChungVest = 7,
    HongHead = 8,
    HongVest = 9,
    ChungDeduct = 10,
    HongDeduct = 11,
    ChungName = 14,
    HongName = 15,
    Winner = 16,
    ChungNation = 17,
    HongNation = 18,
    Weight = 19,
    Weight1 = 20,
    Sex = 21,
    Date = 22,
    Key = 23,
    HeadGear = 24,
    ESocks = 25,
    HeadValue = 26,
    VestValue = 27,
    ChungFrom = 28,
    HongFrom = 29,
};
}

// The GAMET row of the match whose key is bound to its one placeholder, its 28 columns in the order
// StoreResultRow takes them.
std::string ResultRowQuery();
// Stores one row of ResultRowQuery (its texts in query order) into the slots of row; the other slots are
// left as they are. The date slot holds the sheet's date text, face and valid become "O" or "X".
void StoreResultRow(const std::vector<std::u16string>& cells, std::u16string (&row)[40]);
// Reads the match's row into g_strResultRow. False, and nothing changed, when the query fails or finds no
// row.
bool LoadResultRow(CAdoObject& db, std::u16string_view key);

// A stored yes/no column: "TRUE" or a non-zero number.
bool StoredYes(std::u16string_view value);
// Date texts of a stored time "YYYY-MM-DD/HH:MM:SS": the sheet's "YYYY-MM-DD HH:MM", the list's
// "MM/DD-HH:MM". Parts that are missing stay empty.
std::u16string SheetDateText(std::u16string_view gtime);
std::u16string ListDateText(std::u16string_view gtime);
// A nation as shown: empty for "none".
std::u16string NationText(std::u16string_view nation);
// "< from >" under a player's name, or empty when from is empty or the same as the nation.
std::u16string OriginText(std::u16string_view from, std::u16string_view nation);

// ---- the event rows ----

// Which events the print lists: Summary only counted events that score or deduct, All every event, Valid
// every counted event. Summary wins over All when both boxes are ticked.
enum class EventFilter { Summary, All, Valid };
EventFilter EventFilterOf(bool summary, bool includeAll);
// The CHUNGLOG (side 0) or HONGLOG (side 1) rows of the match whose key is bound to its one placeholder,
// under the filter, ascending by dbindex.
std::string EventRowsQuery(int side, EventFilter filter);
// Replaces rows with the query's rows. False when the query failed (rows are then empty).
bool LoadEventRows(CAdoObject& db, int side, EventFilter filter, std::u16string_view key,
                   std::vector<TTK_DbTemp>& rows);

// The side whose row is printed next: 1 Chung, 2 Hong (also on equal dbindex), 0 when both are done.
int NextResultRowSide(const std::vector<TTK_DbTemp>& chung, const std::vector<TTK_DbTemp>& hong,
                      std::size_t chungIndex, std::size_t hongIndex);

// ---- times and pages ----

// Minutes and seconds of a clock text, split at its colon ("10:05" gives 10 and 5); both 0 without one.
void SplitMinSec(std::u16string_view clock, int& minutes, int& seconds);
// The precise time of an event from its clock text and its stamp, for a round of roundSeconds. The stamp
// counts the milliseconds of the running clock since the round was prepared, so its part below a second is
// what a running clock's text does not show: "1:30" with 30310 ms is 1:29.69. A clock below ten seconds
// shows its hundredths itself ("9.87" is 0:09.87). A clock at rest (0:00, or the full round once its first
// second is over) gives the time past it ("0:00" with 2500 ms gives "-0:02.50"); no milliseconds give the
// clock text with ".00".
std::u16string PreciseLogTime(std::u16string_view rtime, std::u16string_view ptime, int roundSeconds);

// Where each page of the event table starts in both sides' rows: as many pages as the merged rows need
// (at least one), rowsPerPage rows each.
struct ResultPages {
    std::vector<std::size_t> chungStart;
    std::vector<std::size_t> hongStart;
    int count() const { return static_cast<int>(chungStart.size()); }
};
ResultPages PaginateResult(const std::vector<TTK_DbTemp>& chung, const std::vector<TTK_DbTemp>& hong,
                           int rowsPerPage);

// Layout of the event table in inches from the top of the printable area: its frame, its first row and
// the pitch of its rows (10 pt text at 1.4 line spacing).
namespace ResultTable {
constexpr double kTop = 4.58;
constexpr double kFirstRow = 5.18;
constexpr double kBottom = 11.08;
constexpr double kRowPitch = 10.0 / 72.0 * 1.4;
constexpr int kMaxRowsPerPage = 30;
} // namespace ResultTable
// The bottom of the event table on a printable area of this height: the full table where it fits, else
// the printable bottom.
double ResultTableBottom(double printableHeight);
// Event rows a page holds on a printable area of this height: 30 on A4, fewer where the table would
// pass the bottom of the paper, at least one.
int ResultRowsPerPage(double printableHeight);
