// The new-match set-up and the registration's round-and-time text, through a recording view.
#include "match/NewMatch.h"

#include "app/Messages.h"
#include "app/Network.h"
#include "app/Timers.h"
#include "links/MatchInput.h"
#include "screens/OperatorLayout.h"
#include "tests/match/RecordingView.h"

#include <QApplication>
#include <QLabel>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Records the handlers the set-up reaches beyond the link senders.
class NewMatchView : public RecordingView {
public:
    void DecideRoundWinner(int r, int winner, int reason, int notify) override {
        events.push_back("roundwinner " + std::to_string(r) + " " + std::to_string(winner) + " " +
                         std::to_string(reason) + " " + std::to_string(notify));
    }
    void ResetMatchScreen() override { events.push_back("resetscreen"); }
    void SendReceiverCommand(int code, const char* text) override {
        events.push_back("rx " + std::to_string(code) + " " + text);
    }
};

class FakeRegDlg : public MessageWindow {
public:
    std::vector<UINT> received;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        received.push_back(message);
        return 0;
    }
};

class NewMatchTest : public MatchTest {
protected:
    NewMatchTest() {
        view = std::make_unique<NewMatchView>();
        md->nRemainTime = 60000;
        md->nLastTick = 60000;
    }
    ~NewMatchTest() override { g_hRegDlg = 0; }
    std::vector<std::string> WtKinds() const {
        std::vector<std::string> out;
        for (const std::string& e : view->With("wt "))
            out.push_back(e.substr(3));
        return out;
    }
};

TEST(NewMatchRules, ParsesTimeAndRound) {
    struct Case {
        const char* text;
        bool ok;
        int ms;
        int round;
    } const cases[] = {
        {"45,2", true, 45000, 2},                          // fewer than 5 characters: seconds
        {"045000,2", true, 45000, 2},                      // six: milliseconds
        {"12345,1", true, 12345, 1},                       // five: milliseconds
        {"0,1", true, 0, 1},                               //
        {"5999,1", true, 5999000, 1},                      // the longest clock
        {"6000,1", false, 0, 0},                           // longer than any clock
        {"5999001,1", false, 0, 0},                        //
        {"999999999,1", false, 0, 0},                      //
        {"", false, 0, 0},                                 //
        {",", false, 0, 0},                                //
        {"45", false, 0, 0},                               // no round
        {"45,", false, 0, 0},                              //
        {",2", false, 0, 0},                               //
        {"-5,1", false, 0, 0},                             // signs are not digits
        {"45,-1", false, 0, 0},                            //
        {"45,2,3", false, 0, 0},                           // a third token
        {" 45,2", false, 0, 0},                            //
        {"4x,2", false, 0, 0},                             //
        {"45,1234567890", false, 0, 0},                    // more digits than an int holds
        {"000000000000000000000000045000,1", false, 0, 0}, // overlong
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = NewMatch::ParseRoundAndTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(parsed->ms, c.ms);
            EXPECT_EQ(parsed->round, c.round);
        }
    }
}

TEST(NewMatchRules, StripsColonsAndNamesTheLog) {
    std::string time = "12:34:56";
    EXPECT_TRUE(StripColons(time));
    EXPECT_EQ(time, "123456");
    std::string plain = "1234";
    EXPECT_FALSE(StripColons(plain));
    EXPECT_EQ(plain, "1234");
    EXPECT_EQ(NewMatch::MatchLogFileName("2026-12-10 01:02:03", "117"), "2026-12-10 010203(No117).xls");
    for (const char* unsafe : {"../x", "a/b", "a\\b", "..", "1\n2"})
        EXPECT_EQ(NewMatch::MatchLogFileName("2026-12-10 01:02:03", unsafe), "") << unsafe;
}

