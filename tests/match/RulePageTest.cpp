// The Rule page of the configuration dialog: the court channel table, the receiver version rule, the time
// texts, saving into Rule.ini, and the page's controls offscreen.
#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/Messages.h"
#include "controls/MaskedEdit.h"
#include "match/RulePageRules.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "platform/WindowMessages.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

// ---- court channels ----

TEST(CourtChannel, EveryCourtHasItsChannelAndCourtsSixteenApartShareIt) {
    // Courts 1..4 take every fourth channel from 0, courts 5..8 from 1, and so on.
    const int expected[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    std::set<int> used;
    for (int court = 1; court <= 32; ++court) {
        SCOPED_TRACE(court);
        EXPECT_EQ(ChannelForCourt(court), expected[(court - 1) % 16]);
        used.insert(ChannelForCourt(court));
    }
    EXPECT_EQ(used.size(), 16u) << "sixteen neighbouring courts never share a channel";
    EXPECT_EQ(ChannelForCourt(0), 0) << "a court outside 1..32 is taken as court 1";
    EXPECT_EQ(ChannelForCourt(33), 0);
}

TEST(CourtChannel, CourtStepsWrapAndChannelTextsRunFromElevenToTwentySix) {
    EXPECT_EQ(NextCourt(32), 1);
    EXPECT_EQ(NextCourt(1), 2);
    EXPECT_EQ(PreviousCourt(1), 32);
    EXPECT_EQ(PreviousCourt(17), 16);
    EXPECT_EQ(ChannelText(0), u"CH11 - 2405MHz");
    EXPECT_EQ(ChannelText(15), u"CH26 - 2480MHz");
}

// ---- receiver version ----

TEST(ReceiverVersionRule, PartsAreHexadecimalAndOnlyThreeSevenOrLaterPasses) {
    const struct {
        const char16_t* text;
        int major;
        int minor;
        bool accepted;
    } cases[] = {
        {u"3.6", 3, 6, false},   {u"3.7", 3, 7, true},   {u"4.0", 4, 0, true}, {u"03.0a", 3, 10, true},
        {u"03.06", 3, 6, false}, {u"2.7", 2, 7, false},  // a minor above 6 alone is not enough
        {u"02.05", 2, 5, false}, {u"09.01", 9, 1, true}, // the first firmware reports itself so
        {u"10.00", 16, 0, true}, {u"", 0, 0, false},     {u"3", 3, 0, false},  {u"x.7", 0, 7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        const ReceiverVersion v = ParseReceiverVersion(c.text);
        EXPECT_EQ(v, (ReceiverVersion{c.major, c.minor}));
        EXPECT_EQ(ReceiverVersionAccepted(v), c.accepted);
    }
}

// ---- times ----

TEST(RuleTimes, TextsParseStepAndKeepTheirBounds) {
    EXPECT_EQ(TimeText(125), u"2 : 05");
    EXPECT_EQ(TimeText(599), u"9 : 59");
    const struct {
        const char16_t* text;
        std::optional<int> seconds;
    } cases[] = {
        {u"2 : 05", 125},  {u"2:05", 125}, {u" :  ", 0},   {u"0 : 00", 0},
        {u"10 : 00", 600}, {u"45", 45},    {u"1:2:3", {}}, {u"a : 10", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTimeText(c.text), c.seconds)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    // Saving reads what the field shows, strictly: a whole time or nothing.
    const struct {
        const char16_t* text;
        std::optional<int> seconds;
    } shown[] = {
        {u"2 : 05", 125}, {u"0 : 00", 0},  {u" :   ", {}},   {u"1 :   ", {}},  {u"0 : 5 ", {}},
        {u"0 :  5", {}},  {u"0 : 75", {}}, {u"0 : 59", 59},  {u"9 : 59", 599}, {u"2:05", 125},
        {u"2 05", {}},    {u"x : 05", {}}, {u"2 : 0 5", {}},
    };
    for (const auto& c : shown)
        EXPECT_EQ(ParseShownTime(c.text), c.seconds)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    EXPECT_EQ(StepTime(599, 1), 599);
    EXPECT_EQ(StepTime(10, -1), 10);
    EXPECT_EQ(StepTime(60, -1), 59);
    EXPECT_EQ(ClampTime(0), kMinTimeSeconds);
}

// ---- saving ----

// Records what the page tells the operator view.
class RecordingView final : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM lParam) override {
        messages.push_back(message);
        last = lParam;
        return 0;
    }
    int Count(UINT message) const { return static_cast<int>(std::ranges::count(messages, message)); }
    std::vector<UINT> messages;
    LPARAM last = 0;
};

class RuleSaveTest : public TestCourt, public ::testing::Test {
protected:
    RuleSaveTest() {
        m_savedView = g_hMainWnd;
        g_hMainWnd = view.GetSafeHwnd();
        md->nRound = 3;
        md->nCompetitionType = 0;
        md->nMatchTime = md->nTeamMatchTime[0] = 120;
        md->nTeamMatchTime[1] = 180;
        md->nRestTime = md->nKyeShiTime = 60;
        values = RulePageValuesFrom(*md);
    }
    ~RuleSaveTest() override { g_hMainWnd = m_savedView; }

    int Key(const char16_t* key) { return ReadIniInt(u"Rule", key, u"Rule.ini"); }
    bool HasKey(const char16_t* key) {
        WCHAR buffer[kIniValueChars];
        return ReadIniString(u"Rule", key, buffer, u"Rule.ini") > 0;
    }

    RecordingView view;
    RulePageValues values;

private:
    HWND m_savedView = 0;
};

TEST_F(RuleSaveTest, TeamTimesAreCappedAndTheSecondAboveTheMaximumBecomesThreeMinutes) {
    values.competitionType = 1;
    values.matchTime1 = 600;
    values.matchTime2 = 600;
    values.videoQuota = 3;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_EQ(Key(u"Team_Match_Time_1"), 599);
    EXPECT_EQ(Key(u"Team_Match_Time_2"), 180);
    EXPECT_EQ(md->nTeamMatchTime[0], 599);
    EXPECT_EQ(md->nTeamMatchTime[1], 180);
    EXPECT_FALSE(HasKey(u"Match_Time"));
    EXPECT_EQ(Key(u"Team_VR_Quota"), 3);
    EXPECT_FALSE(HasKey(u"VR_Quota"));
    EXPECT_EQ(view.Count(UM_MATCH_TYPE_CHANGED), 1) << "the classification changed";
}

TEST_F(RuleSaveTest, TimesBelowTheLowerBoundAreRaisedSoNoRoundOfNothingIsSaved) {
    values.matchTime1 = 0;
    values.restTime = 5;
    values.kyeShiTime = 600;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_EQ(Key(u"Match_Time"), kMinTimeSeconds);
    EXPECT_EQ(Key(u"Rest_Time"), kMinTimeSeconds);
    EXPECT_EQ(Key(u"KyeShi_Time"), 599);
    EXPECT_EQ(md->nMatchTime, kMinTimeSeconds);
}

TEST_F(RuleSaveTest, DisplayResolutionIsWrittenOnlyWhenItChanged) {
    md->nDisplayResolution = 0;
    values.resolution720 = 0;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_FALSE(HasKey(u"Display_Resolution"));
    EXPECT_EQ(view.Count(UM_MATCH_TYPE_CHANGED), 0);
    EXPECT_EQ(view.Count(UM_ROUND_WIN_MODE_CHANGED), 1) << "the round-win mode is told on every save";

    values.resolution720 = 1;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_EQ(Key(u"Display_Resolution"), 1);
    EXPECT_EQ(md->nDisplayResolution, 1);
    EXPECT_EQ(view.Count(UM_MATCH_TYPE_CHANGED), 1);
}

TEST_F(RuleSaveTest, EveryFieldIsStoredWithItsOffsetAndTheQuorumFollowsTheJudges) {
    values.judgeMiddle = 0; // "X2"
    values.trunkPoint = 1;
    values.headPoint = 4;
    values.eSocks = 1;
    values.judgeNumber = 3;
    values.roundIndex = 1;
    values.usePointGap = 1;
    values.punch = 1;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_EQ(Key(u"Judge_Point_Middle"), -1);
    EXPECT_EQ(md->nJudgePointMiddle, -1);
    EXPECT_EQ(Key(u"EBP_Point"), 2);
    EXPECT_EQ(Key(u"EHP_Point"), 5);
    EXPECT_EQ(Key(u"Use_eSocks"), 1);
    EXPECT_EQ(Key(u"Round"), 2);
    EXPECT_EQ(Key(u"Use_Point_Gap"), 1);
    EXPECT_EQ(Key(u"Use_PUnch"), 1);
    EXPECT_EQ(md->nJudgeQuorum, 2);
    EXPECT_EQ(view.Count(UM_MATCH_TYPE_CHANGED), 1) << "the round count changed";

    values.judgeNumber = 1;
    SaveRuleValues(*md, values, view.GetSafeHwnd());
    EXPECT_EQ(md->nJudgeQuorum, 1);
}

TEST_F(RuleSaveTest, ChangingTheKindOfMatchBetweenMatchesTakesItsLevels) {
    md->nTeamLevB = 18;
    md->nTeamLevH = 1;
    md->nTeamLevP = 20;
    const struct {
        int from, to, gameState;
        int body, head, punch; // after saving, from 25, 4, 30
    } cases[] = {
        {0, 1, 1, 18, 1, 20}, // to team matches between matches: the team's levels
        {1, 0, 0, 0, 0, 30},  // to individual matches: none until a class is loaded
        {0, 0, 1, 25, 4, 30}, // the same kind: the loaded class's levels stay
        {0, 1, 3, 25, 4, 30}, // a match running keeps its levels
    };
    for (const auto& c : cases) {
        md->nCompetitionType = c.from;
        md->nGameState = c.gameState;
        md->nLevelBody = 25;
        md->nLevelHead = 4;
        md->nLevelPunch = 30;
        values.competitionType = c.to;
        SaveRuleValues(*md, values, view.GetSafeHwnd());
        EXPECT_EQ(std::tuple(md->nLevelBody, md->nLevelHead, md->nLevelPunch),
                  std::tuple(c.body, c.head, c.punch))
            << "from " << c.from << " to " << c.to << " in state " << c.gameState;
    }
    md->nGameState = 0;
}

TEST_F(RuleSaveTest, TimesTheFieldsCannotSaveAsShownAreRefusedByName) {
    const struct {
        int RulePageValues::*field;
        int seconds;
        int competitionType;
        const char16_t* refusal; // nullptr: accepted
    } cases[] = {
        {&RulePageValues::matchTime1, kNoTime, 0,
         u"Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {&RulePageValues::matchTime1, 5, 0, u"Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {&RulePageValues::matchTime1, 600, 0, u"Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {&RulePageValues::matchTime1, 10, 0, nullptr},
        {&RulePageValues::matchTime1, 599, 0, nullptr},
        {&RulePageValues::restTime, 9, 0, u"Rest Time: please enter a time between 0 : 10 and 9 : 59."},
        {&RulePageValues::kyeShiTime, kNoTime, 0,
         u"Kye-Shi Time: please enter a time between 0 : 10 and 9 : 59."},
        {&RulePageValues::matchTime2, kNoTime, 0, nullptr}, // not shown outside team matches
        {&RulePageValues::matchTime2, kNoTime, 1,
         u"Match Time 2: please enter a time between 0 : 10 and 9 : 59."},
    };
    for (const auto& c : cases) {
        RulePageValues v = values;
        v.matchTime1 = v.matchTime2 = v.restTime = v.kyeShiTime = 60;
        v.competitionType = c.competitionType;
        v.*c.field = c.seconds;
        const auto refusal = CheckRuleValues(v);
        if (c.refusal)
            EXPECT_EQ(refusal, std::u16string(c.refusal)) << c.seconds;
        else
            EXPECT_FALSE(refusal.has_value()) << c.seconds;
    }
}

TEST_F(RuleSaveTest, NumbersOutsideTheirRangesAreRefusedWithTheRange) {
    EXPECT_FALSE(CheckRuleValues(values).has_value());
    values.pointGap = 4;
    EXPECT_EQ(CheckRuleValues(values), u"Please enter an integer between 5 and 50.");
    values.pointGap = 12;
    values.videoQuota = 6;
    EXPECT_EQ(CheckRuleValues(values), u"Please enter an integer between 0 and 5.");
}

TEST_F(RuleSaveTest, SetWritesCourtAndChannelAndTellsTheView) {
    EXPECT_TRUE(SaveCourtChannel(*md, 7, 9, view.GetSafeHwnd()));
    EXPECT_EQ(Key(u"Court_No"), 7);
    EXPECT_EQ(Key(u"Channel_No"), 9);
    EXPECT_EQ(view.messages, std::vector<UINT>{UM_SET_COURT_CHANNEL});
    EXPECT_EQ(view.last, 9);
    EXPECT_FALSE(SaveCourtChannel(*md, 33, 0, view.GetSafeHwnd()));
    EXPECT_FALSE(SaveCourtChannel(*md, 1, 16, view.GetSafeHwnd()));
    EXPECT_EQ(Key(u"Court_No"), 7) << "a refused court writes nothing";
}

// ---- the page offscreen ----

class RulePageTest : public RuleSaveTest {
protected:
    RulePageTest() {
        md->nCourtNo = 32;
        md->nChannelNo = 15;
        md->nGamJeom = 0; // shown as 10
        md->nPointGap = 20;
        md->nPointCeil = 40;
        md->nMatchTime = 120;
        md->nRestTime = 60;
        md->nKyeShiTime = 60;
        md->nTeamMatchTime[1] = 180;
        page = std::make_unique<CTK_RuleWnd>(md);
    }
    ~RulePageTest() override { page.reset(); }

    void Click(int id) { page->Check(id)->click(); }
    std::unique_ptr<CTK_RuleWnd> page;
};

TEST_F(RulePageTest, LoadsTheRecordWithItsShownReplacements) {
    EXPECT_EQ(page->Static(CTK_RuleWnd::IDC_COURT)->text(), "32");
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 15);
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_GAMJEOM)->value(), 10);
    EXPECT_EQ(page->Edit(CTK_RuleWnd::IDC_MATCH_TIME)->text(), "2 : 00");
    EXPECT_FALSE(page->GetDlgItem(CTK_RuleWnd::IDC_MATCH_TIME2)->isEnabled()) << "1:1 has one match time";
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_ROUND)->count(), 3);
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_ROUND)->itemText(0), "1 Round + G");
    EXPECT_EQ(g_hRuleWnd.load(), page->GetSafeHwnd());
    page.reset();
    EXPECT_EQ(g_hRuleWnd.load(), 0) << "the page's handle goes with it";
}

