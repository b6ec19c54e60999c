#include "match/ScoreRules.h"
#include "tests/match/RecordingView.h"

#include "app/MyListCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace ScoreRules;
using Lines = std::vector<std::string>;

namespace {

constexpr std::u16string_view kTime = u"1:23";

// Round one of a side: its score and the fifteen tally rows.
struct RoundState {
    int score;
    std::map<int, int> tallies; // row -> value; every other row 0
};

void ExpectRound(const MatchData& md, int side, const RoundState& want) {
    EXPECT_EQ(md.aSide[side].nRoundScore[0], want.score);
    EXPECT_EQ(md.aSide[side].nScore, want.score);
    for (int row = 0; row < kTallyRows; ++row) {
        const auto it = want.tallies.find(row);
        EXPECT_EQ(md.aSide[side].nTechTally[row][0], it == want.tallies.end() ? 0 : it->second)
            << "row " << row;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Tallies and scores

TEST_F(MatchTest, EachKindRaisesItsTalliesBySourceAndRules) {
    struct Case {
        const char* name;
        int pss, type, usePunch;
        int source, kind, value, extra;
        int trunkPending, headPending;
        RoundState want;
    };
    // EBP 2, EHP 3, judge points bottom 1, middle 2, top 3.
    const Case cases[] = {
        {"operator punch", 1, 0, 0, 0, 0, 1, 0, 0, 0, {1, {{0, 1}, {1, 1}}}},
        {"device punch, punch sensors on: points only", 1, 0, 1, 2, 0, 1, 99, 0, 0, {1, {}}},
        {"operator punch, punch sensors on", 1, 0, 1, 0, 0, 1, 0, 0, 0, {1, {{0, 1}, {1, 1}}}},
        {"valid punch, punch sensors on", 1, 0, 1, 2, 19, 1, 99, 0, 0, {1, {{0, 1}, {1, 1}}}},
        {"valid punch, punch sensors off", 1, 0, 0, 2, 19, 1, 99, 0, 0, {1, {}}},
        {"trunk kick", 1, 0, 0, 1, 3, 2, 30, 0, 0, {2, {{2, 2}, {3, 1}}}},
        {"turning trunk kick", 1, 0, 0, 1, 4, 3, 0, 0, 0, {3, {{2, 3}, {3, 1}, {6, 1}, {7, 1}, {10, 3}}}},
        {"spinning kick", 1, 0, 0, 1, 5, 4, 0, 0, 0, {4, {{2, 4}, {3, 1}, {6, 2}, {7, 1}, {10, 4}}}},
        {"head kick", 2, 0, 0, 1, 6, 3, 0, 0, 0, {3, {{4, 3}, {5, 1}}}},
        {"turning head kick", 2, 0, 0, 1, 7, 5, 0, 0, 0, {5, {{4, 5}, {5, 1}, {8, 2}, {9, 1}, {10, 5}}}},
        {"judges' bonus, trunk protector", 1, 0, 0, 1, 8, 2, 0, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}}}},
        {"judges' bonus after a trunk hit", 2, 0, 0, 1, 8, 2, 0, 1, 0, {2, {{6, 2}, {7, 1}, {10, 4}}}},
        {"judges' bonus after a head hit", 2, 0, 0, 1, 8, 2, 0, 0, 1, {2, {{8, 2}, {9, 1}, {10, 5}}}},
        {"judges' bonus without a hit", 2, 0, 0, 1, 8, 2, 0, 0, 0, {2, {}}},
        {"bonus of -1, head hit", 2, 0, 0, 1, 8, -1, 0, 0, 1, {3, {{8, 3}, {9, 1}, {10, 6}}}},
        {"type-2 technical", 1, 2, 0, 1, 9, 2, 0, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}, {5, 1}}}},
        {"technical, trunk", 2, 0, 0, 0, 11, 2, 2, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}}}},
        {"technical, head", 2, 0, 0, 0, 11, 2, 3, 0, 0, {2, {{8, 2}, {9, 1}, {10, 5}}}},
        {"technical, head, trunk protector only", 1, 0, 0, 0, 11, 2, 3, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}}}},
        {"technical, head, type 2", 1, 2, 0, 0, 11, 2, 3, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}, {5, 1}}}},
        {"technical head, type 2, gear", 2, 2, 0, 0, 11, 2, 3, 0, 0, {2, {{8, 2}, {9, 1}, {10, 5}}}},
        {"technical, no answer", 2, 0, 0, 0, 11, 2, 0, 0, 0, {2, {}}},
        {"technical of value -1, head", 2, 0, 0, 0, 11, -1, 3, 0, 0, {3, {{8, 3}, {9, 1}, {10, 6}}}},
        {"replay 1 punch", 1, 0, 0, 0, 12, 1, 1, 0, 0, {1, {{0, 1}, {1, 1}}}},
        {"replay 2 trunk", 1, 0, 0, 0, 12, 2, 2, 0, 0, {2, {{2, 2}, {3, 1}}}},
        {"replay 3 head", 1, 0, 0, 0, 12, 3, 3, 0, 0, {3, {{4, 3}, {5, 1}}}},
        {"replay 4", 1, 0, 0, 0, 12, 4, 4, 0, 0, {4, {{2, 4}, {3, 1}, {6, 2}, {7, 1}, {10, 4}}}},
        {"replay 4, type 2", 1, 2, 0, 0, 12, 4, 4, 0, 0, {4, {{2, 4}, {3, 1}, {6, 1}, {7, 1}, {10, 4}}}},
        {"replay 5", 1, 0, 0, 0, 12, 5, 5, 0, 0, {5, {{4, 5}, {5, 1}, {8, 2}, {9, 1}, {10, 5}}}},
        {"replay 5, t2", 1, 2, 0, 0, 12, 5, 5, 0, 0, {5, {{2, 5}, {3, 1}, {6, 2}, {7, 1}, {10, 5}, {5, 1}}}},
        {"replay 6 trunk technique", 1, 0, 0, 0, 12, 2, 6, 0, 0, {2, {{6, 2}, {7, 1}, {10, 4}}}},
        {"replay 7 head technique", 1, 0, 0, 0, 12, 3, 7, 0, 0, {3, {{8, 3}, {9, 1}, {10, 6}}}},
        {"replay 7, type 2", 1, 2, 0, 0, 12, 3, 7, 0, 0, {3, {{8, 3}, {9, 1}, {10, 5}, {5, 1}}}},
        {"replay, unknown outcome", 1, 0, 0, 0, 12, 2, 9, 0, 0, {2, {}}},
        {"knockdown, team match", 1, 1, 0, 0, 20, 10, 0, 0, 0, {10, {{11, 10}, {12, 1}}}},
        {"knockdown, individual match", 1, 0, 0, 0, 20, 10, 0, 0, 0, {10, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nPSSType = c.pss;
        md->nCompetitionType = c.type;
        md->bUsePunch = static_cast<BYTE>(c.usePunch);
        md->nGameState = c.source == kOperator ? 8 : 3;
        view->m_bTrunkHit[0] = c.trunkPending;
        view->m_bHeadHit[0] = c.headPending;
        EXPECT_TRUE(view->AddPoint(kTime, c.source, 0, c.kind, c.value, c.extra));
        ExpectRound(*md, 0, c.want);
        ExpectRound(*md, 1, {0, {}});
    }
}

