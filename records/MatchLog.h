// The match-log workbook: one spreadsheet file per match under the program folder's Log/, copied from a
// template, with the match header, one line per scoring or control event and the round score table. The
// six operations are declared in records/MatchRecords.h; this header holds what they are made of, for tests
// and tools. User-interface thread only.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class ExcelBook;
struct MatchData;

namespace MatchLog {

// Sheets by position in the template.
constexpr int kHeaderSheet = 0;
constexpr int kRoundSheet = 1;
constexpr int kEventSheet = 2;
constexpr int kFirstEventRow = 5;

constexpr const char16_t* kTemplate = u"Log file.xls";
constexpr const char16_t* kTeamTemplate = u"Log file_Team.xls";

// The open log, or null.
ExcelBook* OpenBook();

// A change is handed to the file writer kSaveDelayMs after it, with the changes made meanwhile, so the
// file of a burst of events is written once instead of once an event.
constexpr int kSaveDelayMs = 20;
// Hands a change that waits for its save to the file writer now (closing and opening a log do it).
void SaveNow();

// Column 2 of an event line: the event's text for the side (0 blue, 1 red, 2 referee).
std::string EventText(int code, int side, int round);
// Column 5: the letters of the input source.
std::string SourceText(int source);
// Columns 9-11 and 14-16: the technique's name; "" for none or an unknown one.
std::string TechniqueText(int technique);
// Elapsed time between two "h:m:s" texts as "%02d:%02d" (minutes, seconds); a match across midnight counts
// on into the next day. nullopt when a text is not a time.
std::optional<std::string> ElapsedText(std::string_view start, std::string_view end);

// How an event line's cell looks.
enum class Look { Red, Blue, Plain, Marker };
enum class Fill { None, Yellow, Grey };
struct CellLook {
    Look look;
    Fill fill;
    bool operator==(const CellLook&) const = default;
};
// The look of column 1..16 of an event line; nullopt leaves the cell as the template has it. `golden` is
// the golden-round exception: the golden round is on and the event side has fewer than two gam-jeoms in it.
std::optional<CellLook> EventCellLook(int code, int side, int column, int round, bool golden);
bool GoldenRoundException(const MatchData& md, int side);

// Longest name (in bytes) of a log file: the file systems of a court take 255, and a save writes a
// temporary file beside it whose name is longer by a few characters before it replaces the log.
constexpr std::size_t kMaxFileNameBytes = 255 - 16;
// A file name for the log inside `folder` (absolute, ending in '/'): `name` with folder separators made
// harmless, and " (2)", " (3)" ... before the extension when a file of that name is already there; a name
// longer than kMaxFileNameBytes keeps its start, cut at a whole character, and its extension.
std::string UniqueLogPath(const std::string& folder, std::string name);

} // namespace MatchLog
