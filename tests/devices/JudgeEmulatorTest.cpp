// The wired-judge stand-in of the emulator driving the real operator view through real judge ports: its
// presses score by the judges' consensus, and every judge in use hears which side a device hit scored for.
#include "devices/JudgeSerialPort.h"
#include "platform/ProfileFile.h"
#include "platform/SerialPort.h"
#include "tests/match/JudgeFixture.h"
#include "tests/platform/EventPump.h"
#include "tools/FakeJudge.h"

#include <memory>
#include <string>
#include <vector>

extern HWND g_hMainWnd;

namespace {

using Bytes = FakeJudge::Bytes;

TEST(FakeJudgeTest, ScriptLinesBecomeTheDevicesFrames) {
    struct Case {
        const char* line;
        bool ok;
        Bytes sent; // what the program's side reads
    };
    const Case cases[] = {
        {"press 0 7", true, {0x55, 0x55, 0x03, 0x02, 0x00, 0x07, 0xAA, 0xAA}},
        {"value 80", true, {0x55, 0x55, 0x01, 0x02, 0x00, 0x50, 0xAA, 0xAA}},
        {"raw 55 55 aa", true, {0x55, 0x55, 0xAA}},
        {"# a comment", true, {}},
        {"", true, {}},
        {"press 0 256", false, {}},
        {"press 3", false, {}},
        {"value -1", false, {}},
        {"raw 55 zz", false, {}},
        {"jump 1", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        FakeJudge judge;
        ASSERT_TRUE(judge.IsOpen());
        platform::SerialPort port;
        ASSERT_TRUE(port.Open(judge.SlavePath(), platform::SerialSettings{115200, 8, 'N', 1}));
        std::string error;
        EXPECT_EQ(judge.RunScriptLine(c.line, error), c.ok);
        EXPECT_EQ(error.empty(), c.ok) << error;
        Bytes got;
        while (got.size() < c.sent.size()) {
            BYTE chunk[64];
            const int n = port.Read(chunk, sizeof chunk, 2000);
            if (n <= 0)
                break;
            got.insert(got.end(), chunk, chunk + n);
        }
        EXPECT_EQ(got, c.sent);
    }
}

class JudgeEmulatorTest : public JudgeTest {
protected:
    JudgeEmulatorTest() : m_savedView(g_hMainWnd) {
        g_hMainWnd = hwnd;
        md->bUseVibration = 1;
        md->nLevelBody = 20;
        for (int n = 0; n < kJudges; ++n) {
            judges.push_back(std::make_unique<FakeJudge>());
            const std::string section = "JUDGE_" + std::to_string(n + 1);
            WritePrivateProfileStringA(section.c_str(), "Port", judges[n]->SlavePath().c_str(),
                                       home.file("ini/JudgeDev.ini").c_str());
            md->nJudgeUse[n] = 1;
        }
    }
    ~JudgeEmulatorTest() override {
        for (int n = 0; n < kJudges; ++n)
            CloseWiredJudge(n);
        g_hMainWnd = m_savedView;
    }
    // Waits until the view has taken the judge's press for the side.
    bool Pressed(int judge, int side) {
        return pumpUntil([&] { return view->m_judgeWindows[side].mask[judge] != 0; },
                         std::chrono::seconds(10));
    }

    std::vector<std::unique_ptr<FakeJudge>> judges;

private:
    HWND m_savedView;
};

TEST_F(JudgeEmulatorTest, WiredPressesScoreAndEveryJudgeHearsTheScoringSide) {
    for (int n = 0; n < kJudges; ++n)
        ASSERT_TRUE(OpenWiredJudge(n)) << n;

    ASSERT_TRUE(judges[1]->SendPress(0, 7)); // Hong's top button
    ASSERT_TRUE(Pressed(1, 1));
    ASSERT_TRUE(judges[2]->SendPress(0, 7));
    ASSERT_TRUE(Pressed(2, 1));
    clock.advance(100);
    EXPECT_EQ(md->aSide[1].nScore, 3);

    // A scored trunk kick for Chung: each judge device in use is told.
    int flag = 0;
    view->OnTrunkHit(0, "valid,30,0,12", &flag);
    EXPECT_EQ(md->aSide[0].nScore, 2);
    for (int n = 0; n < kJudges; ++n) {
        ASSERT_TRUE(judges[n]->WaitForFrames(1)) << n;
        EXPECT_EQ(judges[n]->Sides(), std::vector<int>{0}) << n;
    }

    // A value report keeps the judge's reading.
    ASSERT_TRUE(judges[0]->SendValue(80));
    EXPECT_TRUE(pumpUntil([&] { return md->nJudgeWiredValue[0] == 80; }, std::chrono::seconds(10)));
}

} // namespace
