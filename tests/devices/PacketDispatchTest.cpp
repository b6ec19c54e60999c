// The dispatch of device reports and replies: frames handed to it on a worker thread as the receive thread
// does, the messages they become received by fake windows on the UI thread.
#include "devices/PacketDispatch.h"
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Network.h"
#include "app/ProgressDlg.h"
#include "app/RuleSettings.h"
#include "devices/Receiver.h"
#include "devices/ReceiverFrame.h"
#include "devices/SimDlg.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"
#include "tests/platform/EventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tools/FakeReceiver.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

extern HWND g_hMainWnd;

namespace {

using Bytes = std::vector<BYTE>;

struct Received {
    UINT message;
    WPARAM wParam;
    std::string text;
    bool operator==(const Received&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Received& r) {
    return os << "{WM_USER+" << (r.message - WM_USER) << ", " << r.wParam << ", \"" << r.text << "\"}";
}

// A window that copies every message and its text while the sender waits.
class RecordingWindow final : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        got.push_back({message, wParam, lParam ? reinterpret_cast<const char*>(lParam) : ""});
        return 0;
    }
    std::vector<Received> got;
};

ReceiverFrame MakeFrame(BYTE type, BYTE command, const Bytes& payload) {
    ReceiverFrame frame;
    frame.length = BuildFrame(frame.bytes, type, command, payload.data(), static_cast<int>(payload.size()));
    return frame;
}

ReceiverFrame Report(const Bytes& payload) {
    return MakeFrame(kFrameTypeReport, kDeviceReportCommand, payload);
}

// Short address of the test entries: 0x50 and the entry's number.
TTK_Network Entry(const std::string& name, BYTE kind, BYTE number, BYTE addressKind) {
    TTK_Network entry;
    entry.name = name;
    entry.kind = kind;
    entry.shortAddr[0] = 0x50;
    entry.shortAddr[1] = number;
    const BYTE address[8] = {0x00, 0x15, addressKind, 0xA0, 0x5E, 0x77, 0x50, number};
    std::memcpy(entry.devAddr, address, 8);
    return entry;
}

class PacketDispatchTest : public ::testing::Test {
protected:
    PacketDispatchTest() {
        CreateMatchData();
        md = g_pMatchData;
        m_savedView = g_hMainWnd;
        g_hMainWnd = view.GetSafeHwnd();
        g_hRegDlg = regDlg.GetSafeHwnd();
        g_hProgDlg = progress.GetSafeHwnd();
        receiver = std::make_unique<TTK_Receiver>();
        InitReceiver(receiver.get());
    }
    ~PacketDispatchTest() override {
        receiver.reset();
        g_hProgDlg = 0;
        g_hRegDlg = 0;
        g_hMainWnd = m_savedView;
        FreeMatchData();
    }

    // Dispatches on a worker thread while the UI thread runs the handlers.
    void Dispatch(const ReceiverFrame& frame) {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            DispatchDeviceReport(*receiver, frame);
            done = true;
        });
        EXPECT_TRUE(pumpUntil([&] { return done.load(); }));
        worker.join();
        QCoreApplication::processEvents(); // posted messages
    }
    // The test's own table: the dispatch is not running.
    std::vector<TTK_Network>& Table() { return *g_pNetworkArr; }

    RecordingWindow view;
    RecordingWindow regDlg;
    RecordingWindow progress;
    ScriptedPrompter prompter;
    MatchData* md = nullptr;
    std::unique_ptr<TTK_Receiver> receiver;

private:
    HWND m_savedView = 0;
};