TEST_F(RulePageTest, TheTeamTypeIsShownAndSavedAsItWasAndTeamsOfSixAreKept) {
    // Teams of six are set in Rule.ini only: the combo has no entry for them, and saving the page without
    // choosing another entry must not turn them into teams of four.
    const struct {
        int stored;
        int shown;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, -1}};
    for (const auto& c : cases) {
        md->nTeamType = c.stored;
        page = std::make_unique<CTK_RuleWnd>(md);
        EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_TEAM_TYPE)->currentIndex(), c.shown) << c.stored;
        ASSERT_TRUE(page->SaveRule());
        EXPECT_EQ(md->nTeamType, c.stored);
        EXPECT_EQ(Key(u"Team_Type"), c.stored);
    }
    // Choosing an entry still replaces them.
    page->Combo(CTK_RuleWnd::IDC_TEAM_TYPE)->setCurrentIndex(1);
    ASSERT_TRUE(page->SaveRule());
    EXPECT_EQ(md->nTeamType, 1);
}

TEST_F(RulePageTest, CourtStepsWrapAndPickTheCourtsChannel) {
    Click(CTK_RuleWnd::IDC_COURT_UP);
    EXPECT_EQ(page->Court(), 1);
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 0);
    Click(CTK_RuleWnd::IDC_COURT_DOWN);
    Click(CTK_RuleWnd::IDC_COURT_DOWN); // 31
    for (int i = 0; i < 15; ++i)
        Click(CTK_RuleWnd::IDC_COURT_DOWN);
    EXPECT_EQ(page->Court(), 16);
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 15);

    Click(CTK_RuleWnd::IDC_SET);
    EXPECT_EQ(md->nCourtNo, 16);
    EXPECT_EQ(md->nChannelNo, 15);
    EXPECT_EQ(view.last, 15);
}

