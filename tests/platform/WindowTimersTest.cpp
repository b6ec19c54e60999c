#include "platform/TickSource.h"
#include "platform/WindowMessages.h"

#include "EventPump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Tick {
    UINT_PTR id;
    DWORD time;
    bool operator==(const Tick&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Tick& tick) {
    return out << "{id " << tick.id << " at " << tick.time << "}";
}

// Records each tick with the tick count at which it ran; a test may attach an action to an id.
class TimerWindow : public MessageWindow {
public:
    std::vector<Tick> ticks;
    std::map<UINT_PTR, std::function<void()>> actions;
    bool allOnUiThread = true;

    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void OnTimer(UINT_PTR id) override {
        allOnUiThread = allOnUiThread && platform::isUiThread();
        ticks.push_back({id, GetTickCount()});
        if (const auto it = actions.find(id); it != actions.end())
            it->second();
    }
};

TEST(ManualTime, AdvanceFiresEveryOccurrenceInTimeOrder) {
    platform::ManualTime clock(1000);
    TimerWindow window;
    ASSERT_TRUE(window.SetTimer(2, 25));
    ASSERT_TRUE(window.SetTimer(1, 10));
    clock.advance(50);
    // At 1050 both are due: the one armed first goes first.
    const std::vector<Tick> expected{{1, 1010}, {1, 1020}, {2, 1025}, {1, 1030},
                                     {1, 1040}, {2, 1050}, {1, 1050}};
    EXPECT_EQ(window.ticks, expected);
    EXPECT_EQ(clock.now(), 1050u);
    EXPECT_EQ(GetTickCount(), 1050u);
    clock.advance(9);
    EXPECT_EQ(window.ticks.size(), expected.size());
}

TEST(ManualTime, RearmingRestartsWithTheNewInterval) {
    platform::ManualTime clock;
    TimerWindow window;
    window.SetTimer(1, 100);
    clock.advance(60);
    EXPECT_TRUE(window.SetTimer(1, 30));
    EXPECT_EQ(clock.interval(window.GetSafeHwnd(), 1), 30u);
    clock.advance(60);
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 90}, {1, 120}}));
}

TEST(ManualTime, KillStopsAnArmedTimerAndIgnoresAnIdleOne) {
    platform::ManualTime clock;
    TimerWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    EXPECT_FALSE(window.KillTimer(7));
    window.SetTimer(7, 10);
    EXPECT_TRUE(clock.isArmed(hwnd, 7));
    EXPECT_TRUE(window.KillTimer(7));
    EXPECT_FALSE(window.KillTimer(7));
    EXPECT_FALSE(clock.isArmed(hwnd, 7));
    EXPECT_EQ(clock.interval(hwnd, 7), 0u);
    clock.advance(100);
    EXPECT_TRUE(window.ticks.empty());
}

// What a handler may do to the timers while the clock runs.
TEST(ManualTime, HandlersMayKillRearmOrDestroyTheirWindow) {
    platform::ManualTime clock;
    auto window = std::make_unique<TimerWindow>();
    TimerWindow other;
    std::vector<Tick>* ticks = &window->ticks;
    window->actions[1] = [&] { window->KillTimer(1); };    // one-shot
    window->actions[2] = [&] { window->SetTimer(2, 30); }; // slows itself down
    other.actions[9] = [&] { window.reset(); };            // closes the first window at 45
    window->SetTimer(1, 5);
    window->SetTimer(2, 10);
    other.SetTimer(9, 45);
    std::vector<Tick> seen;
    window->actions[3] = [&] { seen = *ticks; };
    window->SetTimer(3, 44);
    clock.advance(100);
    EXPECT_EQ(seen, (std::vector<Tick>{{1, 5}, {2, 10}, {2, 40}, {3, 44}}));
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(other.ticks, (std::vector<Tick>{{9, 45}, {9, 90}}));
}

TEST(ManualTime, ALateTimerTicksOnceNotInABurst) {
    platform::ManualTime clock;
    TimerWindow window;
    window.SetTimer(1, 10);
    clock.skip(55);
    EXPECT_TRUE(window.ticks.empty());
    EXPECT_EQ(GetTickCount(), 55u);
    clock.advance(0);
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 55}}));
    clock.advance(20); // the next tick is one interval after the late one
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 55}, {1, 65}, {1, 75}}));
}

TEST(ManualTime, FireRunsOneArmedTimerNowAndKeepsItsSchedule) {
    platform::ManualTime clock;
    TimerWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    EXPECT_FALSE(clock.fire(hwnd, 1));
    window.SetTimer(1, 10);
    clock.advance(4);
    EXPECT_TRUE(clock.fire(hwnd, 1));
    clock.advance(6);
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 4}, {1, 10}}));
    EXPECT_TRUE(window.allOnUiThread);
}

