// The operator view's event-log writers: the GAMET row of a match and the CHUNGLOG / HONGLOG rows and
// GAMET totals of its scoring events. Each event becomes one batch for the event-log writer
// (records/EventLogWriter.h), which commits it durably off the user-interface thread; the link records of
// its score change wait for that commit (CMainWnd::SendSettledLinks). A write that fails is kept and tried
// again in order; it is reported in the debug output, the first of a match also by "DB Error!", and the
// match goes on: the log never stops the clock and never takes a point off the screen.
#include "records/EventLog.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/SqlText.h"
#include "app/TextConvert.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/EventLogWriter.h"

#include <QString>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

EventLogClock g_clock = nullptr;

// Far more matches than a court can start in one minute; past it the insert reports the taken key.
constexpr int kMaxMatchesAMinute = 999;

// The database's date/time text, "YYYY-MM-DD HH:MM:SS", which sorts as it reads and is read back as a
// date.
std::string DateTimeText(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

// The time an event row records, to the second. Reading the local time costs ten microseconds and a hit
// logs two events in the same second, so the text is made once a second (unless a test sets the clock).
const std::string& EventTimeText() {
    static qint64 shownSecond = -1;
    static std::string text;
    if (g_clock) {
        shownSecond = -1;
        text = DateTimeText(g_clock());
        return text;
    }
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != shownSecond) {
        shownSecond = second;
        text = DateTimeText(QDateTime::fromSecsSinceEpoch(second));
    }
    return text;
}

// A narrow field of the record between single quotes. Record texts are UTF-8; a damaged field still goes in
// as valid UTF-8, so the database holds one encoding.
template <std::size_t N> std::string Quoted(const char (&field)[N]) {
    return SqlQuote(RecordTextUtf8(FieldText(field)));
}

std::string Quoted(std::u16string_view text) {
    return SqlQuote(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString());
}