TEST_F(RulePageTest, BestOfThreeSetsItsLimitsAndForcesThreeRounds) {
    QComboBox* rule = page->Combo(CTK_RuleWnd::IDC_COMPETITION_RULE);
    rule->setCurrentIndex(1);
    emit rule->activated(1);
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_GAMJEOM)->value(), 5);
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_POINT_GAP)->value(), 12);
    QComboBox* rounds = page->Combo(CTK_RuleWnd::IDC_ROUND);
    EXPECT_EQ(rounds->currentIndex(), 2);
    EXPECT_EQ(rounds->itemText(0), "1 Round");
    rounds->setCurrentIndex(0);
    emit rounds->activated(0);
    EXPECT_EQ(rounds->currentIndex(), 2) << "Best of 3 always plays three rounds";

    ASSERT_TRUE(page->SaveRule());
    EXPECT_EQ(Key(u"Competition_Rule"), 1);
    EXPECT_EQ(Key(u"Gam-jeom"), 5);
    EXPECT_EQ(Key(u"Point_Gap"), 12);
    EXPECT_EQ(Key(u"Round"), 3);

    rule->setCurrentIndex(0);
    emit rule->activated(0);
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_GAMJEOM)->value(), 10);
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_POINT_GAP)->value(), 20);
}

TEST_F(RulePageTest, TeamShowsItsTimesAndQuotaAndSpinsKeepTheBounds) {
    md->nTeamMatchTime[0] = 240;
    md->nTeamVRQuota = -1;
    Click(CTK_RuleWnd::IDC_TYPE_TEAM);
    EXPECT_TRUE(page->GetDlgItem(CTK_RuleWnd::IDC_MATCH_TIME2)->isEnabled());
    EXPECT_EQ(page->Edit(CTK_RuleWnd::IDC_MATCH_TIME)->text(), "4 : 00");
    EXPECT_EQ(page->Edit(CTK_RuleWnd::IDC_MATCH_TIME2)->text(), "3 : 00");
    EXPECT_EQ(page->Number(CTK_RuleWnd::IDC_VIDEO_QUOTA)->value(), 1) << "a negative quota shows as 1";
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_ROUND)->count(), 4);

    CMaskedEdit* rest = page->Edit(CTK_RuleWnd::IDC_REST_TIME);
    rest->SetWindowText("0 : 10");
    const auto arrows = rest->parentWidget()->findChildren<QAbstractButton*>();
    ASSERT_EQ(arrows.size(), 2);
    arrows[1]->click(); // down
    EXPECT_EQ(rest->text(), "0 : 10");
    rest->SetWindowText("9 : 59");
    arrows[0]->click(); // up
    EXPECT_EQ(rest->text(), "9 : 59");
    arrows[1]->click();
    EXPECT_EQ(rest->text(), "9 : 58");
}

