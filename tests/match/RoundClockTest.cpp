// The clocks of the match: the step rules as tables, then the round, rest, Kye-Shi and time-out clocks of
// the view driven by the manual clock.
#include "match/ClockRules.h"
#include "screens/OperatorLayout.h"
#include "tests/match/ClockFixture.h"

#include <QLabel>

#include <climits>

namespace {

TEST(ClockRules, RoundStepTable) {
    struct Case {
        int remain, shown;
        DWORD elapsed;
        int wantRemain, wantShown;
        bool second, warning, ended;
    };
    const Case cases[] = {
        {120000, 120, 10, 119990, 120, false, false, false},
        {119011, 120, 10, 119001, 120, false, false, false}, // just short of the second boundary
        {119010, 120, 10, 119000, 119, true, false, false},  // on it
        {60000, 60, 600, 59400, 60, false, false, false},
        {60000, 60, 601, 59399, 60, false, false, false}, // a late tick takes its whole time
        {60000, 60, 2500, 57500, 59, true, false, false}, // delayed by 2.5 s: the seconds catch up one a step
        {57500, 59, 10, 57490, 58, true, false, false},
        {60000, 60, 0xFFFFFFF0u, 0, 59, true, false, true}, // the time is up whatever is shown
        {1500, 3, 2000, 0, 2, true, false, true},
        {10005, 11, 10, 9995, 10, true, true, false},  // crosses 10 s
        {10010, 11, 10, 10000, 10, true, true, false}, // lands on 10 s
        {10500, 11, 600, 9900, 10, true, true, false}, // a late tick jumps the 10 s mark
        {10020, 11, 10, 10010, 11, false, false, false},
        {9990, 10, 10, 9980, 10, false, false, false}, // already below
        {5, 1, 10, 0, 0, true, false, true},
        {5, 1, 600, 0, 0, true, false, true},
        {5, 1, 4, 1, 1, false, false, false},
        {0, 0, 10, 0, 0, false, false, true},   // a round of no time ends at once
        {0, -3, 10, 0, -3, false, false, true}, // and so does one below zero
        {3000, 5, 10, 2990, 4, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.remain) + " ms, " + std::to_string(c.shown) + " s, +" +
                     std::to_string(c.elapsed));
        const ClockRules::RoundStep s = ClockRules::StepRound(c.remain, c.shown, c.elapsed);
        EXPECT_EQ(s.remainMs, c.wantRemain);
        EXPECT_EQ(s.shownSeconds, c.wantShown);
        EXPECT_EQ(s.secondPassed, c.second);
        EXPECT_EQ(s.warning, c.warning);
        EXPECT_EQ(s.ended, c.ended);
    }
}

TEST(ClockRules, RoundTickLandsOnTheEnd) {
    const std::pair<int, UINT> cases[] = {{120000, 10}, {10, 10}, {9, 9}, {1, 1}, {0, 10}, {-5, 10}};
    for (const auto& [remain, want] : cases)
        EXPECT_EQ(ClockRules::RoundTickMs(remain), want) << remain << " ms left";
}

TEST(ClockRules, RestStepTable) {
    struct Case {
        int remain, seconds;
        DWORD elapsed;
        int wantRemain, wantSeconds;
        bool second, warning, ended;
    };
    const Case cases[] = {
        {60000, 60, 1000, 59000, 59, true, false, false}, {60000, 60, 999, 59001, 60, false, false, false},
        {60000, 60, 2500, 59000, 59, true, false, false}, // a step above 2 s counts as one second
        {11000, 11, 1000, 10000, 10, true, true, false},  {5000, 5, 1000, 4000, 4, true, false, false},
        {4000, 4, 1000, 3000, 3, true, true, false},      {2000, 2, 1000, 1000, 1, true, true, false},
        {1000, 1, 1000, 0, 0, true, false, true}, // the end has its own sound
        {0, 0, 1000, 0, 0, false, false, true},   // no rest at all ends at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.remain) + " ms, " + std::to_string(c.seconds) + " s");
        const ClockRules::RestStep s = ClockRules::StepRest(c.remain, c.seconds, c.elapsed);
        EXPECT_EQ(s.remainMs, c.wantRemain);
        EXPECT_EQ(s.seconds, c.wantSeconds);
        EXPECT_EQ(s.secondPassed, c.second);
        EXPECT_EQ(s.warning, c.warning);
        EXPECT_EQ(s.ended, c.ended);
    }
}

