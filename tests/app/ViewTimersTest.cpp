#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "platform/TickSource.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The view with every timer action and sender it reaches recorded as one line each.
class RecordingView : public CMainWnd {
public:
    std::vector<std::string> calls;
    // Per device check: the snapshot's Chung head battery and the battery the screen showed at that moment.
    std::vector<std::pair<int, int>> checks;

    void CheckDeviceStatus() override {
        checks.emplace_back(g_pMatchSnapshot->nHeadBattery[0], m_nShownHeadBattery[0]);
        calls.push_back("device check");
    }
    void OnRoundClockTick() override { calls.push_back("round clock"); }
    void OnRestTick() override { calls.push_back("rest"); }
    void OnKyeShiTick() override { calls.push_back("kye-shi"); }
    void OnTimeoutTick() override { calls.push_back("time-out"); }
    void OnJudgeWindowTimer(int side) override { calls.push_back("judge window " + std::to_string(side)); }
    void OnJudgeWindowTimerB(int side) override { calls.push_back("judge window B " + std::to_string(side)); }
    void OnTechWindowA(int side, int force) override { Tech("A", side, force); }
    void OnTechWindowB(int side, int force) override { Tech("B", side, force); }
    void OnTechWindowC(int side, int force) override { Tech("C", side, force); }
    void OnTechWindowD(int side, int force) override { Tech("D", side, force); }
    void ShowRoundResultDialog(int roundIndex, int winner, int reason) override {
        calls.push_back("round result " + std::to_string(roundIndex) + " " + std::to_string(winner) + " " +
                        std::to_string(reason));
    }
    void SendTvgMessage(int supplier, int code, std::u16string_view text1, std::u16string_view text2,
                        std::u16string_view text3) override {
        const bool empty = text1.empty() && text2.empty() && text3.empty();
        calls.push_back("tvg " + std::to_string(supplier) + " " + std::to_string(code) +
                        (empty ? "" : " texts"));
    }
    void SendSwissTiming(int code) override { calls.push_back("swiss timing " + std::to_string(code)); }
    void BuildJsonAction(int kind, int value, int hitLevel) override {
        calls.push_back("json " + std::to_string(kind) + " " + std::to_string(value) + " " +
                        std::to_string(hitLevel));
    }

private:
    void Tech(const char* window, int side, int force) {
        calls.push_back(std::string("tech ") + window + " " + std::to_string(side) + " " +
                        std::to_string(force));
    }
};

// A fresh program folder and match record per test, the manual clock, and the view on it.
class ViewTimersTest : public ::testing::Test, protected TestCourt {
protected:
    ViewTimersTest() {
        view = std::make_unique<RecordingView>();
        hwnd = view->GetSafeHwnd();
    }
    ~ViewTimersTest() override { view.reset(); }

    // Arms the timer with its period and lets exactly one period pass.
    void TickOnce(UINT_PTR id, UINT period) {
        view->SetTimer(id, period);
        clock.advance(period);
    }

    platform::ManualTime clock;
    std::unique_ptr<RecordingView> view;
    HWND hwnd = 0;
};

using Calls = std::vector<std::string>;

