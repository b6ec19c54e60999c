#include "devices/PssTestBoard.h"

#include <algorithm>
#include <charconv>

namespace {

// A decimal value of at most a few digits, as the senders format it; nothing else is a value.
bool Number(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool PssTestBoard::Update(int tile, std::string_view text, int judges) {
    int value = 0;
    if (tile >= 0 && tile < kSensors) {
        if (!Number(text, value))
            return false;
        sensorLit[tile] = true;
        sensorValue[tile] = value;
        return true;
    }
    if (tile == 23 || tile == 24) {
        if (!Number(text, value))
            return false;
        punchLit[tile - 23] = true;
        punchValue[tile - 23] = value;
        return true;
    }
    if (tile < 20 || tile > 22)
        return false;
    const std::size_t comma = text.find(',');
    int chung = 0;
    int hong = 0;
    if (comma == std::string_view::npos || !Number(text.substr(0, comma), chung) ||
        !Number(text.substr(comma + 1), hong))
        return false;
    const bool chungButtonKnown = chung >= 1 && chung <= 3;
    const bool hongButtonKnown = hong >= 5 && hong <= 7;
    if (!chungButtonKnown && !hongButtonKnown)
        return false;
    const int judge = tile - 20;
    if (chungButtonKnown)
        chungButton[judge][chung - 1] = true;
    if (hongButtonKnown) {
        hongButton[judge][hong - 5] = true;
        pressed[judge][hong - 5] = true;
    }
    const int inUse = std::clamp(judges, 1, kJudges);
    for (int b = 0; b < kButtons; ++b) {
        bool all = true;
        for (int j = 0; j < inUse; ++j)
            all = all && pressed[j][b];
        judgeLit[b] = all;
    }
    return true;
}
