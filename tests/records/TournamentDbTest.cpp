// The tournament results database against a real PostgreSQL server that scripts/test starts (the schema is
// tests/records/TournamentSchema.sql), through the same ODBC path the program uses. Without the server the
// tests are skipped with the reason.
#include "records/TournamentDb.h"
#include "app/AdoObject.h"
#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "app/VeziruduzApp.h"
#include "devices/PacketDispatch.h"
#include "match/WinSelDlg.h"
#include "records/MatchRecords.h"
#include "records/TournamentWriter.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tests/support/TournamentServer.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Two tournaments with the same match codes, only the first active; one match of court 3 today, with its two
// side rows and players, and the court rows.
constexpr const char* kFixture[] = {
    "DELETE FROM tkdgerucourt",
    "DELETE FROM tkdgerursltd",
    "DELETE FROM tkdgerursltm",
    "DELETE FROM tkdgeruplayer",
    "DELETE FROM tkdgerusel",
    "DELETE FROM tkdcode",
    "DELETE FROM tkdtour",
    "DROP TRIGGER IF EXISTS fail_first ON tkdgerursltd",
    "DROP TRIGGER IF EXISTS slow_write ON tkdgerursltd",
    "DROP SEQUENCE IF EXISTS failures",
    "INSERT INTO tkdtour VALUES ('T1', '1', 'Y', '1'), ('T0', '1', 'N', '1')",
    "INSERT INTO tkdgerucourt (tour_code, tour_cnt, court_no) VALUES ('T1', '1', '3'), ('T0', '1', '3')",
    "INSERT INTO tkdgerursltm (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, game_status)"
    " SELECT tour_code, tour_cnt, 'D1', 'W2', 'S3', 'G4', '1' FROM tkdtour",
    "INSERT INTO tkdgerursltd (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, br_gubun)"
    " SELECT tour_code, tour_cnt, 'D1', 'W2', 'S3', 'G4', side FROM tkdtour, (VALUES ('B'), ('R')) s(side)",
};

class TournamentDbTest : public ::testing::Test, protected TestCourt {
protected:
    void SetUp() override {
        std::string reason;
        server = TournamentServerText(reason);
        if (server.empty())
            GTEST_SKIP() << "no PostgreSQL test server: " << reason;
        ASSERT_EQ(HoldTournamentServer(db, server), "");
        for (const char* sql : kFixture)
            ASSERT_TRUE(db.Execute("%s", sql)) << db.lastError();
        SetTournamentMatchOfCourtThree(*md);
    }
    void TearDown() override {
        CloseTournamentDb();
        db.Close();
        g_MatchInfoCur = TTK_MatchInfo{};
    }

    // The values of one row as texts ("<null>" for NULL).
    std::vector<std::string> Row(const std::string& sql, const std::vector<DbVariant>& values = {}) {
        db.SelectBound(sql, values);
        std::vector<std::string> out;
        for (int c = 0; c < db.nColumns && db.nRows == 1; ++c) {
            const DbVariant& v = db.cell(0, c);
            out.push_back(v.isNull() ? "<null>" : v.isInteger() ? std::to_string(v.asInt64()) : v.asText());
        }
        return out;
    }
    std::vector<std::string> Side(const char* tour, const char* side, const char* columns) {
        return Row(std::string("SELECT ") + columns +
                       " FROM tkdgerursltd WHERE tour_code = ? AND br_gubun = ?",
                   {DbVariant::text(tour), DbVariant::text(side)});
    }
    std::vector<std::string> Match(const char* tour, const char* columns) {
        return Row(std::string("SELECT ") + columns + " FROM tkdgerursltm WHERE tour_code = ?",
                   {DbVariant::text(tour)});
    }
    // The connection text of a server that accepts the connection but never answers.
    static std::string SilentServerText(const QTcpServer& silent) {
        return "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(silent.serverPort()) +
               ";Database=tournament;Uid=belvanta;Pwd=;";
    }
    void StartWriter() { ASSERT_TRUE(OpenTournamentDb(server)) << theApp.m_dbTournament.lastError(); }
    // A trigger `name` that runs body (PL/pgSQL) before each update of a side row.
    void BeforeSideRowUpdate(const std::string& name, const std::string& body) {
        ASSERT_TRUE(
            db.Execute("CREATE OR REPLACE FUNCTION %s() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN %s"
                       " END $$",
                       name.c_str(), body.c_str()))
            << db.lastError();
        ASSERT_TRUE(
            db.Execute("CREATE TRIGGER %s BEFORE UPDATE ON tkdgerursltd FOR EACH ROW EXECUTE FUNCTION %s()",
                       name.c_str(), name.c_str()))
            << db.lastError();
    }

