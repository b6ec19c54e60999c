// Decisions on a court as the operator takes them, through the program's own buttons, keys and dialogs:
// a decision once the match is finished, Winner Cancel and what follows it, a new match over a decided one,
// and under the round-win system the round result dialog while the scores change or the match is decided,
// and a decision in the rest. Each flow checks the match row of the local database, the result file where
// the match has one, and what the operator screen and the public scoreboard show.
#include "tests/e2e/Court.h"

#include "app/FileWriter.h"
#include "app/MyListCtrl.h"
#include "links/ExtItfWnd.h"
#include "match/RoundResultDlg.h"
#include "match/SuDlg.h"
#include "match/WinSelDlg.h"
#include "registration/RegDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// Rows of the winner selection (ordinary list).
constexpr int kPTFRow = 0;
constexpr int kRSCRow = 3;
constexpr int kWDRRow = 5;

constexpr int kChungTrunkAdd = 1120;
constexpr int kChungTrunkRemove = 1143;
constexpr int kHongTrunkAdd = 1129;

const std::string kNoMatch = "No match is loaded.\r\nPlease load the match before deciding its winner.";

class DecisionCourt : public Court {
protected:
    // The result windows up on either screen (winner displays, decision and round pop-ups), by class.
    static Names ResultWindowsShown() {
        Names shown;
        for (const QWidget* w : QApplication::topLevelWidgets()) {
            const std::string name = w->metaObject()->className();
            if (w->isVisible() && (name.starts_with("CTK_Win") || name.starts_with("CTK_GRnd")))
                shown.push_back(name);
        }
        std::sort(shown.begin(), shown.end());
        return shown;
    }
    // The winner selection: `row` chosen by the keys of its list, then OK.
    static void SelectDecision(int row) {
        WhenModal<CTK_WinSelDlg>([row](CTK_WinSelDlg& dialog) {
            auto* list = static_cast<QComboBox*>(Child(dialog, CTK_WinSelDlg::IDC_LIST));
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Home);
            for (int i = 0; i < row; ++i)
                QTest::keyClick(list, Qt::Key_Down);
            Click(Child(dialog, CTK_WinSelDlg::IDC_OK));
        });
    }
    // A winner button pressed and the decision of `row` confirmed in the selection.
    void Decide(int button, int row) {
        SelectDecision(row);
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(button)));
        Deliver();
    }
    // A point by the operator's button: the clock stopped by the key, the button, the clock running again.
    void OperatorPoint(int button) {
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 8);
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(button)));
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 3);
    }
    std::string Win() const {
        const auto rows = Rows("SELECT coalesce(win, '') FROM GAMET");
        return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
    }
    // The text of the round column of a side's event list, row by row.
    std::string HistoryRounds(int list) const {
        const QTableWidget* table = view->EventList(list);
        std::string rounds;
        for (int row = 0; row < table->rowCount(); ++row)
            rounds += table->item(row, 1) ? table->item(row, 1)->text().toStdString() : "?";
        return rounds;
    }
    void PlayedCourt(int rule) {
        ASSERT_NO_FATAL_FAILURE(Configure(3, rule));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }
};

// ---- the points system ----

class PointsDecision : public DecisionCourt {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(PlayedCourt(0));
    }
};

TEST_F(PointsDecision, AWinnerButtonAfterFinishDecidesNothingAndSaysWhy) {
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(2000);
    ASSERT_NO_FATAL_FAILURE(OperatorPoint(kChungTrunkAdd));
    Scores({2, 0});
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::ChungWinner, kRSCRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(Win(), "C.WIN((RSC) Referee Stop Contest)");
    EXPECT_EQ(ResultWindowsShown(), Names{"CTK_WinDispDlg"});

    prompter.answer(IDYES); // "Do you want finish the game?"
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::FinishGame)));
    ASSERT_EQ(md->nGameState, 0);
    EXPECT_EQ(ResultWindowsShown(), Names{});

    // Either winner button now: no selection opens (the watch would answer one), the box says why.
    bool selectionOpened = false;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = dynamic_cast<CTK_WinSelDlg*>(QApplication::activeModalWidget())) {
            selectionOpened = true;
            dialog->reject();
        }
    });
    watch.start();
    for (const int button : {OperatorIds::HongWinner, OperatorIds::ChungWinner}) {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(button)));
        Deliver();
        EXPECT_EQ(prompter.texts().back(), kNoMatch) << button;
    }
    EXPECT_FALSE(selectionOpened);
    EXPECT_EQ(md->nGameState, 0);
    EXPECT_EQ(Win(), "C.WIN((RSC) Referee Stop Contest)") << "the finished match keeps its decision";
    EXPECT_EQ(ResultWindowsShown(), Names{});
    EXPECT_FALSE(view->m_pExtScrDlg->isHidden());
}

