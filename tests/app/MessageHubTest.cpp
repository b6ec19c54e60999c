#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Network.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "tests/platform/EventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCourt.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace OperatorIds;

namespace {

std::string Text(const char* text) {
    return "\"" + std::string(text) + "\"";
}

// The view with every handler, sender and receiver command the hub reaches written down in call order.
class HubView : public CMainWnd {
public:
    std::vector<std::string> calls;
    int flagToHand = 0; // what the hit and judge handlers hand back for the lamp

    void Log(const std::string& call) { calls.push_back(call); }

    void SendReceiverCommand(int code, const char* text) override {
        Log("receiver " + std::to_string(code) + " " + Text(text));
    }
    void SendControlCharEvent(int code, std::u16string_view, std::u16string_view,
                              std::u16string_view) override {
        Log("control char " + std::to_string(code));
    }
    void SendWtMessage(int target, int code, int side, int value) override {
        Log("wt " + std::to_string(target) + " " + std::to_string(code) + " " + std::to_string(side) + " " +
            std::to_string(value));
    }
    void SendSwissTiming(int code) override { Log("swiss timing " + std::to_string(code)); }
    void OpenOvrLink() override { Log("open ovr"); }
    void OpenPreRegLink() override { Log("open prereg"); }
    void OpenIvrLink(int flag) override { Log("open ivr " + std::to_string(flag)); }
    void OpenTvgLink(int flag) override { Log("open tvg " + std::to_string(flag)); }
    void OpenSwissTimingLink(int flag) override { Log("open swiss timing " + std::to_string(flag)); }

    void RegisterDevice(int index, const char* text, int team) override {
        Log("register " + std::to_string(index) + " team " + std::to_string(team) + " " + Text(text));
    }
    void ReleaseDevice(int index, int team) override {
        Log("release " + std::to_string(index) + " team " + std::to_string(team));
    }
    void SetRoundAndTime(const char* text) override { Log("round and time " + Text(text)); }
    void OnFinalDecision(const char* text) override { Log("final decision " + Text(text)); }
    void StartNextMatch() override { Log("next match"); }
    void OnTrunkHit(int side, const char* text, int* flag) override {
        Log("trunk " + std::to_string(side) + " " + Text(text));
        *flag = flagToHand;
    }
    void OnHeadHit(int side, const char* text, int* flag) override {
        Log("head " + std::to_string(side) + " " + Text(text));
        *flag = flagToHand;
    }
    void OnJudgeInput(int judge, const char* text, int* flag) override {
        Log("judge " + std::to_string(judge) + " " + Text(text));
        *flag = flagToHand;
    }
    void OnJudgeInputType2(int judge, const char* text, int* flag) override {
        Log("judge type 2 " + std::to_string(judge) + " " + Text(text));
        *flag = flagToHand;
    }
    void EndRound(int winner, int reason) override {
        Log("end round " + std::to_string(winner) + " " + std::to_string(reason));
    }
    void OnClickedEquipmentTest() override { Log("equipment test"); }
    void UpdateCourtReceiver() override { Log("court receiver"); }
    void ShowRoundWinnerPopup(int winner, int criterion) override {
        Log("round winner popup " + std::to_string(winner) + " " + std::to_string(criterion));
    }
    void CloseRoundWinnerPopup() override { Log("close round winner popup"); }
    void CloseWinnerPopup() override { Log("close winner popup"); }
    void ForgetRoundResultDialog() override { Log("forget round result dialog"); }
    void ResetPublicEquipmentTest() override { Log("reset public equipment test"); }
};

// A registration dialog as the hub sees it: a window that lists what it is sent.
class FakeRegDlg : public MessageWindow {
public:
    std::vector<UINT> received;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        received.push_back(message);
        return 0;
    }
};

using Calls = std::vector<std::string>;

