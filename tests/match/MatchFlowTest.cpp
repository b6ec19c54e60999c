// The match flow: start and its refusals, stop, next round and the golden point, the injury count and
// the coach time-out with the state they save, round preparation, and the notices of each step.
#include "app/IniFiles.h"
#include "match/ClockRules.h"
#include "match/FlowNotices.h"
#include "match/MatchFlowSteps.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "tests/match/ClockFixture.h"

#include <QPushButton>

namespace {

using Strings = std::vector<std::string>;

TEST_F(ClockTest, StartIsRefusedOutsideItsStates) {
    struct Case {
        int state;
        const char* box; // nullptr: refused without a word
    };
    const Case cases[] = {
        {0, nullptr},
        {10, nullptr},
        {11, nullptr},
        {12, nullptr},
        {13, "Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test "
             "Mode."},
        {14, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        md->nGameState = c.state;
        const auto boxes = prompter.texts().size();
        view->OnClickedStart();
        EXPECT_EQ(md->nGameState, c.state);
        EXPECT_EQ(md->nCurRound, 0);
        EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
        if (c.box) {
            EXPECT_EQ(prompter.texts().back(), c.box);
        } else {
            EXPECT_EQ(prompter.texts().size(), boxes);
        }
    }
}

TEST_F(ClockTest, StartNeedsTheRegisteredDevicesAndTheRoundLimits) {
    md->nPSSType = 1;
    view->OnClickedStart();
    EXPECT_EQ(prompter.texts().back(), "Some equipments are not registered!");
    EXPECT_EQ(md->nGameState, 1);
    md->nPSSType = 0;

    // round-win system: an ended round without its winner
    md->nCompetitionRule = 1;
    md->nCurRound = 2;
    md->nGameState = 5;
    md->bRoundOver = 1;
    view->OnClickedStart();
    EXPECT_EQ(prompter.texts().back(),
              "The round winner does not decided! \r\nPlease decide the round winner!");
    EXPECT_EQ(md->nCurRound, 2);
    EXPECT_EQ(md->nGameState, 5);
    // ... and a match already won on rounds
    md->nRoundWinner[1] = 1;
    md->aSide[0].nRoundWins = 2;
    const auto boxes = prompter.texts().size();
    view->OnClickedStart();
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_EQ(prompter.texts().size(), boxes);

    // without it: nothing after the golden round, and no round after the last one when the totals differ
    md->nCompetitionRule = 0;
    md->bRoundOver = 0;
    md->nCurRound = 4;
    view->OnClickedStart();
    EXPECT_EQ(md->nCurRound, 4);
    EXPECT_EQ(md->nGameState, 5);
    md->nCurRound = 3;
    md->aSide[0].nScore = 1;
    view->OnClickedStart();
    EXPECT_EQ(md->nCurRound, 3);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
}

TEST_F(ClockTest, FirstStartPreparesRoundOneAndRunsTheClock) {
    md->nOvrSupplier = 7;
    view->OnClickedStart();
    EXPECT_EQ(md->nCurRound, 1);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nRemainTime, 120000);
    EXPECT_EQ(view->m_nShownSeconds, 120);
    EXPECT_EQ(clock.interval(hwnd, TIMER_ROUND_CLOCK), 10u);
    EXPECT_EQ(view->With("pipe"), (Strings{"pipe 3 ||", "pipe 4 ||", "pipe 13 ||"}));
    EXPECT_EQ(view->With("ivr"), (Strings{"ivr 0 |||"}));
    EXPECT_EQ(view->With("wt 0 0 1"), (Strings{"wt 0 0 1 0"}));
    EXPECT_TRUE(view->flow.empty() || view->flow[0] != "roundwinner"); // round 1 decides no round before it
}

TEST_F(ClockTest, StopAndResume) {
    md->nOvrSupplier = 2;
    view->OnClickedStart();
    clock.advance(3000);
    view->events.clear();
    view->OnClickedStop();
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
    EXPECT_EQ(view->events, (Strings{"colon 5 ||", "ivr 2 |||", "wt 0 0 2 0"}));
    const int left = md->nRemainTime;
    clock.advance(5000);
    EXPECT_EQ(md->nRemainTime, left);
    view->events.clear();
    view->OnClickedStart();
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nCurRound, 1);
    EXPECT_EQ(view->With("colon"), (Strings{"colon 6 ||"}));
    clock.advance(1000);
    EXPECT_EQ(md->nRemainTime, left - 1000);
}

TEST_F(ClockTest, StopIgnoresIdleAndEndedRounds) {
    for (int state : {1, 2, 5}) {
        md->nGameState = state;
        view->OnClickedStop();
        EXPECT_EQ(md->nGameState, state);
    }
}

