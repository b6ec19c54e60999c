// The local event log against a real SQLite file made from the shipped schema, read back with the
// statements of the result browser and the result sheet.
#include "records/EventLog.h"
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "records/EventLogWriter.h"
#include "tests/support/EventLogSettle.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

QDateTime g_now;
QDateTime TestClock() {
    return g_now;
}

// A view, a match record and the local database of a fresh program folder, on a clock the test sets.
class LocalEventLog : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        g_now = QDateTime(QDate(2024, 5, 6), QTime(10, 30, 0));
        SetEventLogClock(&TestClock);
        MakeDatabase();
        ASSERT_TRUE(Reopen()) << theApp.m_dbLocal.lastError();
        md().nRound = 3;
        view = std::make_unique<CMainWnd>();

        md().nCourtNo = 4;
        std::strcpy(md().szContestNo, "012");
        std::strcpy(md().szWeightClass, "-58kg");
        std::strcpy(md().szWeight, "Senior");
        std::strcpy(md().szGender, "M");
        std::strcpy(md().aPlayer[0].szName, "KIM");
        std::strcpy(md().aPlayer[0].szNationCode, "KOR");
        std::strcpy(md().aPlayer[0].szMacBody, "0123456789ABCDEF");
        std::strcpy(md().aPlayer[1].szName, "LEE");
        std::strcpy(md().aPlayer[1].szNationCode, "none");
        std::strcpy(md().aPlayer[1].szMacBody, "1123456789ABCDEF");
        md().nPSSType = 2;
        md().bUseESocks = 0;
        md().nLevelBody = 25;
        md().nLevelHead = 18;
        md().nGameState = 3;
        md().nCurRound = 1;
        view->ShowRoundNumber(1);
    }
    void TearDown() override {
        TheEventLogWriter().Stop();
        view.reset();
        theApp.m_dbLocal.Close();
        SetEventLogClock(nullptr);
        FreeMatchData();
        g_strAppDir.clear();
    }

    std::string dbFile() const { return home.file("Vevuvurer.edi"); }
    void MakeDatabase() { ASSERT_EQ(home.makeLocalDatabase(), ""); }
    bool Reopen() { return theApp.m_dbLocal.Open(home.localConnection().c_str()); }
    // Runs statements on a second connection, as another program would.
    void RawSql(const std::string& sql) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(dbFile().c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, 2000); // the writer may be trying a failed event again
        char* error = nullptr;
        const int rc = sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(raw);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }
    // True when another connection takes the write lock: no transaction was left open. It waits for the
    // lock as another program does, since a writer trying a failed event again holds it for a moment.
    bool WritableFromOutside() {
        sqlite3* raw = nullptr;
        sqlite3_open(dbFile().c_str(), &raw);
        sqlite3_busy_timeout(raw, 2000);
        const bool free =
            sqlite3_exec(raw, "BEGIN IMMEDIATE; ROLLBACK;", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(raw);
        return free;
    }

    // Waits (bounded) until the writer has ended an attempt at every event queued so far, and delivers
    // what it posted to the view.
    static void Settle() { EXPECT_TRUE(SettleEventLog()) << "the event-log writer did not answer"; }
    // A failure's box comes with the writer's notice, posted a moment after the batch counts as settled.
    void AwaitBoxes(std::size_t count) {
        QElapsedTimer waited;
        waited.start();
        while (prompter.texts().size() < count && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    // Every row of a query as the readers see it (VariantToString of each cell), once the events queued
    // so far have settled.
    Rows Query(const std::string& sql) {
        Settle();
        CAdoObject& db = theApp.m_dbLocal;
        db.Select("%s", sql.c_str());
        Rows rows;
        for (int r = 0; r < db.nRows; ++r) {
            rows.emplace_back();
            for (int c = 0; c < db.nColumns; ++c)
                rows.back().push_back(VariantToString(db.cell(r, c)));
        }
        return rows;
    }
    std::u16string One(const std::string& sql) {
        const Rows rows = Query(sql);
        EXPECT_EQ(rows.size(), 1u) << sql << ": " << theApp.m_dbLocal.lastError();
        return rows.size() == 1 && !rows[0].empty() ? rows[0][0] : u"<none>";
    }
    std::string Key() const { return QString::fromStdU16String(view->m_strMatchKey).toStdString(); }

    MatchData& md() { return *g_pMatchData; }

    // The rows a second connection sees, as a peer reading the database would.
    long long CountFromOutside(const std::string& table) {
        sqlite3* raw = nullptr;
        sqlite3_open(dbFile().c_str(), &raw);
        sqlite3_stmt* statement = nullptr;
        long long count = -1;
        if (sqlite3_prepare_v2(raw, ("SELECT count(*) FROM " + table).c_str(), -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(raw);
        return count;
    }

    TempHome home;
    ScriptedPrompter prompter;
    std::unique_ptr<CMainWnd> view;
};

// Records, for each record sent on a link, how many CHUNGLOG rows a peer could read at that moment.
class LinkOrderView : public CMainWnd {
public:
    std::function<long long()> rowsOutside;
    std::vector<long long> rowsAtSend;
    BOOL SendOnLink(int commType, void* link, std::string_view bytes) override {
        if (!m_bSendingHeld && (m_bHoldLinks || !m_heldLinks.empty()))
            return CMainWnd::SendOnLink(commType, link, bytes); // waits for the event log
        rowsAtSend.push_back(rowsOutside());
        return TRUE;
    }
};

// The result sheet's event query ("Include All") and the readers' text of each column.
const char* kEventColumns = "SELECT round, rtime, face, vest, point, deduct, judge1, judge2, judge3, jpoint, "
                            "itemvalid ,gtime, ptime, "
                            "dbindex FROM ";

TEST(EventLogRules, ColumnOfEachKindForEachSide) {
    struct Case {
        int kind;
        const char* chung;
        const char* hong;
    };
    const Case cases[] = {
        {0, "jpoint", "jpoint"}, {1, "vest", "vest"},      {2, "face", "face"},      {3, "point", "point"},
        {4, "point", "jpoint"},  {5, "point", "jpoint"},   {6, "point", "point"},    {7, "point", "jpoint"},
        {8, "jpoint", "jpoint"}, {9, "jpoint", "jpoint"},  {10, "deduct", "deduct"}, {11, "point", "point"},
        {12, "point", "point"},  {13, "judge1", "judge1"}, {14, "judge2", "judge2"}, {15, "judge3", "judge3"},
        {16, "vest", "vest"},    {17, "face", "face"},     {18, nullptr, nullptr},   {19, "jpoint", "jpoint"},
        {20, "point", "point"},  {21, "deduct", "deduct"}, {22, "vest", "vest"},     {23, "point", "point"},
        {24, nullptr, nullptr},  {-1, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const char* chung = EventLogColumn(0, c.kind);
        const char* hong = EventLogColumn(1, c.kind);
        EXPECT_EQ(chung ? std::string(chung) : "-", c.chung ? std::string(c.chung) : "-") << c.kind;
        EXPECT_EQ(hong ? std::string(hong) : "-", c.hong ? std::string(c.hong) : "-") << c.kind;
    }
}

TEST(EventLogRules, KeyIsTheMinuteWithANumberForLaterMatchesOfIt) {
    const QDateTime at(QDate(2024, 1, 2), QTime(9, 5, 59));
    EXPECT_EQ(EventLogKey(at, 1), "202401020905");
    EXPECT_EQ(EventLogKey(at, 2), "202401020905-2");
    EXPECT_EQ(EventLogKey(at, 12), "202401020905-12");
}

TEST_F(LocalEventLog, AScriptedMatchReadsBackAsTheBrowserAndTheSheetExpect) {
    view->LogMatchRow();
    ASSERT_EQ(Key(), "202405061030");

    // One event as the scoring paths log it, after the score record has changed.
    struct Step {
        int round;
        int side;
        int kind;
        int value;
        int valid;
        std::uint32_t stamp;
        const char16_t* clock;
        int column; // expected: index into the sheet's columns, -1 for no row
        // score changes of the side before the call
        int points;
        int tallyRow;
        int penalty1;
        int penalty2;
    };
    enum { Face = 2, Vest = 3, Point = 4, Deduct = 5, Judge1 = 6, JPoint = 9 };
    const Step script[] = {
        {1, 0, 1, 28, 1, 1500, u"1:52", Vest, 0, -1, 0, 0},   // trunk hit
        {1, 0, 3, 2, 1, 1500, u"1:52", Point, 2, 2, 0, 0},    // trunk kick point
        {1, 1, 2, 41, 0, 320, u"1:40", Face, 0, -1, 0, 0},    // head hit that does not count
        {1, 1, 10, 1, 1, 2000, u"1:31", Deduct, 0, -1, 1, 0}, // gam-jeom
        {1, 0, 13, 3, 0, 250, u"1:20", Judge1, 0, -1, 0, 0},  // judge 1 press
        {2, 1, 6, 3, 1, 0, u"1:10", Point, 3, 4, 0, 0},       // head kick point in round 2
        {2, 1, 4, 1, 1, 0, u"0:59", JPoint, 1, -1, 0, 0},     // kind 4: Hong's jpoint
        {2, 0, 21, 2, 1, 2000, u"0:40", Deduct, 0, -1, 0, 1}, // double gam-jeom
        {2, 0, 18, 1, 1, 0, u"0:30", -1, 0, -1, 0, 0},        // not logged
        {2, 0, 4, -1, 1, 2000, u"0:05", Point, -1, -1, 0, 0}, // kind 4: Chung's point, a removal
    };
    Rows expected[2];
    int dbindex = 0;
    for (const Step& s : script) {
        g_now = g_now.addSecs(7);
        md().nCurRound = s.round;
        view->ShowRoundNumber(s.round);
        TTK_SideScore& side = md().aSide[s.side];
        side.nScore += s.points;
        if (s.tallyRow >= 0)
            side.nTechTally[s.tallyRow][s.round - 1] += s.points;
        side.nPenaltyCount1 += s.penalty1;
        side.nPenaltyCount2 += s.penalty2;
        if (s.side == 0)
            view->LogChungEvent(s.clock, s.kind, s.value, s.valid, s.stamp);
        else
            view->LogHongEvent(s.clock, s.kind, s.value, s.valid, s.stamp);
        if (s.column < 0)
            continue;
        std::vector<std::u16string> row(14, u"0");
        row[0] = QString::number(s.round).toStdU16String();
        row[1] = s.clock;
        row[s.column] = QString::number(s.value).toStdU16String();
        row[10] = s.valid ? u"TRUE" : u"FALSE";
        row[11] = g_now.toString(QStringLiteral("yyyy-MM-dd/HH:mm:ss")).toStdU16String();
        row[12] = QString::number(s.stamp).toStdU16String();
        row[13] = QString::number(++dbindex).toStdU16String();
        expected[s.side].push_back(row);
    }
    EXPECT_EQ(md().nLogIndex, 9);

    const std::string where = " WHERE keyvalue = '" + Key() + "'";
    EXPECT_EQ(Query(kEventColumns + std::string("CHUNGLOG") + where + " ORDER BY dbindex asc"), expected[0]);
    EXPECT_EQ(Query(kEventColumns + std::string("HONGLOG") + where + " ORDER BY dbindex asc"), expected[1]);

    // The sheet's two filters: counted events only, and counted events that carry points.
    const auto indexes = [&](const std::string& table, const std::string& filter) {
        std::vector<std::u16string> out;
        for (const auto& row : Query(kEventColumns + table + where + filter + " ORDER BY dbindex asc"))
            out.push_back(row[13]);
        return out;
    };
    using Idx = std::vector<std::u16string>;
    EXPECT_EQ(indexes("CHUNGLOG", " and itemvalid = TRUE"), (Idx{u"1", u"2", u"8", u"9"}));
    EXPECT_EQ(indexes("HONGLOG", " and itemvalid = TRUE"), (Idx{u"4", u"6", u"7"}));
    const std::string summary =
        " and itemvalid = TRUE and (jpoint > 0 or jpoint < 0 or point > 0 or point < 0 "
        "or deduct > 0 or deduct < 0)";
    EXPECT_EQ(indexes("CHUNGLOG", summary), (Idx{u"2", u"8", u"9"}));
    EXPECT_EQ(indexes("HONGLOG", summary), (Idx{u"4", u"6", u"7"}));

    // The match row as the result sheet reads it, totals included:
    // Chung 1 own + Hong's gam-jeom 1 = 2; Hong 4 own + Chung's double gam-jeom 2 = 6.
    const Rows sheet = Query("SELECT roomno, gameno, chungpoint, hongpoint, cfacepoint, cbodypoint, "
                             "\t\t\t\t\t\thfacepoint, hbodypoint, "
                             "cdeduct, hdeduct, cname, hname, win, cnation, hnation, \t\t\t\t\t\tweight, "
                             "weight1, sex, gtime,face, "
                             "valid,keyvalue, cpoint, hpoint,bvalue,fvalue ,cfrom, hfrom \t\t\t\t\t\tFROM "
                             "GAMET WHERE keyvalue = '" +
                             Key() + "'");
    ASSERT_EQ(sheet.size(), 1u);
    const std::vector<std::u16string> want = {u"4",
                                              u"012",
                                              u"2",
                                              u"6",
                                              u"0",
                                              u"2",
                                              u"3",
                                              u"0",
                                              u"1",
                                              u"1",
                                              u"KIM",
                                              u"LEE",
                                              u"",
                                              u"KOR",
                                              u"none",
                                              u"-58kg",
                                              u"Senior",
                                              u"M",
                                              u"2024-05-06/10:30:00",
                                              u"1",
                                              u"0",
                                              u"202405061030",
                                              u"1",
                                              u"4",
                                              u"25",
                                              u"18",
                                              u"KOR",
                                              u"none"};
    EXPECT_EQ(sheet[0], want);

    // The browser's newest match is this one, with its date column readable.
    const Rows latest = Query(
        "SELECT roomno, gameno, cname, hname, chungpoint, hongpoint, win, gtime, keyvalue FROM GAMET ORDER "
        "BY gtime DESC");
    ASSERT_EQ(latest.size(), 1u);
    EXPECT_EQ(latest[0][7], u"2024-05-06/10:30:00");
    EXPECT_EQ(latest[0][8], u"202405061030");
}

TEST_F(LocalEventLog, MatchesStartedInOneMinuteGetTheirOwnKeysAndRows) {
    std::vector<std::string> keys;
    for (int match = 0; match < 3; ++match) {
        md().bMatchLogged = 0; // the engine prepares the next match
        md().nLogIndex = 0;
        g_now = g_now.addSecs(15); // 10:30:15, :30, :45
        view->LogMatchRow();
        keys.push_back(Key());
        view->LogChungEvent(u"2:00", 3, 2, 1, 0);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"202405061030", "202405061030-2", "202405061030-3"}));
    for (const std::string& key : keys) {
        EXPECT_EQ(One("SELECT count(*) FROM GAMET WHERE keyvalue = '" + key + "'"), u"1") << key;
        EXPECT_EQ(One("SELECT dbindex FROM CHUNGLOG WHERE keyvalue = '" + key + "'"), u"1") << key;
    }
    // The browser lists the newest first.
    EXPECT_EQ(Query("SELECT keyvalue FROM GAMET ORDER BY gtime DESC"),
              (Rows{{u"202405061030-3"}, {u"202405061030-2"}, {u"202405061030"}}));

    g_now = g_now.addSecs(60);
    md().bMatchLogged = 0;
    view->LogMatchRow();
    EXPECT_EQ(Key(), "202405061031");
}

TEST_F(LocalEventLog, TextsAreStoredWholeWhateverTheyHold) {
    struct Case {
        const char* name; // bytes in the record
        std::u16string stored;
    };
    const Case cases[] = {
        {"O'Neil", u"O'Neil"},
        {"x'); DROP TABLE GAMET; --", u"x'); DROP TABLE GAMET; --"},
        {"\xEA\xB9\x80", u"\uAE40"},   // UTF-8, as typed on this court
        {"\xB1\xE8", u"\uFFFD\uFFFD"}, // not UTF-8: a damaged field still goes in as valid text
    };
    for (const Case& c : cases) {
        md().bMatchLogged = 0;
        std::strcpy(md().aPlayer[1].szName, c.name);
        view->LogMatchRow();
        view->LogHongEvent(u"1'00", 2, 3, 1, 0);
        EXPECT_EQ(One("SELECT hname FROM GAMET WHERE keyvalue = '" + Key() + "'"), c.stored) << c.name;
        EXPECT_EQ(One("SELECT rtime FROM HONGLOG WHERE keyvalue = '" + Key() + "'"), u"1'00") << c.name;
    }
}

TEST_F(LocalEventLog, TheLocalDatabaseWaitsForTheDiskAtEveryCommit) {
    EXPECT_EQ(One("PRAGMA journal_mode"), u"wal");
    EXPECT_EQ(One("PRAGMA synchronous"), u"2"); // FULL
    view->LogMatchRow();
    EXPECT_EQ(One("PRAGMA synchronous"), u"2");
}

TEST_F(LocalEventLog, ThePeersHearOfAScoreChangeOnlyOnceItIsInTheDatabase) {
    auto owned = std::make_unique<LinkOrderView>();
    LinkOrderView& order = *owned;
    view = std::move(owned);
    order.rowsOutside = [this] { return CountFromOutside("CHUNGLOG"); };
    int link = 0;
    md().pIvrLink = &link;
    md().bIvrConnected = 1;
    md().nGameState = 8; // a gam-jeom is given with the clock stopped
    view->LogMatchRow();
    view->AddGamJeom(0);
    Settle();
    ASSERT_FALSE(order.rowsAtSend.empty());
    for (const long long rows : order.rowsAtSend)
        EXPECT_EQ(rows, 1);
    EXPECT_FALSE(view->m_bHoldLinks);
    EXPECT_TRUE(view->m_heldLinks.empty());

    // A write that fails lets the notices go once it is known, after the operator was told once; while
    // the writer fails, the next notices go at once.
    order.rowsAtSend.clear();
    RawSql("DROP TABLE CHUNGLOG");
    view->AddGamJeom(0);
    Settle();
    EXPECT_FALSE(order.rowsAtSend.empty());
    AwaitBoxes(1);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"DB Error!"});
    order.rowsAtSend.clear();
    view->AddGamJeom(0);
    EXPECT_FALSE(order.rowsAtSend.empty());
    Settle();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"DB Error!"});
    md().pIvrLink = nullptr;
}

