// "Instant Video Replay": the operator's modeless form for the outcome of one video-replay request of
// Chung, Hong or the referee. The operator picks the side, the technique or penalty, add or remove, and
// accept or reject; Apply confirms the choice and sends it once to the operator view as UM_IVR_DECISION.
// It deletes itself when closed and then sends UM_IVR_DESTROYED. UI thread only.
#pragma once

#include "match/VideoReplayDlgRules.h"

#include <QDialog>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;

class CTK_IVRDlg : public QDialog {
    Q_OBJECT
public:
    enum : int {
        IDC_CLOSE = 1,
        IDC_BLUE = 1328,
        IDC_RED = 1329,
        IDC_ADD = 1337,
        IDC_REMOVE = 1338,
        IDC_ACCEPT = 1340,
        IDC_REJECT = 1341,
        IDC_APPEAL = 1053,
        IDC_APPLY = 1271,
        IDC_TITLE = 1233,
    };

    // requester: 0 Chung, 1 Hong, 2 referee. Placed over the parent (the operator view) when there is one.
    CTK_IVRDlg(int requester, QWidget* parent);
    ~CTK_IVRDlg() override; // sends UM_IVR_DESTROYED

    const VideoReplayDlgRules::Choice& Choice() const { return m_choice; }
    bool Decided() const { return m_bDecided; }

    // Apply (button 1271) and Close (button 1).
    void OnApply();
    void OnClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* AddChoice(int id, const QString& text, QButtonGroup* group);
    void OnTechnique();
    void OnAccept();
    void OnAppeal(bool checked);
    void Colour();
    void Finish();

    VideoReplayDlgRules::Choice m_choice;
    bool m_bDecided = false;
    bool m_bFinishing = false;
    QLabel* m_title = nullptr;
    QButtonGroup* m_sides = nullptr;
    QButtonGroup* m_techniques = nullptr;
    QButtonGroup* m_addRemove = nullptr;
    QButtonGroup* m_results = nullptr;
    QCheckBox* m_appeal = nullptr;
    QPushButton* m_apply = nullptr;
};