TEST_F(ClockTest, StopAllStopsEveryClock) {
    md->nOvrSupplier = 8;
    view->OnClickedStart();
    view->TakeJson();
    view->OnClickedKyeShi();
    view->CMainWnd::StopAll();
    EXPECT_EQ(md->nGameState, 8);
    for (UINT_PTR id : {TIMER_ROUND_CLOCK, TIMER_REST_CLOCK, TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK})
        EXPECT_FALSE(Armed(id));
    EXPECT_EQ(view->TakeJson(), (Strings{"4:"}));
}

TEST_F(ClockTest, NextRoundAsksOnlyFromTheStartButton) {
    md->nCurRound = 1;
    md->nGameState = 5;
    prompter.answer(IDNO);
    view->OnClickedStart();
    EXPECT_EQ(prompter.texts().back(), "Are you sure to start the next round?");
    EXPECT_EQ(md->nCurRound, 1);
    EXPECT_EQ(md->nGameState, 5);
    const auto boxes = prompter.texts().size();
    view->NextRound();
    EXPECT_EQ(prompter.texts().size(), boxes);
    EXPECT_EQ(md->nCurRound, 2);
    EXPECT_EQ(md->nGameState, 3);
}

TEST_F(ClockTest, StartDuringTheInjuryCountBetweenRoundsStartsTheNextRound) {
    md->nCurRound = 1;
    md->nGameState = 5;
    view->OnClickedKyeShi();
    ASSERT_EQ(md->nGameState, 15);
    view->NextRound(); // the round-result click knows no state 15
    EXPECT_EQ(md->nGameState, 15);
    view->OnClickedStart();
    EXPECT_EQ(md->nCurRound, 2);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_FALSE(Armed(TIMER_KYESHI_CLOCK));
}

TEST_F(ClockTest, GoldenPointRoundAfterATie) {
    md->nCurRound = 3;
    md->nGameState = 4;
    prompter.answer(IDNO);
    view->OnClickedStart();
    EXPECT_EQ(prompter.texts().back(), "Are you sure to start a Golden Point Round and clear all point?");
    EXPECT_EQ(md->nGameState, 4);
    view->OnClickedStart();
    EXPECT_EQ(md->nCurRound, 4);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nRemainTime, 60000);
    EXPECT_EQ(view->flow.front(), "roundwinner 2 3 11 1");
}

TEST_F(ClockTest, KyeShiRestoresTheExactStateAndTime) {
    view->OnClickedStart();
    clock.advance(5003);
    const int left = md->nRemainTime;
    view->OnClickedKyeShi();
    EXPECT_EQ(md->nGameState, 9);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
    EXPECT_EQ(view->With("wt 0 8"), (Strings{"wt 0 8 0 0", "wt 0 8 1 0"}));
    clock.advance(30000);
    EXPECT_EQ(U8(view->m_strInjuryText), "Kye-Shi\n0:30");
    clock.advance(30000);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nRemainTime, left);
    EXPECT_EQ(md->nLastTick, left);
    EXPECT_FALSE(Armed(TIMER_KYESHI_CLOCK));
    EXPECT_EQ(view->With("wt 0 8 2"), (Strings{"wt 0 8 2 0"}));
    view->OnClickedStart();
    EXPECT_TRUE(Armed(TIMER_ROUND_CLOCK));
}

// The count the operator sees is the count the hall sees; a decision takes it off both screens.
TEST_F(ClockTest, TheInjuryCountShowsOnThePublicScoreboardToo) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    view->OnClickedStart();
    view->OnClickedKyeShi();
    EXPECT_EQ(view->m_pExtScrDlg->NoticeText().toStdString(), "Kye-Shi\n1:00");
    clock.advance(1000);
    EXPECT_EQ(view->m_pExtScrDlg->NoticeText().toStdString(), "Kye-Shi\n0:59");
    MatchFlowSteps::HideInjuryDisplay(*view);
    EXPECT_EQ(view->m_pExtScrDlg->NoticeText().toStdString(), "");
}

TEST_F(ClockTest, ANewMatchEmptiesThePublicScoreboard) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    view->m_pExtScrDlg->SetScores(7, 4, 0);
    view->m_pExtScrDlg->SetRoundText(2);
    view->m_pExtScrDlg->SetClockText(QStringLiteral("1:23"));
    view->ResetMatchScreen();
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 0);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 0);
    EXPECT_TRUE(view->m_pExtScrDlg->RoundText().isEmpty());
    EXPECT_TRUE(view->m_pExtScrDlg->ClockText().isEmpty());
}

