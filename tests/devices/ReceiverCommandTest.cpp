#include "devices/ReceiverCommand.h"

#include "app/MatchData.h"
#include "app/Network.h"
#include "devices/ReceiverFrame.h"
#include "tools/FakeReceiver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <ostream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

// The frame as the command table gives it, with the checksum worked out here.
Bytes Expected(BYTE command, const Bytes& payload) {
    Bytes f = {0x02, 0x01, command, static_cast<BYTE>(payload.size())};
    f.insert(f.end(), payload.begin(), payload.end());
    BYTE sum = 0;
    for (size_t i = 1; i < f.size(); ++i)
        sum ^= f[i];
    f.push_back(sum);
    return f;
}

// Records what the writer would send; the link is open unless a test closes it.
class RecordingLink : public ReceiverLink {
public:
    RecordingLink() : match(std::make_unique<MatchData>()) {
        match->nLevelBody = 25;    // 0x19
        match->nLevelHead = 0x113; // low byte 0x13
        match->bUseESocks = 1;
    }
    ReceiverProtocolState& Protocol() override { return state; }
    const MatchData* Match() override { return match.get(); }
    bool IsOpen() override { return open; }
    void WriteFrame(const BYTE* frame, int length, bool holdReceive) override {
        written.emplace_back(frame, frame + length);
        held.push_back(holdReceive);
    }
    bool RestartPairingWait() override {
        ++restarts;
        return restartWorks;
    }
    void Notify(ReceiverNotice notice) override { notices.push_back(notice); }
    int Random16() override { return 9; }

    std::string PairName() {
        std::lock_guard l(state.lock);
        return state.szPairName;
    }
    int Side() {
        std::lock_guard l(state.lock);
        return state.nSide;
    }

    ReceiverProtocolState state;
    std::unique_ptr<MatchData> match;
    bool open = true;
    bool restartWorks = true;
    int restarts = 0;
    std::vector<Bytes> written;
    std::vector<bool> held;
    std::vector<ReceiverNotice> notices;
};

struct CommandCase {
    const char* name;
    int code;
    const char* text;
    int stateBefore;
    Bytes frame; // empty: nothing is written
    int stateAfter;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class ReceiverCommandTableTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ReceiverCommandTableTest, WritesTheFrameOfTheTable) {
    const CommandCase& c = GetParam();
    RecordingLink link;
    link.state.nState = c.stateBefore;
    SendReceiverCommand(link, c.code, c.text);
    if (c.frame.empty())
        EXPECT_TRUE(link.written.empty());
    else
        EXPECT_EQ(link.written, std::vector<Bytes>{c.frame});
    EXPECT_EQ(link.state.nState.load(), c.stateAfter);
    EXPECT_TRUE(link.notices.empty());
}

const std::string kMacA = "0011223344556677";
const std::string kMacB = "A1B2C3D4E5F60718";
const std::string kCv40 = "CV" + kMacA;
const std::string kHv40 = "HV" + kMacA + kMacB + "12345"; // the trailing partial group is no address
const std::string kHv42 = "HV1" + kMacB;
const std::string kCh42 = "CH4" + kMacA;

