#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "tests/match/RecordingView.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records each tag panel redraw with the tag state it shows, then redraws for real.
class TagView : public RecordingView {
public:
    void RedrawTagPanel() override {
        events.push_back("tagpanel " + std::to_string(m_bTagActive[0]) + " " +
                         std::to_string(m_bTagActive[1]) + " " + std::to_string(m_nTagStartMs[0]) + " " +
                         std::to_string(m_nTagStartMs[1]));
        CMainWnd::RedrawTagPanel();
    }
};

class TeamTagsTest : public MatchTest {
protected:
    TeamTagsTest() {
        view = std::make_unique<TagView>();
        md->nCompetitionType = 1;
        md->nTeamTagTime = 30;
        md->nRemainTime = 60000;
        view->Static(OperatorIds::TagTextChung);
        view->Static(OperatorIds::TagTextHong);
    }
    int Count(int side, int round) const { return md->aSide[side].nTagCount[round]; }
    std::string TagText(int id) { return view->Static(id)->text().toStdString(); }
};

// A tag counts for its side in the current round and opens one window for both sides; the side that did
// not tag gets five seconds less.
TEST_F(TeamTagsTest, TagCountsInTheRoundAndOpensTheWindowOfBothSides) {
    struct Case {
        int side;
        int round;
        int chungStart, hongStart;
    };
    const Case cases[] = {{0, 1, 60000, 65000}, {1, 2, 65000, 60000}, {0, kMaxRounds, 60000, 65000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side * 10 + c.round);
        view->m_bTagActive[0] = view->m_bTagActive[1] = 0;
        view->events.clear();
        md->nCurRound = c.round;
        c.side == 0 ? view->OnClickedChungTag() : view->OnClickedHongTag();
        EXPECT_EQ(Count(c.side, c.round), 1);
        EXPECT_EQ(Count(1 - c.side, c.round), 0);
        EXPECT_EQ(view->m_bTagActive[0], 1);
        EXPECT_EQ(view->m_bTagActive[1], 1);
        EXPECT_EQ(view->m_nTagStartMs[0], c.chungStart);
        EXPECT_EQ(view->m_nTagStartMs[1], c.hongStart);
        EXPECT_EQ(view->events, std::vector<std::string>{"tagpanel 1 1 " + std::to_string(c.chungStart) +
                                                         " " + std::to_string(c.hongStart)});
    }
    EXPECT_EQ(Count(0, 1) + Count(0, 2) + Count(0, kMaxRounds) + Count(1, 1) + Count(1, 2) +
                  Count(1, kMaxRounds),
              3);
}

// Tags count only in a running round or with the clock stopped, outside an open window, in a round the
// record has room for, and with the joint tag off; a refused tag changes nothing and redraws nothing.
TEST_F(TeamTagsTest, TagOutsideItsStatesChangesNothing) {
    struct Case {
        const char* name;
        int state, round, ownFlag, jointTag;
        bool counted;
    };
    const Case cases[] = {
        {"running", 3, 1, 0, 0, true},
        {"clock stopped", 8, 1, 0, 0, true},
        {"ready", 2, 1, 0, 0, false},
        {"round over", 5, 1, 0, 0, false},
        {"injury", 9, 1, 0, 0, false},
        {"window open", 3, 1, 1, 0, false},
        {"joint tag", 3, 1, 0, 1, false},
        {"before the first round", 3, 0, 0, 0, false},
        {"round beyond the record", 3, kRoundNumberSlots, 0, 0, false},
        {"negative round", 3, -1, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int side = 0; side < 2; ++side)
            for (int& count : md->aSide[side].nTagCount)
                count = 0;
        md->nGameState = c.state;
        md->nCurRound = c.round;
        view->m_bTagActive[0] = c.ownFlag;
        view->m_bTagActive[1] = 0;
        view->m_nTagStartMs[0] = view->m_nTagStartMs[1] = 0;
        view->m_bJointTag = c.jointTag;
        view->events.clear();
        view->OnClickedChungTag();
        int total = 0;
        for (int r = 0; r < kRoundNumberSlots; ++r)
            total += Count(0, r) + Count(1, r);
        EXPECT_EQ(total, c.counted ? 1 : 0);
        EXPECT_EQ(view->m_bTagActive[1], c.counted ? 1 : 0);
        EXPECT_EQ(view->events.size(), c.counted ? 1u : 0u);
    }
}

