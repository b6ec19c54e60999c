// The arithmetic of the match clocks and of the round sequence, as pure functions over plain values and
// the match record, so each rule can be checked with a table of cases. Any thread (they touch nothing
// shared); the operator view calls them on the UI thread.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

struct MatchData;

namespace ClockRules {

// The round clock's step. Each step takes the whole time passed since the last one from the clock, so a
// tick held up by a busy UI thread is shown late but costs the round nothing.
constexpr UINT kRoundTickMs = 10;
// A rest-clock step longer than this counts as one second.
constexpr DWORD kRestStepLimitMs = 2000;
// The injury count loses at most one second per step; the coach time-out takes every step whole.
constexpr DWORD kKyeShiStepCapMs = 1000;
constexpr DWORD kNoStepCap = 0xFFFFFFFFu;
// The ten-second warning sounds as the round clock passes this remaining time.
constexpr int kWarningMs = 10000;
// Below this remaining time the round clock shows hundredths.
constexpr int kFineClockMs = 9901;
// The longest clock a setting may ask for (99:59), so milliseconds never overflow.
constexpr int kMaxClockSeconds = 5999;

struct RoundStep {
    int remainMs;      // time left after the step, never below 0
    int shownSeconds;  // whole seconds shown after the step
    bool secondPassed; // the shown seconds went down by one
    bool warning;      // the clock passed 10 s in this step and goes on: sound the warning
    bool ended;        // the time is up, or nothing is left to show: the round is over
};
// One round-clock step that found `elapsedMs` since the last one (the unsigned tick difference). The shown
// seconds go down one a step, so after a late step every second's notice still goes out in turn.
RoundStep StepRound(int remainMs, int shownSeconds, DWORD elapsedMs);
// The interval of the round clock's next step: a step, or the time left when that is shorter, so the last
// step lands on the round's end.
UINT RoundTickMs(int remainMs);

struct RestStep {
    int remainMs;
    int seconds; // rest seconds shown after the step
    bool secondPassed;
    bool warning; // 10, 3, 2 or 1 s left: the short signal
    bool ended;   // the rest is over
};
// One rest-clock step (every second).
RestStep StepRest(int remainMs, int seconds, DWORD elapsedMs);

// A countdown (injury count, coach time-out) after `elapsedMs`, each step taking at most capMs; never
// below 0.
int StepCountdown(int remainMs, DWORD elapsedMs, DWORD capMs);

// "<caption>\n%d:%02d" of a countdown's remaining milliseconds, whole seconds rounded down.
std::u16string CountdownCaption(std::u16string_view caption, int remainMs);

// A clock setting in seconds, held to 0..kMaxClockSeconds.
int ClampClockSeconds(int seconds);

// The length in seconds of round nCurRound: per round in a team match, the golden-round length after the
// regular rounds.
int RoundLengthSeconds(const MatchData& md);

// Match total of side 0 Chung / 1 Hong: own points plus the opponent's gam-jeom points.
int MatchTotal(const MatchData& md, int side);

// Whether another round may be started after round nCurRound: not after a golden round, and not after the
// last regular round unless the match is tied without the round-win system.
bool RoundMayFollow(const MatchData& md);

} // namespace ClockRules
