// The equipment test: the tile board on its own, then the mode on the real view with its screens.
#include "app/Messages.h"
#include "app/Timers.h"
#include "devices/PssTestBoard.h"
#include "devices/PssTestDlg.h"
#include "tests/match/JudgeFixture.h"
#include "tests/platform/EventPump.h"

#include <QCoreApplication>
#include <QImage>
#include <QPushButton>

#include <string>

namespace {

TEST(PssTestBoardTest, HitsAndPressesLightTheirTilesAndNothingElse) {
    PssTestBoard board;
    EXPECT_TRUE(board.Update(2, "31", 3));
    EXPECT_TRUE(board.sensorLit[2]);
    EXPECT_EQ(board.sensorValue[2], 31);
    EXPECT_TRUE(board.Update(24, "12", 3));
    EXPECT_TRUE(board.punchLit[1]);

    EXPECT_TRUE(board.Update(20, "2,6", 3)); // judge 1: Chung middle, Hong middle
    EXPECT_TRUE(board.chungButton[0][1]);
    EXPECT_TRUE(board.hongButton[0][1]);
    EXPECT_FALSE(board.judgeLit[1]);
    EXPECT_TRUE(board.Update(21, "0,6", 3));
    EXPECT_TRUE(board.Update(22, "0,6", 3));
    EXPECT_TRUE(board.judgeLit[1]); // every judge pressed the middle button
    EXPECT_FALSE(board.judgeLit[0]);

    const PssTestBoard before = board;
    struct Case {
        int tile;
        const char* text;
    } const outside[] = {{4, "10"}, {19, "1,5"}, {25, "3"}, {-1, "3"},    {20, "4,8"}, {20, "0,0"},
                         {21, "x"}, {0, "abc"},  {0, ""},   {22, "9,10"}, {1, "5x"}};
    for (const Case& c : outside)
        EXPECT_FALSE(board.Update(c.tile, c.text, 3)) << c.tile << " " << c.text;
    EXPECT_EQ(std::memcmp(&before, &board, sizeof board), 0);

    PssTestBoard one;
    EXPECT_TRUE(one.Update(20, "0,7", 1)); // one judge in use: that judge alone lights the tile
    EXPECT_TRUE(one.judgeLit[2]);
}

class EquipmentTestTest : public JudgeTest {
protected:
    EquipmentTestTest() {
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        md->bStandAloneMode = 1;
        prompter.answer(IDYES);
    }
};

TEST_F(EquipmentTestTest, HitsAndPressesLightBothScreensInsteadOfScoring) {
    md->nGameState = 8;
    view->OnClickedEquipmentTest();
    ASSERT_EQ(md->nGameState, 13);
    ASSERT_NE(view->m_pPssTestDlg, nullptr);
    ASSERT_NE(view->m_pPssTestDlgOp, nullptr);
    EXPECT_TRUE(view->Button(1243)->isChecked());

    int flag = 0;
    view->OnTrunkHit(1, "valid,25,0,12", &flag); // a hit on Chung's trunk protector
    view->OnJudgeInput(1, "3,7", &flag);
    for (const PssTestScreen* screen : {static_cast<PssTestScreen*>(view->m_pPssTestDlg),
                                        static_cast<PssTestScreen*>(view->m_pPssTestDlgOp)}) {
        EXPECT_TRUE(screen->Board().sensorLit[0]);
        EXPECT_EQ(screen->Board().sensorValue[0], 25);
        EXPECT_TRUE(screen->Board().chungButton[1][2]);
        EXPECT_TRUE(screen->Board().hongButton[1][2]);
    }
    EXPECT_EQ(md->aSide[0].nScore + md->aSide[1].nScore, 0);
    EXPECT_TRUE(view->CheckEquipmentTestMode());
    EXPECT_EQ(prompter.texts().back(), "Current mode is Equipment Test Mode.\r\nPlease use this function, "
                                       "after exiting Equipment Test Mode.");

    // REFRESH on the operator's copy clears both screens.
    view->m_pPssTestDlgOp->OnClickedRefresh();
    EXPECT_FALSE(view->m_pPssTestDlgOp->Board().sensorLit[0]);
    EXPECT_FALSE(view->m_pPssTestDlg->Board().sensorLit[0]);

    QImage shot(1920, 1080, QImage::Format_RGB32);
    view->OnTrunkHit(0, "valid,40,0,12", &flag);
    view->m_pPssTestDlg->render(&shot);
    EXPECT_FALSE(shot.isNull());

    // CLOSE leaves the mode after the question.
    prompter.answer(IDYES);
    view->m_pPssTestDlgOp->OnClickedClose();
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_EQ(view->m_pPssTestDlg, nullptr);
    EXPECT_EQ(view->m_pPssTestDlgOp, nullptr);
    EXPECT_FALSE(view->Button(1243)->isChecked());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(view->CheckEquipmentTestMode());
}

TEST_F(EquipmentTestTest, OneMonitorWithoutStandAloneChangesOnlyTheMode) {
    md->nMonitorCount = 1;
    md->bStandAloneMode = 0;
    md->nGameState = 1;
    view->OnClickedEquipmentTest();
    EXPECT_EQ(md->nGameState, 13);
    EXPECT_EQ(view->m_pPssTestDlg, nullptr);
    EXPECT_EQ(view->m_pPssTestDlgOp, nullptr);
    prompter.answer(IDNO); // "No" keeps the mode
    view->OnClickedEquipmentTest();
    EXPECT_EQ(md->nGameState, 13);
    EXPECT_TRUE(view->Button(1243)->isChecked());
    prompter.answer(IDYES);
    view->OnClickedEquipmentTest();
    EXPECT_EQ(md->nGameState, 1);
}

TEST_F(EquipmentTestTest, ARunningClockComesBackStoppedAfterTheTest) {
    struct Case {
        const char* name;
        int state;
        UINT_PTR timer;
        int saved; // the state an injury count or time-out interrupted; 0 none
        int back;
    } const cases[] = {
        {"running round", 3, TIMER_ROUND_CLOCK, 0, 8},
        {"injury count in a running round", 9, TIMER_KYESHI_CLOCK, 3, 8},
        {"coach time-out", 10, TIMER_TIMEOUT_CLOCK, 8, 8},
        {"stopped round", 8, 0, 0, 8},
        {"injury count between rounds", 15, TIMER_KYESHI_CLOCK, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nGameState = c.state;
        md->nRemainTime = 45000;
        if (c.timer)
            view->SetTimer(c.timer, c.timer == TIMER_ROUND_CLOCK ? 10 : 1000);
        view->m_bSaved = c.saved ? 1 : 0;
        view->m_nSavedState = c.saved;
        view->m_nSavedRemain = 61000;
        prompter.answer(IDYES);
        view->OnClickedEquipmentTest();
        ASSERT_EQ(md->nGameState, 13);
        EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
        EXPECT_FALSE(Armed(TIMER_KYESHI_CLOCK));
        EXPECT_FALSE(Armed(TIMER_TIMEOUT_CLOCK));
        clock.advance(3000); // nothing moves during the test
        EXPECT_EQ(md->nGameState, 13);
        prompter.answer(IDYES);
        view->OnClickedEquipmentTest();
        EXPECT_EQ(md->nGameState, c.back);
        EXPECT_EQ(md->nRemainTime, c.saved ? 61000 : 45000);
        EXPECT_FALSE(Armed(TIMER_ROUND_CLOCK));
    }
}

TEST_F(EquipmentTestTest, ARestGoesOnAfterTheTest) {
    md->nGameState = 5;
    view->m_nRestCount = 20;
    view->SetTimer(TIMER_REST_CLOCK, 1000);
    view->OnClickedEquipmentTest();
    EXPECT_FALSE(Armed(TIMER_REST_CLOCK));
    prompter.answer(IDYES);
    view->OnClickedEquipmentTest();
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_TRUE(Armed(TIMER_REST_CLOCK));

    view->KillTimer(TIMER_REST_CLOCK);
    view->m_nRestCount = 0;
    prompter.answer(IDYES);
    view->OnClickedEquipmentTest();
    prompter.answer(IDYES);
    view->OnClickedEquipmentTest();
    EXPECT_EQ(md->nGameState, 6);
}

} // namespace
