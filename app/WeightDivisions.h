// The weight divisions of WeightDiv.ini and the factory levels of WeightDiv_init.ini, held in the weight-
// division tables of the match record (one row per division, one entry per weight class).
//
// WeightDiv.ini: [Division] Number, Current_Division, Current_Gender, Current_Weight, Current_Phase and
// Name_0 .. Name_(Number-1); per division the sections "<name>_Male" and "<name>_Female" with Cat_Name_k,
// Cat_kg_k, Cat_lb_k, Level_Body_k, Level_Head_k and Level_Punch_k. The class count is Cat_Number of the
// male section and serves both genders. WeightDiv_init.ini has the same sections with the factory levels.
//
// Thread: user-interface thread.
#pragma once

#include "platform/WinTypes.h"

struct MatchData;

// Bounds on counts read from the file: the tables are sized by them, so a damaged or hostile Number or
// Cat_Number can never ask for an absurd allocation. Negative counts read as 0.
constexpr int kMaxDivisions = 64;
constexpr int kMaxWeightClasses = 64;

// Releases any tables already loaded, then loads both files. nDivisionCount and the class counts are the
// counts read, cut to 0..kMaxDivisions and 0..kMaxWeightClasses; Current_Division above the count becomes 0;
// the other Current_* values are stored as read (use the Selected* functions below to index with them).
void LoadWeightDivisions(MatchData& md);

// Releases the tables and empties the area. Safe to call twice and on a record that never loaded. Call it on
// the live record only: the once-a-second snapshot holds copies of the same pointers.
void FreeWeightDivisions(MatchData& md);

// Bounded access to the tables: an index outside what was loaded gives 0, nullptr or -1, never a read past
// the end.
enum class WeightText { Name, Kg, Lb };
int WeightClassCount(const MatchData& md, int division);
const WCHAR* DivisionName(const MatchData& md, int division);
const WCHAR* WeightClassText(const MatchData& md, WeightText text, int gender, int division, int weightClass);
// table 0..11: male body, head, punch, female body, head, punch, then the same six factory tables.
int* LevelEntry(MatchData& md, int table, int division, int weightClass);

// The last selection as an index that is safe to use: nCurDivision when it names a loaded division, else 0
// (-1 with no divisions); nCurGender 0 or 1, else 0; nCurWeight when it names a class of that division,
// else 0 (-1 when the division has no classes).
int SelectedDivision(const MatchData& md);
int SelectedGender(const MatchData& md);
int SelectedWeight(const MatchData& md);
