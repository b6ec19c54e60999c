#include "match/ClockRules.h"
#include "match/VideoReplayRules.h"
#include "tests/match/RecordingView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;
using VideoReplayRules::Change;

namespace {

// ---- the decision text and the quota rules ----

TEST(VideoReplayRulesTest, ParsesEveryDecisionTheDialogSends) {
    struct Case {
        const char* text;
        int requester, side;
        bool add;
        Change change;
        int points;
        bool accepted;
        int category;
    };
    const Case cases[] = {
        {"B,B,P,3,A,2", 0, 0, true, Change::Points, 3, true, 2},
        {"R,B,M,1,A,1", 1, 0, false, Change::Points, 1, true, 1},
        {"J,R,P,G,A,0", 2, 1, true, Change::GamJeom, 0, true, 0},
        {"B,R,M,SG,R,8", 0, 1, false, Change::DoubleGamJeom, 0, false, 8},
        {"R,R,P,C,R,4", 1, 1, true, Change::Points, 0, false, 4}, // appeal to reject names no points
        {"J,B,X,5,A,5", 2, 0, false, Change::Points, 5, true, 5}, // any letter but P removes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto d = VideoReplayRules::ParseDecision(c.text);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->requester, c.requester);
        EXPECT_EQ(d->side, c.side);
        EXPECT_EQ(d->add, c.add);
        EXPECT_EQ(d->change, c.change);
        EXPECT_EQ(d->points, c.points);
        EXPECT_EQ(d->accepted, c.accepted);
        EXPECT_EQ(d->category, c.category);
    }
}

TEST(VideoReplayRulesTest, RefusesMalformedAndOverlongTexts) {
    const std::string overlong =
        "B,B,P,3,A," + std::string(VideoReplayRules::kMaxDecisionText - 10, '0') + "1";
    ASSERT_GT(overlong.size(), VideoReplayRules::kMaxDecisionText);
    const std::string cases[] = {
        "",
        "B,B,P,3,A",    // five tokens
        "B,B,P,3,A,2,", // seven
        "X,B,P,3,A,2",  // requester
        "B,J,P,3,A,2",  // the referee has no score
        "b,B,P,3,A,2",  // letters are upper case
        "B,B,PP,3,A,2", // add or remove is one letter
        "B,B,,3,A,2",
        "B,B,P,0,A,2", // no points
        "B,B,P,9,A,2",
        "B,B,P,-1,A,2",
        "B,B,P, 3,A,2",
        "B,B,P,3x,A,2",
        "B,B,P,3,X,2", // result
        "B,B,P,3,A,9", // category
        "B,B,P,3,A,-1",
        "B,B,P,3,A,",
        std::string("B,B,P,3,A,2\0", 12),
        overlong,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(VideoReplayRules::ParseDecision(text, &error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

TEST(VideoReplayRulesTest, FiveStandsForSixWhenTheMiddleJudgePointIsOff) {
    const auto five = *VideoReplayRules::ParseDecision("B,B,P,5,A,5");
    EXPECT_EQ(VideoReplayRules::DecisionPoints(five, -1), 6);
    EXPECT_EQ(VideoReplayRules::DecisionPoints(five, 2), 5);
    const auto three = *VideoReplayRules::ParseDecision("B,B,P,3,A,2");
    EXPECT_EQ(VideoReplayRules::DecisionPoints(three, -1), 3);
}

TEST(VideoReplayRulesTest, QuotaStaysWithinZeroAndTheLimit) {
    struct Case {
        int remain, limit, up, down;
    };
    const Case cases[] = {
        {0, 1, 1, 0},  {1, 1, 1, 0}, {2, 5, 3, 1},
        {5, 5, 5, 4},  {0, 0, 0, 0}, {3, 1, 3, 2}, // above a lowered limit: "+" keeps it, "-" steps down
        {-2, 1, 0, 0},                             // a broken count is repaired, never pushed further down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.remain << " of " << c.limit);
        EXPECT_EQ(VideoReplayRules::QuotaUp(c.remain, c.limit), c.up);
        EXPECT_EQ(VideoReplayRules::QuotaDown(c.remain), c.down);
    }
    EXPECT_EQ(VideoReplayRules::QuotaLimit(0, 2, 4), 2);
    EXPECT_EQ(VideoReplayRules::QuotaLimit(1, 2, 4), 4);
    EXPECT_EQ(VideoReplayRules::QuotaLimit(2, 2, 4), 2);
}

// ---- the view ----

// Records the replay dialog's opening; a dialog stays "open" until the test closes it.
class ReplayView : public RecordingView {
public:
    bool OpenReplayDialog(int requester) override {
        events.push_back("dialog " + std::to_string(requester));
        if (dialogOpen)
            return false;
        dialogOpen = true;
        return true;
    }
    bool dialogOpen = false;
};

class VideoReplayTest : public MatchTest {
protected:
    VideoReplayTest() {
        auto replay = std::make_unique<ReplayView>();
        rv = replay.get();
        view = std::move(replay);
        md->nGameState = 8; // stopped within the round: operator changes are taken
        md->nOvrSupplier = 8;
        md->nVRQuota = 1;
        md->aSide[0].nVRRemain = 1;
        md->aSide[1].nVRRemain = 1;
        rv->m_strClockText = u"1:23";
        rv->m_nShownSeconds = 83;
    }
    int Total(int side) const { return ClockRules::MatchTotal(*md, side); }
    int GamJeoms(int side) const { return md->aSide[side].nPenaltyCount1 + md->aSide[side].nPenaltyCount2; }
    // The JSON actions queued, without their levels.
    Lines Json() {
        Lines out;
        for (const std::string& e : rv->TakeJson())
            out.push_back(e.substr(0, e.find(':')));
        return out;
    }
    ReplayView* rv = nullptr;
};

TEST_F(VideoReplayTest, RequestOpensTheDialogAndTellsTheOutsideSystems) {
    rv->OnClickedHongVideoReplay();
    EXPECT_EQ(rv->With("dialog"), Lines{"dialog 1"});
    EXPECT_EQ(rv->With("wt"), Lines{"wt 0 11 1 0"});
    EXPECT_EQ(Json(), Lines{"26"});
    EXPECT_EQ(md->aSide[1].nVRRemain, 1); // a request costs nothing until it is rejected
    EXPECT_TRUE(prompter.boxes().empty());

    // A second request while the dialog is open opens nothing new but is still announced.
    rv->events.clear();
    rv->OnClickedChungVideoReplay();
    EXPECT_EQ(rv->With("dialog"), Lines{"dialog 0"});
    EXPECT_EQ(rv->With("wt"), Lines{"wt 0 11 0 0"});
    EXPECT_EQ(Json(), Lines{"23"});
}

TEST_F(VideoReplayTest, RequestWithoutQuotaIsRefusedAndChangesNothing) {
    md->aSide[0].nVRRemain = 0;
    rv->OnClickedChungVideoReplay();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(U8(prompter.boxes()[0].text), "There is no Video Request Quota!");
    EXPECT_TRUE(rv->events.empty());
    EXPECT_TRUE(Json().empty());
    EXPECT_EQ(md->aSide[0].nVRRemain, 0);
}

TEST_F(VideoReplayTest, EachDecisionChangesScoresPenaltiesQuotaAndNotices) {
    struct Case {
        const char* text;
        int chungPoints, hongPoints;     // match totals gained
        int chungGamJeoms, hongGamJeoms; // gam-jeoms gained, single or double
        int chungQuota, hongQuota;       // left afterwards (both start at 1)
        Lines json;                      // the replay's own actions, first in the queue
        const char* wt;
    };
    const Case cases[] = {
        {"B,B,P,3,A,2", 3, 0, 0, 0, 1, 1, {"24"}, "wt 0 13 0 1"},
        {"R,R,P,2,A,1", 0, 2, 0, 0, 1, 1, {"27"}, "wt 0 13 1 1"},
        {"J,B,P,1,A,1", 1, 0, 0, 0, 1, 1, {"23", "24"}, "wt 0 13 2 1"},
        {"J,R,P,1,A,1", 0, 1, 0, 0, 1, 1, {"26", "27"}, "wt 0 13 2 1"},
        {"B,R,P,G,A,0", 1, 0, 0, 1, 1, 1, {"24"}, "wt 0 13 0 1"},  // gam-jeom against Hong
        {"R,B,P,SG,A,8", 0, 2, 1, 0, 1, 1, {"27"}, "wt 0 13 1 1"}, // double against Chung
        {"B,B,P,3,R,2", 0, 0, 0, 0, 0, 1, {"25"}, "wt 0 13 0 0"},
        {"R,B,P,3,R,2", 0, 0, 0, 0, 1, 0, {"28"}, "wt 0 13 1 0"},
        {"J,B,P,3,R,2", 0, 0, 0, 0, 1, 1, {"23", "25"}, "wt 0 13 2 0"}, // the referee has no quota
        {"J,R,P,3,R,2", 0, 0, 0, 0, 1, 1, {"26", "28"}, "wt 0 13 2 0"},
        {"B,B,P,C,R,4", 0, 0, 0, 0, 0, 1, {"25"}, "wt 0 13 0 0"}, // appeal rejected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        *md = MatchData{};
        md->nRound = 3;
        md->nCurRound = 1;
        md->nGameState = 8;
        md->nOvrSupplier = 8;
        md->nGamJeomPoint = 1;
        md->nJudgePointMiddle = 2;
        md->nVRQuota = 1;
        md->aSide[0].nVRRemain = md->aSide[1].nVRRemain = 1;
        rv->events.clear();
        rv->TakeJson();

        rv->OnFinalDecision(c.text);

        EXPECT_EQ(Total(0), c.chungPoints);
        EXPECT_EQ(Total(1), c.hongPoints);
        EXPECT_EQ(GamJeoms(0), c.chungGamJeoms);
        EXPECT_EQ(GamJeoms(1), c.hongGamJeoms);
        EXPECT_EQ(md->aSide[0].nVRRemain, c.chungQuota);
        EXPECT_EQ(md->aSide[1].nVRRemain, c.hongQuota);
        const Lines json = Json();
        ASSERT_GE(json.size(), c.json.size());
        EXPECT_EQ(Lines(json.begin(), json.begin() + static_cast<long>(c.json.size())), c.json);
        EXPECT_EQ(rv->With("wt 0 13"), Lines{c.wt});
        ASSERT_FALSE(rv->events.empty());
        const std::string t = c.text;
        EXPECT_EQ(rv->events.front(),
                  "ctrl 10 " + t.substr(0, 1) + "|" + t.substr(2, 1) + "|" + t.substr(4, t.rfind(',') - 4));
    }
}

TEST_F(VideoReplayTest, RemovalTakesThePointsBackAndFiveMeansSix) {
    md->nJudgePointMiddle = -1;
    rv->OnFinalDecision("B,R,P,5,A,5");
    EXPECT_EQ(Total(1), 6);
    rv->OnFinalDecision("R,R,M,5,A,5");
    EXPECT_EQ(Total(1), 0);
    // A removal the round cannot pay leaves the score alone.
    rv->OnFinalDecision("R,R,M,2,A,1");
    EXPECT_EQ(Total(1), 0);
    EXPECT_EQ(md->aSide[1].nVRRemain, 1);
}

TEST_F(VideoReplayTest, AcceptedDecisionOutsideTheOperatorStatesChangesNoScore) {
    md->nGameState = 3; // the clock runs: only devices and judges score
    rv->OnFinalDecision("B,B,P,3,A,2");
    EXPECT_EQ(Total(0), 0);
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);
}

TEST_F(VideoReplayTest, MalformedDecisionChangesNothingAndIsReported) {
    const char* texts[] = {"", "B,B,P,3,A", "B,B,P,3,A,2,9", "Q,B,P,3,A,2", "B,B,P,3,A,12", "B,B,P,3,?,2"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        testing::internal::CaptureStderr();
        rv->OnFinalDecision(text);
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_NE(debug.find("video-replay decision"), std::string::npos);
        EXPECT_NE(debug.find("ignored"), std::string::npos);
        EXPECT_TRUE(rv->events.empty());
        EXPECT_TRUE(Json().empty());
        EXPECT_EQ(Total(0) + Total(1), 0);
        EXPECT_EQ(md->aSide[0].nVRRemain + md->aSide[1].nVRRemain, 2);
    }
    // Far longer than the dialog's buffer, and not read to its end.
    const std::string huge(100000, 'B');
    testing::internal::CaptureStderr();
    rv->OnFinalDecision(huge.c_str());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("longer than"), std::string::npos);
    EXPECT_TRUE(rv->events.empty());
}

TEST_F(VideoReplayTest, QuotaOfOneIsKeptByAnAcceptedReplayAndUsedUpByARejectedOne) {
    rv->OnClickedChungVideoReplay();
    rv->dialogOpen = false;
    rv->OnFinalDecision("B,B,P,2,A,1");
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);

    rv->OnClickedChungVideoReplay();
    rv->dialogOpen = false;
    rv->OnFinalDecision("B,B,P,2,R,1");
    EXPECT_EQ(md->aSide[0].nVRRemain, 0);

    // A second rejection never drives the count below zero.
    rv->OnFinalDecision("B,B,P,2,R,1");
    EXPECT_EQ(md->aSide[0].nVRRemain, 0);

    rv->events.clear();
    rv->OnClickedChungVideoReplay();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(U8(prompter.boxes()[0].text), "There is no Video Request Quota!");
    EXPECT_TRUE(rv->With("dialog").empty());
}

TEST_F(VideoReplayTest, QuotaButtonsClampAtZeroAndAtTheQuotaInForce) {
    rv->OnClickedChungReplayQuotaUp(); // already full
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);
    rv->OnClickedChungReplayRejected();
    rv->OnClickedChungReplayRejected();
    EXPECT_EQ(md->aSide[0].nVRRemain, 0);
    rv->OnClickedChungReplayQuotaUp();
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);