TEST_F(PointsDecision, AWithdrawalBeforeTheStartCancelledThenStartPlaysRoundOne) {
    ASSERT_EQ(md->nGameState, 1);
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::ChungWinner, kWDRRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(Win(), "C.WIN((WDR) Withdrawal)");
    EXPECT_EQ(ResultWindowsShown(), Names{"CTK_WinDispDlg"});

    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::WinnerCancel)));
    EXPECT_EQ(md->nGameState, 1);
    EXPECT_EQ(Win(), "") << "the cancelled decision leaves the match row";
    EXPECT_EQ(ResultWindowsShown(), Names{});
    EXPECT_TRUE(view->Button(OperatorIds::WinnerCancel)->isHidden());

    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(md->nCurRound, 1);
    EXPECT_EQ(view->m_strRoundText, u"1") << "the round number the operator screen paints";
    Advance(2000);
    ASSERT_NO_FATAL_FAILURE(OperatorPoint(kChungTrunkAdd));
    Scores({2, 0});
    EXPECT_EQ(HistoryRounds(OperatorIds::EventListChung), "1");
    EXPECT_EQ(md->aSide[0].nRoundScore[0], 2);
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 2);
}

// ---- a match handed over as a match-input file, with its result file ----

constexpr int kFileSupplier = 5;

std::string InputFile(const std::string& match, const std::string& blue, const std::string& red) {
    return "[Match_Input]\nmatch=" + match + "\nvma_key=V-" + match + "\nblue_name=" + blue +
           "\nblue_id=B7\nblue_flag=KOR\nred_name=" + red +
           "\nred_id=R9\nred_flag=GBR\ngender=male\nweight=-68 kg\nbody_level=20\nhead_level=10\n"
           "[Timing]\nround_time=30\nrest_time=10\n";
}

class MatchInputDecision : public DecisionCourt {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(UseMatchInputFiles());
        ASSERT_NO_FATAL_FAILURE(LoadFile("A-0012", InputFile("12", "KIM MINJUN", "ROSS")));
        ASSERT_STREQ(md->szContestNo, "12");
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }
    void UseMatchInputFiles() {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1249)));
        CTK_SuDlg* dialog = view->m_pSuDlg;
        ASSERT_NE(dialog, nullptr);
        QTabBar* tabs = dialog->Tabs()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        auto* supplier =
            dialog->ExternalTab()->findChild<QComboBox*>(QString::number(CTK_ExtItfWnd::OvrSupplier));
        ASSERT_NE(supplier, nullptr);
        supplier->setFocus();
        QTest::keyClick(supplier, Qt::Key_Home);
        for (int i = 0; i < kFileSupplier; ++i)
            QTest::keyClick(supplier, Qt::Key_Down);
        ASSERT_NO_FATAL_FAILURE(
            Click(dialog->ExternalTab()->findChild<QWidget*>(QString::number(CTK_ExtItfWnd::OvrOpen))));
        ASSERT_EQ(md->bOvrConnected, 1);
        ASSERT_NO_FATAL_FAILURE(Click(dialog->findChild<QWidget*>(QString::number(CTK_SuDlg::IDOK_))));
        ASSERT_TRUE(Until([&] { return view->m_pSuDlg.isNull() || !view->m_pSuDlg->isVisible(); }));
    }
    // The file written into the program folder, then picked with the registration's "Load VM File".
    void LoadFile(const std::string& name, const std::string& text) {
        const QString path = QString::fromStdString(folder + name + ".ini");
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text.data(), static_cast<qint64>(text.size()));
        }
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::Registration)));
        CTK_RegDlg* dialog = view->m_pRegDlg;
        ASSERT_NE(dialog, nullptr);
        WhenModal<QFileDialog>([path](QFileDialog& files) {
            files.selectFile(path);
            auto* buttons = files.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            Click(buttons->button(QDialogButtonBox::Open));
        });
        ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1290)));
    }
    // The result file once the file writer wrote what it was given.
    std::string ResultFile(const std::string& name) const {
        EXPECT_TRUE(TheFileWriter().WaitIdle(20000));
        QFile file(QString::fromStdString(folder + "Result/" + name + "-res.ini"));
        if (!file.open(QIODevice::ReadOnly))
            return "<none>";
        return file.readAll().toStdString();
    }
    // Round 1 with a trunk kick for Chung, stopped by the key.
    void PlayAndStop() {
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
        Advance(2000);
        ASSERT_TRUE(fake.SendHit("HV", 25, kSock));
        Scores({2, 0});
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 8);
    }
};

