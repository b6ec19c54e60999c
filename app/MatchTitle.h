// The title of the loaded match as the operator screen and the public scoreboard show it, and the weight
// text that goes with it.
#pragma once

#include <string>

struct MatchData;

struct MatchTitle {
    std::u16string title;
    std::u16string weight;
};

// The gender text of the match: team matches "Mixed" (szGender has an "x"), "Female" (an "F") or "Male";
// other matches "W" (an "F") or "M". Empty when szGender is empty, and whenever the OVR link of supplier
// 3 or 7 is connected (those suppliers carry the gender in the class text). Thread: any.
std::u16string MatchGenderText(const MatchData& md);

// Title and weight text of the match in md, from phase, weight class, gender and weight. The record's
// narrow texts are UTF-8, as every narrow text of the record. Thread: any, with md not written meanwhile.
MatchTitle ComposeMatchTitle(const MatchData& md);

// User-interface thread. Title of the loaded match (g_pMatchData); also sets g_strMatchWeight.
std::u16string BuildMatchTitle();
