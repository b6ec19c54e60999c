// Today's match of the court from the tournament results database, against the PostgreSQL server that
// scripts/test starts: the selection statements by protector type and match status, the contest list's row,
// the look-ups, loading the row, and the team dialog's reconnect. Skipped with the reason without the server.
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "app/WeightDivisions.h"
#include "platform/WindowMessages.h"
#include "records/TournamentDb.h"
#include "records/TournamentSelection.h"
#include "records/TournamentStatements.h"
#include "registration/ContestList.h"
#include "registration/RegDlgHandle.h"
#include "tests/support/TestCourt.h"
#include "tests/support/TournamentServer.h"

#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class FakeView : public MessageWindow {
public:
    std::vector<UINT> received;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        received.push_back(message);
        return 0;
    }
};

// Court 3 today: G0 without protector addresses, registered first; G1 the next match with all addresses
// (a Korean and a quoted name); G2 playing. G3 is another court's and G5 yesterday's, both registered
// earlier. Tournament T0 is not active and has its own players, quota and levels.
constexpr const char* kFixture[] = {
    "DELETE FROM tkdgerucourt",
    "DELETE FROM tkdgerursltd",
    "DELETE FROM tkdgerursltm",
    "DELETE FROM tkdgeruplayer",
    "DELETE FROM tkdgerusel",
    "DELETE FROM tkdcode",
    "DELETE FROM tkdtour",
    "INSERT INTO tkdtour VALUES ('T1', '1', 'Y', '4'), ('T0', '1', 'N', '4')",
    "INSERT INTO tkdcode VALUES ('42', 'D1', 'Senior'), ('22', 'W2', '-58kg')",
    "INSERT INTO tkdgerursltm (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, game_date, "
    "game_no,"
    " gender_code, game_court, game_status, mac_addr_reg_time, match_order, court_reg_time) VALUES"
    " ('T1', '1', 'D1', 'W2', 'S8', 'G0', TO_CHAR(CURRENT_DATE, 'YYYYMMDD'), '5', '1', '3', '1', NULL, '1',"
    "  '2026-01-01 09:00'),"
    " ('T1', '1', 'D1', 'W2', 'S8', 'G1', TO_CHAR(CURRENT_DATE, 'YYYYMMDD'), '7', '2', '3', '1', now(), '2',"
    "  '2026-01-01 10:00'),"
    " ('T1', '1', 'D1', 'W2', 'S4', 'G2', TO_CHAR(CURRENT_DATE, 'YYYYMMDD'), '9', '1', '3', '2', now(), '3',"
    "  '2026-01-01 10:00'),"
    " ('T1', '1', 'D1', 'W2', 'S8', 'G3', TO_CHAR(CURRENT_DATE, 'YYYYMMDD'), '3', '1', '4', '1', now(), '4',"
    "  '2026-01-01 08:00'),"
    " ('T1', '1', 'D1', 'W2', 'S8', 'G5', TO_CHAR(CURRENT_DATE - 1, 'YYYYMMDD'), '2', '1', '3', '1', now(), "
    "'5',"
    "  '2026-01-01 07:00')",
    "INSERT INTO tkdgerursltd (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, br_gubun, "
    "reg_seq,"
    " mac_body, mac_head)"
    " SELECT tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, 'B', 'B1',"
    "  CASE WHEN game_code = 'G0' THEN NULL ELSE '0015000000000001' END, '0015000000000002' FROM tkdgerursltm"
    " UNION ALL"
    " SELECT tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, 'R', 'R1',"
    "  CASE WHEN game_code = 'G0' THEN NULL ELSE '1015000000000003' END, '1015000000000004' FROM "
    "tkdgerursltm",
    "INSERT INTO tkdgeruplayer VALUES ('T1', '1', 'D1', 'W2', 'B1', '김태권', 'Seoul', 'KOR', 2),"
    " ('T1', '1', 'D1', 'W2', 'R1', 'Ann O''Neil', 'Cork', 'IRL', 1),"
    " ('T0', '1', 'D1', 'W2', 'B1', 'Old', 'Old', 'OLD', 5)",
    "INSERT INTO tkdgerusel VALUES ('T1', '1', 'D1', 'W2', 25, NULL), ('T0', '1', 'D1', 'W2', 40, 30)",
};

