// The receiver link against real pseudo-terminals: the tty layer on its own, then the receiver object with
// its threads against the fake receiver, on a manual clock.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/ProgressDlg.h"
#include "devices/Receiver.h"
#include "platform/UsbReceiverPort.h"
#include "platform/WindowMessages.h"
#include "tests/platform/EventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tools/FakeReceiver.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;
using FrameSink = void (*)(TTK_Receiver&, const ReceiverFrame&);

// A bare pseudo-terminal: the test plays the device on the master.
struct Pty {
    Pty() {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, name, &raw, nullptr) == 0)
            path = name;
    }
    ~Pty() {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
    Bytes ReadMaster(std::size_t count) {
        Bytes got;
        const bool done = pumpUntil([&] {
            BYTE chunk[512];
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            if (n > 0)
                got.insert(got.end(), chunk, chunk + n);
            return got.size() >= count;
        });
        EXPECT_TRUE(done);
        return got;
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

// Stands in for /sys/class/tty and /dev: one USB device per serial port, its tty a link to a pty.
class FakeSysfs {
public:
    FakeSysfs() { platform::setUsbScanRootsForTests(Tty().string(), Dev().string()); }
    ~FakeSysfs() { platform::setUsbScanRootsForTests("", ""); }

    // A receiver's port, unless product names another USB serial bridge.
    void AddPort(const std::string& name, const std::string& serial, const std::string& ttyPath,
                 const std::string& product = "ea61") {
        const fs::path usb = Root() / "devices" / name;
        const fs::path port = usb / "1-1:1.0" / name;
        fs::create_directories(port);
        fs::create_directories(Tty() / name);
        fs::create_symlink(port, Tty() / name / "device");
        Write(usb / "idVendor", "10c4\n");
        Write(usb / "idProduct", product + "\n");
        SetSerial(name, serial);
        fs::create_directories(Dev());
        if (!ttyPath.empty())
            fs::create_symlink(ttyPath, Dev() / name);
    }
    // Another device of the same kind in the same place.
    void SetSerial(const std::string& name, const std::string& serial) {
        Write(Root() / "devices" / name / "serial", serial + "\n");
    }
    void AddOtherTty(const std::string& name) { fs::create_directories(Tty() / name); }
    std::string DevPath(const std::string& name) const { return (Dev() / name).string(); }

private:
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
    fs::path Root() const { return fs::path(m_dir.path().toStdString()); }
    fs::path Tty() const { return Root() / "class" / "tty"; }
    fs::path Dev() const { return Root() / "dev"; }

    QTemporaryDir m_dir;
};

std::string Identity(DWORD index) {
    char text[256] = {};
    EXPECT_EQ(SI_GetProductString(index, text, sizeof text), SI_SUCCESS);
    return text;
}

// ---- the tty layer ----

class UsbReceiverPortTest : public ::testing::Test {
protected:
    UsbReceiverPortTest() { unsetenv("BELVANTA_RECEIVER"); }
    ~UsbReceiverPortTest() override { unsetenv("BELVANTA_RECEIVER"); }
};

TEST_F(UsbReceiverPortTest, ScanCountsUsbSerialPortsInNumberOrderWithTheirIdentity) {
    Pty second;
    Pty tenth;
    FakeSysfs sysfs;
    sysfs.AddPort("ttyUSB10", "B-10", tenth.path);
    sysfs.AddPort("ttyUSB2", "A-2", second.path);
    sysfs.AddOtherTty("ttyS0");

    DWORD count = 0;
    ASSERT_EQ(SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(Identity(0), "10c4:ea61:A-2");
    EXPECT_EQ(Identity(1), "10c4:ea61:B-10");
    char text[256];
    EXPECT_EQ(SI_GetProductString(2, text, sizeof text), SI_DEVICE_NOT_FOUND);

    // Device 0 is ttyUSB2: what it sends arrives at that pty.
    USB_HANDLE handle;
    ASSERT_EQ(SI_Open(0, &handle), SI_SUCCESS);
    DWORD written = 0;
    const BYTE ping[] = {0x02, 0x01, 0x07, 0x00, 0x06};
    ASSERT_EQ(SI_Write(handle, ping, sizeof ping, &written), SI_SUCCESS);
    EXPECT_EQ(second.ReadMaster(sizeof ping), Bytes(std::begin(ping), std::end(ping)));
    SI_Close(handle);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(UsbReceiverPortTest, OtherAdaptersAndTheJudgePortsAreNeverTheReceiver) {
    Pty judgeAdapter;
    Pty listedJudge;
    Pty receiver;
    FakeSysfs sysfs;
    sysfs.AddPort("ttyUSB0", "J-0", judgeAdapter.path, "ea60"); // a plain USB serial adapter
    sysfs.AddPort("ttyUSB1", "J-1", listedJudge.path);          // the receiver's ids, but a judge's port
    sysfs.AddPort("ttyUSB2", "R-2", receiver.path);
    platform::setUsbReceiverExcludedPorts({sysfs.DevPath("ttyUSB1")});

    DWORD count = 0;
    ASSERT_EQ(SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(Identity(0), "10c4:ea61:R-2");

    platform::setUsbReceiverExcludedPorts({});
    ASSERT_EQ(SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 2u);
}

TEST_F(UsbReceiverPortTest, NamedReceiverTakesPrecedenceOverTheScan) {
    Pty scanned;
    Pty named;
    FakeSysfs sysfs;
    sysfs.AddPort("ttyUSB0", "S", scanned.path);

    setenv("BELVANTA_RECEIVER", named.path.c_str(), 1);
    DWORD count = 0;
    ASSERT_EQ(SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(Identity(0), named.path);

    setenv("BELVANTA_RECEIVER", "/nonexistent/receiver", 1);
    ASSERT_EQ(SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 0u);
    USB_HANDLE handle;
    EXPECT_EQ(SI_Open(0, &handle), SI_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(UsbReceiverPortTest, EveryByteValuePassesUnchangedBothWays) {
    Pty pty;
    setenv("BELVANTA_RECEIVER", pty.path.c_str(), 1);
    USB_HANDLE handle;
    ASSERT_EQ(SI_Open(0, &handle), SI_SUCCESS);
    ASSERT_EQ(SI_SetBaudRate(handle, 230400), SI_SUCCESS);
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0); // CR, LF, XON, XOFF, ^C ... must not be translated or eaten

    DWORD written = 0;
    ASSERT_EQ(SI_Write(handle, all.data(), 256, &written), SI_SUCCESS);
    EXPECT_EQ(written, 256u);
    EXPECT_EQ(pty.ReadMaster(256), all);

    ASSERT_EQ(::write(pty.master, all.data(), all.size()), 256);
    SI_SetTimeouts(5000, 5000);
    Bytes got;
    while (got.size() < 256) {
        ASSERT_EQ(SI_WaitForRX(handle, 5000), SI_SUCCESS);
        BYTE chunk[128];
        DWORD read = 0;
        ASSERT_EQ(SI_Read(handle, chunk, sizeof chunk, &read), SI_SUCCESS);
        EXPECT_LE(read, 128u);
        got.insert(got.end(), chunk, chunk + read);
    }
    EXPECT_EQ(got, all);
    SI_Close(handle);
}

TEST_F(UsbReceiverPortTest, HangUpCancelAndCloseEndAWait) {
    Pty pty;
    setenv("BELVANTA_RECEIVER", pty.path.c_str(), 1);
    USB_HANDLE handle;
    ASSERT_EQ(SI_Open(0, &handle), SI_SUCCESS);
    EXPECT_EQ(SI_SetBaudRate(handle, 12345), SI_INVALID_BAUDRATE);

    SI_CancelWait(handle); // before the wait: the wait still ends
    EXPECT_EQ(SI_WaitForRX(handle, SI_INFINITE), SI_WAIT_CANCELLED);

    USB_HANDLE copy = handle;
    SI_Close(handle);
    EXPECT_EQ(SI_WaitForRX(copy, SI_INFINITE), SI_INVALID_HANDLE);
    DWORD written = 0;
    EXPECT_EQ(SI_Write(copy, "x", 1, &written), SI_INVALID_HANDLE);

    ASSERT_EQ(SI_Open(0, &handle), SI_SUCCESS); // closed for real: the tty opens again
    ::close(pty.master);
    pty.master = -1;
    // The wait returns (a hang-up may still leave bytes to read); the read then fails.
    SI_WaitForRX(handle, SI_INFINITE);
    BYTE buffer[128];
    DWORD read = 0;
    EXPECT_EQ(SI_Read(handle, buffer, sizeof buffer, &read), SI_READ_ERROR);
    DWORD waiting = 0;
    DWORD status = 0;
    EXPECT_EQ(SI_CheckRXQueue(handle, &waiting, &status), SI_DEVICE_IO_FAILED);
    SI_Close(handle);
}

int OpenDescriptors() {
    return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

TEST_F(UsbReceiverPortTest, NotATtyIsRefusedWithoutLeavingADescriptorOpen) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("receiver").toStdString();
    std::ofstream(file) << "not a tty";
    setenv("BELVANTA_RECEIVER", file.c_str(), 1);
    const int before = OpenDescriptors();
    USB_HANDLE handle;
    EXPECT_EQ(SI_Open(0, &handle), SI_DEVICE_IO_FAILED);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(OpenDescriptors(), before);
}

// ---- the receiver object and its threads ----

// Stands in for a window the receiver tells: records every message on the UI thread.
class RecordingWindow final : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        messages.push_back(message);
        return 0;
    }
    int Count(UINT message) const { return static_cast<int>(std::ranges::count(messages, message)); }
    std::vector<UINT> messages;
};

// The frames the receive thread hands over, in place of the dispatch.
std::mutex g_framesLock;
std::vector<Bytes> g_frames;

void RecordFrame(TTK_Receiver&, const ReceiverFrame& frame) {
    std::lock_guard guard(g_framesLock);
    g_frames.emplace_back(frame.bytes, frame.bytes + frame.length);
}

std::vector<Bytes> Frames() {
    std::lock_guard guard(g_framesLock);
    return g_frames;
}

constexpr int kLostBit = 0x800000;

class ReceiverLinkTest : public ::testing::Test {
protected:
    ReceiverLinkTest() {
        CreateMatchData();
        md = g_pMatchData;
        m_savedView = g_hMainWnd;
        g_hMainWnd = view.GetSafeHwnd();
        g_hProgDlg = progress.GetSafeHwnd();
        unsetenv("BELVANTA_RECEIVER");
        std::lock_guard guard(g_framesLock);
        g_frames.clear();
    }
    ~ReceiverLinkTest() override {
        receiver.reset();
        unsetenv("BELVANTA_RECEIVER");
        g_hProgDlg = 0;
        g_hMainWnd = m_savedView;
        FreeMatchData();
    }

    // The frame sink is chosen before the threads start: the receive thread reads it.
    void MakeReceiver(FrameSink sink = RecordFrame) {
        receiver = std::make_unique<TTK_Receiver>();
        InitReceiver(receiver.get());
        receiver->clock = &clock;
        receiver->frameSink = sink;
    }
    // The link through the fake receiver, up to the version request it answers.
    void StartWithFake(FrameSink sink = RecordFrame) {
        setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
        MakeReceiver(sink);
        ASSERT_TRUE(ReceiverStartThread(receiver.get()));
        ASSERT_TRUE(fake.WaitForCommand(0x07));
    }
    // Waits until the worker sleeps its n-th sleep, then lets that sleep end.
    void EndSleep(const ReceiverWorker& worker, int n, DWORD ms) {
        ASSERT_TRUE(pumpUntil([&] { return worker.SleepingIn() == n; })) << "sleep " << n;
        clock.Advance(ms);
    }
    // The receiver's threads write the flag; the UI thread reads it atomically.
    int ReceiverOpen() const { return std::atomic_ref<int>(md->bReceiverOpen).load(); }
    bool HasFrame(const Bytes& frame) {
        return pumpUntil([&] { return std::ranges::count(Frames(), frame) > 0; });
    }

    FakeReceiver fake;
    WorkerClock clock{true};
    RecordingWindow view;
    RecordingWindow progress;
    ScriptedPrompter prompter;
    MatchData* md = nullptr;
    std::unique_ptr<TTK_Receiver> receiver; // last: closed before the peers go

private:
    HWND m_savedView = 0;
};

// A device report as the receiver forwards it, its checksum appended.
Bytes WithChecksum(Bytes frame) {
    frame.push_back(FrameChecksum(frame.data(), frame[3]));
    return frame;
}
// A hit and a judge press.
const Bytes kHitFrame = WithChecksum({0x02, 0x10, 0x19, 0x07, 0x11, 0x22, 0x02, 0x00, 0x00, 0x01, 0x2C});
const Bytes kJudgeFrame = WithChecksum({0x02, 0x10, 0x19, 0x05, 0x33, 0x44, 0x03, 0x02, 0x06});

TEST_F(ReceiverLinkTest, StartOpensAsksTheVersionAndHandsOverEveryFrame) {
    ASSERT_TRUE(fake.IsOpen());
    DeviceStatusSet(*md, kLostBit);
    StartWithFake();
    EXPECT_EQ(ReceiverOpen(), 1);
    EXPECT_EQ(DeviceStatusLoad(*md) & kLostBit, 0);
    EXPECT_EQ(fake.Commands().front(), (Bytes{0x02, 0x01, 0x07, 0x00, 0x06}));
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverVersionSent);
    {
        std::lock_guard guard(receiver->linkLock);
        EXPECT_EQ(std::string(receiver->szProductString), fake.SlavePath());
    }

    // The fake's version reply, then noise, a hit and a judge press in one write.
    ASSERT_TRUE(pumpUntil([] { return !Frames().empty(); }));
    EXPECT_EQ(Frames().front()[1], kFrameTypeReply);
    EXPECT_EQ(Frames().front()[2], 0x07);

    Bytes burst = {0xFF, 0x00, 0x13};
    burst.insert(burst.end(), kHitFrame.begin(), kHitFrame.end());
    burst.insert(burst.end(), kJudgeFrame.begin(), kJudgeFrame.end());
    ASSERT_TRUE(fake.SendRaw(burst));

    ASSERT_TRUE(HasFrame(kJudgeFrame));
    const std::vector<Bytes> frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1], kHitFrame);
    EXPECT_EQ(frames[2], kJudgeFrame);
}

TEST_F(ReceiverLinkTest, AFrameBehindAStrayLengthByteArrivesWithoutWaitingForMoreBytes) {
    StartWithFake();
    ASSERT_TRUE(pumpUntil([] { return !Frames().empty(); })); // the version reply
    // A report that promises 96 bytes, then the hit.
    Bytes burst = {0x02, 0x10, 0x19, 0x60};
    burst.insert(burst.end(), kHitFrame.begin(), kHitFrame.end());
    ASSERT_TRUE(fake.SendRaw(burst));
    EXPECT_TRUE(HasFrame(kHitFrame)); // nothing follows on the line
}

// Hands a frame over as slowly as a busy view does: the hit frame is held until the test has sent more
// bytes and then for longer than a partial frame's time-out.
std::atomic<bool> g_handingHit{false};
std::atomic<bool> g_restSent{false};

void SlowFrameSink(TTK_Receiver& receiver, const ReceiverFrame& frame) {
    if (frame.Type() == kFrameTypeReport && frame.PayloadLength() == 7) {
        g_handingHit = true;
        while (!g_restSent)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * kPartialFrameTimeoutMs));
    }
    RecordFrame(receiver, frame);
}

