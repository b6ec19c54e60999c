// The event log's faults in a running round: the disk under the program folder full, and another program
// holding the local database's write lock. The screen goes on taking hits, the operator is told once, and
// once the database takes writes again every hit shown is in the records, in order, each once, with totals
// that agree with the rows.
#include "tests/e2e/Court.h"

#include "app/Messages.h"
#include "devices/DeviceReportText.h"
#include "records/EventLogWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using ShownScores = std::vector<std::pair<int, int>>;

class RecordsFaultCourt : public Court {
protected:
    // A round under way on a court set up as the operator does.
    void StartRound() {
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 3);
    }
    // Hit number n: Chung's trunk kick or Hong's head kick by turns, half a second apart; returns once
    // the operator screen shows its score.
    void Hit(int n) {
        Advance(500);
        const std::pair<int, int> before = Shown();
        ASSERT_TRUE(n % 2 == 0 ? fake.SendHit("HV", md->nLevelBody + 10, kSock)
                               : fake.SendHit("CH", md->nLevelHead + 10, kSock));
        ASSERT_TRUE(Until([&] { return Shown() != before; })) << "hit " << n << " not shown";
        shown.push_back(Shown());
    }
    int DbErrors() const {
        const std::vector<std::string> texts = prompter.texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), "DB Error!"));
    }
    // Every score shown is in the event logs, in the order shown and once, and the match row's totals are
    // the last score shown and agree with the rows.
    void ExpectRecordsAsShown() {
        ASSERT_TRUE(TheEventLogWriter().WaitWritten(60000)) << "the events were never written";
        std::vector<std::string> changes;
        std::pair<int, int> last{0, 0};
        for (const auto& score : shown) {
            changes.push_back(score.first != last.first ? "0|" + std::to_string(score.first - last.first)
                                                        : "1|" + std::to_string(score.second - last.second));
            last = score;
        }
        EXPECT_EQ(
            Rows("SELECT side, point FROM (SELECT 0 AS side, point, dbindex FROM CHUNGLOG WHERE point > "
                 "0 AND itemvalid = 1 UNION ALL SELECT 1, point, dbindex FROM HONGLOG WHERE point > 0 AND "
                 "itemvalid = 1) ORDER BY dbindex"),
            changes);
        EXPECT_EQ(Rows("SELECT count(*) = count(DISTINCT dbindex) FROM (SELECT dbindex FROM CHUNGLOG UNION "
                       "ALL SELECT dbindex FROM HONGLOG)"),
                  std::vector<std::string>{"1"});
        EXPECT_EQ(Rows("SELECT chungpoint, hongpoint, chungpoint = (SELECT coalesce(sum(point), 0) FROM "
                       "CHUNGLOG WHERE itemvalid = 1), hongpoint = (SELECT coalesce(sum(point), 0) FROM "
                       "HONGLOG WHERE itemvalid = 1) FROM GAMET"),
                  std::vector<std::string>{std::to_string(last.first) + "|" + std::to_string(last.second) +
                                           "|1|1"});
    }

    ShownScores shown;
};

// ---- the disk full ----

// The program folder on a small file system of the test's own (a tmpfs), which the test fills.
class DiskFullCourt : public RecordsFaultCourt {
protected:
    void PrepareFolder() override {
        const QString mountPoint = m_disk.path();
        QProcess mount;
        mount.start("mount", {"-t", "tmpfs", "-o", "size=96m", "tmpfs", mountPoint});
        if (!mount.waitForFinished(20000) || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0) {
            m_skip =
                "no small file system can be mounted here: " + mount.readAllStandardError().toStdString();
            return;
        }
        m_mounted = true;
        const std::string small = mountPoint.toStdString() + "/court/";
        std::error_code error;
        std::filesystem::copy(folder, small, std::filesystem::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
        folder = small;
    }
    void TearDown() override {
        Court::TearDown();
        if (m_mounted)
            QProcess::execute("umount", {m_disk.path()});
    }
    // Writes a file until the file system takes no byte more.
    void FillDisk() {
        QFile filler(QString::fromStdString(folder + "filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (const qint64 chunk : {qint64{1} << 20, qint64{4096}, qint64{1}}) {
            const QByteArray block(chunk, 'x');
            while (filler.write(block) == chunk) {
            }
        }
        ASSERT_GT(filler.size(), 0);
    }

    QTemporaryDir m_disk;
    bool m_mounted = false;
    std::string m_skip;
};

TEST_F(DiskFullCourt, TheScreenGoesOnAndEveryHitShownIsWrittenOnceTheDiskHasRoomAgain) {
    if (!m_mounted)
        GTEST_SKIP() << m_skip;
    ASSERT_NO_FATAL_FAILURE(StartRound());
    for (int n = 0; n < 3; ++n)
        ASSERT_NO_FATAL_FAILURE(Hit(n));
    ASSERT_TRUE(TheEventLogWriter().WaitWritten(30000));

    ASSERT_NO_FATAL_FAILURE(FillDisk());
    for (int n = 3; n < 8; ++n)
        ASSERT_NO_FATAL_FAILURE(Hit(n));
    ASSERT_TRUE(Until([&] { return DbErrors() > 0; })) << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(md->nGameState, 3) << "the round goes on";

    ASSERT_TRUE(QFile::remove(QString::fromStdString(folder + "filler")));
    for (int n = 8; n < 10; ++n)
        ASSERT_NO_FATAL_FAILURE(Hit(n));
    ExpectRecordsAsShown();
    EXPECT_EQ(DbErrors(), 1);
}

// ---- the database locked by another program ----

using LockedDatabaseCourt = RecordsFaultCourt;

TEST_F(LockedDatabaseCourt, TheUserInterfaceAnswersAtOnceAndTheHitsAreWrittenWhenTheLockIsFree) {
    ASSERT_NO_FATAL_FAILURE(StartRound());
    for (int n = 0; n < 2; ++n)
        ASSERT_NO_FATAL_FAILURE(Hit(n));
    ASSERT_TRUE(TheEventLogWriter().WaitWritten(30000));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder + "Vevuvurer.edi").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int n = 2; n < 6; ++n) {
        ASSERT_NO_FATAL_FAILURE(Hit(n));
        // The same report handed to the operator view as the receiver's thread hands it: the view
        // returns at once, however long the lock is held.
        Advance(500);
        const std::pair<int, int> before = Shown();
        char text[64];
        FormatValidHitText(text, sizeof text, md->nLevelBody + 10, false, kSock);
        QElapsedTimer handled;
        handled.start();
        SendMessage(view->GetSafeHwnd(), UM_TRUNK_HIT, 1, reinterpret_cast<LPARAM>(text));
        EXPECT_LT(handled.elapsed(), 50) << "hit " << n;
        ASSERT_TRUE(Until([&] { return Shown() != before; }));
        shown.push_back(Shown());
    }
    ASSERT_TRUE(Until([&] { return DbErrors() > 0; })) << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(md->nGameState, 3);

    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    ExpectRecordsAsShown();
    EXPECT_EQ(DbErrors(), 1);
}

} // namespace
