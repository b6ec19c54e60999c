// The tournament results database going away in the middle of a match: a PostgreSQL server of the test's
// own (scripts/test-postgres) is killed, or frozen with SIGSTOP, while scores, penalties, a round's end,
// the round's winner and the next round are written; the operator screen says that writes wait; the server
// comes back and every row ends with the values of the match. Skipped with the reason where no PostgreSQL
// server can be started.
#include "app/AdoObject.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "match/FlowNotices.h"
#include "records/MatchRecords.h"
#include "records/TournamentDb.h"
#include "records/TournamentWriter.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tests/support/TournamentServer.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kFixture[] = {
    "INSERT INTO tkdtour VALUES ('T1', '1', 'Y', '1')",
    "INSERT INTO tkdgerursltm (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, game_status)"
    " VALUES ('T1', '1', 'D1', 'W2', 'S3', 'G4', '1')",
    "INSERT INTO tkdgerursltd (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, br_gubun)"
    " VALUES ('T1', '1', 'D1', 'W2', 'S3', 'G4', 'B'), ('T1', '1', 'D1', 'W2', 'S3', 'G4', 'R')",
};

// The notice of the operator screen about writes that wait.
constexpr int kBacklogNotice = 1560;

class TournamentOutageTest : public ::testing::Test, protected TestCourt {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        std::string why;
        if (!Server("start", &server, &why))
            GTEST_SKIP() << "no PostgreSQL server of the test's own: " << why;
        ASSERT_TRUE(db.Open(server.c_str())) << db.lastError();
        for (const char* sql : kFixture)
            ASSERT_TRUE(db.Execute("%s", sql)) << db.lastError();
        SetTournamentMatchOfCourtThree(*md);
        view = std::make_unique<CMainWnd>();
        view->SetupControls();
    }
    void TearDown() override {
        view.reset();
        TheTournamentWriter().Stop();
        db.Close();
        g_MatchInfoCur = TTK_MatchInfo{};
        if (!server.empty()) {
            Server("resume"); // a frozen server would not stop
            Server("stop");
        }
    }

    // Runs scripts/test-postgres with the action on the test's folder; its output goes to out.
    bool Server(const char* action, std::string* out = nullptr, std::string* why = nullptr) {
        QProcess script;
        script.start(QStringLiteral("bash"), {QStringLiteral(BELVANTA_SOURCE_DIR "/scripts/test-postgres"),
                                              QString::fromLatin1(action), folder.path()});
        const bool done = script.waitForFinished(180'000) && script.exitStatus() == QProcess::NormalExit &&
                          script.exitCode() == 0;
        if (out)
            *out = script.readAllStandardOutput().trimmed().toStdString();
        if (why)
            *why = script.readAllStandardError().trimmed().toStdString();
        return done;
    }
    std::vector<std::string> Row(const std::string& sql) {
        // The test's own look at the rows: a fresh connection, since the server came back.
        db.Close();
        EXPECT_TRUE(db.Open(server.c_str())) << db.lastError();
        db.Select("%s", sql.c_str());
        std::vector<std::string> out;
        for (int c = 0; c < db.nColumns && db.nRows == 1; ++c) {
            const DbVariant& v = db.cell(0, c);
            out.push_back(v.isNull() ? "<null>" : v.isInteger() ? std::to_string(v.asInt64()) : v.asText());
        }
        return out;
    }
    std::vector<std::string> Side(const char* side) {
        return Row(std::string("SELECT dukjum, gamjum, jumsu, dukjum1, gamjum1, dukjum2, gamjum2, win_cnt1, "
                               "win_cnt2, win_cnt FROM tkdgerursltd WHERE br_gubun = '") +
                   side + "'");
    }
    QLabel* Notice() { return qobject_cast<QLabel*>(view->GetDlgItem(kBacklogNotice)); }
    bool NoticeShown() { return Notice() && Notice()->isVisibleTo(view.get()); }

    QTemporaryDir folder;
    std::string server;
    CAdoObject db;
    std::unique_ptr<CMainWnd> view;
};