TEST_F(PacketDispatchTest, IndividualReportsBecomeTheViewsMessages) {
    struct Case {
        const char* what;
        BYTE eSocks;
        Bytes payload; // to the one table entry of each kind below
        std::vector<Received> want;
    };
    const Case cases[] = {
        {"trunk hit without eSocks",
         0,
         {0x50, 1, 2, 0x2A, 0, 0x01, 0x2C},
         {{UM_TRUNK_HIT, 1, "none,300,0,CV"}}},
        {"flagged trunk hit, eSocks",
         1,
         {0x50, 3, 6, 0x2A, 0, 0x01, 0x2C},
         {{UM_TRUNK_HIT, 0, "valid,300,1,2A"}}},
        {"trunk hit, eSocks, no reading", 1, {0x50, 1, 2, 0, 0, 0, 25}, {{UM_TRUNK_HIT, 1, "none,25,0,CV"}}},
        {"head hit, eSocks", 1, {0x50, 2, 2, 0x1F, 0, 0x10, 0x00}, {{UM_HEAD_HIT, 1, "valid,4096,0,1F"}}},
        {"head hit without eSocks", 0, {0x50, 4, 6, 0x1F, 0, 0, 7}, {{UM_HEAD_HIT, 0, "none,7,1,HH"}}},
        {"judge press", 0, {0x50, 6, 3, 2, 5}, {{UM_JUDGE2_INPUT, 0, "2,5,0"}}},
        {"flagged judge press", 0, {0x50, 7, 7, 0, 12}, {{UM_JUDGE3_INPUT, 0, "0,12,1"}}},
        {"flagged status", 0, {0x50, 1, 5, 0, 77}, {{UM_DEVICE_STATE_LOG, 1, ""}}},
        {"judge status", 0, {0x50, 5, 1, 0, 60}, {{UM_DEVICE_STATE_LOG, 0, ""}}},
        {"judge device does not hit", 0, {0x50, 5, 2, 0, 0, 1, 0}, {}},
        {"protector does not press", 0, {0x50, 1, 3, 1, 1}, {}},
        {"trunk kind with a head-gear address", 0, {0x50, 8, 2, 0, 0, 1, 0}, {}},
        {"head kind with a trunk address", 1, {0x50, 9, 2, 0x1F, 0, 1, 0}, {}},
        {"unknown short address", 0, {0x51, 1, 2, 0, 0, 1, 0}, {}},
        {"unknown event", 0, {0x50, 1, 9, 0, 0, 1, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table() = {Entry("CV", 0x01, 1, 0),     Entry("CH", 0x03, 2, 1),     Entry("HV", 0x11, 3, 0),
                   Entry("HH", 0x13, 4, 1),     Entry("judge1", 0x21, 5, 0), Entry("judge2", 0x22, 6, 0),
                   Entry("judge3", 0x23, 7, 0), Entry("HV", 0x11, 8, 1),     Entry("CH", 0x03, 9, 0)};
        md->bUseESocks = c.eSocks;
        view.got.clear();
        Dispatch(Report(c.payload));
        EXPECT_EQ(view.got, c.want);
        EXPECT_EQ(DeviceStatusLoad(*md), 0);
        EXPECT_EQ(Table().size(), 9u);
    }
}

// Every button of the simulator sends the view what the receiver's dispatch sends for the same device's hit
// or press.
TEST_F(PacketDispatchTest, TheSimulatorSendsWhatTheDispatchSendsForTheSameHit) {
    md->bUseESocks = 1;
    Table() = {Entry("CV", 0x01, 1, 0),    Entry("CH", 0x03, 2, 1),     Entry("HV", 0x11, 3, 0),
               Entry("HH", 0x13, 4, 1),    Entry("judge1", 0x21, 5, 0), Entry("judge2", 0x22, 6, 0),
               Entry("judge3", 0x23, 7, 0)};
    CTK_SimDlg sim;
    sim.Edit(CTK_SimDlg::IDC_TRUNK_POWER)->setText("300");
    sim.Edit(CTK_SimDlg::IDC_HEAD_POWER)->setText("4096");
    struct Protector {
        int button;
        Bytes report; // of the protector with the same hit
    };
    const Protector protectors[] = {
        {1025, {0x50, 1, 2, 0x12, 0, 0x01, 0x2C}}, // Chung trunk
        {1026, {0x50, 2, 2, 0x12, 0, 0x10, 0x00}}, // Chung head
        {1034, {0x50, 1, 2, 0x31, 0, 0x01, 0x2C}}, // Chung punch
        {1027, {0x50, 3, 2, 0x12, 0, 0x01, 0x2C}}, // Hong trunk
        {1028, {0x50, 4, 2, 0x12, 0, 0x10, 0x00}}, // Hong head
        {1035, {0x50, 3, 2, 0x31, 0, 0x01, 0x2C}}, // Hong punch
    };
    auto sameAsDevice = [&](int button, const Bytes& report) {
        SCOPED_TRACE(button);
        view.got.clear();
        Dispatch(Report(report));
        ASSERT_EQ(view.got.size(), 1u);
        const Received device = view.got[0];
        view.got.clear();
        sim.Button(button)->click();
        EXPECT_EQ(view.got, std::vector<Received>{device});
    };
    for (const Protector& p : protectors)
        sameAsDevice(p.button, p.report);
    for (int judge = 0; judge < 3; ++judge)
        for (const CTK_SimDlg::JudgeButton& b : CTK_SimDlg::kJudgeButtons)
            sameAsDevice(b.id[judge], {0x50, static_cast<BYTE>(5 + judge), 3, static_cast<BYTE>(b.chungCode),
                                       static_cast<BYTE>(b.hongCode)});
}

TEST_F(PacketDispatchTest, StatusReportsKeepEachDevicesValue) {
    Table() = {Entry("CV", 0x01, 1, 0), Entry("HH", 0x13, 2, 1), Entry("judge2", 0x22, 7, 0)};
    Dispatch(Report({0x50, 1, 1, 0, 81}));
    Dispatch(Report({0x50, 2, 5, 0, 42}));
    Dispatch(Report({0x50, 7, 1, 0, 66}));
    EXPECT_EQ(md->nBodyBattery[0], 81);
    EXPECT_EQ(md->nHeadBattery[1], 42);
    EXPECT_EQ(md->nJudgeBattery[1], 66);

    md->nCompetitionType = 1;
    Table() = {Entry("HV3", 0x11, 3, 0), Entry("CH6", 0x03, 4, 1), Entry("judge3", 0x23, 8, 0)};
    Dispatch(Report({0x50, 3, 1, 0, 33}));
    Dispatch(Report({0x50, 4, 1, 0, 44}));
    Dispatch(Report({0x50, 8, 5, 0, 55}));
    EXPECT_EQ(md->nBodyBattery[5], 33);  // member 3, Hong
    EXPECT_EQ(md->nHeadBattery[10], 44); // member 6, Chung
    EXPECT_EQ(md->nJudgeBattery[2], 55);
    EXPECT_EQ(md->nJudgeBattery[0], 0);
}

// Meant for ThreadSanitizer (scripts/tsan runs it): a field of the record that the receive thread and the UI
// thread both touch without atomics is reported there. Elsewhere it checks that nothing is lost.
TEST_F(PacketDispatchTest, DispatchOnAWorkerWhileTheUiThreadSnapshotsAndReloadsTheRules) {
    TempHome home;
    const std::u16string savedAppDir = g_strAppDir;
    g_strAppDir = home.widePath();
    Table() = {Entry("CV", 0x01, 1, 0), Entry("HH", 0x13, 2, 1), Entry("judge2", 0x22, 3, 0)};
    constexpr int kRounds = 300;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            const BYTE level = static_cast<BYTE>(i % 100);
            DispatchDeviceReport(*receiver, Report({0x50, 1, 1, 0, level}));
            DispatchDeviceReport(*receiver, Report({0x50, 2, 1, 0, level}));
            DispatchDeviceReport(*receiver, Report({0x50, 3, 1, 0, level}));
            DispatchDeviceReport(*receiver, Report({0x50, 1, 2, 0x20, 0, 0x01, 0x2C}));
            receiver->protocol.nState = kReceiverVersionSent;
            DispatchDeviceReport(*receiver,
                                 MakeFrame(kFrameTypeReply, 0x07, {0x03, static_cast<BYTE>(i % 16)}));
        }
        DispatchDeviceReport(*receiver, Report({0x50, 2, 4}));
        done = true;
    });
    int snapshots = 0;
    while (!done.load()) {
        TakeMatchSnapshot();
        LoadRuleSettings(*md);
        EXPECT_LE(SharedLoad(md->nBodyBattery[0]), 99);
        EXPECT_EQ(ReceiverVersionText().size() % 5, 0u); // empty or whole, never half written
        QCoreApplication::processEvents();               // the hits the worker sends
        ++snapshots;
    }
    worker.join();
    QCoreApplication::processEvents();
    TakeMatchSnapshot();
    EXPECT_GT(snapshots, 0);
    EXPECT_EQ(g_pMatchSnapshot->nBodyBattery[0], (kRounds - 1) % 100);
    EXPECT_EQ(g_pMatchSnapshot->nJudgeBattery[1], (kRounds - 1) % 100);
    EXPECT_EQ(g_pMatchSnapshot->nDeviceStatus, 0x4); // HH lost
    EXPECT_EQ(ReceiverVersionText(), u"03.0b");
    long hits = 0;
    for (const Received& r : view.got)
        hits += r.message == UM_TRUNK_HIT;
    EXPECT_EQ(hits, kRounds);
    g_strAppDir = savedAppDir;
}

