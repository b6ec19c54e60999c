// The PostgreSQL server that scripts/test starts for the tournament-database tests (scripts/test-postgres):
// its ODBC connection text, a connection that holds the server for one test at a time, and the server as
// the Rule.ini settings name it.
#pragma once

#include "app/AdoObject.h"
#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"

#include <QString>

#include <cstdlib>
#include <string>

// The connection text, or "" with the reason why there is no server.
inline std::string TournamentServerText(std::string& reason) {
    const char* text = std::getenv("BELVANTA_TEST_ODBC");
    if (text && *text)
        return text;
    const char* why = std::getenv("BELVANTA_TEST_ODBC_SKIP");
    reason = why && *why ? why : "BELVANTA_TEST_ODBC is not set (scripts/test starts the server)";
    return {};
}

// Opens db on the server and holds it until db closes: ctest runs tests in parallel processes, and each
// test rewrites the same tables. "" on success, else what went wrong.
inline std::string HoldTournamentServer(CAdoObject& db, const std::string& text) {
    if (!db.Open(text.c_str()))
        return db.lastError();
    db.Select("SELECT pg_advisory_lock(20)");
    return db.nRows == 1 ? std::string() : db.lastError();
}

// A value of "Key=value;" in the connection text.
inline std::string ConnectionKey(const std::string& text, const std::string& key) {
    const auto at = text.find(key + "=");
    if (at == std::string::npos)
        return {};
    const auto from = at + key.size() + 1;
    return text.substr(from, text.find(';', from) - from);
}

// The server of that connection text as the operator enters it in Rule.ini [RMSSetting]: driver, host,
// port, database "tournament" and user "belvanta" (no password).
inline void WriteTournamentServerSettings(const std::string& text) {
    const auto wide = [](const std::string& value) { return QString::fromStdString(value).toStdU16String(); };
    WriteIniString(u"RMSSetting", u"Driver", u"PostgreSQL Unicode", u"Rule.ini");
    WriteIniString(u"RMSSetting", u"DataSource", wide(ConnectionKey(text, "Server")).c_str(), u"Rule.ini");
    WriteIniString(u"RMSSetting", u"DataPort", wide(ConnectionKey(text, "Port")).c_str(), u"Rule.ini");
    WriteIniString(u"RMSSetting", u"DATABASE", u"tournament", u"Rule.ini");
    WriteIniString(u"RMSSetting", u"RMSID", u"belvanta", u"Rule.ini");
}

// The match whose rows the tournament tests write: codes D1, W2, S3 and G4 on court 3, three rounds, results
// to the tournament database (OVR supplier 3).
inline void SetTournamentMatchOfCourtThree(MatchData& md) {
    g_MatchInfoCur = TTK_MatchInfo{};
    g_MatchInfoCur[TTK_MatchInfo::kDepCode] = "D1";
    g_MatchInfoCur[TTK_MatchInfo::kWeiCode] = "W2";
    g_MatchInfoCur[TTK_MatchInfo::kStageCode] = "S3";
    g_MatchInfoCur[TTK_MatchInfo::kGameCode] = "G4";
    md.nCourtNo = 3;
    md.nRound = 3;
    md.nOvrSupplier = 3;
}
