// Faults during a match on a court set up as the operator sets it up: the receiver unplugged and plugged
// back in the middle of a round, a judge's device lost, and the program killed in a round and started
// again. The devices are played by the emulators; the operator only uses the program's keys, buttons and
// dialogs.
#include "tests/e2e/Court.h"

#include "app/IniFiles.h"
#include "app/ProgressDlg.h"
#include "devices/DevErrDlg.h"
#include "devices/PacketDispatch.h"
#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "registration/RegDlg.h"
#include "tools/FakeJudge.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kReceiverLostBit = 0x800000;

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
        ASSERT_NO_FATAL_FAILURE(PairByButton(*dialog, button, flag));
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
    EXPECT_EQ(SharedLoad(md->bReceiverOpen), 0);
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
    for (const auto& [button, flag] : DeviceButtons()) {
        ASSERT_EQ(*flag, 1) << "device button " << button;
        prompter.answer(IDYES); // "Are you sure to disconnect this equipment?"
        ASSERT_NO_FATAL_FAILURE(Click(view->m_pRegDlg->GetDlgItem(button)));
        ASSERT_EQ(*flag, 0) << "device button " << button;
        ASSERT_NO_FATAL_FAILURE(Pair(button, *flag));
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
    ASSERT_NO_FATAL_FAILURE(JudgesPress({1, 3}, 2, 0));
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

using JudgeFault = FaultyCourt;

bool HasCommand(const std::vector<FakeReceiver::Bytes>& commands, BYTE command, BYTE first) {
    return std::ranges::any_of(commands, [&](const FakeReceiver::Bytes& f) {
        return f.size() > 5 && f[2] == command && f[3] >= 1 && f[4] == first;
    });
}

TEST_F(JudgeFault, AWirelessJudgeLostMidRoundStopsItUntilItsDeviceIsPairedAgain) {
    const int trunk = md->nLevelBody;
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 10, kSock));
    Scores({2, 0});

    // Judge 1's device is lost: the round stops, the public scoreboard shows judge 1's picture, the receiver
    // is told, and the registration dialog comes up in its wide layout to pair the device again.
    ASSERT_TRUE(fake.SendLost("judge1"));
    ASSERT_TRUE(Until([&] { return (DeviceStatusLoad(*md) & 0x10) != 0; }));
    Advance(1000);
    EXPECT_EQ(md->nGameState, 8);
    ASSERT_NE(view->m_pDevErrDlg, nullptr);
    EXPECT_TRUE(view->m_pDevErrDlg->isVisible());
    EXPECT_EQ(view->m_pDevErrDlg->Picture(), 4);
    EXPECT_EQ(md->bJudgeWired[0], 0);
    ASSERT_TRUE(fake.WaitForCommand(0x0F));
    EXPECT_TRUE(HasCommand(fake.Commands(), 0x34, 0x21)) << "the lost notice of judge 1";
    EXPECT_TRUE(HasCommand(fake.Commands(), 0x0F, 0x21)) << "the release of judge 1";
    ASSERT_NE(view->m_pRegDlg, nullptr);
    EXPECT_TRUE(view->m_pRegDlg->isVisible());
    EXPECT_EQ(view->m_pRegDlg->width(), 900);

    // The round cannot go on while a judge's device is not paired.
    CloseRegistration();
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Some equipments are not registered!"});

    // Judge 1 paired again: the pop-up goes, the round goes on, and judge 1 counts with the others.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
    ASSERT_NO_FATAL_FAILURE(Pair(1329, md->bJudgeWired[0]));
    ASSERT_TRUE(Until([&] { return DeviceStatusLoad(*md) == 0; }));
    Advance(1000);
    EXPECT_EQ(view->m_pDevErrDlg, nullptr);
    CloseRegistration();
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 11, kSock));
    Scores({4, 0});
    ASSERT_NO_FATAL_FAILURE(JudgesPress({1, 2}, 2, 0));
    Advance(100);
    Scores({6, 0});
    EXPECT_EQ(Rows("SELECT chungpoint, hongpoint FROM GAMET"), std::vector<std::string>{"6|0"});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Some equipments are not registered!"});
}

