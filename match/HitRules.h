// The rules of a protector hit that need no window: reading the receiver's hit text, the level of a hit,
// which hits a round admits, the thresholds that make a hit score and the frame that tells the wired judge
// devices which side scored. Pure functions; any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace HitRules {

// The longest hit text the receiver sends (its buffer holds 63 characters and the terminator).
constexpr std::size_t kMaxHitText = 63;

// What the protector's sensor byte says: a punch ("31", "41"), a foot contact ("01", "11".."15",
// "21".."25"), or neither (an unknown byte, or a text without a sensor byte).
enum class Contact { Other, Punch, Foot };

// One hit text: "valid,<raw>,<flag>,<sensor hex>" or "<other word>,<raw>,<flag>,<device name>" for a trunk
// hit; a head hit has the same first three fields and whatever follows them is ignored.
struct HitText {
    bool valid = false; // the first field is exactly "valid"
    int raw = 0;        // the measured impact
    int flag = 0;       // handed back for the judge lamp
    int sensor = -1;    // the sensor byte of a valid text; -1 without one
};

// The text read at the border; nullopt for a malformed one (missing field, a number field that is not a
// non-negative decimal, a sensor byte that is not one or two hex digits, longer than kMaxHitText, null).
std::optional<HitText> ParseHitText(const char* text, bool trunk);

Contact ContactOf(int sensor);

// The largest impact the receiver reports (a 16-bit field).
constexpr int kMaxRawForce = 65535;

// The level of a trunk hit: the raw value held to 0..kMaxRawForce, or its kgf conversion when kgf is set.
int TrunkLevel(int raw, bool kgf);

// A hit is looked at only up to level 100, in a running round (state 3) whose clock has not reached zero,
// or in the equipment test (state 13).
bool Admitted(int level, int gameState, int remainTime);

struct Thresholds {
    int trunk;
    int head;
    int punch;
};
// In the equipment test every hit of level 1 or more counts; otherwise the weight class's levels.
Thresholds ThresholdsFor(int gameState, int levelBody, int levelHead, int levelPunch);

// The frame each wired judge device gets when side (0 Chung, 1 Hong) scores.
std::array<std::uint8_t, 7> SideFrame(int side);

} // namespace HitRules
