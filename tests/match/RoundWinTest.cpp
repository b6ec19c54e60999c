#include "match/DecisionRules.h"
#include "match/RoundWinRules.h"
#include "screens/OperatorLayout.h"
#include "tests/match/RecordingView.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

class RoundWinTest : public MatchTest {
protected:
    RoundWinTest() {
        md->nCompetitionRule = 1;
        md->nCurRound = 3;
        view->SetupControls();
    }
    bool Shown(int id) const {
        QWidget* control = view->GetDlgItem(id);
        return control && !control->isHidden();
    }
    // Every JSON action waiting, as {kind, value}.
    std::vector<std::array<int, 2>> TakeJsonValues() {
        std::vector<std::array<int, 2>> out;
        while (auto entry = view->m_JsonQueue.TakeNext())
            out.push_back({entry->nKind, entry->nValue});
        return out;
    }
};

TEST_F(RoundWinTest, WinnersAreCountedWhateverTheOrderOfTheCalls) {
    const std::vector<std::vector<int>> orders = {{0, 1, 2}, {2, 1, 0}, {1, 2, 0}};
    const int winners[3] = {1, 2, 1};
    for (const std::vector<int>& order : orders) {
        view->ClearRoundWins();
        for (int r : order)
            view->DecideRoundWinner(r, winners[r], 4, 1);
        EXPECT_EQ(md->aSide[0].nRoundWins, 2);
        EXPECT_EQ(md->aSide[1].nRoundWins, 1);
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(md->nRoundWinner[r], winners[r]);
            EXPECT_EQ(md->nRoundReason[r], 4);
            EXPECT_EQ(md->bRoundEnded[r], 1);
        }
    }
    // The marks of the operator view: two for Chung, one for Hong.
    EXPECT_TRUE(Shown(OperatorIds::RoundWonChung[0]));
    EXPECT_TRUE(Shown(OperatorIds::RoundWonChung[1]));
    EXPECT_TRUE(Shown(OperatorIds::RoundWonHong[0]));
    EXPECT_FALSE(Shown(OperatorIds::RoundWonHong[1]));
    EXPECT_TRUE(Shown(OperatorIds::RoundWinnerHong[1]));
}

TEST_F(RoundWinTest, RedecidingARoundReplacesItsWinnerWithoutCountingTwice) {
    view->DecideRoundWinner(0, 1, 0, 1);
    view->DecideRoundWinner(0, 1, 0, 1);
    EXPECT_EQ(md->aSide[0].nRoundWins, 1);
    view->DecideRoundWinner(0, 2, 1, 1);
    EXPECT_EQ(md->nRoundWinner[0], 2);
    EXPECT_EQ(md->nRoundReason[0], 1);
    EXPECT_EQ(md->aSide[0].nRoundWins, 0);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);
    // Closing the round without a winner takes the win away again.
    view->DecideRoundWinner(0, 3, 11, 0);
    EXPECT_EQ(md->nRoundWinner[0], 3);
    EXPECT_EQ(md->aSide[1].nRoundWins, 0);
    EXPECT_FALSE(Shown(OperatorIds::RoundWonHong[0]));
}

TEST_F(RoundWinTest, TwoRoundWinsDecideTheMatch) {
    md->nCurRound = 2;
    md->nGameState = 5;
    view->DecideRoundWinner(0, 2, 0, 1);
    EXPECT_EQ(DecisionRules::ProposedDecision(*md), DecisionRules::kSUP) << "one round win decides nothing";
    view->DecideRoundWinner(1, 2, 4, 1);
    EXPECT_EQ(md->aSide[1].nRoundWins, 2);
    EXPECT_EQ(DecisionRules::ProposedDecision(*md), DecisionRules::kPTF);
    EXPECT_EQ(view->With("ivr 12").back(), "ivr 12 R|0|2|");
}

