#include "screens/ScreenText.h"

#include <QString>

#include <algorithm>

namespace {

std::u16string Format(const char* format, int a, int b) {
    return QString::asprintf(format, a, b).toStdU16String();
}

} // namespace

std::u16string ScreenText::ClockFromMs(int ms, int gameState) {
    if (gameState == 0)
        return {};
    ms = std::max(ms, 0);
    const int seconds = ms / 1000;
    const int minutes = seconds / 60;
    if (minutes != 0)
        return Format("%d:%02d", minutes, seconds % 60);
    if (seconds > 9)
        return Format("%d:%02d", 0, seconds);
    return Format("%d.%02d", seconds, ms % 1000 / 10);
}

std::u16string ScreenText::ClockFromSeconds(int seconds, int gameState) {
    if (gameState == 0)
        return {};
    seconds = std::max(seconds, 0);
    return Format("%d:%02d", seconds / 60, seconds % 60);
}

std::u16string ScreenText::Score(int value) {
    // Two places wide, as "%2d" (a formatted print cost each hit's score 5 us).
    return QString::number(value).rightJustified(2, u' ').toStdU16String();
}

std::u16string ScreenText::Number(int value) {
    return QString::number(value).toStdU16String();
}

std::u16string ScreenText::Round(int round, int gameState) {
    return gameState == 0 ? std::u16string() : Number(round);
}

std::u16string ScreenText::ReplayCount(int remaining, int quota) {
    return quota >= 2 && remaining >= 1 ? Number(remaining) : std::u16string();
}

int ScreenText::BatteryPercent(int raw) {
    if (raw > 120)
        return 100;
    if (raw < 102)
        return 1;
    if (raw >= 116)
        return 100;
    switch (raw) {
    case 115:
    case 114:
        return 90;
    case 113:
        return 80;
    case 112:
        return 70;
    case 111:
        return 60;
    case 110:
        return 50;
    case 109:
        return 45;
    case 108:
        return 40;
    case 107:
        return 35;
    case 106:
        return 30;
    case 105:
        return 25;
    case 104:
        return 10;
    default: // 102, 103
        return 1;
    }
}

std::string ScreenText::UpperName(std::string_view utf8, std::size_t limit) {
    // Only the ASCII letters change; every other character, one byte or several, is kept as it is, and the
    // cut falls between whole characters.
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - i);
        if (out.size() + length > limit)
            break;
        for (std::size_t k = 0; k < length; ++k) {
            const char c = utf8[i + k];
            out += length == 1 && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        i += length;
    }
    return out;
}