std::string Sql(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Sql(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

// Sum of one tally row over the rounds played so far (the golden round included).
int TallyToRound(const TTK_SideScore& s, int row, int rounds) {
    int sum = 0;
    for (int i = 0; i < std::clamp(rounds, 0, kMaxRounds); ++i)
        sum += s.nTechTally[row][i];
    return sum;
}

// Keys given to matches of this run in the writer's database: a match's row may still wait in the writer's
// queue when the next match of the same minute looks for a free key.
std::vector<std::string>& KeysGiven() {
    static std::vector<std::string> keys;
    return keys;
}

// Whether a GAMET row with this key exists or waits to be written; a failed query counts as free (the
// insert then changes nothing, and the events join the row that is there).
bool KeyTaken(CAdoObject& db, const std::string& key) {
    if (std::find(KeysGiven().begin(), KeysGiven().end(), key) != KeysGiven().end())
        return true;
    db.Select("SELECT count(*) FROM GAMET WHERE keyvalue='%s'", key.c_str());
    return db.nRows == 1 && db.cell(0, 0).isInteger() && db.cell(0, 0).asInt64() > 0;
}

// The writer of theApp's local database, started on its connection when it runs on another (a test's
// new program folder) or not at all. Null when the local database is not open.
EventLogWriter* Writer(CMainWnd& view) {
    CAdoObject& db = theApp.m_dbLocal;
    EventLogWriter& writer = TheEventLogWriter();
    if (!writer.IsRunning() || writer.connectionString() != db.connectionString()) {
        KeysGiven().clear();
        if (!db.bOpen || db.filePath().empty())
            return nullptr;
        writer.Start(db.connectionString(), db.filePath());
    }
    writer.SetNotifyWindow(view.GetSafeHwnd());
    return &writer;
}

// The statements that insert the match's GAMET row unless it is there and, when its registration came
// from this court's list, remove its PLAYER row; one batch, so both or neither.
EventLogBatch MatchRowStatements(const MatchData& md, const std::string& key, const std::string& started) {
    const TTK_Player& c = md.aPlayer[0];
    const TTK_Player& h = md.aPlayer[1];
    const std::string quotedKey = SqlQuote(key);
    EventLogBatch batch{Sql(
        "INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,cnation,cvmac,hname,hnation,hvmac,sex,face,"
        "valid,weight,weight1,bvalue,fvalue,cfrom,hfrom) SELECT '%d','%s','%s','%s','%s','%s','%s','%s','%s',"
        "'%s','%s',%d,%d,'%s','%s','%d','%d','%s','%s' WHERE NOT EXISTS (SELECT 1 FROM GAMET WHERE "
        "keyvalue='%s')",
        md.nCourtNo, Quoted(md.szContestNo).c_str(), started.c_str(), quotedKey.c_str(),
        Quoted(c.szName).c_str(), Quoted(c.szNationCode).c_str(), Quoted(c.szMacBody).c_str(),
        Quoted(h.szName).c_str(), Quoted(h.szNationCode).c_str(), Quoted(h.szMacBody).c_str(),
        Quoted(md.szGender).c_str(), md.nPSSType == 2 ? 1 : 0, md.bUseESocks ? 1 : 0,
        Quoted(md.szWeightClass).c_str(), Quoted(md.szWeight).c_str(), md.nLevelBody, md.nLevelHead,
        Quoted(c.szNationCode).c_str(), Quoted(h.szNationCode).c_str(), quotedKey.c_str())};
    if (!md.bOvrConnected || md.nOvrSupplier == 4)
        batch.push_back(Sql("DELETE FROM PLAYER WHERE FNo = '%s' AND Weight = '%s' AND Weight1 = '%s' AND "
                            "Sex = '%s'",
                            Quoted(md.szContestNo).c_str(), Quoted(md.szWeightClass).c_str(),
                            Quoted(md.szWeight).c_str(), Quoted(md.szGender).c_str()));
    return batch;
}

// The operator must learn that the records are not being kept: the first failure of a match shows
// "DB Error!" (every failure is in the debug output), without waiting for an answer, so the clock and the
// devices go on meanwhile.
void ReportLogFailure(CMainWnd& view) {
    if (view.m_bLogErrorShown)
        return;
    view.m_bLogErrorShown = true;
    ShowNoticeBox(view.GetSafeHwnd(), u"DB Error!");
}

// Queues the batch; false (and the operator told) when no writer takes it.
bool Queue(CMainWnd& view, EventLogBatch batch, const char* what) {
    EventLogWriter* writer = Writer(view);
    if (writer && writer->Post(std::move(batch)) != 0)
        return true;
    DebugPrintf("event log: the local database is not open; %s not written", what);
    ReportLogFailure(view);
    return false;
}

void LogEvent(CMainWnd& view, int side, std::u16string_view time, int kind, int value, int count,
              std::uint32_t stamp) {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    if (!md.bMatchLogged || md.nGameState == 13)
        return;
    if (view.m_strMatchKey.empty()) {
        DebugPrintf("event log: the match has no key (its row was never started); event not written");
        ReportLogFailure(view);
        return;
    }
    const char* column = EventLogColumn(side, kind);
    if (!column)
        return;
    const char* table = side == 0 ? "CHUNGLOG" : "HONGLOG";
    const int index = ++md.nLogIndex; // taken even when the write fails, so the order stays right
    const std::string key = Quoted(view.m_strMatchKey);
    // The row goes in only once, however often the batch runs (again after a crash).
    EventLogBatch batch{Sql("INSERT INTO %s(keyvalue,round,rtime,%s,gtime,itemvalid,ptime,dbindex) SELECT "
                            "'%s','%s','%s',%d,'%s',%d,%u,%d WHERE NOT EXISTS (SELECT 1 FROM %s WHERE "
                            "keyvalue='%s' AND dbindex=%d)",
                            table, column, key.c_str(), Quoted(view.m_strRoundText).c_str(),
                            Quoted(time).c_str(), value, EventTimeText().c_str(), count ? 1 : 0,
                            static_cast<unsigned>(stamp), index, table, key.c_str(), index)};
    if (view.m_bMatchRowMissing) {
        EventLogBatch row = MatchRowStatements(
            md, QString::fromStdU16String(view.m_strMatchKey).toStdString(), view.m_strMatchStarted);
        batch.insert(batch.begin(), row.begin(), row.end());
    }
    if (kind < 13 || kind > 15) { // a judge's press changes no total
        const TTK_SideScore& c = md.aSide[0];
        const TTK_SideScore& h = md.aSide[1];
        const TTK_SideScore& own = md.aSide[side];
        const char prefix = side == 0 ? 'c' : 'h';
        batch.push_back(Sql("UPDATE GAMET SET chungpoint=%d, hongpoint=%d, %cpoint=%d, %cfacepoint=%d, "
                            "%cbodypoint=%d, %cdeduct=%d WHERE keyvalue='%s'",
                            c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2,
                            h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2, prefix, own.nScore, prefix,
                            TallyToRound(own, 4, md.nCurRound), prefix, TallyToRound(own, 2, md.nCurRound),
                            prefix, own.nPenaltyCount1 + own.nPenaltyCount2, key.c_str()));
    }
    char what[32];
    std::snprintf(what, sizeof what, "%s row %d", table, index);
    if (Queue(view, std::move(batch), what))
        view.m_bMatchRowMissing = false;
}

} // namespace

const char* EventLogColumn(int side, int kind) {
    switch (kind) {
    case 0:
    case 8:
    case 9:
    case 19:
        return "jpoint";
    case 1:
    case 16:
    case 22:
        return "vest";
    case 2:
    case 17:
        return "face";
    case 3:
    case 6:
    case 11:
    case 12:
    case 20:
    case 23:
        return "point";
    case 4:
    case 5:
    case 7:
        return side == 0 ? "point" : "jpoint";
    case 10:
    case 21:
        return "deduct";
    case 13:
        return "judge1";
    case 14:
        return "judge2";
    case 15:
        return "judge3";
    default:
        return nullptr;
    }
}

std::string EventLogKey(const QDateTime& started, int n) {
    std::string key = started.toString(QStringLiteral("yyyyMMddHHmm")).toStdString();
    if (n >= 2) {
        key += '-';
        key += std::to_string(n);
    }
    return key;
}

void SetEventLogClock(EventLogClock clock) {
    g_clock = clock;
}

QDateTime EventLogNow() {
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

void CMainWnd::LogMatchRow() {
    if (!g_pMatchData || g_pMatchData->bMatchLogged)
        return;
    MatchData& md = *g_pMatchData;
    CAdoObject& db = theApp.m_dbLocal;
    Writer(*this); // on this database, so the keys it was given are known
    const QDateTime now = EventLogNow();
    // The key is the minute the match starts; a match started in a minute that already has one gets the
    // next free number after it, so its events never join the rows of another.
    std::string key = EventLogKey(now, 1);
    for (int n = 2; n <= kMaxMatchesAMinute && KeyTaken(db, key); ++n)
        key = EventLogKey(now, n);
    KeysGiven().push_back(key);
    m_strMatchKey = QString::fromStdString(key).toStdU16String();
    m_strMatchStarted = DateTimeText(now);
    m_bMatchRowMissing = !Queue(*this, MatchRowStatements(md, key, m_strMatchStarted), "GAMET row");
    // Set even when the row could not be queued: the match is under way.
    md.nLogIndex = 0;
    md.bMatchLogged = 1;
    ++md.nMatchStarts;
}

void CMainWnd::LogMatchWin(std::u16string_view win) {
    if (m_strMatchKey.empty()) {
        DebugPrintf("decision: the match has no event-log row; win column not written");
        return;
    }
    // An empty text takes a decision back: the column is empty again, as before any decision.
    const std::string value = win.empty() ? std::string("NULL") : "'" + Quoted(win) + "'";
    Queue(*this,
          {Sql("UPDATE GAMET SET win=%s WHERE keyvalue='%s'", value.c_str(), Quoted(m_strMatchKey).c_str())},
          "win column");
}

void CMainWnd::OnEventLogSettled(bool written) {
    SendSettledLinks();
    if (!written)
        ReportLogFailure(*this);
}

void CMainWnd::ForgetMatchRow() {
    m_strMatchKey.clear();
    m_strMatchStarted.clear();
    m_bMatchRowMissing = false;
    m_bLogErrorShown = false;
}

void CMainWnd::LogChungEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(*this, 0, time, kind, value, count, stamp);
}

void CMainWnd::LogHongEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(*this, 1, time, kind, value, count, stamp);
}
