#include "records/TournamentDb.h"

#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "match/WinSelDlg.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessages.h"
#include "records/MatchRecords.h"
#include "records/TournamentWriter.h"

#include <QApplication>
#include <QEventLoop>
#include <QString>

#include <cstdio>
#include <thread>

namespace {

constexpr std::u16string_view kInformation = u"Information";

std::u16string readSetting(const WCHAR* key) {
    WCHAR value[kIniValueChars] = {};
    ReadIniString(u"RMSSetting", key, value, u"Rule.ini");
    return value;
}

// A value that could end its keyword early (';'), or that braces or blanks would change, goes inside braces
// with a '}' doubled; any other value goes as it is (some drivers keep braces of a plain value as part of
// it).
std::string braced(const std::u16string& value) {
    const std::string text = QString::fromStdU16String(value).toStdString();
    const bool plain = text.find_first_of(";{}=") == std::string::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain)
        return text;
    std::string out = "{";
    for (const char c : text) {
        out += c;
        if (c == '}')
            out += '}';
    }
    return out + "}";
}

std::u16string number(const char* prefix, int n) {
    return u"Fail to sending the results[" + QString::number(n).toStdU16String() + u"]!!\r\n" +
           QString::fromUtf8(prefix).toStdU16String();
}

// Runs work on a worker while the UI thread's event loop keeps turning without the operator's input (see
// RunTournamentQuery).
void whileEventsTurn(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&work, &loop] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    worker.join();
}

// A final write waited for as a query is: the clock, the devices and the screens go on meanwhile.
bool runFinal(const TournamentStatement& statement) {
    bool written = false;
    whileEventsTurn([&] { written = TheTournamentWriter().RunAndWait(statement, kTournamentFinalWaitMs); });
    return written;
}

} // namespace

TournamentServerSettings ReadTournamentServerSettings() {
    TournamentServerSettings s;
    s.driver = readSetting(u"Driver");
    if (s.driver.empty())
        s.driver = u"PostgreSQL Unicode";
    s.host = readSetting(u"DataSource");
    s.port = readSetting(u"DataPort");
    s.service = readSetting(u"DATABASE");
    s.user = readSetting(u"RMSID");
    s.password = readSetting(u"RMSPWD");
    return s;
}

std::string TournamentConnectionText(const TournamentServerSettings& s) {
    return "Driver=" + braced(s.driver) + ";Server=" + braced(s.host) + ";Port=" + braced(s.port) +
           ";Database=" + braced(s.service) + ";DBQ=" + braced(s.host + u":" + s.port + u"/" + s.service) +
           ";Uid=" + braced(s.user) + ";Pwd=" + braced(s.password) + ";";
}

bool OpenTournamentDb(const std::string& connectionText) {
    CloseTournamentDb();
    CAdoObject& db = theApp.m_dbTournament;
    db.SetTimeouts(kTournamentConnectSeconds, kTournamentStatementSeconds);
    bool opened = false;
    RunTournamentQuery([&](CAdoObject& connection) { opened = connection.Open(connectionText.c_str()); });
    if (!opened) {
        db.Close();
        return false;
    }
    TheTournamentWriter().Start(connectionText, kTournamentConnectSeconds, kTournamentStatementSeconds);
    return true;
}

bool RunTournamentQuery(const std::function<void(CAdoObject&)>& job) {
    static bool busy = false;
    if (busy) {
        DebugPrintf("tournament database: a query is under way; this one is not run");
        return false;
    }
    busy = true;
    whileEventsTurn([&job] { job(theApp.m_dbTournament); });
    busy = false;
    return true;
}

void CloseTournamentDb() {
    // The statement under way may wait for a server that does not answer: the worker's end is waited for as
    // a query is, so the clock, the devices and the screens go on meanwhile.
    TournamentWriter& writer = TheTournamentWriter();
    if (writer.BeginStop())
        whileEventsTurn([&writer] { writer.Stop(); });
    theApp.m_dbTournament.Close();
}

bool WriteWithRetry(const TournamentStatement& statement, int n) {
    while (!runFinal(statement)) {
        if (MessageBox(g_hMainWnd, number("Would you send the results again?", n), kInformation,
                       MB_YESNO | MB_ICONINFORMATION) != IDYES) {
            MessageBox(g_hMainWnd, number("Please inform the person concerned!", n), kInformation,
                       MB_OK | MB_ICONINFORMATION);
            return false;
        }
    }
    return true;
}

void WriteTournamentDraw(const MatchData& md) {
    TTK_MatchInfo& info = g_MatchInfoCur;
    info[TTK_MatchInfo::kResultCode] = "14";
    info[TTK_MatchInfo::kExtYn] = "N";
    info[TTK_MatchInfo::kCurrRound] = std::to_string(md.nCurRound);
    const TournamentCodes codes = CurrentTournamentCodes(info);
    TheTournamentWriter().Post(GoldenRoundStatements(md, codes));
    const auto rows = DrawResultStatements(md, codes);
    WriteWithRetry(rows[0], 2);
    WriteWithRetry(rows[1], 3);
    TheTournamentWriter().Post(
        {MatchResultStatement(info[TTK_MatchInfo::kResultCode], info[TTK_MatchInfo::kExtYn],
                              info[TTK_MatchInfo::kCurrRound], "", codes)});
}

bool WriteTournamentDecision(int resultCode) {
    if (!g_pMatchData)
        return false;
    const MatchData& md = *g_pMatchData;
    const TournamentCodes codes = CurrentTournamentCodes(g_MatchInfoCur);
    TheTournamentWriter().Post(GoldenRoundStatements(md, codes));
    const auto rows = DecisionResultStatements(md, codes);
    const bool chung = WriteWithRetry(rows[0], 2);
    const bool hong = WriteWithRetry(rows[1], 3);
    char code[16];
    std::snprintf(code, sizeof code, "%02d", resultCode);
    const std::string round = md.nCurRound == md.nRound + 1 ? "4" : std::to_string(md.nCurRound);
    TheTournamentWriter().Post(
        {MatchResultStatement(code, md.nCurRound > md.nRound ? "Y" : "N", round, "", codes)});
    return chung && hong;
}

void CMainWnd::ConnectTournamentDb() {
    MatchData* md = g_pMatchData;
    if (!md || MessageBox(GetSafeHwnd(), u"Are you sure to connect to the OVR system?", kInformation,
                          MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    md->bOvrConnected = 0;
    if (!OpenTournamentDb(TournamentConnectionText(ReadTournamentServerSettings()))) {
        DebugPrintf("tournament database: %s", theApp.m_dbTournament.lastError().c_str());
        MessageBox(GetSafeHwnd(), u"DB Connection Error!", kInformation, MB_OK | MB_ICONINFORMATION);
        return;
    }
    md->bOvrConnected = 1;
    SendMessage(GetSafeHwnd(), UM_LINK_READY, 0, 0);
}

void CMainWnd::UpdateCourtReceiver() {
    ::UpdateCourtReceiver();
}

bool CMainWnd::SendTournamentMatchFinished() {
    return runFinal(MatchStatusStatement("3", CurrentTournamentCodes(g_MatchInfoCur)));
}
