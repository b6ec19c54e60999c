// The division and level page of the configuration dialog: the minimum hit levels of every weight class of
// one division, for men and for women, in two grids, saved to WeightDiv.ini by the dialog's Apply and Okay
// (match/DivisionLevels.h holds the logic). Levels are whole numbers 0..100; anything else typed into a
// level cell is refused with a box and the cell keeps its value.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QWidget>

class CDataGrid;
class QComboBox;
struct MatchData;

class CTK_DivWnd : public QWidget {
    Q_OBJECT
public:
    enum : int {
        IDC_DIVISION = 1042,
        IDC_MALE_GRID = 1273,
        IDC_FEMALE_GRID = 1274,
        IDC_MALE_LABEL = 1275,
        IDC_FEMALE_LABEL = 1276,
    };

    // UI thread. The record must outlive the page.
    explicit CTK_DivWnd(MatchData* md, QWidget* parent = nullptr);

    // Fills both grids with a division; with fromDefaults the factory levels are shown (saved only by Apply
    // or Okay).
    void ShowDivision(int division, int fromDefaults);
    // Stores both grids into the level tables and WeightDiv.ini.
    void SaveLevels();
    // 1 when a level cell differs from the stored level.
    int LevelsChanged() const;
    int CurrentDivision() const { return m_nDivision; }

    CDataGrid* MaleGrid() const { return m_pMale; }
    CDataGrid* FemaleGrid() const { return m_pFemale; }
    QComboBox* DivisionCombo() const { return m_pCombo; }

    // The division combo's selection changed: asks to save changed levels, then shows the division.
    void OnSelchangeDivision(int index);

private:
    void OnGridNotify(CDataGrid* grid, int code, int row, int col, LRESULT* result);

    MatchData* m_pMatch;
    CDataGrid* m_pMale;
    CDataGrid* m_pFemale;
    QComboBox* m_pCombo;
    int m_nDivision = -1;
};