class TournamentSelectionTest : public ::testing::Test, protected TestCourt {
protected:
    void SetUp() override {
        std::string reason;
        server = TournamentServerText(reason);
        if (server.empty())
            GTEST_SKIP() << "no PostgreSQL test server: " << reason;
        ASSERT_EQ(HoldTournamentServer(fixture, server), "");
        for (const char* sql : kFixture)
            ASSERT_TRUE(fixture.Execute("%s", sql)) << fixture.lastError();
        ASSERT_TRUE(OpenTournamentDb(server));
        g_hMainWnd = view.GetSafeHwnd();
        md->nCourtNo = 3;
        md->nPSSType = 2;
        md->nRound = 3;
        md->nOvrSupplier = 3;
        md->bOvrConnected = 1;
        md->nPrimaryRight = 1920;
        md->nPrimaryBottom = 1080;
        g_MatchInfoNew = g_MatchInfoCur = TTK_MatchInfo{};
    }
    void TearDown() override {
        delete dialog.data();
        CloseTournamentDb();
        fixture.Close();
        g_hMainWnd = 0;
        g_hRegDlg = 0;
        g_MatchInfoNew = g_MatchInfoCur = TTK_MatchInfo{};
    }
    CMy_ListCtrl* List() { return static_cast<CMy_ListCtrl*>(dialog->GetDlgItem(1279)); }
    std::vector<std::string> ListRow() {
        std::vector<std::string> out;
        for (int c = 0; c < List()->columnCount(); ++c)
            out.push_back(List()->item(0, c) ? List()->item(0, c)->text().toStdString() : "");
        return out;
    }

    std::string server;
    CAdoObject fixture;
    FakeView view;
    QPointer<CTK_RegDlg> dialog;
};

using Texts = std::vector<std::string>;

TEST_F(TournamentSelectionTest, EachProtectorTypeAndStatusSelectsItsMatch) {
    const struct {
        int pss, which;
        const char* game;
        int columns;
    } cases[] = {{2, 1, "G1", 18}, {2, 0, "G2", 18}, {1, 1, "G1", 16},
                 {1, 0, "G2", 16}, {0, 1, "G0", 16}, {0, 0, "G2", 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pss) + "/" + std::to_string(c.which));
        md->nPSSType = c.pss;
        TTK_MatchInfo info;
        int next = 0;
        ASSERT_TRUE(
            TournamentSelection::SelectMatch(theApp.m_dbTournament, c.pss, 3, c.which, false, info, next))
            << theApp.m_dbTournament.lastError();
        EXPECT_EQ(theApp.m_dbTournament.nColumns, c.columns);
        EXPECT_EQ(info[TTK_MatchInfo::kGameCode], c.game);
        EXPECT_EQ(info[TTK_MatchInfo::kWhich], c.which == 1 ? "1" : "2");
        EXPECT_EQ(info.nFound, 1);
    }
    TTK_MatchInfo team;
    int next = 0;
    ASSERT_TRUE(TournamentSelection::SelectMatch(theApp.m_dbTournament, 2, 3, 1, true, team, next));
    EXPECT_EQ(team[TTK_MatchInfo::kGameCode], "G0") << "the team selection has no address filters";
    EXPECT_EQ(team[TTK_MatchInfo::kBluePlayerName], "김태권");
}

TEST_F(TournamentSelectionTest, TheNextMatchIsTheListsOneRow) {
    dialog = new CTK_RegDlg; // supplier 3 connected: the dialog selects the next match when it opens
    EXPECT_EQ(ListRow(), (Texts{"Senior", "7[Next]", "김태권", "KOR", "Ann O'Neil", "IRL", "-58kg", "Female",
                                "0015000000000001", "1015000000000003", "", "", "0015000000000002",
                                "1015000000000004", "S8"}));
    EXPECT_EQ(dialog->GetDlgItemText(1050), "001");
    EXPECT_EQ(g_MatchInfoNew.nFound, 1);
    EXPECT_EQ(g_MatchInfoNew[TTK_MatchInfo::kBlueMacHead], "0015000000000002");
    EXPECT_EQ(g_MatchInfoNew[TTK_MatchInfo::kRedMacHead], "1015000000000004");

    dialog->LoadTournamentMatch(0);
    EXPECT_EQ(ListRow()[1], "9[Current]");
    EXPECT_EQ(ListRow()[7], "Male");

    // "Load OVR Match" asks the tournament database for the next match again.
    qobject_cast<QPushButton*>(dialog->GetDlgItem(1290))->click();
    EXPECT_EQ(ListRow()[1], "7[Next]");

    ASSERT_TRUE(fixture.Execute("%s", "DELETE FROM tkdgerursltd"));
    dialog->LoadTournamentMatch(1);
    EXPECT_EQ(List()->rowCount(), 0);
    EXPECT_EQ(dialog->GetDlgItemText(1050), "001");
    EXPECT_EQ(g_MatchInfoNew.nFound, 0);
}