TEST_F(JudgeFault, AWiredJudgeUnpluggedMidRoundLeavesTheRoundRunningAndTheOtherJudgesScore) {
    FakeJudge wired;
    ASSERT_TRUE(wired.IsOpen());
    WriteIniString(u"JUDGE_1", u"Port", QString::fromStdString(wired.SlavePath()).toStdU16String().c_str(),
                   u"JudgeDev.ini");
    // Judge 1 moves from its wireless device to the wire: switched off, the wire ticked, connected.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
    CTK_RegDlg* dialog = view->m_pRegDlg;
    ASSERT_NE(dialog, nullptr);
    prompter.answer(IDYES); // "Are you sure to disconnect this equipment?"
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1329)));
    ASSERT_EQ(md->bJudgeWired[0], 0);
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1311)));
    ASSERT_EQ(md->nJudgeUse[0], 1);
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1329)));
    ASSERT_EQ(md->bJudgeWired[0], 1) << ::testing::PrintToString(prompter.texts());
    CloseRegistration();

    const int trunk = md->nLevelBody;
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 10, kSock));
    Scores({2, 0});
    ASSERT_TRUE(wired.SendPress(2, 0));
    ASSERT_TRUE(fake.SendJudge("judge2", 2, 0));
    ASSERT_TRUE(
        Until([&] { return view->m_judgeWindows[0].mask[0] != 0 && view->m_judgeWindows[0].mask[1] != 0; }));
    Advance(100);
    Scores({4, 0});

    // The wire is pulled: the port hangs up under the program. The round runs on, nothing covers the
    // public scoreboard, and judges 2 and 3 still score.
    Advance(2000);
    wired.Unplug();
    Advance(3000);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(view->m_pDevErrDlg, nullptr);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 11, kSock));
    Scores({6, 0});
    ASSERT_NO_FATAL_FAILURE(JudgesPress({2, 3}, 2, 0));
    Advance(100);
    Scores({8, 0});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Are you sure to disconnect this equipment?"});
}

// ---- the program killed in a round ----
//
// The program runs in a child process: this test binary again, where a court (the program started through
// its application object, its receiver played on a pseudo-terminal of its own) runs a round and scores hits
// until it is killed. After each hit it prints the scores as the operator screen shows them. The parent
// kills it with SIGKILL after some of them, then starts the program again on the same program folder.

constexpr const char* kChildVariable = "BELVANTA_E2E_KILLED_CHILD";
constexpr int kShownBeforeKill = 6;

// The last lines of the child's standard error, for a failure's message.
std::string LogTail(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(no log)";
    const QByteArray all = file.readAll();
    return all.right(4000).toStdString();
}

class ScoringUntilKilled : public Court {
public:
    void TestBody() override {
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
        std::printf("FOLDER %s\nRUNTIME %s\n", folder.c_str(), std::getenv("XDG_RUNTIME_DIR"));
        std::fflush(stdout);

        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 3);
        // Hits for Chung's trunk kick and Hong's head kick by turns, half a second apart on the program's
        // clock, well inside the round; the parent kills this process long before the last.
        for (int hit = 0; hit < 100; ++hit) {
            Advance(500);
            const std::pair<int, int> before = Shown();
            ASSERT_TRUE(hit % 2 == 0 ? fake.SendHit("HV", md->nLevelBody + 10, kSock)
                                     : fake.SendHit("CH", md->nLevelHead + 10, kSock));
            ASSERT_TRUE(Until([&] { return Shown() != before; }));
            const std::pair<int, int> shown = Shown();
            std::printf("SHOWN %d %d\n", shown.first, shown.second);
            std::fflush(stdout);
        }
    }
};

// Registered only in the child, so a run of the binary never starts it on its own.
[[maybe_unused]] const bool g_childRegistered = [] {
    if (!std::getenv(kChildVariable))
        return false;
    ::testing::RegisterTest("KilledChild", "ScoresUntilKilled", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ScoringUntilKilled* { return new ScoringUntilKilled; });
    return true;
}();

// The parent: no program of its own until the child is killed.
class KilledMidRound : public Court {
protected:
    static void SetUpTestSuite() {} // the child prepares the program folder
    void SetUp() override {}

