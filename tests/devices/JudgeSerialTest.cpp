// Wired judge devices: the frame parser on its own, then a judge port against a real pseudo-terminal.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "devices/JudgeFrame.h"
#include "devices/JudgeSerialPort.h"
#include "platform/ProfileFile.h"
#include "platform/WindowMessages.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern HWND g_hMainWnd;

namespace {

using Bytes = std::vector<BYTE>;

std::vector<std::string> Parse(const Bytes& bytes, std::size_t chunk) {
    JudgeFrame::Parser parser;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < bytes.size(); i += chunk) {
        const std::size_t n = std::min(chunk, bytes.size() - i);
        parser.Feed(bytes.data() + i, n, [&](const JudgeFrame::Frame& frame) {
            const auto message = JudgeFrame::MessageOf(frame);
            if (!message)
                out.push_back("ignored type " + std::to_string(frame[2]));
            else
                out.push_back((message->message == UM_WIRED_JUDGE_INPUT ? "press " : "value ") +
                              message->text);
        });
    }
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kPress = {0x55, 0x55, 0x03, 0x02, 0x05, 0x01, 0xAA, 0xAA};
const Bytes kValue = {0x55, 0x55, 0x01, 0x02, 0x00, 0x07, 0xAA, 0xAA};

TEST(JudgeFrameTest, FramesAreCutFromTheStreamHoweverTheBytesArrive) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<std::string> want;
    } const cases[] = {
        {"press", kPress, {"press 5,1"}},
        {"value", kValue, {"value 7"}},
        {"glued", Concat({kPress, kValue, kPress}), {"press 5,1", "value 7", "press 5,1"}},
        {"noise before", Concat({{0x00, 0xAA, 0x55, 0x00}, kValue}), {"value 7"}},
        {"extra start bytes", Concat({{0x55, 0x55, 0x55}, kPress}), {"press 5,1"}},
        {"bad trailer, then a frame",
         Concat({{0x55, 0x55, 0x03, 0x02, 0x05, 0x01, 0xAA, 0x00}, kValue}),
         {"value 7"}},
        {"trailer broken by a new start",
         Concat({{0x55, 0x55, 0x03, 0x02, 0x05, 0x01}, kValue}),
         {"value 7"}},
        {"length 0", Concat({{0x55, 0x55, 0x03, 0x00}, kPress}), {"press 5,1"}},
        {"55 00 resets", Concat({{0x55, 0x00, 0x55, 0x03, 0x02, 0x05, 0x01, 0xAA, 0xAA}}), {}},
        {"too short for a press", {0x55, 0x55, 0x03, 0x01, 0x05, 0xAA, 0xAA}, {"ignored type 3"}},
        {"too short for a value", {0x55, 0x55, 0x01, 0x01, 0x05, 0xAA, 0xAA}, {"ignored type 1"}},
        {"other type", {0x55, 0x55, 0x02, 0x01, 0x01, 0xAA, 0xAA}, {"ignored type 2"}},
        {"longest payload", Concat({{0x55, 0x55, 0x03, 122}, Bytes(122, 9), {0xAA, 0xAA}}), {"press 9,9"}},
        {"length past the buffer",
         Concat({{0x55, 0x55, 0x03, 123}, Bytes(123, 9), {0xAA, 0xAA}, kValue}),
         {"value 7"}},
        {"length 255", Concat({{0x55, 0x55, 0x03, 0xFF}, kPress}), {"press 5,1"}},
    };
    for (const Case& c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, c.bytes.size()}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            EXPECT_EQ(Parse(c.bytes, chunk), c.want);
        }
    }
}

TEST(JudgeFrameTest, SideFramesNameTheSideThatScored) {
    EXPECT_EQ(JudgeFrame::SideFrame(0), (std::array<BYTE, 7>{0x55, 0x55, 0x02, 0x01, 0x00, 0xAA, 0xAA}));
    EXPECT_EQ(JudgeFrame::SideFrame(1), (std::array<BYTE, 7>{0x55, 0x55, 0x02, 0x01, 0x01, 0xAA, 0xAA}));
}

