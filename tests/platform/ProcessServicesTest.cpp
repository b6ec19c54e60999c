#include "platform/DebugOutput.h"
#include "platform/HeapReserve.h"
#include "platform/MessageBox.h"
#include "platform/ProcessSignals.h"
#include "platform/ProcessUsage.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "platform/Sound.h"
#include "platform/ThreadPriority.h"
#include "tests/support/ScriptedPrompter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sched.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A worker's last debug line may come while the process exits, after Qt's own statics are gone (the settings
// writer's last failed write does): the line is printed and the exit stays clean.
TEST(DebugOutputTest, ALineWrittenAfterQtsStaticsAreGoneIsPrintedAndTheExitIsClean) {
    GTEST_FLAG_SET(death_test_style,
                   "threadsafe"); // a fresh process, whose statics are made after the handler
    EXPECT_EXIT(
        {
            std::atexit([] { DebugPrintf("the last line at exit"); });
            // Makes the locale and calendar statics a time stamp uses: they are destroyed before the handler
            // runs.
            (void)QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "[0-9][0-9]:[0-9][0-9]:[0-9][0-9][.][0-9][0-9][0-9] the last line at exit");
}

TEST(MessageBoxTest, PrompterAnswersAndRecordsEveryBox) {
    ScriptedPrompter prompter;
    prompter.answer(IDNO);
    EXPECT_EQ(MessageBox(HWND{0}, u"Are you sure?", u"Information", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(HWND{0}, std::string_view("Kye-Shi: 1:00"), std::string_view("Info")), IDOK);
    EXPECT_EQ(AfxMessageBox(u"OLEDB Error"), IDOK);

    const auto boxes = prompter.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, u"Information");
    EXPECT_EQ(boxes[0].flags, MB_YESNO);
    EXPECT_EQ(boxes[1].text, u"Kye-Shi: 1:00");
    EXPECT_EQ(boxes[2].caption, u"Veziruduz");
}

TEST(SingleInstanceTest, SecondLockRefusedUntilFirstReleased) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    auto first = std::make_unique<platform::SingleInstanceLock>("VezIrudUz", folder);
    ASSERT_TRUE(first->acquired());
    EXPECT_FALSE(platform::SingleInstanceLock("VezIrudUz", folder).acquired());
    EXPECT_TRUE(platform::SingleInstanceLock("Other", folder).acquired());
    first.reset();
    EXPECT_TRUE(platform::SingleInstanceLock("VezIrudUz", folder).acquired());
}

TEST(SingleInstanceTest, KilledHolderReleasesTheLock) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::SingleInstanceLock lock("VezIrudUz", folder);
        const char byte = lock.acquired() ? 1 : 0;
        [[maybe_unused]] auto n = write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    EXPECT_FALSE(platform::SingleInstanceLock("VezIrudUz", folder).acquired());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(platform::SingleInstanceLock("VezIrudUz", folder).acquired());
    close(ready[0]);
    close(ready[1]);
}

class ProgramFolderTest : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("BELVANTA_HOME"); }
};

TEST_F(ProgramFolderTest, HomeVariableIsMadeAbsoluteWithTrailingSlash) {
    QTemporaryDir dir;
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("court 1"));
    setenv("BELVANTA_HOME", "court 1//", 1);
    const std::u16string folder = platform::findProgramFolder();
    QDir::setCurrent(cwd);
    EXPECT_EQ(QString::fromStdU16String(folder), QDir(dir.path()).canonicalPath() + "/court 1/");
}

TEST_F(ProgramFolderTest, WithoutHomeVariableItIsTheExecutablesFolder) {
    unsetenv("BELVANTA_HOME");
    EXPECT_EQ(QString::fromStdU16String(platform::findProgramFolder()),
              QCoreApplication::applicationDirPath() + "/");
}

class RecordingSink final : public platform::SoundSink {
public:
    void play(std::u16string_view path) override { played.emplace_back(path); }
    void stop() override { ++stops; }
    std::vector<std::u16string> played;
    int stops = 0;
};