TEST(ClockRules, CountdownsAndCaptions) {
    EXPECT_EQ(ClockRules::StepCountdown(5000, 1500, ClockRules::kKyeShiStepCapMs), 4000);
    EXPECT_EQ(ClockRules::StepCountdown(5000, 1500, 1500), 3500);
    EXPECT_EQ(ClockRules::StepCountdown(500, 1000, 1000), 0);
    EXPECT_EQ(ClockRules::CountdownCaption(u"Kye-Shi", 60000), u"Kye-Shi\n1:00");
    EXPECT_EQ(ClockRules::CountdownCaption(u"Kye-Shi", 59999), u"Kye-Shi\n0:59");
    EXPECT_EQ(ClockRules::CountdownCaption(u"Time out", -5), u"Time out\n0:00");
    EXPECT_EQ(ClockRules::ClampClockSeconds(-30), 0);
    EXPECT_EQ(ClockRules::ClampClockSeconds(INT_MAX), ClockRules::kMaxClockSeconds);
}

TEST_F(ClockTest, TwoMinuteRoundEndsOnTimeWithOneWarning) {
    view->OnClickedStart();
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_EQ(clock.interval(hwnd, TIMER_ROUND_CLOCK), 10u);
    clock.advance(119990);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nRemainTime, 10);
    EXPECT_EQ(view->m_nShownSeconds, 1);
    EXPECT_EQ(view->Static(OperatorIds::Clock)->text().toStdString(), "0.01");
    EXPECT_EQ(U8(view->m_strClockText), "0:01");
    clock.advance(10);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
    EXPECT_EQ(Played("hittech.wav"), 1);
    EXPECT_EQ(Played("boong.wav"), 2); // round prepared, round ended
    EXPECT_EQ(view->m_nRoundSteps, 12000u);
    // the rest follows
    EXPECT_TRUE(Armed(TIMER_REST_CLOCK));
    EXPECT_EQ(md->nRemainTime, 60000);
    EXPECT_TRUE(Armed(TIMER_ROUND_END_DELAY));
    EXPECT_EQ(view->With("wt 0 0 5 0").size(), 1u);
}

TEST_F(ClockTest, LateTickLosesNoTime) {
    view->OnClickedStart();
    clock.advance(10);
    ASSERT_EQ(md->nRemainTime, 119990);
    clock.skip(2000);  // the UI thread was busy
    clock.advance(10); // the late tick, then the regular one
    EXPECT_EQ(md->nRemainTime, 119990 - 2000 - 10);
    EXPECT_EQ(view->m_nShownSeconds, 118);
    EXPECT_EQ(view->With("wt 0 0 0 0").size(), 2u); // the two seconds passed, each told
}

TEST_F(ClockTest, RoundEndsOnTimeThoughTheUiThreadStallsEveryTenSeconds) {
    view->OnClickedStart();
    const DWORD start = clock.now();
    for (int stall = 0; stall < 11; ++stall) {
        clock.advance(8500);
        clock.skip(1500);
    }
    clock.advance(9990);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(md->nRemainTime, 10);
    EXPECT_EQ(U8(view->m_strClockText), "0:01");
    clock.advance(10);
    EXPECT_EQ(clock.now() - start, 120000u);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_EQ(view->With("wt 0 0 5 0").size(), 1u);
    EXPECT_EQ(view->With("wt 0 0 0 0").size(), 119u); // no second's notice skipped
}

// A start whose records and notices take the UI thread 40 ms: the round's time still runs from the press.
class SlowStartView final : public ClockView {
public:
    explicit SlowStartView(platform::ManualTime& clock) : m_clock(clock) {}
    void SendIvrMessage(int code, std::u16string_view a, std::u16string_view b, std::u16string_view c,
                        std::u16string_view d) override {
        if (code == 0)
            m_clock.skip(40);
        ClockView::SendIvrMessage(code, a, b, c, d);
    }

private:
    platform::ManualTime& m_clock;
};

TEST_F(ClockTest, TheRoundsTimeRunsFromThePressNotFromTheEndOfTheStartsWork) {
    view = std::make_unique<SlowStartView>(clock);
    hwnd = view->GetSafeHwnd();
    const DWORD pressed = clock.now();
    view->OnClickedStart();
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_EQ(clock.now() - pressed, 40u) << "the start's own work took its time";
    clock.advance(119950);
    EXPECT_EQ(md->nRemainTime, 10);
    EXPECT_EQ(md->nGameState, 3);
    clock.advance(10);
    EXPECT_EQ(clock.now() - pressed, 120000u);
    EXPECT_EQ(md->nGameState, 5);
}

TEST_F(ClockTest, LastStepLandsOnTheRoundsEnd) {
    view->OnClickedStart();
    const DWORD start = clock.now();
    clock.skip(15); // a late first tick moves every later tick 5 ms off the whole-10 grid
    clock.advance(119980);
    ASSERT_EQ(md->nRemainTime, 5);
    EXPECT_EQ(clock.interval(hwnd, TIMER_ROUND_CLOCK), 5u);
    clock.advance(4);
    EXPECT_EQ(md->nGameState, 3);
    clock.advance(1);
    EXPECT_EQ(clock.now() - start, 120000u);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
}

