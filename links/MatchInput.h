// The match-input record: a match handed over as a small ini file by a results system (OVR supplier 5).
// The registration dialogs fill it from the file; the result file and the engine read its keys when the
// match ends. Copying copies the flag and every text.
//
// Thread: user-interface thread only.
#pragma once

#include "links/ImportOutcome.h"

#include <string>

struct MatchData;

struct TTK_MatchInput {
    // Positions of the texts; 1 and 13 are never filled.
    enum Field {
        FileName = 0, // the file's name without folder and without ".ini"
        Match = 2,    // [Match_Input] match
        VmaKey = 3,
        BlueName = 4,
        BlueId = 5,
        BlueFlag = 6,
        RedName = 7,
        RedId = 8,
        RedFlag = 9,
        Gender = 10,
        BodyLevel = 11,
        HeadLevel = 12,
        Weight = 14,
        RoundTime = 15, // [Timing] round_time
        RestTime = 16,  // [Timing] rest_time
        FieldCount = 17,
    };
    int bValid = 0; // 1 while the match-input mode is on
    std::u16string field[FieldCount];
};

extern TTK_MatchInput g_MatchInput;

// Empties the texts of g_MatchInput for a new match; the valid flag stays, the link settings own it.
void ClearMatchInput();

// Reads the match-input file at path (absolute) into g_MatchInput: 1 when all fourteen keys of
// [Match_Input] and [Timing] have a value (the record is replaced whole, valid 1); 0 when one is missing or
// empty, or when a level or a time is outside what the operator may type (refusal, when given, then names
// it), and g_MatchInput stays as it was.
int ReadMatchInputFile(const std::u16string& path, std::u16string* refusal = nullptr);

// Copies the record into the match record: contest number, names, nations, gender, weight, levels and
// times. A nation code that is in no row of the nation table gives the side no nation. A level or a time
// outside what the operator may type refuses the record, and nothing is written.
ImportOutcome ApplyMatchInput(MatchData& md, const TTK_MatchInput& input);
