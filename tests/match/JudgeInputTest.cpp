// The judges' presses and consensus windows: the press tables on their own, then presses through the real
// view on the manual clock, scoring through the real AddPoint.
#include "app/Timers.h"
#include "match/JudgeRules.h"
#include "tests/match/JudgeFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using JudgeRules::ClassOf;
using JudgeRules::ParsePress;

TEST(JudgeRulesTest, PressTextsDecodeLikeNumbers) {
    struct Case {
        const char* text;
        int chung, hong, flag;
    } const cases[] = {
        {"5,1", 5, 1, 0}, {"3,0,1", 3, 0, 1}, {"0,10", 0, 10, 0},         {"", 0, 0, 0},
        {"x,7", 0, 7, 0}, {" 2, 6", 2, 6, 0}, {"99999999999,1", 0, 1, 0}, {"1,2,3,4", 1, 2, 3},
        {"7", 7, 0, 0},   {",,", 0, 0, 0},    {"+4,+8", 4, 8, 0},
    };
    for (const Case& c : cases) {
        const JudgeRules::Press press = ParsePress(c.text);
        EXPECT_EQ(press.chung, c.chung) << c.text;
        EXPECT_EQ(press.hong, c.hong) << c.text;
        EXPECT_EQ(press.flag, c.flag) << c.text;
    }
}

TEST(JudgeRulesTest, ButtonValuesLogCodesAndClasses) {
    MatchData md{};
    md.nJudgePointBottom = 1;
    md.nJudgePointMiddle = 2;
    md.nJudgePointTop = 3;
    md.nEBPPoint = 4;
    md.nEHPPoint = 5;
    const std::vector<int> codes = {1, 2, 3, 4, 9, 5, 6, 7, 8, 10, 0, 11};
    const std::vector<int> fixed = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 0, 0};
    const std::vector<int> byTechnique = {1, 4, 3, 8, 10, 1, 4, 3, 8, 10, 0, 0};
    const std::vector<int> logged = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 0, 11};
    for (size_t i = 0; i < codes.size(); ++i) {
        md.nJudgePointMiddle = 2;
        EXPECT_EQ(JudgeRules::PointValueOfKind(md, codes[i]), fixed[i]) << codes[i];
        md.nJudgePointMiddle = -1;
        EXPECT_EQ(JudgeRules::PointValueOfKind(md, codes[i]), byTechnique[i]) << codes[i];
        EXPECT_EQ(JudgeRules::LoggingCode(codes[i]), logged[i]) << codes[i];
    }

    struct Case {
        int type, pss, code;
        int cls, window;
        const char* label;
    } const cases[] = {
        {0, 2, 1, 1, kWindowA, "P "}, {0, 2, 6, 2, kWindowB, "T "},   {0, 2, 3, 0, -1, "  "},
        {0, 1, 7, 4, kWindowC, "H "}, {0, 1, 9, 5, kWindowC, "HT"},   {0, 1, 4, 0, -1, "  "},
        {0, 0, 5, 6, kWindowA, "P1"}, {0, 0, 2, 7, kWindowD, "P2"},   {0, 0, 7, 8, kWindowC, "P3"},
        {0, 0, 8, 9, kWindowD, "P4"}, {0, 0, 10, 10, kWindowC, "P5"}, {2, 1, 1, 2, kWindowB, "T "},
        {2, 1, 6, 3, kWindowB, "SK"}, {2, 0, 7, 9, kWindowD, "P4"},   {0, 1, 12, 0, -1, "  "},
    };
    for (const Case& c : cases) {
        md.nCompetitionType = c.type;
        md.nPSSType = c.pss;
        const JudgeRules::PressClass press = ClassOf(md, c.code);
        EXPECT_EQ(press.cls, c.cls) << c.type << "/" << c.pss << "/" << c.code;
        EXPECT_EQ(press.window, c.window) << c.type << "/" << c.pss << "/" << c.code;
        EXPECT_EQ(JudgeRules::TechniqueLabel(press.cls), c.label);
    }
}

class JudgeInputTest : public JudgeTest {
protected:
    void Press(int judge, const char* text) {
        int flag = -1;
        if (md->nCompetitionType == 2)
            view->OnJudgeInputType2(judge, text, &flag);
        else
            view->OnJudgeInput(judge, text, &flag);
    }
    int Score(int side) const { return md->aSide[side].nScore; }
    int Tally(int side, int row) const { return md->aSide[side].nTechTally[row][0]; }
};

TEST_F(JudgeInputTest, OneJudgeScoresAtTheNextTickOfTheWindow) {
    md->nJudgeNumber = 1;
    md->nJudgeQuorum = 1;
    Press(0, "0,5"); // Hong punch
    EXPECT_TRUE(Armed(TIMER_TECH_WINDOW_A[1]));
    EXPECT_EQ(Score(1), 0);
    clock.advance(100);
    EXPECT_EQ(Score(1), 1);
    EXPECT_EQ(Tally(1, 1), 1); // one punch
    EXPECT_EQ(Side(1).aSlotState[0].nState, 1);
    EXPECT_EQ(Side(1).aSlotState[0].bConfirmed, 1);
    clock.advance(1000); // the window's time is over: it scored once
    EXPECT_FALSE(Armed(TIMER_TECH_WINDOW_A[1]));
    EXPECT_EQ(Score(1), 1);
    EXPECT_EQ(view->m_judgeWindows[1].mask[0], 0u);
}