class MessageHubTest : public ::testing::Test, protected TestCourt {
protected:
    MessageHubTest() {
        md->nMonitorCount = 1;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        md->nJudgeNumber = 3;
        view = std::make_unique<HubView>();
        for (const int lamp : {LampChung, LampHong})
            view->Static(lamp);
        view->ToggleJudgeLamp(0, 0, 0); // both lamps hidden; the next toggle of either shows it
    }
    ~MessageHubTest() override {
        view.reset();
        g_hRegDlg = 0;
    }

    // Sends from a worker thread as the receiver and the judge readers do, the UI thread pumping meanwhile.
    // A text goes in a heap buffer that the sender frees the moment the send returns, so a handler that
    // kept the pointer is caught by the address sanitizer at its next read.
    LRESULT Send(UINT message, WPARAM wParam, const char* text = nullptr, LPARAM lParam = 0) {
        std::atomic<bool> done{false};
        std::atomic<LRESULT> result{-1};
        const HWND hwnd = view->GetSafeHwnd();
        std::thread worker([&] {
            std::unique_ptr<char[]> owned;
            LPARAM param = lParam;
            if (text) {
                owned = std::make_unique<char[]>(std::strlen(text) + 1);
                std::strcpy(owned.get(), text);
                param = reinterpret_cast<LPARAM>(owned.get());
            }
            result = SendMessage(hwnd, message, wParam, param);
            owned.reset();
            done = true;
        });
        const bool returned = pumpUntil([&] { return done.load(); });
        if (!returned)
            platform::shutdownMessages(); // never leave the worker hanging
        worker.join();
        if (!returned)
            platform::restartMessagesForTests();
        EXPECT_TRUE(returned);
        return result;
    }

    // Posts from a worker as the round result dialog's messages come, then waits for a marker posted behind
    // it (posts arrive in order), so a message that leads to nothing is seen to have been handled.
    void Post(UINT message, WPARAM wParam, LPARAM lParam) {
        const HWND hwnd = view->GetSafeHwnd();
        std::thread worker([&] {
            PostMessage(hwnd, message, wParam, lParam);
            PostMessage(hwnd, UM_MATCH_LOADED, 0, 0);
        });
        worker.join();
        ASSERT_TRUE(
            pumpUntil([&] { return !view->calls.empty() && view->calls.back() == "receiver 52 \"\""; }));
        view->calls.pop_back();
    }

    bool LampShown(int id) const { return !view->GetDlgItem(id)->isHidden(); }

    std::unique_ptr<HubView> view;
};

TEST_F(MessageHubTest, WirelessJudgePressesCountOnlyUpToTheJudgeNumberAndFollowTheMatchType) {
    struct Case {
        int judges;          // nJudgeNumber
        int competitionType; // 2 takes the judge-driven handler
        int judge;           // 1..3
        bool handled;
    };
    const Case cases[] = {
        {3, 0, 1, true},  {3, 0, 3, true},  {2, 0, 2, true}, {2, 0, 3, false},
        {1, 1, 2, false}, {0, 0, 1, false}, {3, 2, 2, true}, {2, 2, 3, false},
    };
    platform::ManualTime clock(5000);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "judges " << c.judges << ", type " << c.competitionType << ", judge " << c.judge);
        md->nJudgeNumber = c.judges;
        md->nCompetitionType = c.competitionType;
        view->calls.clear();
        view->m_nJudgePressTime[c.judge - 1] = 7;
        view->m_nLastInputTime = 7;
        view->m_nRoundSteps = 4;
        view->m_nRoundTick = clock.now() - 3;
        view->ToggleJudgeLamp(0, 0, 0);
        view->m_bLampNextShow[0] = view->m_bLampNextShow[1] = 0; // only a forced toggle shows a lamp
        view->flagToHand = 1;

        Send(UM_JUDGE1_INPUT + static_cast<UINT>(c.judge - 1), 0, "1,5,1");

        const std::string handler = c.competitionType == 2 ? "judge type 2 " : "judge ";
        EXPECT_EQ(view->calls,
                  c.handled ? Calls{handler + std::to_string(c.judge - 1) + " \"1,5,1\""} : Calls{});
        EXPECT_EQ(view->m_nJudgePressTime[c.judge - 1], c.handled ? 43u : 7u); // 4 steps of 10 ms + 3 ms
        EXPECT_EQ(view->m_nLastInputTime, c.handled ? 43u : 7u);
        EXPECT_EQ(LampShown(LampHong), c.handled); // the handler's flag picks the lamp, forced on
        EXPECT_FALSE(LampShown(LampChung));
    }
}

