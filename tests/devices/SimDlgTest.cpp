// The device simulator against the real operator view in a running round: its buttons score through the
// whole path a device's hit or a judge's press takes.
#include "devices/SimDlg.h"
#include "tests/match/JudgeFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

extern HWND g_hMainWnd;

namespace {

class SimDlgTest : public JudgeTest {
protected:
    SimDlgTest() : m_savedView(g_hMainWnd) {
        g_hMainWnd = hwnd;
        md->bUseESocks = 1;
        md->bUsePunch = 1;
        md->nLevelBody = 20;
        md->nLevelHead = 1;
        md->nLevelPunch = 20;
    }
    ~SimDlgTest() override { g_hMainWnd = m_savedView; }

    void Click(int id) {
        QPushButton* button = sim.Button(id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    int Score(int side) const { return md->aSide[side].nScore; }

    CTK_SimDlg sim;

private:
    HWND m_savedView;
};

TEST_F(SimDlgTest, StartsWithItsPowerLevelsAndReadsThemAsTheDevicesWould) {
    EXPECT_EQ(sim.windowTitle(), "Simulation");
    EXPECT_EQ(sim.PowerLevel(CTK_SimDlg::IDC_TRUNK_POWER), 25);
    EXPECT_EQ(sim.PowerLevel(CTK_SimDlg::IDC_HEAD_POWER), 1);
    const struct {
        const char* text;
        int level;
    } cases[] = {{"40", 40}, {" 7 ", 7},       {"abc", 0},   {"", 0},           {"12x", 0},
                 {"-5", 0},  {"65535", 65535}, {"65536", 0}, {"99999999999", 0}};
    for (const auto& c : cases) {
        sim.Edit(CTK_SimDlg::IDC_TRUNK_POWER)->setText(c.text);
        EXPECT_EQ(sim.PowerLevel(CTK_SimDlg::IDC_TRUNK_POWER), c.level) << c.text;
    }
}

TEST_F(SimDlgTest, ProtectorButtonsScoreForTheirSideAboveTheLevel) {
    Click(1027); // blue trunk at 25: a hit on Hong's protector, Chung scores
    EXPECT_EQ(Score(0), 2);
    EXPECT_EQ(Score(1), 0);
    Click(1026); // red head at 1
    EXPECT_EQ(Score(1), 3);
    Click(1034); // red punch at 25: a valid punch, whose point the judges give
    EXPECT_EQ(view->m_nPunchState[1], 2);
    EXPECT_EQ(Score(1), 3);
    EXPECT_EQ(sim.SentList()->item(0)->text(), "Red Punch: valid,25,0,31");
    EXPECT_EQ(sim.SentList()->item(2)->text(), "Blue Trunk: valid,25,0,12");

    sim.Edit(CTK_SimDlg::IDC_TRUNK_POWER)->setText("15"); // under the level: shown, not scored
    Click(1025);
    EXPECT_EQ(Score(1), 3);
    sim.Edit(CTK_SimDlg::IDC_TRUNK_POWER)->setText("strong"); // not a number: sent as 0
    Click(1027);
    EXPECT_EQ(Score(0), 2);
    EXPECT_EQ(sim.SentList()->item(0)->text(), "Blue Trunk: valid,0,0,12");
}

TEST_F(SimDlgTest, JudgeButtonsScoreWhenTheQuorumAgrees) {
    Click(1006); // judge 2 "Red T."
    Click(1012); // judge 3 "Red T."
    clock.advance(100);
    EXPECT_EQ(Score(1), 3); // top
    Click(1003);            // judge 1 "Blue T." alone
    clock.advance(1100);
    EXPECT_EQ(Score(0), 0);

    md->nJudgeNumber = 2; // a third judge's buttons change nothing with two judges
    Click(1015);          // judge 3 "Blue T."
    Click(1003);          // judge 1 "Blue T."
    clock.advance(100);
    EXPECT_EQ(Score(0), 0);
    Click(1009); // judge 2 "Blue T."
    clock.advance(100);
    EXPECT_EQ(Score(0), 3);
}

TEST_F(SimDlgTest, TheOperatorViewMakesTheSimulatorOnceAndKeepsItModeless) {
    view->OnClickedSimulation();
    CTK_SimDlg* first = view->m_pSimDlg;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    first->hide();
    view->OnClickedSimulation();
    EXPECT_EQ(view->m_pSimDlg, first);
    EXPECT_TRUE(first->isVisible());
}

} // namespace