TEST_F(ClockTest, CoachTimeoutRestoresTheStateAndTime) {
    view->OnClickedStart();
    clock.advance(2000);
    view->OnClickedStop();
    const int left = md->nRemainTime;
    view->OnClickedCoachTimeout();
    EXPECT_EQ(md->nGameState, 10);
    clock.advance(60000);
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_EQ(md->nRemainTime, left);
    EXPECT_FALSE(Armed(TIMER_TIMEOUT_CLOCK));
}

// A second count during the first keeps the first saved state and stops the first count, so the match
// comes back to where it was and Start is accepted again.
TEST_F(ClockTest, ACountDuringAnotherKeepsTheFirstSavedState) {
    struct Case {
        const char* name;
        void (CMainWnd::*first)();
        void (CMainWnd::*second)();
        int wantDuring;
        UINT_PTR stopped;
    };
    const Case cases[] = {
        {"Kye-Shi during a time-out", &CMainWnd::OnClickedCoachTimeout, &CMainWnd::OnClickedKyeShi, 9,
         TIMER_TIMEOUT_CLOCK},
        {"time-out during Kye-Shi", &CMainWnd::OnClickedKyeShi, &CMainWnd::OnClickedCoachTimeout, 10,
         TIMER_KYESHI_CLOCK},
        {"a second time-out", &CMainWnd::OnClickedCoachTimeout, &CMainWnd::OnClickedCoachTimeout, 10, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nGameState = 8;
        md->nRemainTime = md->nLastTick = 77000;
        (view.get()->*c.first)();
        clock.advance(5000);
        (view.get()->*c.second)();
        EXPECT_EQ(md->nGameState, c.wantDuring);
        if (c.stopped) {
            EXPECT_FALSE(Armed(c.stopped));
        }
        clock.advance(61000);
        EXPECT_EQ(md->nGameState, 8);
        EXPECT_EQ(md->nRemainTime, 77000);
        EXPECT_FALSE(Armed(TIMER_KYESHI_CLOCK));
        EXPECT_FALSE(Armed(TIMER_TIMEOUT_CLOCK));
        view->OnClickedStart();
        EXPECT_EQ(md->nGameState, 3);
        view->OnClickedStop();
    }
}

TEST_F(ClockTest, KyeShiCheckBox) {
    view->Button(MatchFlowSteps::kKyeShiCheck)->setCheckable(true);
    md->nGameState = 3;
    view->Button(MatchFlowSteps::kKyeShiCheck)->setChecked(true);
    view->OnClickedKyeShiCheck();
    EXPECT_EQ(prompter.texts().back(), "Please click 'Kye-Shi' button.");
    EXPECT_FALSE(view->Button(MatchFlowSteps::kKyeShiCheck)->isChecked());
}

TEST_F(ClockTest, BothJudgeWindowsOfEachSideStopAtRoundPreparationAndAtRoundEnd) {
    const auto armAll = [&] {
        for (int side = 0; side < 2; ++side) {
            view->SetTimer(TIMER_JUDGE_WINDOW[side], 100);
            view->SetTimer(TIMER_JUDGE_WINDOW_B[side], 100);
        }
    };
    const auto anyArmed = [&] {
        for (int side = 0; side < 2; ++side)
            if (Armed(TIMER_JUDGE_WINDOW[side]) || Armed(TIMER_JUDGE_WINDOW_B[side]))
                return true;
        return false;
    };
    armAll();
    view->OnClickedStart(); // round 1 is prepared
    EXPECT_FALSE(anyArmed());
    armAll();
    clock.advance(120000 - 50); // the round runs out with presses still open
    armAll();
    clock.advance(100);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_FALSE(anyArmed());
}

TEST_F(ClockTest, PausedRestHidesTheTimeoutPanelAndTheStateDisplayKeepsItHidden) {
    view->OnInitialUpdate();
    md->nCurRound = 1;
    md->nGameState = 5;
    view->UpdateStateDisplay();
    ASSERT_TRUE(view->GetDlgItem(OperatorIds::TimeoutPanel)->isVisibleTo(view.get()));
    view->PauseRest();
    EXPECT_EQ(md->nGameState, 14);
    EXPECT_FALSE(view->GetDlgItem(OperatorIds::TimeoutPanel)->isVisibleTo(view.get()));
    view->UpdateStateDisplay(); // every later refresh agrees
    EXPECT_FALSE(view->GetDlgItem(OperatorIds::TimeoutPanel)->isVisibleTo(view.get()));
    view->ResumeRest();
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_TRUE(view->GetDlgItem(OperatorIds::TimeoutPanel)->isVisibleTo(view.get()));
}

TEST_F(ClockTest, TeamBoutsCloseOnlyInTheirGoldenRoundAndStartAfreshEachMatch) {
    // A golden round of member bouts; every start of a team match reads the team rules again.
    ASSERT_TRUE(WriteIniString(u"Rule", u"Team_GRnd_Match_Type", u"1", u"Rule.ini"));
    md->nCompetitionType = 1;
    view->OnClickedStart();
    view->OnClickedStop();
    ASSERT_EQ(md->nTeamGRndMatchType, 1);
    const int bout = md->nTeamIndCompetitionTime;
    const auto resume = [&] {
        view->flow.clear();
        md->nGameState = 8;
        view->OnClickedStart();
        return view->flow;
    };
    const auto closings = [&](const Strings& flow) {
        return std::ranges::count_if(flow, [](const std::string& f) { return f.ends_with(" 3 11 1"); });
    };

    // A decision in a regular round of a team match is no bout's.
    md->nCurRound = 1;
    md->nDecisionKind = 2;
    md->nRemainTime = 30000;
    EXPECT_EQ(closings(resume()), 0);
    EXPECT_EQ(view->m_nTeamMember, 0);
    EXPECT_EQ(md->nRemainTime, 30000) << "the clock keeps its time";

    // In the golden round the decided bout closes once; the next bout starts undecided.
    md->nCurRound = md->nRound + 1;
    EXPECT_EQ(resume(), Strings{"roundwinner 0 3 11 1"});
    EXPECT_EQ(view->m_nTeamMember, 1);
    EXPECT_EQ(md->nDecisionKind, 11);
    EXPECT_EQ(md->nRemainTime, (md->nTeamGRndMatchTime - bout) * 1000);
    EXPECT_EQ(closings(resume()), 0);
    EXPECT_EQ(view->m_nTeamMember, 1);

    // A bout signalled at its end is left marked when the match is finished; the next match starts with
    // no bout played.
    view->m_bTeamMemberDone[1] = 1;
    view->StartNextMatch();
    EXPECT_EQ(view->m_nTeamMember, 0);
    for (const int done : view->m_bTeamMemberDone)
        EXPECT_EQ(done, 0);
    md->nCurRound = md->nRound + 1;
    md->nDecisionKind = 11;
    md->nRemainTime = 50000;
    EXPECT_EQ(closings(resume()), 0);
    EXPECT_EQ(md->nRemainTime, 50000);
}

TEST_F(ClockTest, PrepareRoundTakesTheRoundsLength) {
    struct Case {
        int type, rule, round;
        int wantSeconds;
        Strings wantFlow;
    };
    const Case cases[] = {
        {0, 0, 1, 120, {"compact 0", "compact 1"}},
        {0, 0, 2, 120, {"roundwinner 0 2 0 1", "compact 0", "compact 1"}},
        {0, 1, 2, 120, {"compact 0", "compact 1"}}, // the round-win system decides its rounds itself
        {1, 0, 2, 90, {"roundwinner 0 2 0 1", "compact 0", "compact 1"}},
        {1, 0, 4, 45, {"roundwinner 2 2 0 1", "compact 0", "compact 1"}},
        {0, 0, 4, 60, {"roundwinner 2 2 0 1", "compact 0", "compact 1"}},
    };
    md->nTeamMatchTime[0] = 80;
    md->nTeamMatchTime[1] = 90;
    md->nTeamMatchTime[2] = 100;
    md->nTeamGRndMatchTime = 45;
    for (int r = 0; r < kMaxRounds; ++r)
        md->aSide[1].nRoundScore[r] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.rule) + "/" + std::to_string(c.round));
        md->nCompetitionType = c.type;
        md->nCompetitionRule = c.rule;
        md->nCurRound = c.round;
        md->bRoundEnded[c.round - 1] = 1;
        view->flow.clear();
        view->PrepareRound();
        EXPECT_EQ(md->nRemainTime, c.wantSeconds * 1000);
        EXPECT_EQ(md->nLastTick, c.wantSeconds * 1000);
        EXPECT_EQ(view->m_nShownSeconds, c.wantSeconds);
        EXPECT_EQ(md->bRoundEnded[c.round - 1], 0);
        EXPECT_EQ(view->flow, c.wantFlow);
    }
}