TEST_F(MatchTest, OperatorPointsOnlyWhileTheClockStandsDevicePointsOnlyWhileItRuns) {
    for (int source = 0; source <= 2; ++source) {
        for (int state = 0; state <= 15; ++state) {
            SCOPED_TRACE("source " + std::to_string(source) + ", state " + std::to_string(state));
            std::memset(md->aSide, 0, sizeof md->aSide);
            md->nGameState = state;
            const bool standing = state == 2 || (state >= 4 && state <= 9);
            const bool admitted = source == 0 ? standing : state == 3;
            EXPECT_EQ(view->AddPoint(kTime, source, 1, 3, 2, 0), admitted);
            EXPECT_EQ(md->aSide[1].nScore, admitted ? 2 : 0);
            if (source == 0) {
                md->aSide[1].nRoundScore[0] = 2;
                EXPECT_EQ(view->RemovePoint(kTime, 1, 3, 2, 0), standing);
                EXPECT_EQ(md->aSide[1].nRoundScore[0], standing ? 0 : 2);
            }
        }
    }
}

TEST_F(MatchTest, ScoresShownByTheRulesOfTheRound) {
    struct SideSetup {
        int score, round; // nScore, nRoundScore of the round
        int pen1, pen2;   // gam-jeoms of the match
        int roundPen1, roundPen2, roundPenPoints;
    };
    struct Case {
        const char* name;
        int roundWins, type, rounds, curRound;
        SideSetup chung, hong;
        std::pair<int, int> shown;
    };
    const Case cases[] = {
        {"regular", 0, 0, 3, 2, {5, 1, 2, 0, 0, 0, 0}, {3, 1, 1, 1, 0, 0, 0}, {8, 5}},
        {"regular, round wins", 1, 0, 3, 2, {9, 4, 0, 0, 0, 0, 1}, {9, 1, 0, 0, 0, 0, 2}, {6, 2}},
        {"golden: 1 gam-jeom alone", 0, 0, 3, 4, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 1, 0, 1}, {0, 0}},
        {"golden: point + gam-jeom", 0, 0, 3, 4, {1, 1, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 1, 0, 1}, {2, 0}},
        {"golden: 2 gam-jeoms", 0, 0, 3, 4, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 2, 0, 2, 0, 2}, {2, 0}},
        {"golden type 2: 1 gam-jeom", 0, 2, 3, 4, {1, 1, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 1, 0, 1}, {1, 0}},
        {"golden type 2: 1 double", 0, 2, 3, 4, {1, 1, 0, 0, 0, 0, 0}, {0, 0, 0, 1, 0, 1, 2}, {1, 0}},
        {"golden type 2: by counts", 0, 2, 3, 4, {1, 1, 0, 0, 0, 0, 0}, {0, 0, 1, 1, 1, 1, 0}, {4, 0}},
        {"golden team", 0, 1, 3, 4, {2, 2, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 1, 0, 1}, {3, 0}},
        {"golden of 4 rounds", 0, 0, 4, 5, {3, 3, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nCompetitionRule = c.roundWins;
        md->nCompetitionType = c.type;
        md->nRound = c.rounds;
        md->nCurRound = c.curRound;
        const int r = c.curRound - 1;
        for (int side = 0; side < 2; ++side) {
            const SideSetup& s = side == 0 ? c.chung : c.hong;
            TTK_SideScore& score = md->aSide[side];
            score.nScore = s.score;
            score.nRoundScore[r] = s.round;
            score.nPenaltyCount1 = s.pen1;
            score.nPenaltyCount2 = s.pen2;
            score.nRoundPenalty1[r] = s.roundPen1;
            score.nRoundPenalty2[r] = s.roundPen2;
            score.nRoundPenaltyPoints1[r] = s.roundPenPoints;
        }
        EXPECT_EQ(DisplayedScores(*md), c.shown);
    }
}