// A pseudo-terminal whose master plays the judge device.
struct Pty {
    Pty() {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, name, &raw, nullptr) == 0)
            path = name;
        ::fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Pty() {
        CloseMaster();
        if (slave >= 0)
            ::close(slave);
    }
    void CloseMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void Send(const Bytes& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), (ssize_t)bytes.size());
    }
    Bytes Receive(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(5)) const {
        Bytes got;
        pumpUntil(
            [&] {
                BYTE chunk[64];
                const ssize_t n = ::read(master, chunk, sizeof chunk);
                if (n > 0)
                    got.insert(got.end(), chunk, chunk + n);
                return got.size() >= count;
            },
            bound);
        return got;
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

// The operator view as the judge port sees it: a window that keeps what reached it.
class JudgeInbox : public MessageWindow {
public:
    std::vector<std::string> got;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        got.push_back(std::to_string(message - WM_USER) + " " + std::to_string(wParam) + " " +
                      (lParam ? reinterpret_cast<const char*>(lParam) : ""));
        return 0;
    }
};

class JudgePortTest : public ::testing::Test, protected TestCourt {
protected:
    JudgePortTest() : m_savedView(g_hMainWnd) { g_hMainWnd = inbox.GetSafeHwnd(); }
    ~JudgePortTest() override {
        for (int judge = 0; judge < kJudges; ++judge)
            CloseWiredJudge(judge);
        g_hMainWnd = m_savedView;
    }
    void SetPort(int judge, const std::string& path) {
        const std::string section = "JUDGE_" + std::to_string(judge + 1);
        WritePrivateProfileStringA(section.c_str(), "Port", path.c_str(),
                                   home.file("ini/JudgeDev.ini").c_str());
    }
    bool Got(std::size_t count) {
        return pumpUntil([&] { return inbox.got.size() >= count; }, std::chrono::seconds(5));
    }

    JudgeInbox inbox;
    Pty pty;

private:
    HWND m_savedView;
};

TEST_F(JudgePortTest, PressesAndValuesReachTheViewAndTheSideFrameGoesBack) {
    ASSERT_FALSE(pty.path.empty());
    SetPort(1, pty.path);
    ASSERT_TRUE(OpenWiredJudge(1));
    EXPECT_EQ(g_JudgeSerial[1].bOpened, 1);
    EXPECT_EQ(md->bJudgeWired[1], 1);

    pty.Send(Concat({kPress, kValue}));
    ASSERT_TRUE(Got(2));
    EXPECT_EQ(inbox.got, (std::vector<std::string>{"300 2 5,1", "301 2 7"}));

    // A read of many bytes reaches the parser whole: 300 frames in one write.
    Bytes burst;
    for (int i = 0; i < 300; ++i)
        burst.insert(burst.end(), kPress.begin(), kPress.end());
    pty.Send(burst);
    ASSERT_TRUE(Got(302));
    EXPECT_EQ(inbox.got.size(), 302u);

    const auto frame = JudgeFrame::SideFrame(1);
    EXPECT_EQ(g_JudgeSerial[1].Write(frame.data()), 7);
    EXPECT_EQ(pty.Receive(7), Bytes(frame.begin(), frame.end()));

    CloseWiredJudge(1);
    EXPECT_EQ(g_JudgeSerial[1].bOpened, 0);
    EXPECT_EQ(md->bJudgeWired[1], 0);
    EXPECT_EQ(g_JudgeSerial[1].Write(frame.data()), 0); // closed: nothing written
}

