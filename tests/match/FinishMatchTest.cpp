// Finishing a match and the small handlers around the result pop-ups, over a recording view.
#include "app/MatchData.h"
#include "app/Network.h"
#include "app/Timers.h"
#include "tests/match/RecordingView.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kFinishQuestion = "Do you want finish the game?";
constexpr const char* kRetryQuestion =
    "Fail to sending the results[1]!!\r\nWould you send the results again?";

// Also records the pop-up closers, the receiver, the JSON action, the match reset and the tournament notice.
class FinishView : public RecordingView {
public:
    int tournamentFailures = 0; // the next notices that fail
    void CloseWinnerScreens() override { events.push_back("close winner"); }
    void CloseRoundEndScreens() override { events.push_back("close roundend"); }
    void CloseRoundWinnerPopup() override { events.push_back("close roundwinner"); }
    void SendReceiverCommand(int code, const char* text) override {
        events.push_back("receiver " + std::to_string(code) + " " + text);
    }
    void BuildJsonAction(int kind, int value, int level) override {
        events.push_back("json " + std::to_string(kind) + " " + std::to_string(value) + " " +
                         std::to_string(level));
    }
    void ResetAfterMatch() override { events.push_back("reset"); }
    bool SendTournamentMatchFinished() override {
        events.push_back("tournament");
        return tournamentFailures-- <= 0;
    }
};

class FinishMatchTest : public MatchTest {
protected:
    FinishMatchTest() {
        view = std::make_unique<FinishView>();
        fv = static_cast<FinishView*>(view.get());
    }
    FinishView* fv;
};

TEST_F(FinishMatchTest, FinishStopsTheMatchReleasesDevicesAndTellsTheOutsideSystems) {
    md->nGameState = 5;
    md->bPSSAutoOff = 1;
    md->nOvrSupplier = 8;
    view->SetTimer(TIMER_ROUND_CLOCK, 10);
    prompter.answer(IDYES);
    view->OnClickedFinishGame();
    EXPECT_EQ(prompter.texts(), Lines{kFinishQuestion});
    EXPECT_EQ(U8(prompter.boxes()[0].caption), "Information");
    EXPECT_EQ(md->nGameState, 0);
    EXPECT_EQ(view->events, (Lines{"close roundend", "close winner", "close roundwinner", "receiver 44 ED",
                                   "json 3 7 0", "reset", "ivr 8 |||"}));
}

TEST_F(FinishMatchTest, ATeamMatchEndRebuildsTheDeviceTableAsANewTeamMatchDoes) {
    md->nCompetitionType = 1;
    md->nGameState = 5;
    md->bPSSAutoOff = 1;
    std::vector<TTK_Network>& table = *g_pNetworkArr;
    table.resize(3);
    table[0].name = "CV2";
    table[0].kind = 0x01;
    table[1].name = "judge1";
    table[1].kind = 0x21;
    table[2].name = "HH";
    table[2].kind = 0x13;
    prompter.answer(IDYES);
    view->OnClickedFinishGame();
    EXPECT_EQ(fv->With("receiver"), (Lines{"receiver 51 1", "receiver 51 C"}));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].name, "judge1");
}

TEST_F(FinishMatchTest, FinishRefusedInTheEquipmentTestOrByTheOperator) {
    struct Case {
        int state;
        int answer;
        const char* box;
    } cases[] = {
        {13, IDOK,
         "Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test "
         "Mode."},
        {3, IDNO, kFinishQuestion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        md->nGameState = c.state;
        md->bPSSAutoOff = 1;
        view->events.clear();
        prompter.answer(c.answer);
        const auto before = prompter.texts().size();
        view->OnClickedFinishGame();
        ASSERT_EQ(prompter.texts().size(), before + 1);
        EXPECT_EQ(prompter.texts().back(), c.box);
        EXPECT_EQ(md->nGameState, c.state);
        EXPECT_TRUE(view->events.empty());
    }
}

TEST_F(FinishMatchTest, FinishClosesAnOpenMatchLog) {
    md->nGameState = 11;
    view->m_bLogOpen = TRUE;
    prompter.answer(IDYES);
    view->OnClickedFinishGame();
    EXPECT_FALSE(view->m_bLogOpen);
    EXPECT_EQ(md->nGameState, 0);
}

// The match is finished locally before the tournament database is told; a refused retry drops only the
// IVR notice.
TEST_F(FinishMatchTest, TournamentNoticeIsRetriedWhileTheOperatorSaysYes) {
    md->nGameState = 11;
    md->nOvrSupplier = 3;
    md->bOvrConnected = 1;
    fv->tournamentFailures = 2;
    prompter.answer(IDYES);
    prompter.answer(IDYES);
    prompter.answer(IDYES);
    view->OnClickedFinishGame();
    EXPECT_EQ(prompter.texts(), (Lines{kFinishQuestion, kRetryQuestion, kRetryQuestion}));
    EXPECT_EQ(view->With("tournament").size(), 3u);
    EXPECT_EQ(view->With("ivr 8").size(), 1u);
    EXPECT_EQ(md->nGameState, 0);
}

TEST_F(FinishMatchTest, TournamentNoticeGivenUpEndsWithoutTheIvrNotice) {
    md->nGameState = 11;
    md->nOvrSupplier = 3;
    md->bOvrConnected = 1;
    fv->tournamentFailures = 5;
    prompter.answer(IDYES);
    prompter.answer(IDNO);
    view->OnClickedFinishGame();
    EXPECT_EQ(prompter.texts(),
              (Lines{kFinishQuestion, kRetryQuestion,
                     "Fail to sending the results[1]!!\r\nPlease inform the person concerned!"}));
    EXPECT_TRUE(view->With("ivr").empty());
    EXPECT_EQ(md->nGameState, 0);
}

TEST_F(FinishMatchTest, WinnerCancelReturnsADecidedMatchToPlay) {
    md->nGameState = 11;
    md->nDecisionKind = 2;
    view->ShowDlgItem(1000, true);
    view->OnClickedWinnerCancel();
    EXPECT_EQ(md->nGameState, 7);
    EXPECT_EQ(md->nDecisionKind, 11);
    EXPECT_FALSE(view->GetDlgItem(1000)->isVisible());
    EXPECT_EQ(view->events, (Lines{"close winner", "close roundend", "close roundwinner"}));
}

TEST_F(FinishMatchTest, WinnerCancelOutsideADecisionChangesNothing) {
    md->nGameState = 3;
    md->nDecisionKind = 2;
    view->OnClickedWinnerCancel();
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nDecisionKind, 2);
    EXPECT_TRUE(view->events.empty());
}