TEST_F(RulePageTest, LinkReadyWithAnOldReceiverWarnsWithoutHoldingTheReceiveThread) {
    g_strReceiverVersion = u"03.06";
    std::atomic<bool> returned = false;
    std::thread receiveThread([&] {
        SendMessage(g_hRuleWnd.load(), UM_LINK_READY, 0, 0);
        returned = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return returned.load(); }));
    receiveThread.join();
    EXPECT_FALSE(page->GetDlgItem(CTK_RuleWnd::IDC_SET)->isEnabled());
    EXPECT_FALSE(page->GetDlgItem(CTK_RuleWnd::IDC_COURT_UP)->isEnabled());
    EXPECT_EQ(page->Static(CTK_RuleWnd::IDC_VERSION)->text(), "Receiver (Ver. 03.06)");
    EXPECT_EQ(md->bReceiverVerOk, 0);
    ASSERT_TRUE(pumpUntil([&] { return !prompter.texts().empty(); }));
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Warning!!\r\nProgram is not support this receiver!\r\n"
                                       "Please contact your place of purchase for an upgrade!"});
}

TEST_F(RulePageTest, LinkReadyWithANewReceiverAcceptsItAndTurnsTheCourtGreen) {
    g_strReceiverVersion = u"04.00";
    SendMessage(page->GetSafeHwnd(), UM_LINK_READY, 0, 0);
    EXPECT_EQ(md->bReceiverVerOk, 1);
    EXPECT_EQ(md->bReceiverMajorNew, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(page->Static(CTK_RuleWnd::IDC_COURT)->palette().color(QPalette::Window), QColor(0, 255, 0));

    // Once a receiver answered, the court steps no longer move the channel.
    CTK_RuleWnd again(md);
    again.Check(CTK_RuleWnd::IDC_COURT_UP)->click();
    EXPECT_EQ(again.Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 15);
    EXPECT_EQ(again.Static(CTK_RuleWnd::IDC_VERSION)->text(), "Receiver (Ver. 04.00)");
}

// ---- the dialog ----

// Keys typed into a field: plain characters, and <ALL> (Ctrl+A), <BS>, <DEL>, <HOME>, <END>, <INS>.
void Type(QWidget* field, const std::string& script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] != '<') {
            QTest::keyClick(field, script[i]);
            continue;
        }
        const std::size_t close = script.find('>', i);
        const std::string name = script.substr(i + 1, close - i - 1);
        i = close;
        const std::pair<const char*, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys[] = {
            {"ALL", {Qt::Key_A, Qt::ControlModifier}}, {"BS", {Qt::Key_Backspace, Qt::NoModifier}},
            {"DEL", {Qt::Key_Delete, Qt::NoModifier}}, {"HOME", {Qt::Key_Home, Qt::NoModifier}},
            {"END", {Qt::Key_End, Qt::NoModifier}},    {"INS", {Qt::Key_Insert, Qt::NoModifier}},
        };
        const auto key = std::ranges::find_if(keys, [&](const auto& k) { return name == k.first; });
        ASSERT_NE(key, std::end(keys)) << name;
        QTest::keyClick(field, key->second.first, key->second.second);
    }
}

