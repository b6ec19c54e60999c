// The round result dialog: its counters and cascade as tables, and the dialog driven through its buttons
// and keys to the messages it posts.
#include "app/Messages.h"
#include "match/RoundResultDlg.h"
#include "match/RoundResultRules.h"
#include "match/ScoreRules.h"
#include "tests/match/DialogHelpers.h"
#include "tests/match/RecordingView.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace RoundResultRules;
using Lines = std::vector<std::string>;

namespace {

SideCounts Side(int total, int gamJeoms = 0, int turning = 0, int head = 0, int trunk = 0, int punch = 0,
                int pss = 0, int team = 0) {
    SideCounts c;
    c.total = total;
    c.gamJeoms = gamJeoms;
    c.turning = turning;
    c.head = head;
    c.trunk = trunk;
    c.punch = punch;
    c.pssHits = pss;
    c.team = team;
    return c;
}

} // namespace

TEST(RoundResultRules, CascadeTable) {
    struct Case {
        const char* what;
        SideCounts chung, hong;
        int limit;
        int winner, reason;
        bool popup;
        int popupWinner, criterion;
    };
    const Case cases[] = {
        {"Chung at the gam-jeom limit loses despite more points", Side(9, 5), Side(2), 5, kHong,
         kGamJeomLimit, false, 0, 0},
        {"Hong at the limit", Side(0), Side(9, 6), 5, kChung, kGamJeomLimit, false, 0, 0},
        {"both at the limit: Chung is tested first", Side(3, 5), Side(3, 5), 5, kHong, kGamJeomLimit, false,
         0, 0},
        {"a limit of 0 is off", Side(4, 3), Side(2), 0, kChung, kPoints, false, 0, 0},
        {"higher round total", Side(3), Side(4), 5, kHong, kPoints, false, 0, 0},
        {"equal totals, Chung one turning kick more", Side(4, 0, 1), Side(4), 5, kChung, kSuperiority, true,
         0, kTurning},
        {"the team row comes before turning kicks", Side(4, 0, 2, 0, 0, 0, 0, 0),
         Side(4, 0, 0, 0, 0, 0, 0, 1), 5, kHong, kSuperiority, true, 1, kTeamRow},
        {"then head", Side(4, 0, 1, 0), Side(4, 0, 1, 2), 5, kHong, kSuperiority, true, 1, kHeadCount},
        {"then trunk", Side(4, 0, 0, 0, 3), Side(4, 0, 0, 0, 1), 5, kChung, kSuperiority, true, 0,
         kTrunkCount},
        {"then punch", Side(4, 0, 0, 0, 0, 1), Side(4, 0, 0, 0, 0, 2), 5, kHong, kSuperiority, true, 1,
         kPunchCount},
        {"then the fewer gam-jeoms win", Side(4, 2), Side(4, 1), 5, kHong, kSuperiority, true, 1,
         kFewerGamJeoms},
        {"then the protector hits", Side(4, 0, 0, 0, 0, 0, 7), Side(4, 0, 0, 0, 0, 0, 6), 5, kChung,
         kSuperiority, true, 0, kPssHits},
        {"all equal: a draw", Side(4, 1, 1, 1, 1, 1, 1), Side(4, 1, 1, 1, 1, 1, 1), 5, kDraw, kDecideNow,
         true, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Counts counts;
        counts.side[0] = c.chung;
        counts.side[1] = c.hong;
        const Outcome out = Decide(counts, c.limit);
        EXPECT_EQ(out.winner, c.winner);
        EXPECT_EQ(out.reason, c.reason);
        EXPECT_EQ(out.showPopup, c.popup);
        if (c.popup) {
            EXPECT_EQ(out.popupWinner, c.popupWinner);
            EXPECT_EQ(out.criterion, c.criterion);
        }
    }
}

class RoundResultTest : public MatchTest {
protected:
    RoundResultTest() {
        md->nCompetitionRule = 1;
        md->nGamJeom = 5;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
    }
    // A dialog of the standard creators (winner 0, reason 11) over round index r.
    CTK_RndResDlg* Open(int r) {
        auto* dlg = new CTK_RndResDlg(r, 0, kDecideNow, nullptr);
        dlg->show();
        return dlg;
    }
    static QString Text(const CTK_RndResDlg& dlg, int id) {
        if (auto* edit = Child<QLineEdit>(dlg, id))
            return edit->text();
        return Child<QLabel>(dlg, id)->text();
    }
    ViewStandIn stand;
};

TEST_F(RoundResultTest, TheCountersOfTheRoundSideBySide) {
    TTK_SideScore& chung = md->aSide[0];
    TTK_SideScore& hong = md->aSide[1];
    const int r = 1;
    chung.nRoundScore[r] = 6;
    hong.nRoundPenaltyPoints1[r] = 1;
    hong.nRoundPenaltyPoints2[r] = 2;
    hong.nRoundPenalty1[r] = 1;
    hong.nRoundPenalty2[r] = 1;
    chung.nTechTally[ScoreRules::kHeadCount][r] = 3;
    chung.nTechTally[ScoreRules::kHeadTechCount][r] = 1; // a head technique is not a plain head kick
    chung.nTechTally[ScoreRules::kTrunkCount][r] = 2;
    chung.nTechTally[ScoreRules::kPunchCount][r] = 4;
    chung.nTechTally[ScoreRules::kTechTotal][r] = 1;
    chung.nPssHits[r + 1] = 11;
    hong.nRoundScore[r] = 9;
    CTK_RndResDlg* dlg = Open(r);
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_TITLE), "2 Round Results");
    const std::pair<int, const char*> chungValues[] = {
        {CTK_RndResDlg::IDC_TOTAL_CHUNG, "9"},       {CTK_RndResDlg::IDC_GAMJEOM_CHUNG, "0"},
        {CTK_RndResDlg::IDC_OPP_GAMJEOM_CHUNG, "2"}, {CTK_RndResDlg::IDC_HEAD_CHUNG, "2"},
        {CTK_RndResDlg::IDC_TRUNK_CHUNG, "2"},       {CTK_RndResDlg::IDC_PUNCH_CHUNG, "4"},
        {CTK_RndResDlg::IDC_TURNING_CHUNG, "1"},     {CTK_RndResDlg::IDC_PSS_CHUNG, "11"},
    };
    for (const auto& [id, want] : chungValues)
        EXPECT_EQ(Text(*dlg, id), want) << id;
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_TOTAL_HONG), "9");
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_GAMJEOM_HONG), "2");
    // Equal totals: Chung's turning kick decides, and the round-winner pop-up is asked for.
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_WINNER), "WINNER : BLUE");
    EXPECT_FALSE(Child<QCheckBox>(*dlg, CTK_RndResDlg::IDC_SUP_CHUNG)->isVisible());
    Child<QPushButton>(*dlg, CTK_RndResDlg::IDOK)->click();
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"151 0 1", "125 1 4", "126 0 0"}));
}

