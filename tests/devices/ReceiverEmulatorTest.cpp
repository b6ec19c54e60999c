// The receiver emulator's script lines as a person types them: each becomes the frame the receiver would
// send, and a line it cannot send is refused with its usage instead of sending something else.
#include "devices/ReceiverFrame.h"
#include "platform/SerialPort.h"
#include "tools/FakeReceiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Report(BYTE shortHigh, BYTE shortLow, BYTE event, BYTE b3, BYTE b4, int force) {
    const Bytes payload = {
        shortHigh, shortLow, event, b3, b4, static_cast<BYTE>(force >> 8), static_cast<BYTE>(force & 0xFF)};
    BYTE frame[kCommandBufferSize];
    const int n = BuildFrame(frame, kFrameTypeReport, kDeviceReportCommand, payload.data(),
                             static_cast<int>(payload.size()));
    return Bytes(frame, frame + n);
}

TEST(ReceiverEmulatorTest, ScriptLinesBecomeTheReceiversFramesOrAreRefused) {
    struct Case {
        const char* line;
        bool ok;
        Bytes sent; // what the program's side reads
    };
    const Case cases[] = {
        // The sensor byte is read as the receiver sends it, in hexadecimal.
        {"hit HV 60 12", true, Report(0x41, 0x11, 2, 0x12, 0, 60)},
        {"hit HV 30 31", true, Report(0x41, 0x11, 2, 0x31, 0, 30)},
        {"hit CH 300 1f flag", true, Report(0x41, 0x03, 6, 0x1F, 0, 300)},
        {"hit CV 25", true, Report(0x41, 0x01, 2, 0x00, 0, 25)},
        {"hit HH3 40 20", true, Report(0x43, 0x13, 2, 0x20, 0, 40)},
        {"hit CV1 40", true, Report(0x41, 0x01, 2, 0x00, 0, 40)},
        {"judge judge2 3 0", true, Report(0x41, 0x22, 3, 3, 0, 0)},
        {"status HV 90", true, Report(0x41, 0x11, 1, 0, 90, 0)},
        {"lost judge1", true, Report(0x41, 0x21, 4, 0, 0, 0)},
        {"pair HV4", true, {}},
        {"version 03 07", true, {}},
        // Refused: nothing goes out.
        {"hit HV 60 100", false, {}}, // a sensor byte has two hexadecimal digits
        {"hit HV 60 zz", false, {}},
        {"hit HV 70000", false, {}}, // beyond what the force field holds
        {"hit HV -5", false, {}},
        {"hit CV7 30", false, {}}, // teams have six members
        {"hit CVX 30", false, {}},
        {"hit judge1 30", false, {}}, // a judge device reports presses, not hits
        {"hit HV 60 12 34", false, {}},
        {"judge judge5 1 0", false, {}},
        {"judge judge1 1 300", false, {}},
        {"status HV", false, {}},
        {"pair XY", false, {}},
        {"raw", false, {}},
        {"polls soon", false, {}},
        {"accept now", false, {}},
        {"kick HV 30", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        FakeReceiver fake;
        ASSERT_TRUE(fake.IsOpen());
        platform::SerialPort port;
        ASSERT_TRUE(port.Open(fake.SlavePath(), platform::SerialSettings{230400, 8, 'N', 1}));
        std::string error;
        EXPECT_EQ(fake.RunScriptLine(c.line, error), c.ok);
        EXPECT_EQ(error.empty(), c.ok) << error;
        if (!c.ok) { // the reason names the command the person typed
            EXPECT_NE(error.find(std::string(c.line).substr(0, std::string(c.line).find(' '))),
                      std::string::npos)
                << error;
        }
        Bytes got;
        while (got.size() < c.sent.size()) {
            BYTE chunk[64];
            const int n = port.Read(chunk, sizeof chunk, 2000);
            if (n <= 0)
                break;
            got.insert(got.end(), chunk, chunk + n);
        }
        // Nothing more than the frame: a refused line sends nothing at all.
        BYTE extra[16];
        EXPECT_EQ(port.Read(extra, sizeof extra, 50), 0);
        EXPECT_EQ(got, c.sent);
    }
}

TEST(ReceiverEmulatorTest, ItAnswersAVersionTheProgramSupportsUnlessTold) {
    FakeReceiver fake;
    ASSERT_TRUE(fake.IsOpen());
    platform::SerialPort port;
    ASSERT_TRUE(port.Open(fake.SlavePath(), platform::SerialSettings{230400, 8, 'N', 1}));
    BYTE request[8];
    const int n = BuildFrame(request, kFrameTypeCommand, 0x07, nullptr, 0);
    ASSERT_EQ(port.Write(request, static_cast<std::size_t>(n), 2000), n);
    Bytes got;
    while (got.size() < 7) {
        BYTE chunk[16];
        const int read = port.Read(chunk, sizeof chunk, 2000);
        ASSERT_GT(read, 0);
        got.insert(got.end(), chunk, chunk + read);
    }
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[2], 0x07);
    EXPECT_EQ(got[4], 0x03);
    EXPECT_EQ(got[5], 0x07);
}

} // namespace