    std::string server;
    CAdoObject db;
};

using Texts = std::vector<std::string>;

TEST_F(TournamentDbTest, AScriptedMatchReadsBackFromTheActiveTournamentOnly) {
    StartWriter();
    {
        std::lock_guard lock(g_receiverNetworkLock);
        g_nReceiverChannel = 0x0B;
        g_nReceiverPanId = 0x1C2D;
        const BYTE address[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
        std::memcpy(g_abReceiverMac, address, 8);
    }
    UpdateCourtReceiver();
    md->nCurRound = 1;
    SetTournamentMatchPlaying();
    SetTournamentCurrentRound();
    md->aSide[0].nScore = md->aSide[0].nRoundScore[0] = 2;
    UpdateTournamentScore(0);
    md->aSide[1].nPenaltyCount1 = md->aSide[1].nRoundPenalty1[0] = 1;
    md->aSide[1].nRoundPenaltyPoints1[0] = 1;
    UpdateTournamentScore(2);
    md->nRoundWinner[0] = 1;
    md->aSide[0].nRoundWins = 1;
    UpdateTournamentWinCounts();
    md->nCurRound = 2;
    SetTournamentCurrentRound();
    md->aSide[1].nScore = md->aSide[1].nRoundScore[1] = 3;
    UpdateTournamentScore(1);
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(10'000));
    EXPECT_EQ(TheTournamentWriter().FailedCount(), 0u);

    EXPECT_EQ(
        Row("SELECT rcv_info_ch, rcv_info_panid, rcv_info_mac FROM tkdgerucourt WHERE tour_code = 'T1'"),
        (Texts{"0b", "1c2d", "001a2b3c4d5e6f70"}));
    EXPECT_EQ(Match("T1", "game_status, curr_round"), (Texts{"2", "2"}));
    EXPECT_EQ(Side("T1", "B", "dukjum, gamjum, jumsu, dukjum1, gamjum1, dukjum2, win_cnt1, win_cnt"),
              (Texts{"3", "0", "3", "3", "0", "<null>", "1", "1"}));
    EXPECT_EQ(Side("T1", "R", "dukjum, gamjum, jumsu, dukjum1, gamjum1, dukjum2, gamjum2, win_cnt1"),
              (Texts{"3", "1", "3", "0", "1", "3", "0", "0"}));
    // The inactive tournament's rows with the same codes stay as they were.
    EXPECT_EQ(Row("SELECT rcv_info_mac FROM tkdgerucourt WHERE tour_code = 'T0'"), (Texts{"<null>"}));
    EXPECT_EQ(Match("T0", "game_status, curr_round"), (Texts{"1", "<null>"}));
    EXPECT_EQ(Side("T0", "B", "dukjum, win_cnt"), (Texts{"<null>", "<null>"}));
}

TEST_F(TournamentDbTest, TheDecisionsMarksAndCodesArriveIntact) {
    StartWriter();
    g_MatchInfoCur[TTK_MatchInfo::kGameCode] = "G'4"; // a quote in a code is a value like any other
    ASSERT_TRUE(db.Execute("UPDATE tkdgerursltm SET game_code = 'G''4'"));
    ASSERT_TRUE(db.Execute("UPDATE tkdgerursltd SET game_code = 'G''4'"));
    md->nCurRound = 4; // a golden round was played
    md->aSide[0].nScore = 5;
    md->aSide[0].nRoundScore[3] = 2;
    md->aSide[1].nScore = 3;
    md->nWinSide = 0;
    EXPECT_TRUE(WriteTournamentDecision(6));
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(10'000));
    EXPECT_EQ(prompter.texts(), Texts{});
    EXPECT_EQ(Side("T1", "B", "result, jumsu, dukjum4"), (Texts{"\u25CB", "5", "2"}));
    EXPECT_EQ(Side("T1", "R", "result, jumsu, dukjum4"), (Texts{"\u2169", "3", "0"}));
    EXPECT_EQ(Match("T1", "result_code, ext_yn, curr_round, bigo"), (Texts{"06", "Y", "4", ""}));
    EXPECT_EQ(Side("T0", "B", "result"), (Texts{"<null>"}));
}

// The server refuses the first two writes of a side row: the operator is asked until the row is written.
TEST_F(TournamentDbTest, TheDrawAsksAgainUntilTheServerTakesItsRows) {
    ASSERT_TRUE(db.Execute("%s", "CREATE SEQUENCE failures"));
    BeforeSideRowUpdate("fail_first", "IF nextval('failures') <= 2 THEN RAISE EXCEPTION 'refused'; END IF;"
                                      " RETURN NEW;");
    StartWriter();
    md->nCurRound = 2;
    md->aSide[0].nScore = 4;
    md->aSide[1].nScore = 4;
    prompter.answer(IDYES);
    prompter.answer(IDYES);
    auto view = std::make_unique<CMainWnd>();
    view->SetupControls();
    view->OnClickedDraw();
    EXPECT_EQ(prompter.texts(),
              (Texts{"Fail to sending the results[2]!!\r\nWould you send the results again?",
                     "Fail to sending the results[2]!!\r\nWould you send the results again?"}));
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(10'000));
    EXPECT_EQ(Side("T1", "B", "result, jumsu"), (Texts{"D", "4"}));
    EXPECT_EQ(Side("T1", "R", "result, jumsu"), (Texts{"D", "4"}));
    EXPECT_EQ(Match("T1", "result_code, ext_yn, curr_round"), (Texts{"14", "N", "2"}));
}

// A server that takes its time over each side row: while the draw's rows are waited for, the UI thread's
// timers still run, and rows written late are written, not asked about.
TEST_F(TournamentDbTest, WhileTheDrawsRowsAreWaitedForTheUiThreadsTimersRun) {
    BeforeSideRowUpdate("slow_write", "PERFORM pg_sleep(0.5); RETURN NEW;");
    StartWriter();
    md->nCurRound = 3;
    md->aSide[0].nScore = 6;
    md->aSide[1].nScore = 6;
    auto view = std::make_unique<CMainWnd>();
    view->SetupControls();
    bool drawReturned = false;
    int ticksDuringTheDraw = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ticksDuringTheDraw += drawReturned ? 0 : 1; });
    tick.start(50);
    view->OnClickedDraw();
    drawReturned = true;
    EXPECT_GE(ticksDuringTheDraw, 5);
    EXPECT_TRUE(prompter.texts().empty());
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(10'000));
    EXPECT_EQ(Side("T1", "B", "result, jumsu"), (Texts{"D", "6"}));
    EXPECT_EQ(Side("T1", "R", "result, jumsu"), (Texts{"D", "6"}));
    EXPECT_EQ(Match("T1", "result_code, curr_round"), (Texts{"14", "3"}));
}

TEST_F(TournamentDbTest, ADrawTheServerKeepsRefusingIsReportedForEachRow) {
    BeforeSideRowUpdate("fail_first", "RAISE EXCEPTION 'refused';");
    StartWriter();
    prompter.answer(IDYES);
    prompter.answer(IDNO);
    prompter.answer(IDOK);
    prompter.answer(IDNO);
    auto view = std::make_unique<CMainWnd>();
    view->SetupControls();
    view->OnClickedDraw();
    EXPECT_EQ(prompter.texts(),
              (Texts{"Fail to sending the results[2]!!\r\nWould you send the results again?",
                     "Fail to sending the results[2]!!\r\nWould you send the results again?",
                     "Fail to sending the results[2]!!\r\nPlease inform the person concerned!",
                     "Fail to sending the results[3]!!\r\nWould you send the results again?",
                     "Fail to sending the results[3]!!\r\nPlease inform the person concerned!"}));
    EXPECT_EQ(md->nDecisionKind, 10);
}

// The finish's status is written behind the scores still waiting, and only a written one counts as sent.
TEST_F(TournamentDbTest, TheFinishedStatusIsSentOnlyWhenWritten) {
    auto view = std::make_unique<CMainWnd>();
    view->SetupControls();
    EXPECT_FALSE(view->SendTournamentMatchFinished()) << "not connected";
    StartWriter();
    md->aSide[0].nScore = 9;
    UpdateTournamentScore(0);
    EXPECT_TRUE(view->SendTournamentMatchFinished());
    EXPECT_EQ(Match("T1", "game_status"), (Texts{"3"}));
    EXPECT_EQ(Side("T1", "B", "dukjum"), (Texts{"9"}));
}

TEST_F(TournamentDbTest, ConnectingFromTheRuleSettingsAnnouncesTheLinkAndWritesTheCourt) {
    WriteTournamentServerSettings(server);
    auto view = std::make_unique<CMainWnd>();
    view->SetupControls();
    prompter.answer(IDNO);
    view->ConnectTournamentDb();
    EXPECT_EQ(md->bOvrConnected, 0);
    EXPECT_FALSE(theApp.m_dbTournament.bOpen);
    prompter.answer(IDYES);
    view->ConnectTournamentDb();
    EXPECT_EQ(md->bOvrConnected, 1);
    EXPECT_TRUE(theApp.m_dbTournament.bOpen);
    EXPECT_EQ(view->m_bLinkReady, 1);
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(10'000));
    EXPECT_NE(Row("SELECT rcv_info_mac FROM tkdgerucourt WHERE tour_code = 'T1'"), (Texts{"<null>"}));

    WriteIniString(u"RMSSetting", u"DATABASE", u"no_such_database", u"Rule.ini");
    prompter.answer(IDYES);
    view->ConnectTournamentDb();
    EXPECT_EQ(md->bOvrConnected, 0);
    EXPECT_FALSE(theApp.m_dbTournament.bOpen);
    EXPECT_EQ(prompter.texts().back(), "DB Connection Error!");
}

// A server that accepts the connection but never answers: the writes return at once while the worker waits;
// none is taken for written or given up on, and the waiting rows of a side are one with the newest values.
TEST_F(TournamentDbTest, AServerThatNeverAnswersHoldsUpNoScoreChange) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TheTournamentWriter().Start(SilentServerText(silent), 2, 2);
    md->nCurRound = 1;
    for (int point = 1; point <= 200; ++point) {
        md->aSide[0].nScore = point;
        UpdateTournamentScore(2);
    }
    EXPECT_FALSE(TheTournamentWriter().WaitIdle(200)) << "the worker is still waiting for the server";
    ASSERT_TRUE(pumpUntil([] { return TheTournamentWriter().Pending().held; }, std::chrono::seconds(30)));
    const TournamentWriter::Backlog backlog = TheTournamentWriter().Pending();
    EXPECT_GE(backlog.writes, 1u);
    EXPECT_LE(backlog.writes, 3u) << "waiting rows of the same side take the newer values";
    EXPECT_EQ(TheTournamentWriter().WrittenCount(), 0u);
    EXPECT_EQ(TheTournamentWriter().FailedCount(), 0u) << "nothing is given up on";
}

// Closing while the worker still waits for a server that never answers: the UI thread's event loop turns
// until the worker has ended, so the round clock's timer goes on.
TEST_F(TournamentDbTest, ClosingWhileTheServerNeverAnswersKeepsTheEventLoopTurning) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TheTournamentWriter().Start(SilentServerText(silent), 2, 2);
    UpdateTournamentScore(2);
    ASSERT_FALSE(TheTournamentWriter().WaitIdle(200)) << "the worker is still waiting for the server";
    int ticks = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock.start(20);
    CloseTournamentDb();
    EXPECT_GT(ticks, 0) << "the timer went on while the worker ended";
    EXPECT_FALSE(TheTournamentWriter().IsRunning());
    EXPECT_EQ(TheTournamentWriter().WrittenCount(), 0u);
}

} // namespace