TEST_F(JudgePortTest, SideFramesToAJudgeThatTakesNothingNeverHoldTheViewAndArriveWhole) {
    SetPort(0, pty.path);
    ASSERT_TRUE(OpenWiredJudge(0));
    // Far more than the tty holds (20 KiB) while the device reads nothing: each call returns at once,
    // the frames beyond what waits in the queue refused.
    std::vector<int> taken; // the sides of the frames taken, in order
    for (int i = 0; i < 5000; ++i) {
        const auto frame = JudgeFrame::SideFrame(i % 2);
        const int n = g_JudgeSerial[0].Write(frame.data());
        ASSERT_TRUE(n == 7 || n == 0) << n;
        if (n == 7)
            taken.push_back(i % 2);
    }
    EXPECT_LT(taken.size(), 5000u) << "a device that takes nothing does not make the queue grow without end";
    // The device reads again: every frame taken arrives whole, in the order taken.
    const Bytes got = pty.Receive(7 * taken.size());
    ASSERT_EQ(got.size(), 7 * taken.size());
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const auto frame = JudgeFrame::SideFrame(taken[i]);
        ASSERT_TRUE(std::equal(frame.begin(), frame.end(), got.begin() + static_cast<std::ptrdiff_t>(7 * i)))
            << "frame " << i;
    }
}

TEST_F(JudgePortTest, CloseReturnsWhileTheReaderWaitsForTheView) {
    ASSERT_TRUE(g_JudgeSerial[0].Open(pty.path));
    g_JudgeSerial[0].nJudge = 1;
    g_JudgeSerial[0].nMode = 1;
    g_JudgeSerial[0].bEnabled = 1;
    pty.Send(kPress);
    // The UI thread does not run the handler: the reader stays blocked in its send.
    ASSERT_TRUE(pumpUntil([] { return platform::pendingSendCount() > 0; }, std::chrono::seconds(5), false));
    g_JudgeSerial[0].Close();
    EXPECT_FALSE(g_JudgeSerial[0].IsOpen());
    EXPECT_TRUE(inbox.got.empty());

    // And while it waits for bytes that never come.
    ASSERT_TRUE(g_JudgeSerial[0].Open(pty.path));
    g_JudgeSerial[0].Close();
    EXPECT_FALSE(g_JudgeSerial[0].IsOpen());
}

TEST_F(JudgePortTest, OpeningAgainLeavesOneReaderAndAFailedOpenLeavesNothing) {
    ASSERT_TRUE(g_JudgeSerial[2].Open(pty.path));
    ASSERT_TRUE(g_JudgeSerial[2].Open(pty.path));
    g_JudgeSerial[2].nJudge = 3;
    g_JudgeSerial[2].nMode = 1;
    g_JudgeSerial[2].bEnabled = 1;
    pty.Send(kValue);
    ASSERT_TRUE(Got(1));
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(inbox.got, (std::vector<std::string>{"301 3 7"})); // one reader, one message

    // Another opener of the same port is refused while this one holds it.
    JudgeSerialPort other;
    EXPECT_FALSE(other.Open(pty.path));
    EXPECT_FALSE(other.IsOpen());
    EXPECT_FALSE(other.LastError().empty());

    EXPECT_FALSE(other.Open("/nonexistent/judge"));
    EXPECT_FALSE(other.IsOpen());
    SetPort(0, "");
    EXPECT_FALSE(OpenWiredJudge(0)); // no port set
    EXPECT_EQ(md->bJudgeWired[0], 0);

    // Disabled ports read and drop.
    g_JudgeSerial[2].bEnabled = 0;
    pty.Send(kPress);
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(inbox.got.size(), 1u);
}

TEST_F(JudgePortTest, AnUnpluggedDeviceEndsTheReaderTellsTheViewAndCloseStillWorks) {
    ASSERT_TRUE(g_JudgeSerial[0].Open(pty.path));
    g_JudgeSerial[0].nJudge = 1;
    ::close(pty.slave);
    pty.slave = -1;
    pty.CloseMaster();
    ASSERT_TRUE(Got(1));
    EXPECT_EQ(inbox.got, std::vector<std::string>{"302 1 "}) << "judge 1's port hung up";
    g_JudgeSerial[0].Close();
    EXPECT_FALSE(g_JudgeSerial[0].IsOpen());
}