TEST(ManualTime, TimersArmedBeforeTheClockAreDueOneIntervalAfterItsStart) {
    TimerWindow window;
    window.SetTimer(1, 1000); // on a QTimer until the manual clock takes it over
    platform::ManualTime clock(500);
    EXPECT_TRUE(clock.isArmed(window.GetSafeHwnd(), 1));
    clock.advance(999);
    EXPECT_TRUE(window.ticks.empty());
    clock.advance(1);
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 1500}}));
}

TEST(ManualTime, DestroyingAWindowKillsItsTimers) {
    platform::ManualTime clock;
    HWND hwnd = 0;
    {
        TimerWindow window;
        hwnd = window.GetSafeHwnd();
        window.SetTimer(1, 10);
        window.SetTimer(2, 20);
    }
    EXPECT_FALSE(clock.isArmed(hwnd, 1));
    EXPECT_FALSE(clock.isArmed(hwnd, 2));
    clock.advance(100); // nothing may reach the destroyed window
}

TEST(ManualTime, TickDifferencesSurviveTheThirtyTwoBitWrap) {
    platform::ManualTime clock(0xFFFFFFF0u);
    TimerWindow window;
    window.SetTimer(1, 10);
    const DWORD start = GetTickCount();
    clock.advance(0x20);
    const DWORD end = GetTickCount();
    EXPECT_LT(end, start);
    EXPECT_EQ(static_cast<DWORD>(end - start), 0x20u);
    EXPECT_EQ(window.ticks, (std::vector<Tick>{{1, 0xFFFFFFFAu}, {1, 0x4u}, {1, 0xEu}}));
}

TEST(ManualTime, OtherThreadsReadTheManualTime) {
    platform::ManualTime clock(77);
    clock.advance(3);
    DWORD seen = 0;
    std::thread reader([&] { seen = GetTickCount(); });
    reader.join();
    EXPECT_EQ(seen, 80u);
}

TEST(RealTimers, ATimerFiresOnTheUiThread) {
    TimerWindow window;
    window.SetTimer(4, 1);
    ASSERT_TRUE(pumpUntil([&] { return window.ticks.size() >= 3; }));
    EXPECT_TRUE(window.KillTimer(4));
    EXPECT_TRUE(window.allOnUiThread);
    for (const Tick& tick : window.ticks)
        EXPECT_EQ(tick.id, 4u);
}

TEST(RealTimers, ATimerArmedOnTheManualClockGoesBackToAQTimer) {
    TimerWindow window;
    {
        platform::ManualTime clock;
        window.SetTimer(5, 1);
    }
    ASSERT_TRUE(pumpUntil([&] { return !window.ticks.empty(); }));
}

// A killed timer's QTimer is kept for its next arming: it must stay silent until then, tick at the new
// arming's interval, and never tick for a window that is gone.
TEST(RealTimers, AKilledTimerStaysSilentUntilArmedAgainAndDiesWithItsWindow) {
    const auto pumpFor = [](int ms) {
        const DWORD start = GetTickCount();
        pumpUntil([&] { return static_cast<DWORD>(GetTickCount() - start) >= static_cast<DWORD>(ms); });
    };
    auto window = std::make_unique<TimerWindow>();
    window->actions[7] = [&] { window->KillTimer(7); }; // killed inside its own tick
    window->SetTimer(7, 1);
    ASSERT_TRUE(pumpUntil([&] { return !window->ticks.empty(); }));
    pumpFor(30);
    EXPECT_EQ(window->ticks.size(), 1u);

    window->actions.clear();
    window->SetTimer(7, 1);
    ASSERT_TRUE(pumpUntil([&] { return window->ticks.size() >= 3; }));
    EXPECT_TRUE(window->KillTimer(7));
    const std::size_t ticked = window->ticks.size();
    window->SetTimer(7, 60'000); // armed again, now far away
    pumpFor(30);
    EXPECT_EQ(window->ticks.size(), ticked);
    EXPECT_TRUE(window->KillTimer(7));
    window.reset(); // gone with its timer stopped and kept

    TimerWindow other;
    other.SetTimer(7, 1);
    ASSERT_TRUE(pumpUntil([&] { return !other.ticks.empty(); }));
    EXPECT_TRUE(other.KillTimer(7));
}

TEST(RealTimers, ABusyUiThreadGetsOneTickNotABurst) {
    TimerWindow window;
    window.SetTimer(6, 1);
    const DWORD start = GetTickCount();
    // Keep the UI thread from its event loop for many intervals.
    ASSERT_TRUE(pumpUntil([&] { return static_cast<DWORD>(GetTickCount() - start) >= 30; },
                          std::chrono::seconds(20), /*pump=*/false));
    QCoreApplication::processEvents();
    EXPECT_LE(window.ticks.size(), 1u);
}

} // namespace