TEST_F(ClockTest, WarningSoundsOnceWhenALateTickJumpsTheMark) {
    view->OnClickedStart();
    clock.advance(110000 - 400); // 10.400 s left
    ASSERT_EQ(md->nRemainTime, 10400);
    clock.skip(590);
    clock.advance(10);
    EXPECT_EQ(md->nRemainTime, 9800);
    clock.advance(2000);
    EXPECT_EQ(Played("hittech.wav"), 1);
}

TEST_F(ClockTest, RoundWithoutTimeEndsAtTheFirstStep) {
    md->nMatchTime = 0;
    view->OnClickedStart();
    ASSERT_EQ(md->nGameState, 3);
    clock.advance(10);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
}

TEST_F(ClockTest, RestCountsDownWithItsSignalsAndEndsInState6) {
    md->nMatchTime = 1;
    md->nRestTime = 12;
    view->OnClickedStart();
    clock.advance(1000);
    ASSERT_EQ(md->nGameState, 5);
    sound.played.clear();
    clock.advance(11000);
    EXPECT_EQ(sound.played,
              (std::vector<std::string>{"mboong.wav", "mboong.wav", "mboong.wav", "mboong.wav"}));
    EXPECT_EQ(view->m_nRestCount, 1);
    clock.advance(1000);
    EXPECT_EQ(sound.played.back(), "boong.wav");
    EXPECT_EQ(md->nGameState, 6);
    EXPECT_EQ(md->nRemainTime, 0);
    EXPECT_EQ(md->nLastTick, 0);
    EXPECT_FALSE(Armed(TIMER_REST_CLOCK));
}

TEST_F(ClockTest, NoRestAfterTheGoldenRound) {
    md->nCurRound = 3;
    md->nGameState = 6;
    md->aSide[0].nScore = md->aSide[1].nScore = 2; // tied: the golden round may follow
    md->nGRndMatchTime = 1;
    view->OnClickedStart();
    ASSERT_EQ(md->nCurRound, 4);
    clock.advance(1000);
    EXPECT_EQ(view->events.back(), "roundend");
    EXPECT_FALSE(Armed(TIMER_REST_CLOCK));
    EXPECT_EQ(md->nRemainTime, 0);
}

TEST_F(ClockTest, TeamBoutSignalStopsTheClockAtEachBoutChange) {
    struct Case {
        int boutSeconds;
        int wantState;
    };
    for (const Case c : {Case{40, 8}, Case{0, 3}}) { // 0: no bouts, and no division by it
        SCOPED_TRACE(c.boutSeconds);
        md->nCompetitionType = 1;
        md->nTeamIndCompetitionTime = c.boutSeconds;
        md->nCurRound = 1;
        md->nGameState = 3;
        md->nRemainTime = 41000;
        view->m_nShownSeconds = 41;
        view->m_nBoongSecond = -1;
        view->m_nRoundTick = clock.now();
        view->SetTimer(TIMER_ROUND_CLOCK, 10);
        sound.played.clear();
        clock.advance(1000);
        EXPECT_EQ(md->nGameState, c.wantState);
        EXPECT_EQ(Played("boong.wav"), c.wantState == 8 ? 1 : 0);
        view->KillTimer(TIMER_ROUND_CLOCK);
    }
}

TEST_F(ClockTest, LastRegularRoundAsksForTheGoldenRoundOrTheEnd) {
    md->nCurRound = 2;
    md->nGameState = 6;
    md->nMatchTime = 1;
    prompter.answer(IDNO);
    view->OnClickedStart();
    clock.advance(1000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to play a Golden Point Round?");
    EXPECT_EQ(md->nGameState, 4);
    clock.advance(60000); // the rest ends without undoing the operator's No
    EXPECT_FALSE(Armed(TIMER_REST_CLOCK));
    EXPECT_EQ(md->nGameState, 4);

    md->nCurRound = 2;
    md->nGameState = 6;
    md->aSide[0].nScore = 3;
    view->OnClickedStart();
    clock.advance(1000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to end this game?");
}

TEST_F(ClockTest, PointGapDecidesAtItsRound) {
    md->nCurRound = 1; // round nRound - 1 = 2 follows
    md->nGameState = 6;
    md->nMatchTime = 1;
    md->bUsePointGap = 1;
    view->gapEndsMatch = true;
    view->OnClickedStart();
    clock.advance(1000);
    EXPECT_EQ(view->With("decide"), (std::vector<std::string>{"decide 1 1"}));
    EXPECT_EQ(md->nWinSide, 1);
    EXPECT_EQ(md->nDecisionKind, 1);
    EXPECT_EQ(md->nWinRound, 2);
}

} // namespace