TEST_F(PacketDispatchTest, TeamHitsNeedAReadingInTheirRangeAndEveryMatchingEntryIsHandled) {
    md->nCompetitionType = 1;
    md->bUseESocks = 1;
    struct Case {
        const char* name;
        BYTE validity;
        std::vector<Received> want;
    };
    const Case cases[] = {
        {"CV3", 0, {{UM_TRUNK_HIT, 1, "none,256,0,CV3"}}},
        {"CV3", 15, {}},
        {"CV3", 16, {{UM_TRUNK_HIT, 1, "valid,256,0,10"}}},
        {"HV2", 79, {{UM_TRUNK_HIT, 0, "valid,256,0,4F"}}},
        {"HV2", 80, {}},
        {"HH6", 47, {{UM_HEAD_HIT, 0, "valid,256,0,2F"}}},
        {"HH6", 48, {}},
        {"CH", 0, {{UM_HEAD_HIT, 1, "none,256,0,CH"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.validity));
        const bool head = c.name[1] == 'H';
        // The kind byte does not matter in a team match: the name does.
        Table() = {Entry(c.name, 0x77, 1, head ? 1 : 0)};
        view.got.clear();
        Dispatch(Report({0x50, 1, 2, c.validity, 0, 1, 0}));
        EXPECT_EQ(view.got, c.want);
    }

    // Two entries on one address are both handled, in table order; a head-gear address on a trunk
    // protector's name is not.
    md->bUseESocks = 0;
    Table() = {Entry("HV4", 0x11, 1, 0), Entry("CV4", 0x01, 2, 0), Entry("CH4", 0x03, 1, 0),
               Entry("CV5", 0x01, 1, 0)};
    view.got.clear();
    Dispatch(Report({0x50, 1, 6, 0, 0, 0, 9}));
    EXPECT_EQ(view.got,
              (std::vector<Received>{{UM_TRUNK_HIT, 0, "none,9,1,HV4"}, {UM_TRUNK_HIT, 1, "none,9,1,CV5"}}));
}

TEST_F(PacketDispatchTest, ReportShorterThanItsFieldsIsDropped) {
    Table() = {Entry("CV", 0x01, 1, 0), Entry("judge1", 0x21, 2, 0)};
    const Bytes shortReports[] = {{0x50, 1}, {0x50, 1, 2, 0, 0, 1}, {0x50, 1, 1, 0}, {0x50, 2, 3, 4}};
    for (const Bytes& payload : shortReports) {
        SCOPED_TRACE(payload.size());
        // Stale bytes after the payload: a reader that looked past it would find a force or a button.
        ReceiverFrame frame;
        std::memset(frame.bytes, 0x7E, sizeof frame.bytes);
        frame.length = BuildFrame(frame.bytes, kFrameTypeReport, kDeviceReportCommand, payload.data(),
                                  static_cast<int>(payload.size()));
        Dispatch(frame);
    }
    EXPECT_TRUE(view.got.empty());
    EXPECT_EQ(md->nBodyBattery[0], 0);

    // A lost report needs only the address and the event.
    Dispatch(Report({0x50, 1, 4}));
    EXPECT_EQ(DeviceStatusLoad(*md), 0x2);
}

TEST_F(PacketDispatchTest, LostDeviceSetsItsBitAndLeavesTheIndividualTable) {
    struct Case {
        TTK_Network entry;
        int bit;
    };
    const Case cases[] = {{Entry("CH", 0x03, 1, 1), 0x1},      {Entry("CV", 0x01, 1, 0), 0x2},
                          {Entry("HH", 0x13, 1, 1), 0x4},      {Entry("HV", 0x11, 1, 0), 0x8},
                          {Entry("judge1", 0x21, 1, 0), 0x10}, {Entry("judge3", 0x23, 1, 0), 0x40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.name);
        DeviceStatusClear(*md, ~0);
        DeviceStatusSet(*md, 0x800000); // another bit stays as it is
        Table() = {Entry("judge2", 0x22, 2, 0), c.entry};
        Dispatch(Report({0x50, 1, 4}));
        EXPECT_EQ(DeviceStatusLoad(*md), 0x800000 | c.bit);
        ASSERT_EQ(Table().size(), 1u);
        EXPECT_EQ(Table()[0].name, "judge2");
        Dispatch(Report({0x50, 1, 2, 0, 0, 1, 0})); // gone: its hits are ignored
    }
    EXPECT_TRUE(view.got.empty());

    md->nCompetitionType = 1;
    DeviceStatusClear(*md, ~0);
    Table() = {Entry("HV5", 0x11, 1, 0), Entry("CH6", 0x03, 1, 1)};
    Dispatch(Report({0x50, 1, 4}));
    EXPECT_EQ(DeviceStatusLoad(*md), 0x400000 | 0x1000000);
    EXPECT_EQ(Table().size(), 2u); // a team keeps its entries
}

TEST(DeviceLostBit, EveryDeviceHasItsOwnBit) {
    struct Case {
        const char* name;
        int bit;
    };
    const Case cases[] = {{"CH", 0x1},        {"CV", 0x2},        {"HH", 0x4},      {"HV", 0x8},
                          {"judge1", 0x10},   {"judge2", 0x20},   {"judge3", 0x40}, {"CH2", 0x80},
                          {"HV2", 0x400},     {"CV3", 0x1000},    {"HH4", 0x20000}, {"HV5", 0x400000},
                          {"CH6", 0x1000000}, {"HV6", 0x8000000}, {"CV1", 0},       {"CV7", 0},
                          {"judge4", 0},      {"XV", 0},          {"", 0},          {"CVV", 0}};
    int seen = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(DeviceLostBit(c.name), c.bit) << c.name;
        EXPECT_EQ(seen & c.bit, 0) << c.name;
        seen |= c.bit;
    }
    EXPECT_EQ(seen & 0x800000, 0); // the receiver's own bit
}

