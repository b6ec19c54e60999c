// Records of a match outside the operator view: the result file, the match-log workbook and the
// tournament results database. User-interface thread only; the files are written by the file writer
// (app/FileWriter.h).
#pragma once

#include <string>
#include <string_view>

struct MatchData;
struct TTK_MatchInput;

// ---- result file ----

// "RSC", "PTF", "PTG", "SDP", "SUP", "WDR", "DSQ", "PUN", "DQB" for decision kinds 0..8, "NONE" otherwise.
const char* ResultTypeCode(int decisionKind);
// The [Match_Result] text of the decided match (UTF-8, CR LF line ends). Line breaks inside a value become
// blanks, so no value can add a line of its own.
std::string ResultFileText(const MatchData& md, const TTK_MatchInput& input);
// Queues the write of Result/<match-input file name>-res.ini under the program folder from g_pMatchData and
// g_MatchInput on the file writer, which replaces the file whole. A file that cannot be written is skipped
// (debug output only); a match-input file name with a folder separator is refused. Always returns 1.
int WriteResultIni();

// ---- match-log workbook ----
// One workbook per match in Log/ under the program folder, copied from "Log file.xls" ("Log file_Team.xls"
// for a team match); see records/MatchLog.h. Callers use the writers only while a log is open.

// Opens the log of a new match under that file name (a name already there gets a number added): loads the
// template and writes the copy. 1 on success; 0 when the template is missing, damaged or has fewer than
// three sheets, or the file cannot be written.
int OpenMatchLog(std::u16string_view fileName);
void WriteMatchLogHeader();
void WriteMatchLogTimes(int which); // 0 start time, 1 end and elapsed time
// Round index 0..4, or 10 for the match totals.
void WriteMatchLogRoundScores(int round);
// One event line: round, event code 0..40, clock text, side (0 blue, 1 red, 2 referee), source 0..8,
// points, count, up to three techniques 1..7 (0 none).
void LogMatchEvent(int round, int code, std::u16string_view time, int side, int source, int points, int count,
                   int technique1 = 0, int technique2 = 0, int technique3 = 0);
// Saves the open log and closes it; nothing with no log open. Each writer above also has the file saved
// after its change: the file writer replaces the file off this thread, and the first save of a log that
// fails tells the operator ("Log file save error!", a box that does not wait) while the file keeps its
// last saved state.
void CloseMatchLog();

// ---- tournament results database ----
// Each queues its statements on the tournament writer (records/TournamentWriter.h) and returns at once; a
// failure goes to the debug output and the next change writes the full values again.

void SetTournamentMatchPlaying();
void SetTournamentCurrentRound();
void UpdateTournamentScore(int side); // 0 Chung, 1 Hong, 2 both; other values nothing
void UpdateTournamentWinCounts();
void UpdateCourtReceiver();