TEST(SoundTest, PlaysThroughTheInstalledSinkAndEmptyPathStops) {
    RecordingSink sink;
    platform::SoundSink* previous = platform::setSoundSink(&sink);
    PlaySound(u"/court/Sound/start.wav");
    PlaySound(u"");
    platform::setSoundSink(previous);
    ASSERT_EQ(sink.played.size(), 1u);
    EXPECT_EQ(sink.played[0], u"/court/Sound/start.wav");
    EXPECT_EQ(sink.stops, 1);
}

TEST(SoundTest, MissingFileOnTheRealSinkIsHarmless) {
    PlaySound(u"/nonexistent/Sound/none.wav");
    PlaySound(u"");
}

// A short mono 16-bit PCM tone, written as a wave file the real player accepts.
void WriteTone(const QString& path) {
    const int rate = 8000, samples = 1600;
    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&wav](quint16 v) { wav.append(char(v & 0xFF)).append(char(v >> 8)); };
    wav.append("RIFF");
    u32(36 + samples * 2);
    wav.append("WAVEfmt ");
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    wav.append("data");
    u32(samples * 2);
    for (int i = 0; i < samples; ++i)
        u16(static_cast<quint16>((i / 10) % 2 ? 8000 : -8000));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wav);
}

// Two sounds, each played twice in turn (each has a player of its own, kept for its next play).
TEST(SoundTest, TheProgramEndsCleanlyAfterTheRealPlayerPlayedItsSounds) {
    QTemporaryDir dir;
    const QString start = dir.filePath("start.wav"), point = dir.filePath("point.wav");
    WriteTone(start);
    WriteTone(point);
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QStringLiteral(SOUND_EXIT_PROBE), {start, point});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
}