TEST_F(TournamentSelectionTest, LoadingTheRowMakesItTheMatchInProgressWithItsQuotaAndLevels) {
    md->nVRQuota = 1;
    md->nLevelPunch = 12;
    dialog = new CTK_RegDlg;
    List()->selectRow(0);
    dialog->OnContestListDblClk();
    EXPECT_STREQ(md->szContestNo, "7");
    EXPECT_STREQ(md->szPhase, "S8");
    EXPECT_EQ(md->nVRQuota, 2) << "the active tournament's player";
    EXPECT_EQ(md->nLevelBody, 25);
    EXPECT_STREQ(md->aPlayer[0].szMacHead, "0015000000000002");
    EXPECT_STREQ(md->aPlayer[1].szMacBody, "1015000000000003");
    EXPECT_EQ(CurrentTournamentCodes(g_MatchInfoCur).game, "G1");
    EXPECT_EQ(CurrentTournamentCodes(g_MatchInfoCur).stage, "S8");
}

TEST_F(TournamentSelectionTest, LookUpsTakeOnlyASingleValue) {
    g_MatchInfoNew[TTK_MatchInfo::kDepCode] = "D1";
    g_MatchInfoNew[TTK_MatchInfo::kWeiCode] = "W2";
    g_MatchInfoNew[TTK_MatchInfo::kStageCode] = "S8";
    g_MatchInfoNew[TTK_MatchInfo::kGameCode] = "G1";
    CAdoObject& db = theApp.m_dbTournament;
    using TournamentSelection::LookUp;
    int value = -1;
    EXPECT_EQ(TournamentSelection::QueryVideoCount(db, g_MatchInfoNew, value), LookUp::Found);
    EXPECT_EQ(value, 2);
    value = -1;
    EXPECT_EQ(TournamentSelection::QueryStrengthLevel(db, g_MatchInfoNew, value), LookUp::Found);
    EXPECT_EQ(value, 25);
    value = -1;
    EXPECT_EQ(TournamentSelection::QueryPunchLevel(db, g_MatchInfoNew, value), LookUp::None) << "NULL";
    // A NULL quota is no quota of 0.
    ASSERT_TRUE(fixture.Execute("%s", "UPDATE tkdgeruplayer SET video_cnt = NULL WHERE tour_code = 'T1'"));
    EXPECT_EQ(TournamentSelection::QueryVideoCount(db, g_MatchInfoNew, value), LookUp::None);
    // Two active tournaments with the match: two values, none taken.
    ASSERT_TRUE(fixture.Execute("%s", "UPDATE tkdtour SET use_yn = 'Y'"));
    ASSERT_TRUE(fixture.Execute(
        "%s", "INSERT INTO tkdgerursltd (tour_code, tour_cnt, dep_code, wei_code, stage_code,"
              " game_code, br_gubun, reg_seq) VALUES ('T0', '1', 'D1', 'W2', 'S8', 'G1', 'B', 'B1')"));
    EXPECT_EQ(TournamentSelection::QueryStrengthLevel(db, g_MatchInfoNew, value), LookUp::None);
    ASSERT_TRUE(fixture.Execute("%s", "UPDATE tkdgeruplayer SET video_cnt = 3"));
    EXPECT_EQ(TournamentSelection::QueryVideoCount(db, g_MatchInfoNew, value), LookUp::None);
    // A closed connection fails the look-up.
    db.Close();
    EXPECT_EQ(TournamentSelection::QueryVideoCount(db, g_MatchInfoNew, value), LookUp::Failed);
    EXPECT_EQ(value, -1);
}