TEST_F(JudgeInputTest, TwoOfThreeJudgesMustAgreeWithinTheWindow) {
    Press(0, "3,0"); // Chung head kick: window C
    clock.advance(500);
    EXPECT_EQ(Score(0), 0);
    Press(2, "7,0"); // Hong numbering on the Chung field is not a Chung button
    Press(1, "3,0");
    clock.advance(100);
    EXPECT_EQ(Score(0), 3); // top
    EXPECT_EQ(Tally(0, 4), 3);
    EXPECT_EQ(Side(0).aJudgeSlot[0][0].nKind, 4);
    EXPECT_EQ(Side(0).aJudgeSlot[1][0].nKind, 4);
    clock.advance(1000);
    EXPECT_EQ(Score(0), 3);
    EXPECT_FALSE(Armed(TIMER_TECH_WINDOW_C[0]));

    // A single judge's press when the window ends leaves no mark and no point.
    Press(0, "3,0");
    clock.advance(1100);
    EXPECT_EQ(Score(0), 3);
    EXPECT_EQ(Side(0).aJudgeSlot[0][0].nKind, 4); // the scored slot keeps its marks
    EXPECT_EQ(Side(0).aJudgeSlot[0][1].nKind, 0);
    EXPECT_EQ(view->m_judgeWindows[0].mask[0], 0u);
}

// The second judge's press just inside and just outside the window the first press opened: inside, the two
// agree and score; outside, each stands alone and nothing scores.
struct WindowEdge {
    const char* name;
    const char* press;
    int buttonTime; // the punch window's length (Rule.ini); the other windows last 1000 ms
    unsigned gapMs; // from the first judge's press to the second's
    int side;
    int points;
};

class JudgeWindowEdgeTest : public JudgeInputTest, public ::testing::WithParamInterface<WindowEdge> {};

