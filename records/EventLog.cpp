// The operator view's event-log writers: the GAMET row of a match and the CHUNGLOG / HONGLOG rows and
// GAMET totals of its scoring events. A write that fails is reported in the debug output and the match goes
// on: the log never stops the clock, never shows a message box and never takes a point off the screen.
#include "records/EventLog.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/SqlText.h"
#include "app/TextConvert.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"

#include <QString>
#include <QStringDecoder>

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

// A narrow field of the record as UTF-8 between single quotes. Texts typed or registered on this court are
// UTF-8; those taken from the nation table or a match import may be code page 949, which is converted so
// the database holds one encoding.
template <std::size_t N> std::string Quoted(const char (&field)[N]) {
    const std::string_view text = FieldText(field);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Only decoding tells whether the bytes are UTF-8; the field itself is what goes in.
    [[maybe_unused]] const QString decoded =
        utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError())
        return SqlQuote(text);
    return SqlQuote(QString::fromStdU16String(Cp949ToWide(text)).toStdString());
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
// unless committed. Without a transaction (BEGIN refused) each write commits on its own.
class Transaction {
public:
    explicit Transaction(CAdoObject& db) : m_db(db), m_open(db.Execute("BEGIN") == TRUE) {}
    ~Transaction() {
        if (m_open)
            m_db.Execute("ROLLBACK");
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit() {
        if (m_open && Written("event (commit)", m_db.Execute("COMMIT")))
            m_open = false;
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

// The log commits at every scoring event. In WAL mode, synchronous NORMAL makes a commit wait for the disk
// only at checkpoints: a power cut may lose the last few events but never the database's consistency, and
// the score itself lives on the screen. Other journal modes keep their safer setting. Per connection, so it
// is set again for each match.
void CommitWithoutWaitingForTheDisk(CAdoObject& db) {
    db.Select("PRAGMA journal_mode");
    if (db.nRows == 1 && db.nColumns == 1 && VariantToString(db.cell(0, 0)) == u"wal")
        db.Execute("PRAGMA synchronous=NORMAL");
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

void LogEvent(CMainWnd& view, int side, std::u16string_view time, int kind, int value, int count,
              std::uint32_t stamp) {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    if (!md.bMatchLogged || md.nGameState == 13)
        return;
    if (view.m_strMatchKey.empty()) {
        DebugPrintf("event log: the match has no key (its row was never started); event not written");
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
        return;
    }
    const std::string key = Quoted(view.m_strMatchKey);
    Transaction transaction(db);
    if (view.m_bMatchRowMissing)
        view.m_bMatchRowMissing = !Written(
            "GAMET row", InsertMatchRow(md, QString::fromStdU16String(view.m_strMatchKey).toStdString(),
                                        view.m_strMatchStarted));
    Written(table, db.Execute("INSERT INTO %s(keyvalue,round,rtime,%s,gtime,itemvalid,ptime,dbindex) "
                              "VALUES('%s','%s','%s',%d,'%s',%d,%u,%d)",
                              table, column, key.c_str(), Quoted(view.m_strRoundText).c_str(),
                              Quoted(time).c_str(), value, DateTimeText(EventLogNow()).c_str(), count ? 1 : 0,
                              static_cast<unsigned>(stamp), index));
    if (kind < 13 || kind > 15) { // a judge's press changes no total
        const TTK_SideScore& c = md.aSide[0];
        const TTK_SideScore& h = md.aSide[1];
        const TTK_SideScore& own = md.aSide[side];
        const char prefix = side == 0 ? 'c' : 'h';
        Written("GAMET totals",
                db.Execute("UPDATE GAMET SET chungpoint=%d, hongpoint=%d, %cpoint=%d, %cfacepoint=%d, "
                           "%cbodypoint=%d, %cdeduct=%d WHERE keyvalue='%s'",
                           c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2,
                           h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2, prefix, own.nScore, prefix,
                           TallyToRound(own, 4, md.nCurRound), prefix, TallyToRound(own, 2, md.nCurRound),
                           prefix, own.nPenaltyCount1 + own.nPenaltyCount2, key.c_str()));
    }
    transaction.Commit();
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
    CommitWithoutWaitingForTheDisk(db);
    // The key is the minute the match starts; a match started in a minute that already has one gets the
    // next free number after it, so its events never join the rows of another.
    std::string key = EventLogKey(now, 1);
    for (int n = 2; n <= kMaxMatchesAMinute && KeyTaken(db, key); ++n)
        key = EventLogKey(now, n);
    m_strMatchKey = QString::fromStdString(key).toStdU16String();
    m_strMatchStarted = DateTimeText(now);
    m_bMatchRowMissing = !Written("GAMET row", InsertMatchRow(md, key, m_strMatchStarted));
    if (!md.bOvrConnected || md.nOvrSupplier == 4)
        Written("PLAYER row removal",
                db.Execute(
                    "DELETE FROM PLAYER WHERE FNo = '%s' AND Weight = '%s' AND Weight1 = '%s' AND Sex = '%s'",
                    Quoted(md.szContestNo).c_str(), Quoted(md.szWeightClass).c_str(),
                    Quoted(md.szWeight).c_str(), Quoted(md.szGender).c_str()));
    // Set even when the row could not be written: the match is under way, and the next event tries the row
    // again before its own.
    md.nLogIndex = 0;
    md.bMatchLogged = 1;
}

void CMainWnd::LogChungEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(*this, 0, time, kind, value, count, stamp);
}

void CMainWnd::LogHongEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(*this, 1, time, kind, value, count, stamp);
}
