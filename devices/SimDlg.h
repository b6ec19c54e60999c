// The "Simulation" dialog: scoring without devices. Each button sends the operator view (g_hMainWnd),
// synchronously, the message and text the receiver's dispatch sends for the same hit or press, so the whole
// scoring path runs as it does with devices: hits for each side (trunk and head with the power levels of
// the two edits, punch as a trunk hit with a punch reading) and the buttons of judges 1 to 3.
// The list shows what was sent, newest first.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QDialog>

#include <map>

class QLineEdit;
class QListWidget;
class QPushButton;

class CTK_SimDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDC_TRUNK_POWER = 1044; // "Trunk Power Level :", 25 at the start
    static constexpr int IDC_HEAD_POWER = 1045;  // "Head Power Level :", 1 at the start
    static constexpr int IDC_SENT = 1363;        // what was sent

    // A protector button: the message, its wParam (1 a hit on a Chung protector, which scores for Hong; 0 a
    // hit on a Hong protector), the edit its power comes from and the validity byte of the reading (0x12 a
    // kick, 0x31 a punch).
    struct ProtectorButton {
        int id;
        const char* caption;
        UINT message;
        WPARAM side;
        int powerEdit;
        unsigned validity;
    };
    static const ProtectorButton kProtectorButtons[6];
    // A judge button: its caption, the Chung and Hong button codes, and its id for judges 1, 2 and 3.
    struct JudgeButton {
        const char* caption;
        int chungCode;
        int hongCode;
        int id[3];
    };
    static const JudgeButton kJudgeButtons[10];

    explicit CTK_SimDlg(QWidget* parent = nullptr);

    QPushButton* Button(int id) const; // null for an id that is not a button here
    QLineEdit* Edit(int id) const;     // IDC_TRUNK_POWER or IDC_HEAD_POWER; null otherwise
    QListWidget* SentList() const { return m_sent; }

    // The power level of an edit as the devices report it: a whole number from 0 to 65535; anything else
    // (empty, not a number, out of range) is 0.
    int PowerLevel(int editId) const;

private:
    void SendProtector(const ProtectorButton& button);
    void SendJudge(int judge, const JudgeButton& button);
    void Send(UINT message, WPARAM wParam, const char* text, const QString& what);

    std::map<int, QPushButton*> m_buttons;
    QLineEdit* m_trunkPower = nullptr;
    QLineEdit* m_headPower = nullptr;
    QListWidget* m_sent = nullptr;
};
