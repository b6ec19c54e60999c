// The registration dialog of individual matches ("Registration"): the court's contests in the local
// database, the contest form, loading a contest into the match, the start time and round, the minimum hit
// levels, and pairing the players' protectors and the judges' devices with the receiver. Modeless and
// single: the operator view creates it, it deletes itself when closed and tells the view. While it exists
// g_hRegDlg names it, and the view and the receive thread send it UM_REG_* messages.
//
// The decisions live in registration/RegistrationRules.h and registration/PlayerTable.h; this class wires
// the controls to them.
//
// Thread: user-interface thread only (messages from workers arrive through platform SendMessage).
#pragma once

#include "platform/WindowMessages.h"
#include "registration/RegistrationRules.h"

#include <QDialog>

#include <deque>
#include <map>
#include <string>

class CMaskedEdit;
class CMy_ListCtrl;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct ImportOutcome;
struct MatchData;
namespace TournamentSelection {
enum class LookUp;
}

// One-shot, 2000 ms after a match request: the reply is read.
constexpr UINT_PTR TIMER_OVR_MATCH_LOAD = 102;

class CTK_RegDlg : public QDialog, public MessageWindow {
    Q_OBJECT
public:
    static constexpr int IDD = 589;

    explicit CTK_RegDlg(QWidget* parent = nullptr);
    ~CTK_RegDlg() override;

    // Moves and sizes the window; wide 1 also shows the device side.
    void PlaceOnScreen(int wide);
    // The device check lost devices: their buttons and address edits as before registration.
    void ResetDeviceButtons();
    // A wired judge's port opened (again): its label "OK" and its button "Off".
    void ShowWiredJudgeConnected(int judge);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // The controls by their template ids (null for an id the dialog does not have).
    QWidget* GetDlgItem(int id) const;
    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);

    // ---- contests ----
    void LoadContestList();
    void FillContestList(const std::vector<Registration::ContestRow>& rows);
    void OnRegistration(); // "Registration": saves the form
    void DeleteSelectedPlayers();
    void OnContestListDblClk(); // loads the first selected contest
    void ShowMatchRecord(int keepFields);
    int NextNumber() const { return m_nNextNumber; }
    std::vector<Registration::ContestRow> ListRows() const;

    // ---- start time, round and levels ----
    void InitRoundTime();
    void OnSpinTime(bool up);
    void OnSpinContestNumber(bool up);
    void OnStartOption();
    void OnApplyRoundTime();
    void OnResetRoundTime();
    void OnApplyLevels();

    // ---- devices ----
    void RegisterPss(int index);   // 0 Chung trunk, 1 Chung head, 2 Hong trunk, 3 Hong head
    void RegisterJudge(int judge); // 0..2
    void ReleaseDevice(unsigned index);
    void UpdateDeviceButtons(int kind, const char* text);
    void ReadDeviceListEntries();
    void OnUseDeviceList();
    void OnUseWireConnection(int judge);

    // ---- match import ("Load OVR Match") ----
    void OnLoadOvrMatch();
    // Sends the current supplier's request: 0 when the reply is to be awaited, otherwise nothing was asked.
    int RequestOvrMatch(const QString& number, bool byNumber);
    // The control-character records: 0 RIN, 1 CO and BN, 2 pairing on, 7 pairing off.
    void SendOvrRequest(int kind);
    void RequestRin(int kind, const QString& number);
    void RequestNextMatch(int kind, const QString& number);
    void RequestAdjacentMatch(int direction); // 0 next, 1 previous
    int RequestApiMatchList(const QString& number);
    void LoadApiMatch();
    // 1 read, 0 refused, 2 cancelled.
    int LoadMatchInputFile();
    void ReadOvrMatchReply(); // timer 102
    // Shows the boxes of an import and, when it was taken, the form, the loaded match and the view's notice.
    void ApplyImport(const ImportOutcome& outcome);
    // Whether a match started (or the record left the idle states) since the import was asked for; then the
    // import is dropped and the operator told so, since its data would overwrite the match under way.
    bool StartedSinceAsked(int askedStarts, bool fromFile);
    // ---- the tournament results database (OVR supplier 3) ----
    // Selects today's next (which 1) or playing (which 0) match of this court into g_MatchInfoNew and shows
    // it as the list's one row; no match empties the list. The contest number edit shows 001 after it.
    void LoadTournamentMatch(int which);
    void ShowTournamentMatch();
    // The look-ups of the selected match (see records/TournamentSelection.h).
    TournamentSelection::LookUp QueryVideoCount();
    TournamentSelection::LookUp QueryStrengthLevel();
    TournamentSelection::LookUp QueryPunchLevel();
    // OVR supplier 3 with the tournament database connected.
    bool TournamentMode() const;

    MatchData* m_pMatchData;