// Loading the shown row with a nation table, the weight-division tables (Senior female -58kg: trunk 32,
// head 11, punch 6) and the court's rule quota 1.
class TournamentLoadTest : public TournamentSelectionTest {
protected:
    void SetUp() override {
        TournamentSelectionTest::SetUp();
        if (IsSkipped())
            return;
        home.write("ini/WeightDiv.ini", "[Division]\r\nNumber=1\r\nName_0=Senior\r\n"
                                        "[Senior_Male]\r\nCat_Number=1\r\nCat_Name_0=-58kg\r\n"
                                        "Level_Body_0=20\r\nLevel_Head_0=10\r\nLevel_Punch_0=5\r\n"
                                        "[Senior_Female]\r\nCat_Name_0=-58kg\r\n"
                                        "Level_Body_0=32\r\nLevel_Head_0=11\r\nLevel_Punch_0=6\r\n");
        LoadWeightDivisions(*md);
        const char16_t* nations[][3] = {{u"", u"", u"-"}, {u"IRL", u"", u"Ireland"}, {u"KOR", u"", u"Korea"}};
        for (int i = 0; i < 3; ++i)
            for (int f = 0; f < 3; ++f)
                std::copy_n(nations[i][f], std::char_traits<char16_t>::length(nations[i][f]) + 1,
                            md->aNation[i].wszField[f]);
        md->nNationCount = 3;
        md->nVRQuota = md->nTeamVRQuota = 1;
    }
    void TearDown() override {
        TournamentSelectionTest::TearDown();
        FreeWeightDivisions(*md);
    }
    // The active tournament's levels of the division (no row when strength is null and punch is too).
    void SetLevels(const char* strength, const char* punch) {
        ASSERT_TRUE(fixture.Execute("%s", "DELETE FROM tkdgerusel WHERE tour_code = 'T1'"));
        if (std::string(strength) != "NULL" || std::string(punch) != "NULL") {
            ASSERT_TRUE(fixture.Execute("INSERT INTO tkdgerusel VALUES ('T1', '1', 'D1', 'W2', %s, %s)",
                                        strength, punch));
        }
    }
    void Load(CTK_RegDlg& dlg) {
        view.received.clear();
        static_cast<CMy_ListCtrl*>(dlg.GetDlgItem(1279))->selectRow(0);
        dlg.OnContestListDblClk();
    }
    std::vector<int> Levels() const { return {md->nLevelBody, md->nLevelHead, md->nLevelPunch}; }
    // Another session holds the table for 4 s (the thread to join); the UI connection's statements get 1 s.
    std::thread HoldTable(const std::string& table) {
        auto locker = std::make_shared<CAdoObject>();
        EXPECT_TRUE(locker->Open(server.c_str())) << locker->lastError();
        std::thread hold([locker, table] {
            locker->Execute("DO $$ BEGIN LOCK TABLE %s IN ACCESS EXCLUSIVE MODE; PERFORM pg_sleep(4); END $$",
                            table.c_str());
        });
        CAdoObject& db = theApp.m_dbTournament;
        for (int wait = 0; wait < 100; ++wait) {
            db.SelectBound(
                "SELECT 1 FROM pg_locks l JOIN pg_class c ON c.oid = l.relation WHERE c.relname = ?"
                " AND l.mode = 'AccessExclusiveLock' AND l.granted",
                {DbVariant::text(table)});
            if (db.nRows == 1)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        db.SetTimeouts(kTournamentConnectSeconds, 1);
        return hold;
    }
};

TEST_F(TournamentLoadTest, TheNationsAreFoundByTheirCodes) {
    dialog = new CTK_RegDlg;
    Load(*dialog);
    EXPECT_EQ(md->aPlayer[0].nNation, 2);
    EXPECT_STREQ(md->aPlayer[0].szNationCode, "KOR");
    EXPECT_STREQ(md->aPlayer[0].szNationName, "Korea");
    EXPECT_EQ(md->aPlayer[1].nNation, 1);
    EXPECT_STREQ(md->aPlayer[1].szNationName, "Ireland");
    EXPECT_EQ(dialog->GetDlgItemText(1306), "Korea");
    EXPECT_EQ(dialog->GetDlgItemText(1307), "Ireland");
    EXPECT_EQ(dialog->GetDlgItemText(1282), "Korea");
}

TEST_F(TournamentLoadTest, TheDivisionsLevelsComeFromTheDatabaseOrTheTables) {
    const struct {
        const char *strength, *punch;
        int usePunch, kgf;
        std::vector<int> levels; // trunk, head, punch
    } cases[] = {
        {"25", "NULL", 1, 0, {25, 11, 6}}, // no punch level: the table's
        {"25", "30", 1, 0, {25, 11, 30}},
        {"25", "30", 0, 0, {25, 11, 6}}, // punches not used: the punch level is not asked
        {"NULL", "NULL", 1, 0, {32, 11, 6}},
        {"0", "30", 1, 0, {32, 11, 30}},     // a trunk level of 0 is none
        {"NULL", "NULL", 0, 1, {93, 11, 6}}, // the table's trunk level in the court's unit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.strength) + "/" + c.punch + "/" + std::to_string(c.usePunch) + "/" +
                     std::to_string(c.kgf));
        SetLevels(c.strength, c.punch);
        md->bUsePunch = static_cast<BYTE>(c.usePunch);
        md->bUseKgfUnit = static_cast<BYTE>(c.kgf);
        md->nVRQuota = 1;
        md->nGameState = 0;
        delete dialog.data();
        dialog = new CTK_RegDlg;
        Load(*dialog);
        EXPECT_EQ(Levels(), c.levels);
        EXPECT_EQ(md->nVRQuota, 2) << "the blue player's video count";
        EXPECT_EQ(dialog->GetDlgItemText(1048), QString::number(c.levels[0]));
    }
}