TEST_F(ViewTimersTest, EveryTimerReachesItsAction) {
    struct Case {
        UINT_PTR id;
        UINT period;
        Calls expected;
    };
    md->nTvgSupplier = 1;
    const Case cases[] = {
        {TIMER_ROUND_CLOCK, 10, {"round clock"}},
        {TIMER_REST_CLOCK, 1000, {"rest"}},
        {TIMER_KYESHI_CLOCK, 1000, {"kye-shi"}},
        {TIMER_JUDGE_WINDOW[0], 100, {"judge window 0"}},
        {TIMER_JUDGE_WINDOW[1], 100, {"judge window 1"}},
        {TIMER_TECH_WINDOW_A[0], 100, {"tech A 0 0"}},
        {TIMER_TECH_WINDOW_A[1], 100, {"tech A 1 0"}},
        {TIMER_TECH_WINDOW_B[0], 100, {"tech B 0 0"}},
        {TIMER_TECH_WINDOW_B[1], 100, {"tech B 1 0"}},
        {TIMER_TECH_WINDOW_C[0], 100, {"tech C 0 0"}},
        {TIMER_TECH_WINDOW_C[1], 100, {"tech C 1 0"}},
        {TIMER_TECH_WINDOW_D[0], 100, {"tech D 0 0"}},
        {TIMER_TECH_WINDOW_D[1], 100, {"tech D 1 0"}},
        {TIMER_TIMEOUT_CLOCK, 1000, {"time-out"}},
        {TIMER_JUDGE_WINDOW_B[0], 100, {"judge window B 0"}},
        {TIMER_JUDGE_WINDOW_B[1], 100, {"judge window B 1"}},
        {TIMER_TVG_CLOCK, 1000, {"tvg 1 0"}},
        {TIMER_SWISS_TIMING, 3000, {"swiss timing 0"}},
        // Ids the view does not use reach nothing.
        {102, 100, {}},
        {124, 100, {}},
        {199, 100, {}},
        {205, 100, {}},
        {301, 100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        view->calls.clear();
        TickOnce(c.id, c.period);
        EXPECT_EQ(view->calls, c.expected);
        EXPECT_TRUE(clock.isArmed(hwnd, c.id)) << "a periodic timer keeps running";
        view->KillTimer(c.id);
    }
}

TEST_F(ViewTimersTest, OneShotDelaysClearTheirFlagAndStop) {
    view->m_bRefereeCallMute = 1;
    view->m_bRoundEndPending = 1;

    TickOnce(TIMER_REFEREE_CALL_MUTE, 2000);
    EXPECT_EQ(view->m_bRefereeCallMute, 0);
    EXPECT_EQ(view->m_bRoundEndPending, 1);
    EXPECT_FALSE(clock.isArmed(hwnd, TIMER_REFEREE_CALL_MUTE));

    TickOnce(TIMER_ROUND_END_DELAY, 2000);
    EXPECT_EQ(view->m_bRoundEndPending, 0);
    EXPECT_FALSE(clock.isArmed(hwnd, TIMER_ROUND_END_DELAY));
    EXPECT_TRUE(view->calls.empty());
}

TEST_F(ViewTimersTest, RoundResultOpensOnlyForARegularRoundOfTheRoundWinSystem) {
    struct Case {
        const char* name;
        int competitionRule;
        int curRound;
        Calls expected;
    };
    const Case cases[] = {
        {"round-win system, first round", 1, 1, {"round result 0 0 11"}},
        {"round-win system, last regular round", 1, 3, {"round result 2 0 11"}},
        {"round-win system, golden round", 1, 4, {}},
        {"round-win system, before the first round", 1, 0, {}},
        {"round-win system off", 0, 2, {}},
    };
    md->nRound = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view->calls.clear();
        md->nCompetitionRule = c.competitionRule;
        md->nCurRound = c.curRound;
        TickOnce(TIMER_OPEN_ROUND_RESULT, 2);
        EXPECT_EQ(view->calls, c.expected);
        EXPECT_FALSE(clock.isArmed(hwnd, TIMER_OPEN_ROUND_RESULT)) << "one-shot in every case";
        clock.advance(10);
        EXPECT_EQ(view->calls, c.expected) << "it does not come again";
    }
}

