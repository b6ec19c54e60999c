// A round-win match played through the program's own handlers, clock and dialogs: round 1 won on points,
// round 2 drawn and given by superiority, then the decision confirmed in the winner selection, with every
// dialog answered through its controls.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/RoundResultDlg.h"
#include "match/ScoreRules.h"
#include "match/WinSelDlg.h"
#include "match/WinnerDisplayDlg.h"
#include "platform/TickSource.h"
#include "tests/match/DialogHelpers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// The operator view with nothing replaced but the WT notices, which it records.
class MatchView : public CMainWnd {
public:
    std::vector<std::string> wt;
    void SendWtMessage(int target, int code, int side, int value) override {
        wt.push_back(std::to_string(target) + " " + std::to_string(code) + " " + std::to_string(side) + " " +
                     std::to_string(value));
    }
};

class RoundWinMatchTest : public ::testing::Test {
protected:
    RoundWinMatchTest() : m_savedAppDir(g_strAppDir), m_savedMain(g_hMainWnd) {
        g_strAppDir = home.widePath();
        CreateMatchData();
        md = g_pMatchData;
        md->nRound = 3;
        md->nMatchTime = 120;
        md->nRestTime = 60;
        md->nKyeShiTime = 60;
        md->nCompetitionRule = 1;
        md->nGamJeom = 5;
        md->nEBPPoint = 2;
        md->nEHPPoint = 3;
        md->nOvrSupplier = 6;
        md->nGameState = 1;
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        std::strcpy(md->szContestNo, "101");
        std::strcpy(md->aPlayer[0].szName, "KIM Minjun");
        std::strcpy(md->aPlayer[0].szNationCode, "KOR");
        std::strcpy(md->aPlayer[1].szName, "SMITH John");
        std::strcpy(md->aPlayer[1].szNationCode, "GBR");
        view = std::make_unique<MatchView>();
        g_hMainWnd = view->GetSafeHwnd();
    }
    ~RoundWinMatchTest() override {
        view.reset();
        g_hMainWnd = m_savedMain;
        FreeMatchData();
        g_strAppDir = m_savedAppDir;
    }

    // Runs the round clock down to its end; the round result dialog opens as the rest begins.
    CTK_RndResDlg& PlayOutRound() {
        clock.advance(md->nMatchTime * 1000 + 100);
        Pump();
        EXPECT_EQ(md->nGameState, 5);
        EXPECT_FALSE(view->m_pRndResDlg.isNull());
        return *view->m_pRndResDlg;
    }

    TempHome home;
    ScriptedPrompter prompter{IDYES};
    platform::ManualTime clock{1000};
    MatchData* md = nullptr;
    std::unique_ptr<MatchView> view;

private:
    std::u16string m_savedAppDir;
    HWND m_savedMain;
};

} // namespace

TEST_F(RoundWinMatchTest, FromRoundOneToADecision) {
    // Round 1: Chung's trunk kick wins it on points.
    view->OnClickedStart();
    ASSERT_EQ(md->nCurRound, 1);
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_TRUE(view->AddPoint(view->m_strClockText, ScoreRules::kDevice, 0, ScoreRules::kTrunk, -1, 2));
    CTK_RndResDlg& round1 = PlayOutRound();
    EXPECT_EQ(Child<QLabel>(round1, CTK_RndResDlg::IDC_WINNER)->text(), "WINNER : BLUE");
    Child<QPushButton>(round1, CTK_RndResDlg::IDOK)->click();
    Pump();
    EXPECT_EQ(md->nRoundWinner[0], 1);
    EXPECT_EQ(md->aSide[0].nRoundWins, 1);
    EXPECT_TRUE(view->m_pRndResDlg.isNull());

    // Round 2: nothing scored, a draw; the operator gives it to Chung by superiority.
    view->NextRound();
    ASSERT_EQ(md->nCurRound, 2);
    ASSERT_EQ(md->nGameState, 3);
    CTK_RndResDlg& round2 = PlayOutRound();
    EXPECT_EQ(Child<QLabel>(round2, CTK_RndResDlg::IDC_WINNER)->text(), "DRAW");
    Child<QPushButton>(round2, CTK_RndResDlg::IDOK)->click(); // no box ticked: refused
    EXPECT_EQ(prompter.texts().back(), "Please select one winner of this round!");
    Child<QCheckBox>(round2, CTK_RndResDlg::IDC_SUP_CHUNG)->setChecked(true);
    Child<QPushButton>(round2, CTK_RndResDlg::IDOK)->click();
    Pump();
    EXPECT_EQ(md->nRoundWinner[1], 1);
    EXPECT_EQ(md->nRoundReason[1], 4);
    EXPECT_EQ(md->aSide[0].nRoundWins, 2);

    // Two rounds won: the Chung winner button proposes the final score, and the operator confirms it.
    QString proposed;
    WhenModal([&proposed](QWidget& dialog) {
        proposed = Child<QComboBox>(dialog, CTK_WinSelDlg::IDC_LIST)->currentText();
        Child<QPushButton>(dialog, CTK_WinSelDlg::IDC_OK)->click();
    });
    view->OnClickedChungWinner();
    EXPECT_EQ(proposed, "(PTF) Final Score");
    EXPECT_EQ(md->nGameState, 11);
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nDecisionKind, 0);
    EXPECT_EQ(md->nWinRound, 2);
    EXPECT_EQ(view->wt.back(), "0 9 0 0");
    ASSERT_FALSE(view->m_pWinDispDlg.isNull());
    EXPECT_EQ(Child<QLabel>(*view->m_pWinDispDlg, WinnerDisplay::IDC_NAME)->text(), "KIM Minjun (KOR)");
    EXPECT_EQ(WinnerDisplayRules::Scores(*md), std::make_pair(2, 0));
}