// The individual dialog starts the next or the playing match; the team dialog reloads the playing match
// while it runs without starting it again.
TEST_F(TournamentLoadTest, ANewMatchIsAnnouncedOnlyForTheRowThatStartsOne) {
    const std::vector<UINT> started{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED};
    const std::vector<UINT> refreshed{UM_MATCH_LOADED};
    const struct {
        bool team;
        int which; // 1 next, 0 playing, -1 no tournament row read
        int gameState;
        std::vector<UINT> messages;
        const char* current; // game code of the match in progress afterwards
    } cases[] = {
        {false, 1, 0, started, "G1"},  {false, 0, 1, started, "G2"}, {false, -1, 0, refreshed, "GX"},
        {false, 0, 3, {}, "GX"},       {true, 1, 0, started, "G0"},  {true, 1, 3, {}, "GX"},
        {true, 0, 3, refreshed, "GX"}, {true, 0, 0, started, "G2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.team) + "/" + std::to_string(c.which) + "/" +
                     std::to_string(c.gameState));
        delete dialog.data();
        dialog = c.team ? new CTK_RegDlg_Team : new CTK_RegDlg;
        dialog->LoadTournamentMatch(c.which == 1 ? 1 : 0);
        if (c.which < 0)
            g_MatchInfoNew[TTK_MatchInfo::kWhich].clear();
        g_MatchInfoCur = TTK_MatchInfo{};
        g_MatchInfoCur[TTK_MatchInfo::kGameCode] = "GX";
        md->nGameState = c.gameState;
        md->aPlayer[0].szName[0] = '\0';
        Load(*dialog);
        EXPECT_EQ(view.received, c.messages);
        EXPECT_EQ(g_MatchInfoCur[TTK_MatchInfo::kGameCode], c.current);
        EXPECT_STREQ(md->aPlayer[0].szName, c.messages.empty() ? "" : "김태권");
    }
    EXPECT_EQ(prompter.texts(), Texts(2, "Please finish the previous game."));
}