TEST(FlowNotices, SupplierByStepTable) {
    using N = FlowNotice;
    using List = std::vector<FlowNotice>;
    struct Case {
        int supplier;
        FlowStep step;
        List want;
    };
    const Case cases[] = {
        {0, FlowStep::RoundStart, {{N::ControlChar, 2}}},
        {0, FlowStep::NextRound, {{N::ControlChar, 2}}},
        {0, FlowStep::Time, {{N::ControlChar, 3}}},
        {0, FlowStep::RoundEnd, {{N::ControlChar, 3}}},
        {0, FlowStep::Stop, {}},
        {2, FlowStep::RoundStart, {{N::Colon, 3}, {N::Colon, 4}}},
        {2, FlowStep::NextRound, {{N::Colon, 4}}},
        {2, FlowStep::Resume, {{N::Colon, 6}}},
        {2, FlowStep::RoundEnd, {{N::Colon, 7}}},
        {2, FlowStep::Stop, {{N::Colon, 5}}},
        {2, FlowStep::Time, {}},
        {3, FlowStep::RoundStart, {{N::Tournament, 1}, {N::Tournament, 2}, {N::Tournament, 3}}},
        {3, FlowStep::NextRound, {{N::Tournament, 2}, {N::Tournament, 3}}},
        {3, FlowStep::RoundEnd, {{N::Tournament, 3}}},
        {3, FlowStep::Stop, {}},
        {4, FlowStep::RoundStart, {{N::Bracket, 0}}},
        {4, FlowStep::Resume, {{N::Bracket, 3}}},
        {4, FlowStep::Time, {{N::Bracket, 6}}},
        {4, FlowStep::RoundEnd, {{N::Bracket, 6}, {N::Bracket, 4}}},
        {4, FlowStep::Stop, {{N::Bracket, 2}}},
        {6, FlowStep::RoundStart, {}},
        {6, FlowStep::RoundEnd, {}},
        {7, FlowStep::RoundStart, {{N::Pipe, 3}, {N::Pipe, 4}, {N::Pipe, 13}}},
        {7, FlowStep::NextRound, {{N::Pipe, 4}, {N::Pipe, 13}}},
        {7, FlowStep::Resume, {{N::Pipe, 6}}},
        {7, FlowStep::Time, {{N::Pipe, 13}}},
        {7, FlowStep::RoundEnd, {{N::Pipe, 13}, {N::Pipe, 7}}},
        {7, FlowStep::Stop, {{N::Pipe, 5}}},
        {8, FlowStep::RoundStart, {{N::Json, 2}}}, // round 2 here; round 1 adds MATCH_START
        {8, FlowStep::NextRound, {{N::Json, 2}}},
        {8, FlowStep::Resume, {{N::Json, 5}}},
        {8, FlowStep::ClockRunning, {{N::Json, 3}}},
        {8, FlowStep::Time, {{N::Json, 3}}},
        {8, FlowStep::RoundEnd, {{N::Json, 4}, {N::Json, 6}, {N::Json, 30, 2}}},
        {8, FlowStep::Stop, {{N::Json, 4}}},
    };
    MatchData md{};
    md.nCurRound = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.supplier) + " step " + std::to_string(static_cast<int>(c.step)));
        md.nOvrSupplier = c.supplier;
        EXPECT_EQ(FlowNotices(c.step, md), c.want);
    }
}

