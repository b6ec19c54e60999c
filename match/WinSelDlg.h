// The winner selection dialog: confirms a decision for one side. It lists the decisions in the layout in
// use (match/WinSelRules.h), preselects the proposed one, refuses under the round-win system a decision
// that system does not admit, and on OK stores the decision in the match record (and writes the match
// result to the tournament database when that is the external system). Modal; UI thread only.
#pragma once

#include "match/WinSelRules.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;

class CTK_WinSelDlg : public QDialog {
    Q_OBJECT
public:
    // IDC_NOTE: the note that the proposed decision is not in the list (hidden otherwise).
    enum : int { IDC_OK = 1, IDC_CANCEL = 2, IDC_LIST = 1042, IDC_SIDE = 1330, IDC_NOTE = 1331 };

    // side 0 Chung, 1 Hong; proposedKind a decision kind of the ordinary list.
    CTK_WinSelDlg(int side, int proposedKind, QWidget* parent);

    // Runs the dialog: IDOK once the decision is stored, IDCANCEL when the operator cancelled.
    int DoModal();

    void accept() override; // OK

    const std::vector<WinSelRules::Row>& Rows() const { return m_rows; }
    QComboBox* List() const { return m_list; }

private:
    int m_nSide;
    std::vector<WinSelRules::Row> m_rows;
    bool m_bTournament = false;
    QComboBox* m_list = nullptr;
    QLabel* m_sideLabel = nullptr;
    QLabel* m_note = nullptr;
};

// The decision's rows in the tournament results database, for the result code of the chosen row.
// Returns whether they were written.
bool WriteTournamentDecision(int resultCode);