INSTANTIATE_TEST_SUITE_P(
    Table, ReceiverCommandTableTest,
    ::testing::Values(
        CommandCase{"VersionRequest", 36, "", 43, Expected(0x07, {}), 44},
        CommandCase{"Channel", 37, "5", 45, Expected(0x0A, {0x05, 0x0F, 0x09}), 46},
        CommandCase{"ChannelLowByte", 37, "267", 45, Expected(0x0A, {0x0B, 0x0F, 0x09}), 46},
        CommandCase{"ChannelOnALinkedReceiver", 37, "7", 49, Expected(0x0A, {0x07, 0x0F, 0x09}), 46},
        CommandCase{"ChannelAfterAPairing", 37, "3", 57, Expected(0x0A, {0x03, 0x0F, 0x09}), 46},
        CommandCase{"ChannelWhileTheNetworkIsAsked", 37, "3", 48, Expected(0x0A, {0x03, 0x0F, 0x09}), 46},
        CommandCase{"Network", 38, "", 47, Expected(0x0B, {0x00}), 48},
        CommandCase{"RegisterChungTrunk", 39, "CV", 49, Expected(0x0C, {0x01, 0x19, 0x01}), 50},
        CommandCase{"RegisterHongHead", 39, "HH", 49, Expected(0x0C, {0x13, 0x13, 0x01}), 50},
        CommandCase{"RegisterJudge", 39, "judge3", 49, Expected(0x0C, {0x23}), 50},
        CommandCase{"RegisterOtherName", 39, "XY", 49, Expected(0x0C, {0x00, 0x00, 0x00}), 50},
        CommandCase{"RegisterWithOneAddress", 40, kCv40.c_str(), 49,
                    Expected(0x30, {0x01, 0x19, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}), 52},
        CommandCase{"RegisterCountsCompleteAddresses", 40, kHv40.c_str(), 49,
                    Expected(0x30, {0x11, 0x19, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x00,
                                    0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}),
                    52},
        CommandCase{"TeamRegisterHead", 41, "CH3", 49, Expected(0x38, {0x01, 0x13, 0x01}), 51},
        CommandCase{"TeamRegisterTrunk", 41, "HV", 49, Expected(0x38, {0x00, 0x19, 0x01}), 51},
        CommandCase{"TeamRegisterJudge", 41, "judge2", 49, Expected(0x38, {0x02}), 51},
        CommandCase{"TeamRegisterAddressMemberOne", 42, kHv42.c_str(), 49,
                    Expected(0x3D, {0x00, 0x19, 0x01, 0x00, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}), 53},
        CommandCase{"TeamRegisterAddressMember", 42, kCh42.c_str(), 49,
                    Expected(0x3D, {0x01, 0x13, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}), 53},
        CommandCase{"ReleaseAll", 44, "ED", 57, Expected(0x0F, {0x30}), 57},
        CommandCase{"ReleaseChungHead", 44, "CH", 57, Expected(0x0F, {0x02}), 57},
        CommandCase{"ReleaseJudge", 44, "judge2", 57, Expected(0x0F, {0x22}), 57},
        CommandCase{"ReleaseOther", 44, "zz", 57, Expected(0x0F, {0x00}), 57},
        CommandCase{"HitNoticeChung", 45, "CV", 49, Expected(0x31, {0x00}), 49},
        CommandCase{"HitNoticeHong", 45, "HV", 49, Expected(0x31, {0x01}), 49},
        CommandCase{"LostNoticeHongHead", 46, "HH", 49, Expected(0x34, {0x13}), 49},
        CommandCase{"LostNoticeJudge", 46, "judge1", 49, Expected(0x34, {0x21}), 49},
        CommandCase{"LostNoticeOther", 46, "judge4", 49, Expected(0x34, {0x51}), 49},
        CommandCase{"LinkReadyNotice", 48, "0", 49, Expected(0x36, {0x00}), 49},
        CommandCase{"LinkReadyNoticeOne", 48, "1", 49, Expected(0x36, {0x01}), 49},
        CommandCase{"ReleaseByIndex", 49, "judge2", 49, Expected(0x3A, {0x05, 0x01}), 49},
        CommandCase{"ReleaseByKind", 51, "3", 49, Expected(0x3A, {0x03, 0x01}), 49},
        CommandCase{"MatchLoaded", 52, "", 49, Expected(0x44, {}), 49},
        CommandCase{"Command54", 54, "", 49, Expected(0x46, {}), 49},
        CommandCase{"Command55", 55, "", 49, Expected(0x47, {}), 49},
        CommandCase{"Unused53", 53, "", 49, {}, 49}, CommandCase{"Unused56", 56, "", 49, {}, 49},
        CommandCase{"Unused57", 57, "", 49, {}, 49}, CommandCase{"BelowTheTable", 35, "", 49, {}, 49},
        CommandCase{"AboveTheTable", 58, "", 49, {}, 49},
        // Bad input sends nothing rather than a wrong address.
        CommandCase{"RegisterWithBadHex", 40, "CV00112233445566XY", 49, {}, 49},
        CommandCase{"TeamRegisterWithoutAddress", 42, "CV2001122", 49, {}, 49}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST(ReceiverCommandTest, RegistrationKeepsNameAndSideForThePairing) {
    struct Case {
        int code;
        std::string text;
        std::string pairName;
        int side;
    };
    const Case cases[] = {
        {39, "HV", "HV", 1},   {39, "judge4", "judge4", 2}, {40, kCv40, "CV", 0},
        {41, "CH3", "CH3", 0}, {42, kHv42, "HV", 1},        {42, kCh42, "CH4", 0},
    };
    for (const Case& c : cases) {
        RecordingLink link;
        SendReceiverCommand(link, c.code, c.text.c_str());
        EXPECT_EQ(link.PairName(), c.pairName) << c.text;
        EXPECT_EQ(link.Side(), c.side) << c.text;
    }
}

TEST(ReceiverCommandTest, ChannelBeforeTheVersionReplyRetriesTwiceThenGivesUp) {
    RecordingLink link;
    link.state.nState = kReceiverVersionSent;
    for (int i = 0; i < 3; ++i)
        SendReceiverCommand(link, 37, "5");
    EXPECT_EQ(link.notices,
              (std::vector<ReceiverNotice>{ReceiverNotice::EquipmentError, ReceiverNotice::EquipmentError,
                                           ReceiverNotice::CheckUsb}));
    EXPECT_EQ(link.written, (std::vector<Bytes>{Expected(0x07, {}), Expected(0x07, {})}));
    EXPECT_EQ(link.state.nStartCount.load(), 2);
}

TEST(ReceiverCommandTest, EachSetIsAnAttemptOfItsOwnAndAnAnsweredVersionEndsTheRefusals) {
    RecordingLink link;
    link.state.nState = kReceiverVersionSent;
    using N = ReceiverNotice;
    // An attempt that gave up with the cable box: the next SET asks the receiver again.
    for (int i = 0; i < 4; ++i)
        SendReceiverCommand(link, 37, "5");
    EXPECT_EQ(link.notices,
              (std::vector<N>{N::EquipmentError, N::EquipmentError, N::CheckUsb, N::EquipmentError}));
    EXPECT_EQ(link.written.size(), 3u) << "three version requests";

    // The version answered in between (its reply clears the counter): a refused SET starts counting anew.
    link.notices.clear();
    link.state.nVersionRetry = 0;
    SendReceiverCommand(link, 37, "5");
    EXPECT_EQ(link.notices, std::vector<N>{N::EquipmentError});
    link.state.nState = kReceiverVersionReceived;
    link.written.clear();
    SendReceiverCommand(link, 37, "5");
    EXPECT_EQ(link.written, std::vector<Bytes>{Expected(0x0A, {0x05, 0x0F, 0x09})});
    EXPECT_EQ(link.state.nCourtChannel.load(), 5) << "the channel the receiver links on after a re-plug";
}

TEST(ReceiverCommandTest, NetworkRequestOutOfOrderShowsTheBoxAndSendsNothing) {
    RecordingLink link;
    link.state.nState = kReceiverChannelSent;
    SendReceiverCommand(link, 38, "");
    EXPECT_TRUE(link.written.empty());
    EXPECT_EQ(link.notices, std::vector<ReceiverNotice>{ReceiverNotice::NetworkError});

    link.state.nState = kReceiverChannelAccepted;
    SendReceiverCommand(link, 38, "");
    ASSERT_EQ(link.held.size(), 1u);
    EXPECT_FALSE(link.held[0]) << "the receive thread writes command 38 from its own dispatch";
}

TEST(ReceiverCommandTest, PairingStartsOnlyAfterTheRegistrationReply) {
    struct Case {
        int competitionType;
        int state;
        bool restartWorks;
        int pairing;
        int stateAfter;
        std::vector<ReceiverNotice> notices;
    };
    const Case cases[] = {
        {0, kReceiverRegistered, true, 1, kReceiverPolling, {}},
        {1, kReceiverRegistered, true, 1, kReceiverTeamPolling, {}},
        {0, kReceiverRegistered, false, 0, kReceiverPolling, {ReceiverNotice::CreateThreadError}},
        {0, kReceiverRegisterSent, true, 0, kReceiverRegisterSent, {ReceiverNotice::PairTimeoutHong}},
    };
    for (const Case& c : cases) {
        RecordingLink link;
        link.match->nCompetitionType = c.competitionType;
        SendReceiverCommand(link, c.competitionType == 1 ? 41 : 39, "HV");
        link.state.nState = c.state;
        link.written.clear();
        link.restartWorks = c.restartWorks;
        SendReceiverCommand(link, 43, "");
        EXPECT_TRUE(link.written.empty()) << "command 43 builds no frame";
        EXPECT_EQ(link.state.bPairing.load(), c.pairing);
        EXPECT_EQ(link.state.nState.load(), c.stateAfter);
        EXPECT_EQ(link.notices, c.notices);
        EXPECT_EQ(link.restarts, c.state == kReceiverRegistered ? 1 : 0);
    }
}

TEST(ReceiverCommandTest, PairingPollCarriesTheRegisteredDevice) {
    struct Case {
        int competitionType;
        const char* name;
        bool finalPolls;
        Bytes frame;
        int state;
    };
    const Case cases[] = {
        {0, "CV", false, Expected(0x0D, {0x01, 0x19, 0x10}), kReceiverPolling},
        {0, "HH", true, Expected(0x0D, {0x13, 0x13, 0x11}), kReceiverPolling},
        {0, "judge2", true, Expected(0x0D, {0x22, 0x00, 0x11}), kReceiverPolling},
        {0, "XY", true, Expected(0x0D, {0x00, 0x00, 0x00}), kReceiverPolling},
        {1, "CH3", false, Expected(0x39, {0x04, 0x00}), kReceiverTeamPolling},
        {1, "CH3", true, Expected(0x39, {0x04, 0x01}), kReceiverTeamPolling},
    };
    for (const Case& c : cases) {
        RecordingLink link;
        link.match->nCompetitionType = c.competitionType;
        SendReceiverCommand(link, c.competitionType == 1 ? 41 : 39, c.name);
        link.state.nTeamSlot = 4;
        link.state.nState = kReceiverRegistered;
        SendReceiverCommand(link, 43, "");
        link.written.clear();
        WritePairingPoll(link, c.finalPolls);
        EXPECT_EQ(link.written, std::vector<Bytes>{c.frame}) << c.name;
        EXPECT_EQ(link.state.nState.load(), c.state) << c.name;
    }
}

TEST(ReceiverCommandTest, PollAfterThePairingReplyLeavesThePairedState) {
    RecordingLink link;
    SendReceiverCommand(link, 39, "CV");
    link.state.nState = kReceiverPaired;
    link.state.bPairing = 0;
    WritePairingPoll(link, false);
    EXPECT_EQ(link.state.nState.load(), kReceiverPaired);
}

TEST(ReceiverCommandTest, ClosedLinkNullReceiverAndNullTextWriteNothing) {
    RecordingLink link;
    link.open = false;
    SendReceiverCommand(link, 36, "");
    SendCommand05(link);
    WritePairingPoll(link, false);
    EXPECT_TRUE(link.written.empty());
    EXPECT_EQ(link.state.nState.load(), kReceiverInitial);

    link.open = true;
    SendReceiverCommand(link, 36, nullptr);
    EXPECT_TRUE(link.written.empty());
    SendReceiverCommand(static_cast<TTK_Receiver*>(nullptr), 36, "");
    SendCommand05(static_cast<TTK_Receiver*>(nullptr));
}

TEST(ReceiverCommandTest, AClosedReceiverStillKeepsTheBooksOfEachCommand) {
    std::vector<TTK_Network> table(3);
    table[0].name = "CV";
    table[1].name = "HH3";
    table[2].name = "judge1";
    std::vector<TTK_Network>* saved = g_pNetworkArr;
    g_pNetworkArr = &table;
    RecordingLink link;
    SendReceiverCommand(link, 39, "HV"); // the device being paired is Hong's
    link.written.clear();
    link.open = false;
    for (const int state : {kReceiverVersionReceived, kReceiverChannelAccepted, kReceiverRegistered}) {
        link.state.nState = state;
        for (const int code : {37, 38, 43})
            SendReceiverCommand(link, code, "3");
        EXPECT_EQ(link.state.nState.load(), state);
    }
    SendReceiverCommand(link, 49, "CV");
    SendReceiverCommand(link, 50, "HH3");
    SendReceiverCommand(link, 44, "ED");
    g_pNetworkArr = saved;

    EXPECT_TRUE(link.written.empty());
    EXPECT_EQ(link.state.bPairing.load(), 0);
    EXPECT_EQ(link.restarts, 0);
    using N = ReceiverNotice;
    EXPECT_EQ(link.notices, (std::vector<N>{N::EquipmentError, N::NetworkError, N::PairTimeoutHong,
                                            N::EquipmentError, N::NetworkError, N::PairTimeoutHong,
                                            N::CheckUsb, N::NetworkError, N::PairTimeoutHong}));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].name, "judge1");
}