const std::string kChungRsc = "[Match_Result]\r\nmatch=12\r\nvma_key=V-12\r\n"
                              "winner=\"Blue - KIM MINJUN - B7\"\r\nscore=\"2 - 0\"\r\nresult_type=RSC\r\n";
const std::string kNoResult = "[Match_Result]\r\nmatch=12\r\nvma_key=V-12\r\n"
                              "winner=\"\"\r\nscore=\"2 - 0\"\r\nresult_type=NONE\r\n";

TEST_F(MatchInputDecision, WinnerCancelTakesTheDecisionOutOfTheRowAndTheResultFileAndFinishKeepsThatSo) {
    ASSERT_NO_FATAL_FAILURE(PlayAndStop());
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::ChungWinner, kRSCRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(Win(), "C.WIN((RSC) Referee Stop Contest)");
    EXPECT_EQ(ResultFile("A-0012"), kChungRsc);

    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::WinnerCancel)));
    EXPECT_EQ(md->nGameState, 7);
    EXPECT_EQ(Win(), "");
    EXPECT_EQ(ResultFile("A-0012"), kNoResult) << "the peer reads that the match has no result";
    EXPECT_EQ(ResultWindowsShown(), Names{});

    prompter.answer(IDYES);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::FinishGame)));
    ASSERT_EQ(md->nGameState, 0);
    EXPECT_EQ(Win(), "");
    EXPECT_EQ(ResultFile("A-0012"), kNoResult);
}

TEST_F(MatchInputDecision, TheNextMatchLoadedOverADecidedOneClosesEveryResultWindow) {
    ASSERT_NO_FATAL_FAILURE(PlayAndStop());
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::ChungWinner, kRSCRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(ResultWindowsShown(), Names{"CTK_WinDispDlg"});
    EXPECT_EQ(ResultFile("A-0012"), kChungRsc);

    ASSERT_NO_FATAL_FAILURE(LoadFile("A-0013", InputFile("13", "PARK JIHO", "EVANS")));
    ASSERT_STREQ(md->szContestNo, "13");
    CloseRegistration();
    EXPECT_EQ(md->nGameState, 1);
    EXPECT_EQ(ResultWindowsShown(), Names{}) << "the arena sees no winner of the last match";
    EXPECT_TRUE(view->Button(OperatorIds::WinnerCancel)->isHidden());
    Scores({0, 0});
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 0);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 0);
    // The decided match keeps its row and result; the new one has neither yet.
    EXPECT_EQ(ResultFile("A-0012"), kChungRsc);
    EXPECT_EQ(ResultFile("A-0013"), "<none>");
    EXPECT_EQ(Rows("SELECT gameno, coalesce(win, '') FROM GAMET"),
              Names{"12|C.WIN((RSC) Referee Stop Contest)"});
}

// ---- the round-win system ----

class RoundWinDecision : public DecisionCourt {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(PlayedCourt(1));
        ASSERT_EQ(md->nCompetitionRule, 1);
        roundMs = static_cast<unsigned>(md->nMatchTime) * 1000;
    }
    std::pair<std::string, std::string> RoundWinsShown() const {
        return {view->Static(OperatorIds::RoundWinsChung)->text().toStdString(),
                view->Static(OperatorIds::RoundWinsHong)->text().toStdString()};
    }
    // The round clock run out (after `played` ms of the round): the round result dialog opens.
    CTK_RndResDlg* EndOfRound(unsigned played) { return RoundResultAfter(roundMs - played + 1000); }
    // A round with one trunk kick by the button of `add`, to its result dialog.
    CTK_RndResDlg* RoundWithKick(int add) {
        Key(Qt::Key_Space);
        EXPECT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
        Advance(2000);
        OperatorPoint(add);
        return EndOfRound(2000);
    }
    unsigned roundMs = 0;
};

