// One match row of the tournament results database: the row just selected (g_MatchInfoNew) and the row of
// the match in progress (g_MatchInfoCur, copied when the operator loads the selected row; its codes key
// every result written back). Texts are UTF-8. UI thread only.
#pragma once

#include <array>
#include <string>

struct TTK_MatchInfo {
    // Slots of the row, numbered as the tournament database's match record numbers them.
    enum Slot {
        kDepCode = 1,
        kDepName = 2,
        kWeiCode = 3,
        kWeiName = 4,
        kStageCode = 5,
        kGenderCode = 8,
        kBlueMacBody = 10,
        kBluePlayerName = 11,
        kBluePlayerTeam = 12,
        kRedMacBody = 13,
        kRedPlayerName = 14,
        kRedPlayerTeam = 15,
        kWhich = 22, // "1" the next match, "2" the playing match
        kGameCode = 24,
        kCleared = 25,
        kBluePlayerNat = 29,
        kRedPlayerNat = 30,
        kBlueMacHead = 31,
        kRedMacHead = 32,
        // What the decision writes back into the match row.
        kResultCode = 6,
        kExtYn = 7,
        kCurrRound = 9,
    };
    std::array<std::string, 33> slot; // slot 28 is nFound
    int nFound = 0;                   // 1 when the last selection found a row

    const std::string& operator[](Slot s) const { return slot[s]; }
    std::string& operator[](Slot s) { return slot[s]; }
};

extern TTK_MatchInfo g_MatchInfoNew;
extern TTK_MatchInfo g_MatchInfoCur;
