// The technique-slot queues: queueing, dropping, compaction, the device-hit windows a point opens, and the
// screen reset of a new match, on the real view.
#include "app/MyListCtrl.h"
#include "app/Timers.h"
#include "match/JudgeWindows.h"
#include "screens/OperatorLayout.h"
#include "tests/match/JudgeFixture.h"

#include <QLabel>

#include <cstring>
#include <vector>

namespace {

using Ints = std::vector<int>;

void FillSlot(MatchData& md, int side, int slot, int state, int value, int confirmed, Ints marks) {
    md.aSide[side].aSlotState[slot] = TTK_QueueSlot{state, value, static_cast<BYTE>(confirmed)};
    for (int j = 0; j < kJudges; ++j)
        md.aSide[side].aJudgeSlot[j][slot] =
            j < static_cast<int>(marks.size()) && marks[j] ? TTK_JudgeMark{marks[j], 0, 1} : TTK_JudgeMark{};
}

Ints Values(const MatchData& md, int side) {
    Ints out;
    for (const TTK_QueueSlot& slot : md.aSide[side].aSlotState)
        out.push_back(slot.nValue);
    return out;
}

Ints MarksOfJudge(const MatchData& md, int side, int judge) {
    Ints out;
    for (const TTK_JudgeMark& mark : md.aSide[side].aJudgeSlot[judge])
        out.push_back(mark.nKind);
    return out;
}

TEST(SlotRulesTest, TechniqueStatesAndWindowBits) {
    const Ints kinds = {0, 3, 4, 5, 6, 7, 8, 16, 17, 18, 19, 20};
    const Ints states = {1, 2, 2, 4, 3, 3, 0, 2, 3, 1, 1, 0};
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(SlotRules::TechniqueState(kinds[i]), states[i]) << "kind " << kinds[i];

    struct Case {
        UINT_PTR id;
        std::uint32_t ordinary, judgeDriven;
    } const cases[] = {
        {110, 0x2, 0x2},     {111, 0x20, 0x20},   {116, 0x14, 0xE}, {117, 0x140, 0xE0},
        {114, 0x208, 0x208}, {115, 0x480, 0x480}, {112, 0, 0},      {108, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SlotRules::WindowBits(c.id, false), c.ordinary) << c.id;
        EXPECT_EQ(SlotRules::WindowBits(c.id, true), c.judgeDriven) << c.id;
    }
}

class SlotQueueTest : public JudgeTest {};

TEST_F(SlotQueueTest, RemovingTheFirstSlotOfAFullQueueMovesEveryOtherDown) {
    for (int slot = 0; slot < kQueueSlots; ++slot)
        FillSlot(*md, 0, slot, 2, 10 + slot, 1, {slot + 1, 0, 7});
    view->RemoveSlot(0, 1, 8);
    EXPECT_EQ(Values(*md, 0), (Ints{11, 12, 13, 14, 15, 16, 17, 0}));
    EXPECT_EQ(States(0), (Ints{2, 2, 2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(MarksOfJudge(*md, 0, 0), (Ints{2, 3, 4, 5, 6, 7, 8, 0}));
    EXPECT_EQ(MarksOfJudge(*md, 0, 2), (Ints{7, 7, 7, 7, 7, 7, 7, 0}));
    EXPECT_EQ(Side(0).aSlotState[7].bConfirmed, 0);
}

TEST_F(SlotQueueTest, TheSixthPointOfAFiveSlotQueueDropsTheFirst) {
    md->nCompetitionRule = 1; // round-win system with a single judge: five slots
    md->nJudgeNumber = 1;
    md->nJudgeQuorum = 1;
    for (int level = 21; level <= 26; ++level)
        ASSERT_TRUE(view->AddPoint(u"1:00", 1, 0, 3, 2, level));
    EXPECT_EQ(Values(*md, 0), (Ints{22, 23, 24, 25, 26, 0, 0, 0}));
    EXPECT_EQ(view->m_nCurrentSlot[0], 4);

    // Eight slots otherwise: the ninth point drops the first.
    md->nCompetitionRule = 0;
    md->nJudgeNumber = 3;
    for (int level = 27; level <= 30; ++level)
        ASSERT_TRUE(view->AddPoint(u"1:00", 1, 0, 3, 2, level));
    EXPECT_EQ(Values(*md, 0), (Ints{23, 24, 25, 26, 27, 28, 29, 30}));
    EXPECT_EQ(view->m_nCurrentSlot[0], 7);
}

TEST_F(SlotQueueTest, CompactionKeepsTrunkAndHeadSlotsAndDropsUnconfirmedPunches) {
    FillSlot(*md, 1, 0, 1, 99, 0, {1, 1, 0}); // punch nobody confirmed
    FillSlot(*md, 1, 1, 2, 30, 0, {});        // trunk without marks stays
    FillSlot(*md, 1, 2, 1, 99, 1, {2, 2, 2}); // confirmed punch stays
    FillSlot(*md, 1, 3, 0, 0, 0, {});
    FillSlot(*md, 1, 4, 3, 40, 0, {4, 0, 4});
    FillSlot(*md, 1, 5, 1, 12, 0, {});
    view->m_judgeWindows[1].windowSlot[kWindowB] = 6;
    view->CompactJudgeSlots(1);
    EXPECT_EQ(States(1), (Ints{2, 1, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Values(*md, 1), (Ints{30, 99, 40, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MarksOfJudge(*md, 1, 0), (Ints{0, 2, 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MarksOfJudge(*md, 1, 2), (Ints{0, 2, 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(view->m_nCurrentSlot[1], 2);
    const JudgeWindowState& w = view->m_judgeWindows[1];
    EXPECT_EQ(w.windowSlot[kWindowA], 2);
    EXPECT_EQ(w.windowSlot[kWindowC], 2);
    EXPECT_EQ(w.windowSlot[kWindowD], 2);
    EXPECT_EQ(w.windowSlot[kWindowB], 6); // window B keeps its own slot
}

TEST_F(SlotQueueTest, AWindowEndingClearsTheMarksOfSlotsBelowTheQuorum) {
    struct Case {
        const char* name;
        int pss, state;
        Ints marks;
        bool kept;
    } const cases[] = {
        {"punch, two judges", 2, 1, {1, 1, 0}, true},
        {"punch, one judge", 2, 1, {1, 0, 0}, false},
        {"trunk, two scored marks", 2, 2, {2, 0, 2}, true},
        {"trunk, marks of another class", 2, 2, {1, 1, 1}, false},
        {"head technique, two of code 5", 1, 3, {5, 5, 0}, true},
        {"head technique, codes 4 and 5 apart", 1, 3, {4, 5, 0}, false},
        {"no protectors, trunk by code 9", 0, 2, {9, 9, 9}, true},
        {"no protectors, head by code 8", 0, 3, {8, 0, 8}, true},
        {"no protectors, head by code 6", 0, 3, {6, 6, 6}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nPSSType = c.pss;
        view->m_nCurrentSlot[0] = 0;
        view->m_nSlotIndex[0][0] = 0;
        FillSlot(*md, 0, 0, c.state, 20, 1, c.marks);
        view->DropUnconfirmedSlots(0, TIMER_TECH_WINDOW_C[0]);
        EXPECT_EQ(Side(0).aSlotState[0].nState, c.state); // the technique itself stays
        EXPECT_EQ(Side(0).aSlotState[0].bConfirmed, c.kept ? 1 : 0);
        EXPECT_EQ(Side(0).aJudgeSlot[0][0].nKind, c.kept ? c.marks[0] : 0);
    }
}

TEST_F(SlotQueueTest, AnEmptySlotPressedInTheEndingWindowLeavesTheQueue) {
    FillSlot(*md, 0, 0, 2, 30, 1, {2, 2, 0});
    FillSlot(*md, 0, 1, 0, 0, 0, {6, 0, 0}); // a press of window A that found no technique
    FillSlot(*md, 0, 2, 3, 40, 1, {2, 2, 0});
    view->m_nCurrentSlot[0] = 2;
    view->m_judgeWindows[0].windowSlot[kWindowA] = 1;
    view->m_judgeWindows[0].windowOpen[kWindowA] = 1;
    view->m_judgeWindows[0].mask[0] = 0x2;
    view->DropUnconfirmedSlots(0, TIMER_TECH_WINDOW_A[0]);
    EXPECT_EQ(States(0), (Ints{2, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MarksOfJudge(*md, 0, 0), (Ints{2, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(view->m_nCurrentSlot[0], 1);
    EXPECT_EQ(view->m_judgeWindows[0].windowSlot[kWindowA], 0);

    // Without a press of that window in any judge's mask the empty slot stays.
    FillSlot(*md, 0, 1, 0, 0, 0, {6, 0, 0});
    view->m_judgeWindows[0].mask[0] = 0x4;
    view->DropUnconfirmedSlots(0, TIMER_TECH_WINDOW_A[0]);
    EXPECT_EQ(MarksOfJudge(*md, 0, 0)[1], 6);
}

TEST_F(SlotQueueTest, ScoredPointsOpenTheDeviceHitWindowsUntilTheJudgesTimeRunsOut) {
    md->nPSSType = 2;
    ASSERT_TRUE(view->AddPoint(u"1:00", 1, 1, 6, 3, 40)); // Hong head kick
    EXPECT_EQ(view->m_bHeadHit[1], 1);
    EXPECT_TRUE(Armed(TIMER_JUDGE_WINDOW[1]));
    EXPECT_EQ(States(1)[0], 3);
    EXPECT_EQ(Side(1).aSlotState[0].nValue, 40);

    clock.advance(900);
    EXPECT_EQ(view->m_bHeadHit[1], 1);
    clock.advance(100);
    EXPECT_EQ(view->m_bHeadHit[1], 0);
    EXPECT_FALSE(Armed(TIMER_JUDGE_WINDOW[1]));

    // A punch with punch sensors opens the second window and leaves the first alone.
    md->bUsePunch = 1;
    ASSERT_TRUE(view->AddPoint(u"1:00", 1, 1, 0, 1, 30));
    EXPECT_EQ(view->m_judgeWindows[1].punchHit, 1);
    EXPECT_TRUE(Armed(TIMER_JUDGE_WINDOW_B[1]));
    EXPECT_FALSE(Armed(TIMER_JUDGE_WINDOW[1]));
    clock.advance(1000);
    EXPECT_EQ(view->m_judgeWindows[1].punchHit, 0);
    EXPECT_EQ(view->m_judgeWindows[1].windowSlot[kWindowA], view->m_nCurrentSlot[1]);
}

TEST_F(SlotQueueTest, TheLastTechniqueSlotOfAKindIsMarkedScored) {
    FillSlot(*md, 0, 0, 2, 30, 0, {});
    FillSlot(*md, 0, 1, 3, 40, 0, {});
    FillSlot(*md, 0, 2, 2, 31, 0, {});
    FillSlot(*md, 0, 3, 1, 99, 0, {});
    view->m_nCurrentSlot[0] = 3;
    view->MarkSlotScored(0, 2);
    EXPECT_EQ(MarksOfJudge(*md, 0, 1), (Ints{0, 0, 2, 0, 0, 0, 0, 0}));
    view->MarkSlotScored(0, 5);
    EXPECT_EQ(MarksOfJudge(*md, 0, 1), (Ints{0, 2, 2, 0, 0, 0, 0, 0}));
    view->MarkSlotScored(0, 0); // any other kind: the current slot
    EXPECT_EQ(MarksOfJudge(*md, 0, 2), (Ints{0, 2, 2, 2, 0, 0, 0, 0}));
    view->SetJudgeMarks(0, -1, 2); // no slot: nothing
    view->ClearJudgeMarks(0, 8);
    EXPECT_EQ(MarksOfJudge(*md, 0, 2), (Ints{0, 2, 2, 2, 0, 0, 0, 0}));
}

TEST_F(SlotQueueTest, RemovedPointsStepTheCursorsBack) {
    FillSlot(*md, 0, 0, 2, 30, 0, {});
    FillSlot(*md, 0, 1, 3, 40, 0, {});
    view->m_nCurrentSlot[0] = 4;
    view->ResetSlotCursors(0);
    EXPECT_EQ(view->m_nCurrentSlot[0], 1);
    EXPECT_EQ(view->m_judgeWindows[0].windowSlot[kWindowA], 1);
    view->StepBackSlotCursors(0, 6);
    EXPECT_EQ(view->m_nCurrentSlot[0], 0);
    EXPECT_EQ(view->m_judgeWindows[0].windowSlot[kWindowC], 0);
    EXPECT_EQ(view->m_judgeWindows[0].windowSlot[kWindowA], 1);
    view->StepBackSlotCursors(0, 6);
    view->StepBackSlotCursors(0, 6); // never below "none"
    EXPECT_EQ(view->m_nCurrentSlot[0], -1);
    EXPECT_EQ(view->m_judgeWindows[0].windowSlot[kWindowC], -1);
}

// A match played to its end with points, gam-jeoms, round wins and a decision on both sides; the next
// match starts from the values a fresh record starts with.
TEST_F(SlotQueueTest, ANewMatchStartsFromCleanScoresAfterAScoredMatch) {
    md->nVRQuota = 1;
    md->nCompetitionRule = 1;
    md->nGameState = 2;
    ASSERT_TRUE(view->AddPoint(u"1:10", 0, 0, 3, 2, 0));
    ASSERT_TRUE(view->AddPoint(u"1:05", 0, 1, 6, 3, 0));
    ASSERT_TRUE(view->AddPoint(u"1:00", 0, 1, 0, 1, 0));
    view->AddGamJeom(0);
    view->AddGamJeom(1);
    md->nGameState = 3;
    ASSERT_TRUE(view->AddPoint(u"0:50", 1, 0, 3, 2, 33));
    ASSERT_TRUE(view->AddPoint(u"0:40", 1, 1, 16, 0, 12));
    view->m_nPunchState[0] = 2;
    md->aSide[0].nVRRemain = 0;
    md->aSide[1].nRoundWins = 2;
    md->aSide[0].nTagCount[1] = 3;
    md->nRoundWinner[0] = 2;
    md->nRoundWinner[1] = 2;
    md->nRoundReason[0] = 4;
    md->bRoundEnded[0] = md->bRoundEnded[1] = 1;
    md->bRoundOver = 1;
    md->nRoundLeader = 2;
    md->nWinSide = 1;
    md->nWinRound = 2;
    md->nDecisionKind = 3;
    md->nGameState = 7;
    ASSERT_GT(md->aSide[0].nScore, 0);
    ASSERT_GT(md->aSide[1].nScore, 0);
    ASSERT_GT(view->EventList(1081)->rowCount(), 0);

    view->StartNextMatch();

    TTK_SideScore fresh{};
    fresh.nVRRemain = 1;
    for (int side = 0; side < 2; ++side) {
        SCOPED_TRACE(side);
        EXPECT_EQ(std::memcmp(&md->aSide[side], &fresh, sizeof fresh), 0);
        EXPECT_EQ(view->m_nCurrentSlot[side], -1);
        EXPECT_EQ(view->m_bTrunkHit[side], 0);
        EXPECT_EQ(view->m_bHeadHit[side], 0);
        EXPECT_EQ(view->m_nPunchState[side], 0);
        for (int j = 0; j < kJudges; ++j)
            EXPECT_EQ(view->m_nSlotIndex[side][j], -1);
        const JudgeWindowState& w = view->m_judgeWindows[side];
        for (int k = 0; k < kJudgeWindows; ++k) {
            EXPECT_EQ(w.windowOpen[k], 0);
            EXPECT_EQ(w.windowSlot[k], -1);
        }
        EXPECT_EQ(w.hitWindowOpen[kHitWindow1] + w.hitWindowOpen[kHitWindow2], 0);
        EXPECT_FALSE(Armed(TIMER_JUDGE_WINDOW[side]));
        EXPECT_FALSE(Armed(TIMER_JUDGE_WINDOW_B[side]));
    }
    for (int r = 0; r < kMaxRounds; ++r) {
        EXPECT_EQ(md->nRoundWinner[r], 0);
        EXPECT_EQ(md->nRoundReason[r], 0);
        EXPECT_EQ(md->bRoundEnded[r], 0);
    }
    EXPECT_EQ(md->bRoundOver, 0);
    EXPECT_EQ(md->nRoundLeader, 0);
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nWinRound, 0);
    EXPECT_EQ(md->nDecisionKind, 11);
    EXPECT_EQ(view->m_nHistoryRows[0] + view->m_nHistoryRows[1], 0);
    EXPECT_EQ(view->EventList(1081)->rowCount(), 0);
    EXPECT_EQ(view->EventList(1080)->rowCount(), 0);
    EXPECT_EQ(view->Static(OperatorIds::ScoreChung)->text().trimmed(), "0");
    EXPECT_EQ(view->Static(OperatorIds::ScoreHong)->text().trimmed(), "0");
    EXPECT_FALSE(Armed(TIMER_JSON_QUEUE));
}

} // namespace