TEST_F(MessageHubTest, WiredJudgeMessagesReachOnlyJudgesOneToThree) {
    struct Case {
        WPARAM judge;
        const char* value; // UM_WIRED_JUDGE_VALUE text
        int stored;        // in nJudgeWiredValue[judge - 1]
    };
    const Case cases[] = {{0, "50", 0}, {1, "87", 87}, {2, "12x", 12}, {3, "abc", 0}, {4, "50", 0}};
    md->nJudgeNumber = 1; // a wired judge is not limited by the judge number
    platform::ManualTime clock(100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.judge);
        const bool valid = c.judge >= 1 && c.judge <= 3;
        view->calls.clear();
        std::fill(std::begin(md->nJudgeWiredValue), std::end(md->nJudgeWiredValue), -1);
        std::fill(std::begin(view->m_nJudgePressTime), std::end(view->m_nJudgePressTime), 0u);
        view->m_nLastInputTime = 0;
        view->m_nRoundSteps = 2;
        view->m_nRoundTick = clock.now();
        view->ToggleJudgeLamp(0, 0, 0); // a toggle that is not forced shows the lamp now
        view->flagToHand = 0;

        Send(UM_WIRED_JUDGE_INPUT, c.judge, "3,0");
        Send(UM_WIRED_JUDGE_VALUE, c.judge, c.value);

        EXPECT_EQ(view->calls, valid ? Calls{"judge " + std::to_string(c.judge - 1) + " \"3,0\""} : Calls{});
        for (int j = 0; j < kJudges; ++j) {
            const bool self = valid && static_cast<WPARAM>(j) == c.judge - 1;
            EXPECT_EQ(md->nJudgeWiredValue[j], self ? c.stored : -1);
            EXPECT_EQ(view->m_nJudgePressTime[j], self ? 20u : 0u);
        }
        EXPECT_EQ(view->m_nLastInputTime, valid ? 20u : 0u);
        EXPECT_EQ(LampShown(LampChung), valid);
        EXPECT_EQ(view->m_bLampNextShow[0], valid ? 0 : 1);
    }
}

TEST_F(MessageHubTest, WiredPressTogglesTheLampWhereAWirelessOneForcesIt) {
    view->m_bLampNextShow[0] = 0; // the lamp was shown by the previous event
    Send(UM_WIRED_JUDGE_INPUT, 1, "1,0");
    EXPECT_FALSE(LampShown(LampChung));
    view->m_bLampNextShow[0] = 0;
    Send(UM_JUDGE1_INPUT, 0, "1,0");
    EXPECT_TRUE(LampShown(LampChung));
}

TEST_F(MessageHubTest, HitsAreStampedAndHandedOnForTheirSideOnly) {
    platform::ManualTime clock(0xFFFFFFF0u); // the tick count wraps between the step and the hit
    view->OnRoundClockStep(clock.now());
    clock.skip(25);
    view->flagToHand = 1;
    Send(UM_TRUNK_HIT, 0, "Valid,35,CV,1");
    EXPECT_EQ(view->m_nLastInputTime, 35u);
    EXPECT_TRUE(LampShown(LampHong));
    Send(UM_HEAD_HIT, 1, "Valid,20,HH,0");
    view->m_nLastInputTime = 0;
    Send(UM_TRUNK_HIT, 2, "Valid,35,CV,1");
    Send(UM_HEAD_HIT, 7, "Valid,35,CV,1");
    EXPECT_EQ(view->calls, (Calls{"trunk 0 \"Valid,35,CV,1\"", "head 1 \"Valid,20,HH,0\""}));
    EXPECT_EQ(view->m_nLastInputTime, 0u);
}