protected:
    // The match-input file the operator picks (absolute path); empty when the dialog was cancelled.
    virtual std::u16string AskMatchInputFile();

    // team: the team dialog's layout and rules (CTK_RegDlg_Team).
    CTK_RegDlg(QWidget* parent, bool team);

    // Team member devices by device index (0..19, 24..27): the member's button and address edit, the player
    // slot and registered flag; null / -1 outside.
    struct MemberDevice {
        int member = 0; // 1..6
        int k = 0;      // 0 Chung trunk, 1 Chung head, 2 Hong trunk, 3 Hong head
        int button = 0;
        int edit = 0;
    };
    static const MemberDevice* MemberDeviceOf(int index);
    void RegisterMemberPss(int index);
    void ShowMemberAddresses(bool onlyLost);
    void ShowTeamMatchRecord(int keepFields);
    // The team dialog's hidden "DB 재접속" button 1000.
    void AddDbReconnectButton();
    // A loaded tournament row: its addresses, and its quota and levels from the tournament database (the
    // levels of the weight-division tables where it has none). The look-ups run off the UI thread, so a match
    // that runs meanwhile goes on; after a failed one the others are not tried. False when the tournament
    // database failed one.
    bool LoadTournamentRow();

    const bool m_bTeam;

    // The modal progress dialog while a device pairs; tests replace it.
    virtual void ShowProgress(const std::u16string& text);
    // Closes the wired judge device's port.
    virtual void CloseJudgePort(int judge);

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void InitControls();
    void InitDevicePanel(QWidget* content, class QVBoxLayout* right);
    void InitTeamDevicePanel(QWidget* content, class QVBoxLayout* right);
    void InitJudgePanel(QWidget* content, class QVBoxLayout* right);
    void InitWeightCombos();
    void RefillWeightCombo();
    void ApplyPssType();
    void ShowDeviceState();
    void Colour();
    void SetRoundControlsEnabled(bool on);
    void OnListContextMenu(const QPoint& pos);
    void OnPairing(bool on);
    void OnWide();
    void ApplyJudgePaired(const std::string& text);
    void AddLogLine(const QString& line);
    bool LinkUp() const;
    bool PreRegUp() const;
    template <typename T> T* Add(int id, T* widget);

    std::map<int, QWidget*> m_items;
    CMaskedEdit* m_edtTime = nullptr;
    CMy_ListCtrl* m_list = nullptr;
    QListWidget* m_log = nullptr;
    int m_nNextNumber = 0;
    QPoint m_rightClick; // last right press on the dialog's own surface; null when none
    int m_bPairingOn = 0;
    int m_bLoadByNumber = 0;          // " Load Game : No." at the last request
    int m_nAskedStarts = 0;           // MatchData::nMatchStarts when the last request went out
    std::u16string m_strInputRefusal; // why the last match-input file was refused, when a value was wrong
    std::string m_strApiReply;        // the match list the last WT API request brought
    int m_nLogLines = 0;
    std::deque<std::string> m_judgePaired; // judge pairing texts waiting to be shown
};