TEST_F(NewMatchTest, GoldenRoundValuesFollowTheCompetitionType) {
    const int g = 3; // round 4 after three regular rounds
    md->aSide[0].nRoundScore[g] = 1;
    md->aSide[1].nRoundScore[g] = 0;
    struct Case {
        int type;
        int hongSingles, hongDoubles; // Hong's gam-jeoms: their points go to Chung
        int chung;
    } const cases[] = {
        {2, 1, 0, 1}, // a lone single gam-jeom counts nothing
        {2, 0, 1, 1}, // a lone double one neither
        {2, 2, 1, 5}, // otherwise single + 2 x double
        {1, 1, 0, 2}, // the round total
        {0, 1, 0, 2}, // the round total when it reaches 2
        {0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " " << c.hongSingles << "/" << c.hongDoubles);
        md->nCompetitionType = c.type;
        md->aSide[1].nRoundPenalty1[g] = c.hongSingles;
        md->aSide[1].nRoundPenalty2[g] = c.hongDoubles;
        md->aSide[1].nRoundPenaltyPoints1[g] = c.hongSingles;
        md->aSide[1].nRoundPenaltyPoints2[g] = 2 * c.hongDoubles;
        EXPECT_EQ(NewMatch::GoldenRoundScore(*md, 0, g), c.chung);
    }
    // Type 0: a total below 2 from one gam-jeom of the opponent shows the own points only.
    md->nCompetitionType = 0;
    md->aSide[0].nRoundScore[g] = 0;
    md->aSide[1].nRoundPenalty1[g] = 1;
    md->aSide[1].nRoundPenalty2[g] = 0;
    md->aSide[1].nRoundPenaltyPoints1[g] = 1;
    md->aSide[1].nRoundPenaltyPoints2[g] = 0;
    EXPECT_EQ(NewMatch::GoldenRoundScore(*md, 0, g), 0);
}