TEST_F(RoundWinDecision, APointTakenBackWhileTheRoundResultIsOpenIsWhatItShowsAndConfirms) {
    CTK_RndResDlg* result = RoundWithKick(kChungTrunkAdd);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TOTAL_CHUNG), "2:0");
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : BLUE");

    // The operator takes the kick back in the rest: the open dialog shows what the screens show.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kChungTrunkRemove)));
    Scores({0, 0});
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 0);
    ASSERT_EQ(view->m_pRndResDlg, result);
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TOTAL_CHUNG), "0:0");
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "DRAW");
    EXPECT_TRUE(Child(*result, CTK_RndResDlg::IDC_SUP_HONG)->isVisible());

    ASSERT_NO_FATAL_FAILURE(Click(Child(*result, CTK_RndResDlg::IDC_SUP_HONG)));
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    EXPECT_EQ(md->nRoundWinner[0], 2) << "the round goes to the side the operator chose";
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"0", "1"}));
}

TEST_F(RoundWinDecision, ADecisionWithTheRoundResultOpenClosesItAndTheMatchStaysDecided) {
    CTK_RndResDlg* result = RoundWithKick(kChungTrunkAdd);
    ASSERT_NE(result, nullptr);
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::HongWinner, kRSCRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_TRUE(Until([&] { return view->m_pRndResDlg.isNull(); })) << "no confirm is left to reopen it";
    EXPECT_EQ(Win(), "H.WIN((RSC) Referee Stop Contest)");

    // The rest runs out and Space is pressed: no round 2 of a decided match.
    Advance(61000);
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 11);
    EXPECT_EQ(md->nCurRound, 1);
    EXPECT_TRUE(view->m_pRndResDlg.isNull());
}

TEST_F(RoundWinDecision, AWithdrawalInTheRestAfterOneRoundEachTakesRoundThreeNotRoundTwo) {
    CTK_RndResDlg* result = RoundWithKick(kChungTrunkAdd);
    ASSERT_NE(result, nullptr);
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    Advance(61000);
    ASSERT_EQ(md->nGameState, 6);
    result = RoundWithKick(kHongTrunkAdd);
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(md->nCurRound, 2);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : RED");
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    ASSERT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"1", "1"}));

    // In the rest Hong withdraws: Chung wins by WDR; round 2 stays Hong's.
    ASSERT_EQ(md->nGameState, 5);
    ASSERT_NO_FATAL_FAILURE(Decide(OperatorIds::ChungWinner, kWDRRow));
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(md->nRoundWinner[0], 1);
    EXPECT_EQ(md->nRoundWinner[1], 2);
    EXPECT_EQ(md->nRoundWinner[2], 1);
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"2", "1"}));
    EXPECT_EQ(Win(), "C.WIN((WDR) Withdrawal)");

    // Cancelled: the rounds are as they were, the match waits in the rest.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::WinnerCancel)));
    EXPECT_EQ(md->nRoundWinner[2], 0);
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"1", "1"}));
    EXPECT_EQ(Win(), "");
    EXPECT_TRUE(md->nGameState == 5 || md->nGameState == 6) << md->nGameState;
}

TEST_F(RoundWinDecision, TwoRoundsWonAndTheRestRunOutProposesTheFinalScore) {
    for (int round = 1; round <= 2; ++round) {
        CTK_RndResDlg* result = RoundWithKick(kChungTrunkAdd);
        ASSERT_NE(result, nullptr) << round;
        ASSERT_NO_FATAL_FAILURE(Confirm(*result));
        Advance(61000);
        ASSERT_EQ(md->nGameState, 6);
    }
    ASSERT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"2", "0"}));
    // The operator only presses OK: what the selection proposed is recorded.
    int proposed = -1;
    WhenModal<CTK_WinSelDlg>([&](CTK_WinSelDlg& dialog) {
        proposed = dialog.List()->currentIndex();
        Click(Child(dialog, CTK_WinSelDlg::IDC_OK));
    });
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::ChungWinner)));
    Deliver();
    EXPECT_EQ(proposed, kPTFRow);
    ASSERT_EQ(md->nGameState, 11);
    EXPECT_EQ(Win(), "C.WIN((PTF) Final Score)");
    EXPECT_EQ(prompter.texts(), Names{}) << "no refusal of the proposal";
}

} // namespace
