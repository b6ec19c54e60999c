// The Rule page of the configuration dialog: competition rules, scoring equipment, judges, the court number
// and the radio channel. It edits the rule fields of the match record and saves them to Rule.ini [Rule]
// (match/RulePageRules.h holds the logic); "SET" gives the court's channel to the receiver at once, and the
// receiver's start-up reply (UM_LINK_READY) shows and checks its firmware version.
//
// Thread: user-interface thread; its handle (g_hRuleWnd) may be read by any thread.
#pragma once

#include "match/RulePageRules.h"
#include "match/RuleWndHandle.h"
#include "platform/WindowMessages.h"

#include <QWidget>

#include <map>

class QAbstractButton;
class QComboBox;
class QLabel;
class CMaskedEdit;
class QSpinBox;
struct MatchData;

class CTK_RuleWnd : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    // Controls by their ids.
    enum : int {
        IDC_COURT = 1004,
        IDC_HEADER_COURT = 1018,
        IDC_TEAM_TYPE = 1042,
        IDC_ROUND = 1043,
        IDC_MATCH_TIME = 1044,
        IDC_REST_TIME = 1045,
        IDC_KYESHI_TIME = 1046,
        IDC_GAMJEOM = 1047,
        IDC_POINT_GAP = 1048,
        IDC_POINT_CEIL = 1049,
        IDC_USE_POINT_GAP = 1053,
        IDC_USE_POINT_CEIL = 1055,
        IDC_RESOLUTION = 1057,
        IDC_MATCH_TIME2 = 1059,
        IDC_VIDEO_QUOTA = 1060,
        IDC_MATCH_TIME2_SPIN = 1062,
        IDC_VIBRATION = 1064,
        IDC_SOUND_EFFECT = 1065,
        IDC_PSS_AUTO_OFF = 1066,
        IDC_KGF_UNIT = 1067,
        IDC_COURT_UP = 1240,
        IDC_COURT_DOWN = 1241,
        IDC_CHANNEL = 1242,
        IDC_SET = 1243,
        IDC_HEADER_RULE = 1245,
        IDC_HEADER_EQUIPMENT = 1246,
        IDC_JUDGE_NUMBER = 1247,
        IDC_SCORING = 1248,
        IDC_ESOCKS = 1249,
        IDC_TRUNK_POINT = 1250,
        IDC_HEAD_POINT = 1251,
        IDC_JUDGE_TOP = 1252,
        IDC_JUDGE_MIDDLE = 1253,
        IDC_JUDGE_BOTTOM = 1254,
        IDC_COMPETITION_RULE = 1255,
        IDC_TYPE_INDIVIDUAL = 1273,
        IDC_TYPE_TEAM = 1274,
        IDC_TYPE_PARA = 1275,
        IDC_VERSION = 1338,
        IDC_MATCH_TIME2_LABEL = 1411,
        IDC_PUNCH = 1475,
    };

    // UI thread. The record must outlive the page.
    explicit CTK_RuleWnd(MatchData* md, QWidget* parent = nullptr);
    ~CTK_RuleWnd() override;

    // Stores every control into the record and Rule.ini. A time field that shows no whole time inside the
    // bounds, or a number outside its range, is refused with a box and nothing is saved (false).
    bool SaveRule();
    // "SET": court and channel into the record and Rule.ini, and the channel to the receiver.
    void SaveCourtChannel();

    // UM_LINK_READY from the receive thread: the receiver finished its start-up.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The controls, for the dialog's screenshots and tests.
    QWidget* GetDlgItem(int id) const;
    QComboBox* Combo(int id) const;
    QAbstractButton* Check(int id) const;
    CMaskedEdit* Edit(int id) const;
    QSpinBox* Number(int id) const;
    QLabel* Static(int id) const;
    // What the controls hold now.
    RulePageValues Values() const;
    int Court() const { return m_nCourt; }

private:
    void OnInitDialog();
    void BuildControls();
    void FillRoundList();
    void ShowTimes();
    void ShowVideoQuota();
    void OnClassification();
    void OnCompetitionRule();
    void OnRoundChanged(int index);
    void OnScoring();
    void OnCourtStep(int delta);
    void StepTimeEdit(int id, int delta);
    void ShowCourt();
    void ShowReceiverVersion();
    void OnLinkReady();
    // Lenient, for the spin buttons: blanks count as nothing.
    int TimeOf(int id) const;
    // Strict, for saving: kNoTime unless the field shows a whole time.
    int ShownTimeOf(int id) const;
    int Classification() const;

    template <typename T> T* Make(int id, QWidget* parent);

    MatchData* m_pMatch;
    std::map<int, QWidget*> m_controls;
    int m_nCourt = 1;
};