TEST_F(MessageHubTest, PressTimeCountsTenMillisecondsAStepPlusTheTimeSinceTheLastStep) {
    platform::ManualTime clock(1000);
    view->m_nRoundSteps = 0;
    view->m_nRoundTick = clock.now();
    EXPECT_EQ(view->PressTime(), 0u);
    for (int step = 0; step < 3; ++step) {
        clock.skip(12); // a late step still counts 10 ms
        view->OnRoundClockStep(clock.now());
    }
    EXPECT_EQ(view->m_nRoundSteps, 3u);
    EXPECT_EQ(view->m_nRoundTick, 1036u);
    clock.skip(7);
    EXPECT_EQ(view->PressTime(), 37u);
}

TEST_F(MessageHubTest, LinkReadySendsTheReadyEventOnceAndTheReceiverCommandEveryTime) {
    struct Case {
        const char* name;
        bool ovr;
        bool preReg;
        int supplier;
        Calls first; // after the first UM_LINK_READY; the second adds the court receiver and command 48 only
    };
    int link = 0;
    const Case cases[] = {
        {"no link", false, false, 0, {"receiver 48 \"0\""}},
        {"OVR", true, false, 0, {"control char 8", "receiver 48 \"0\""}},
        {"pre-registration", false, true, 0, {"control char 8", "receiver 48 \"0\""}},
        {"tournament database", true, false, 3, {"court receiver", "control char 8", "receiver 48 \"0\""}},
        {"tournament database, OVR down", false, true, 3, {"control char 8", "receiver 48 \"0\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view = std::make_unique<HubView>();
        md->nOvrSupplier = c.supplier;
        md->pOvrLink = &link;
        md->bOvrConnected = c.ovr;
        md->pPreRegLink = c.preReg ? &link : nullptr;
        md->bPreRegConnected = 1;

        Send(UM_LINK_READY, 0);
        EXPECT_EQ(view->calls, c.first);
        EXPECT_EQ(view->m_bLinkReady, 1);
        view->calls.clear();
        Send(UM_LINK_READY, 0);
        Calls second = {"receiver 48 \"0\""};
        if (c.supplier == 3 && c.ovr)
            second.insert(second.begin(), "court receiver");
        EXPECT_EQ(view->calls, second);
    }
    md->pOvrLink = md->pPreRegLink = nullptr;
}

// The tournament database is connected without any link object: its flag alone says so.
TEST_F(MessageHubTest, LinkReadyWritesTheCourtReceiverForTheTournamentDatabaseWithoutALinkObject) {
    md->nOvrSupplier = 3;
    md->pOvrLink = nullptr;
    md->bOvrConnected = 1;
    Send(UM_LINK_READY, 0);
    EXPECT_EQ(view->calls, (Calls{"court receiver", "receiver 48 \"0\""}));
    md->bOvrConnected = 0;
    md->nOvrSupplier = 0;
}

TEST_F(MessageHubTest, ReadyEventGoesWhenALinkIsUpAtALaterReadyNotice) {
    int link = 0;
    Send(UM_LINK_READY, 0);
    md->pOvrLink = &link;
    md->bOvrConnected = 1;
    Send(UM_LINK_READY, 0);
    Send(UM_LINK_READY, 0);
    EXPECT_EQ(view->calls,
              (Calls{"receiver 48 \"0\"", "control char 8", "receiver 48 \"0\"", "receiver 48 \"0\""}));
    md->pOvrLink = nullptr;
}

TEST_F(MessageHubTest, DisconnectReleasesTheDevicesAndRefreshesTheRegistrationDialog) {
    FakeRegDlg regDlg;
    g_hRegDlg = regDlg.GetSafeHwnd();
    for (const char* name : {"CV", "judge1", "CH", "HV", "CV2", "HH", "judge3"})
        g_pNetworkArr->emplace_back().name = name;

    Send(UM_CONNECT_STATE, 1);
    EXPECT_EQ(view->m_bConnectState, 1);
    EXPECT_EQ(view->calls, Calls{"swiss timing 2"});
    EXPECT_TRUE(regDlg.received.empty());
    EXPECT_EQ(g_pNetworkArr->size(), 7u);

    view->calls.clear();
    Send(UM_CONNECT_STATE, 0);
    EXPECT_EQ(view->m_bConnectState, 0);
    // Swiss Timing's disconnect record (its sender skips a link that is down) comes before the release.
    EXPECT_EQ(view->calls, (Calls{"swiss timing 3", "receiver 44 \"ED\""}));
    EXPECT_EQ(regDlg.received, std::vector<UINT>{UM_REG_REFRESH_DEVICES});
    std::vector<std::string> left;
    for (const TTK_Network& entry : *g_pNetworkArr)
        left.push_back(entry.name);
    EXPECT_EQ(left, (std::vector<std::string>{"judge1", "CV2", "judge3"}));
}

TEST_F(MessageHubTest, DisconnectWithoutARegistrationDialogStillReleasesTheDevices) {
    g_pNetworkArr->emplace_back().name = "HH";
    Send(UM_CONNECT_STATE, 0);
    EXPECT_EQ(view->calls, (Calls{"swiss timing 3", "receiver 44 \"ED\""}));
    EXPECT_TRUE(g_pNetworkArr->empty());
}

TEST_F(MessageHubTest, EachMessageReachesItsHandlerWithItsParameters) {
    struct Case {
        UINT message;
        WPARAM wParam;
        const char* text; // null: lParam as given
        LPARAM lParam;
        Calls calls;
    };
    const Case cases[] = {
        {UM_SET_COURT_CHANNEL, 0, nullptr, 5, {"receiver 37 \"5\""}},
        {UM_REGISTER_DEVICE, 2, "HV1000000000000001", 0, {"register 2 team 0 \"HV1000000000000001\""}},
        {UM_REGISTER_DEVICE, 20, "", 0, {"register 20 team 0 \"\""}},
        {UM_REGISTER_DEVICE, 1, nullptr, 0, {"register 1 team 0 \"\""}}, // no text reads as the empty one
        {UM_REGISTER_TEAM_DEVICE, 6, "HV2", 0, {"register 6 team 1 \"HV2\""}},
        {UM_RELEASE_DEVICE, 3, nullptr, 0, {"release 3 team 0"}},
        {UM_RELEASE_TEAM_DEVICE, 27, nullptr, 0, {"release 27 team 1"}},
        {UM_SET_ROUND_TIME, 0, "090000,2", 0, {"round and time \"090000,2\""}},
        {UM_IVR_DECISION, 0, "Chung,1,3", 0, {"final decision \"Chung,1,3\""}},
        {UM_IVR_CLOSED, 1, nullptr, 0, {"wt 0 12 1 0"}},
        {UM_MATCH_INFO_CHANGED, 0, nullptr, 0, {"next match"}},
        {UM_EXT_LINK_CONTROL, 0, nullptr, 1, {"open ovr"}},
        {UM_EXT_LINK_CONTROL, 1, nullptr, 0, {"open ivr 0"}},
        {UM_EXT_LINK_CONTROL, 2, nullptr, 1, {"open tvg 1"}},
        {UM_EXT_LINK_CONTROL, 3, nullptr, 1, {"open prereg"}},
        {UM_EXT_LINK_CONTROL, 4, nullptr, 1, {"open swiss timing 1"}},
        {UM_EXT_LINK_CONTROL, 5, nullptr, 1, {}},
        {UM_MATCH_LOADED, 0, nullptr, 0, {"receiver 52 \"\""}},
        {UM_PSS_TEST_REFRESH, 0, nullptr, 0, {"reset public equipment test"}},
        {UM_PSS_TEST_CLOSE, 0, nullptr, 0, {"equipment test"}},
        {UM_DEVICE_PAIRED_MAIN, 0, "CV,0011000000000001", 0, {}},
        {WM_USER + 999, 0, nullptr, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "WM_USER+" << c.message - WM_USER << ", wParam " << c.wParam);
        view->calls.clear();
        EXPECT_EQ(Send(c.message, c.wParam, c.text, c.lParam), 0);
        EXPECT_EQ(view->calls, c.calls);
    }
}

TEST_F(MessageHubTest, PostedRoundResultMessagesReachTheirHandlers) {
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int monitors;
        Calls calls;
    };
    const Case cases[] = {
        {UM_ROUND_WINNER_DECIDED, 2, 4, 1, {"close round winner popup", "end round 2 4"}},
        {UM_ROUND_RESULT_CLOSED,
         0,
         0,
         2,
         {"close round winner popup", "forget round result dialog", "close winner popup"}},
        {UM_SHOW_ROUND_WINNER, 1, 6, 2, {"round winner popup 1 6"}},
        {UM_SHOW_ROUND_WINNER, 1, 6, 1, {}}, // no public screen, no pop-up
        {UM_CLOSE_ROUND_WINNER, 0, 0, 1, {"close round winner popup"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "WM_USER+" << c.message - WM_USER << ", monitors " << c.monitors);
        md->nMonitorCount = c.monitors;
        view->calls.clear();
        Post(c.message, c.wParam, c.lParam);
        EXPECT_EQ(view->calls, c.calls);
    }
}

TEST_F(MessageHubTest, ReceiverNoticesMarkTheReceiverAndToggleTheLamps) {
    DeviceStatusSet(*md, 0x5);
    Send(UM_RECEIVER_LOST, 0);
    EXPECT_EQ(DeviceStatusLoad(*md), 0x800005);

    Send(UM_DEVICE_STATE_LOG, 1); // not forced: the Hong lamp shows now, and hides at the next
    EXPECT_TRUE(LampShown(LampHong));
    Send(UM_DEVICE_STATE_LOG, 1);
    EXPECT_FALSE(LampShown(LampHong));
    Send(UM_RECEIVER_PRESENT, 0);
    EXPECT_TRUE(LampShown(LampChung));
    EXPECT_TRUE(view->calls.empty());
}

TEST_F(MessageHubTest, RegistrationDialogsAreForgottenWhenOneGoes) {
    alignas(8) char dialog[8] = {}; // stands for a dialog; never reached through the pointers
    view->m_pRegDlg = reinterpret_cast<CTK_RegDlg*>(dialog);
    view->m_pRegDlgTeam = reinterpret_cast<CTK_RegDlg_Team*>(dialog);
    Send(UM_REGDLG_DESTROYED, 0);
    EXPECT_EQ(view->m_pRegDlg, nullptr);
    EXPECT_EQ(view->m_pRegDlgTeam, nullptr);
}

TEST_F(MessageHubTest, MatchTypeShowsTheCoachTimeoutAndTheTeamControls) {
    struct Case {
        int competitionType;
        int rounds;
        bool coachTimeout;
        bool team;
    };
    const Case cases[] = {
        {0, 3, false, false}, {1, 3, false, true}, {2, 1, true, false}, {2, 3, false, false}};
    const int teamControls[] = {TagTextChung, TagTextHong, 1130, 1284, 1287, 1288, 1292};
    view->Button(CoachTimeout);
    view->Static(TagTextChung);
    view->Static(TagTextHong);
    for (const int id : {1130, 1284, 1287, 1288, 1292})
        view->Button(id);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.competitionType << ", rounds " << c.rounds);
        md->nCompetitionType = c.competitionType;
        md->nRound = c.rounds;
        Send(UM_MATCH_TYPE_CHANGED, 0);
        EXPECT_EQ(!view->GetDlgItem(CoachTimeout)->isHidden(), c.coachTimeout);
        for (const int id : teamControls)
            EXPECT_EQ(!view->GetDlgItem(id)->isHidden(), c.team) << id;
    }
}