    md->nCompetitionType = 1; // a team match counts the team quota
    md->nTeamVRQuota = 3;
    for (int i = 0; i < 5; ++i)
        rv->OnClickedHongReplayQuotaUp();
    EXPECT_EQ(md->aSide[1].nVRRemain, 3);
    rv->OnClickedHongReplayRejected();
    EXPECT_EQ(md->aSide[1].nVRRemain, 2);
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);
}

TEST_F(VideoReplayTest, ATieAfterTheLastRoundAsksForTheGoldenPoint) {
    md->nCurRound = md->nRound = 3;
    md->nGameState = 5;
    rv->m_nShownSeconds = 0;
    md->aSide[0].nRoundScore[2] = 1;
    md->aSide[0].nScore = 1;
    ASSERT_EQ(Total(0), 1);

    prompter.answer(IDNO);
    rv->OnFinalDecision("R,R,P,1,A,1");
    ASSERT_EQ(Total(1), 1);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(U8(prompter.boxes()[0].text), "Are you sure to play a Golden Point Round?");
    EXPECT_EQ(md->nGameState, 4);

    // No question while the totals differ or the round still has time.
    rv->OnFinalDecision("R,R,P,1,A,1");
    rv->m_nShownSeconds = 10;
    rv->OnFinalDecision("B,B,P,1,A,1");
    EXPECT_EQ(prompter.boxes().size(), 1u);
}

} // namespace
