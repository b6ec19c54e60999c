#include "match/DivisionLevels.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/WeightDivisions.h"
#include "controls/GridModel.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kWidths[kLevelColumns] = {100, 100, 80, 80, 80};
const char* const kHeaders[kLevelColumns] = {"Division", "Weight", "Body", "Head", "Punch"};
const char16_t* const kKeys[3] = {u"Level_Body_", u"Level_Head_", u"Level_Punch_"};

QString Wide(const WCHAR* text) {
    return text ? QString::fromStdU16String(text) : QString();
}

} // namespace

QString LevelRangeText() {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(kMinLevel).arg(kMaxLevel);
}

std::optional<int> ParseLevel(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < kMinLevel || value > kMaxLevel)
        return std::nullopt;
    return value;
}

void SetUpLevelGrid(CGridModel& grid) {
    grid.SetEditable(true);
    grid.ClearListMode();
    grid.EnableDragAndDrop(false);
    grid.SetRowResize(false);
    grid.SetColumnResize(false);
    grid.SetHeaderSort(false);
    grid.EnableCellTips(false);
    grid.DisableSelection();
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(0);
    grid.SetColumnCount(kLevelColumns);
    grid.SetRowCount(1);
    for (int col = 0; col < kLevelColumns; ++col) {
        grid.SetColumnWidth(col, kWidths[col]);
        CDataGridCellBase* cell = grid.GetCell(0, col);
        cell->SetText(QString::fromLatin1(kHeaders[col]));
        cell->SetFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        cell->SetBackClr(RGB(0x99, 0x99, 0x99));
        cell->SetTextClr(RGB(255, 255, 255));
    }
    grid.SetModified(false);
}

void FillLevelGrid(CGridModel& grid, MatchData& md, int division, int gender, bool fromDefaults) {
    const int classes = WeightClassCount(md, division);
    grid.SetRowCount(classes + 1);
    const int table0 = (fromDefaults ? 6 : 0) + gender * 3;
    for (int k = 0; k < classes; ++k) {
        const int row = k + 1;
        const QString texts[2] = {
            Wide(WeightClassText(md, WeightText::Name, gender, division, k)),
            Wide(WeightClassText(md, WeightText::Kg, gender, division, k)) + QStringLiteral(" / ") +
                Wide(WeightClassText(md, WeightText::Lb, gender, division, k)),
        };
        for (int col = 0; col < kLevelColumns; ++col) {
            CDataGridCellBase* cell = grid.GetCell(row, col);
            if (col < kBodyColumn) {
                cell->SetText(texts[col]);
                cell->SetState(cell->GetState() | DGIS_READONLY);
            } else {
                const int* level = LevelEntry(md, table0 + col - kBodyColumn, division, k);
                cell->SetText(QString::number(level ? *level : 0));
            }
            cell->SetFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    // The weight texts ("-54kg / -119.0lb") are wider than the column's 100 pixels with most fonts; the
    // column grows to show them whole.
    int weightWidth = kWidths[kWeightColumn];
    for (int row = 1; row < grid.GetRowCount(); ++row)
        weightWidth = std::max(weightWidth, grid.GetCell(row, kWeightColumn)->GetCellExtent().width());
    grid.SetColumnWidth(kWeightColumn, weightWidth);
    grid.SetModified(true);
    grid.Refresh();
}

bool LevelsDiffer(const CGridModel& grid, MatchData& md, int division, int gender) {
    const int classes = std::min(WeightClassCount(md, division), grid.GetRowCount() - 1);
    for (int k = 0; k < classes; ++k)
        for (int col = kBodyColumn; col <= kPunchColumn; ++col) {
            const int* level = LevelEntry(md, gender * 3 + col - kBodyColumn, division, k);
            const std::optional<int> shown = ParseLevel(grid.GetItemText(k + 1, col));
            if (level && shown.value_or(-1) != *level)
                return true;
        }
    return false;
}

bool SaveLevelGrid(const CGridModel& grid, MatchData& md, int division, int gender) {
    const WCHAR* name = DivisionName(md, division);
    if (!name)
        return false;
    const std::u16string section = std::u16string(name) + (gender == 0 ? u"_Male" : u"_Female");
    const int classes = std::min(WeightClassCount(md, division), grid.GetRowCount() - 1);
    bool written = true;
    for (int k = 0; k < classes; ++k)
        for (int col = kBodyColumn; col <= kPunchColumn; ++col) {
            int* level = LevelEntry(md, gender * 3 + col - kBodyColumn, division, k);
            if (!level)
                continue;
            if (const std::optional<int> value = ParseLevel(grid.GetItemText(k + 1, col)))
                *level = *value;
            const std::u16string key = kKeys[col - kBodyColumn] + QString::number(k).toStdU16String();
            const std::u16string text = QString::number(*level).toStdU16String();
            if (!WriteIniString(section.c_str(), key.c_str(), text.c_str(), u"WeightDiv.ini")) {
                DebugPrintf("WeightDiv.ini could not be written; the levels stay in memory only");
                written = false;
            }
        }
    return written;
}
