// The end of a round settled by the rules: the golden round's cascade as a table, the point gap and
// ceiling, and the ends of a round as the clock and the round result dialog reach them.
#include "app/Timers.h"
#include "app/VeziruduzApp.h"
#include "match/RoundWinnerRules.h"
#include "platform/TickSource.h"
#include "tests/match/RecordingView.h"

#include <QPushButton>

#include <memory>

namespace {

TEST(RoundWinnerRules, CascadeTable) {
    using Pair = std::array<int, 2>; // Chung, Hong
    struct Case {
        const char* what;
        int rule, type, rounds, round;
        Pair punch, hits, score, trunkTech, techTotal, wins, penalties;
        int want;
    };
    const Pair z{0, 0};
    const Case cases[] = {
        {"punch points of the round", 0, 0, 3, 4, {1, 3}, {5, 0}, z, z, z, z, z, 1},
        {"then the golden round's hits", 0, 0, 3, 4, {2, 2}, {5, 4}, z, z, z, {0, 2}, z, 0},
        {"then the round wins", 0, 0, 3, 4, {2, 2}, {4, 4}, {9, 0}, {3, 0}, z, {1, 2}, {0, 3}, 1},
        {"then the fewer gam-jeoms", 0, 0, 3, 4, z, z, z, z, z, {1, 1}, {2, 1}, 1},
        {"all equal: undecided", 0, 0, 3, 4, {1, 1}, {2, 2}, {5, 5}, z, z, {1, 1}, {1, 1}, -1},
        {"one round: trunk techniques, not wins", 0, 0, 1, 2, z, z, z, {1, 0}, z, {0, 4}, z, 0},
        {"one round: then the gam-jeoms", 0, 0, 1, 2, z, z, z, z, {0, 5}, {0, 4}, {0, 1}, 0},
        {"judge-driven: hits before punches", 0, 2, 3, 4, {9, 0}, {0, 1}, z, z, z, z, z, 1},
        {"judge-driven, one round: trunk techniques", 0, 2, 1, 2, {9, 0}, z, z, {0, 1}, {5, 0}, z, z, 1},
        {"judge-driven, one round: then the total", 0, 2, 1, 2, {9, 0}, z, z, z, {5, 0}, {0, 3}, z, 0},
        {"judge-driven: round wins", 0, 2, 3, 4, z, z, z, {0, 4}, z, {2, 1}, {3, 0}, 0},
        {"judge-driven: then the fewer gam-jeoms", 0, 2, 3, 4, z, z, z, z, z, z, {0, 1}, 0},
        {"round wins: punch points of the round", 1, 0, 3, 3, {0, 2}, {3, 0}, z, z, z, z, z, 1},
        {"round wins: then the hits", 1, 0, 3, 3, z, {3, 0}, {0, 9}, z, z, z, z, 0},
        // Hong's gam-jeoms give Chung 2 points: 7 against 6.
        {"round wins: then the match total", 1, 0, 3, 3, z, z, {5, 6}, z, z, {0, 2}, {0, 2}, 0},
        {"round wins: then the fewer gam-jeoms", 1, 0, 3, 3, z, z, {4, 5}, z, z, z, {1, 0}, 1},
        {"round wins: all equal", 1, 0, 3, 3, z, z, z, z, z, {1, 1}, z, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto md = std::make_unique<MatchData>();
        md->nCompetitionRule = c.rule;
        md->nCompetitionType = c.type;
        md->nRound = c.rounds;
        md->nCurRound = c.round;
        for (int side = 0; side < 2; ++side) {
            TTK_SideScore& s = md->aSide[side];
            s.nTechTally[0][c.round - 1] = c.punch[side];
            s.nPssHits[0] = c.hits[side];
            s.nScore = c.score[side];
            s.nTechTally[7][0] = c.trunkTech[side];
            s.nTechTally[10][0] = c.techTotal[side];
            s.nRoundWins = c.wins[side];
            s.nPenaltyCount1 = c.penalties[side];
        }
        EXPECT_EQ(RoundWinnerRules::GoldenRoundWinner(*md), c.want);
    }
}

class EndCheckTest : public MatchTest {};

TEST_F(EndCheckTest, PointGapAndCeiling) {
    struct Case {
        const char* what;
        int rule, gap, ceil;
        int score[2], single[2], dbl[2], roundScore[2], roundPenalty[2];
        bool gapEnds;
        int gapSide;
        bool ceilEnds;
        int ceilSide;
    };
    const Case cases[] = {
        {"Chung 10 own and 20 from gam-jeoms",
         0,
         20,
         50,
         {10, 10},
         {0, 0},
         {0, 10},
         {},
         {},
         true,
         0,
         false,
         0},
        {"a gap of 19 does not end", 0, 20, 50, {29, 10}, {}, {}, {}, {}, false, 0, false, 0},
        {"Hong ahead", 0, 5, 50, {0, 5}, {}, {}, {}, {}, true, 1, false, 0},
        {"both at the ceiling: Chung", 0, 50, 12, {12, 14}, {}, {}, {}, {}, false, 0, true, 0},
        {"Hong alone at the ceiling", 0, 50, 12, {2, 12}, {}, {}, {}, {}, false, 0, true, 1},
        {"no gap set never ends", 0, 0, 0, {40, 0}, {}, {}, {}, {}, false, 0, false, 0},
        // Round-win system: the round's totals; the match totals do not count.
        {"round totals", 1, 12, 50, {0, 40}, {}, {}, {10, 0}, {0, 2}, true, 0, false, 0},
        {"round totals below the gap", 1, 12, 50, {40, 0}, {}, {}, {10, 0}, {}, false, 0, false, 0},
        {"round total at the ceiling", 1, 50, 10, {0, 40}, {}, {}, {8, 0}, {0, 2}, false, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        *md = MatchData{};
        md->nCompetitionRule = c.rule;
        md->nRound = 3;
        md->nCurRound = 2;
        md->nPointGap = c.gap;
        md->nPointCeil = c.ceil;
        for (int side = 0; side < 2; ++side) {
            md->aSide[side].nScore = c.score[side];
            md->aSide[side].nPenaltyCount1 = c.single[side];
            md->aSide[side].nPenaltyCount2 = c.dbl[side];
            md->aSide[side].nRoundScore[1] = c.roundScore[side];
            md->aSide[side].nRoundPenaltyPoints1[1] = c.roundPenalty[side];
        }
        int side = -1;
        EXPECT_EQ(view->CheckPointGap(&side), c.gapEnds);
        EXPECT_EQ(side, c.gapSide);
        side = -1;
        EXPECT_EQ(view->CheckPointCeiling(&side), c.ceilEnds);
        EXPECT_EQ(side, c.ceilSide);
    }
}

// The real end-of-round rules, with the dialogs and screens still to come recorded in `events`.
class EndView : public RecordingView {
public:
    bool confirm = false; // the winner selection's answer

    void DecideRoundEnd() override {
        events.push_back("roundend");
        CMainWnd::DecideRoundEnd();
    }
    void DecideRoundWinner(int roundIndex, int winner, int reason, int notify) override {
        events.push_back("roundwinner " + std::to_string(roundIndex) + " " + std::to_string(winner) + " " +
                         std::to_string(reason) + " " + std::to_string(notify));
    }
    void ShowSuperiorityScreen() override { events.push_back("superiority"); }
    bool ConfirmRoundEndWinner(int side, int decision) override {
        events.push_back("select " + std::to_string(side) + " " + std::to_string(decision));
        return confirm;
    }
    void ShowRoundWinnerScreens(int side) override {
        events.push_back("roundwinscreens " + std::to_string(side));
    }
    void CloseRoundEndScreens() override { events.push_back("closescreens"); }
    void RecordConfirmedDecision() override { events.push_back("recorded"); }
    void CompactJudgeSlots(int) override {}
};

class RoundEndTest : public ::testing::Test, protected TestCourt {
protected:
    RoundEndTest() {
        md->nRound = 3;
        md->nMatchTime = 1;
        md->nGRndMatchTime = 1;
        md->nRestTime = 60;
        md->nOvrSupplier = 6;
        md->nMonitorCount = 2;
        md->nGameState = 1;
        std::strcpy(md->szContestNo, "101");
        view = std::make_unique<EndView>();
        hwnd = view->GetSafeHwnd();
        // A round's start writes the match's row: the records are kept, as on a court.
        EXPECT_EQ(home.makeLocalDatabase(), "");
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    }
    ~RoundEndTest() override { theApp.m_dbLocal.Close(); }
    // Plays the round after nCurRound to its end by the clock.
    void PlayRound(int round) {
        md->nCurRound = round - 1;
        md->nGameState = round == 1 ? 1 : 6;
        view->OnClickedStart();
        ASSERT_EQ(md->nCurRound, round);
        clock.advance(1000);
    }
    bool Armed(UINT_PTR id) const { return clock.isArmed(hwnd, id); }
    std::vector<std::string> Calls(std::initializer_list<const char*> prefixes) const {
        std::vector<std::string> out;
        for (const std::string& e : view->events)
            for (const char* p : prefixes)
                if (e.starts_with(p))
                    out.push_back(e);
        return out;
    }

    RecordingSound sound;
    platform::ManualTime clock{1000};
    std::unique_ptr<EndView> view;
    HWND hwnd = 0;
};

using Lines = std::vector<std::string>;
const std::initializer_list<const char*> kEndCalls = {"roundend",        "ctrl 9",  "superiority", "select",
                                                      "roundwinscreens", "closesc", "recorded",    "decide"};

TEST_F(RoundEndTest, RegularRoundEndsIntoTheRestAndTheGapDecidesAtItsRound) {
    md->bUsePointGap = 1;
    md->nPointGap = 12;
    md->aSide[0].nScore = 12; // leads by the gap from the start: only round 2 applies it
    PlayRound(1);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_TRUE(Armed(TIMER_REST_CLOCK));
    EXPECT_EQ(Calls(kEndCalls), Lines{});

    clock.advance(60000);
    PlayRound(2);
    EXPECT_EQ(Calls(kEndCalls), Lines{"decide 0 1"});
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nDecisionKind, 1);
}

TEST_F(RoundEndTest, LastRoundTiedAsksForTheGoldenRoundThenItsCascadeDecides) {
    prompter.answer(IDYES);
    PlayRound(3);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to play a Golden Point Round?");
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_EQ(Calls(kEndCalls), Lines{});

    md->aSide[1].nPssHits[0] = 2;
    view->confirm = true;
    PlayRound(4);
    EXPECT_EQ(Calls(kEndCalls), (Lines{"roundend", "ctrl 9 0|2|", "superiority", "select 1 4",
                                       "roundwinscreens 1", "recorded"}));
    EXPECT_EQ(md->nWinSide, 1);
    EXPECT_EQ(md->nGameState, 11);
    EXPECT_FALSE(view->Button(1053)->isHidden());
    EXPECT_TRUE(view->Button(1053)->isChecked());
}

TEST_F(RoundEndTest, GoldenRoundCascadeCancelledOrUndecided) {
    struct Case {
        const char* what;
        int chungHits, monitors, type;
        Lines want;
        int wantState, wantWinSide;
    };
    const Case cases[] = {
        {"cancelled", 3, 2, 0, {"ctrl 9 3|0|", "superiority", "select 0 4", "closescreens"}, 7, 0},
        {"one monitor: no public screens", 3, 1, 0, {"ctrl 9 3|0|", "select 0 4", "closescreens"}, 7, 0},
        {"judge-driven: no superiority screen", 3, 2, 2, {"ctrl 9 3|0|", "select 0 4", "closescreens"}, 7, 0},
        {"undecided: the winner buttons settle it", 0, 2, 0, {"ctrl 9 0|0|", "superiority"}, 5, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view->events.clear();
        view->ShowDlgItem(1000, true);
        md->nCurRound = 4;
        md->nGameState = 3;
        md->nMonitorCount = c.monitors;
        md->nCompetitionType = c.type;
        md->aSide[0].nPssHits[0] = c.chungHits;
        view->CMainWnd::DecideRoundEnd();
        EXPECT_EQ(Calls(kEndCalls), c.want);
        EXPECT_EQ(md->nGameState, c.wantState);
        EXPECT_EQ(md->nWinSide, c.wantWinSide);
        EXPECT_EQ(view->Button(1000)->isHidden(), c.wantState == 7);
    }
}

TEST_F(RoundEndTest, RoundWinSystemRoundEndOpensTheRoundResultThenItsWinnerIsRecorded) {
    md->nCompetitionRule = 1;
    PlayRound(3);
    EXPECT_TRUE(Armed(TIMER_OPEN_ROUND_RESULT));
    EXPECT_TRUE(prompter.texts().empty()); // no golden-point question under the round-win system
    view->events.clear();

    view->EndRound(1, 0);
    EXPECT_EQ(view->With("roundwinner"), Lines{"roundwinner 2 1 0 1"});
    EXPECT_EQ(md->bRoundEnded[2], 1);
    EXPECT_EQ(view->With("wt"), Lines{}); // the clock already ended the round
}

TEST_F(RoundEndTest, RoundResultThatEndsTheRoundAtOnce) {
    md->nCompetitionRule = 1;
    md->nOvrSupplier = 8;
    md->nMatchTime = 120;
    PlayRound(1); // a second into the round; the dialog's gam-jeom limit ends it now
    ASSERT_EQ(md->nGameState, 3);
    view->events.clear();
    (void)view->TakeJson();

    view->EndRound(2, 1);
    EXPECT_EQ(view->TakeJson(), Lines{"6:"});
    EXPECT_EQ(view->With("wt 0 0 5"), Lines{"wt 0 0 5 0"});
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
    EXPECT_TRUE(Armed(TIMER_ROUND_END_DELAY));
    EXPECT_TRUE(Armed(TIMER_REST_CLOCK));
    EXPECT_FALSE(Armed(TIMER_OPEN_ROUND_RESULT)); // the round result is the dialog that just closed
    EXPECT_EQ(view->m_bRoundEndPending, 1);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_EQ(md->nLastTick, md->nRestTime * 1000);
    EXPECT_EQ(view->With("roundwinner"), Lines{"roundwinner 0 2 1 1"});
    EXPECT_EQ(md->bRoundEnded[0], 1);
}

TEST_F(RoundEndTest, RoundResultReasonsAndRefusedWinners) {
    struct Case {
        int winner, reason, round;
        Lines want;
    };
    const Case cases[] = {
        {1, 4, 2, {"roundwinner 1 1 4 1"}},
        {2, 7, 2, {"roundwinner 1 2 7 1"}},
        {2, 3, 2, {"roundwinner 1 2 0 1"}}, // passed on as points
        {11, 0, 2, {}},                     // the dialog's "no winner"
        {0, 0, 2, {}},                      // a round is final only with a winner
        {3, 4, 2, {}},
        {1, 0, 0, {}}, // no round yet: nothing to record
        {1, 0, kMaxRounds + 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.winner) + " " + std::to_string(c.reason) + " " +
                     std::to_string(c.round));
        view->events.clear();
        *md = MatchData{};
        md->nRound = 3;
        md->nCurRound = c.round;
        md->nGameState = 5;
        view->EndRound(c.winner, c.reason);
        EXPECT_EQ(view->With("roundwinner"), c.want);
        EXPECT_EQ(md->bRoundEnded[1], c.want.empty() ? 0 : 1);
    }
}

} // namespace
