#include "match/ClockRules.h"

#include "app/MatchData.h"

#include <algorithm>
#include <cstdio>

namespace ClockRules {

namespace {

int Subtract(int remainMs, DWORD deltaMs) {
    return static_cast<DWORD>(std::max(remainMs, 0)) <= deltaMs ? 0 : remainMs - static_cast<int>(deltaMs);
}

} // namespace

RoundStep StepRound(int remainMs, int shownSeconds, DWORD elapsedMs) {
    RoundStep step{};
    step.remainMs = Subtract(remainMs, elapsedMs);
    // Crossing rather than landing in a window: a late tick may jump over any narrow band around 10 s.
    step.warning = remainMs > kWarningMs && step.remainMs <= kWarningMs;
    step.shownSeconds = shownSeconds;
    if (static_cast<long long>(shownSeconds) * 1000 - step.remainMs > 999) {
        --step.shownSeconds;
        step.secondPassed = true;
    }
    // A clock that starts at 0 or below has no second left to count down: it ends now, not never. The
    // round ends when its time is up, even when the shown seconds are still catching up after a late step.
    step.ended = step.shownSeconds <= 0 || step.remainMs == 0;
    // A step that ends the round has the end's sound, not the warning.
    step.warning = step.warning && !step.ended;
    return step;
}

UINT RoundTickMs(int remainMs) {
    return remainMs > 0 && static_cast<UINT>(remainMs) < kRoundTickMs ? static_cast<UINT>(remainMs)
                                                                      : kRoundTickMs;
}

RestStep StepRest(int remainMs, int seconds, DWORD elapsedMs) {
    RestStep step{};
    step.remainMs = Subtract(remainMs, elapsedMs > kRestStepLimitMs ? 1000 : elapsedMs);
    step.seconds = seconds;
    if (static_cast<long long>(seconds) * 1000 - step.remainMs >= 1000) {
        --step.seconds;
        step.secondPassed = true;
    }
    step.ended = step.seconds <= 0;
    step.warning = !step.ended && step.secondPassed &&
                   (step.seconds == 10 || step.seconds == 3 || step.seconds == 2 || step.seconds == 1);
    return step;
}

int StepCountdown(int remainMs, DWORD elapsedMs, DWORD capMs) {
    return Subtract(remainMs, std::min(elapsedMs, capMs));
}

std::u16string CountdownCaption(std::u16string_view caption, int remainMs) {
    const int seconds = std::max(remainMs, 0) / 1000;
    char digits[32];
    std::snprintf(digits, sizeof digits, "\n%d:%02d", seconds / 60, seconds % 60);
    std::u16string text(caption);
    for (const char* p = digits; *p; ++p)
        text += static_cast<char16_t>(*p);
    return text;
}

int ClampClockSeconds(int seconds) {
    return std::clamp(seconds, 0, kMaxClockSeconds);
}

int RoundLengthSeconds(const MatchData& md) {
    const bool team = md.nCompetitionType == 1;
    if (md.nCurRound <= md.nRound) {
        const int index = std::clamp(md.nCurRound - 1, 0, 3);
        return ClampClockSeconds(team ? md.nTeamMatchTime[index] : md.nMatchTime);
    }
    return ClampClockSeconds(team ? md.nTeamGRndMatchTime : md.nGRndMatchTime);
}

int MatchTotal(const MatchData& md, int side) {
    const TTK_SideScore& own = md.aSide[side & 1];
    const TTK_SideScore& other = md.aSide[(side & 1) ^ 1];
    return own.nScore + other.nPenaltyCount1 + 2 * other.nPenaltyCount2;
}

bool RoundMayFollow(const MatchData& md) {
    if (md.nCurRound >= md.nRound + 1)
        return false;
    if (md.nCurRound == md.nRound)
        return md.nCompetitionRule != 1 && MatchTotal(md, 0) == MatchTotal(md, 1);
    return true;
}

} // namespace ClockRules
