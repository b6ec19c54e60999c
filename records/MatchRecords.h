// Records of a match outside the operator view: the result file, the match-log workbook and the
// tournament results database. User-interface thread only.
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
// Writes Result/<match-input file name>-res.ini under the program folder from g_pMatchData and
// g_MatchInput, replacing the file whole. A file that cannot be written is skipped (debug output only); a
// match-input file name with a folder separator is refused. Always returns 1.
int WriteResultIni();

// ---- match-log workbook ----
// The workbook writer is not part of this program yet: OpenMatchLog reports "not opened" (0), and the
// others, which callers use only while a workbook is open, write nothing but a debug line.

int OpenMatchLog(std::u16string_view fileName);
void WriteMatchLogHeader();
void WriteMatchLogTimes(int which); // 0 start time, 1 end and elapsed time
void WriteMatchLogRoundScores(int round);
void LogMatchEvent(int round, int code, std::u16string_view time, int side, int group, int points, int extra,
                   int reserved1 = 0, int reserved2 = 0, int reserved3 = 0);
void CloseMatchLog();

// ---- tournament results database ----
// Each writes through theApp.m_dbTournament and only while it is open; failures are not reported.

void SetTournamentMatchPlaying();
void SetTournamentCurrentRound();
void UpdateTournamentScore(int side); // 0 Chung, 1 Hong, 2 both; other values nothing
void UpdateTournamentWinCounts();
void UpdateCourtReceiver();