TEST(ProcessSignalsTest, WriteToClosedPeerFailsInsteadOfEndingTheProcess) {
    ASSERT_TRUE(platform::ignoreBrokenPipe());
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    close(pair[1]);
    EXPECT_EQ(write(pair[0], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(pair[0]);
}

TEST(ProcessSignalsTest, TerminationSignalRunsTheHandlerOnTheUiThread) {
    bool called = false;
    platform::onTerminationRequest([&called] { called = true; });
    raise(SIGTERM);
    const QDeadlineTimer deadline(5000);
    while (!called && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(called);
}

// The CPU clocks count work in seconds: the calling thread's, another running thread's and the process's,
// which holds both.
TEST(ProcessUsageTest, CpuClocksCountTheWorkOfEachThreadInSeconds) {
    const double process = platform::processCpuSeconds();
    const double own = platform::threadCpuSeconds();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (platform::threadCpuSeconds() - own < 0.05 && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_GE(platform::threadCpuSeconds() - own, 0.05);
    EXPECT_LT(platform::threadCpuSeconds() - own, 5.0) << "seconds, not milliseconds";

    std::atomic<bool> stop{false};
    std::thread spinner([&] {
        while (!stop.load(std::memory_order_relaxed)) {
        }
    });
    while (platform::threadCpuSeconds(spinner) < 0.05 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double spun = platform::threadCpuSeconds(spinner);
    stop = true;
    spinner.join();
    EXPECT_GE(spun, 0.05);
    EXPECT_GE(platform::processCpuSeconds() - process, 0.1);
}

// The peak resident set starts again from the present one and follows memory the process touches.
TEST(ProcessUsageTest, PeakResidentSetFollowsTouchedMemoryFromAReset) {
    ASSERT_TRUE(platform::resetPeakResident());
    const std::size_t base = platform::peakResidentBytes();
    ASSERT_GT(base, 0u);
    constexpr std::size_t kTouched = 64u << 20;
    std::vector<char> block(kTouched, 1);
    EXPECT_GE(platform::peakResidentBytes(), base + kTouched * 9 / 10);
    EXPECT_EQ(block.back(), 1);
}

// Pictures of a burst (a level's, a tile's) allocated after the reserve land on pages already in memory,
// and freed, their memory stays for the next; without it each fresh page is a fault.
TEST(HeapReserveTest, AllocationsAfterTheReserveTouchNoFreshPage) {
    if (!platform::reserveHeap(0))
        GTEST_SKIP() << "the allocator here takes no settings (a sanitizer's)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            constexpr std::size_t kPiece = 48u << 10;
            constexpr std::size_t kPieces = 256; // 12 MB
            constexpr long kPages = static_cast<long>(kPiece * kPieces / 4096);
            std::vector<char*> pieces;
            const auto faultsOfPieces = [&] {
                const long before = platform::threadMinorFaults();
                for (std::size_t n = 0; n < kPieces; ++n) {
                    auto* piece = static_cast<char*>(std::malloc(kPiece));
                    for (std::size_t at = 0; at < kPiece; at += 4096)
                        piece[at] = 1;
                    pieces.push_back(piece);
                }
                return platform::threadMinorFaults() - before;
            };
            const auto freePieces = [&] {
                for (char* piece : pieces)
                    std::free(piece);
                pieces.clear();
            };
            const long fresh = faultsOfPieces(); // the count sees fresh pages
            const bool reserved = platform::reserveHeap(32u << 20);
            const long after = faultsOfPieces();
            freePieces();
            const long again = faultsOfPieces();
            freePieces();
            std::fprintf(stderr, "pages %ld, faults: fresh %ld, after the reserve %ld, again %ld\n", kPages,
                         fresh, after, again);
            std::_Exit(reserved && fresh >= kPages / 2 && after <= kPages / 20 && again <= kPages / 20 ? 0
                                                                                                       : 1);
        },
        testing::ExitedWithCode(0), "pages");
}

// The caller's scheduling class and nice value.
struct Scheduling {
    int policy;
    int nice;
    bool operator==(const Scheduling&) const = default;
};

Scheduling scheduling() {
    return {sched_getscheduler(0) & ~SCHED_RESET_ON_FORK,
            getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()))};
}

// Raises a fresh thread and reports, in order: its scheduling before and after, whether it was told it
// was raised, a thread's it started afterwards, and its own after a second call.
struct Raise {
    Scheduling before, after;
    bool raised;
    Scheduling started, again;
    bool raisedAgain;
};

Raise raiseAThread() {
    Raise r{};
    std::thread([&] {
        r.before = scheduling();
        r.raised = platform::raiseScoringPriority("test");
        r.after = scheduling();
        std::thread([&] { r.started = scheduling(); }).join();
        r.raisedAgain = platform::raiseScoringPriority("test");
        r.again = scheduling();
    }).join();
    return r;
}

// Where the system permits it (CI runs as root), the caller runs in the real-time class; the threads it
// starts later do not, and a second call changes nothing.
TEST(ThreadPriorityTest, TheCallerIsRaisedAndTheThreadsItStartsLaterAreNot) {
    const Raise r = raiseAThread();
    EXPECT_EQ(r.before.policy, SCHED_OTHER);
    EXPECT_EQ(r.after.policy, r.raised ? SCHED_FIFO : SCHED_OTHER);
    if (!r.raised) {
        EXPECT_LE(r.after.nice, r.before.nice);
    }
    EXPECT_EQ(r.started, r.before);
    EXPECT_EQ(r.raisedAgain, r.raised);
    EXPECT_EQ(r.again, r.after);
}

// A user without the privilege and without raised limits keeps the normal priority, and the debug output
// says so; nothing changes for the threads it starts.
TEST(ThreadPriorityTest, AnUnprivilegedUserKeepsTheNormalPriorityAndIsToldWhy) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to become an unprivileged user";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const rlimit none{};
            if (setrlimit(RLIMIT_RTPRIO, &none) != 0 || setrlimit(RLIMIT_NICE, &none) != 0 ||
                setgid(65534) != 0 || setuid(65534) != 0)
                std::_Exit(3);
            const Raise r = raiseAThread();
            std::_Exit(!r.raised && r.after == r.before && r.started == r.before && r.again == r.before ? 0
                                                                                                        : 1);
        },
        testing::ExitedWithCode(0),
        "the test thread keeps its normal priority [(]Operation not permitted[)]");
}

} // namespace