TEST_F(RuleSaveTest, TypedTimesAreSavedAsShownOrRefusedByNameAndOkayKeepsTheDialogOpen) {
    const struct {
        const char* label;
        int field;
        const char* keys;
        const char* shown;
        int saved; // seconds in Rule.ini; 0: refused, nothing of the page written
        const char* refusal;
    } cases[] = {
        {"a letter over the selection", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>x", "2 : 00", 120, nullptr},
        {"a letter over the seconds", CTK_RuleWnd::IDC_MATCH_TIME, "<END><BS><BS>x", "2 :   ", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"three fifteen", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>315", "3 : 15", 195, nullptr},
        {"the minutes overtyped", CTK_RuleWnd::IDC_MATCH_TIME, "<HOME><INS>4", "4 : 00", 240, nullptr},
        {"emptied", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL><BS>", "  :   ", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"the minutes only", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>1", "1 :   ", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"one digit of the seconds", CTK_RuleWnd::IDC_MATCH_TIME, "<END><BS>", "2 : 0 ", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"five seconds", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>005", "0 : 05", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"seventy-five seconds", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>075", "0 : 75", 0,
         "Match Time: please enter a time between 0 : 10 and 9 : 59."},
        {"the shortest time", CTK_RuleWnd::IDC_MATCH_TIME, "<ALL>010", "0 : 10", 10, nullptr},
        {"a rest emptied", CTK_RuleWnd::IDC_REST_TIME, "<ALL><DEL>", "  :   ", 0,
         "Rest Time: please enter a time between 0 : 10 and 9 : 59."},
        {"a kye-shi time of nine seconds", CTK_RuleWnd::IDC_KYESHI_TIME, "<ALL>009", "0 : 09", 0,
         "Kye-Shi Time: please enter a time between 0 : 10 and 9 : 59."},
    };
    const std::pair<int, const char16_t*> keyOf[] = {{CTK_RuleWnd::IDC_MATCH_TIME, u"Match_Time"},
                                                     {CTK_RuleWnd::IDC_REST_TIME, u"Rest_Time"},
                                                     {CTK_RuleWnd::IDC_KYESHI_TIME, u"KyeShi_Time"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (const auto& [id, key] : keyOf)
            ASSERT_TRUE(WriteIniString(u"Rule", key, u"120", u"Rule.ini"));
        ASSERT_TRUE(WriteIniString(u"Rule", u"Gam-jeom", u"10", u"Rule.ini"));
        md->nMatchTime = md->nRestTime = md->nKyeShiTime = 120;
        md->nGamJeom = 10;
        const std::size_t boxesBefore = prompter.texts().size();

        CTK_SuDlg dialog(md);
        CTK_RuleWnd* rules = dialog.RulePage();
        rules->Number(CTK_RuleWnd::IDC_GAMJEOM)->setValue(7);
        CMaskedEdit* field = rules->Edit(c.field);
        Type(field, c.keys);
        EXPECT_EQ(field->text().toStdString(), c.shown);
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        const auto okay = std::ranges::find_if(buttons, [](QPushButton* b) { return b->text() == "Okay"; });
        ASSERT_NE(okay, buttons.end());
        QTest::mouseClick(*okay, Qt::LeftButton);

        const std::vector<std::string> boxes = prompter.texts();
        const auto key = std::ranges::find_if(keyOf, [&](const auto& k) { return k.first == c.field; });
        if (c.refusal) {
            ASSERT_EQ(boxes.size(), boxesBefore + 1);
            EXPECT_EQ(boxes.back(), c.refusal);
            EXPECT_NE(dialog.result(), QDialog::Accepted) << "the operator can mend the field";
            EXPECT_EQ(Key(key->second), 120);
            EXPECT_EQ(Key(u"Gam-jeom"), 10) << "nothing of the page is written";
            EXPECT_EQ(field->text().toStdString(), c.shown) << "the refused field stays as typed";
        } else {
            EXPECT_EQ(boxes.size(), boxesBefore);
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(Key(key->second), c.saved);
            EXPECT_EQ(Key(u"Gam-jeom"), 7);
            EXPECT_EQ(QString::fromStdU16String(TimeText(c.saved)).toStdString(), c.shown)
                << "what is saved is what the field shows";
        }
    }
}

TEST_F(RuleSaveTest, TeamMatchTimeTwoIsRefusedByNameOnlyWhenItIsShown) {
    const struct {
        int competitionType;
        bool refused;
    } cases[] = {{1, true}, {0, false}};
    for (const auto& c : cases) {
        md->nCompetitionType = c.competitionType;
        md->nTeamMatchTime[0] = md->nTeamMatchTime[1] = md->nMatchTime = 120;
        CTK_SuDlg dialog(md);
        CMaskedEdit* second = dialog.RulePage()->Edit(CTK_RuleWnd::IDC_MATCH_TIME2);
        second->SetWindowText(QStringLiteral(" :   "));
        const std::size_t before = prompter.texts().size();
        EXPECT_EQ(dialog.OnApply(), !c.refused) << c.competitionType;
        if (c.refused)
            EXPECT_EQ(prompter.texts().back(),
                      "Match Time 2: please enter a time between 0 : 10 and 9 : 59.");
        else
            EXPECT_EQ(prompter.texts().size(), before);
    }
}

// What a screen reader says a field is: its name, or for a list box (named by its text on this system) the
// label that labels it.
QString SpokenName(QWidget* field) {
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(field);
    if (!reader)
        return {};
    if (qobject_cast<QComboBox*>(field)) {
        for (const auto& [label, relation] : reader->relations(QAccessible::Label))
            return label->text(QAccessible::Name);
        return {};
    }
    return reader->text(QAccessible::Name);
}

TEST_F(RulePageTest, EveryFieldHasANameForScreenReaders) {
    for (QWidget* field : page->findChildren<QWidget*>()) {
        if (field->focusPolicy() == Qt::NoFocus || !field->isVisibleTo(page.get()))
            continue;
        if (qobject_cast<QLineEdit*>(field) && qobject_cast<QSpinBox*>(field->parentWidget()))
            continue; // the spin box's own line edit: the spin box carries the name
        if (qobject_cast<QLineEdit*>(field) && qobject_cast<QComboBox*>(field->parentWidget()))
            continue;
        EXPECT_FALSE(SpokenName(field).trimmed().isEmpty())
            << field->metaObject()->className() << " " << field->objectName().toStdString();
    }
    const std::pair<int, const char*> named[] = {
        {CTK_RuleWnd::IDC_MATCH_TIME, "Match Time"},
        {CTK_RuleWnd::IDC_KYESHI_TIME, "Kye-Shi Time"},
        {CTK_RuleWnd::IDC_GAMJEOM, "Gam-jeom"},
        {CTK_RuleWnd::IDC_JUDGE_MIDDLE, "Middle"},
        {CTK_RuleWnd::IDC_USE_POINT_GAP, "Win by Point Gap"},
        {CTK_RuleWnd::IDC_TYPE_TEAM, "Team"},
        {CTK_RuleWnd::IDC_CHANNEL, "Channel Select"},
    };
    for (const auto& [id, name] : named)
        EXPECT_EQ(SpokenName(page->GetDlgItem(id)), name);
}

TEST_F(RuleSaveTest, DialogShowsDefaultOnTheDivisionTabOnlyAndApplySavesTheRulePage) {
    CTK_SuDlg dialog(md);
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    EXPECT_EQ(dialog.Tabs()->count(), 3);
    EXPECT_EQ(dialog.Tabs()->tabText(2), "Division / Level");
    EXPECT_TRUE(dialog.DefaultButton()->isHidden());
    dialog.Tabs()->setCurrentIndex(2);
    EXPECT_FALSE(dialog.DefaultButton()->isHidden());
    dialog.Tabs()->setCurrentIndex(1);
    EXPECT_TRUE(dialog.DefaultButton()->isHidden());

    dialog.RulePage()->Number(CTK_RuleWnd::IDC_GAMJEOM)->setValue(7);
    EXPECT_TRUE(dialog.OnApply());
    EXPECT_EQ(Key(u"Gam-jeom"), 7);
    EXPECT_EQ(md->nGamJeom, 7);
}

} // namespace
