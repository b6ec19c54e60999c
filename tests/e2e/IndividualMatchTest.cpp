// An individual match on a new court, from the configuration to the decision, through the program's own
// windows: the court and channel set, contest 001 registered and loaded, the devices paired, then the match
// under the points system as the operator and the devices play it.
#include "tests/e2e/Court.h"

#include "app/IniFiles.h"
#include "devices/DevErrDlg.h"
#include "match/VideoReplayDlg.h"
#include "match/WinSelDlg.h"
#include "registration/RegDlg.h"
#include "screens/ExtScrDlg.h"

#include <QLabel>
#include <QPushButton>

#include "devices/PacketDispatch.h"
#include <cstdio>

#include <gtest/gtest.h>

namespace {

class IndividualMatch : public Court {};

TEST_F(IndividualMatch, ANewCourtIsSetUpRegistersItsContestAndPairsItsDevices) {
    ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
    EXPECT_EQ(md->nCourtNo, 3);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Court_No", u"Rule.ini"), 3);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Channel_No", u"Rule.ini"), md->nChannelNo);
    EXPECT_EQ(md->nCompetitionRule, 0);
    ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "O'NEIL"));
    ASSERT_NO_FATAL_FAILURE(PairDevices());
    EXPECT_EQ(Rows("SELECT count(*) FROM PLAYER"), std::vector<std::string>{"1"});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace

namespace {

class PointsMatch : public Court {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "O'NEIL"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }
};