TEST_F(TournamentLoadTest, TheTeamLoaderTakesTheDatabasesLevelsOrKeepsItsOwn) {
    md->nCompetitionType = 1;
    const struct {
        const char *strength, *punch;
        int usePunch, gameState;
        std::vector<int> levels; // trunk, head, punch
        int quota;
    } cases[] = {
        {"25", "30", 1, 0, {25, 15, 30}, 2},
        {"25", "NULL", 1, 0, {25, 15, 20}, 2},   // no punch level: 20
        {"NULL", "NULL", 1, 0, {30, 15, 20}, 2}, // no trunk level: the team's in force, never 0
        {"NULL", "NULL", 0, 0, {30, 15, 9}, 2},
        {"25", "30", 1, 3, {25, 15, 30}, 2}, // the playing match reloaded while it runs
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.strength) + "/" + c.punch + "/" + std::to_string(c.usePunch) + "/" +
                     std::to_string(c.gameState));
        SetLevels(c.strength, c.punch);
        md->bUsePunch = static_cast<BYTE>(c.usePunch);
        md->nLevelBody = 30;
        md->nLevelHead = 15;
        md->nLevelPunch = 9;
        md->nTeamVRQuota = 1;
        md->nGameState = c.gameState;
        delete dialog.data();
        dialog = new CTK_RegDlg_Team;
        dialog->LoadTournamentMatch(c.gameState > 1 ? 0 : 1);
        Load(*dialog);
        EXPECT_EQ(Levels(), c.levels);
        EXPECT_EQ(md->nTeamVRQuota, c.quota);
        EXPECT_EQ(dialog->GetDlgItemText(1080), QString::number(c.levels[2]));
    }
}

// A server that stops answering: the match still loads, with the court's own quota and the tables' levels,
// and the operator is told; after the first failed look-up no other is tried.
// A look-up only refines the loaded match: a value the operator could not type is refused, the court's value
// stays and the box names the field.
TEST_F(TournamentLoadTest, AValueOutOfRangeKeepsTheCourtsValueAndNamesTheField) {
    const auto told = [](const char* field, const char* value, int high) {
        return std::string("The tournament database's ") + field + " is \"" + value +
               "\", but it must be a whole number from 0 to " + std::to_string(high) +
               ".\r\nThis court's value is used; please check the match in the results system!";
    };
    const struct {
        const char *strength, *punch, *video;
        std::vector<int> levels; // trunk, head, punch
        int quota;
        Texts boxes;
    } cases[] = {
        {"-5", "30", "2", {32, 11, 30}, 2, {told("minimum trunk level", "-5", 100)}},
        {"101", "30", "2", {32, 11, 30}, 2, {told("minimum trunk level", "101", 100)}},
        {"25", "100000", "2", {25, 11, 6}, 2, {told("minimum punch level", "100000", 100)}},
        {"25", "30", "6", {25, 11, 30}, 1, {told("video-replay quota", "6", 5)}},
        {"25", "30", "-1", {25, 11, 30}, 1, {told("video-replay quota", "-1", 5)}},
        {"100", "0", "5", {100, 11, 6}, 5, {}}, // the ends of the ranges are taken (a punch level of 0 is
                                                // none)
    };
    md->bUsePunch = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.strength) + "/" + c.punch + "/" + c.video);
        SetLevels(c.strength, c.punch);
        ASSERT_TRUE(fixture.Execute("UPDATE tkdgeruplayer SET video_cnt = %s", c.video));
        md->nVRQuota = 1;
        md->nGameState = 0;
        const std::size_t shown = prompter.texts().size();
        delete dialog.data();
        dialog = new CTK_RegDlg;
        Load(*dialog);
        EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED}));
        EXPECT_EQ(Levels(), c.levels);
        EXPECT_EQ(md->nVRQuota, c.quota);
        const Texts texts = prompter.texts();
        EXPECT_EQ(Texts(texts.begin() + static_cast<std::ptrdiff_t>(shown), texts.end()), c.boxes);
    }
}