// ---- replies ----

TEST_F(PacketDispatchTest, VersionReplyIsTakenOnlyWhileAwaited) {
    struct Case {
        BYTE major, minor;
        const char16_t* text;
    };
    for (const Case& c : {Case{0, 7, u"09.01"}, Case{2, 0x0A, u"02.0a"}}) {
        receiver->protocol.nState = kReceiverVersionSent;
        receiver->protocol.nStartCount = 3;
        Dispatch(MakeFrame(kFrameTypeReply, 0x07, {c.major, c.minor}));
        EXPECT_EQ(g_strReceiverVersion, c.text);
        EXPECT_EQ(receiver->protocol.nState.load(), kReceiverVersionReceived);
        EXPECT_EQ(receiver->protocol.nStartCount.load(), 0);
    }
    Dispatch(MakeFrame(kFrameTypeReply, 0x07, {4, 4})); // not awaited now
    receiver->protocol.nState = kReceiverVersionSent;
    Dispatch(MakeFrame(kFrameTypeReply, 0x07, {4})); // too short
    EXPECT_EQ(g_strReceiverVersion, u"02.0a");
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverVersionSent);
}

TEST_F(PacketDispatchTest, NetworkReplyKeepsTheNetworkAndTellsTheView) {
    receiver->protocol.nState = kReceiverChannelSent;
    Dispatch(MakeFrame(kFrameTypeReply, 0x0A, {0}));
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverChannelSent); // refused
    Dispatch(MakeFrame(kFrameTypeReply, 0x0A, {1}));
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverChannelAccepted);

    receiver->protocol.nState = kReceiverNetworkSent;
    Dispatch(MakeFrame(kFrameTypeReply, 0x0B, {1, 1, 2, 3, 4, 5, 6, 7})); // too short
    EXPECT_TRUE(view.got.empty());
    Dispatch(
        MakeFrame(kFrameTypeReply, 0x0B, {1, 0x00, 0x12, 0x4B, 0, 0x0A, 0x0B, 0x0C, 0x0D, 15, 0x12, 0x34}));
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverReady);
    EXPECT_EQ(view.got, (std::vector<Received>{{UM_LINK_READY, 0, ""}}));
    std::lock_guard guard(g_receiverNetworkLock);
    EXPECT_EQ(g_nReceiverChannel, 15);
    EXPECT_EQ(g_nReceiverPanId, 0x1234);
    EXPECT_EQ(Bytes(g_abReceiverMac, g_abReceiverMac + 8),
              (Bytes{0x00, 0x12, 0x4B, 0, 0x0A, 0x0B, 0x0C, 0x0D}));
}