TEST_F(MatchTest, ARoundBeyondTheArraysStaysInsideThem) {
    md->nRound = 4;
    md->nCompetitionRule = 1;
    for (const int round : {5, 6, 40}) {
        md->nCurRound = round;
        for (const int kind : {16, 3}) {
            md->nGameState = 3; // the golden point scored before stopped the clock
            EXPECT_TRUE(view->AddPoint(kTime, 1, 0, kind, 2, 25));
        }
    }
    EXPECT_EQ(md->aSide[0].nPssHits[5], 3);
    EXPECT_EQ(md->aSide[0].nRoundScore[4], 6);
}

// ---------------------------------------------------------------------------------------------------------
// Removals

TEST_F(MatchTest, ARemovalBelowZeroChangesNothing) {
    md->nGameState = 8;
    md->aSide[0].nRoundScore[0] = 1;
    md->aSide[0].nScore = 1;
    md->aSide[0].nTechTally[2][0] = 1;
    md->aSide[0].nTechTally[3][0] = 1;
    md->nOvrSupplier = 0;
    md->bIvrConnected = 1;
    md->bUseSoundEffect = 1;
    std::vector<char> before(sizeof(MatchData));
    std::memcpy(before.data(), md, sizeof(MatchData));
    EXPECT_FALSE(view->RemovePoint(kTime, 0, 3, 2, 0));
    EXPECT_EQ(std::memcmp(before.data(), md, sizeof(MatchData)), 0);
    EXPECT_TRUE(view->events.empty());
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(view->EventList(1081)->rowCount(), 0);
    // No hit counted: a hit removal changes nothing either.
    md->nCompetitionRule = 1;
    EXPECT_FALSE(view->RemovePoint(kTime, 0, 16, 0, 0));
    EXPECT_EQ(md->aSide[0].nPssHits[1], 0);
    EXPECT_TRUE(view->events.empty());
}