TEST_F(RoundWinTest, NoticesBySupplier) {
    struct Case {
        int supplier;
        int notify;
        std::vector<std::string> events;
        std::vector<std::array<int, 2>> json;
    };
    const Case cases[] = {
        {6, 1, {"wt 0 20 0 2", "ivr 12 B|1|0|"}, {}},
        {6, 0, {"ivr 12 B|1|0|"}, {}},
        {4, 1, {"bracket 8 ||", "wt 0 20 0 2", "ivr 12 B|1|0|"}, {}},
        {8, 1, {"wt 0 20 0 2", "ivr 12 B|1|0|"}, {{JsonActionQueue::kIntermediateResult, 2}}},
        {3, 0, {"ivr 12 B|1|0|"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.supplier * 10 + c.notify);
        view->ClearRoundWins();
        view->events.clear();
        md->nOvrSupplier = c.supplier;
        view->DecideRoundWinner(1, 1, 0, c.notify);
        EXPECT_EQ(view->events, c.events);
        EXPECT_EQ(TakeJsonValues(), c.json);
    }
}

TEST_F(RoundWinTest, OutOfRangeInputsChangeNothing) {
    md->nOvrSupplier = 8;
    view->DecideRoundWinner(0, 1, 0, 1);
    view->events.clear();
    TakeJsonValues();
    const MatchData before = *md;
    const int inputs[][2] = {{0, 0}, {0, 4}, {0, -1}, {-1, 2}, {kMaxRounds, 2}, {1000000, 1}};
    for (const auto& in : inputs) {
        view->DecideRoundWinner(in[0], in[1], 4, 1);
        EXPECT_EQ(std::memcmp(&before, md, sizeof(MatchData)), 0) << in[0] << " " << in[1];
    }
    EXPECT_TRUE(view->events.empty());
    EXPECT_TRUE(TakeJsonValues().empty());
    // The last slot of the record is a round like any other.
    view->DecideRoundWinner(kMaxRounds - 1, 2, 0, 0);
    EXPECT_EQ(md->nRoundWinner[kMaxRounds - 1], 2);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);
}

TEST_F(RoundWinTest, OutsideTheRoundWinSystemTheTotalsDecide) {
    md->nCompetitionRule = 0;
    md->nOvrSupplier = 8;
    md->aSide[0].nRoundScore[0] = 3;
    md->aSide[1].nRoundScore[0] = 1;
    md->aSide[0].nRoundPenaltyPoints1[0] = 3; // Chung's gam-jeoms give Hong 3: Hong 4, Chung 3
    md->aSide[0].nRoundScore[1] = 2;
    md->aSide[1].nRoundScore[1] = 2;
    view->DecideRoundWinner(0, 3, 11, 1);
    view->DecideRoundWinner(0, 3, 11, 1);
    view->DecideRoundWinner(1, 1, 0, 1);
    EXPECT_EQ(md->nRoundWinner[0], 2);
    EXPECT_EQ(md->nRoundWinner[1], 0) << "equal totals, whatever the caller says";
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);
    EXPECT_EQ(md->aSide[0].nRoundWins, 0);
    EXPECT_EQ(md->bRoundEnded[0], 0);
    EXPECT_TRUE(view->events.empty()) << "the notices belong to the round-win system";
    EXPECT_TRUE(TakeJsonValues().empty());
}

TEST_F(RoundWinTest, TeamGoldenBoutIsWonByItsPointsAndStartsTheNextFromNothing) {
    md->nCompetitionRule = 0;
    md->nCompetitionType = 1;
    md->nRound = 3;
    md->nCurRound = 4;
    md->nTeamGRndGPoint = 2;
    struct Case {
        int chung, hong, want;
    };
    const Case cases[] = {{1, 1, 0}, {2, 3, 1}, {1, 2, 2}, {0, 0, 0}};
    int bout = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(bout);
        md->aSide[0].nRoundScore[3] = c.chung;
        md->aSide[1].nRoundScore[3] = c.hong;
        md->aSide[0].nRoundPenalty1[3] = 1;
        md->aSide[1].nTechTally[5][3] = 2;
        view->DecideRoundWinner(bout, 3, 11, 1);
        EXPECT_EQ(md->nRoundWinner[bout], c.want);
        EXPECT_EQ(md->aSide[0].nRoundScore[3], 0);
        EXPECT_EQ(md->aSide[1].nRoundScore[3], 0);
        EXPECT_EQ(md->aSide[0].nRoundPenalty1[3], 0);
        EXPECT_EQ(md->aSide[1].nTechTally[5][3], 0);
        ++bout;
    }
    EXPECT_EQ(md->aSide[0].nRoundWins, 1);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);
    EXPECT_EQ(view->With("resetcursors").size(), 2 * std::size(cases));
}

} // namespace
