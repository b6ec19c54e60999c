// The event rows of a finished match as the result sheet prints them.
#pragma once

#include <string>
#include <vector>

// One row of the CHUNGLOG or HONGLOG query: its fourteen columns as text, in query order
// (an empty column is an empty text).
struct TTK_DbTemp {
    std::u16string round;
    std::u16string rtime;
    std::u16string face;
    std::u16string vest;
    std::u16string point;
    std::u16string deduct;
    std::u16string judge1;
    std::u16string judge2;
    std::u16string judge3;
    std::u16string jpoint;
    std::u16string itemvalid;
    std::u16string gtime;
    std::u16string ptime;
    std::u16string dbindex; // printing merges the two sides' rows by this column
};

// Chung's and Hong's rows of the match, ascending by dbindex. Created empty and freed together with the
// match record (CreateMatchData / FreeMatchData); user-interface thread only.
extern std::vector<TTK_DbTemp>* g_pChungLog;
extern std::vector<TTK_DbTemp>* g_pHongLog;