TEST_F(NewMatchTest, SetsRoundAndTimeOrChangesNothing) {
    const std::string overlong(200, '1');
    struct Case {
        std::string text;
        int remain; // nRemainTime after
        int round;
        int state;
        int shown; // m_nShownSeconds after
    } const cases[] = {
        {"045000,2", 45000, 2, 8, 45},
        {"45,2", 45000, 2, 8, 45},
        {"0,1", 0, 1, 8, 1},       // the clock still shows a second
        {"45,9", 45000, 5, 8, 45}, // held to the rounds the record keeps
        {"45,0", 45000, 1, 8, 45},
        {"", 60000, 1, 3, 60},
        {"garbage", 60000, 1, 3, 60},
        {"-5,1", 60000, 1, 3, 60},
        {"45,x", 60000, 1, 3, 60},
        {overlong, 60000, 1, 3, 60},
        {"000000000000000000000000045000,1", 60000, 1, 3, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        md->nCurRound = 1;
        md->nGameState = 3;
        md->nRemainTime = md->nLastTick = 60000;
        view->m_nShownSeconds = 60;
        view->events.clear();
        view->SetRoundAndTime(c.text.c_str());
        EXPECT_EQ(md->nRemainTime, c.remain);
        EXPECT_EQ(md->nLastTick, c.remain);
        EXPECT_EQ(md->nCurRound, c.round);
        EXPECT_EQ(md->nGameState, c.state);
        EXPECT_EQ(view->m_nShownSeconds, c.shown);
        if (c.state == 3)
            EXPECT_TRUE(view->events.empty());
        else
            EXPECT_EQ(view->events.back(), "stop");
    }
}

TEST_F(NewMatchTest, RoundAndTimeTellsWhatChangedAndDecidesTheRoundAfresh) {
    md->nRoundWinner[1] = 2;
    view->SetRoundAndTime("030000,2");
    EXPECT_EQ(view->events,
              (std::vector<std::string>{"wt 0 2 0 0", "wt 0 0 3 0", "roundwinner 1 3 11 0", "stop"}));
    EXPECT_EQ(md->nRoundWinner[1], 0);

    // The same round and time again: no WT notices.
    view->events.clear();
    view->SetRoundAndTime("30,2");
    EXPECT_EQ(view->events, (std::vector<std::string>{"roundwinner 1 3 11 0", "stop"}));
}

TEST_F(NewMatchTest, GoldenRoundTimeShowsTheGoldenRoundValues) {
    md->nCompetitionType = 1;
    md->aSide[0].nRoundScore[3] = 4;
    md->aSide[1].nRoundScore[3] = 2;
    md->aSide[0].nRoundPenaltyPoints1[3] = 1; // goes to Hong
    QLabel* chung = view->Static(OperatorIds::ScoreChung);
    QLabel* hong = view->Static(OperatorIds::ScoreHong);
    view->SetRoundAndTime("60,4");
    EXPECT_EQ(md->nCurRound, 4);
    EXPECT_EQ(chung->text().trimmed(), "4");
    EXPECT_EQ(hong->text().trimmed(), "3");
}

// A match half-way through, with every trace the new match must clear.
void PlayedMatch(MatchData& md, CMainWnd& view) {
    md.nGameState = 5;
    md.nCurRound = 2;
    md.nRemainTime = 12000;
    md.bMatchLogged = 1;
    md.nLogIndex = 17;
    md.nMatchTime = 90;
    std::strcpy(md.szContestNo, "117");
    view.m_bLogOpen = TRUE;
    view.m_nShownSeconds = 12;
}

// The result pop-ups up on the screens (public and operator's), by their window class.
std::vector<std::string> ResultPopupsShown() {
    std::vector<std::string> shown;
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        const std::string name = w->metaObject()->className();
        if (w->isVisible() && name.starts_with("CTK_"))
            shown.push_back(name);
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

TEST_F(NewMatchTest, NewMatchStartsFromTheBeginning) {
    PlayedMatch(*md, *view);
    // The previous match's decision is still up on both screens.
    md->nMonitorCount = 2;
    md->bStandAloneMode = 1;
    md->nWinSide = 0;
    view->OpenDecisionPopup(1, 1, 0, 0, 400, 100); // won by the point gap
    view->ShowWinnerScreens(true, true);
    view->ShowRoundWinnerPopup(0, 1);
    view->ShowSuperiorityScreen();
    ASSERT_EQ(ResultPopupsShown(),
              (std::vector<std::string>{"CTK_GRndSupDlg", "CTK_GRndWinDispDlg", "CTK_WinDispDlg",
                                        "CTK_WinDispDlg_OP", "CTK_WinPopDlg"}));
    g_MatchInput.bValid = 0;
    g_MatchInput.field[TTK_MatchInput::Match] = u"old match";
    FakeRegDlg regDlg;
    g_hRegDlg = regDlg.GetSafeHwnd();
    view->m_strMatchKey = u"202405011200"; // the row of the match before
    view->m_bLogErrorShown = true;

    view->StartNextMatch();

    EXPECT_TRUE(view->m_strMatchKey.empty());
    EXPECT_FALSE(view->m_bLogErrorShown);
    EXPECT_EQ(md->nGameState, 1);
    EXPECT_EQ(md->nCurRound, 0);
    EXPECT_EQ(md->nRemainTime, 90000);
    EXPECT_EQ(view->m_nShownSeconds, 90);
    EXPECT_EQ(md->bMatchLogged, 0);
    EXPECT_EQ(md->nLogIndex, 0);
    EXPECT_TRUE(g_MatchInput.field[TTK_MatchInput::Match].empty());
    EXPECT_EQ(regDlg.received, std::vector<UINT>{UM_REG_REFRESH_DEVICES}); // the view is still starting
    // No workbook writer: the log cannot be created, which the operator is told.
    EXPECT_FALSE(view->m_bLogOpen);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Log file creation error!"});
    EXPECT_EQ(ResultPopupsShown(), std::vector<std::string>{}) << "no result of the last match stays up";
    for (const char* e : {"rx 44 ED", "resetscreen"})
        EXPECT_EQ(view->With(e).size(), 1u) << e;
    EXPECT_EQ(WtKinds(), (std::vector<std::string>{"0 16 0 0", "0 6 0 0", "0 7 0 0", "0 14 0 0", "0 5 0 0",
                                                   "0 4 0 0", "0 15 0 0"}));
    EXPECT_FALSE(view->KillTimer(TIMER_TVG_CLOCK)); // no TVG link
}

// A match loaded while a round runs (an import applied late, a reloaded contest) stops every clock: the new
// match's screen never counts down a round that is not its own.
TEST_F(NewMatchTest, ANewMatchStopsTheRunningClocks) {
    md->nGameState = 3;
    md->nCurRound = 1;
    for (const UINT_PTR id : {TIMER_ROUND_CLOCK, TIMER_REST_CLOCK, TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK})
        view->SetTimer(id, 10);
    view->StartNextMatch();
    EXPECT_EQ(md->nGameState, 1);
    EXPECT_EQ(md->nCurRound, 0);
    for (const UINT_PTR id : {TIMER_ROUND_CLOCK, TIMER_REST_CLOCK, TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK})
        EXPECT_FALSE(view->KillTimer(id)) << "timer " << id << " still runs";
}

TEST_F(NewMatchTest, NewMatchNoticesFollowTheSuppliers) {
    struct Case {
        int supplier;
        const char* notice; // "" none
    } const cases[] = {{2, "colon 2"}, {4, "bracket 7"}, {7, "pipe 2"}, {0, ""}, {6, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.supplier);
        md->nOvrSupplier = c.supplier;
        view->events.clear();
        view->StartNextMatch();
        std::vector<std::string> ovr;
        for (const char* p : {"colon", "bracket", "pipe", "ctrl"})
            for (const std::string& e : view->With(p))
                ovr.push_back(e.substr(0, e.find(' ', e.find(' ') + 1)));
        EXPECT_EQ(ovr, c.notice[0] ? std::vector<std::string>{c.notice} : std::vector<std::string>{});
        EXPECT_TRUE(view->TakeJson().empty());
    }
    md->nOvrSupplier = 8;
    view->StartNextMatch();
    EXPECT_EQ(view->TakeJson(), std::vector<std::string>{"0:"});
    EXPECT_TRUE(view->KillTimer(TIMER_JSON_QUEUE));
}

TEST_F(NewMatchTest, TeamRoundWinMatchTakesTheTeamTimeAndTheRoundWinNotice) {
    md->nCompetitionType = 1;
    md->nCompetitionRule = 1;
    md->nTeamMatchTime[0] = 60;
    md->nMatchTime = 120;
    int link = 0;
    md->pTvgLink = &link;
    md->bTvgConnected = 1;
    view->StartNextMatch();
    md->pTvgLink = nullptr;
    EXPECT_EQ(md->nRemainTime, 60000);
    EXPECT_EQ(view->With("wt 0 23").size(), 1u);
    EXPECT_TRUE(view->KillTimer(TIMER_TVG_CLOCK));
}

TEST_F(NewMatchTest, ANewDayIsToldToTheVideoReplayOnce) {
    view->StartNextMatch();
    EXPECT_EQ(view->With("ivr 9").size(), 1u);
    view->StartNextMatch();
    EXPECT_EQ(view->With("ivr 9").size(), 1u);
    view->m_nNewMatchDay = 1; // as if the previous match was on another day
    view->StartNextMatch();
    EXPECT_EQ(view->With("ivr 9").size(), 2u);
}

TEST_F(NewMatchTest, TheMatchLoadedFromAMatchInputFileKeepsItsRecord) {
    g_MatchInput.bValid = 1;
    g_MatchInput.field[TTK_MatchInput::FileName] = u"match-17";
    view->StartNextMatch();
    EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::FileName], u"match-17");
    g_MatchInput.bValid = 0;
    ClearMatchInput();
}

TEST_F(NewMatchTest, IndividualMatchDropsTheProtectorsAndKeepsTheJudges) {
    for (const char* name : {"CV", "judge1", "CH", "HV", "HH", "judge2"})
        g_pNetworkArr->emplace_back().name = name;
    view->StartNextMatch();
    std::vector<std::string> left;
    for (const TTK_Network& e : *g_pNetworkArr)
        left.push_back(e.name);
    EXPECT_EQ(left, (std::vector<std::string>{"judge1", "judge2"}));
    EXPECT_EQ(view->With("rx").size(), 1u);
}

TEST_F(NewMatchTest, TeamMatchReleasesEveryDeviceButTheJudges) {
    md->nCompetitionType = 1;
    for (const char* name : {"judge1", "CV2"})
        g_pNetworkArr->emplace_back().name = name;
    view->StartNextMatch();
    ASSERT_EQ(g_pNetworkArr->size(), 1u);
    EXPECT_EQ(g_pNetworkArr->front().name, "judge1");
    EXPECT_EQ(view->With("rx 51").size(), 1u);
    EXPECT_TRUE(view->With("rx 44").empty());
}

} // namespace