// The settings page tells a new resolution by the same message: the board takes the new size at once.
TEST_F(MessageHubTest, MatchTypeChangeSizesThePublicScoreboardAnew) {
    md->nMonitorCount = 2;
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    for (const int resolution : {1, 0}) {
        md->nDisplayResolution = resolution;
        Send(UM_MATCH_TYPE_CHANGED, 0);
        EXPECT_EQ(md->nExtScrWidth, resolution == 1 ? 1280 : 1920);
        EXPECT_EQ(view->m_pExtScrDlg->width(), resolution == 1 ? 1280 : 1920);
    }
}

TEST_F(MessageHubTest, RoundWinModeSwitchesTheIndicatorsAndKeepsAHiddenScoreboardHidden) {
    for (const int id : {RoundWinIndicatorChung, RoundWinIndicatorHong, ScoreChung, ScoreHong})
        view->Static(id);
    md->nMonitorCount = 2;
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    for (const bool shown : {false, true}) {
        for (const int rule : {1, 0}) {
            SCOPED_TRACE(testing::Message() << "shown " << shown << ", rule " << rule);
            view->m_pExtScrDlg->setVisible(shown);
            md->nCompetitionRule = rule;
            QPalette leading = view->Static(ScoreChung)->palette();
            leading.setColor(QPalette::WindowText, OperatorColours::Leading);
            view->Static(ScoreChung)->setPalette(leading);

            Send(UM_ROUND_WIN_MODE_CHANGED, 0);

            EXPECT_EQ(!view->GetDlgItem(RoundWinIndicatorChung)->isHidden(), rule == 1);
            EXPECT_EQ(!view->GetDlgItem(RoundWinIndicatorHong)->isHidden(), rule == 1);
            EXPECT_EQ(view->m_pExtScrDlg->isVisible(), shown);
            const QColor text = view->Static(ScoreChung)->palette().color(QPalette::WindowText);
            EXPECT_EQ(text, rule == 1 ? OperatorColours::Leading : QColor(Qt::white));
        }
    }
}