TEST_F(ViewTimersTest, DeviceTickChecksThenRefreshesAgainstTheOldSnapshotThenTakesIt) {
    // The snapshot of one second before shows no battery; the record has 50 %.
    md->nHeadBattery[0] = 50;
    view->SetTimer(TIMER_DEVICE_STATUS, 1000);

    clock.advance(1000);
    // The refresh saw the old snapshot (nothing to repaint yet); then the record was copied.
    EXPECT_EQ(view->m_nShownHeadBattery[0], 0);
    EXPECT_EQ(g_pMatchSnapshot->nHeadBattery[0], 50);

    clock.advance(1000);
    EXPECT_EQ(view->m_nShownHeadBattery[0], 50) << "the refresh now sees the copied state";
    // Each check ran before that tick's refresh and snapshot.
    const std::vector<std::pair<int, int>> checks = {{0, 0}, {50, 0}};
    EXPECT_EQ(view->checks, checks);
    EXPECT_EQ(view->calls, (Calls{"device check", "device check"}));
}

TEST_F(ViewTimersTest, PointActionKindsBySideAndKind) {
    // Point kinds 0..21: {Chung, Hong}; kind 8 goes by the current slot (next test).
    const int table[22][2] = {
        {8, 14},  {8, 8},   {8, 8},   {9, 15},  {10, 16}, {58, 59}, {11, 17}, {12, 18},
        {-1, -1}, {10, 16}, {13, 19}, {21, 21}, {21, 21}, {8, 8},   {8, 8},   {8, 8},
        {8, 8},   {8, 8},   {8, 8},   {8, 8},   {60, 61}, {64, 65},
    };
    for (int kind = 0; kind < 22; ++kind) {
        if (kind == 8)
            continue;
        for (int side = 0; side < 2; ++side)
            EXPECT_EQ(view->JsonPointActionKind(side, kind), table[kind][side]) << kind << " side " << side;
    }
    for (const int kind : {-1, 22, 99})
        for (int side = 0; side < 2; ++side)
            EXPECT_EQ(view->JsonPointActionKind(side, kind), 8) << kind << " side " << side;
    for (const int side : {-1, 2})
        EXPECT_EQ(view->JsonPointActionKind(side, 3), 8) << "side " << side;
}

TEST_F(ViewTimersTest, JudgeBonusTakesTheTechniqueOfTheCurrentSlot) {
    struct Case {
        int slotState;
        int expected[2];
    };
    const Case cases[] = {
        {0, {8, 8}}, {1, {8, 8}}, {2, {10, 16}}, {3, {12, 18}}, {4, {10, 16}}, {5, {8, 8}},
    };
    for (const Case& c : cases) {
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(c.slotState);
            view->m_nCurrentSlot[side] = 5;
            md->aSide[side].aSlotState[5].nState = c.slotState;
            md->aSide[side].aSlotState[0].nState = 3; // another slot's technique does not count
            EXPECT_EQ(view->JsonPointActionKind(side, 8), c.expected[side]) << "side " << side;
        }
    }
    // A current slot outside the queue reads as no technique.
    for (const int slot : {-1, kQueueSlots}) {
        view->m_nCurrentSlot[0] = slot;
        EXPECT_EQ(view->JsonPointActionKind(0, 8), 8) << slot;
    }
}

TEST_F(ViewTimersTest, JsonQueueSendsOneActionPerTickInOrder) {
    view->SetTimer(TIMER_JSON_QUEUE, 100);
    clock.advance(300);
    EXPECT_TRUE(view->calls.empty()) << "an empty queue sends nothing";
    EXPECT_EQ(view->m_JsonQueue.Size(), 0u) << "looking at an empty queue adds no entry";
    EXPECT_EQ(view->m_JsonQueue.Next(), 0);

    view->m_JsonQueue.Append(16, 0, u"35"); // a point action with its hit level
    view->m_JsonQueue.Append(30, 2);        // the result of round 2
    view->m_JsonQueue.Append(40);           // the final result
    clock.advance(100);
    EXPECT_EQ(view->calls, (Calls{"json 3 16 35"}));
    clock.advance(200);
    EXPECT_EQ(view->calls, (Calls{"json 3 16 35", "json 4 2 0", "json 5 0 0"}));

    clock.advance(500);
    EXPECT_EQ(view->calls.size(), 3u) << "each entry goes once";
    EXPECT_EQ(view->m_JsonQueue.Size(), 0u);
    EXPECT_EQ(view->m_JsonQueue.Next(), 3);
    EXPECT_EQ(view->m_JsonQueue.Count(), 3);
}

