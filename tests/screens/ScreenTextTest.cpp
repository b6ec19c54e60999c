#include "screens/ScreenText.h"
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/OperatorLayout.h"
#include "screens/RoundLeader.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

// ---------------------------------------------------------------------------------------------------------
// Texts

struct ClockCase {
    int ms;
    int gameState;
    const char* text;
};

TEST(ScreenTextTest, ClockFromMillisecondsFollowsTheThreeForms) {
    const ClockCase cases[] = {
        {65'000, 3, "1:05"}, {60'000, 3, "1:00"}, {599'999, 3, "9:59"}, {600'000, 3, "10:00"},
        {59'999, 3, "0:59"}, {12'340, 3, "0:12"}, {10'000, 3, "0:10"},  {9'999, 3, "9.99"},
        {9'870, 3, "9.87"},  {1'005, 3, "1.00"},  {0, 3, "0.00"},       {-40, 3, "0.00"},
        {65'000, 0, ""},     {9'870, 0, ""},      {12'340, 8, "0:12"},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ms << " ms in state " << c.gameState);
        EXPECT_EQ(Utf8(ScreenText::ClockFromMs(c.ms, c.gameState)), c.text);
    }
}

TEST(ScreenTextTest, ClockFromSecondsIsAlwaysMinutesAndSeconds) {
    const ClockCase cases[] = {
        {65, 3, "1:05"}, {5, 3, "0:05"}, {0, 3, "0:00"}, {600, 3, "10:00"}, {65, 0, ""}};
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(Utf8(ScreenText::ClockFromSeconds(c.ms, c.gameState)), c.text);
    }
}

TEST(ScreenTextTest, ScoresRoundsAndReplayCounts) {
    const std::pair<int, const char*> scores[] = {{0, " 0"}, {7, " 7"}, {12, "12"}, {-1, "-1"}, {100, "100"}};
    for (const auto& [value, text] : scores)
        EXPECT_EQ(Utf8(ScreenText::Score(value)), text) << value;

    EXPECT_EQ(Utf8(ScreenText::Round(2, 3)), "2");
    EXPECT_EQ(Utf8(ScreenText::Round(2, 0)), "");

    struct {
        int remaining, quota;
        const char* text;
    } const replays[] = {{1, 2, "1"}, {2, 3, "2"}, {1, 1, ""}, {0, 3, ""}, {3, 0, ""}};
    for (const auto& r : replays)
        EXPECT_EQ(Utf8(ScreenText::ReplayCount(r.remaining, r.quota)), r.text)
            << r.remaining << "/" << r.quota;
}

TEST(ScreenTextTest, BatteryPercentByRawValue) {
    const std::pair<int, int> cases[] = {{255, 100}, {121, 100}, {120, 100}, {116, 100}, {115, 90}, {114, 90},
                                         {113, 80},  {112, 70},  {111, 60},  {110, 50},  {109, 45}, {108, 40},
                                         {107, 35},  {106, 30},  {105, 25},  {104, 10},  {103, 1},  {102, 1},
                                         {101, 1},   {0, 1},     {-5, 1}};
    for (const auto& [raw, percent] : cases)
        EXPECT_EQ(ScreenText::BatteryPercent(raw), percent) << raw;
}

TEST(ScreenTextTest, UpperNameFitsItsFieldWithoutSplittingACharacter) {
    EXPECT_EQ(ScreenText::UpperName("o'neil", 259), "O'NEIL");
    // Only ASCII letters change: the bytes of "é" are never touched one by one.
    EXPECT_EQ(ScreenText::UpperName("kim \xC3\xA9", 259), "KIM \xC3\xA9");
    EXPECT_EQ(ScreenText::UpperName("\xEA\xB9\x80 min-jun", 259),
              "\xEA\xB9\x80 MIN-JUN"); // a Hangul syllable
    // A limit of 3 keeps one whole two-byte character, never half of the next.
    EXPECT_EQ(ScreenText::UpperName("\xC3\xA9\xC3\xA9", 3), "\xC3\xA9");
    EXPECT_EQ(ScreenText::UpperName("ab\xEA\xB9\x80", 4), "AB");
    // A broken sequence at the end is kept whole as far as it goes.
    EXPECT_EQ(ScreenText::UpperName("a\xC3", 259), "A\xC3");
}

// ---------------------------------------------------------------------------------------------------------
// The round leader

class RoundLeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        md = std::make_unique<MatchData>();
        std::memset(md.get(), 0, sizeof(MatchData));
        md->nCompetitionRule = 1;
        md->nCurRound = 2;
        md->nGamJeom = 5;
    }
    TTK_SideScore& chung() { return md->aSide[0]; }
    TTK_SideScore& hong() { return md->aSide[1]; }
    std::unique_ptr<MatchData> md;
};

TEST_F(RoundLeaderTest, TheFirstRuleThatDecidesGivesTheLeader) {
    struct Case {
        const char* name;
        void (*set)(MatchData&);
        int leader;
    } const cases[] = {
        {"all equal", [](MatchData&) {}, 0},
        {"gam-jeom limit of Chung",
         [](MatchData& m) {
             m.aSide[0].nRoundPenalty1[1] = 5;
             m.aSide[0].nRoundScore[1] = 9;
         },
         2},
        {"gam-jeom limit of Hong", [](MatchData& m) { m.aSide[1].nRoundPenalty2[1] = 5; }, 1},
        {"round score with penalty points",
         [](MatchData& m) {
             m.aSide[0].nRoundScore[1] = 2;
             m.aSide[0].nRoundPenaltyPoints1[1] = 3;
         },
         2},
        {"team match: tally row 11",
         [](MatchData& m) {
             m.nCompetitionType = 1;
             m.aSide[1].nTechTally[11][1] = 1;
             m.aSide[0].nTechTally[10][1] = 2;
         },
         2},
        {"individual match skips row 11",
         [](MatchData& m) {
             m.aSide[1].nTechTally[11][1] = 1;
             m.aSide[0].nTechTally[10][1] = 2;
         },
         1},
        {"row 5 less row 9",
         [](MatchData& m) {
             m.aSide[0].nTechTally[5][1] = 3;
             m.aSide[0].nTechTally[9][1] = 2;
             m.aSide[1].nTechTally[5][1] = 2;
         },
         2},
        {"row 3 less row 7", [](MatchData& m) { m.aSide[1].nTechTally[3][1] = 1; }, 2},
        {"row 1", [](MatchData& m) { m.aSide[0].nTechTally[1][1] = 1; }, 1},
        {"fewer gam-jeoms lead", [](MatchData& m) { m.aSide[0].nRoundPenalty1[1] = 1; }, 2},
        {"hits of the round",
         [](MatchData& m) {
             m.aSide[0].nPssHits[2] = 4;
             m.aSide[1].nPssHits[2] = 5;
             m.aSide[0].nPssHits[0] = 9;
         },
         2},
        {"another round's values do not count", [](MatchData& m) { m.aSide[0].nRoundScore[0] = 7; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.set(*md);
        EXPECT_EQ(DecideRoundLeader(*md), c.leader);
    }
}

TEST_F(RoundLeaderTest, NoRoundNoLeader) {
    md->aSide[0].nRoundScore[0] = 3;
    for (int round : {0, -1, kMaxRounds + 1}) {
        md->nCurRound = round;
        EXPECT_EQ(DecideRoundLeader(*md), 0) << round;
    }
}

// ---------------------------------------------------------------------------------------------------------
// The operator view's display operations on its plain controls

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        g_pMatchData->nMonitorCount = 1;
        g_pMatchData->nRound = 3;
        g_pMatchData->nGamJeom = 10;
        view = std::make_unique<CMainWnd>();
        view->SetupControls();
    }
    void TearDown() override {
        view.reset();
        FreeMatchData();
        g_strAppDir.clear();
    }
    QString text(int id) {
        auto* label = qobject_cast<QLabel*>(view->GetDlgItem(id));
        return label ? label->text() : QStringLiteral("<missing>");
    }
    bool shown(int id) {
        QWidget* control = view->GetDlgItem(id);
        return control && !control->isHidden();
    }
    MatchData& md() { return *g_pMatchData; }

    TempHome home;
    std::unique_ptr<CMainWnd> view;
};

