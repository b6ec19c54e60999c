// "Round Result": the modeless dialog that shows one round's counters side by side under the round-win
// system, settles the round's winner by the cascade of match/RoundResultRules.h, lets the operator pick the
// superior side after a draw, and posts the outcome to the operator view. It deletes itself when closed and
// then posts UM_ROUND_RESULT_CLOSED. The space bar does nothing in it. UI thread only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

class CTK_RndResDlg : public QDialog {
    Q_OBJECT
public:
    // Controls by their ids (each widget's object name is its id).
    enum : int {
        IDOK = 1, // "Confirm"
        IDCANCEL = 2,
        IDC_CHUNG = 1312,
        IDC_HONG = 1313,
        IDC_VS = 1370,
        IDC_TITLE = 1364,
        IDC_WINNER = 1339,
        IDC_OPP_GAMJEOM_CHUNG = 1044, // the opponent's gam-jeoms
        IDC_OPP_GAMJEOM_HONG = 1045,
        IDC_GAMJEOM_CHUNG = 1046,
        IDC_GAMJEOM_HONG = 1047,
        IDC_TOTAL_CHUNG = 1048,
        IDC_TOTAL_HONG = 1049,
        IDC_HEAD_CHUNG = 1050,
        IDC_HEAD_HONG = 1051,
        IDC_TRUNK_CHUNG = 1052,
        IDC_TRUNK_HONG = 1053,
        IDC_PSS_CHUNG = 1054,
        IDC_PSS_HONG = 1055,
        IDC_PUNCH_CHUNG = 1056,
        IDC_PUNCH_HONG = 1057,
        IDC_TURNING_CHUNG = 1058,
        IDC_TURNING_HONG = 1059,
        IDC_SUP_CHUNG = 1063,
        IDC_SUP_HONG = 1064,
        IDC_HEAD_LABEL = 1460,
    };

    // roundIndex: the round shown (0-based); winner 0 and reason 11 let the cascade decide, any other pair
    // is shown as given.
    CTK_RndResDlg(int roundIndex, int winner, int reason, QWidget* parent);
    ~CTK_RndResDlg() override; // posts UM_ROUND_RESULT_CLOSED unless dismissed

    int Winner() const { return m_nWinner; } // 1 Chung, 2 Hong, 3 undecided
    int Reason() const { return m_nReason; }

    // "Confirm": after a draw exactly one superiority box must be ticked; posts UM_ROUND_WINNER_DECIDED and
    // closes. Esc, the close box and "Cancel" post UM_CLOSE_ROUND_WINNER and close.
    void accept() override;
    void reject() override;
    // Shows round `roundIndex` again from the match record as it is now, with a winner and reason as the
    // constructor takes them: the scores changed while the dialog was open.
    void Reevaluate(int roundIndex, int winner, int reason);
    // Closes without an outcome and without UM_ROUND_RESULT_CLOSED: the match was decided or replaced, and
    // the pop-ups of what came after must stay.
    void Dismiss();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Evaluate();
    void Colour();

    int m_nRound;
    int m_nWinner;
    int m_nReason;
    bool m_bQuiet = false; // dismissed: the destructor posts nothing
    QLabel* m_title = nullptr;
    QLabel* m_winner = nullptr;
    QCheckBox* m_sup[2] = {};
};