TEST(ReceiverCommandTest, Command05IsTheFixedFrame) {
    RecordingLink link;
    SendCommand05(link);
    EXPECT_EQ(link.written, (std::vector<Bytes>{{0x02, 0x01, 0x05, 0x01, 0x01, 0x04}}));
}

// Commands that look names up in the device table.
class DeviceTableCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = g_pNetworkArr;
        g_pNetworkArr = &m_table;
        m_table = {Entry("CV2", 0x05), Entry("HH", 0x13), Entry("CV2", 0x07)};
    }
    void TearDown() override { g_pNetworkArr = m_saved; }
    static TTK_Network Entry(const char* name, BYTE kind) {
        TTK_Network e;
        e.name = name;
        e.kind = kind;
        return e;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TTK_Network& e : m_table)
            names.push_back(e.name);
        return names;
    }
    std::vector<TTK_Network> m_table;
    std::vector<TTK_Network>* m_saved = nullptr;
    RecordingLink link;
};

TEST_F(DeviceTableCommandTest, TeamLostNoticeSendsTheKindOfTheFirstEntry) {
    SendReceiverCommand(link, 47, "CV2");
    SendReceiverCommand(link, 47, "HV5");
    EXPECT_EQ(link.written, std::vector<Bytes>{Expected(0x3B, {0x05})});
    EXPECT_EQ(m_table.size(), 3u);
}