TEST(FlowNotices, RoundOneRoundWinAndPreRegistration) {
    using N = FlowNotice;
    MatchData md{};
    md.nOvrSupplier = 8;
    md.nCurRound = 1;
    EXPECT_EQ(FlowNotices(FlowStep::RoundStart, md), (std::vector<FlowNotice>{{N::Json, 1}, {N::Json, 2}}));
    md.nCompetitionRule = 1; // the round-win system sends its round results itself
    EXPECT_EQ(FlowNotices(FlowStep::RoundEnd, md), (std::vector<FlowNotice>{{N::Json, 4}, {N::Json, 6}}));
    md.nOvrSupplier = 7;
    md.bUsePreReg = 1;
    EXPECT_EQ(FlowNotices(FlowStep::NextRound, md).front(), (FlowNotice{N::ControlChar, 2}));
    EXPECT_EQ(FlowNotices(FlowStep::Stop, md), (std::vector<FlowNotice>{{N::Pipe, 5}}));
}

TEST_F(ClockTest, EachSecondTellsTheOutsideSystems) {
    md->nOvrSupplier = 4;
    view->OnClickedStart();
    view->events.clear();
    clock.advance(3000);
    EXPECT_EQ(view->With("bracket"), (Strings{"bracket 6 ||", "bracket 6 ||", "bracket 6 ||"}));
    EXPECT_EQ(view->With("wt 0 0 0"), (Strings{"wt 0 0 0 0", "wt 0 0 0 0", "wt 0 0 0 0"}));
    EXPECT_EQ(md->nLastTick, 117000);
}

} // namespace
