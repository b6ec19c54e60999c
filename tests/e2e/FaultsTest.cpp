// Faults during a match on a court set up as the operator sets it up: the receiver unplugged and plugged
// back in the middle of a round, a judge's device lost, and the program killed in a round and started
// again. The devices are played by the emulators; the operator only uses the program's keys, buttons and
// dialogs.
#include "tests/e2e/Court.h"

#include "app/ProgressDlg.h"
#include "devices/DevErrDlg.h"
#include "devices/PacketDispatch.h"
#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "registration/RegDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The sensor byte of a hit the e-socks felt: the shipped rules score protector hits only with it.
constexpr BYTE kSock = 0x11;
constexpr int kReceiverLostBit = 0x800000;

// Chung's and Hong's scores as the operator screen shows them.
std::pair<int, int> Shown(CMainWnd& view) {
    return {view.Static(1503)->text().toInt(), view.Static(1504)->text().toInt()};
}

// A court in a match under the points system: court 3 set, contest 001 registered and loaded, the
// protectors and three wireless judges paired. The program finds its receiver through a link, as the
// system's device manager names a plugged receiver: the link goes while the receiver is unplugged.
class FaultyCourt : public Court {
protected:
    std::string ReceiverPath() override { return m_link; }

    void SetUp() override {
        ASSERT_TRUE(m_linkDir.isValid());
        m_link = m_linkDir.path().toStdString() + "/ttyUSB0";
        fs::create_symlink(fake.SlavePath(), m_link);
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }

    // Waits until the operator screen shows the scores (the device reports arrive on the receiver's thread).
    void Scores(std::pair<int, int> expected) {
        EXPECT_TRUE(Until([&] { return Shown(*view) == expected; }))
            << "scores shown " << Shown(*view).first << ":" << Shown(*view).second << ", expected "
            << expected.first << ":" << expected.second;
    }

    void CloseRegistration() {
        if (view->m_pRegDlg)
            view->m_pRegDlg->close();
        Deliver();
        frame->activateWindow();
        QApplication::setActiveWindow(frame);
    }

    void UnplugReceiver() {
        fake.Unplug();
        fs::remove(m_link);
    }
    void PlugReceiverBack() {
        ASSERT_TRUE(fake.Replug());
        fs::create_symlink(fake.SlavePath(), m_link);
    }

    int CommandsSeen(BYTE command) const {
        const auto commands = fake.Commands();
        return static_cast<int>(
            std::ranges::count_if(commands, [&](const FakeReceiver::Bytes& f) { return f[2] == command; }));
    }

    // "SET" on the configuration's rule page again: the receiver joins the court's channel and network.
    void SetChannelAgain() {
        const int networkRequests = CommandsSeen(0x0B);
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1249)));
        CTK_SuDlg* dialog = view->m_pSuDlg;
        ASSERT_NE(dialog, nullptr);
        ASSERT_NO_FATAL_FAILURE(Click(dialog->RulePage()->GetDlgItem(CTK_RuleWnd::IDC_SET)));
        ASSERT_TRUE(fake.WaitForCommand(0x0B, networkRequests + 1));
        ASSERT_TRUE(Until([&] { return view->m_pReceiver->protocol.nState.load() == kReceiverReady; }));
        ASSERT_NO_FATAL_FAILURE(Click(dialog->findChild<QWidget*>(QString::number(CTK_SuDlg::IDOK_))));
        ASSERT_TRUE(Until([&] { return view->m_pSuDlg.isNull() || !view->m_pSuDlg->isVisible(); }));
    }

    // One device button of the open registration dialog: its device paired once the progress dialog the
    // button opens is closed by the pairing reply.
    void Pair(int button, const int& flag) {
        CTK_RegDlg* dialog = view->m_pRegDlg;
        ASSERT_NE(dialog, nullptr);
        bool moving = false;
        QTimer mover; // the program's short pauses pass while the progress dialog runs
        mover.setInterval(2);
        QObject::connect(&mover, &QTimer::timeout, &mover, [&] {
            if (moving || flag)
                return;
            moving = true;
            clock.advance(10);
            moving = false;
        });
        mover.start();
        ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(button)));
        const bool paired = Until([&] { return flag == 1 && g_hProgDlg.load() == 0; });
        mover.stop();
        ASSERT_TRUE(paired) << "device button " << button;
    }

    // The flags of the seven device buttons, in the order of their buttons.
    std::vector<const int*> DeviceFlags() const {
        return {&md->bRegBody[0],    &md->bRegHead[0],    &md->bRegBody[1],   &md->bRegHead[1],
                &md->bJudgeWired[0], &md->bJudgeWired[1], &md->bJudgeWired[2]};
    }
    static constexpr int kDeviceButtons[] = {1285, 1286, 1287, 1288, 1329, 1330, 1331};

    std::vector<std::string> Events(const char* table) const {
        return Rows(std::string("SELECT round, vest, face, point, jpoint, deduct, judge1, judge2, judge3, "
                                "itemvalid FROM ") +
                    table + " ORDER BY dbindex");
    }