TEST_F(DeviceTableCommandTest, ReleasesRemoveTheFirstEntryOfTheName) {
    SendReceiverCommand(link, 50, "CV2");
    EXPECT_EQ(Names(), (std::vector<std::string>{"HH", "CV2"}));
    SendReceiverCommand(link, 50, "HV5"); // no entry: nothing sent
    SendReceiverCommand(link, 49, "HH");
    SendReceiverCommand(link, 49, "CV"); // individual release is sent without an entry too
    EXPECT_EQ(Names(), std::vector<std::string>{"CV2"});
    EXPECT_EQ(link.written, (std::vector<Bytes>{Expected(0x3A, {0x05, 0x01}), Expected(0x3A, {0x03, 0x01}),
                                                Expected(0x3A, {0x00, 0x01})}));
}

TEST(ReceiverCommandTest, ParseMac16TakesExactlySixteenHexDigits) {
    struct Case {
        const char* text;
        bool ok;
        Bytes bytes;
    };
    const Case cases[] = {
        {"0011223344556677", true, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}},
        {"a1B2c3D4e5F60718", true, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}},
        {"001122334455667", false, {}},
        {"00112233445566778", false, {}},
        {"00112233445566G7", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        BYTE dest[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(ParseMac16(dest, c.text), c.ok) << c.text;
        EXPECT_EQ(Bytes(dest, dest + 8), c.ok ? c.bytes : Bytes(8, 0xEE)) << c.text << " writes nothing";
    }
    BYTE dest[8];
    EXPECT_FALSE(ParseMac16(dest, nullptr));
}