// A process that holds the terminal as its session's controlling terminal, as a shell in a terminal
// window does, until the object goes.
class SessionOnTerminal {
public:
    explicit SessionOnTerminal(int terminal) {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(hold[1]);
            char byte = 0;
            const bool held = ::setsid() >= 0 && ::ioctl(terminal, TIOCSCTTY, 0) == 0;
            byte = held ? 1 : 0;
            [[maybe_unused]] const ssize_t w = ::write(ready[1], &byte, 1);
            [[maybe_unused]] const ssize_t r = ::read(hold[0], &byte, 1); // until the parent closes it
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        m_hold = hold[1];
        char byte = 0;
        m_held = m_pid > 0 && ::read(ready[0], &byte, 1) == 1 && byte == 1;
        ::close(ready[0]);
    }
    ~SessionOnTerminal() { End(); }
    bool Held() const { return m_held; }
    void End() {
        if (m_hold >= 0)
            ::close(m_hold);
        m_hold = -1;
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_hold = -1;
    bool m_held = false;
};

TEST_F(JudgePortTest, APortThatIsMissingUnsetOrAnotherTerminalIsRefusedNamingTheJudge) {
    struct Case {
        int judge;
        std::string port;
        std::string reason;
    };
    const Case cases[] = {
        {0, "", "Judge 1: no port is set in JudgeDev.ini"},
        {1, "/dev/serial/by-id/usb-belvanta-no-such-judge",
         "Judge 2: port /dev/serial/by-id/usb-belvanta-no-such-judge "
         "missing (no such device)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        SetPort(c.judge, c.port);
        std::string why;
        EXPECT_FALSE(OpenWiredJudge(c.judge, &why));
        EXPECT_EQ(why, c.reason);
        EXPECT_EQ(md->bJudgeWired[c.judge], 0);
        EXPECT_FALSE(g_JudgeSerial[c.judge].IsOpen());
    }

    // The port of a judge whose pseudo-terminal number now belongs to someone's terminal window.
    SessionOnTerminal shell(pty.slave);
    ASSERT_TRUE(shell.Held());
    SetPort(2, pty.path);
    std::string why;
    EXPECT_FALSE(OpenWiredJudge(2, &why));
    EXPECT_EQ(why.rfind("Judge 3: port " + pty.path + " the terminal of a running session", 0), 0u) << why;
    EXPECT_EQ(md->bJudgeWired[2], 0);
    shell.End();
    EXPECT_TRUE(OpenWiredJudge(2, &why)) << "a terminal nobody holds is a port again";
    EXPECT_EQ(md->bJudgeWired[2], 1);
}

TEST_F(JudgePortTest, TheViewTellsEveryJudgeInUseWhoseDeviceIsWiredWhichSideScored) {
    Pty second;
    SetPort(0, pty.path);
    SetPort(1, second.path);
    ASSERT_TRUE(OpenWiredJudge(0));
    ASSERT_TRUE(OpenWiredJudge(1));
    md->nJudgeNumber = 3;
    md->nJudgeUse[0] = 1; // judge 2 is not in use; judge 3 has no port
    md->nJudgeUse[2] = 1;
    // Read while the view lives: its end closes the ports, and a close drops what the line has not taken.
    CMainWnd view;
    view.NotifyWiredJudges(1);
    view.NotifyWiredJudges(0);
    EXPECT_EQ(pty.Receive(14), Concat({{0x55, 0x55, 0x02, 0x01, 0x01, 0xAA, 0xAA},
                                       {0x55, 0x55, 0x02, 0x01, 0x00, 0xAA, 0xAA}}));
    EXPECT_TRUE(second.Receive(1, std::chrono::milliseconds(200)).empty());
}

} // namespace