// A results system that keeps its levels as text: only a whole number is one; a level beyond the int range
// is no wrapped small one.
TEST_F(TournamentSelectionTest, ALevelThatIsNoWholeNumberInRangeIsRefused) {
    g_MatchInfoNew[TTK_MatchInfo::kDepCode] = "D1";
    g_MatchInfoNew[TTK_MatchInfo::kWeiCode] = "W2";
    ASSERT_TRUE(fixture.Execute("%s", "ALTER TABLE tkdgerusel ALTER COLUMN strength TYPE varchar(30)"));
    CAdoObject& db = theApp.m_dbTournament;
    using TournamentSelection::LookUp;
    const struct {
        const char* stored;
        LookUp result;
        int value;
    } cases[] = {
        {"abc", LookUp::Refused, -1}, {"12abc", LookUp::Refused, -1}, {"4294967321", LookUp::Refused, -1},
        {"", LookUp::Refused, -1},    {" 40 ", LookUp::Found, 40},    {"-0", LookUp::Found, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(
            fixture.Execute("UPDATE tkdgerusel SET strength = '%s' WHERE tour_code = 'T1'", c.stored));
        int value = -1;
        std::string shown;
        EXPECT_EQ(TournamentSelection::QueryStrengthLevel(db, g_MatchInfoNew, value, &shown), c.result);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(shown, c.result == LookUp::Refused ? c.stored : "");
    }
}

TEST_F(TournamentLoadTest, ALookUpTheServerDoesNotAnswerLoadsTheMatchWithTheCourtsValues) {
    md->bUsePunch = 1;
    dialog = new CTK_RegDlg;
    SetLevels("25", "30");
    // Another session holds the quota's table: its look-up runs out of time; the levels would be found.
    std::thread hold = HoldTable("tkdgeruplayer");
    // The look-up waits off the UI thread: its timers (the round clock's kind) fire meanwhile.
    bool firedDuringTheLoad = false;
    QTimer::singleShot(100, [&firedDuringTheLoad] { firedDuringTheLoad = true; });
    Load(*dialog);
    EXPECT_TRUE(firedDuringTheLoad);
    hold.join();
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED}));
    EXPECT_EQ(g_MatchInfoCur[TTK_MatchInfo::kGameCode], "G1");
    EXPECT_EQ(md->nVRQuota, 1);
    EXPECT_EQ(Levels(), (std::vector<int>{32, 11, 6})) << "no look-up after the failed one";
    const std::string told = "The tournament database did not answer for this match.\r\n"
                             "The video-replay quota and the power levels of this court are used; please "
                             "check them.";
    EXPECT_EQ(prompter.texts(), Texts{told});

    // The connection gone altogether: the same.
    theApp.m_dbTournament.Close();
    md->nGameState = 0;
    Load(*dialog);
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED}));
    EXPECT_EQ(Levels(), (std::vector<int>{32, 11, 6}));
    EXPECT_EQ(prompter.texts(), (Texts{told, told}));
}

// The team dialog reloads the playing match while it runs and the division's levels wait on the server:
// scoring meanwhile keeps the levels in force, never a level of 0.
TEST_F(TournamentLoadTest, WhileALookUpWaitsTheRunningMatchKeepsItsLevels) {
    md->nCompetitionType = 1;
    md->bUsePunch = 1;
    md->nLevelBody = 30;
    md->nLevelHead = 15;
    md->nLevelPunch = 9;
    md->nGameState = 3;
    auto* team = new CTK_RegDlg_Team;
    dialog = team;
    team->LoadTournamentMatch(0);
    std::thread hold = HoldTable("tkdgerusel");
    std::vector<int> duringTheLoad;
    QTimer::singleShot(100, [&] { duringTheLoad = Levels(); });
    Load(*team);
    hold.join();
    EXPECT_EQ(duringTheLoad, (std::vector<int>{30, 15, 9}));
    EXPECT_EQ(md->nTeamVRQuota, 2) << "the quota came before the levels' table was held";
    EXPECT_EQ(Levels(), (std::vector<int>{30, 15, 20})) << "no punch level came: 20; no strength asked";
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED}));
    EXPECT_EQ(prompter.texts().size(), 1u);
}

TEST_F(TournamentSelectionTest, TheTeamDialogReconnectsAfterAsking) {
    CloseTournamentDb();
    WriteTournamentServerSettings(server);
    md->bOvrConnected = 0;
    auto* team = new CTK_RegDlg_Team;
    dialog = team;
    prompter.answer(IDNO);
    team->OnDbReconnect();
    EXPECT_FALSE(theApp.m_dbTournament.bOpen);
    prompter.answer(IDYES);
    team->OnDbReconnect();
    EXPECT_TRUE(theApp.m_dbTournament.bOpen);
    EXPECT_EQ(view.received, std::vector<UINT>{UM_LINK_READY});
    WriteIniString(u"RMSSetting", u"DATABASE", u"no_such_database", u"Rule.ini");
    prompter.answer(IDYES);
    team->OnDbReconnect();
    EXPECT_FALSE(theApp.m_dbTournament.bOpen);
    EXPECT_EQ(prompter.texts(),
              (Texts{"DB 서버에 재접속 하시겠습니까?", "DB 서버에 재접속 하시겠습니까?", "DB 연결 성공",
                     "DB 서버에 재접속 하시겠습니까?", "DB Connection Error"}));
}

} // namespace
