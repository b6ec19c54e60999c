#include "match/ScoreRules.h"
#include "tests/match/RecordingView.h"
#include "tests/support/EventLogSettle.h"

#include "app/AdoObject.h"
#include "app/MyListCtrl.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "records/EventLog.h"
#include "screens/OperatorLayout.h"

#include <QPushButton>
#include <QTableWidgetItem>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace ScoreRules;
using Lines = std::vector<std::string>;

namespace {

Lines Row(CMyListCtrl* list, int row) {
    Lines texts;
    for (int column = 0; column < list->columnCount(); ++column) {
        const QTableWidgetItem* item = list->item(row, column);
        texts.push_back(item ? item->text().toStdString() : "<none>");
    }
    return texts;
}

// ---------------------------------------------------------------------------------------------------------
// History rows

TEST_F(MatchTest, HistoryRowsShowEachEventOfTheSide) {
    md->nCurRound = 2;
    CMyListCtrl* chung = view->EventList(1081);
    CMyListCtrl* hong = view->EventList(1080);
    view->AddPoint(u"1:23", 1, 0, 3, 2, 30);
    view->AddPoint(u"1:10", 1, 1, 7, 5, 0);
    md->nGameState = 8;
    view->RemovePoint(u"1:02", 0, 3, 2, 0);
    view->RecordScoreEvent(u"0:58", 1, 10, 0, 0, 0, 0); // a gam-jeom: its points are 0
    md->nGameState = 5;
    view->RecordScoreEvent(u"0:07", 0, 21, 0, 0, 0, 0); // the round has ended
    md->nGameState = 7;
    view->m_nShownSeconds = 0;
    view->RecordScoreEvent(u"0:03", 0, 18, 0, 0, 1, 0); // the clock shows 0; no history text of its own
    view->m_nShownSeconds = 4;
    view->RecordScoreEvent(u"0:04", 0, 19, 1, 1, 0, 0);

    ASSERT_EQ(chung->rowCount(), 5);
    EXPECT_EQ(Row(chung, 0), (Lines{"1", "2", "(+)2", "Trunk Kick", "1:23"}));
    EXPECT_EQ(Row(chung, 1), (Lines{"2", "2", "(-)2", "Trunk Kick", "1:02"}));
    EXPECT_EQ(Row(chung, 2), (Lines{"3", "2", "(+)0", "Double Gam-Jeom", "0:00"}));
    EXPECT_EQ(Row(chung, 3), (Lines{"4", "2", "(+)0", "", "0:00"}));
    EXPECT_EQ(Row(chung, 4), (Lines{"5", "2", "(-)1", "Vaild Punch", "0:04"}));
    ASSERT_EQ(hong->rowCount(), 2);
    EXPECT_EQ(Row(hong, 0), (Lines{"1", "2", "(+)5", "Turning Head Kick", "1:10"}));
    EXPECT_EQ(Row(hong, 1), (Lines{"2", "2", "(+)0", "Gam-Jeom", "0:58"}));
    EXPECT_EQ(view->m_nHistoryRows[0], 5);
    EXPECT_EQ(view->m_nHistoryRows[1], 2);
}

TEST_F(MatchTest, AListEmptiedOnItsOwnTakesTheNextRowLast) {
    view->RecordScoreEvent(u"1:00", 0, 3, 0, 2, 1, 0);
    view->EventList(1081)->setRowCount(0);
    view->RecordScoreEvent(u"0:59", 0, 3, 0, 2, 1, 0);
    ASSERT_EQ(view->EventList(1081)->rowCount(), 1);
    EXPECT_EQ(Row(view->EventList(1081), 0)[0], "2");
}

TEST_F(MatchTest, EveryEventTellsTheLeaderMarkAndTheTvgScoreNotice) {
    md->nTvgSupplier = 1;
    view->RecordScoreEvent(u"1:00", 1, 6, 0, 3, 1, 0);
    EXPECT_EQ(view->With("tvg"), (Lines{"tvg 1 0 ||"}));
}

// ---------------------------------------------------------------------------------------------------------
// Match-ending checks

struct SideSetup {
    int round = 0;          // own points of the current round, the only round with points
    int pen1 = 0, pen2 = 0; // gam-jeoms of the match
    int roundPen1 = 0, roundPen2 = 0, roundPts = 0; // of the current round; roundPts the points they gave
};

struct Rules {
    int roundWins = 0, type = 0, rounds = 3, curRound = 3;
    int ceil = 0, gap = 0, gamJeom = 0; // 0: the rule's Use flag is off
    int teamPtgRound = 0, teamGoldenPoint = 0, drawUse = 0;
};

struct Moment {
    int state = 3, remainMs = 30'000, shownSeconds = 30, roundOver = 0;
};

struct Event {
    int side, kind, removal, points;
};

struct EndingCase {
    const char* name;
    Rules rules;
    SideSetup chung, hong;
    Moment moment;
    Event event;
    Lines calls;     // stop / decide / popup / roundend / rndres, in order
    int decision[3]; // nWinSide, nDecisionKind, nWinRound afterwards (-1 -1 -1: untouched)
};

void Apply(MatchData& md, RecordingView& view, const EndingCase& c) {
    std::memset(md.aSide, 0, sizeof md.aSide);
    md.nCompetitionRule = c.rules.roundWins;
    md.nCompetitionType = c.rules.type;
    md.nRound = c.rules.rounds;
    md.nCurRound = c.rules.curRound;
    md.bUsePointCeil = c.rules.ceil > 0;
    md.nPointCeil = c.rules.ceil;
    md.bUsePointGap = c.rules.gap > 0;
    md.nPointGap = c.rules.gap;
    md.nGamJeom = c.rules.gamJeom;
    md.nTeamPTGCheckRound = c.rules.teamPtgRound;
    md.nTeamGRndGPoint = c.rules.teamGoldenPoint;
    md.bTeamDrawUse = static_cast<BYTE>(c.rules.drawUse);
    md.nGameState = c.moment.state;
    md.nRemainTime = c.moment.remainMs;
    md.bRoundOver = c.moment.roundOver;
    view.m_nShownSeconds = c.moment.shownSeconds;
    const int r = c.rules.curRound - 1;
    for (int side = 0; side < 2; ++side) {
        const SideSetup& s = side == 0 ? c.chung : c.hong;
        TTK_SideScore& score = md.aSide[side];
        score.nRoundScore[r] = s.round;
        score.nScore = s.round;
        score.nPenaltyCount1 = s.pen1;
        score.nPenaltyCount2 = s.pen2;
        score.nRoundPenalty1[r] = s.roundPen1;
        score.nRoundPenalty2[r] = s.roundPen2;
        score.nRoundPenaltyPoints1[r] = s.roundPts;
    }
    md.nWinSide = md.nDecisionKind = md.nWinRound = -1;
}

TEST_F(MatchTest, RulesThatEndARoundOrTheMatchAtOnce) {
    const Rules ceil10{.ceil = 10};
    const Rules ceil10RoundWins{.roundWins = 1, .curRound = 2, .ceil = 10};
    const Rules gap20{.gap = 20};
    const Rules golden{.curRound = 4};
    const Rules goldenType2{.type = 2, .curRound = 4};
    const Rules goldenTeam{.type = 1, .curRound = 4, .teamGoldenPoint = 3};
    const Moment stopped{.state = 8};
    const Moment noTimeLeft{.state = 8, .remainMs = 0, .shownSeconds = 0};
    const EndingCase cases[] = {
        {"ceiling", ceil10, {.round = 10}, {}, {}, {0, 3, 0, 2}, {"stop", "decide 0 9"}, {0, 9, 3}},
        {"ceiling counts gam-jeom points",
         ceil10,
         {.round = 2},
         {.pen1 = 6, .pen2 = 1},
         {},
         {1, 10, 0, 0},
         {"stop", "decide 0 9"},
         {0, 9, 3}},
        {"both at the ceiling: Chung",
         ceil10,
         {.round = 11},
         {.round = 12},
         {},
         {1, 3, 0, 2},
         {"stop", "decide 0 9"},
         {0, 9, 3}},
        {"below the ceiling after a removal",
         ceil10,
         {.round = 9},
         {},
         stopped,
         {0, 3, 1, 2},
         {},
         {-1, -1, -1}},
        {"ceiling of a round, clock running",
         ceil10RoundWins,
         {},
         {.round = 9, .roundPts = 0},
         {},
         {1, 0, 0, 1},
         {},
         {-1, -1, -1}},
        {"ceiling of a round reached",
         ceil10RoundWins,
         {},
         {.round = 10},
         {},
         {1, 3, 0, 2},
         {"stop", "rndres 1 2 1"},
         {-1, -1, -1}},
        {"ceiling of a round, clock stopped",
         ceil10RoundWins,
         {.round = 10},
         {},
         stopped,
         {0, 3, 0, 2},
         {"rndres 1 1 1"},
         {-1, -1, -1}},
        {"point gap of gam-jeom points",
         gap20,
         {.round = 10},
         {.round = 10, .pen1 = 20},
         {},
         {0, 3, 0, 2},
         {"stop", "decide 0 1"},
         {0, 1, 3}},
        {"point gap before its first round",
         {.curRound = 2, .gap = 20},
         {.round = 30},
         {},
         {},
         {0, 3, 0, 2},
         {},
         {-1, -1, -1}},
        {"team point gap from the round after the check round",
         {.type = 1, .rounds = 4, .curRound = 2, .gap = 5, .teamPtgRound = 1},
         {},
         {.round = 5},
         {},
         {1, 3, 0, 2},
         {"stop", "decide 1 1"},
         {1, 1, 2}},
        {"point gap of a round",
         {.roundWins = 1, .curRound = 1, .gap = 5},
         {.round = 1},
         {.round = 6},
         {},
         {1, 6, 0, 3},
         {"stop", "popup 1 2", "rndres 0 2 1"},
         {-1, -1, -1}},
        {"gam-jeom limit over the match",
         {.gamJeom = 4},
         {},
         {.pen1 = 3, .pen2 = 1},
         stopped,
         {1, 10, 0, 0},
         {"stop", "decide 0 7"},
         {0, 7, 3}},
        {"gam-jeom limit of the other side is not this side's",
         {.gamJeom = 4},
         {},
         {.pen1 = 4},
         stopped,
         {0, 3, 0, 2},
         {},
         {-1, -1, -1}},
        {"gam-jeom limit of a round",
         {.roundWins = 1, .curRound = 2, .gamJeom = 3},
         {},
         {.pen1 = 3, .roundPen1 = 3},
         stopped,
         {1, 10, 0, 0},
         {"popup 7 1", "rndres 1 1 7"},
         {-1, -1, -1}},
        {"round-win system: earlier rounds' gam-jeoms do not count",
         {.roundWins = 1, .curRound = 2, .gamJeom = 3},
         {},
         {.pen1 = 5, .roundPen1 = 1},
         stopped,
         {1, 10, 0, 0},
         {},
         {-1, -1, -1}},
        {"no gam-jeom limit set", {}, {}, {.pen1 = 2}, stopped, {1, 10, 0, 0}, {}, {-1, -1, -1}},
        {"a finished round waits for its winner",
         {.roundWins = 1, .curRound = 2},
         {},
         {},
         {.roundOver = 1},
         {0, 3, 0, 2},
         {"rndres 1 0 11"},
         {-1, -1, -1}},
        {"golden point of an individual match",
         golden,
         {.round = 2},
         {},
         {},
         {0, 3, 0, 2},
         {"stop", "decide 0 2"},
         {0, 2, 4}},
        {"golden point by the opponent's gam-jeoms",
         golden,
         {},
         {.roundPen1 = 2, .roundPts = 2},
         {},
         {1, 10, 0, 0},
         {"stop", "decide 0 2"},
         {0, 2, 4}},
        {"golden round, below the target with time left",
         golden,
         {.round = 1},
         {},
         {},
         {0, 0, 0, 1},
         {},
         {-1, -1, -1}},
        {"golden round, below the target, no time left",
         golden,
         {.round = 1},
         {},
         noTimeLeft,
         {0, 0, 0, 1},
         {"roundend"},
         {-1, -1, -1}},
        {"golden round removal, no time left",
         golden,
         {.round = 1},
         {},
         noTimeLeft,
         {0, 3, 1, 2},
         {"roundend"},
         {-1, -1, -1}},
        {"golden round removal with time left",
         golden,
         {.round = 1},
         {},
         stopped,
         {0, 3, 1, 2},
         {},
         {-1, -1, -1}},
        {"type 2: a trunk kick wins",
         goldenType2,
         {},
         {.round = 1},
         {},
         {1, 3, 0, 1},
         {"stop", "decide 1 2"},
         {1, 2, 4}},
        {"type 2: the second gam-jeom loses",
         goldenType2,
         {.roundPen1 = 2},
         {},
         stopped,
         {0, 10, 0, 0},
         {"stop", "decide 1 2"},
         {1, 2, 4}},
        {"type 2: one gam-jeom decides nothing",
         goldenType2,
         {.roundPen1 = 1},
         {},
         stopped,
         {0, 10, 0, 0},
         {},
         {-1, -1, -1}},
        {"type 2: a hit decides nothing", goldenType2, {}, {}, {}, {0, 16, 0, 0}, {}, {-1, -1, -1}},
        {"type 2: a kick that gives no points decides nothing",
         goldenType2,
         {},
         {},
         {},
         {1, 3, 0, 0},
         {},
         {-1, -1, -1}},
        {"team golden round: its own target",
         goldenTeam,
         {},
         {.round = 3},
         {},
         {1, 3, 0, 2},
         {"stop", "decide 1 2"},
         {1, 2, 4}},
        {"team golden round below its target",
         goldenTeam,
         {},
         {.round = 2},
         {},
         {1, 3, 0, 2},
         {},
         {-1, -1, -1}},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Apply(*md, *view, c);
        view->events.clear();
        view->RecordScoreEvent(u"0:10", c.event.side, c.event.kind, c.event.removal, c.event.points, 1, 0);
        Lines calls;
        for (const std::string& e : view->events)
            if (e == "stop" || e == "roundend" || e.starts_with("decide") || e.starts_with("popup") ||
                e.starts_with("rndres"))
                calls.push_back(e);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(md->nWinSide, c.decision[0]);
        EXPECT_EQ(md->nDecisionKind, c.decision[1]);
        EXPECT_EQ(md->nWinRound, c.decision[2]);
    }
}

TEST_F(MatchTest, ARoundCeilingSoundsTheGong) {
    md->nCompetitionRule = 1;
    md->bUsePointCeil = 1;
    md->nPointCeil = 5;
    md->aSide[0].nRoundScore[0] = 5;
    view->RecordScoreEvent(u"0:10", 0, 3, 0, 2, 1, 0);
    EXPECT_EQ(sound.played, (Lines{"boong.wav"}));
}

TEST_F(MatchTest, TheDrawButtonShowsWhenATeamMatchEndsLevel) {
    QWidget* draw = view->Button(OperatorIds::Draw);
    md->nCompetitionType = 1;
    md->nRound = 2;
    md->nCurRound = 2;
    md->bTeamDrawUse = 1;
    md->nGameState = 5;
    view->m_nShownSeconds = 0;
    md->aSide[0].nRoundScore[1] = 4;
    md->aSide[1].nRoundScore[1] = 3;
    md->aSide[0].nPenaltyCount1 = 1; // Hong 3 + 1
    view->RecordScoreEvent(u"0:00", 1, 10, 0, 0, 0, 0);
    EXPECT_FALSE(draw->isHidden());
    md->aSide[1].nRoundScore[1] = 5;
    view->RecordScoreEvent(u"0:00", 1, 3, 0, 2, 0, 0);
    EXPECT_TRUE(draw->isHidden());
    md->aSide[1].nRoundScore[1] = 3;
    view->m_nShownSeconds = 1; // time left: the button is left as it is
    view->RecordScoreEvent(u"0:01", 1, 3, 1, 2, 0, 0);
    EXPECT_TRUE(draw->isHidden());
}

TEST(EndingRulesTest, GapAndCeilingByTheirSettings) {
    const auto md = std::make_unique<MatchData>();
    md->nRound = 3;
    md->nCurRound = 1;
    md->aSide[0].nScore = 30;
    md->nPointGap = 0; // a missing setting never ends a match
    md->nPointCeil = 0;
    EXPECT_EQ(PointGapWinner(*md), -1);
    EXPECT_EQ(PointCeilingWinner(*md), -1);
    md->nPointGap = 30;
    EXPECT_EQ(PointGapWinner(*md), 0);
    md->aSide[1].nScore = 1;
    EXPECT_EQ(PointGapWinner(*md), -1);
    // Under the round-win system a level round reports Hong when its totals differ the other way.
    md->nCompetitionRule = 1;
    md->nPointGap = 2;
    md->aSide[1].nRoundScore[0] = 2;
    EXPECT_EQ(PointGapWinner(*md), 1);
}

TEST(EndingRulesTest, WorkbookCodesAndLoggedPoints) {
    const auto md = std::make_unique<MatchData>();
    md->nGamJeomPoint = 1;
    struct Case {
        int removal, source, kind, code, group;
    };
    const Case cases[] = {
        {0, 1, 0, 7, 3},   {0, 0, 0, 17, 0},  {1, 0, 0, 23, 0},  {0, 1, 3, 9, 1},   {0, 0, 3, 18, 0},
        {1, 0, 3, 24, 0},  {0, 1, 6, 11, 2},  {0, 0, 6, 19, 2},  {1, 0, 6, 25, 3},  {0, 1, 16, 8, 8},
        {0, 0, 10, 14, 7}, {1, 0, 10, 28, 3}, {0, 0, 12, 16, 0}, {1, 0, 12, 29, 0}, {0, 0, 21, 39, 7},
        {1, 0, 21, 40, 3}, {0, 2, 19, 7, 0},  {0, 0, 11, 20, 7}, {0, 1, 13, -1, 0}, {0, 1, 18, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("removal " + std::to_string(c.removal) + ", source " + std::to_string(c.source) +
                     ", kind " + std::to_string(c.kind));
        EXPECT_EQ(HistoryLogCode(c.removal, c.source, -1, c.kind), c.code);
        EXPECT_EQ(HistoryMarkKind(*md, c.kind, c.removal, c.source), c.group);
    }
    md->bUsePunch = 1;
    EXPECT_EQ(HistoryMarkKind(*md, 0, 0, 0), 1);
    md->nGamJeomPoint = 2;
    EXPECT_EQ(LoggedPoints(*md, 3, 2, 0), 2);
    EXPECT_EQ(LoggedPoints(*md, 3, 2, 1), -2);
    EXPECT_EQ(LoggedPoints(*md, 10, 0, 0), 2);
    EXPECT_EQ(LoggedPoints(*md, 21, 0, 1), -4);
}

// ---------------------------------------------------------------------------------------------------------
// The event log of a short match in a real database

class ScriptedMatchTest : public MatchTest {
protected:
    void SetUp() override {
        ASSERT_EQ(home.makeLocalDatabase(), "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
        std::strcpy(md->szContestNo, "101");
        view->ShowRoundNumber(1);
        view->LogMatchRow();
        ASSERT_EQ(md->bMatchLogged, 1);
    }
    void TearDown() override {
        TheEventLogWriter().Stop();
        theApp.m_dbLocal.Close();
    }

    // The event rows of a side in their order: the value of the event's column and the time stamp.
    Lines Rows(int side, std::initializer_list<int> kinds) {
        EXPECT_TRUE(SettleEventLog());
        const char* table = side == 0 ? "CHUNGLOG" : "HONGLOG";
        Lines rows;
        int i = 0;
        for (const int kind : kinds) {
            theApp.m_dbLocal.Select("SELECT rtime, %s, ptime FROM %s ORDER BY dbindex LIMIT 1 OFFSET %d",
                                    EventLogColumn(side, kind), table, i++);
            if (theApp.m_dbLocal.nRows != 1)
                return rows;
            std::string row;
            for (int column = 0; column < 3; ++column)
                row += (column ? " " : "") + U8(VariantToString(theApp.m_dbLocal.cell(0, column)));
            rows.push_back(row);
        }
        return rows;
    }
    int Count(const char* sql) {
        EXPECT_TRUE(SettleEventLog());
        theApp.m_dbLocal.Select("%s", sql);
        return theApp.m_dbLocal.nRows == 1
                   ? QString::fromStdU16String(VariantToString(theApp.m_dbLocal.cell(0, 0))).toInt()
                   : -1;
    }
};

TEST_F(ScriptedMatchTest, EveryScoringEventIsARowAndTheTotalsFollow) {
    md->nGamJeomPoint = 1;
    md->bUsePunch = 1;
    view->m_nLastInputTime = 1234;
    view->AddPoint(u"1:50", 1, 0, 3, 2, 30); // Chung trunk kick by the protector
    view->m_nLastInputTime = 2345;
    view->AddPoint(u"1:40", 1, 1, 6, 3, 0);   // Hong head kick by the judges
    view->AddPoint(u"1:30", 2, 0, 19, 1, 99); // Chung punch by the judges' punch window
    md->nGameState = 8;
    md->aSide[1].nPenaltyCount1 = 1; // Hong's gam-jeom as the gam-jeom operation records it
    md->aSide[1].nRoundPenalty1[0] = 1;
    md->aSide[1].nRoundPenaltyPoints1[0] = 1;
    view->RecordScoreEvent(u"1:20", 1, 10, 0, 0, 0, 0);
    view->RemovePoint(u"1:20", 0, 3, 2, 0); // the operator takes the trunk kick back

    EXPECT_EQ(Rows(0, {3, 23, 3}), (Lines{"1:50 2 1234", "1:30 1 2000", "1:20 -2 2000"}));
    EXPECT_EQ(Rows(1, {6, 10}), (Lines{"1:40 3 2345", "1:20 1 2000"}));
    EXPECT_EQ(Count("SELECT count(*) FROM CHUNGLOG"), 3);
    EXPECT_EQ(Count("SELECT count(*) FROM HONGLOG"), 2);
    // Chung: the punch and Hong's gam-jeom; Hong: the head kick.
    EXPECT_EQ(Count("SELECT chungpoint FROM GAMET"), 2);
    EXPECT_EQ(Count("SELECT hongpoint FROM GAMET"), 3);
}

TEST_F(ScriptedMatchTest, AFailingLogKeepsThePointOnScreen) {
    theApp.m_dbLocal.Close(); // every write fails from here on
    view->AddPoint(u"1:50", 1, 0, 3, 2, 30);
    EXPECT_EQ(md->aSide[0].nScore, 2);
    EXPECT_EQ(md->nGameState, 3); // the clock runs on
    EXPECT_EQ(view->EventList(1081)->rowCount(), 1);
}

} // namespace
