#include "match/GamJeomRules.h"
#include "screens/OperatorLayout.h"
#include "screens/ScreenText.h"
#include "tests/match/RecordingView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using GamJeomRules::Op;
using Lines = std::vector<std::string>;

namespace {

// One side's gam-jeom counters: singles and doubles of rounds 1 and 2, and the match counters.
struct Counters {
    int single1, double1, single2, double2;
    int count1, count2;
};

Counters Read(const TTK_SideScore& s) {
    return {s.nRoundPenalty1[0], s.nRoundPenalty2[0], s.nRoundPenalty1[1],
            s.nRoundPenalty2[1], s.nPenaltyCount1,    s.nPenaltyCount2};
}

void ExpectCounters(const TTK_SideScore& s, const Counters& want) {
    const Counters got = Read(s);
    EXPECT_EQ(got.single1, want.single1);
    EXPECT_EQ(got.double1, want.double1);
    EXPECT_EQ(got.single2, want.single2);
    EXPECT_EQ(got.double2, want.double2);
    EXPECT_EQ(got.count1, want.count1);
    EXPECT_EQ(got.count2, want.count2);
    // Every points entry stays its count times the kind's weight.
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(s.nRoundPenaltyPoints1[r], s.nRoundPenalty1[r]) << "round " << r + 1;
        EXPECT_EQ(s.nRoundPenaltyPoints2[r], 2 * s.nRoundPenalty2[r]) << "round " << r + 1;
    }
}

void Give(MatchData& md, int side, int roundIndex, int singles, int doubles) {
    TTK_SideScore& s = md.aSide[side];
    s.nRoundPenalty1[roundIndex] += singles;
    s.nRoundPenaltyPoints1[roundIndex] += singles;
    s.nRoundPenalty2[roundIndex] += doubles;
    s.nRoundPenaltyPoints2[roundIndex] += 2 * doubles;
    GamJeomRules::SumPenaltyCounts(md);
}

void Perform(CMainWnd& view, Op op, int side) {
    switch (op) {
    case Op::Add:
        view.AddGamJeom(side);
        break;
    case Op::AddDouble:
        view.AddDoubleGamJeom(side);
        break;
    case Op::Remove:
        view.RemoveGamJeom(side);
        break;
    case Op::RemoveDouble:
        view.RemoveDoubleGamJeom(side);
        break;
    }
}

std::string ScoreText(int value) {
    return U8(ScreenText::Score(value));
}

class GamJeomTest : public MatchTest {
protected:
    GamJeomTest() {
        md->nGameState = 2;
        md->nGamJeom = 10;
        for (int id : {OperatorIds::ScoreChung, OperatorIds::ScoreHong, OperatorIds::PenaltyChung,
                       OperatorIds::PenaltyHong})
            view->Static(id);
    }
    std::string Text(int id) { return view->Static(id)->text().toStdString(); }
    // Every record of the gam-jeom itself to the outside systems and the match engine; the TVG record of
    // the score event record apart.
    Lines Sent() {
        Lines out;
        for (const std::string& e : view->events)
            if (!e.starts_with("tvg"))
                out.push_back(e);
        return out;
    }
};

// ---------------------------------------------------------------------------------------------------------
// The four operations