private:
    QTemporaryDir m_linkDir;
    std::string m_link;
};

using ReceiverFault = FaultyCourt;

TEST_F(ReceiverFault, UnpluggedMidRoundStopsTheRoundAndTheMatchGoesOnOncePluggedBackAndPairedAgain) {
    const int trunk = md->nLevelBody;
    const int head = md->nLevelHead;
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 10, kSock));
    Scores({2, 0});
    ASSERT_TRUE(fake.SendHit("CH", head + 10, kSock));
    Scores({2, 3});

    // Unplugged: the receiver's check notices within its second, the view's device check on its clock.
    UnplugReceiver();
    ASSERT_TRUE(Until([&] { return (DeviceStatusLoad(*md) & kReceiverLostBit) != 0; }));
    EXPECT_EQ(md->bReceiverOpen, 0);
    Advance(1000);
    EXPECT_EQ(md->nGameState, 8) << "the round stops";
    ASSERT_NE(view->m_pDevErrDlg, nullptr);
    EXPECT_TRUE(view->m_pDevErrDlg->isVisible());
    EXPECT_EQ(view->m_pDevErrDlg->Picture(), 7) << "the receiver's picture over the public scoreboard";
    Scores({2, 3});

    // Plugged back: opened again and asked its version; the pop-up goes with the lost bit.
    ASSERT_NO_FATAL_FAILURE(PlugReceiverBack());
    ASSERT_TRUE(fake.WaitForCommand(0x07));
    ASSERT_TRUE(Until([&] { return DeviceStatusLoad(*md) == 0; }));
    ASSERT_TRUE(Until([&] { return view->m_pReceiver->protocol.nState.load() == kReceiverVersionReceived; }))
        << "the version reply is read before the channel is set";
    Advance(1000);
    EXPECT_EQ(view->m_pDevErrDlg, nullptr);
    EXPECT_EQ(md->nGameState, 8);

    // The operator sets the channel again and pairs every device anew: each is switched off, then paired.
    ASSERT_NO_FATAL_FAILURE(SetChannelAgain());
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
    ASSERT_NE(view->m_pRegDlg, nullptr);
    const std::vector<const int*> flags = DeviceFlags();
    for (std::size_t i = 0; i < flags.size(); ++i) {
        ASSERT_EQ(*flags[i], 1) << "device button " << kDeviceButtons[i];
        prompter.answer(IDYES); // "Are you sure to disconnect this equipment?"
        ASSERT_NO_FATAL_FAILURE(Click(view->m_pRegDlg->GetDlgItem(kDeviceButtons[i])));
        ASSERT_EQ(*flags[i], 0) << "device button " << kDeviceButtons[i];
        ASSERT_NO_FATAL_FAILURE(Pair(kDeviceButtons[i], *flags[i]));
    }
    CloseRegistration();

    // The round goes on where it stopped; the protectors and the judges score again.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    ASSERT_TRUE(fake.SendHit("CV", trunk + 5, kSock));
    Scores({2, 5});
    // A trunk kick for Chung and two judges agreeing on its turn: the bonus.
    ASSERT_TRUE(fake.SendHit("HV", trunk + 6, kSock));
    Scores({4, 5});
    ASSERT_TRUE(fake.SendJudge("judge1", 2, 0));
    ASSERT_TRUE(fake.SendJudge("judge3", 2, 0));
    ASSERT_TRUE(Until([&] { return view->m_judgeWindows[0].mask[2] != 0; }));
    Advance(100);
    Scores({6, 5});

    // Every point scored before the unplug is in the records with those after it, in order.
    EXPECT_EQ(Rows("SELECT chungpoint, hongpoint FROM GAMET"), std::vector<std::string>{"6|5"});
    EXPECT_EQ(Events("CHUNGLOG"),
              (std::vector<std::string>{
                  "1|" + std::to_string(trunk + 10) + "|0|0|0|0|0|0|0|1", "1|0|0|2|0|0|0|0|0|1",
                  "1|" + std::to_string(trunk + 6) + "|0|0|0|0|0|0|0|1", "1|0|0|2|0|0|0|0|0|1",
                  "1|0|0|0|0|0|2|0|0|0", // judge 1 alone
                  "1|0|0|0|0|0|0|0|2|1", // judge 3 agrees
                  "1|0|0|0|2|0|0|0|0|1", // the turning bonus
              }));
    EXPECT_EQ(Events("HONGLOG"), (std::vector<std::string>{
                                     "1|0|" + std::to_string(head + 10) + "|0|0|0|0|0|0|1",
                                     "1|0|0|3|0|0|0|0|0|1",
                                     "1|" + std::to_string(trunk + 5) + "|0|0|0|0|0|0|0|1",
                                     "1|0|0|2|0|0|0|0|0|1",
                                 }));
}

} // namespace
