// The judges' presses as data: decoding a press text, the point value and logging code of a button, the
// technique class a press belongs to and the window that collects it, and the agreement of the judges.
//
// Button codes: Chung 1 bottom, 2 middle, 3 top, 4 and 9 the extra buttons; Hong 5, 6, 7, 8 and 10 in the
// same order. Press-mask bits per class, Chung then Hong: A 0x2 / 0x20, B 0x4 / 0x40, C 0x8 / 0x80,
// D 0x10 / 0x100, E 0x200 / 0x400.
#pragma once

#include "app/MatchData.h"
#include "match/JudgeWindows.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace JudgeRules {

// A press text: "chung,hong" or "chung,hong,flag", decimal. A missing or malformed field reads 0; a
// value out of range is not a button (0).
struct Press {
    int chung = 0;
    int hong = 0;
    int flag = 0;
};
Press ParsePress(std::string_view text);

// Whether the code is one of the side's buttons (Chung 1..4 and 9, Hong 5..8 and 10).
bool IsSideCode(int side, int code);
// Points of a button by the settings; 0 for any other code.
int PointValueOfKind(const MatchData& md, int code);
// A code in Chung numbering for the event log: Hong 5..8 become 1..4, Hong 10 and Chung 9 become 5.
int LoggingCode(int code);

enum BitClass { kBitNone = -1, kBitA = 0, kBitB, kBitC, kBitD, kBitE };
// The press-mask bit of a class letter for the side.
std::uint32_t ClassBit(int side, int bitClass);

// The technique class of a press (1..10; 0 none), the window that collects it and its press-mask bit.
// In the judge-driven type (nCompetitionType 2) the mask bit follows the button (bottom A, middle B,
// top C).
struct PressClass {
    int cls = 0;
    int window = -1; // JudgeWindow, -1 none
    int bit = kBitNone;
};
PressClass ClassOf(const MatchData& md, int code);
// The two-character label of a class ("P ", "T ", "SK", "H ", "HT", "P1".."P5"); "  " for none.
std::string_view TechniqueLabel(int cls);
// The press-mask bits a window collects for the side (its classes), by competition type.
std::uint32_t WindowClassBits(const MatchData& md, int side, int window);
// The consensus bits that belong to a window's results.
std::uint32_t WindowResultBits(int window);

// One class that reached the quorum: the point kind and value it scores and its consensus bit.
struct Vote {
    int kind = -1;
    int value = 0;
    std::uint32_t bit = 0;
};
// Every class of the side that reached the quorum, in the order of the evaluation, for the ordinary
// types and for the judge-driven type. masks: the three judges' press masks of the side.
std::vector<Vote> Votes(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], bool trunkHit,
                        bool headHit);
std::vector<Vote> VotesType2(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges],
                             bool trunkHit);
// Without protectors windows C and D count their own classes, with values of their own.
std::vector<Vote> OwnVotes(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], int window);
// The point kinds a window scores.
bool WindowScores(int window, int kind);

} // namespace JudgeRules