    QTemporaryDir scratch; // the child's temporary files, its program folder among them; outlives the program
};

TEST_F(KilledMidRound, EveryScoreShownBeforeTheKillIsInTheRecordsAndTheProgramStartsAgainOnItsFolder) {
    ASSERT_TRUE(scratch.isValid());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kChildVariable, "1");
    environment.insert("TMPDIR", scratch.path());
    child.setProcessEnvironment(environment);
    child.setStandardErrorFile(scratch.filePath("child.log"));
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=KilledChild.*"});
    ASSERT_TRUE(child.waitForStarted());

    std::string childFolder;
    std::string runtime;
    std::vector<std::pair<int, int>> shown;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (static_cast<int>(shown.size()) < kShownBeforeKill && std::chrono::steady_clock::now() < deadline &&
           child.state() == QProcess::Running) {
        if (!child.canReadLine() && !child.waitForReadyRead(1000))
            continue;
        while (child.canReadLine()) {
            const QString line = QString::fromUtf8(child.readLine()).trimmed();
            const QStringList words = line.split(' ');
            if (words.size() == 2 && words[0] == "FOLDER")
                childFolder = words[1].toStdString();
            else if (words.size() == 2 && words[0] == "RUNTIME")
                runtime = words[1].toStdString();
            else if (words.size() == 3 && words[0] == "SHOWN")
                shown.emplace_back(words[1].toInt(), words[2].toInt());
        }
    }
    // Killed in the middle of its round, most likely while a hit is on its way.
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(static_cast<int>(shown.size()), kShownBeforeKill) << "the child's log ends:\n"
                                                                << LogTail(scratch.filePath("child.log"));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    ASSERT_FALSE(childFolder.empty());
    ASSERT_FALSE(runtime.empty());

    // Every score the operator screen showed is in the event logs, in the order shown: the point rows of
    // both players by their shared index (later hits may have reached the records before the kill).
    folder = childFolder;
    std::vector<std::pair<int, int>> changes; // the player who scored (0 Chung, 1 Hong) and the points
    std::pair<int, int> last{0, 0};
    for (const auto& score : shown) {
        changes.emplace_back(score.first != last.first ? 0 : 1, score.first != last.first
                                                                    ? score.first - last.first
                                                                    : score.second - last.second);
        last = score;
    }
    const std::vector<std::string> points = Rows(
        "SELECT side, point FROM (SELECT 0 AS side, point, dbindex FROM CHUNGLOG WHERE point > 0 AND "
        "itemvalid = 1 UNION ALL SELECT 1, point, dbindex FROM HONGLOG WHERE point > 0 AND itemvalid = 1) "
        "ORDER BY dbindex");
    ASSERT_GE(points.size(), changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i)
        EXPECT_EQ(points[i], std::to_string(changes[i].first) + "|" + std::to_string(changes[i].second))
            << "score " << i + 1;
    // The match row holds at least the last score shown, and its totals agree with the event rows.
    const std::vector<std::string> match =
        Rows("SELECT chungpoint, hongpoint, chungpoint = (SELECT coalesce(sum(point), 0) FROM CHUNGLOG WHERE "
             "itemvalid = 1), hongpoint = (SELECT coalesce(sum(point), 0) FROM HONGLOG WHERE itemvalid = 1) "
             "FROM GAMET");
    ASSERT_EQ(match.size(), 1u);
    const QStringList totals = QString::fromStdString(match[0]).split('|');
    EXPECT_GE(totals[0].toInt(), last.first);
    EXPECT_GE(totals[1].toInt(), last.second);
    EXPECT_EQ(totals[2], "1") << match[0];
    EXPECT_EQ(totals[3], "1") << match[0];

    // Started again on the same folder and instance-lock folder: no box, its database whole, its receiver
    // linked.
    ASSERT_TRUE(fake.IsOpen());
    ASSERT_NO_FATAL_FAILURE(Start(runtime));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
    EXPECT_EQ(Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Rows("SELECT chungpoint, hongpoint FROM GAMET"),
              std::vector<std::string>{totals[0].toStdString() + "|" + totals[1].toStdString()});
}

} // namespace