TEST_F(RoundResultTest, ADrawNeedsExactlyOneSuperiorityBox) {
    CTK_RndResDlg* dlg = Open(0);
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_WINNER), "DRAW");
    auto* chungSup = Child<QCheckBox>(*dlg, CTK_RndResDlg::IDC_SUP_CHUNG);
    auto* hongSup = Child<QCheckBox>(*dlg, CTK_RndResDlg::IDC_SUP_HONG);
    ASSERT_TRUE(chungSup->isVisible());
    auto* confirm = Child<QPushButton>(*dlg, CTK_RndResDlg::IDOK);
    confirm->click(); // neither
    chungSup->setChecked(true);
    hongSup->setChecked(true);
    confirm->click(); // both
    Pump();
    EXPECT_EQ(prompter.texts(),
              (Lines{"Please select one winner of this round!", "Please select one winner of this round!"}));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(stand.messages, Lines{"151 2 0"});
    chungSup->setChecked(false);
    confirm->click();
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"151 2 0", "125 2 4", "126 0 0"}));
}

TEST_F(RoundResultTest, CancelAndEscapeCloseWithoutADecision) {
    md->aSide[0].nRoundPenalty1[0] = 5; // Chung at the limit: Hong's round
    CTK_RndResDlg* dlg = Open(0);
    Child<QPushButton>(*dlg, CTK_RndResDlg::IDCANCEL)->click();
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"152 1 1", "126 0 0"}));

    stand.messages.clear();
    dlg = Open(0);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dlg, &esc);
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"152 1 1", "126 0 0"}));
}

TEST_F(RoundResultTest, TheSpaceBarDoesNothing) {
    md->aSide[0].nRoundScore[0] = 3;
    CTK_RndResDlg* dlg = Open(0);
    auto* confirm = Child<QPushButton>(*dlg, CTK_RndResDlg::IDOK);
    confirm->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(confirm, &press);
    QApplication::sendEvent(confirm, &release);
    Pump();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(stand.messages.empty());
    // Enter still confirms.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(confirm, &enter);
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"125 1 0", "126 0 0"}));
}

TEST_F(RoundResultTest, AProposedWinnerIsShownWithoutTheCascade) {
    auto* dlg = new CTK_RndResDlg(0, kHong, kGamJeomLimit, nullptr);
    dlg->show();
    EXPECT_EQ(Text(*dlg, CTK_RndResDlg::IDC_WINNER), "WINNER : RED");
    Child<QPushButton>(*dlg, CTK_RndResDlg::IDOK)->click();
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"125 2 1", "126 0 0"}));
}
