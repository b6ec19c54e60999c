// The logic of the division and level page: one grid per gender shows the weight classes of a division
// with their minimum hit levels (body, head, punch); the page fills the grids from the level tables of the
// match record, tells whether a grid differs from them, and saves a grid into the tables and WeightDiv.ini.
// The grids are grid models, so all of this runs without a window.
//
// Thread: user-interface thread.
#pragma once

#include <QString>

#include <optional>

class CGridModel;
struct MatchData;

// Levels are whole numbers in this range.
constexpr int kMinLevel = 0;
constexpr int kMaxLevel = 100;
// The refusal of a level outside it.
QString LevelRangeText();

// A level typed into a grid: digits with an optional sign and blanks around; nothing for anything else or a
// number outside kMinLevel..kMaxLevel.
std::optional<int> ParseLevel(const QString& text);

// Columns of a level grid.
enum LevelColumn {
    kDivisionColumn = 0,
    kWeightColumn = 1,
    kBodyColumn = 2,
    kHeadColumn = 3,
    kPunchColumn = 4
};
constexpr int kLevelColumns = 5;

// Sets up an empty grid: five columns with their widths, one fixed header row (grey, white text, centred),
// selection and the sizing, sorting and tips off.
void SetUpLevelGrid(CGridModel& grid);
// Fills the grid with the division's classes of a gender (0 male, 1 female): name, "kg / lb", and the three
// levels, from the current tables, or with fromDefaults from the factory tables (the current tables are left
// alone: they change only when the grid is saved). Name and weight cells are read-only; the weight column
// grows to its widest text.
void FillLevelGrid(CGridModel& grid, MatchData& md, int division, int gender, bool fromDefaults);
// Whether a level cell differs from the current table.
bool LevelsDiffer(const CGridModel& grid, MatchData& md, int division, int gender);
// Stores every level cell into the current table and writes it to WeightDiv.ini section "<division
// name>_Male" or "_Female", keys "Level_Body_%d", "Level_Head_%d", "Level_Punch_%d" (class index from 0), as
// "%d". A cell that does not hold a level keeps the table's value. False when a value could not be written.
bool SaveLevelGrid(const CGridModel& grid, MatchData& md, int division, int gender);