TEST_F(TournamentOutageTest, WritesMadeWhileTheServerIsAwayReachItWhenItIsBack) {
    struct Case {
        const char* away;
        const char* back;
    };
    const Case cases[] = {{"kill", "restart"}, {"pause", "resume"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.away);
        ASSERT_TRUE(db.Execute("UPDATE tkdgerursltm SET game_status = '1', curr_round = NULL"));
        ASSERT_TRUE(
            db.Execute("UPDATE tkdgerursltd SET dukjum = NULL, gamjum = NULL, jumsu = NULL, dukjum1 = "
                       "NULL, gamjum1 = NULL, dukjum2 = NULL, gamjum2 = NULL, win_cnt1 = NULL, "
                       "win_cnt2 = NULL, win_cnt = NULL"));
        std::memset(md->aSide, 0, sizeof md->aSide);
        std::memset(md->nRoundWinner, 0, sizeof md->nRoundWinner);
        // Short time-outs, so a frozen server is given up on soon.
        TheTournamentWriter().Start(server, 2, 2);

        // Round 1 starts and Chung scores while the server answers.
        md->nCurRound = 1;
        SetTournamentMatchPlaying();
        SetTournamentCurrentRound();
        md->aSide[0].nScore = md->aSide[0].nRoundScore[0] = 5;
        UpdateTournamentScore(0);
        ASSERT_TRUE(TheTournamentWriter().WaitIdle(30'000));
        ASSERT_EQ(Side("B")[0], "5");

        ASSERT_TRUE(Server(c.away));
        // Chung reaches 11, Hong gets a gam-jeom, the round ends, Chung wins it, round 2 starts and Hong
        // scores 4.
        md->aSide[0].nScore = md->aSide[0].nRoundScore[0] = 11;
        UpdateTournamentScore(0);
        md->aSide[1].nPenaltyCount1 = md->aSide[1].nRoundPenalty1[0] = 1;
        md->aSide[1].nRoundPenaltyPoints1[0] = 1;
        SendFlowNotices(*view, FlowStep::RoundEnd);
        md->nRoundWinner[0] = 1;
        md->aSide[0].nRoundWins = 1;
        UpdateTournamentWinCounts();
        md->nCurRound = 2;
        SendFlowNotices(*view, FlowStep::NextRound);
        md->aSide[1].nScore = md->aSide[1].nRoundScore[1] = 4;
        UpdateTournamentScore(1);

        // The operator sees that writes wait.
        ASSERT_TRUE(pumpUntil(
            [&] {
                view->ShowTournamentBacklog();
                return NoticeShown();
            },
            std::chrono::seconds(60)));
        const std::size_t waiting = TheTournamentWriter().Pending().writes;
        EXPECT_GE(waiting, 1u);
        EXPECT_EQ(Notice()->text().toStdString(),
                  "Results DB not reached: " + std::to_string(waiting) + " write(s) waiting");

        ASSERT_TRUE(Server(c.back));
        ASSERT_TRUE(TheTournamentWriter().WaitIdle(60'000)) << "every kept write reaches the server";
        EXPECT_EQ(TheTournamentWriter().FailedCount(), 0u);
        view->ShowTournamentBacklog();
        EXPECT_FALSE(NoticeShown()) << "the notice goes once nothing waits";

        EXPECT_EQ(Row("SELECT game_status, curr_round FROM tkdgerursltm"), (Texts{"2", "2"}));
        // Chung: 11 and Hong's gam-jeom, all in round 1, which Chung won.
        EXPECT_EQ(Side("B"), (Texts{"12", "0", "12", "12", "0", "0", "0", "1", "0", "1"}));
        // Hong: the gam-jeom of round 1, 4 points in round 2.
        EXPECT_EQ(Side("R"), (Texts{"4", "1", "4", "0", "1", "4", "0", "0", "0", "0"}));
        TheTournamentWriter().Stop();
    }
}

// The match is finished while the server is away: the operator is asked at once instead of after a long
// wait, and the finished status, kept like every other write, reaches the server once it is back.
TEST_F(TournamentOutageTest, AFinishWhileTheServerIsAwayIsAskedAboutAndStillWritten) {
    TheTournamentWriter().Start(server, 2, 2);
    md->nCurRound = 3;
    SetTournamentMatchPlaying();
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(30'000));
    ASSERT_TRUE(Server("kill"));
    md->aSide[0].nScore = md->aSide[0].nRoundScore[2] = 9;
    UpdateTournamentScore(0);
    ASSERT_TRUE(pumpUntil([] { return TheTournamentWriter().Pending().held; }, std::chrono::seconds(60)));
    EXPECT_FALSE(view->SendTournamentMatchFinished()) << "not written while the server is away";
    ASSERT_TRUE(Server("restart"));
    ASSERT_TRUE(TheTournamentWriter().WaitIdle(60'000));
    EXPECT_EQ(Row("SELECT game_status FROM tkdgerursltm"), (Texts{"3"}));
    EXPECT_EQ(Row("SELECT dukjum, dukjum3 FROM tkdgerursltd WHERE br_gubun = 'B'"), (Texts{"9", "9"}));
}

} // namespace
