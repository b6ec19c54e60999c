// The tournament results database as the court's OVR system (supplier 3): its connection from Rule.ini
// [RMSSetting], and the final writes of a match whose failure the operator is asked about. UI thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Seconds the server gets to accept a connection and to answer one statement.
constexpr int kTournamentConnectSeconds = 10;
constexpr int kTournamentStatementSeconds = 10;
// How long a final write (a decision, a draw, the finish) is waited for behind the queued ones; the UI
// thread's event loop turns meanwhile, without the operator's input, as for RunTournamentQuery.
constexpr int kTournamentFinalWaitMs =
    (kTournamentConnectSeconds + kTournamentStatementSeconds) * 1000 + 2000;

// The five [RMSSetting] keys and the ODBC driver to reach the server with.
struct TournamentServerSettings {
    std::u16string driver; // [RMSSetting] Driver; "PostgreSQL Unicode" when empty
    std::u16string host, port, service, user, password;
};
TournamentServerSettings ReadTournamentServerSettings();
// The DSN-less ODBC connection text (UTF-8). A value with ';', '=', a brace or outer blanks is enclosed in
// braces (a '}' in it doubled), so a ';' in a password cannot add a keyword of its own. DBQ carries
// host:port/service for Oracle's driver.
std::string TournamentConnectionText(const TournamentServerSettings& settings);

// Connects the UI thread's connection (theApp.m_dbTournament; through RunTournamentQuery) and starts the
// writer on its own connection. False (both closed) when the server cannot be reached.
bool OpenTournamentDb(const std::string& connectionText);

class CAdoObject;
// Runs job with the UI thread's connection (theApp.m_dbTournament) on a worker while the UI thread's event
// loop keeps turning: timers, the devices' messages and painting go on, so however long the server takes the
// round clock and scoring do not stop. The operator's input waits until the job has ended (a busy cursor
// shows), so nothing the operator does can close the dialog or start another query meanwhile. The job touches
// nothing but the connection and values of its own. UI thread. False, the job not run, while another job
// runs.
bool RunTournamentQuery(const std::function<void(CAdoObject&)>& job);
// Closes both connections; what still waits to be written is dropped and reported. The statement under way
// is waited for with the UI thread's event loop turning, as for RunTournamentQuery. UI thread.
void CloseTournamentDb();

struct MatchData;
struct TournamentStatement;
// Runs a final statement behind what is queued until it is written or the operator gives up: while it fails,
// asks "Fail to sending the results[n]!!\r\nWould you send the results again?" (Yes/No, "Information"); No
// shows "...Please inform the person concerned!". True when written.
bool WriteWithRetry(const TournamentStatement& statement, int number);
// The draw's rows: the match row's result texts in g_MatchInfoCur, the golden round's rows when one was
// played, the two final side rows (asked about until written), then the match row once.
void WriteTournamentDraw(const MatchData& md);