TEST_F(PacketDispatchTest, RegistrationRepliesReadyThePairing) {
    struct Case {
        int state;
        BYTE command;
        Bytes payload;
        int teamSlot;
    };
    const Case cases[] = {{kReceiverRegisterSent, 0x0C, {1}, 0},
                          {kReceiverTeamRegisterSent, 0x38, {1, 4}, 4},
                          {kReceiverRegisterAddrSent, 0x30, {}, 0},
                          {kReceiverTeamRegisterAddrSent, 0x3D, {0, 6}, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        receiver->protocol.nTeamSlot = 0;
        receiver->protocol.nState = c.state;
        Dispatch(MakeFrame(kFrameTypeReply, 0x0D, {1})); // another reply
        EXPECT_EQ(receiver->protocol.nState.load(), c.state);
        Dispatch(MakeFrame(kFrameTypeReply, c.command, c.payload));
        // Command 43 finds the receiver closed and writes nothing, so the state stays registered.
        EXPECT_EQ(receiver->protocol.nState.load(), kReceiverRegistered);
        EXPECT_EQ(receiver->protocol.nTeamSlot.load(), c.teamSlot);
    }
}

TEST_F(PacketDispatchTest, PairingReplyRegistersTheDeviceAndTellsTheDialogs) {
    struct Case {
        bool team;
        const char* pairName;
        BYTE code;
        WPARAM judge;
        const char* text;
        int bit;
    };
    const Case cases[] = {
        {false, "", 0x11, 0, "HV,1001020304050607", 0x8},
        {false, "", 0x03, 0, "CH,0001020304050607", 0x1},
        {false, "", 0x22, 1, "judge2,050607", 0x20},
        {true, "HH3", 0x13, 0, "HH3,1001020304050607", 0x2000},
        {true, "CV", 0x01, 0, "CV,0001020304050607", 0x2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReceiverProtocolState& st = receiver->protocol;
        {
            std::lock_guard guard(st.lock);
            std::strcpy(st.szPairName, c.pairName);
        }
        st.bPairing = 1;
        st.nState = c.team ? kReceiverTeamPolling : kReceiverPolling;
        Table() = {Entry(c.team ? c.pairName : "judge1", 0x21, 9, 0)};
        DeviceStatusSet(*md, c.bit | 0x800000);
        view.got.clear();
        regDlg.got.clear();
        progress.got.clear();

        const BYTE command = c.team ? 0x39 : 0x0D;
        Dispatch(MakeFrame(kFrameTypeReply, command, {c.code, 0, 0x61, 0x62, 0, 1, 2, 3, 4, 5, 6})); // short
        EXPECT_EQ(st.bPairing.load(), 1);
        Dispatch(MakeFrame(kFrameTypeReply, command, {c.code, 0, 0x61, 0x62, 0, 1, 2, 3, 4, 5, 6, 7}));

        EXPECT_EQ(st.bPairing.load(), 0);
        EXPECT_EQ(st.nState.load(), kReceiverPaired);
        EXPECT_EQ(progress.got, (std::vector<Received>{{WM_CLOSE, 0, ""}}));
        EXPECT_EQ(regDlg.got, (std::vector<Received>{{UM_REG_DEVICE_PAIRED, c.judge, c.text}}));
        EXPECT_EQ(view.got, (std::vector<Received>{{UM_DEVICE_PAIRED_MAIN, 0, c.text}}));
        EXPECT_EQ(DeviceStatusLoad(*md), 0x800000);
        // An entry of the same name is overwritten, another name is appended.
        const TTK_Network& paired = Table().back();
        EXPECT_EQ(Table().size(), c.team ? 1u : 2u);
        EXPECT_EQ(paired.kind, c.code);
        EXPECT_EQ(Bytes(paired.shortAddr, paired.shortAddr + 2), (Bytes{0x61, 0x62}));
        EXPECT_EQ(Bytes(paired.devAddr, paired.devAddr + 8), (Bytes{0, 1, 2, 3, 4, 5, 6, 7}));
        DeviceStatusClear(*md, ~0);
    }
}

TEST_F(PacketDispatchTest, PairingReplyOfAnUnknownDeviceEndsThePairingRegisteringNothing) {
    receiver->protocol.bPairing = 1;
    receiver->protocol.nState = kReceiverPolling;
    Dispatch(MakeFrame(kFrameTypeReply, 0x0D, {0x24, 0, 1, 2, 0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(receiver->protocol.bPairing.load(), 0);
    EXPECT_EQ(receiver->protocol.nState.load(), kReceiverPaired);
    EXPECT_EQ(progress.got, (std::vector<Received>{{WM_CLOSE, 0, ""}}));
    EXPECT_TRUE(regDlg.got.empty());
    EXPECT_TRUE(view.got.empty());
    EXPECT_TRUE(Table().empty());
}

// ---- through the link ----

TEST_F(PacketDispatchTest, HitFromTheReceiverReachesTheView) {
    FakeReceiver fake;
    ASSERT_TRUE(fake.IsOpen());
    setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
    TTK_Network cv;
    cv.name = "CV";
    cv.kind = 0x01;
    FakeReceiver::ShortAddress("CV", cv.shortAddr);
    FakeReceiver::DeviceAddress("CV", cv.devAddr);
    Table() = {cv};
    WorkerClock clock{true};
    receiver->clock = &clock;
    ASSERT_TRUE(ReceiverStartThread(receiver.get()));
    ASSERT_TRUE(fake.WaitForCommand(0x07));

    ASSERT_TRUE(fake.SendHit("CV", 300));
    const Received hit{UM_TRUNK_HIT, 1, "none,300,0,CV"};
    EXPECT_TRUE(pumpUntil([&] { return std::ranges::count(view.got, hit) == 1; }));
    receiver.reset();
    unsetenv("BELVANTA_RECEIVER");
}

} // namespace
