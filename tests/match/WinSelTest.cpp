// The winner selection dialog: its two layouts as a table with each row's decision kind and result code,
// the preselection, the round-win filter, and the dialog answered through its controls.
#include "match/DecisionRules.h"
#include "match/WinSelDlg.h"
#include "match/WinSelRules.h"
#include "tests/match/DialogHelpers.h"
#include "tests/match/RecordingView.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace DecisionRules;
using namespace WinSelRules;
using Lines = std::vector<std::string>;

namespace {

struct Expected {
    const char* text;
    int kind;
    int code;
};

const Expected kPTFRow{"(PTF) Final Score", kPTF, 1};
const Expected kPTGRow{"(PTG) Point Gap", kPTG, 2};
const Expected kGDPRow{"(GDP) Golden Points", kGDP, 6};
const Expected kRSCRow{"(RSC) Referee Stops Contest", kRSC, 3};
const Expected kSUPRow{"(SUP) Superiority", kSUP, 7};
const Expected kWDRRow{"(WDR) Withdrawal", kWDR, 8};
const Expected kDSQRow{"(DSQ) Disqualification", kDSQ, 10};
const Expected kPUNRow{"(PUN) Punitive Declaration", kPUN, 9};
const Expected kDQBRow{"(DQB) Disqualification for Unsportsmanlike Behavior", kDQB, 13};
const Expected kPTSRow{"(PTS) Point Ceiling", kPTS, 1};
const Expected kKOHead{"(KO) KO, Head", kRSC, 4};
const Expected kKOBody{"(KO) KO, Body", kRSC, 5};

} // namespace

TEST(WinSelRules, LayoutsBySupplierConnectionAndType) {
    struct Case {
        const char* what;
        int supplier, connected, type;
        std::vector<Expected> rows;
        int ceilingRule = 0; // bUsePointCeil
    };
    const std::vector<Expected> ordinary = {kPTFRow, kPTGRow, kGDPRow, kRSCRow, kSUPRow,
                                            kWDRRow, kDSQRow, kPUNRow, kDQBRow};
    std::vector<Expected> ordinaryCeiling = ordinary;
    ordinaryCeiling.push_back(kPTSRow);
    const std::vector<Expected> tournament = {kPTFRow, kRSCRow, kDSQRow, kPTGRow, kSUPRow, kKOHead,
                                              kKOBody, kPUNRow, kGDPRow, kWDRRow, kDQBRow};
    // With the ceiling the rows after it move down and keep their own kinds and codes.
    const std::vector<Expected> tournamentCeiling = {kPTFRow, kRSCRow, kDSQRow, kPTGRow, kSUPRow, kKOHead,
                                                     kKOBody, kPUNRow, kGDPRow, kPTSRow, kWDRRow, kDQBRow};
    const Case cases[] = {
        {"ordinary supplier", 0, 1, 0, ordinary},
        {"ordinary, judge-driven type: the ceiling last", 0, 0, 2, ordinaryCeiling},
        {"tournament database disconnected", 3, 0, 0, ordinary},
        {"tournament database connected", 3, 1, 0, tournament},
        {"tournament database, type 2: twelve rows", 3, 1, 2, tournamentCeiling},
        {"team match: no ceiling", 3, 1, 1, tournament},
        {"type 0 under the ceiling rule: the ceiling listed", 0, 0, 0, ordinaryCeiling, 1},
        {"team match under the ceiling rule", 3, 1, 1, tournamentCeiling, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto md = std::make_unique<MatchData>();
        md->nOvrSupplier = c.supplier;
        md->bOvrConnected = c.connected;
        md->nCompetitionType = c.type;
        md->bUsePointCeil = c.ceilingRule;
        const std::vector<Row> rows = Rows(UsesTournamentLayout(*md), ListsPointCeiling(*md));
        ASSERT_EQ(rows.size(), c.rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(rows[i].text.toStdString(), c.rows[i].text);
            EXPECT_EQ(rows[i].kind, c.rows[i].kind);
            EXPECT_EQ(rows[i].resultCode, c.rows[i].code);
        }
    }
}

TEST(WinSelRules, PreselectionFollowsTheKindNotThePosition) {
    const std::vector<Row> tournament = Rows(true, true);
    EXPECT_EQ(PreselectedRow(tournament, kWDR), 10); // not the ceiling at 9
    EXPECT_EQ(PreselectedRow(tournament, kPTS), 9);
    EXPECT_EQ(PreselectedRow(tournament, kRSC), 1); // the referee stop, not a KO
    EXPECT_EQ(PreselectedRow(tournament, kGDP), 8);
    EXPECT_EQ(PreselectedRow(tournament, kNoDecision), -1) << "no row stands in for a kind not listed";
    const std::vector<Row> ordinary = Rows(false, false);
    EXPECT_EQ(PreselectedRow(ordinary, kSUP), 4);
    EXPECT_EQ(PreselectedRow(ordinary, kPTS), -1) << "no ceiling listed: not the final score instead";
}

TEST(WinSelRules, RoundWinsAdmitFinalScoreStopsWithdrawalAndDisqualifications) {
    for (const bool tournament : {false, true}) {
        for (const Row& row : Rows(tournament, true)) {
            const bool admitted = row.kind == kPTF || row.kind == kRSC || row.kind == kWDR ||
                                  row.kind == kDSQ || row.kind == kDQB;
            EXPECT_EQ(AdmittedByRoundWins(row.kind), admitted) << row.text.toStdString();
        }
    }
    EXPECT_EQ(RoundWinRefusal(QStringLiteral("(PTG) Point Gap")).toStdString(),
              "Invalid Win Code for BEST OF 3!\r\n(PTG) Point Gap");
}

TEST(WinSelRules, ResultMarksOfTheTwoRows) {
    EXPECT_EQ(ResultMark(0, 0), "\xe2\x97\x8b"); // ○
    EXPECT_EQ(ResultMark(1, 0), "\xe2\x85\xa9"); // Ⅹ
    EXPECT_EQ(ResultMark(1, 1), "\xe2\x97\x8b");
    EXPECT_EQ(ResultMark(0, 1), "\xe2\x85\xa9");
}

class WinSelTest : public MatchTest {
protected:
    WinSelTest() {
        md->nCurRound = 2;
        md->nDecisionKind = kNoDecision;
        md->nWinSide = 0;
    }
    // Picks the row with the text and presses OK, once the dialog runs.
    static void Answer(const char* rowText, bool ok = true) {
        WhenModal([rowText, ok](QWidget& dlg) {
            auto* list = Child<QComboBox>(dlg, CTK_WinSelDlg::IDC_LIST);
            if (rowText)
                list->setCurrentIndex(list->findText(QString::fromUtf8(rowText)));
            Child<QPushButton>(dlg, ok ? CTK_WinSelDlg::IDC_OK : CTK_WinSelDlg::IDC_CANCEL)->click();
        });
    }
};

TEST_F(WinSelTest, OkStoresTheChosenDecisionForTheSide) {
    QString shownSide;
    QString preselected;
    WhenModal([&](QWidget& dlg) {
        shownSide = Child<QLabel>(dlg, CTK_WinSelDlg::IDC_SIDE)->text();
        auto* list = Child<QComboBox>(dlg, CTK_WinSelDlg::IDC_LIST);
        preselected = list->currentText();
        list->setCurrentIndex(list->findText(QStringLiteral("(DSQ) Disqualification")));
        Child<QPushButton>(dlg, CTK_WinSelDlg::IDC_OK)->click();
    });
    EXPECT_EQ(view->ChooseWinner(1, kSUP), IDOK);
    EXPECT_EQ(shownSide, "Hong");
    EXPECT_EQ(preselected, "(SUP) Superiority");
    EXPECT_EQ(md->nWinSide, 1);
    EXPECT_EQ(md->nDecisionKind, kDSQ);
    EXPECT_EQ(md->nWinRound, 2);
}

TEST_F(WinSelTest, CancelLeavesTheRecord) {
    Answer(nullptr, false);
    EXPECT_EQ(view->ChooseWinner(1, kPTF), IDCANCEL);
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nDecisionKind, kNoDecision);
    Answer(nullptr, false);
    EXPECT_FALSE(view->ConfirmRoundEndWinner(1, kSUP));
}

