// Device registration and release as the view turns them into receiver commands, the device table across
// matches, and the once-a-second device status check.
#include "devices/DeviceRegistration.h"
#include "devices/DeviceStatusCheck.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Network.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The view with the receiver commands it gives written down as "code text"; nothing leaves on a link.
class CommandView : public CMainWnd {
public:
    Lines commands;
    void SendReceiverCommand(int code, const char* text) override {
        commands.push_back(std::to_string(code) + " " + text);
    }
    BOOL SendOnLink(int, void*, std::string_view) override { return TRUE; }
};

// A registration dialog: lists the messages it is sent.
class FakeRegDlg : public MessageWindow {
public:
    std::vector<UINT> received;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        received.push_back(message);
        return 0;
    }
};

TTK_Network Entry(const std::string& name, BYTE kind) {
    TTK_Network entry;
    entry.name = name;
    entry.kind = kind;
    entry.shortAddr[1] = kind;
    return entry;
}

Lines Names() {
    Lines names;
    for (const TTK_Network& e : *g_pNetworkArr)
        names.push_back(e.name);
    return names;
}

const std::string kAddr1 = "00150005E7750A1B";
const std::string kAddr2 = "0015000ae7750c2d";

class DeviceRegistrationTest : public ::testing::Test, protected TestCourt {
protected:
    DeviceRegistrationTest() {
        view = std::make_unique<CommandView>();
        *g_pNetworkArr = {Entry("CV", 0x01), Entry("judge1", 0x21), Entry("HV", 0x11)};
    }
    ~DeviceRegistrationTest() override {
        g_hRegDlg = 0;
        view.reset();
    }
    std::unique_ptr<CommandView> view;
};

struct RegisterCase {
    const char* label;
    int index;
    std::string text; // registration; "release" releases instead
    int team;
    Lines commands;
};

std::ostream& operator<<(std::ostream& os, const RegisterCase& c) {
    return os << c.label;
}