TEST_F(MatchTest, ARemovalLowersWhatTheAdditionRaisedAndNoTallyBelowZero) {
    md->nGameState = 8;
    md->nPSSType = 2;
    struct Case {
        const char* name;
        int kind, value, extra;
    };
    const Case cases[] = {
        {"punch", 0, 1, 0},
        {"trunk", 3, 2, 0},
        {"head", 6, 3, 0},
        {"technical trunk", 11, 2, 2},
        {"technical head", 11, 2, 3},
        {"replay 4", 12, 4, 4},
        {"replay 7", 12, 3, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        ASSERT_TRUE(view->AddPoint(kTime, 0, 1, c.kind, c.value, c.extra));
        ASSERT_TRUE(view->RemovePoint(kTime, 1, c.kind, c.value, c.extra));
        ExpectRound(*md, 1, {0, {}});
    }
    // A turning kick leaves its technique tallies; a tally already at zero stays there.
    std::memset(md->aSide, 0, sizeof md->aSide);
    md->aSide[0].nRoundScore[0] = 5;
    md->aSide[0].nTechTally[2][0] = 1; // fewer trunk points than the removal
    ASSERT_TRUE(view->RemovePoint(kTime, 0, 4, 3, 0));
    ExpectRound(*md, 0, {2, {}});
}

TEST_F(MatchTest, ARemovalClearsTheJudgesSlotAndTellsTheLinks) {
    md->nGameState = 8;
    md->bIvrConnected = 1;
    md->bUseSoundEffect = 1;
    view->m_nCurrentSlot[0] = 3;
    md->aSide[0].nRoundScore[0] = 6;
    view->RemovePoint(kTime, 0, 3, 2, 0);
    EXPECT_EQ(view->With("clear"), (Lines{"clearslot 0 3"}));
    EXPECT_EQ(view->With("resetcursors"), (Lines{"resetcursors 0"}));
    EXPECT_EQ(view->With("ivr"), (Lines{"ivr 4 B|2|S|"}));
    EXPECT_EQ(view->With("wt"), (Lines{"wt 0 4 0 0"}));
    EXPECT_EQ(sound.played, (Lines{"manualptrmv.wav"}));
    view->events.clear();
    md->aSide[0].nTechTally[7][0] = 1;
    view->RemovePoint(kTime, 0, 11, 2, 2);
    EXPECT_EQ(view->With("clear"), (Lines{"clearmarks 0 3"}));
    EXPECT_TRUE(view->With("resetcursors").empty());
}

// ---------------------------------------------------------------------------------------------------------
// Hits

TEST_F(MatchTest, HitsCountOnlyWhereACounterCountsThem) {
    struct Case {
        const char* name;
        int roundWins, curRound, kind, usePunch;
        int slot; // counter raised, -1 none
    };
    const Case cases[] = {
        {"round-win system: the round's counter", 1, 2, 16, 0, 2},
        {"golden round: counter 0", 0, 4, 17, 0, 0},
        {"regular round: no counter", 0, 2, 16, 0, -1},
        {"punch hit, punch sensors on", 0, 4, 18, 1, 0},
        {"punch hit, punch sensors off", 0, 4, 18, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        view->events.clear();
        md->nCompetitionRule = c.roundWins;
        md->nCurRound = c.curRound;
        md->bUsePunch = static_cast<BYTE>(c.usePunch);
        EXPECT_TRUE(view->AddPoint(kTime, 1, 1, c.kind, 0, 40));
        for (int slot = 0; slot < kRoundNumberSlots; ++slot)
            EXPECT_EQ(md->aSide[1].nPssHits[slot], slot == c.slot ? 1 : 0) << slot;
        EXPECT_EQ(md->aSide[1].nScore, 0);
        EXPECT_EQ(view->With("ivr"), (Lines{std::string("ivr 5 R|") + (c.kind == 16 ? "B" : "H") + "|40|"}));
        // Without the round-win system a device hit also enters the judges' slot queue.
        EXPECT_EQ(view->With("queue").size(), c.roundWins ? 0u : 1u);
        EXPECT_TRUE(view->With("ctrl").empty());
    }
}

// ---------------------------------------------------------------------------------------------------------
// Outside systems

TEST_F(MatchTest, EachSupplierGetsThePointInItsOwnRecord) {
    struct Case {
        const char* name;
        int supplier, removal, side, kind, value, extra;
        Lines records;
    };
    const Case cases[] = {
        {"control characters, trunk", 0, 0, 0, 3, 2, 0, {"ctrl 4 B|2|P"}},
        {"control characters, head", 0, 0, 1, 6, 3, 0, {"ctrl 4 R|3|L"}},
        {"control characters, removal", 0, 1, 0, 3, 2, 0, {"ctrl 4 B|2|S"}},
        {"colon, punch", 2, 0, 0, 0, 1, 0, {"colon 9 Blue|Punch|"}},
        {"colon, valid punch", 2, 0, 1, 19, 1, 0, {"colon 9 Red|Punch|"}},
        {"colon, trunk", 2, 0, 0, 3, 2, 0, {"colon 9 Blue|Body|"}},
        {"colon, head", 2, 0, 0, 6, 3, 0, {"colon 9 Blue|Head|"}},
        {"colon, judges' bonus", 2, 0, 0, 8, 2, 0, {"colon 9 Blue|Tech Point|"}},
        {"colon, turning kick by its letter", 2, 0, 0, 4, 2, 0, {"colon 9 Blue|H|"}},
        {"colon, technical point", 2, 0, 1, 11, 2, 2, {"colon 10 Red|2|"}},
        {"colon, removal", 2, 1, 1, 6, 3, 0, {"colon 10 Red|-3|"}},
        {"pipe, trunk", 7, 0, 1, 3, 2, 0, {"pipe 9 Red|Body|"}},
        {"pipe, removal", 7, 1, 0, 3, 2, 0, {"pipe 10 Blue|-2|"}},
        {"bracket, punch", 4, 0, 0, 0, 1, 0, {"bracket 1 0|1|BLUE"}},
        {"bracket, trunk", 4, 0, 1, 3, 2, 0, {"bracket 1 4|2|RED"}},
        {"bracket, head", 4, 0, 0, 6, 3, 0, {"bracket 1 5|3|BLUE"}},
        {"bracket, judges' bonus", 4, 0, 0, 8, 2, 0, {"bracket 1 3|2|BLUE"}},
        {"bracket, other", 4, 0, 0, 7, 4, 0, {"bracket 1 6|4|BLUE"}},
        {"bracket, removal", 4, 1, 1, 3, 2, 0, {"bracket 1 7|2|RED"}},
        {"WT text only", 6, 0, 0, 3, 2, 0, {}},
        {"tournament database", 3, 0, 0, 3, 2, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        view->events.clear();
        md->nOvrSupplier = c.supplier;
        md->nCompetitionType = 0;
        if (c.removal) {
            md->nGameState = 8;
            md->aSide[c.side].nRoundScore[0] = 10;
            ASSERT_TRUE(view->RemovePoint(kTime, c.side, c.kind, c.value, c.extra));
        } else {
            const int source = c.kind == 11 ? 0 : 1;
            md->nGameState = source == 0 ? 8 : 3;
            ASSERT_TRUE(view->AddPoint(kTime, source, c.side, c.kind, c.value, c.extra));
        }
        Lines records;
        for (const char* prefix : {"ctrl", "colon", "pipe", "bracket"})
            for (const std::string& line : view->With(prefix))
                records.push_back(line);
        EXPECT_EQ(records, c.records);
    }
}

TEST_F(MatchTest, TheJsonSupplierQueuesTheActionsOfEachPoint) {
    struct Case {
        const char* name;
        int pss, type, removal, source, side, kind, value, extra;
        Lines actions;
    };
    const Case cases[] = {
        {"protector trunk hit with its level", 1, 0, 0, 1, 0, 3, 2, 31, {"9:31"}},
        {"judges' head kick", 2, 0, 0, 1, 1, 6, 3, 0, {"17:"}},
        {"operator punch", 1, 0, 0, 0, 1, 0, 1, 0, {"14:"}},
        {"replay 4: kick then turning kick", 1, 0, 0, 0, 0, 12, 4, 4, {"9:", "10:"}},
        {"replay 5, type 2: head then spinning", 1, 2, 0, 0, 1, 12, 5, 5, {"17:", "59:"}},
        {"replay 7", 1, 0, 0, 0, 0, 12, 3, 7, {"12:"}},
        {"technical head with head gear", 2, 0, 0, 0, 0, 11, 2, 3, {"12:"}},
        {"technical head, type 2, trunk protector", 1, 2, 0, 0, 1, 11, 2, 3, {"59:"}},
        {"technical, trunk protector", 1, 0, 0, 0, 1, 11, 2, 3, {"16:"}},
        {"technical without protectors", 0, 0, 0, 0, 0, 11, 2, 2, {}},
        {"removal of a trunk kick", 1, 0, 1, 0, 0, 3, 2, 0, {"47:"}},
        {"removal of a head kick", 1, 0, 1, 0, 1, 6, 3, 0, {"56:"}},
    };
    md->nOvrSupplier = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nPSSType = c.pss;
        md->nCompetitionType = c.type;
        if (c.removal) {
            md->nGameState = 8;
            md->aSide[c.side].nRoundScore[0] = 10;
            ASSERT_TRUE(view->RemovePoint(kTime, c.side, c.kind, c.value, c.extra));
        } else {
            md->nGameState = c.source == 0 ? 8 : 3;
            ASSERT_TRUE(view->AddPoint(kTime, c.source, c.side, c.kind, c.value, c.extra));
        }
        EXPECT_EQ(view->TakeJson(), c.actions);
    }
}

TEST_F(MatchTest, IvrAndTvgHearOfEveryPoint) {
    md->bOvrConnected = 1;
    md->nOvrSupplier = 0; // the IVR notice also goes with a connected supplier-0 OVR link
    md->nTvgSupplier = 1;
    view->AddPoint(kTime, 1, 1, 6, 3, 44);
    EXPECT_EQ(view->With("ivr"), (Lines{"ivr 4 R|3|L|44"}));
    EXPECT_EQ(view->With("tvg 1 2"), (Lines{"tvg 1 2 R|3|L"}));
    view->events.clear();
    md->bOvrConnected = 0;
    md->nGameState = 8;
    view->AddPoint(kTime, 0, 0, 3, 2, 0);
    EXPECT_TRUE(view->With("ivr").empty());
    EXPECT_TRUE(view->With("tvg 1 2").empty()); // operator points are not device points
}

TEST_F(MatchTest, WtScoreCodesAndJudgeMarksByKind) {
    struct Case {
        const char* name;
        int pss, type, source, kind, value, extra, trunkPending, headPending;
        Lines judges; // slot-queue and mark events
        int wtCode;   // 0 none
    };
    const Case cases[] = {
        {"device punch", 1, 0, 2, 0, 1, 99, 0, 0, {"queue 0 0 2 99"}, 1},
        {"zero-value punch", 1, 0, 2, 0, 0, 99, 0, 0, {"queue 0 0 2 99"}, 0},
        {"device valid punch", 1, 0, 2, 19, 1, 99, 0, 0, {"queue 0 19 2 99"}, 1},
        {"device trunk", 1, 0, 1, 3, 2, 30, 0, 0, {"queue 0 3 1 30"}, 2},
        {"device head", 2, 0, 1, 6, 3, 30, 0, 0, {"queue 0 6 1 30"}, 3},
        {"turning head", 2, 0, 1, 7, 5, 0, 0, 0, {"queue 0 7 1 0"}, 3},
        {"type-2 technical", 1, 2, 1, 9, 2, 0, 0, 0, {"queue 0 9 1 0"}, 4},
        {"bonus, trunk protector", 1, 0, 1, 8, 2, 0, 0, 0, {"queue 0 8 1 0"}, 4},
        {"bonus, no protectors", 0, 0, 1, 8, 2, 0, 0, 0, {"queue 0 8 1 0"}, 2},
        {"bonus after a trunk hit", 2, 0, 1, 8, 2, 0, 1, 0, {"queue 0 8 1 0"}, 4},
        {"bonus after a head hit", 2, 0, 1, 8, 2, 0, 0, 1, {"queue 0 8 1 0"}, 5},
        {"bonus without a hit", 2, 0, 1, 8, 2, 0, 0, 0, {"queue 0 8 1 0"}, 2},
        {"operator punch", 1, 0, 0, 0, 1, 0, 0, 0, {"queue 0 0 0 0", "marks 0 4 1"}, 1},
        {"operator trunk", 1, 0, 0, 3, 2, 0, 0, 0, {"queue 0 3 0 0"}, 2},
        {"operator head", 2, 0, 0, 6, 3, 0, 0, 0, {"queue 0 6 0 0"}, 3},
        {"technical trunk", 2, 0, 0, 11, 2, 2, 0, 0, {"scored 0 2"}, 4},
        {"technical head", 2, 0, 0, 11, 2, 3, 0, 0, {"scored 0 5"}, 5},
        {"technical head, type 2", 2, 2, 0, 11, 2, 3, 0, 0, {"marks 0 4 3"}, 5},
        {"replay 1", 1, 0, 0, 12, 1, 1, 0, 0, {"queue 0 0 0 99", "marks 0 4 1"}, 1},
        {"replay 2", 1, 0, 0, 12, 2, 2, 0, 0, {"queue 0 3 0 99"}, 2},
        {"replay 3", 1, 0, 0, 12, 3, 3, 0, 0, {"queue 0 6 0 99"}, 3},
        {"replay 4", 1, 0, 0, 12, 4, 4, 0, 0, {"queue 0 3 0 99", "marks 0 4 2"}, 4},
        {"replay 5", 1, 0, 0, 12, 5, 5, 0, 0, {"queue 0 6 0 99", "marks 0 4 2"}, 5},
        {"replay 6", 1, 0, 0, 12, 2, 6, 0, 0, {"scored 0 2"}, 4},
        {"replay 7", 1, 0, 0, 12, 3, 7, 0, 0, {"scored 0 5"}, 5},
        {"replay 7, type 2", 1, 2, 0, 12, 3, 7, 0, 0, {"marks 0 4 3"}, 4},
        {"replay, unknown outcome", 1, 0, 0, 12, 3, 8, 0, 0, {}, 0},
    };
    view->m_nCurrentSlot[0] = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        view->events.clear();
        md->nPSSType = c.pss;
        md->nCompetitionType = c.type;
        md->nGameState = c.source == 0 ? 8 : 3;
        view->m_bTrunkHit[0] = c.trunkPending;
        view->m_bHeadHit[0] = c.headPending;
        ASSERT_TRUE(view->AddPoint(kTime, c.source, 0, c.kind, c.value, c.extra));
        Lines judges;
        for (const char* prefix : {"queue", "marks", "scored"})
            for (const std::string& line : view->With(prefix))
                judges.push_back(line);
        EXPECT_EQ(judges, c.judges);
        EXPECT_EQ(view->With("wt 0 3"), c.wtCode ? Lines{"wt 0 3 0 " + std::to_string(c.wtCode)} : Lines{});
        EXPECT_EQ(view->With("wt 0 4"), (Lines{"wt 0 4 0 0"}));
    }
}

TEST_F(MatchTest, UnderTheRoundWinSystemAZeroPunchAndHitsSendNoScoreLine) {
    md->nCompetitionRule = 1;
    EXPECT_TRUE(view->AddPoint(kTime, 2, 0, 0, 0, 99));
    EXPECT_TRUE(view->AddPoint(kTime, 1, 0, 16, 0, 20));
    EXPECT_TRUE(view->With("wt").empty());
    EXPECT_EQ(view->EventList(1081)->rowCount(), 2); // both are in the history
    view->AddPoint(kTime, 2, 0, 0, 1, 99);
    EXPECT_EQ(view->With("wt 0 4"), (Lines{"wt 0 4 0 0"}));
}

TEST_F(MatchTest, SoundsOfPointsBySourceAndProtectors) {
    struct Case {
        const char* name;
        int pss, usePunch, effects, source, kind;
        Lines played;
    };
    const Case cases[] = {
        {"trunk with head gear", 2, 0, 1, 1, 3, {"hitbody.wav"}},
        {"head with head gear", 2, 0, 1, 1, 6, {"hithead.wav"}},
        {"head, trunk protector only", 1, 0, 1, 1, 6, {}},
        {"trunk, trunk protector only", 1, 0, 1, 1, 3, {"hitbody.wav"}},
        {"punch, sensors off", 1, 0, 1, 2, 0, {"hitfunch.wav"}},
        {"punch, sensors on", 1, 1, 1, 2, 0, {}},
        {"valid punch, sensors on", 1, 1, 1, 2, 19, {"hitfunch.wav"}},
        {"effects off", 2, 0, 0, 1, 3, {}},
        {"operator point", 1, 0, 1, 0, 3, {"manualptadd.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sound.played.clear();
        md->nPSSType = c.pss;
        md->bUsePunch = static_cast<BYTE>(c.usePunch);
        md->bUseSoundEffect = static_cast<BYTE>(c.effects);
        md->nGameState = c.source == 0 ? 8 : 3;
        ASSERT_TRUE(view->AddPoint(kTime, c.source, 1, c.kind, 1, 0));
        EXPECT_EQ(sound.played, c.played);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Equipment test

TEST_F(MatchTest, InTheEquipmentTestHitsLightTilesAndRemovalsAreRefused) {
    md->nGameState = 13;
    EXPECT_FALSE(view->AddPoint(kTime, 1, 0, 3, 2, 87));
    EXPECT_FALSE(view->AddPoint(kTime, 1, 1, 6, 3, 123456)); // a long level is not cut
    EXPECT_FALSE(view->AddPoint(kTime, 1, 0, 0, 0, 5));
    EXPECT_FALSE(view->AddPoint(kTime, 1, 1, 19, 0, 5));
    view->ShowTestJudge(21, 2, 6);
    EXPECT_EQ(view->events, (Lines{"test 2 87", "test 1 123456", "test 24 5", "test 23 5", "test 21 2,6"}));
    EXPECT_EQ(md->aSide[0].nScore + md->aSide[1].nScore, 0);

    md->aSide[0].nRoundScore[0] = 4;
    EXPECT_FALSE(view->RemovePoint(kTime, 0, 3, 2, 0));
    EXPECT_EQ(md->aSide[0].nRoundScore[0], 4);
    EXPECT_EQ(prompter.texts(), (Lines{"Current mode is Equipment Test Mode.\r\nPlease use this function, "
                                       "after exiting Equipment Test Mode."}));
}

// ---------------------------------------------------------------------------------------------------------
// Point buttons and the technical-point prompts

TEST_F(MatchTest, PointButtonsGiveTheirValueAndWorkOnlyWhereTheyApply) {
    struct Case {
        const char* name;
        int id, type, roundWins;
        int side, score; // expected own round score after the click
    };
    const Case cases[] = {
        {"Chung punch", 1119, 0, 0, 0, 1}, {"Chung punch, type 2", 1119, 2, 0, 0, 0},
        {"Chung trunk", 1120, 2, 0, 0, 2}, {"Chung head", 1122, 0, 0, 0, 3},
        {"Hong punch", 1128, 0, 0, 1, 1},  {"Hong trunk", 1129, 0, 0, 1, 2},
        {"Hong head", 1131, 0, 0, 1, 3},   {"Hong head, type 2", 1131, 2, 0, 1, 0},
    };
    md->nGameState = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nCompetitionType = c.type;
        view->m_nLastInputTime = 777;
        view->OnClickedPointButton(c.id);
        EXPECT_EQ(md->aSide[c.side].nRoundScore[0], c.score);
        EXPECT_EQ(view->m_nLastInputTime, 0u);
    }
    // The hit buttons only under the round-win system or in the golden round.
    std::memset(md->aSide, 0, sizeof md->aSide);
    const int rows = view->EventList(1081)->rowCount();
    view->OnClickedPointButton(1124);
    EXPECT_EQ(view->EventList(1081)->rowCount(), rows);
    md->nCompetitionRule = 1;
    view->OnClickedPointButton(1133);
    EXPECT_EQ(md->aSide[1].nPssHits[1], 1);
}

TEST_F(MatchTest, AGoldenRoundRemovalAlsoStepsTheJudgesCursorsBack) {
    md->nGameState = 8;
    md->nCurRound = 4;
    view->m_nCurrentSlot[1] = 2;
    md->aSide[1].nRoundScore[3] = 2;
    view->OnClickedPointButton(1277); // Hong trunk removal
    EXPECT_EQ(view->With("stepback"), (Lines{"stepback 1 3"}));
    view->events.clear();
    view->OnClickedPointButton(1277); // nothing left to remove: nothing steps back
    EXPECT_TRUE(view->With("stepback").empty());
    md->nCurRound = 2;
    md->aSide[1].nRoundScore[1] = 2;
    view->OnClickedPointButton(1277);
    EXPECT_TRUE(view->With("stepback").empty());
}

TEST(TechnicalPromptTest, TextsBySideTypeAndPointSetting) {
    struct Case {
        const char* name;
        int type, middle, side;
        bool removal;
        const char* text;
    };
    const Case cases[] = {
        {"type 2 by technique, Chung add", 2, -1, 0, false,
         "YES => TRUNK Tech. (+1) Points\r\n\r\nNO => TRUNK Tech. (+2) Points"},
        {"type 2 by technique, Hong add", 2, -1, 1, false,
         "YES => TRUNK Tech. (+1) Points\r\n\r\nNO => TRUNK Tech. (+X2) Points"},
        {"type 2, Hong add", 2, 4, 1, false,
         "YES => TRUNK Tech. (+1) Points\r\n\r\nNO => TRUNK Tech. (+4) Points"},
        {"by technique, Chung add", 0, -1, 0, false,
         "YES => TRUNK Tech. (X2) Points\r\n\r\nNO => HEAD Tech. (2 or 3) Points"},
        {"by technique, Hong add", 1, -1, 1, false,
         "YES => TRUNK Tech. (+2) Points\r\n\r\nNO => HEAD Tech. (+2 or 3) Points"},
        {"fixed, Chung add", 0, 4, 0, false,
         "YES => TRUNK Tech. (+4) Points\r\n\r\nNO => HEAD Tech. (+4) Points"},
        {"type 2 by technique, Chung remove", 2, -1, 0, true,
         "YES => TRUNK Tech. (-1) Points\r\n\r\nNO => TRUNK Tech. (-X2) Points"},
        {"type 2 by technique, Hong remove", 2, -1, 1, true,
         "YES => TRUNK Tech. (-X2) Points\r\n\r\nNO => TRUNK Tech. (-X2) Points"},
        {"type 2, Hong remove", 2, 4, 1, true,
         "YES => TRUNK Tech. (-1) Points\r\n\r\nNO => TRUNK Tech. (-4) Points"},
        {"by technique, Hong remove", 0, -1, 1, true,
         "YES => TRUNK Tech. (-X2) Points\r\n\r\nNO => HEAD Tech. (-2 or 3) Points"},
        {"fixed, Chung remove", 0, 4, 0, true,
         "YES => TRUNK Tech. (-4) Points\r\n\r\nNO => HEAD Tech. (-4) Points"},
    };
    const auto md = std::make_unique<MatchData>();
    md->nJudgePointBottom = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nCompetitionType = c.type;
        md->nJudgePointMiddle = c.middle;
        EXPECT_EQ(U8(TechnicalPromptText(*md, c.side, c.removal)), c.text);
    }
}

TEST_F(MatchTest, TechnicalPointButtonsAskThenScoreOrRemove) {
    md->nGameState = 8;
    md->nPSSType = 2;
    md->nJudgePointMiddle = 4;
    prompter.answer(IDNO); // head
    view->OnClickedPointButton(1430);
    EXPECT_EQ(md->aSide[0].nRoundScore[0], 4);
    EXPECT_EQ(md->aSide[0].nTechTally[9][0], 1);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.boxes()[0].flags, MB_YESNOCANCEL | MB_ICONQUESTION);

    prompter.answer(IDCANCEL);
    view->OnClickedPointButton(1430);
    EXPECT_EQ(md->aSide[0].nRoundScore[0], 4);

    // Hong has no trunk technique: Yes is asked and nothing happens.
    md->bTeamDrawUse = 1;
    md->aSide[1].nRoundScore[0] = 8;
    prompter.answer(IDYES);
    view->OnClickedPointButton(1279);
    EXPECT_EQ(md->aSide[1].nRoundScore[0], 8);
    EXPECT_EQ(prompter.boxes().size(), 3u);
    // With one, the same answer removes it; the draw setting is no business of the removal.
    md->aSide[1].nTechTally[7][0] = 1;
    md->aSide[1].nTechTally[6][0] = 4;
    prompter.answer(IDYES);
    view->OnClickedPointButton(1279);
    EXPECT_EQ(md->aSide[1].nRoundScore[0], 4);
    EXPECT_EQ(md->aSide[1].nTechTally[7][0], 0);
    EXPECT_EQ(md->bTeamDrawUse, 1);
}

} // namespace
