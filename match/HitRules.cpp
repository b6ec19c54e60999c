#include "match/HitRules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <string_view>

namespace HitRules {

namespace {

// A field of decimal digits only, within int.
std::optional<int> Decimal(std::string_view field) {
    int value = 0;
    const char* end = field.data() + field.size();
    if (field.empty() || field.front() < '0' || field.front() > '9')
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// The sensor byte as the receiver prints it: one or two hex digits.
std::optional<int> SensorByte(std::string_view field) {
    int value = 0;
    const char* end = field.data() + field.size();
    // Digits only: from_chars would take a sign ("-2") as part of the number.
    if (field.empty() || field.size() > 2 || !std::isxdigit(static_cast<unsigned char>(field.front())))
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(field.data(), end, value, 16);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<HitText> ParseHitText(const char* text, bool trunk) {
    if (!text)
        return std::nullopt;
    std::size_t length = 0;
    while (length <= kMaxHitText && text[length])
        ++length;
    if (length > kMaxHitText)
        return std::nullopt;
    // Three comma-ended fields, then the tail as one field: a device name may hold anything.
    std::string_view rest(text, length);
    std::string_view fields[4];
    int count = 0;
    for (std::size_t comma; count < 3 && (comma = rest.find(',')) != std::string_view::npos; ++count) {
        fields[count] = rest.substr(0, comma);
        rest.remove_prefix(comma + 1);
    }
    fields[count++] = rest;
    if (count < (trunk ? 4 : 3))
        return std::nullopt;
    const auto raw = Decimal(fields[1]);
    const auto flag = Decimal(fields[2]);
    if (!raw || !flag)
        return std::nullopt;
    HitText hit;
    hit.valid = fields[0] == "valid";
    hit.raw = *raw;
    hit.flag = *flag;
    if (trunk && hit.valid) {
        const auto sensor = SensorByte(fields[3]);
        if (!sensor)
            return std::nullopt;
        hit.sensor = *sensor;
    }
    return hit;
}

Contact ContactOf(int sensor) {
    if (sensor == 0x31 || sensor == 0x41)
        return Contact::Punch;
    if (sensor == 0x01 || (sensor >= 0x11 && sensor <= 0x15) || (sensor >= 0x21 && sensor <= 0x25))
        return Contact::Foot;
    return Contact::Other;
}

int TrunkLevel(int raw, bool kgf) {
    // The receiver measures 16 bits; a larger text (a simulator's) is held there, so the conversion below
    // cannot leave int.
    raw = std::clamp(raw, 0, kMaxRawForce);
    if (!kgf)
        return raw;
    // The receiver's scale is not linear: a steeper line takes over from raw 33.
    const double force = raw < 33 ? raw * 29.3 - 3.0 : raw * 47.6 - 660.0;
    return (static_cast<int>(force) + 5) / 10;
}

bool Admitted(int level, int gameState, int remainTime) {
    if (level > 100)
        return false;
    if (gameState != 13 && remainTime == 0)
        return false;
    return gameState == 3 || gameState == 13;
}

Thresholds ThresholdsFor(int gameState, int levelBody, int levelHead, int levelPunch) {
    if (gameState == 13)
        return {1, 1, 1};
    return {levelBody, levelHead, levelPunch};
}

std::array<std::uint8_t, 7> SideFrame(int side) {
    return {0x55, 0x55, 0x02, 0x01, static_cast<std::uint8_t>(side == 1 ? 1 : 0), 0xAA, 0xAA};
}

} // namespace HitRules