TEST_F(GamJeomTest, EachOperationChangesTheRoundCountersAndTellsEveryone) {
    struct Case {
        Op op;
        int side;
        Counters want;
        int shownOpponent; // the opponent's match total shown
        int shownCount;    // the side's gam-jeoms shown
        const char* json;
        Lines sent;
        Lines played;
    };
    // Before: the side has a single in round 1 and a single and a double in round 2 (the opponent 4).
    const Case cases[] = {
        {Op::Add,
         0,
         {1, 0, 2, 1, 3, 1},
         5,
         4,
         "13:",
         {"ivr 4 B|G|A|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {"deduction.wav"}},
        {Op::Add,
         1,
         {1, 0, 2, 1, 3, 1},
         5,
         4,
         "19:",
         {"ivr 4 R|G|A|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {"deduction.wav"}},
        {Op::AddDouble,
         0,
         {1, 0, 1, 2, 2, 2},
         6,
         4,
         "64:",
         {"ivr 4 B|G|A|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {"deduction.wav"}},
        {Op::AddDouble,
         1,
         {1, 0, 1, 2, 2, 2},
         6,
         4,
         "65:",
         {"ivr 4 R|G|A|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {"deduction.wav"}},
        {Op::Remove, 0, {1, 0, 0, 1, 1, 1}, 3, 2, "44:", {"ivr 4 B|G|B|", "wt 0 5 0 0", "wt 0 4 0 0"}, {}},
        {Op::Remove, 1, {1, 0, 0, 1, 1, 1}, 3, 2, "45:", {"ivr 4 R|G|B|", "wt 0 5 0 0", "wt 0 4 0 0"}, {}},
        {Op::RemoveDouble,
         0,
         {1, 0, 1, 0, 2, 0},
         2,
         2,
         "66:",
         {"ivr 4 B|G|B|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {}},
        {Op::RemoveDouble,
         1,
         {1, 0, 1, 0, 2, 0},
         2,
         2,
         "67:",
         {"ivr 4 R|G|B|", "wt 0 5 0 0", "wt 0 4 0 0"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.op)) + " side " + std::to_string(c.side));
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->nCurRound = 2;
        md->nOvrSupplier = 8;
        md->bUseSoundEffect = 0; // a gam-jeom given sounds anyway, one taken back only with the effects on
        Give(*md, c.side, 0, 1, 0);
        Give(*md, c.side, 1, 1, 1);
        view->events.clear();
        view->TakeJson();
        sound.played.clear();

        Perform(*view, c.op, c.side);

        ExpectCounters(md->aSide[c.side], c.want);
        ExpectCounters(md->aSide[1 - c.side], {0, 0, 0, 0, 0, 0});
        const int opponentScore = c.side == 0 ? OperatorIds::ScoreHong : OperatorIds::ScoreChung;
        const int ownScore = c.side == 0 ? OperatorIds::ScoreChung : OperatorIds::ScoreHong;
        EXPECT_EQ(Text(opponentScore), ScoreText(c.shownOpponent));
        EXPECT_EQ(Text(ownScore), ScoreText(0));
        EXPECT_EQ(Text(c.side == 0 ? OperatorIds::PenaltyChung : OperatorIds::PenaltyHong),
                  std::to_string(c.shownCount));
        EXPECT_EQ(Text(c.side == 0 ? OperatorIds::PenaltyHong : OperatorIds::PenaltyChung), "0");
        EXPECT_EQ(view->TakeJson(), Lines{c.json});
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(sound.played, c.played);
    }
}

TEST_F(GamJeomTest, RemovalSoundsOnlyWithTheSoundEffectsOn) {
    md->bUseSoundEffect = 1;
    Give(*md, 1, 0, 1, 1);
    view->RemoveGamJeom(1);
    view->RemoveDoubleGamJeom(1);
    EXPECT_EQ(sound.played, (Lines{"removededuction.wav", "removededuction.wav"}));
}

TEST_F(GamJeomTest, OvrSuppliersGetTheirRecord) {
    struct Case {
        int supplier;
        Op op;
        int side;
        const char* record; // empty: no OVR record
    };
    const Case cases[] = {
        {0, Op::Add, 0, "ctrl 6 B|P|"},
        {0, Op::AddDouble, 1, "ctrl 6 R|P|"},
        {0, Op::Remove, 0, "ctrl 6 B|M|"},
        {0, Op::RemoveDouble, 1, "ctrl 6 R|M|"},
        {2, Op::Add, 0, "colon 11 Blue|GJ|"},
        {2, Op::AddDouble, 1, "colon 11 Red|GJ|"},
        {2, Op::Remove, 1, "colon 12 Red|GJ|Remove"},
        {2, Op::RemoveDouble, 0, "colon 12 Blue|GJ|Remove"},
        {7, Op::Add, 1, "pipe 11 Red|GJ|"},
        {7, Op::RemoveDouble, 0, "pipe 12 Blue|GJ|Remove"},
        {4, Op::Add, 0, "bracket 1 8|3|BLUE"},
        {4, Op::AddDouble, 1, "bracket 1 8|6|RED"},
        {4, Op::Remove, 1, "bracket 1 8|3|RED"},
        {4, Op::RemoveDouble, 0, "bracket 1 8|6|BLUE"},
        {6, Op::Add, 0, ""},
        {5, Op::Remove, 0, ""},
    };
    md->nGamJeomPoint = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.supplier) + " " + std::to_string(static_cast<int>(c.op)));
        std::memset(md->aSide, 0, sizeof md->aSide);
        Give(*md, c.side, 0, 1, 1);
        md->nOvrSupplier = c.supplier;
        view->events.clear();
        Perform(*view, c.op, c.side);
        Lines ovr;
        for (const std::string& e : Sent())
            if (!e.starts_with("ivr") && !e.starts_with("wt"))
                ovr.push_back(e);
        EXPECT_EQ(ovr, *c.record ? Lines{c.record} : Lines{});
        EXPECT_TRUE(view->TakeJson().empty());
    }
}

// ---------------------------------------------------------------------------------------------------------
// When nothing happens

TEST_F(GamJeomTest, OnlyWhileTheRoundClockStands) {
    for (int state : {0, 1, 3, 10, 11, 12, 14, 15}) {
        for (Op op : {Op::Add, Op::AddDouble, Op::Remove, Op::RemoveDouble}) {
            SCOPED_TRACE("state " + std::to_string(state) + " op " + std::to_string(static_cast<int>(op)));
            std::memset(md->aSide, 0, sizeof md->aSide);
            Give(*md, 0, 0, 1, 1);
            md->nGameState = state;
            view->events.clear();
            Perform(*view, op, 0);
            ExpectCounters(md->aSide[0], {1, 1, 0, 0, 1, 1});
            EXPECT_TRUE(view->events.empty());
        }
    }
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_TRUE(sound.played.empty());

    for (int state : {2, 4, 5, 6, 7, 8, 9}) {
        md->nGameState = state;
        view->AddGamJeom(1);
    }
    EXPECT_EQ(md->aSide[1].nRoundPenalty1[0], 7);
}

TEST_F(GamJeomTest, EquipmentTestShowsItsNoticeAndChangesNothing) {
    md->nGameState = 13;
    Give(*md, 0, 0, 1, 1);
    view->AddGamJeom(0);
    view->RemoveDoubleGamJeom(0);
    ExpectCounters(md->aSide[0], {1, 1, 0, 0, 1, 1});
    EXPECT_TRUE(view->events.empty());
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(
        U8(prompter.boxes()[0].text),
        "Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test "
        "Mode.");
}

TEST_F(GamJeomTest, RemovalWithoutSuchAGamJeomInTheRoundChangesNothing) {
    md->nOvrSupplier = 8;
    md->bUseSoundEffect = 1;
    md->nCurRound = 2;
    // Round 1's gam-jeoms cannot be taken back in round 2; a single is not a double.
    Give(*md, 0, 0, 1, 1);
    Give(*md, 1, 1, 1, 0);
    // A double counted without its points (a damaged record) is not taken below zero either.
    md->aSide[1].nRoundPenalty2[1] = 1;
    const Counters chung = Read(md->aSide[0]);
    const Counters hong = Read(md->aSide[1]);

    view->RemoveGamJeom(0);
    view->RemoveDoubleGamJeom(0);
    view->RemoveDoubleGamJeom(1);

    const auto same = [](const Counters& a, const Counters& b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    EXPECT_TRUE(same(Read(md->aSide[0]), chung));
    EXPECT_TRUE(same(Read(md->aSide[1]), hong));
    EXPECT_EQ(md->aSide[1].nRoundPenaltyPoints2[1], 0);
    EXPECT_TRUE(view->events.empty());
    EXPECT_TRUE(view->TakeJson().empty());
    EXPECT_TRUE(sound.played.empty());
    EXPECT_TRUE(prompter.boxes().empty());
}

// ---------------------------------------------------------------------------------------------------------
// The gam-jeom limit

TEST_F(GamJeomTest, RoundWinSystemDropsAGamJeomBeyondTheRoundLimit) {
    md->nCompetitionRule = 1;
    md->nGamJeom = 3;
    md->nCurRound = 2;
    Give(*md, 0, 0, 2, 0); // round 1 does not count towards round 2's limit
    Give(*md, 0, 1, 1, 0);

    view->AddDoubleGamJeom(0); // the round's second: a double counts once
    EXPECT_EQ(md->aSide[0].nRoundPenalty2[1], 1);
    EXPECT_EQ(Text(OperatorIds::PenaltyChung), "2"); // the round's count under the round-win system
    EXPECT_EQ(Text(OperatorIds::ScoreHong), ScoreText(3));

    view->AddGamJeom(0); // the third reaches the limit: the round goes to Hong
    EXPECT_EQ(md->aSide[0].nRoundPenalty1[1], 2);
    EXPECT_FALSE(view->With("rndres").empty());

    view->events.clear();
    view->AddGamJeom(0);
    view->AddDoubleGamJeom(0);
    EXPECT_EQ(md->aSide[0].nRoundPenalty1[1], 2);
    EXPECT_EQ(md->aSide[0].nRoundPenalty2[1], 1);
    EXPECT_TRUE(view->events.empty());
}

TEST_F(GamJeomTest, TenthGamJeomOfTheMatchDecidesForTheOpponent) {
    md->nCurRound = 3;
    Give(*md, 1, 0, 4, 1);
    Give(*md, 1, 1, 2, 1);
    view->AddDoubleGamJeom(1); // ninth, worth 2 to Chung but one towards the limit
    EXPECT_TRUE(view->With("decide").empty());
    EXPECT_EQ(Text(OperatorIds::ScoreChung), ScoreText(12));
    EXPECT_EQ(Text(OperatorIds::PenaltyHong), "9");
    view->AddGamJeom(1);
    EXPECT_EQ(view->With("decide"), Lines{"decide 0 7"});
    EXPECT_EQ(md->nWinSide, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Scores shown in the golden round of competition type 2

TEST_F(GamJeomTest, GoldenRoundOfTypeTwoShowsScoresByItsOwnRule) {
    struct Case {
        int roundWins;
        Op op;
        int chungShown; // Hong has a single and a double in the golden round
    };
    const Case cases[] = {
        {0, Op::Add, 3},          {1, Op::Add, 2},       // points, or the count of gam-jeoms
        {0, Op::AddDouble, 3},    {1, Op::AddDouble, 3}, // points in both modes
        {0, Op::Remove, 2},       {1, Op::Remove, 2},    // the count in both modes
        {0, Op::RemoveDouble, 2}, {1, Op::RemoveDouble, 2},
    };
    md->nCompetitionType = 2;
    md->nCurRound = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.roundWins) + " " + std::to_string(static_cast<int>(c.op)));
        md->nCompetitionRule = c.roundWins;
        std::memset(md->aSide, 0, sizeof md->aSide);
        md->aSide[0].nRoundScore[3] = 1; // Chung's own golden points
        Give(*md, 1, 3, 1, 1);
        EXPECT_EQ(GamJeomRules::ShownScores(*md, c.op).first, 1 + c.chungShown);
    }
    // A lone gam-jeom gives nothing by the count rule.
    std::memset(md->aSide, 0, sizeof md->aSide);
    Give(*md, 1, 3, 0, 1);
    EXPECT_EQ(GamJeomRules::ShownScores(*md, Op::Remove), (std::pair{0, 0}));
    EXPECT_EQ(GamJeomRules::ShownScores(*md, Op::AddDouble), (std::pair{2, 0}));
    // The golden round shows the round's counts.
    md->nCompetitionRule = 0;
    EXPECT_EQ(GamJeomRules::ShownCounts(*md), (std::pair{0, 1}));
}

// ---------------------------------------------------------------------------------------------------------
// Buttons and keys

TEST_F(GamJeomTest, ButtonsGiveAndTakeBackAndTheDoubleOnesAskFirst) {
    struct Case {
        int id;
        int side;
        int answer;           // to the question
        const char* question; // empty: none asked
        Counters want;        // from one single and one double in round 1
    };
    const Case cases[] = {
        {1125, 0, IDYES, "", {2, 1, 0, 0, 2, 1}},
        {1147, 0, IDYES, "", {0, 1, 0, 0, 0, 1}},
        {1283, 0, IDYES, "CHUNG - Add Double Gam-Jeom", {1, 2, 0, 0, 1, 2}},
        {1283, 0, IDNO, "CHUNG - Add Double Gam-Jeom", {1, 1, 0, 0, 1, 1}},
        {1293, 0, IDYES, "CHUNG - Remove Double Gam-Jeom", {1, 0, 0, 0, 1, 0}},
        {1134, 1, IDYES, "", {2, 1, 0, 0, 2, 1}},
        {1282, 1, IDYES, "", {0, 1, 0, 0, 0, 1}},
        {1294, 1, IDYES, "HONG - Add Double Gam-Jeom", {1, 2, 0, 0, 1, 2}},
        {1295, 1, IDYES, "HONG - Remove Double Gam-Jeom", {1, 0, 0, 0, 1, 0}},
        {1295, 1, IDNO, "HONG - Remove Double Gam-Jeom", {1, 1, 0, 0, 1, 1}},
    };
    size_t boxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::memset(md->aSide, 0, sizeof md->aSide);
        Give(*md, c.side, 0, 1, 1);
        if (*c.question)
            prompter.answer(c.answer);
        view->Button(c.id)->click();
        ExpectCounters(md->aSide[c.side], c.want);
        if (*c.question) {
            ASSERT_EQ(prompter.boxes().size(), ++boxes);
            EXPECT_EQ(U8(prompter.boxes().back().text), c.question);
            EXPECT_EQ(U8(prompter.boxes().back().caption), "Information");
            EXPECT_EQ(prompter.boxes().back().flags, MB_YESNO | MB_ICONINFORMATION);
        } else {
            EXPECT_EQ(prompter.boxes().size(), boxes);
        }
    }
}

TEST_F(GamJeomTest, DoubleButtonsAskNothingWhileTheClockRuns) {
    md->nGameState = 3;
    view->Button(1283)->click();
    view->Button(1295)->click();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(md->aSide[0].nRoundPenalty2[0], 0);
}

TEST_F(GamJeomTest, ArrowKeysGiveAGamJeomAfterYes) {
    std::strcpy(md->szContestNo, "101");
    prompter.answer(IDYES);
    prompter.answer(IDYES);
    prompter.answer(IDNO);
    const auto press = [this](int key) {
        const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        EXPECT_TRUE(view->PreTranslateMessage(event, false));
    };
    press(Qt::Key_Left);
    press(Qt::Key_Right);
    press(Qt::Key_Right); // answered No
    EXPECT_EQ(md->aSide[0].nRoundPenalty1[0], 1);
    EXPECT_EQ(md->aSide[1].nRoundPenalty1[0], 1);
    EXPECT_EQ(view->With("wt 0 5"), (Lines{"wt 0 5 0 0", "wt 0 5 0 0"}));
}

} // namespace
