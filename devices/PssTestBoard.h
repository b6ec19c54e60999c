// What the equipment-test screens show: which sensor and button tiles a hit or a press has lit, the
// sensor values, and the "JUDGE" tiles lit once every judge has pressed the same button. Both test
// screens keep one board each; the operator view feeds them by tile index (UM_PSS_TEST_UPDATE).
//
// Tiles: 0 Chung trunk protector, 1 Chung head gear, 2 Hong trunk protector, 3 Hong head gear (each
// "%d" of its value); 20, 21, 22 judges 1-3 ("%d,%d": a Chung button 1..3, a Hong button 5..7, 0 none);
// 23, 24 the punch sensors ("%d").
#pragma once

#include "app/MatchData.h"

#include <string_view>

struct PssTestBoard {
    static constexpr int kSensors = 4;
    static constexpr int kButtons = 3;

    bool sensorLit[kSensors] = {};
    int sensorValue[kSensors] = {};
    bool chungButton[kJudges][kButtons] = {}; // the judge's "C" tiles
    bool hongButton[kJudges][kButtons] = {};  // the judge's "H" tiles
    bool pressed[kJudges][kButtons] = {};     // buttons each judge pressed, for the "JUDGE" tiles
    bool judgeLit[kButtons] = {};             // "JUDGE" tiles
    bool punchLit[2] = {};                    // tiles 23 and 24
    int punchValue[2] = {};

    // Lights what the tile and text name; judges: the judges in use (1..3) that light a "JUDGE" tile.
    // False, with nothing changed, for a tile outside the table or a text that names no tile.
    bool Update(int tile, std::string_view text, int judges);
    void Reset() { *this = PssTestBoard{}; }
};
