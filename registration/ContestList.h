// The contest list of the registration dialogs: one row per contest, Chung's columns in blue and Hong's in
// red on white, full-row selection, grid lines, headers that cannot be clicked.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"
#include "registration/RegistrationRules.h"

#include <QTableWidget>

#include <array>
#include <string>
#include <vector>

class CMy_ListCtrl : public QTableWidget {
    Q_OBJECT
public:
    // team: the team dialog's list, whose team columns take the side colours too.
    explicit CMy_ListCtrl(bool team, QWidget* parent = nullptr);

    // The 13 columns; tournament: the 15-column layout with the head-gear addresses.
    void SetupColumns(bool tournament);
    static COLORREF OnGetCellTextColor(int column, bool team);
    static COLORREF OnGetCellBkColor(int row, int column);

    void SetRows(const std::vector<Registration::ContestRow>& rows);
    // Adds the tournament database's match as a row of the 15-column layout and scrolls it into view.
    void SetTournamentRow(const std::array<std::u16string, 15>& columns);
    Registration::ContestRow Row(int row) const;
    // Selected rows, highest first.
    std::vector<int> SelectedRows() const;

private:
    // A centred cell in the column's text colour.
    void SetCell(int row, int column, const std::u16string& text);

    bool m_bTeam;
};