TEST_P(JudgeWindowEdgeTest, TheSecondPressScoresOnlyInsideTheWindow) {
    const WindowEdge& edge = GetParam();
    md->nJudgeButtonTime = edge.buttonTime;
    Press(0, edge.press);
    clock.advance(edge.gapMs);
    Press(1, edge.press);
    clock.advance(2000); // every window of both presses has ended
    EXPECT_EQ(Score(edge.side), edge.points);
    EXPECT_EQ(Score(1 - edge.side), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, JudgeWindowEdgeTest,
    ::testing::Values(WindowEdge{"HeadKickInside", "3,0", 1000, 950, 0, 3},
                      WindowEdge{"HeadKickOutside", "3,0", 1000, 1050, 0, 0},
                      WindowEdge{"PunchInside", "0,5", 1000, 950, 1, 1},
                      WindowEdge{"PunchOutside", "0,5", 1000, 1050, 1, 0},
                      WindowEdge{"LongPunchWindowInside", "0,5", 1500, 1450, 1, 1},
                      WindowEdge{"LongPunchWindowOutside", "0,5", 1500, 1550, 1, 0},
                      // The head kick's window keeps its 1000 ms whatever the punch window's length.
                      WindowEdge{"HeadKickOutsideWithALongPunchWindow", "3,0", 1500, 1050, 0, 0}),
    [](const ::testing::TestParamInfo<WindowEdge>& info) { return std::string(info.param.name); });

TEST_F(JudgeInputTest, MiddleByTechniqueTakesTheProtectorValues) {
    md->nPSSType = 0;
    md->nJudgePointMiddle = -1;
    Press(0, "0,6"); // Hong middle: class P2 in window D
    Press(1, "0,6");
    clock.advance(100);
    EXPECT_EQ(Score(1), 2); // EBP
    Press(0, "0,8");        // an extra button: twice EBP
    Press(2, "0,8");
    clock.advance(100);
    EXPECT_EQ(Score(1), 2 + 4);
    Press(0, "10,0"); // a Hong code on Chung's field is no Chung button
    Press(1, "9,0");
    Press(2, "9,0"); // Chung's second extra button: class P5 in window C
    clock.advance(100);
    EXPECT_EQ(Score(0), 6); // twice top without a middle value
    EXPECT_EQ(view->m_judgeWindows[0].mask[0], 0u);
}

TEST_F(JudgeInputTest, TheTopButtonWithHeadGearCallsTheRefereeAndNeverScores) {
    md->nPSSType = 2;
    md->nJudgeNumber = 1;
    md->nJudgeQuorum = 1;
    Press(0, "3,0");
    Press(0, "3,0");
    EXPECT_EQ(sounds.played, (std::vector<std::string>{"refereecall.wav"})); // muted for 2 s
    EXPECT_EQ(view->ivr.size(), 2u);
    EXPECT_EQ(view->ivr[0].substr(0, 3), "11|");
    clock.advance(2000);
    Press(0, "0,7");
    EXPECT_EQ(sounds.played.size(), 2u);
    clock.advance(1500);
    EXPECT_EQ(Score(0) + Score(1), 0);
    for (int k = 0; k < kJudgeWindows; ++k)
        EXPECT_EQ(view->m_judgeWindows[0].windowOpen[k] + view->m_judgeWindows[1].windowOpen[k], 0);
    Press(0, "4,0"); // extra buttons do not exist with head gear
    EXPECT_EQ(view->m_judgeWindows[0].mask[0], 0u);
}

TEST_F(JudgeInputTest, ATurningKickBonusScoresOnlyWhileTheTrunkHitWindowIsOpen) {
    Press(0, "2,0");
    Press(1, "2,0");
    clock.advance(1100); // window B ran its time without a trunk hit
    EXPECT_EQ(Score(0), 0);

    ASSERT_TRUE(view->AddPoint(u"1:00", 1, 0, 3, 2, 35)); // a trunk kick from the protector
    EXPECT_EQ(view->m_bTrunkHit[0], 1);
    Press(0, "2,0");
    Press(2, "2,0");
    clock.advance(100);
    EXPECT_EQ(Score(0), 2 + 2); // the kick and the middle value
    EXPECT_EQ(Tally(0, 6), 2);  // a trunk technique
    EXPECT_EQ(Tally(0, 10), 4); // technique total: EBP + value

    clock.advance(2000); // everything closed
    EXPECT_EQ(view->m_bTrunkHit[0], 0);
    Press(0, "2,0");
    Press(1, "2,0");
    clock.advance(1100);
    EXPECT_EQ(Score(0), 4);
}

TEST_F(JudgeInputTest, AForcedCloseDropsThePunchNobodyConfirmed) {
    md->nPSSType = 2;
    md->bUsePunch = 1;
    ASSERT_TRUE(view->AddPoint(u"1:00", 1, 0, 0, 0, 30)); // a punch the protector saw
    EXPECT_EQ(view->m_judgeWindows[0].punchHit, 1);
    EXPECT_EQ(Side(0).aSlotState[0].nState, 1);
    Press(0, "1,0"); // one judge only
    EXPECT_EQ(Side(0).aJudgeSlot[0][0].nKind, 1);
    view->OnTechWindowA(0, 1); // a punch hit closes window A at once
    EXPECT_EQ(Side(0).aJudgeSlot[0][0].nKind, 0);
    EXPECT_EQ(Score(0), 0);
    view->CompactJudgeSlots(0);
    EXPECT_EQ(States(0)[0], 0);

    // Two judges in time: the punch scores and its slot stays.
    ASSERT_TRUE(view->AddPoint(u"0:59", 1, 0, 0, 0, 30));
    Press(0, "1,0");
    Press(1, "1,0");
    clock.advance(100);
    EXPECT_EQ(Score(0), 1);
    EXPECT_EQ(Tally(0, 1), 1); // a valid punch counts
    view->OnTechWindowA(0, 1);
    view->CompactJudgeSlots(0);
    EXPECT_EQ(States(0)[0], 1);
    EXPECT_EQ(Side(0).aSlotState[0].bConfirmed, 1);
}

TEST_F(JudgeInputTest, PressesOutsideARunningRoundAreShownButOpenNothing) {
    md->nGameState = 2;
    Press(0, "3,0");
    EXPECT_EQ(Side(0).aJudgePress[0].nKind, 4);
    EXPECT_EQ(Side(0).aJudgePress[0].bSet, 0);
    EXPECT_FALSE(Armed(TIMER_TECH_WINDOW_C[0]));
    EXPECT_EQ(view->m_judgeWindows[0].mask[0], 0u);
    EXPECT_EQ(view->m_nSlotIndex[0][0], -1);

    // A button whose points are off is no press.
    md->nGameState = 3;
    md->nJudgePointTop = 0;
    Press(0, "3,0");
    EXPECT_FALSE(Armed(TIMER_TECH_WINDOW_C[0]));
}

TEST_F(JudgeInputTest, TheFlagOfThePressGoesBackToTheHub) {
    int flag = 0;
    view->OnJudgeInput(0, "0,0,1", &flag);
    EXPECT_EQ(flag, 1);
    view->OnJudgeInput(0, "garbage", &flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(JudgeInputTest, TheJudgeDrivenTypeScoresItsThreeButtons) {
    md->nCompetitionType = 2;
    md->nPSSType = 0;
    Press(0, "0,6"); // Hong middle
    Press(1, "0,6");
    clock.advance(100);
    EXPECT_EQ(Score(1), 2); // kind 4, middle
    Press(0, "0,7");
    Press(2, "0,7");
    clock.advance(100);
    EXPECT_EQ(Score(1), 2 + 3); // kind 5, top
}

} // namespace