TEST_F(MessageHubTest, DisplayChangeShowsThePublicWindowsOnlyWithASecondMonitor) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    view->Button(ShowScoreboard)->setCheckable(true);
    md->nMonitorCount = 2;
    md->nSecondRight = 1366 + 1920;
    md->nSecondBottom = 1080;
    view->ShowExtIvrScreen(0, 1);
    ASSERT_NE(view->m_pExtIvrScrDlg, nullptr);

    struct Case {
        int monitors;
        int secondRight;
        bool toggle; // the operator's show-scoreboard toggle
        bool scoreboard;
        bool replayScreen;
    };
    const Case cases[] = {
        {1, 3286, true, false, false},
        {2, 1366 + 1280, true, true, true},
        {2, 3286, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "monitors " << c.monitors << ", toggle " << c.toggle);
        md->nMonitorCount = c.monitors;
        md->nSecondRight = c.secondRight;
        view->Button(ShowScoreboard)->setChecked(c.toggle);
        view->OnDisplayChange();
        EXPECT_EQ(view->m_pExtScrDlg->isVisible(), c.scoreboard);
        EXPECT_EQ(view->m_pExtIvrScrDlg->isVisible(), c.replayScreen);
        EXPECT_EQ(view->m_pExtScrDlg->geometry(), PublicScreenRect(*md));
        EXPECT_EQ(view->m_pExtIvrScrDlg->geometry(), PublicScreenRect(*md));
    }
}

TEST_F(MessageHubTest, MessagesWithoutAMatchRecordChangeNothing) {
    FreeMatchData();
    Send(UM_JUDGE1_INPUT, 0, "1,5");
    Send(UM_LINK_READY, 0);
    EXPECT_TRUE(view->calls.empty());
    CreateMatchData();
    md = g_pMatchData;
}

} // namespace