TEST_F(WinSelTest, RoundWinsRefuseAPointGapAndKeepTheDialogOpen) {
    md->nCompetitionRule = 1;
    WhenModal([](QWidget& dlg) {
        auto* list = Child<QComboBox>(dlg, CTK_WinSelDlg::IDC_LIST);
        auto* ok = Child<QPushButton>(dlg, CTK_WinSelDlg::IDC_OK);
        list->setCurrentIndex(list->findText(QStringLiteral("(PTG) Point Gap")));
        ok->click(); // refused: the dialog stays
        list->setCurrentIndex(list->findText(QStringLiteral("(WDR) Withdrawal")));
        ok->click();
    });
    EXPECT_EQ(view->ChooseWinner(0, kPTF), IDOK);
    EXPECT_EQ(prompter.texts(), Lines{"Invalid Win Code for BEST OF 3!\r\n(PTG) Point Gap"});
    EXPECT_EQ(md->nDecisionKind, kWDR);
}

TEST_F(WinSelTest, TheTournamentLayoutStoresTheKindOfARowAfterTheCeiling) {
    md->nOvrSupplier = 3;
    md->bOvrConnected = 1;
    md->nCompetitionType = 2;
    Answer("(WDR) Withdrawal");
    EXPECT_TRUE(view->ConfirmRoundEndWinner(0, kSUP));
    EXPECT_EQ(md->nDecisionKind, kWDR);
    Answer("(KO) KO, Body");
    EXPECT_TRUE(view->ConfirmRoundEndWinner(1, kSUP));
    EXPECT_EQ(md->nDecisionKind, kRSC);
    EXPECT_EQ(md->nWinSide, 1);
}