TEST_F(DisplayTest, ClockShowsAndKeepsItsText) {
    md().nGameState = 3;
    view->ShowClockMs(9'870);
    EXPECT_EQ(text(OperatorIds::Clock), "9.87");
    EXPECT_EQ(Utf8(view->m_strClockText), "9.87");
    // A round-clock step: the static shows the milliseconds, the kept text the whole seconds.
    view->ShowClock(65, 64'500);
    EXPECT_EQ(text(OperatorIds::Clock), "1:04");
    EXPECT_EQ(Utf8(view->m_strClockText), "1:05");
    md().nGameState = 0;
    view->ShowClockSeconds(65);
    EXPECT_EQ(text(OperatorIds::Clock), "");
    EXPECT_EQ(view->m_strClockText, u"");
}

TEST_F(DisplayTest, ScoresAndRoundNumber) {
    view->ShowScores(3, 12);
    EXPECT_EQ(text(OperatorIds::ScoreChung), " 3");
    EXPECT_EQ(text(OperatorIds::ScoreHong), "12");
    view->ShowRoundNumber(2);
    EXPECT_EQ(view->m_strRoundText, u"");
    md().nGameState = 2;
    view->ShowRoundNumber(2);
    EXPECT_EQ(view->m_strRoundText, u"2");
}

TEST_F(DisplayTest, CounterTextsTakeTheQuotaInForce) {
    md().nVRQuota = 1;
    md().nTeamVRQuota = 4;
    SCOPED_TRACE("individual");
    view->SetDlgItemText(1153, QStringLiteral("7"));
    view->ResetCounterTexts();
    EXPECT_EQ(text(1153), "0");
    EXPECT_EQ(text(1161), "1");
    EXPECT_EQ(text(1190), "1");
    md().nCompetitionType = 1;
    view->ResetCounterTexts();
    EXPECT_EQ(text(1161), "4");
    EXPECT_EQ(text(1190), "4");
}

TEST_F(DisplayTest, HitHistoryTakesOnlyWhatTheProtectorsReport) {
    md().nPSSType = 1;
    view->ShowHitLevel(0, 2, 40); // head hits without head gear: ignored
    EXPECT_EQ(md().aSide[0].aLastHit[0].nType, 0);
    view->ShowHitLevel(0, 1, 30);
    view->ShowHitLevel(0, 3, 20);
    view->ShowHitLevel(0, 1, 50);
    view->ShowHitLevel(0, 1, 60);
    EXPECT_EQ(md().aSide[0].aLastHit[0].nLevel, 60);
    EXPECT_EQ(md().aSide[0].aLastHit[1].nLevel, 50);
    EXPECT_EQ(md().aSide[0].aLastHit[2].nType, 3); // the oldest fell out
    EXPECT_EQ(md().aSide[1].aLastHit[0].nType, 0);
    md().bUsePunch = 1;
    view->ShowHitLevel(1, 3, 99); // a punch given by the judges is no hit level
    EXPECT_EQ(md().aSide[1].aLastHit[0].nType, 0);
    view->ClearHitLevels();
    EXPECT_EQ(md().aSide[0].aLastHit[0].nType, 0);
}

TEST_F(DisplayTest, RoundBreakdownWritesTheRowAndTheTotals) {
    md().nCurRound = 2;
    md().aSide[0].nRoundScore[0] = 4;
    md().aSide[0].nRoundScore[1] = 3;
    md().aSide[0].nRoundScore[3] = 2; // the golden round of a three-round match
    md().aSide[0].nRoundPenalty1[1] = 1;
    md().aSide[0].nPenaltyCount1 = 1;
    md().aSide[1].nRoundScore[1] = 5;
    md().aSide[1].nPenaltyCount2 = 1;
    view->ShowRoundBreakdown();
    EXPECT_EQ(md().aSide[0].nScore, 9);
    EXPECT_EQ(md().aSide[1].nScore, 5);
    EXPECT_EQ(text(1150), "3");
    EXPECT_EQ(text(1185), "5");
    EXPECT_EQ(text(1156), "1");
    EXPECT_EQ(text(1153), "9");
    EXPECT_EQ(text(1159), "1");
    EXPECT_EQ(text(1154), "11"); // 9 + Hong's double gam-jeom
    EXPECT_EQ(text(1189), "6");
}

TEST_F(DisplayTest, PenaltiesOfTheGoldenRoundShowTheMatchTotalBeside) {
    md().nCurRound = 2;
    view->UpdatePenaltyDisplay(2, 3);
    EXPECT_EQ(text(OperatorIds::PenaltyChung), "2");
    EXPECT_EQ(text(OperatorIds::PenaltyHong), "3");
    EXPECT_FALSE(shown(OperatorIds::PenaltyTotalChung));
    md().nCurRound = 4;
    md().aSide[0].nRoundPenalty1[3] = 1;
    md().aSide[0].nPenaltyCount1 = 4;
    view->UpdatePenaltyDisplay(2, 3);
    EXPECT_EQ(text(OperatorIds::PenaltyChung), "1");
    EXPECT_EQ(text(OperatorIds::PenaltyTotalChung), "4");
    EXPECT_TRUE(shown(OperatorIds::PenaltyTotalChung));
}

TEST_F(DisplayTest, RoundLeaderMarksOnlyUnderTheRoundWinSystem) {
    md().nCurRound = 1;
    md().aSide[1].nRoundScore[0] = 2;
    view->ShowRoundLeader();
    EXPECT_EQ(md().nRoundLeader, 0);
    md().nCompetitionRule = 1;
    view->ShowRoundLeader();
    EXPECT_EQ(md().nRoundLeader, 2);
    EXPECT_TRUE(shown(OperatorIds::LeaderHong));
    EXPECT_FALSE(shown(OperatorIds::LeaderChung));
    view->HideRoundLeader();
    EXPECT_FALSE(shown(OperatorIds::LeaderHong));
}

// Whether the label shows any pixel in the colour.
bool Shows(QWidget* label, const QColor& colour) {
    const QImage image = label->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

TEST_F(DisplayTest, TheRoundLeaderLeavesTheScreenWithItsMatch) {
    md().nCompetitionRule = 1;
    md().nCurRound = 1;
    md().aSide[1].nRoundScore[0] = 2;
    view->ShowScores(0, 2);
    view->ShowRoundLeader();
    ASSERT_TRUE(shown(OperatorIds::LeaderHong));
    ASSERT_TRUE(Shows(view->GetDlgItem(OperatorIds::ScoreHong), OperatorColours::Leading));

    view->ResetMatchScreen(); // a new match's screen
    view->ShowScores(0, 2);
    EXPECT_FALSE(shown(OperatorIds::LeaderHong));
    EXPECT_EQ(md().nRoundLeader, 0);
    EXPECT_FALSE(Shows(view->GetDlgItem(OperatorIds::ScoreHong), OperatorColours::Leading))
        << "the next match's score is not painted as the leader's";
}

TEST_F(DisplayTest, RoundWinnersAndTheirClearing) {
    md().nCurRound = 3;
    md().nRoundWinner[0] = 1;
    md().nRoundWinner[1] = 2;
    md().nRoundWinner[4] = 1;
    md().aSide[0].nRoundWins = 1;
    view->ShowRoundWinners(1);
    EXPECT_TRUE(shown(OperatorIds::RoundWinnerChung[0]));
    EXPECT_TRUE(shown(OperatorIds::RoundWinnerHong[1]));
    EXPECT_FALSE(shown(OperatorIds::RoundWinnerChung[2]));
    EXPECT_EQ(text(OperatorIds::RoundWinsChung), "1");
    view->ClearRoundWins();
    EXPECT_FALSE(shown(OperatorIds::RoundWinnerChung[0]));
    EXPECT_EQ(md().aSide[0].nRoundWins, 0);
    for (int winner : md().nRoundWinner)
        EXPECT_EQ(winner, 0);
}

TEST_F(DisplayTest, StatePanelAndRoundOverFollowTheGameState) {
    md().nCompetitionRule = 1;
    md().nCurRound = 1;
    md().nGameState = 5;
    view->UpdateStateDisplay();
    EXPECT_TRUE(shown(OperatorIds::TimeoutPanel));
    EXPECT_EQ(text(OperatorIds::TimeoutPanel), "Time out");
    EXPECT_EQ(view->GetDlgItem(OperatorIds::Clock)->y(), 322);
    EXPECT_EQ(md().bRoundOver, 1);
    EXPECT_EQ(md().bRoundTableShown, 1);
    EXPECT_TRUE(shown(OperatorIds::RoundCellChung[0]));
    md().nGameState = 7;
    view->UpdateStateDisplay();
    EXPECT_FALSE(shown(OperatorIds::TimeoutPanel));
    EXPECT_EQ(view->GetDlgItem(OperatorIds::Clock)->y(), 272);
    EXPECT_EQ(md().bRoundOver, 0);
    EXPECT_EQ(md().bRoundTableShown, 0);
    EXPECT_FALSE(shown(OperatorIds::RoundCellChung[0]));
}

TEST_F(DisplayTest, RoundWinIndicatorsFollowTheRuleAtSetUp) {
    EXPECT_FALSE(shown(OperatorIds::RoundWinIndicatorChung));
    md().nCompetitionRule = 1;
    view->SetupControls();
    EXPECT_TRUE(shown(OperatorIds::RoundWinIndicatorChung));
    EXPECT_TRUE(shown(OperatorIds::RoundWinIndicatorHong));
}

TEST_F(DisplayTest, HitCountsShowUnderTheRoundWinSystemOrPastTheRegularRounds) {
    view->UpdateHitCount(4, 5);
    EXPECT_FALSE(shown(OperatorIds::HitCountChung));
    md().nCurRound = 4;
    view->UpdateHitCount(4, 5);
    EXPECT_TRUE(shown(OperatorIds::HitCountChung));
    EXPECT_EQ(text(OperatorIds::HitCountHong), "5");
    EXPECT_EQ(text(OperatorIds::HitCountLabelHong), "Hit Count");
}

TEST_F(DisplayTest, PlayersAreUpperCasedAndPlacedByTheirNation) {
    std::strcpy(md().aPlayer[0].szName, "o'neil");
    std::strcpy(md().aPlayer[0].szNationCode, "IRL");
    md().nNationCount = 2;
    md().aPlayer[0].nNation = 1;
    std::u16string flag = u"none.gif";
    std::copy(flag.begin(), flag.end(), md().aNation[1].wszField[3]);
    view->ShowPlayers();
    EXPECT_STREQ(md().aPlayer[0].szName, "O'NEIL");
    EXPECT_EQ(text(OperatorIds::NameChung), "O'NEIL");
    EXPECT_EQ(text(OperatorIds::NationChung), "IRL");
    EXPECT_EQ(view->GetDlgItem(OperatorIds::NameChung)->geometry(), QRect(121, 85, 510, 63));
    EXPECT_FALSE(shown(OperatorIds::FlagChung));
    // Without a nation the name panel moves down and the nation text takes the top, both above the team
    // buttons.
    EXPECT_EQ(view->GetDlgItem(OperatorIds::NameHong)->geometry(), QRect(643, 110, 510, 38));
    EXPECT_EQ(view->GetDlgItem(OperatorIds::NationHong)->geometry(), QRect(643, 72, 510, 38));
}

TEST_F(DisplayTest, TeamMatchShowsEachMemberPairInTurn) {
    md().nCompetitionType = 1;
    md().nTeamType = 1; // five pairs
    for (int tick = 1; tick <= 6; ++tick) {
        view->RefreshFromSnapshot();
        EXPECT_EQ(view->m_nTeamPage, tick % 5) << tick;
    }
    md().nCompetitionType = 0;
    view->RefreshFromSnapshot();
    EXPECT_EQ(view->m_nTeamPage, 0);
}

TEST_F(DisplayTest, AClosedReceiverHidesTheJudgeLamps) {
    md().bReceiverOpen = 1;
    view->ToggleJudgeLamp(1, 1, 0);
    view->ToggleJudgeLamp(1, 1, 1);
    ASSERT_TRUE(shown(OperatorIds::LampChung));
    ASSERT_TRUE(shown(OperatorIds::LampHong));
    view->RefreshFromSnapshot();
    EXPECT_TRUE(shown(OperatorIds::LampChung));
    md().bReceiverOpen = 0;
    view->RefreshFromSnapshot();
    EXPECT_FALSE(shown(OperatorIds::LampChung));
    EXPECT_FALSE(shown(OperatorIds::LampHong));
}

TEST_F(DisplayTest, PaintingAllPartsDrawsWithoutARecordFault) {
    md().nPSSType = 2;
    md().nJudgeNumber = 3;
    md().bUsePunch = 1;
    md().aSide[0].aJudgePress[1].nKind = 2;
    md().aSide[1].aJudgeSlot[2][7].nKind = 5;
    md().aSide[0].aSlotState[3].nState = 3;
    md().aSide[1].aLastHit[0] = {1, 25};
    md().aSide[0].nVRRemain = 1;
    md().bRegBody[0] = 1;
    md().nBodyBattery[0] = 113;
    view->resize(1280, 720);
    const QImage shot = view->grab().toImage();
    // Hong's newest hit (valid by the zero threshold) is drawn where there was only background before.
    md().aSide[1].aLastHit[0] = {};
    const QImage without = view->grab().toImage();
    const QRect hit = OperatorLayout::LastHit(1, 0);
    EXPECT_NE(shot.copy(hit), without.copy(hit));
}

} // namespace