TEST_F(PointsMatch, ThreeRoundsByTheKeysDevicesAndJudgesToTheWinnerSelection) {
    const int trunk = md->nLevelBody;
    const int head = md->nLevelHead;
    ASSERT_GT(trunk, 1);
    ASSERT_GT(head, 0);
    ASSERT_EQ(md->nGameState, 1);

    // Round 1 starts with the Space key.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    Advance(5000);

    // Hong's trunk protector struck below the class's level, then above it: only the second scores, for
    // Chung; the pty keeps them in order.
    ASSERT_TRUE(fake.SendHit("HV", trunk - 1, kSock));
    ASSERT_TRUE(fake.SendHit("HV", trunk + 10, kSock));
    Scores({2, 0});
    // Two judges press Chung's middle button while the trunk hit's window is open: the turning bonus.
    ASSERT_NO_FATAL_FAILURE(JudgesPress({1, 2}, 2, 0));
    Advance(100);
    Scores({4, 0});
    Advance(3000);

    // Chung's head gear below and above its level: a head kick for Hong.
    ASSERT_TRUE(fake.SendHit("CH", head - 1, kSock));
    ASSERT_TRUE(fake.SendHit("CH", head + 10, kSock));
    Scores({4, 3});
    Advance(3000);
    // One judge alone misses the quorum: the window runs out without a point.
    ASSERT_NO_FATAL_FAILURE(JudgesPress({3}, 0, 6));
    Advance(1500);
    Scores({4, 3});

    // Stopped by the key, a gam-jeom against Chung by its button gives Hong a point.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1125)));
    Scores({4, 4});
    EXPECT_EQ(md->aSide[0].nPenaltyCount1, 1);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);

    // The clock runs out: rest.
    Advance(125000);
    EXPECT_EQ(md->nGameState, 5) << ::testing::PrintToString(prompter.texts());
    // The rest runs out and the next round waits for the key.
    Advance(61000);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << "state " << md->nGameState << " "
                                 << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(md->nCurRound, 2);
    Advance(10000);

    // Round 2: Chung asks for a video replay; the operator accepts a head kick for Chung in its dialog.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1127)));
    prompter.answer(IDYES); // the dialog's confirmation of its decision
    CTK_IVRDlg* replay = view->m_pIvrDlg;
    ASSERT_NE(replay, nullptr);
    for (const int id : {int(CTK_IVRDlg::IDC_BLUE), int(VideoReplayDlgRules::kHeadButton),
                         int(CTK_IVRDlg::IDC_ADD), int(CTK_IVRDlg::IDC_ACCEPT), int(CTK_IVRDlg::IDC_APPLY)})
        ASSERT_NO_FATAL_FAILURE(Click(replay->findChild<QWidget*>(QString::number(id)))) << id;
    Scores({7, 4});
    // The decision is applied once; the operator closes the dialog.
    ASSERT_NO_FATAL_FAILURE(Click(replay->findChild<QWidget*>(QString::number(CTK_IVRDlg::IDC_CLOSE))));
    ASSERT_TRUE(Until([&] { return view->m_pIvrDlg.isNull(); }));
    Scores({7, 4});
    EXPECT_EQ(md->aSide[0].nVRRemain, 1) << "an accepted request keeps its quota";
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_TRUE(fake.SendHit("CV", trunk + 1, kSock));
    Scores({7, 6});
    Advance(115000);
    EXPECT_EQ(md->nGameState, 5);
    Advance(61000);

    // Round 3 runs to its end with one more head kick for Hong.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nCurRound, 3);
    Advance(30000);
    ASSERT_TRUE(fake.SendHit("CH", head + 1, kSock));
    Scores({7, 9});
    // The clock reaches zero in the last round: the operator ends the match.
    prompter.answer(IDYES);
    Advance(95000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to end this game?");

    // Hong leads: the operator gives Hong the match through the winner selection.
    WhenModal<CTK_WinSelDlg>([](CTK_WinSelDlg& dialog) {
        Click(dialog.findChild<QWidget*>(QString::number(CTK_WinSelDlg::IDC_OK)));
    });
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1069)));
    Deliver();
    EXPECT_EQ(md->nWinSide, 1);
    EXPECT_EQ(md->nGameState, 11);

    // The operator screen and the public scoreboard show the same score.
    Scores({7, 9});
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_TRUE(view->m_pExtScrDlg->isVisible());
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 7);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 9);

    // The match row and every event, in the order they happened.
    EXPECT_EQ(Rows("SELECT roomno, gameno, cname, chungpoint, hongpoint, cdeduct, hdeduct, substr(win, 1, 5) "
                   "FROM GAMET"),
              std::vector<std::string>{"3|001|KIM MINJUN|7|9|1|0|H.WIN"});
    EXPECT_EQ(Events("CHUNGLOG"), (std::vector<std::string>{
                                      std::string("1|") + std::to_string(trunk - 1) + "|0|0|0|0|0|0|0|0",
                                      std::string("1|") + std::to_string(trunk + 10) + "|0|0|0|0|0|0|0|1",
                                      "1|0|0|2|0|0|0|0|0|1", // the trunk kick for Chung
                                      "1|0|0|0|0|0|2|0|0|0", // judge 1 alone
                                      "1|0|0|0|0|0|0|2|0|1", // judge 2 agrees
                                      "1|0|0|0|2|0|0|0|0|1", // the turning bonus
                                      "1|0|0|0|0|1|0|0|0|1", // the gam-jeom against Chung
                                      "2|0|0|3|0|0|0|0|0|1", // the video replay's head kick
                                  }));
    EXPECT_EQ(Events("HONGLOG"), (std::vector<std::string>{
                                     std::string("1|0|") + std::to_string(head - 1) + "|0|0|0|0|0|0|0",
                                     std::string("1|0|") + std::to_string(head + 10) + "|0|0|0|0|0|0|1",
                                     "1|0|0|3|0|0|0|0|0|1", // the head kick for Hong
                                     "1|0|0|0|0|0|0|0|2|0", // judge 3 alone misses the quorum
                                     std::string("2|") + std::to_string(trunk + 1) + "|0|0|0|0|0|0|0|1",
                                     "2|0|0|2|0|0|0|0|0|1",
                                     std::string("3|0|") + std::to_string(head + 1) + "|0|0|0|0|0|0|1",
                                     "3|0|0|3|0|0|0|0|0|1",
                                 }));
}

TEST_F(PointsMatch, AHeadGearLostInTheRoundStopsItAndCoversThePublicScoreboard) {
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(2000);
    ASSERT_TRUE(fake.SendLost("HH"));
    ASSERT_TRUE(Until([&] { return (DeviceStatusLoad(*md) & 0x4) != 0; }));
    Advance(2000); // the device check runs on the view's clock
    EXPECT_EQ(md->nGameState, 8);
    ASSERT_NE(view->m_pDevErrDlg, nullptr);
    EXPECT_TRUE(view->m_pDevErrDlg->isVisible());
}

} // namespace
