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
#include "records/ExcelBook.h"
#include "records/MatchLog.h"
#include "registration/RegDlg.h"
#include "tools/FakeJudge.h"

#include <QDir>
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

    // Plugged back: opened again, linked on the court's channel and network by itself, as at start-up.
    // The receiver lost its power and with it the devices paired with it: the program says so, naming
    // them, stops taking their hits, and the registration dialog comes up to pair them again.
    const int matchKinds = CommandCount(0x36);
    ASSERT_NO_FATAL_FAILURE(PlugReceiverBack());
    // Linked once the view took the link's news: it then tells the receiver the kind of match (0x36).
    ASSERT_TRUE(Until([&] { return CommandCount(0x36) > matchKinds; }));
    EXPECT_EQ(view->m_pReceiver->protocol.nState.load(), kReceiverReady);
    const std::vector<FakeReceiver::Bytes> commands = fake.Commands();
    const auto channel = std::ranges::find_if(commands.rbegin(), commands.rend(),
                                              [](const FakeReceiver::Bytes& f) { return f[2] == 0x0A; });
    ASSERT_NE(channel, commands.rend());
    EXPECT_EQ((*channel)[4], md->nChannelNo) << "the court's saved channel";
    ASSERT_TRUE(Until([&] { return (DeviceStatusLoad(*md) & kReceiverLostBit) == 0; }));
    Advance(1000);
    EXPECT_EQ(md->nGameState, 8);
    ASSERT_NE(view->m_pDevErrDlg, nullptr) << "the devices are not paired with this receiver";
    EXPECT_TRUE(view->m_pDevErrDlg->isVisible());
    ASSERT_NE(view->m_pRegDlg, nullptr);
    EXPECT_TRUE(view->m_pRegDlg->isVisible());
    for (const auto& [button, flag] : DeviceButtons())
        EXPECT_EQ(*flag, 0) << "device button " << button << " shows its device no longer paired";
    EXPECT_FALSE(fake.SendHit("CV", trunk + 5, kSock)) << "the receiver drops a device it has not paired";
    Scores({2, 3});

    // The operator pairs every device again, from the dialog that came up.
    for (const auto& [button, flag] : DeviceButtons())
        ASSERT_NO_FATAL_FAILURE(Pair(button, *flag));
    ASSERT_TRUE(Until([&] { return DeviceStatusLoad(*md) == 0; }));
    Advance(1000);
    EXPECT_EQ(view->m_pDevErrDlg, nullptr);
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