// The fake receiver that the emulator and the link tests use, played against over its pseudo-terminal.
class FakeReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake.IsOpen());
        fd = ::open(fake.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
    }
    void TearDown() override {
        if (fd >= 0)
            ::close(fd);
    }
    // Reads until a frame arrives (or 10 s pass).
    Bytes NextFrame() {
        Bytes frame;
        BYTE buffer[128];
        while (frame.empty()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0)
                return {};
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return {};
            parser.Feed(buffer, static_cast<int>(n),
                        [&](const ReceiverFrame& f) { frame.assign(f.bytes, f.bytes + f.length); });
        }
        return frame;
    }
    void Send(const Bytes& frame) {
        ASSERT_EQ(::write(fd, frame.data(), frame.size()), (ssize_t)frame.size());
    }

    FakeReceiver fake;
    int fd = -1;
    ReceiverFrameParser parser;
};

TEST_F(FakeReceiverTest, AnswersTheHandshakeAndSendsHits) {
    fake.SetVersion(0x00, 0x01);
    Send(Expected(0x07, {}));
    const Bytes version = NextFrame();
    ASSERT_EQ(version.size(), 7u);
    EXPECT_EQ(Bytes(version.begin() + 1, version.begin() + 6), (Bytes{0x11, 0x07, 0x02, 0x00, 0x01}));

    Send(Expected(0x0B, {0x00}));
    const Bytes network = NextFrame();
    ASSERT_EQ(network.size(), 17u);
    EXPECT_EQ(network[4], 1) << "status";

    ASSERT_TRUE(fake.SendHit("HV", 300, 0x20));
    BYTE shortAddr[2];
    FakeReceiver::ShortAddress("HV", shortAddr);
    const Bytes hit = NextFrame();
    EXPECT_EQ(Bytes(hit.begin() + 1, hit.end() - 1),
              (Bytes{0x10, 0x19, 0x07, shortAddr[0], shortAddr[1], 0x02, 0x20, 0x00, 0x01, 0x2C}));
    EXPECT_TRUE(fake.WaitForCommand(0x0B));
}

TEST_F(FakeReceiverTest, PairsTheDeviceThePollNames) {
    fake.SetPollsBeforePairing(1);
    Send(Expected(0x0D, {0x13, 0x13, 0x10}));
    Send(Expected(0x0D, {0x13, 0x13, 0x11}));
    const Bytes reply = NextFrame();
    ASSERT_EQ(reply.size(), 17u);
    BYTE mac[8];
    FakeReceiver::DeviceAddress("HH", mac);
    EXPECT_EQ(reply[4], 0x13);
    EXPECT_EQ(Bytes(reply.begin() + 8, reply.begin() + 16), Bytes(mac, mac + 8));
    EXPECT_EQ(mac[2], 1) << "head gear carries 1 in its third address byte";
    EXPECT_EQ(fake.Commands().size(), 2u);
}

TEST_F(FakeReceiverTest, UnplugMakesTheProgramSideSeeAHangUp) {
    fake.Unplug();
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 10000), 1);
    BYTE b;
    EXPECT_LE(::read(fd, &b, 1), 0);
}

} // namespace