TEST_F(LocalEventLog, AFailedWriteShowsDbErrorOncePerMatch) {
    theApp.m_dbLocal.Close();
    view->LogMatchRow();
    view->LogChungEvent(u"1:55", 1, 30, 1, 0);
    view->LogHongEvent(u"1:50", 1, 30, 1, 0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"DB Error!"});

    // The next match tells it again, once.
    view->ForgetMatchRow();
    md().bMatchLogged = 0;
    view->LogMatchRow();
    view->LogChungEvent(u"1:55", 1, 30, 1, 0);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"DB Error!", "DB Error!"}));

    // A match whose writes work shows nothing.
    ASSERT_TRUE(Reopen());
    view->ForgetMatchRow();
    md().bMatchLogged = 0;
    view->LogMatchRow();
    view->LogChungEvent(u"1:55", 1, 30, 1, 0);
    Settle();
    EXPECT_EQ(prompter.texts().size(), 2u);
}

TEST_F(LocalEventLog, TheMatchRowAndTheRemovalOfItsRegistrationAreOneWrite) {
    const std::string registration =
        "INSERT INTO PLAYER(FNo, Weight, Weight1, Sex) VALUES('012', '-58kg', 'Senior', 'M')";
    struct Case {
        const char* what;
        std::string sabotage; // on a second connection, after the registration row is in
        const char* gametRows;
        const char* playerRows;
    };
    const Case cases[] = {
        {"both written", "SELECT 1", "1", "0"},
        {"the row refused: the registration stays",
         "CREATE TRIGGER refuse BEFORE INSERT ON GAMET BEGIN SELECT RAISE(ABORT, 'disk full'); END", "0",
         "1"},
        {"the removal refused: no row either",
         "CREATE TRIGGER refuse BEFORE DELETE ON PLAYER BEGIN SELECT RAISE(ABORT, 'disk full'); END", "0",
         "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RawSql("DELETE FROM GAMET; DELETE FROM PLAYER; DROP TRIGGER IF EXISTS refuse");
        RawSql(registration);
        RawSql(c.sabotage);
        view->ForgetMatchRow();
        md().bMatchLogged = 0;
        g_now = g_now.addSecs(60);
        view->LogMatchRow();
        EXPECT_EQ(One("SELECT count(*) FROM GAMET"), QString::fromLatin1(c.gametRows).toStdU16String());
        EXPECT_EQ(One("SELECT count(*) FROM PLAYER"), QString::fromLatin1(c.playerRows).toStdU16String());
        EXPECT_TRUE(WritableFromOutside());
        // Kept and tried again: once the database takes it, both writes are done.
        RawSql("DROP TRIGGER IF EXISTS refuse");
        ASSERT_TRUE(TheEventLogWriter().WaitWritten(20000));
        EXPECT_EQ(One("SELECT count(*) FROM GAMET"), u"1");
        EXPECT_EQ(One("SELECT count(*) FROM PLAYER"), u"0");
    }
}

// The decision's win column goes behind the match's events, and a decision taken back empties it again.
TEST_F(LocalEventLog, TheWinColumnFollowsTheEventsAndADecisionTakenBackEmptiesIt) {
    view->LogMatchRow();
    md().aSide[1].nScore = 3;
    view->LogHongEvent(u"0:10", 6, 3, 1, 0);
    view->LogMatchWin(u"H.WIN((PTF) Final Score)");
    EXPECT_EQ(One("SELECT win || '/' || hongpoint FROM GAMET"), u"H.WIN((PTF) Final Score)/3");
    view->LogMatchWin(u"");
    EXPECT_EQ(One("SELECT coalesce(win, 'empty') FROM GAMET"), u"empty");
    view->LogMatchWin(u"C.WIN((WDR) O'Neil withdrew)");
    EXPECT_EQ(One("SELECT win FROM GAMET"), u"C.WIN((WDR) O'Neil withdrew)");
}

TEST_F(LocalEventLog, TheEquipmentTestWritesNothing) {
    view->LogMatchRow();
    md().aSide[0].nScore = 2;
    view->LogChungEvent(u"1:50", 3, 2, 1, 0);
    md().nGameState = 13;
    md().aSide[0].nScore = 5;
    md().aSide[1].nScore = 3;
    for (int kind : {1, 3, 10, 13})
        view->LogChungEvent(u"1:50", kind, 3, 1, 0);
    view->LogHongEvent(u"1:50", 3, 3, 1, 0);
    EXPECT_EQ(md().nLogIndex, 1);
    EXPECT_EQ(One("SELECT count(*) FROM CHUNGLOG"), u"1");
    EXPECT_EQ(One("SELECT count(*) FROM HONGLOG"), u"0");
    EXPECT_EQ(One("SELECT chungpoint || '/' || hongpoint FROM GAMET"), u"2/0");
}

// A failed event is kept with every event behind it, and written in order once the database takes it
// again: no event is lost or doubled, and the totals never disagree with the rows.
TEST_F(LocalEventLog, AFailedEventIsKeptAndWrittenInOrderWhenTheDatabaseTakesItAgain) {
    struct Case {
        const char* what;
        std::string sabotage; // on a second connection
        std::string cure;
    };
    const Case cases[] = {
        {"event rows refused",
         "CREATE TRIGGER refuse BEFORE INSERT ON CHUNGLOG BEGIN SELECT RAISE(ABORT, 'disk full'); END",
         "DROP TRIGGER refuse"},
        {"totals refused",
         "CREATE TRIGGER refuse BEFORE UPDATE ON GAMET BEGIN SELECT RAISE(ABORT, 'disk full'); END",
         "DROP TRIGGER refuse"},
    };
    TheEventLogWriter().SetRetryPauseForTests(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RawSql("DELETE FROM GAMET; DELETE FROM CHUNGLOG; DELETE FROM HONGLOG");
        view->ForgetMatchRow();
        md().bMatchLogged = 0;
        md().aSide[0].nScore = 0;
        md().aSide[1].nScore = 0;
        g_now = g_now.addSecs(60);
        view->LogMatchRow();
        Settle();
        RawSql(c.sabotage);
        testing::internal::CaptureStderr();
        md().aSide[0].nScore = 2;
        view->LogChungEvent(u"1:00", 3, 2, 1, 0);
        md().aSide[1].nScore = 3;
        view->LogHongEvent(u"0:50", 6, 3, 1, 0);
        Settle();
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_NE(output.find("event log: not written"), std::string::npos) << output;
        EXPECT_TRUE(TheEventLogWriter().Failing());
        // Neither event is in: not the refused one, nor the one behind it, and the totals agree.
        EXPECT_EQ(
            One("SELECT (SELECT count(*) FROM CHUNGLOG) || '/' || (SELECT count(*) FROM HONGLOG) || '/' "
                "|| chungpoint || '/' || hongpoint FROM GAMET"),
            u"0/0/0/0");
        EXPECT_TRUE(WritableFromOutside());

        RawSql(c.cure);
        ASSERT_TRUE(TheEventLogWriter().WaitWritten(20000));
        EXPECT_EQ(One("SELECT dbindex || '/' || point FROM CHUNGLOG"), u"1/2");
        EXPECT_EQ(One("SELECT dbindex || '/' || point FROM HONGLOG"), u"2/3");
        EXPECT_EQ(One("SELECT chungpoint || '/' || hongpoint FROM GAMET"), u"2/3");
        EXPECT_FALSE(TheEventLogWriter().Failing());
    }
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"DB Error!", "DB Error!"}));
}