class RegisterTable : public DeviceRegistrationTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(RegisterTable, SendsTheCommandOfTheIndexAndLeavesTheTableToTheReceiver) {
    const RegisterCase& c = GetParam();
    if (c.text == "release")
        view->ReleaseDevice(c.index, c.team);
    else
        view->RegisterDevice(c.index, c.text.c_str(), c.team);
    EXPECT_EQ(view->commands, c.commands);
    // The table changes only by the receiver's replies and the release commands themselves.
    EXPECT_EQ(Names(), (Lines{"CV", "judge1", "HV"}));
    // An address that is refused is told to the operator, once; nothing else shows a box.
    const bool refusedAddress =
        c.commands.empty() && !c.text.empty() && c.text != "release" && !DeviceNameOfIndex(c.index).empty();
    const std::vector<std::string> boxes = prompter.texts();
    ASSERT_EQ(boxes.size(), refusedAddress ? 1u : 0u);
    if (refusedAddress) {
        EXPECT_NE(boxes[0].find("is not valid"), std::string::npos) << boxes[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterTable,
    ::testing::Values(RegisterCase{"pairing Chung trunk", 0, "", 0, {"39 CV"}},
                      RegisterCase{"pairing Hong head gear in a team", 3, "", 1, {"41 HH"}},
                      RegisterCase{"pairing member 5", 19, "", 1, {"41 HH5"}},
                      RegisterCase{"pairing judge 3", 22, "", 0, {"39 judge3"}},
                      RegisterCase{"one address", 0, "CV" + kAddr1, 0, {"40 CV" + kAddr1}},
                      RegisterCase{
                          "two addresses", 1, "CH" + kAddr1 + kAddr2, 0, {"40 CH" + kAddr1 + kAddr2}},
                      RegisterCase{"team member address", 5, "CH2" + kAddr2, 1, {"42 CH2" + kAddr2}},
                      RegisterCase{"team member 1 with its digit", 0, "CV1" + kAddr1, 1, {"42 CV1" + kAddr1}},
                      RegisterCase{"team member 1 without it", 2, "HV" + kAddr1, 1, {"42 HV" + kAddr1}},
                      RegisterCase{"index past the judges", 23, "", 0, {}},
                      RegisterCase{"member 6 trunk address", 24, "CV6" + kAddr1, 1, {"42 CV6" + kAddr1}},
                      RegisterCase{"pairing member 6 head gear", 27, "", 1, {"41 HH6"}},
                      RegisterCase{"index past member 6", 28, "", 1, {}},
                      RegisterCase{"negative index", -1, "", 0, {}},
                      RegisterCase{"partial address group", 0, "CV" + kAddr1 + "0A1B", 0, {}},
                      RegisterCase{"address too short", 0, "CV0A1B", 0, {}},
                      RegisterCase{"not hexadecimal", 0, "CV00150005E7750AZZ", 0, {}},
                      RegisterCase{"another device's name", 0, "CH" + kAddr1, 0, {}},
                      RegisterCase{"name only", 0, "CV", 0, {}},
                      RegisterCase{"member digit in an individual match", 0, "CV1" + kAddr1, 0, {}},
                      RegisterCase{"two addresses in a team", 4, "CV2" + kAddr1 + kAddr2, 1, {}},
                      RegisterCase{"release Hong trunk", 2, "release", 0, {"49 HV"}},
                      RegisterCase{"release member 2 head gear", 7, "release", 1, {"50 HH2"}},
                      RegisterCase{"release judge 3", 22, "release", 0, {"49 judge3"}},
                      RegisterCase{"release past the judges", 23, "release", 0, {}},
                      RegisterCase{"release member 6 head gear", 25, "release", 1, {"50 CH6"}},
                      RegisterCase{"release negative index", -5, "release", 1, {}}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

std::vector<int> g_waits;

TEST_F(DeviceRegistrationTest, RebuildReleasesTheProtectorsAndKeepsTheJudgeDevices) {
    g_waits.clear();
    *g_pNetworkArr = {Entry("CV", 0x01), Entry("judge2", 0x22), Entry("HH", 0x13), Entry("judge1", 0x21)};
    RebuildDeviceTable(*view, [](int ms) { g_waits.push_back(ms); });
    // The frame carries the kind byte: the text is the kind plus 0x30.
    EXPECT_EQ(view->commands, (Lines{"51 1", "51 C"}));
    EXPECT_EQ(g_waits, (std::vector<int>{40, 40}));
    EXPECT_EQ(Names(), (Lines{"judge2", "judge1"}));

    view->commands.clear();
    RebuildDeviceTable(*view, [](int ms) { g_waits.push_back(ms); });
    EXPECT_TRUE(view->commands.empty());
    EXPECT_EQ(Names(), (Lines{"judge2", "judge1"}));
}

TEST_F(DeviceRegistrationTest, EntriesAreCopiedOnlyFromInsideTheTable) {
    TTK_Network entry = Entry("untouched", 0x7F);
    EXPECT_TRUE(GetDeviceEntry(2, entry));
    EXPECT_EQ(entry.name, "HV");
    EXPECT_EQ(entry.kind, 0x11);

    entry = Entry("untouched", 0x7F);
    EXPECT_FALSE(GetDeviceEntry(3, entry));
    EXPECT_FALSE(GetDeviceEntry(-1, entry));
    EXPECT_EQ(entry.name, "untouched");

    ClearDeviceTable();
    EXPECT_TRUE(g_pNetworkArr->empty());
    EXPECT_FALSE(GetDeviceEntry(0, entry));
}

struct StatusCase {
    const char* label;
    int previous;
    int current;
    int team; // nCompetitionType
    int gameState;
    Lines commands;
    Lines unregistered; // registered flags cleared: "body<slot>", "head<slot>", "judge<n>"
    bool popup;
    std::string popupText;
    int gameStateAfter;
    int regDlgRefreshes;
};

std::ostream& operator<<(std::ostream& os, const StatusCase& c) {
    return os << c.label;
}

class StatusTable : public DeviceRegistrationTest, public ::testing::WithParamInterface<StatusCase> {
protected:
    Lines Unregistered() const {
        Lines cleared;
        for (int slot = 0; slot < kPlayerSlots; ++slot) {
            if (!md->bRegBody[slot])
                cleared.push_back("body" + std::to_string(slot));
            if (!md->bRegHead[slot])
                cleared.push_back("head" + std::to_string(slot));
        }
        for (int judge = 0; judge < kJudges; ++judge)
            if (!md->bJudgeWired[judge])
                cleared.push_back("judge" + std::to_string(judge + 1));
        return cleared;
    }
};

const char* const kChungTrunk = "CHUNG - (Trunk Protector Communication Error! )";
const char* const kHongHead = "HONG - ( Headgear Communication Error! )";
const char* const kHongTrunk = "HONG - ( Trunk Protector Communication Error! )";
const char* const kJudge2 = "Judge 2 - ( Judge device Communication Error! )";
const char* const kReceiverLost = "Receiver disconnect error";

TEST_P(StatusTable, ReactsToTheDevicesLostSinceThePreviousCheck) {
    const StatusCase& c = GetParam();
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        md->bRegBody[slot] = md->bRegHead[slot] = 1;
    for (int judge = 0; judge < kJudges; ++judge)
        md->bJudgeWired[judge] = 1;
    md->nCompetitionType = c.team;
    md->nGameState = c.gameState;
    view->m_nCheckedDeviceStatus = c.previous;
    md->nDeviceStatus = c.current;
    FakeRegDlg regDlg;
    g_hRegDlg = regDlg.GetSafeHwnd();

    view->CheckDeviceStatus();

    EXPECT_EQ(view->commands, c.commands);
    EXPECT_EQ(Unregistered(), c.unregistered);
    EXPECT_EQ(md->nGameState, c.gameStateAfter);
    EXPECT_EQ(regDlg.received, std::vector<UINT>(c.regDlgRefreshes, UM_REG_REFRESH_DEVICES));
    EXPECT_EQ(md->nDeviceStatus, c.current); // the check reads the status, the receiver owns it

    const DeviceStatusPlan plan = PlanDeviceStatusCheck(c.previous, c.current, c.team, c.gameState);
    EXPECT_EQ(plan.showPopup, c.popup);
    EXPECT_EQ(plan.popupText, c.popupText);
    EXPECT_EQ(plan.stopRound, c.gameState == 3 && c.popup);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusTable,
    ::testing::Values(
        StatusCase{"unchanged", 0x2, 0x2, 0, 3, {}, {}, false, "", 3, 0},
        StatusCase{"Chung trunk lost", 0, 0x2, 0, 4, {"46 CV", "44 CV"}, {"body0"}, true, kChungTrunk, 4, 1},
        StatusCase{"two lost in a running round",
                   0,
                   0x9,
                   0,
                   3,
                   {"46 CH", "46 HV", "44 HV"},
                   {"head0", "body1"},
                   true,
                   kHongTrunk,
                   8,
                   1},
        StatusCase{"one more after one already reported",
                   0x2,
                   0x6,
                   0,
                   4,
                   {"46 HH", "44 HH"},
                   {"head1"},
                   true,
                   kHongHead,
                   4,
                   1},
        StatusCase{"team member and judge lost",
                   0,
                   0x120,
                   1,
                   4,
                   {"47 CV2", "47 judge2", "50 judge2"},
                   {"body2", "judge2"},
                   true,
                   kJudge2,
                   4,
                   1},
        StatusCase{"team member 6 lost",
                   0,
                   0x4000000,
                   1,
                   4,
                   {"47 HH6", "50 HH6"},
                   {"head11"},
                   true,
                   kHongHead,
                   4,
                   1},
        StatusCase{"member bits unchecked in an individual match", 0, 0x80, 0, 3, {}, {}, true, "", 8, 0},
        StatusCase{"a device paired again, another still lost", 0x3, 0x1, 0, 3, {}, {}, true, "", 8, 0},
        StatusCase{"every device back", 0x2, 0, 0, 3, {}, {}, false, "", 3, 0},
        StatusCase{"receiver lost", 0, kReceiverLostStatusBit, 0, 3, {}, {}, true, kReceiverLost, 8, 0},
        StatusCase{"receiver lost with a device",
                   0,
                   kReceiverLostStatusBit | 0x2,
                   0,
                   4,
                   {"46 CV"},
                   {"body0"},
                   true,
                   kReceiverLost,
                   4,
                   0}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(DeviceRegistrationTest, ALossBetweenTheCheckAndTheSnapshotIsReportedOnceByTheNextCheck) {
    md->bRegBody[0] = 1;
    view->CheckDeviceStatus();
    EXPECT_TRUE(view->commands.empty());
    DeviceStatusSet(*md, 0x2); // the receive thread, after the check read the status
    view->RefreshFromSnapshot();
    TakeMatchSnapshot();
    view->CheckDeviceStatus();
    EXPECT_EQ(view->commands, (Lines{"46 CV", "44 CV"}));
    EXPECT_EQ(md->bRegBody[0], 0);
    view->commands.clear();
    view->CheckDeviceStatus();
    TakeMatchSnapshot();
    view->CheckDeviceStatus();
    EXPECT_TRUE(view->commands.empty()) << "a loss is reported once";
}

TEST_F(DeviceRegistrationTest, NoRegistrationDialogMeansOnlyTheRelease) {
    md->nDeviceStatus = 0x10;
    md->bJudgeWired[0] = 1;
    view->CheckDeviceStatus();
    EXPECT_EQ(view->commands, (Lines{"46 judge1", "44 judge1"}));
    EXPECT_EQ(md->bJudgeWired[0], 0);
}

} // namespace
