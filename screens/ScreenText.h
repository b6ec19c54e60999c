// Texts and small rules of the operator screen that need no window: clock texts, score and round texts,
// the replay count, the battery percentage and the upper-cased player name. Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

class ScreenText {
public:
    // The round clock from the milliseconds left: "m:ss" from one minute on, "0:ss" from ten seconds,
    // "s.hh" (hundredths) below. Empty while no match is running (game state 0). A negative time reads 0.
    static std::u16string ClockFromMs(int ms, int gameState);
    // The clock from whole seconds, always "m:ss"; empty in game state 0.
    static std::u16string ClockFromSeconds(int seconds, int gameState);
    // A score box: "%2d", so a one-digit score keeps its place.
    static std::u16string Score(int value);
    // A plain counter: "%d".
    static std::u16string Number(int value);
    // The round number "%d", empty before the match (game state 0).
    static std::u16string Round(int round, int gameState);
    // The replay-request count beside a side's replay card: "%d" when the quota in force allows two or more
    // requests and at least one is left, else empty.
    static std::u16string ReplayCount(int remaining, int quota);
    // Battery percentage of a device from its raw report value.
    static int BatteryPercent(int raw);
    // A player name as the name panels show it: its ASCII letters upper-cased (other characters kept as they
    // are), and no longer than `limit` bytes of UTF-8 (cut only between characters), so it fits back into its
    // fixed-size field.
    static std::string UpperName(std::string_view utf8, std::size_t limit);
};