// Another program holds the database's write lock: the user-interface thread still hands every event
// over at once, and the events are written once the lock is free.
TEST_F(LocalEventLog, AnotherProgramHoldingTheWriteLockHoldsUpNoEvent) {
    TheEventLogWriter().SetRetryPauseForTests(10);
    view->LogMatchRow();
    Settle();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbFile().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int event = 1; event <= 5; ++event) {
        md().aSide[1].nScore = 3 * event;
        QElapsedTimer handed;
        handed.start();
        view->LogHongEvent(u"1:00", 6, 3, 1, 0);
        // Without the writer the call waited out SQLite's busy time-out of seconds.
        EXPECT_LT(handed.elapsed(), 50) << "event " << event;
    }
    Settle();
    EXPECT_TRUE(TheEventLogWriter().Failing());
    AwaitBoxes(1);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"DB Error!"});
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    ASSERT_TRUE(TheEventLogWriter().WaitWritten(20000));
    EXPECT_EQ(Query("SELECT dbindex FROM HONGLOG ORDER BY dbindex"),
              (Rows{{u"1"}, {u"2"}, {u"3"}, {u"4"}, {u"5"}}));
    EXPECT_EQ(One("SELECT hongpoint FROM GAMET"), u"15");
}

// A program killed before its events were written writes them at its next start, each once, even when the
// kill came after a commit and before the queue file knew of it; a record the kill cut short is dropped.
TEST_F(LocalEventLog, EventsLeftInTheQueueFileAreWrittenOnceAtTheNextStart) {
    view->LogMatchRow();
    md().aSide[0].nScore = 2;
    view->LogChungEvent(u"1:50", 3, 2, 1, 0);
    ASSERT_TRUE(TheEventLogWriter().WaitWritten(20000));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbFile().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    md().aSide[1].nScore = 3;
    view->LogHongEvent(u"1:40", 6, 3, 1, 0);
    md().aSide[0].nScore = 4;
    view->LogChungEvent(u"1:30", 3, 2, 1, 0);
    Settle();
    TheEventLogWriter().Stop(); // the program ends with two events unwritten
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    const std::string queue = dbFile() + "-queue";
    QFile file(QString::fromStdString(queue));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray kept = file.readAll();
    file.close();
    ASSERT_FALSE(kept.isEmpty());
    const auto restart = [&](const QByteArray& bytes) {
        QFile out(QString::fromStdString(queue));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        TheEventLogWriter().Start(theApp.m_dbLocal.connectionString(), dbFile());
        ASSERT_TRUE(TheEventLogWriter().WaitWritten(20000));
    };
    // The next start, with the end of a record a kill cut short.
    restart(kept + kept.left(20));
    const Rows expected{{u"0", u"1", u"2"}, {u"1", u"2", u"3"}, {u"0", u"3", u"2"}};
    const std::string events =
        "SELECT 0, dbindex, point FROM CHUNGLOG UNION ALL SELECT 1, dbindex, point FROM "
        "HONGLOG ORDER BY 2";
    EXPECT_EQ(Query(events), expected);
    EXPECT_EQ(One("SELECT chungpoint || '/' || hongpoint FROM GAMET"), u"4/3");
    EXPECT_EQ(QFile(QString::fromStdString(queue)).size(), 0);
    // Killed after those commits but before the queue file was emptied: they run again and change nothing.
    restart(kept);
    EXPECT_EQ(Query(events), expected);
    EXPECT_EQ(One("SELECT chungpoint || '/' || hongpoint FROM GAMET"), u"4/3");
    EXPECT_EQ(One("SELECT count(*) FROM GAMET"), u"1");
}

TEST_F(LocalEventLog, AMatchRowThatCouldNotBeWrittenIsWrittenBeforeTheNextEvent) {
    theApp.m_dbLocal.Close();
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(view->LogMatchRow());
    EXPECT_NO_THROW(view->LogChungEvent(u"1:55", 1, 30, 1, 0));
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("event log: the local database is not open; GAMET row not written"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("the local database is not open; CHUNGLOG row 1 not written"), std::string::npos)
        << output;
    EXPECT_EQ(md().bMatchLogged, 1); // the match is under way all the same

    ASSERT_TRUE(Reopen());
    g_now = g_now.addSecs(20);
    md().aSide[0].nScore = 2;
    view->LogChungEvent(u"1:40", 3, 2, 1, 0);
    EXPECT_EQ(One("SELECT keyvalue || ' ' || gtime || ' ' || chungpoint FROM GAMET"),
              u"202405061030 2024-05-06 10:30:00 2");
    EXPECT_EQ(One("SELECT dbindex FROM CHUNGLOG WHERE keyvalue = '202405061030'"), u"2");
    view->LogChungEvent(u"1:30", 3, 2, 1, 0);
    EXPECT_EQ(One("SELECT count(*) FROM GAMET"), u"1");
}

} // namespace