TEST_F(FinishMatchTest, RoundResultOpensOnlyWhileAFinishedRoundWaitsUnderTheRoundWinSystem) {
    struct Case {
        int rule, over, state;
        bool opens;
    } cases[] = {
        {1, 1, 5, true},  {1, 1, 2, true},  {1, 1, 8, true},  {1, 1, 3, false},
        {1, 1, 9, false}, {1, 0, 5, false}, {0, 1, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rule << " " << c.over << " " << c.state);
        md->nCompetitionRule = c.rule;
        md->bRoundOver = c.over;
        md->nGameState = c.state;
        md->nCurRound = 2;
        view->events.clear();
        view->OnClickedRoundResult();
        EXPECT_EQ(view->events, c.opens ? Lines{"rndres 1 0 11"} : Lines{});
        view->events.clear();
        view->OnLButtonDown(600, 200); // the round result area
        EXPECT_EQ(view->events, c.opens ? Lines{"rndres 1 0 11"} : Lines{});
    }
}

TEST_F(FinishMatchTest, ClickOnTheNextRoundMarkAsksForTheNextRound) {
    md->nCompetitionRule = 1;
    md->bRoundOver = 1;
    md->nGameState = 5;
    md->bRegBody[0] = md->bRegBody[1] = 1; // the next round needs the protectors registered
    md->nRoundWinner[0] = 1;               // and the finished round decided
    prompter.answer(IDNO);
    view->OnLButtonDown(600, 500);
    EXPECT_EQ(prompter.texts(), Lines{"Are you sure to go to the next round?"});
    EXPECT_EQ(md->nCurRound, 1);
    prompter.answer(IDYES);
    view->OnLButtonDown(700, 450);
    EXPECT_EQ(md->nCurRound, 2);
    EXPECT_EQ(md->nGameState, 3);

    md->nGameState = 3; // the same click while the clock runs: nothing
    const auto boxes = prompter.texts().size();
    view->OnLButtonDown(600, 500);
    view->OnLButtonDown(660, 500); // between the marks
    EXPECT_EQ(prompter.texts().size(), boxes);
}

TEST_F(FinishMatchTest, TeamPointButtonsScoreOnlyInTeamMatches) {
    md->nGameState = 4;
    md->nCompetitionType = 0;
    view->OnClickedAddChungTeamPoint();
    view->OnClickedAddHongTeamPoint();
    EXPECT_EQ(md->aSide[0].nScore, 0);
    EXPECT_EQ(md->aSide[1].nScore, 0);

    md->nCompetitionType = 1;
    view->OnClickedAddChungTeamPoint();
    view->OnClickedAddHongTeamPoint();
    view->OnClickedAddHongTeamPoint();
    const int chung = md->aSide[0].nScore, hong = md->aSide[1].nScore;
    EXPECT_GT(chung, 0);
    EXPECT_GT(hong, chung);
    view->OnClickedRemoveHongTeamPoint();
    EXPECT_EQ(md->aSide[1].nScore, chung);
    view->OnClickedRemoveChungTeamPoint();
    EXPECT_EQ(md->aSide[0].nScore, 0);
}

TEST_F(FinishMatchTest, ClosingTheViewSaysFarewellToAConnectedOvrOfSupplierZeroOnly) {
    struct Case {
        int supplier, connected;
        std::vector<std::string> sent;
    };
    const Case cases[] = {{0, 1, {"ctrl 11 ||"}}, {0, 0, {}}, {2, 1, {}}};
    for (const Case& c : cases) {
        auto closing = std::make_unique<FinishView>();
        md->nOvrSupplier = c.supplier;
        md->bOvrConnected = c.connected;
        closing->OnDestroy();
        EXPECT_EQ(closing->With("ctrl"), c.sent) << c.supplier << " " << c.connected;
    }
}

} // namespace