TEST_F(JudgeFault, AWiredJudgeUnpluggedMidRoundIsLostAsAWirelessJudgeAndOpenedAgainWhenPluggedBack) {
    // The judge's port as the system names an adapter by its serial number: the link goes with the device.
    QTemporaryDir byId;
    ASSERT_TRUE(byId.isValid());
    const std::string port = byId.path().toStdString() + "/usb-judge1-if00";
    FakeJudge wired;
    ASSERT_TRUE(wired.IsOpen());
    fs::create_symlink(wired.SlavePath(), port);
    WriteIniString(u"JUDGE_1", u"Port", QString::fromStdString(port).toStdU16String().c_str(),
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

    // The wire is pulled: the round stops, judge 1's picture covers the public scoreboard, the registration
    // shows judge 1 unconnected, and the receiver is not told about a device it does not carry.
    Advance(2000);
    const std::size_t commandsBefore = fake.Commands().size();
    wired.Unplug();
    fs::remove(port);
    ASSERT_TRUE(Until([&] { return (DeviceStatusLoad(*md) & 0x10) != 0; }));
    Advance(1000);
    EXPECT_EQ(md->nGameState, 8) << "the round stops";
    ASSERT_NE(view->m_pDevErrDlg, nullptr);
    EXPECT_TRUE(view->m_pDevErrDlg->isVisible());
    EXPECT_EQ(view->m_pDevErrDlg->Picture(), 4);
    EXPECT_EQ(md->bJudgeWired[0], 0);
    ASSERT_NE(view->m_pRegDlg, nullptr);
    EXPECT_TRUE(view->m_pRegDlg->isVisible());
    EXPECT_EQ(view->m_pRegDlg->GetDlgItemText(1323), "None");
    const std::vector<FakeReceiver::Bytes> commands = fake.Commands();
    EXPECT_FALSE(HasCommand({commands.begin() + static_cast<std::ptrdiff_t>(commandsBefore), commands.end()},
                            0x34, 0x21))
        << "no lost notice for a wired judge";
    CloseRegistration();
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 8) << "no round without judge 1";

    // Plugged back while the operator looks at the registration: the port is opened again on the next
    // device check, the dialog shows judge 1 connected, the pop-up goes.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
    ASSERT_NE(view->m_pRegDlg, nullptr);
    EXPECT_EQ(view->m_pRegDlg->GetDlgItemText(1329), "Judge 1\nRegister");
    ASSERT_TRUE(wired.Replug());
    fs::create_symlink(wired.SlavePath(), port);
    Advance(1000);
    ASSERT_TRUE(Until([&] { return DeviceStatusLoad(*md) == 0; }));
    EXPECT_EQ(md->bJudgeWired[0], 1);
    Advance(1000);
    EXPECT_EQ(view->m_pDevErrDlg, nullptr);
    ASSERT_NE(view->m_pRegDlg, nullptr);
    EXPECT_EQ(view->m_pRegDlg->GetDlgItemText(1323), "OK");
    EXPECT_EQ(view->m_pRegDlg->GetDlgItemText(1329), "Judge 1\nOff");
    CloseRegistration();

    // The round goes on, and judge 1 counts with the others.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    ASSERT_TRUE(fake.SendHit("HV", trunk + 11, kSock));
    Scores({6, 0});
    ASSERT_TRUE(wired.SendPress(2, 0));
    ASSERT_TRUE(Until([&] { return view->m_judgeWindows[0].mask[0] != 0; }));
    ASSERT_TRUE(fake.SendJudge("judge3", 2, 0));
    ASSERT_TRUE(Until([&] { return view->m_judgeWindows[0].mask[2] != 0; }));
    Advance(100);
    Scores({8, 0});
    // The side frame of a scored head kick reaches the judge on its new port.
    const std::size_t frames = wired.Received().size();
    ASSERT_TRUE(fake.SendHit("CH", md->nLevelHead + 10, kSock));
    Scores({8, 3});
    ASSERT_TRUE(wired.WaitForFrames(frames + 1));
    EXPECT_EQ(wired.Sides().back(), 1);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Are you sure to disconnect this equipment?",
                                                          "Some equipments are not registered!"}));
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

    folder = childFolder;
    // The match log on the disk is the running match's, replaced whole after each event: a kill leaves a
    // workbook that reads, holding the scoring lines of the hits shown up to its last save. The hits here
    // come as fast as the screen takes them, so on a loaded machine the saves may trail by a few.
    const QStringList logs =
        QDir(QString::fromStdString(folder + "Log")).entryList({"*(No001).xls"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1) << logs.join(", ").toStdString();
    ExcelBook log;
    ASSERT_EQ(log.Load(folder + "Log/" + logs[0].toStdString()), 1);
    int pointLines = 0;
    for (int row = MatchLog::kFirstEventRow; row < log.Sheet(MatchLog::kEventSheet)->rows(); ++row)
        if (const ExcelCell* cell = log.Sheet(MatchLog::kEventSheet)->Peek(row, 2))
            if (const char* text = cell->GetString();
                text && std::string(text).find(" point") != std::string::npos)
                ++pointLines;
    EXPECT_GE(pointLines, 1);
    EXPECT_LE(pointLines, kShownBeforeKill);

    // Started again on the same folder and instance-lock folder: no box, its database whole, its receiver
    // linked.
    ASSERT_TRUE(fake.IsOpen());
    ASSERT_NO_FATAL_FAILURE(Start(runtime));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
    EXPECT_EQ(Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});

    // Every score the operator screen showed is in the event logs once the program has started again, in
    // the order shown, each once: the point rows of both players by their shared index (later hits may
    // have reached the records before the kill).
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
    EXPECT_EQ(Rows("SELECT count(*) = count(DISTINCT dbindex) FROM (SELECT dbindex FROM CHUNGLOG UNION ALL "
                   "SELECT dbindex FROM HONGLOG)"),
              std::vector<std::string>{"1"});
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
}

} // namespace