// A tag sets both flags, so neither side can tag again until the window ends; then the next tag counts.
TEST_F(TeamTagsTest, OpenWindowBlocksBothSidesUntilTheClockEndsIt) {
    view->OnClickedChungTag();
    view->OnClickedChungTag();
    view->OnClickedHongTag();
    EXPECT_EQ(Count(0, 1), 1);
    EXPECT_EQ(Count(1, 1), 0);

    view->UpdateChangeInfo();
    EXPECT_EQ(TagText(OperatorIds::TagTextChung), "30");
    EXPECT_EQ(TagText(OperatorIds::TagTextHong), "25");

    md->nRemainTime = 35000; // Hong's window has run down, Chung's has five seconds left
    view->UpdateChangeInfo();
    EXPECT_EQ(TagText(OperatorIds::TagTextChung), "5");
    EXPECT_EQ(TagText(OperatorIds::TagTextHong), "TAG");
    view->OnClickedChungTag();
    EXPECT_EQ(Count(0, 1), 1);

    md->nRemainTime = 30000;
    view->UpdateChangeInfo();
    EXPECT_EQ(TagText(OperatorIds::TagTextChung), "TAG");
    view->OnClickedHongTag();
    EXPECT_EQ(Count(1, 1), 1);
    EXPECT_EQ(view->m_nTagStartMs[1], 30000);
    EXPECT_EQ(view->m_nTagStartMs[0], 35000);
}

// A window of a whole minute, the default Team_Tag_Time, ends like any other; the tags are free again.
TEST_F(TeamTagsTest, MinuteLongWindowEndsAfterItsMinute) {
    md->nTeamTagTime = 60;
    md->nRemainTime = 100000;
    view->OnClickedChungTag();
    md->nRemainTime = 41000;
    view->UpdateChangeInfo();
    EXPECT_EQ(TagText(OperatorIds::TagTextChung), "1");
    md->nRemainTime = 40000;
    view->UpdateChangeInfo();
    EXPECT_EQ(TagText(OperatorIds::TagTextChung), "TAG");
    EXPECT_EQ(view->m_bTagActive[0], 0);
    view->OnClickedHongTag(); // Hong's window (5 s shorter) ended before: Hong may tag now
    EXPECT_EQ(Count(1, 1), 1);
}

// Cancel takes the side's last tag of the round back in any state and closes that side's window; it never
// takes a count below zero, and a round outside the record is left alone.
TEST_F(TeamTagsTest, CancelTakesTheLastTagBackButNotBelowZero) {
    md->nCurRound = 2;
    view->OnClickedHongTag();
    md->nGameState = 5;
    view->events.clear();
    view->OnClickedHongTagCancel();
    EXPECT_EQ(Count(1, 2), 0);
    EXPECT_EQ(view->m_bTagActive[1], 0);
    EXPECT_EQ(view->m_nTagStartMs[1], 0);
    EXPECT_EQ(view->m_bTagActive[0], 1); // the other side's window runs on
    EXPECT_EQ(view->events, std::vector<std::string>{"tagpanel 1 0 65000 0"});

    view->OnClickedHongTagCancel();
    view->OnClickedChungTagCancel();
    EXPECT_EQ(Count(1, 2), 0);
    EXPECT_EQ(Count(0, 2), 0);
    EXPECT_EQ(view->m_bTagActive[0], 0);

    md->nCurRound = kRoundNumberSlots;
    md->aSide[0].nTagCount[kRoundNumberSlots - 1] = 4;
    view->OnClickedChungTagCancel();
    EXPECT_EQ(md->aSide[0].nTagCount[kRoundNumberSlots - 1], 4);
}

// Without a match record the buttons do nothing.
TEST_F(TeamTagsTest, ButtonsWithoutARecordDoNothing) {
    MatchData* record = g_pMatchData;
    g_pMatchData = nullptr;
    view->OnClickedChungTag();
    view->OnClickedHongTagCancel();
    g_pMatchData = record;
    EXPECT_TRUE(view->events.empty());
    EXPECT_EQ(view->m_bTagActive[0], 0);
}

// The four buttons reach their handlers; the public scoreboard gets the flags and tag times.
TEST_F(TeamTagsTest, TheTagAndCancelButtonsWorkAndTheScoreboardFollows) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    EXPECT_EQ(view->Button(1130)->text().toStdString(), "C-TAG");
    view->Button(1130)->click();
    EXPECT_EQ(Count(0, 1), 1);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(0), 1);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(1), 1);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(0), 60000);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(1), 65000);

    view->Button(1284)->click();
    EXPECT_EQ(Count(0, 1), 0);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(0), 0);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(0), 0);

    view->Button(1287)->click(); // Chung's window is closed but Hong's still runs
    EXPECT_EQ(Count(1, 1), 0);
    view->Button(1288)->click();
    view->Button(1287)->click();
    EXPECT_EQ(Count(1, 1), 1);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(1), 60000);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(0), 65000);
}

} // namespace
