// The operator view's event-log writers: the GAMET row of a match and the CHUNGLOG / HONGLOG rows and
// GAMET totals of its scoring events. Each event is committed (durably: the local database waits for the
// disk) before the link records of its score change go out. A write that fails is reported in the debug
// output, the first of a match also by "DB Error!", and the match goes on: the log never stops the clock
// and never takes a point off the screen.
#include "records/EventLog.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/SqlText.h"
#include "app/TextConvert.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QString>

#include <algorithm>

namespace {

EventLogClock g_clock = nullptr;

// Far more matches than a court can start in one minute; past it the insert reports the taken key.
constexpr int kMaxMatchesAMinute = 999;

// The database's date/time text, "YYYY-MM-DD HH:MM:SS", which sorts as it reads and is read back as a
// date.
std::string DateTimeText(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

// A narrow field of the record between single quotes. Record texts are UTF-8; a damaged field still goes in
// as valid UTF-8, so the database holds one encoding.
template <std::size_t N> std::string Quoted(const char (&field)[N]) {
    return SqlQuote(RecordTextUtf8(FieldText(field)));
}

std::string Quoted(std::u16string_view text) {
    return SqlQuote(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString());
}

// Sum of one tally row over the rounds played so far (the golden round included).
int TallyToRound(const TTK_SideScore& s, int row, int rounds) {
    int sum = 0;
    for (int i = 0; i < std::clamp(rounds, 0, kMaxRounds); ++i)
        sum += s.nTechTally[row][i];
    return sum;
}

bool Written(const char* what, BOOL ok) {
    if (!ok)
        DebugPrintf("event log: %s not written: %s", what, theApp.m_dbLocal.lastError().c_str());
    return ok;
}

// One transaction for the writes of one event, so they reach the disk in a single commit; rolled back
// unless committed. A savepoint, so the match row written inside an event's transaction nests in it.
// Without one (refused) each write commits on its own.
class Transaction {
public:
    explicit Transaction(CAdoObject& db) : m_db(db), m_open(db.Execute("SAVEPOINT event_log") == TRUE) {}
    ~Transaction() {
        if (m_open && m_db.Execute("ROLLBACK TO event_log"))
            m_db.Execute("RELEASE event_log");
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the commit failed: the writes are rolled back.
    bool Commit() {
        if (!m_open)
            return true;
        if (!Written("event (commit)", m_db.Execute("RELEASE event_log")))
            return false;
        m_open = false;
        return true;
    }

private:
    CAdoObject& m_db;
    bool m_open;
};

// Whether a GAMET row with this key exists; a failed query counts as free (the insert then reports).
bool KeyTaken(CAdoObject& db, const std::string& key) {
    db.Select("SELECT count(*) FROM GAMET WHERE keyvalue='%s'", key.c_str());
    return db.nRows == 1 && db.cell(0, 0).isInteger() && db.cell(0, 0).asInt64() > 0;
}

BOOL InsertMatchRow(const MatchData& md, const std::string& key, const std::string& started) {
    const TTK_Player& c = md.aPlayer[0];
    const TTK_Player& h = md.aPlayer[1];
    return theApp.m_dbLocal.Execute(
        "INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,cnation,cvmac,hname,hnation,hvmac,sex,face,"
        "valid,weight,weight1,bvalue,fvalue,cfrom,hfrom) VALUES('%d','%s','%s','%s','%s','%s','%s','%s','%s',"
        "'%s','%s',%d,%d,'%s','%s','%d','%d','%s','%s')",
        md.nCourtNo, Quoted(md.szContestNo).c_str(), started.c_str(), SqlQuote(key).c_str(),
        Quoted(c.szName).c_str(), Quoted(c.szNationCode).c_str(), Quoted(c.szMacBody).c_str(),
        Quoted(h.szName).c_str(), Quoted(h.szNationCode).c_str(), Quoted(h.szMacBody).c_str(),
        Quoted(md.szGender).c_str(), md.nPSSType == 2 ? 1 : 0, md.bUseESocks ? 1 : 0,
        Quoted(md.szWeightClass).c_str(), Quoted(md.szWeight).c_str(), md.nLevelBody, md.nLevelHead,
        Quoted(c.szNationCode).c_str(), Quoted(h.szNationCode).c_str());
}

// The match's GAMET row and, when its registration came from this court's list, the removal of its PLAYER
// row: both or neither, and the removal only once the row is in. False when the row is not written.
bool WriteMatchRow(const MatchData& md, const std::string& key, const std::string& started) {
    CAdoObject& db = theApp.m_dbLocal;
    Transaction transaction(db);
    if (!Written("GAMET row", InsertMatchRow(md, key, started)))
        return false;
    if (!md.bOvrConnected || md.nOvrSupplier == 4) {
        if (!Written(
                "PLAYER row removal",
                db.Execute("DELETE FROM PLAYER WHERE FNo = '%s' AND Weight = '%s' AND Weight1 = '%s' AND "
                           "Sex = '%s'",
                           Quoted(md.szContestNo).c_str(), Quoted(md.szWeightClass).c_str(),
                           Quoted(md.szWeight).c_str(), Quoted(md.szGender).c_str())))
            return false;
    }
    return transaction.Commit();
}

// The operator must learn that the records are not being kept: the first failure of a match shows
// "DB Error!" (every failure is in the debug output). A box, not a stop: the clock runs on meanwhile.
void ReportLogFailure(CMainWnd& view) {
    if (view.m_bLogErrorShown)
        return;
    view.m_bLogErrorShown = true;
    AfxMessageBox(u"DB Error!");
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
        view.ReleaseLinks();
        ReportLogFailure(view);
        return;
    }
    const char* column = EventLogColumn(side, kind);
    if (!column)
        return;
    const char* table = side == 0 ? "CHUNGLOG" : "HONGLOG";
    const int index = ++md.nLogIndex; // taken even when the write fails, so the order stays right
    CAdoObject& db = theApp.m_dbLocal;
    if (!db.bOpen) {
        DebugPrintf("event log: the local database is not open; %s row %d not written", table, index);
        view.ReleaseLinks();
        ReportLogFailure(view);
        return;
    }
    const std::string key = Quoted(view.m_strMatchKey);
    bool failed = false;
    {
        Transaction transaction(db);
        if (view.m_bMatchRowMissing) {
            view.m_bMatchRowMissing = !WriteMatchRow(
                md, QString::fromStdU16String(view.m_strMatchKey).toStdString(), view.m_strMatchStarted);
            failed = view.m_bMatchRowMissing;
        }
        failed |= !Written(table, db.Execute("INSERT INTO %s(keyvalue,round,rtime,%s,gtime,itemvalid,ptime,"
                                             "dbindex) VALUES('%s','%s','%s',%d,'%s',%d,%u,%d)",
                                             table, column, key.c_str(), Quoted(view.m_strRoundText).c_str(),
                                             Quoted(time).c_str(), value, DateTimeText(EventLogNow()).c_str(),
                                             count ? 1 : 0, static_cast<unsigned>(stamp), index));
        if (kind < 13 || kind > 15) { // a judge's press changes no total
            const TTK_SideScore& c = md.aSide[0];
            const TTK_SideScore& h = md.aSide[1];
            const TTK_SideScore& own = md.aSide[side];
            const char prefix = side == 0 ? 'c' : 'h';
            failed |= !Written("GAMET totals",
                               db.Execute("UPDATE GAMET SET chungpoint=%d, hongpoint=%d, %cpoint=%d, "
                                          "%cfacepoint=%d, %cbodypoint=%d, %cdeduct=%d WHERE keyvalue='%s'",
                                          c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2,
                                          h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2, prefix,
                                          own.nScore, prefix, TallyToRound(own, 4, md.nCurRound), prefix,
                                          TallyToRound(own, 2, md.nCurRound), prefix,
                                          own.nPenaltyCount1 + own.nPenaltyCount2, key.c_str()));
        }
        failed |= !transaction.Commit();
    }
    // The peers hear of the event only now that it is on the disk (or known lost).
    view.ReleaseLinks();
    if (failed)
        ReportLogFailure(view);
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
    const QDateTime now = EventLogNow();
    // The key is the minute the match starts; a match started in a minute that already has one gets the
    // next free number after it, so its events never join the rows of another.
    std::string key = EventLogKey(now, 1);
    for (int n = 2; n <= kMaxMatchesAMinute && KeyTaken(db, key); ++n)
        key = EventLogKey(now, n);
    m_strMatchKey = QString::fromStdString(key).toStdU16String();
    m_strMatchStarted = DateTimeText(now);
    m_bMatchRowMissing = !WriteMatchRow(md, key, m_strMatchStarted);
    if (m_bMatchRowMissing)
        ReportLogFailure(*this);
    // Set even when the row could not be written: the match is under way, and the next event tries the row
    // again before its own.
    md.nLogIndex = 0;
    md.bMatchLogged = 1;
    ++md.nMatchStarts;
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