TEST_F(ReceiverLinkTest, AFrameSplitAcrossReadsSurvivesASlowHandOverOfTheFrameBeforeIt) {
    g_handingHit = false;
    g_restSent = false;
    StartWithFake(SlowFrameSink);                             // slow only for a hit
    ASSERT_TRUE(pumpUntil([] { return !Frames().empty(); })); // the version reply

    // The hit and the judge frame's first bytes in one read; the rest comes while the hit is handed over.
    Bytes first = kHitFrame;
    first.insert(first.end(), kJudgeFrame.begin(), kJudgeFrame.begin() + 4);
    ASSERT_TRUE(fake.SendRaw(first));
    ASSERT_TRUE(pumpUntil([] { return g_handingHit.load(); }));
    ASSERT_TRUE(fake.SendRaw(Bytes(kJudgeFrame.begin() + 4, kJudgeFrame.end())));
    g_restSent = true;

    EXPECT_TRUE(HasFrame(kJudgeFrame));
    EXPECT_EQ(Frames().back(), kJudgeFrame);
}

TEST_F(ReceiverLinkTest, NoReceiverWarnsOnceEachThenOpensWhenOneIsPluggedIn) {
    FakeSysfs sysfs; // no USB serial port yet
    MakeReceiver();
    ASSERT_TRUE(ReceiverStartThread(receiver.get()));
    for (int attempt = 1; attempt <= 6; ++attempt)
        EndSleep(receiver->startThread, attempt, 100);
    ASSERT_TRUE(pumpUntil([&] { return prompter.boxes().size() >= 2; }));
    EXPECT_EQ(ReceiverOpen(), 0);

    sysfs.AddPort("ttyUSB0", "R1", fake.SlavePath());
    EndSleep(receiver->startThread, 7, 100);
    ASSERT_TRUE(fake.WaitForCommand(0x07));
    EXPECT_EQ(ReceiverOpen(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Receiver Connection Error", "Receiver is not connected!"}));
}

int Replies(BYTE command) {
    return static_cast<int>(std::ranges::count_if(
        Frames(), [&](const Bytes& frame) { return frame[1] == kFrameTypeReply && frame[2] == command; }));
}

// The receiver's tty is a link, as udev names a plugged receiver: gone while the receiver is unplugged.
TEST_F(ReceiverLinkTest, AnUnpluggedReceiverIsReportedLostOnceAndOpenedAgainWhenPluggedBack) {
    QTemporaryDir dir;
    const std::string link = dir.path().toStdString() + "/receiver";
    fs::create_symlink(fake.SlavePath(), link);
    setenv("BELVANTA_RECEIVER", link.c_str(), 1);
    MakeReceiver();
    ASSERT_TRUE(ReceiverStartThread(receiver.get()));
    ASSERT_TRUE(fake.WaitForCommand(0x07));
    // The first version reply read before the unplug, which would lose it with the terminal.
    ASSERT_TRUE(pumpUntil([&] { return Replies(0x07) == 1; }));
    EndSleep(receiver->checkThread, 1, 1000);
    ASSERT_TRUE(pumpUntil([&] { return view.Count(UM_RECEIVER_PRESENT) == 1; }));

    fake.Unplug();
    fs::remove(link);
    EndSleep(receiver->checkThread, 2, 1000);
    ASSERT_TRUE(pumpUntil([&] { return view.Count(UM_RECEIVER_LOST) == 1; }));
    EXPECT_EQ(ReceiverOpen(), 0);
    EXPECT_FALSE(receiver->IsOpen());
    DeviceStatusSet(*md, kLostBit); // as the operator view does on the loss

    // Still unplugged: the thread keeps looking, without telling the loss again.
    EndSleep(receiver->checkThread, 3, 1000);
    ASSERT_TRUE(pumpUntil([&] { return receiver->checkThread.SleepingIn() == 4; }));
    EXPECT_EQ(view.messages, (std::vector<UINT>{UM_RECEIVER_PRESENT, UM_RECEIVER_LOST}));
    EXPECT_EQ(DeviceStatusLoad(*md) & kLostBit, kLostBit);

    // Plugged back: opened again and asked its version, so the channel can be set and the devices paired.
    ASSERT_TRUE(fake.Replug());
    fs::create_symlink(fake.SlavePath(), link);
    EndSleep(receiver->checkThread, 4, 1000);
    ASSERT_TRUE(fake.WaitForCommand(0x07, 2));
    EXPECT_EQ(ReceiverOpen(), 1);
    EXPECT_EQ(DeviceStatusLoad(*md) & kLostBit, 0);
    // The receive thread pauses after each failed read; once its pause ends it reads the new receiver.
    EXPECT_TRUE(pumpUntil([&] {
        clock.Advance(100);
        return Replies(0x07) == 2;
    }));
    EXPECT_TRUE(pumpUntil([&] {
        clock.Advance(100);
        return view.Count(UM_RECEIVER_PRESENT) == 2;
    }));
    EXPECT_EQ(view.Count(UM_RECEIVER_LOST), 1);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(ReceiverLinkTest, AnotherReceiverInItsPlaceIsReportedLostThenOpened) {
    FakeSysfs sysfs;
    sysfs.AddPort("ttyUSB0", "FIRST", fake.SlavePath());
    MakeReceiver();
    ASSERT_TRUE(ReceiverStartThread(receiver.get()));
    ASSERT_TRUE(fake.WaitForCommand(0x07));
    EndSleep(receiver->checkThread, 1, 1000);
    ASSERT_TRUE(pumpUntil([&] { return view.Count(UM_RECEIVER_PRESENT) == 1; }));

    sysfs.SetSerial("ttyUSB0", "SECOND");
    EndSleep(receiver->checkThread, 2, 1000);
    ASSERT_TRUE(pumpUntil([&] { return view.Count(UM_RECEIVER_LOST) == 1; }));
    EXPECT_EQ(view.messages, (std::vector<UINT>{UM_RECEIVER_PRESENT, UM_RECEIVER_PRESENT, UM_RECEIVER_LOST}));
    EXPECT_FALSE(receiver->IsOpen());

    // The devices were paired with the first one; the new one is opened and asked its version.
    EndSleep(receiver->checkThread, 3, 1000);
    ASSERT_TRUE(fake.WaitForCommand(0x07, 2));
    EXPECT_TRUE(receiver->IsOpen());
    {
        std::lock_guard guard(receiver->linkLock);
        EXPECT_EQ(std::string(receiver->szProductString), "10c4:ea61:SECOND");
    }
}

// A pairing poll's final-polls flag, the low bit of its class byte.
std::vector<int> PollFlags(const std::vector<Bytes>& commands) {
    std::vector<int> flags;
    for (const Bytes& frame : commands) {
        if (frame[2] == 0x0D)
            flags.push_back(frame[6] & 0x01);
    }
    return flags;
}

void BeginPairing(TTK_Receiver& receiver, const char* name, BYTE code) {
    ReceiverProtocolState& protocol = receiver.protocol;
    {
        std::lock_guard guard(protocol.lock);
        std::strcpy(protocol.szPairName, name);
        const BYTE poll[3] = {code, 0x14, 0x00};
        std::memcpy(protocol.abPoll, poll, 3);
        protocol.bTeamPoll = false;
    }
    protocol.nState = kReceiverRegistered;
    protocol.bPairing = 1;
}

TEST_F(ReceiverLinkTest, PairingWithoutReplyPollsFourteenTimesThenTimesOut) {
    fake.SetPollsBeforePairing(-1);
    StartWithFake();
    BeginPairing(*receiver, "CV", 0x01);
    ASSERT_TRUE(StartRegistrationWait(receiver.get()));
    for (int poll = 1; poll <= 14; ++poll)
        EndSleep(receiver->pairingThread, poll, 1050);

    ASSERT_TRUE(pumpUntil([&] { return !prompter.boxes().empty(); }));
    const ScriptedPrompter::Box box = prompter.boxes().front();
    EXPECT_EQ(prompter.texts().front(), "Registeraion Timeout!\r\nPlease check the vest of Chung player.");
    EXPECT_EQ(box.caption, u"Information");
    EXPECT_EQ(box.flags & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_EQ(progress.Count(WM_CLOSE), 1);
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverPairTimeout);
    // The fake reads the last poll from the pty on its own thread: wait for it to arrive.
    pumpUntil([&] { return PollFlags(fake.Commands()).size() >= 14; });
    EXPECT_EQ(PollFlags(fake.Commands()), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
}

TEST_F(ReceiverLinkTest, TimeoutBoxNamesTheDeviceKind) {
    struct Case {
        const char* name;
        BYTE code;
        const char* text; // null: no box
    };
    const Case cases[] = {
        {"CH", 0x03, "Registeraion Timeout!\r\nPlease check the head gear of Chung player."},
        {"HH", 0x13, "Registeraion Timeout!\r\nPlease check the head gear of Hong player."},
        {"HV", 0x11, "Registeraion Timeout!\r\nPlease check the vest of Hong player."},
        {"judge3", 0x23, "Registeraion Timeout!\r\nPlease check the referee device."},
        {"CV2", 0x01, nullptr},
    };
    fake.SetPollsBeforePairing(-1);
    StartWithFake();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompter boxes;
        BeginPairing(*receiver, c.name, c.code);
        ASSERT_TRUE(StartRegistrationWait(receiver.get()));
        for (int poll = 1; poll <= 14; ++poll)
            EndSleep(receiver->pairingThread, poll, 1050);
        ASSERT_TRUE(
            pumpUntil([&] { return receiver->pairingThread.GetState() == ReceiverWorker::State::Finished; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(boxes.texts(), c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{});
    }
}

TEST_F(ReceiverLinkTest, PairingReplyEndsThePollsWithoutABox) {
    fake.SetPollsBeforePairing(-1);
    StartWithFake();
    BeginPairing(*receiver, "HH", 0x13);
    ASSERT_TRUE(StartRegistrationWait(receiver.get()));
    EndSleep(receiver->pairingThread, 1, 1050);
    ASSERT_TRUE(fake.WaitForCommand(0x0D, 2));

    ASSERT_TRUE(pumpUntil([&] { return receiver->pairingThread.SleepingIn() == 2; }));
    receiver->protocol.bPairing = 0; // what the pairing reply does
    clock.Advance(1050);
    ASSERT_TRUE(
        pumpUntil([&] { return receiver->pairingThread.GetState() == ReceiverWorker::State::Finished; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(PollFlags(fake.Commands()).size(), 2u);
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(progress.Count(WM_CLOSE), 0);
}

TEST_F(ReceiverLinkTest, CloseJoinsEveryThreadAndSendsTheCloseFrame) {
    fake.SetPollsBeforePairing(-1);
    StartWithFake();
    BeginPairing(*receiver, "CV", 0x01);
    ASSERT_TRUE(StartRegistrationWait(receiver.get()));
    ASSERT_TRUE(pumpUntil([&] { return receiver->checkThread.SleepingIn() == 1; }));

    CloseReceiver(receiver.get()); // every thread is asleep or waiting for bytes: each is woken, none killed
    for (const ReceiverWorker* worker :
         {&receiver->startThread, &receiver->checkThread, &receiver->receiveThread, &receiver->pairingThread})
        EXPECT_EQ(worker->GetState(), ReceiverWorker::State::Idle);
    EXPECT_EQ(ReceiverOpen(), 0);
    CloseReceiver(receiver.get()); // twice, while the writer closes the port: nothing more is sent
    ASSERT_TRUE(fake.WaitForCommand(0x05));
    EXPECT_TRUE(pumpUntil([&] { return !receiver->IsOpen(); })) << "the writer closes the port";
    EXPECT_EQ(fake.Commands().back(), (Bytes{0x02, 0x01, 0x05, 0x01, 0x01, 0x04}));
    EXPECT_EQ(std::ranges::count(fake.Commands(), Bytes{0x02, 0x01, 0x05, 0x01, 0x01, 0x04}), 1);
    EXPECT_FALSE(WriteReceiver(receiver.get(), Bytes{0x02}.data(), 1));
    CloseReceiver(receiver.get()); // and after
}

// A close hands the close frame to the writer thread behind the commands still queued and returns; an
// open right after it waits for that close, so the receiver gets every command and the close frame whole
// and in order before the new link's version request, and the new link runs.
TEST_F(ReceiverLinkTest, AReopenRightAfterACloseFollowsItsCloseFrame) {
    StartWithFake();
    const Bytes vibrate = {0x02, 0x01, 0x31, 0x01, 0x00, 0x31};
    const Bytes close = {0x02, 0x01, 0x05, 0x01, 0x01, 0x04};
    constexpr int kQueued = 200; // still being written when the close returns
    for (int cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE(cycle);
        for (int i = 0; i < kQueued; ++i)
            SendReceiverCommand(receiver.get(), 45, "CV");
        CloseReceiver(receiver.get());
        InitReceiver(receiver.get());
        ASSERT_TRUE(ReceiverStartThread(receiver.get()));
        ASSERT_TRUE(fake.WaitForCommand(0x07, cycle + 1));
        ASSERT_TRUE(pumpUntil([&] { return ReceiverOpen() == 1; }));
        EXPECT_TRUE(receiver->IsOpen());

        // This cycle's vibration and close frames, between the version request before them and the new one.
        std::vector<Bytes> sent;
        int versions = 0;
        for (const Bytes& frame : fake.Commands()) {
            if (frame[2] == 0x07)
                ++versions;
            else if (versions == cycle && (frame[2] == 0x31 || frame[2] == 0x05))
                sent.push_back(frame);
        }
        std::vector<Bytes> expected(kQueued, vibrate);
        expected.push_back(close);
        EXPECT_EQ(sent, expected);
    }
}

// The vibration command after each scored hit on a receiver whose tty takes nothing for a while: the UI
// thread hands every command over and goes on, and what reaches the receiver is whole frames.
TEST_F(ReceiverLinkTest, CommandsToAStuckReceiverNeverHoldTheCallerAndArriveWhole) {
    int master = -1, slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    ASSERT_EQ(openpty(&master, &slave, name, &raw, nullptr), 0);
    setenv("BELVANTA_RECEIVER", name, 1);
    MakeReceiver();
    ASSERT_TRUE(OpenReceiver(receiver.get()));
    ::close(slave);

    // Commands in bursts while nobody reads, until the tty has taken what it holds and the writer's queue
    // is full: each call returns at once.
    const Bytes vibrateCv = {0x02, 0x01, 0x31, 0x01, 0x00, 0x31};
    int sent = 0;
    ASSERT_TRUE(pumpUntil([&] {
        for (int n = 0; n < 100; ++n, ++sent)
            SendReceiverCommand(receiver.get(), 45, sent % 2 ? "HV" : "CV");
        int inTty = 0;
        return !receiver->writer.Queue(vibrateCv.data(), 6) && ::ioctl(master, FIONREAD, &inTty) == 0 &&
               inTty > 0;
    }));

    // The close returns while the frames wait for the tty; the port stays open until they are out.
    CloseReceiver(receiver.get());
    EXPECT_TRUE(receiver->IsOpen());
    EXPECT_EQ(ReceiverOpen(), 0);

    // The receiver reads again: what was written is whole frames, the close frame last.
    Bytes got;
    for (BYTE chunk[4096];;) {
        const ssize_t n = ::read(master, chunk, sizeof chunk);
        if (n <= 0)
            break; // the receiver closed its side
        got.insert(got.end(), chunk, chunk + n);
    }
    ::close(master);
    EXPECT_TRUE(pumpUntil([&] { return !receiver->IsOpen(); }));
    const Bytes close = {0x02, 0x01, 0x05, 0x01, 0x01, 0x04};
    ASSERT_GT(got.size(), 6 * FrameWriter::kMaxQueued + close.size()) << "what waited in the queue went out";
    ASSERT_EQ(got.size() % 6, 0u);
    ASSERT_TRUE(std::equal(close.begin(), close.end(), got.end() - 6)) << "the close frame comes last";
    for (std::size_t i = 0; i + 6 < got.size(); i += 6) {
        const Bytes frame(got.begin() + static_cast<std::ptrdiff_t>(i),
                          got.begin() + static_cast<std::ptrdiff_t>(i) + 6);
        ASSERT_TRUE(frame == (Bytes{0x02, 0x01, 0x31, 0x01, 0x00, 0x31}) ||
                    frame == (Bytes{0x02, 0x01, 0x31, 0x01, 0x01, 0x30}))
            << "frame " << i / 6;
    }
}

// The operator view owns the receiver: its first update starts the link, and its destruction closes the
// link even while the check thread waits in a send to the view that no longer runs handlers.
TEST_F(ReceiverLinkTest, ViewStartsTheLinkAndClosesItWhileTheCheckThreadSendsToIt) {
    TempHome home;
    const std::u16string savedAppDir = g_strAppDir;
    g_strAppDir = home.widePath();
    setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
    auto owner = std::make_unique<CMainWnd>();
    ASSERT_NE(owner->m_pReceiver, nullptr);
    owner->m_pReceiver->clock = &clock;
    owner->OnInitialUpdate();
    ASSERT_TRUE(fake.WaitForCommand(0x07));
    EXPECT_EQ(g_hMainWnd, owner->GetSafeHwnd());

    // The check pass sends to the view; the UI thread does not run it before the view goes. The link's
    // own sends (its ready reply) are handled first, so the one send counted below is the check pass's.
    ASSERT_TRUE(pumpUntil(
        [&] { return owner->m_bLinkReady != 0 && owner->m_pReceiver->checkThread.SleepingIn() == 1; }));
    const int pending = platform::pendingSendCount();
    clock.Advance(1000);
    ASSERT_TRUE(pumpUntil([&] { return platform::pendingSendCount() == pending + 1; },
                          std::chrono::seconds(20), false));
    owner.reset();

    EXPECT_TRUE(fake.WaitForCommand(0x05));
    EXPECT_EQ(fake.Commands().back(), (Bytes{0x02, 0x01, 0x05, 0x01, 0x01, 0x04}));
    EXPECT_EQ(ReceiverOpen(), 0);
    g_hMainWnd = view.GetSafeHwnd();
    g_strAppDir = savedAppDir;
}

} // namespace