TEST_F(ViewTimersTest, AHoldEntryKeepsEveryLaterEntryWaiting) {
    view->m_JsonQueue.Append(13);
    view->m_JsonQueue.Append(7);
    view->m_JsonQueue.Append(19);
    view->SetTimer(TIMER_JSON_QUEUE, 100);
    clock.advance(1000);
    EXPECT_EQ(view->calls, (Calls{"json 3 13 0"})) << "an empty hit-level text sends level 0";
    EXPECT_EQ(view->m_JsonQueue.Size(), 2u);
    EXPECT_EQ(view->m_JsonQueue.Next(), 1);
}

TEST_F(ViewTimersTest, EachSerialBufferIsEmptiedOnceItsLinkWentQuietForATick) {
    SerialBuffers& buffers = view->m_SerialRecv;
    buffers.Append(0, "abc", 3);
    buffers.Append(1, "de", 2);
    for (const UINT_PTR id : TIMER_SERIAL_FLUSH)
        view->SetTimer(id, 100);

    clock.advance(100); // every buffer's count seen
    EXPECT_STREQ(buffers[0].szData, "abc");
    EXPECT_STREQ(buffers[1].szData, "de");

    buffers.Append(1, "f", 1); // the IVR link keeps sending
    clock.advance(100);
    EXPECT_STREQ(buffers[0].szData, "");
    EXPECT_EQ(buffers[0].nLen, 0);
    EXPECT_STREQ(buffers[1].szData, "def") << "a buffer still filling is kept";
    EXPECT_EQ(buffers[2].nLen, 0);

    clock.advance(100);
    EXPECT_EQ(buffers[1].nLen, 0);

    // As many bytes as were just dropped, arriving right after the flush, still wait a whole quiet tick.
    buffers.Append(0, "xyz", 3);
    buffers.Append(1, "xyz", 3);
    clock.advance(100);
    EXPECT_STREQ(buffers[0].szData, "xyz");
    EXPECT_STREQ(buffers[1].szData, "xyz");
    clock.advance(100);
    EXPECT_EQ(buffers[0].nLen, 0);
    EXPECT_EQ(buffers[1].nLen, 0);
}

TEST_F(ViewTimersTest, SerialBufferKeepsTextUpToItsCapacity) {
    SerialBuffers& buffers = view->m_SerialRecv;
    EXPECT_EQ(buffers.Append(2, "ab\0cd", 5), 2) << "the text ends at its first zero byte";
    EXPECT_STREQ(buffers[2].szData, "ab");
    EXPECT_EQ(buffers.Append(2, "x", -1), 0);
    EXPECT_EQ(buffers.Append(2, nullptr, 4), 0);

    const std::string overlong(3000, 'x');
    EXPECT_EQ(buffers.Append(2, overlong.data(), static_cast<int>(overlong.size())), 2045);
    EXPECT_EQ(buffers[2].nLen, 2047);
    EXPECT_EQ(std::strlen(buffers[2].szData), 2047u);
    EXPECT_EQ(buffers.Append(2, "more", 4), 0) << "a full buffer drops what comes";
    EXPECT_EQ(buffers[2].nLen, 2047);
    EXPECT_EQ(buffers[0].nLen, 0) << "the other buffers are untouched";
    EXPECT_EQ(buffers[1].nLen, 0);

    // A full buffer gone quiet is emptied like any other.
    view->SetTimer(TIMER_SERIAL_FLUSH[2], 100);
    clock.advance(200);
    EXPECT_EQ(buffers[2].nLen, 0);
    EXPECT_EQ(buffers.Append(2, "ok", 2), 2);
}

} // namespace
