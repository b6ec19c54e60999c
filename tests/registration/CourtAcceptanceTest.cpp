// A court from registration to scoring with the receiver played on a pseudo-terminal: contest 001 is
// registered and loaded, both players' protectors and three judge devices pair, the round starts, hits
// score and judge presses reach the view; a release sends its command and a lost device shows its picture.
#include "registration/RegDlg.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "devices/DevErrDlg.h"
#include "devices/PacketDispatch.h"
#include "devices/Receiver.h"
#include "platform/TickSource.h"
#include "registration/ContestList.h"
#include "registration/RegDlgHandle.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/FakeReceiver.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

namespace {

// The court's view; judge presses are written down, the judges' scoring being a part of its own.
class CourtView : public CMainWnd {
public:
    std::vector<std::string> presses;
    int headHits = 0;
    void OnHeadHit(int side, const char* text, int* flag) override {
        ++headHits;
        CMainWnd::OnHeadHit(side, text, flag);
    }
    void OnJudgeInput(int judge, const char* text, int* flag) override {
        presses.push_back(std::to_string(judge + 1) + ":" + text);
        CMainWnd::OnJudgeInput(judge, text, flag);
    }
};

// The dialog without its modal progress bar: the test waits for the pairing itself.
class CourtRegDlg : public CTK_RegDlg {
public:
    int progress = 0;

protected:
    void ShowProgress(const std::u16string&) override { ++progress; }
};

class CourtAcceptanceTest : public ::testing::Test, protected TestCourt {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake.IsOpen());
        ASSERT_EQ(home.makeLocalDatabase(), "");
        theApp.m_dbLocal.Close();
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str()));
        setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
        md->nPSSType = 2;
        md->nJudgeNumber = 3;
        md->nRound = 3;
        md->nMatchTime = 120;
        md->nLevelBody = 5;
        md->nLevelHead = 1;
        md->nLevelPunch = 5;
        md->nEBPPoint = 2; // points of a trunk and a head hit
        md->nEHPPoint = 3;
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        view = std::make_unique<CourtView>();
        view->OnInitialUpdate();
        // The court and channel make the receiver join its network.
        ASSERT_TRUE(fake.WaitForCommand(0x05));
        SendMessage(view->GetSafeHwnd(), UM_SET_COURT_CHANNEL, 0, 11);
        ASSERT_TRUE(pumpUntil([] {
            std::lock_guard guard(g_receiverNetworkLock);
            return g_nReceiverPanId != 0;
        }));
    }
    void TearDown() override {
        delete dialog;
        view.reset();
        unsetenv("BELVANTA_RECEIVER");
        setenv("BELVANTA_RECEIVER", "/nonexistent/belvanta-test-receiver", 1);
        {
            std::lock_guard guard(g_receiverNetworkLock);
            g_nReceiverPanId = 0;
        }
        g_hRegDlg = 0;
        theApp.m_dbLocal.Close();
    }

    void Click(int id) { static_cast<QAbstractButton*>(dialog->GetDlgItem(id))->click(); }
    bool Paired(int& flag) {
        return pumpUntil([&] {
            clock.advance(50); // the judge reply's pause
            return flag == 1;
        });
    }

    platform::ManualTime clock;
    FakeReceiver fake;
    std::unique_ptr<CourtView> view;
    CourtRegDlg* dialog = nullptr;
};

TEST_F(CourtAcceptanceTest, RegisterLoadPairAndScore) {
    dialog = new CourtRegDlg;
    view->m_pRegDlg = dialog;
    static_cast<QLineEdit*>(dialog->GetDlgItem(1302))->setText("KIM");
    static_cast<QLineEdit*>(dialog->GetDlgItem(1304))->setText("LEE");
    Click(1310);
    auto* list = static_cast<CMy_ListCtrl*>(dialog->GetDlgItem(1279));
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->item(0, 1)->text(), "001");
    list->selectRow(0);
    dialog->OnContestListDblClk();
    EXPECT_STREQ(md->szContestNo, "001");
    EXPECT_EQ(md->nGameState, 1);

    // The four protectors, each paired with whatever device answers, then the three judge devices.
    const std::pair<int, int*> protectors[] = {{1285, &md->bRegBody[0]},
                                               {1286, &md->bRegHead[0]},
                                               {1287, &md->bRegBody[1]},
                                               {1288, &md->bRegHead[1]}};
    for (const auto& [button, flag] : protectors) {
        Click(button);
        ASSERT_TRUE(Paired(*flag)) << button;
    }
    for (int judge = 0; judge < 3; ++judge) {
        Click(1329 + judge);
        ASSERT_TRUE(Paired(md->bJudgeWired[judge])) << judge;
    }
    EXPECT_EQ(dialog->progress, 7);
    EXPECT_EQ(dialog->GetDlgItemText(1286), "Head\nOff");
    EXPECT_EQ(dialog->GetDlgItemText(1044).size(), 16);
    ASSERT_TRUE(CheckDevicesRegistered(*md));

    view->OnClickedStart();
    ASSERT_EQ(md->nGameState, 3);
    const int before = md->aSide[0].nScore + md->aSide[1].nScore;
    ASSERT_TRUE(fake.SendHit("HV", 50));
    ASSERT_TRUE(pumpUntil([&] { return md->aSide[0].nScore + md->aSide[1].nScore > before; }));
    const int afterTrunk = md->aSide[0].nScore + md->aSide[1].nScore;
    ASSERT_TRUE(fake.SendHit("CV", 40));
    ASSERT_TRUE(pumpUntil([&] { return md->aSide[0].nScore + md->aSide[1].nScore > afterTrunk; }));
    EXPECT_EQ(md->aSide[0].nScore, 2); // Hong's trunk hit for Chung
    EXPECT_EQ(md->aSide[1].nScore, 2);
    // Without e-socks a head hit is felt and logged; it scores through the judges.
    ASSERT_TRUE(fake.SendHit("CH", 40));
    ASSERT_TRUE(pumpUntil([&] { return view->headHits == 1; }));
    ASSERT_TRUE(fake.SendJudge("judge2", 1, 0));
    ASSERT_TRUE(pumpUntil([&] { return !view->presses.empty(); }));
    EXPECT_EQ(view->presses.front().substr(0, 2), "2:");

    // A device lost in the round: the round stops and its picture covers the scoreboard.
    ASSERT_TRUE(fake.SendLost("HH"));
    ASSERT_TRUE(pumpUntil([&] { return (DeviceStatusLoad(*md) & 0x4) != 0; }));
    view->CheckDeviceStatus();
    ASSERT_NE(view->m_pDevErrDlg, nullptr);
    EXPECT_EQ(view->m_pDevErrDlg->Picture(), 2);
    EXPECT_EQ(md->nGameState, 8);

    // Releasing Chung's trunk protector sends its release command.
    const std::size_t releases = [&] {
        std::size_t n = 0;
        for (const auto& frame : fake.Commands())
            n += frame.size() > 2 && frame[2] == 0x3A;
        return n;
    }();
    prompter.answer(IDYES);
    Click(1285);
    EXPECT_TRUE(fake.WaitForCommand(0x3A, static_cast<int>(releases) + 1));
    EXPECT_EQ(md->bRegBody[0], 0);
}

} // namespace
