// The operator view: the operator's scoring screen and the hub of the match engine. It owns the screen's
// controls, the pop-ups and the public scoreboard, and receives every device and dialog message and every
// timer. UI thread only, except GetSafeHwnd() (see platform/WindowMessages.h).
#pragma once

#include "platform/WindowMessages.h"

#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class CExtScrDlg;
class CMyListCtrl;
class CTK_ExtIvrScrDlg;
class QLabel;
class QPaintEvent;
class QPainter;
class QPushButton;
struct TTK_Receiver;

class CMainWnd : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    // Starts the view once the frame has loaded the settings: scoreboard, controls, match cleared, timers.
    void OnInitialUpdate();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // The screen's controls by their ids. Until the owner-drawn controls exist they are plain widgets,
    // made on first use (hidden until placed); SetupControls places and shows them.
    QWidget* GetDlgItem(int id) const; // null for an id not made yet
    QLabel* Static(int id);
    QPushButton* Button(int id); // checkable buttons are made checkable by their owner
    void SetDlgItemText(int id, const QString& text);
    void ShowDlgItem(int id, bool show);

    // ---- view core: construction, start, shutdown, painting, own buttons, match clearing ----

    // The first phase of the end (the frame's close, or the destructor when the frame did not call it):
    // stops the timers and gives up the handle, so every send waiting for the view returns 0 and no
    // handler runs on a view being torn down. Runs once. The destructor then stops the workers, closes the
    // links and frees what the view owns.
    void OnDestroy();

    // Empties the match identity for a new match (also at start): texts, title, round; levels from the team
    // rules in a team match, else trunk and head levels 0; the device registrations too when bPSSAutoOff is
    // set or the view is still starting.
    void ClearMatchIdentity();
    // Empties players 0 and 1 (nation, names); their device addresses, and in a team match those of every
    // team member, under the rule of the registrations above.
    void ClearPlayers();
    // The public video-replay screen for side 0 Chung / 1 Hong: show 0 deletes it; otherwise, with two or
    // more monitors only, it is shown, created over the public-screen rectangle when it does not exist.
    void ShowExtIvrScreen(int side, int show);

    // The view's own buttons.
    void OnClickedButton1136();     // Chung colour swap
    void OnClickedButton1139();     // Hong colour swap
    void OnClickedShowScoreboard(); // 1247: public scoreboard on or off
    void OnClickedReverseScreen();  // 1252: sides exchanged on the public scoreboard

    // A side's point-button skin: hover background and the six pictures of the owner-drawn point buttons;
    // blue artwork or red, the third picture being the side's own.
    struct ButtonSkin {
        COLORREF background;
        int bitmaps[6];
    };
    static ButtonSkin PointButtonSkin(int side, bool blue);
    // The background brush a static of the round breakdown paints with; nullopt for any other control.
    static std::optional<COLORREF> StaticBackground(int id);

    // The event lists: 1081 Chung, 1080 Hong.
    CMyListCtrl* EventList(int id);

    void paintEvent(QPaintEvent* event) override; // OnPaint

    CExtScrDlg* m_pExtScrDlg = nullptr;          // public scoreboard, created once by OnInitialUpdate
    CTK_ExtIvrScrDlg* m_pExtIvrScrDlg = nullptr; // public video-replay screen while a request shows
    // The USB receiver and its threads, owned by the view: created by the constructor and stopped by the
    // destructor before any window they send to goes. Null until the receiver exists.
    TTK_Receiver* m_pReceiver = nullptr;
    ButtonSkin m_pointButtonSkin[2] = {}; // current skin of each side's point buttons
    BOOL m_bInitialised = FALSE;          // OnInitialUpdate has run
    BOOL m_bDestroyed = FALSE;            // OnDestroy has run

    // ---- display operations (operator screen and public scoreboard) ----

    // Each writes the operator screen from g_pMatchData (nothing without a record), repaints only what it
    // changed and hands the change to the public scoreboard where the scoreboard has the operation for it.
    // User-interface thread only.

    // Once, from OnInitialUpdate: places and dresses the controls, applies the reverse flag to the scoreboard
    // and shows it only with two or more monitors.
    void SetupControls();
    // Once a second, before the snapshot is retaken: repaints the device icons whose values changed against
    // g_pMatchSnapshot and steps the team member pair whose devices the icons show.
    void RefreshFromSnapshot();
    // The state panel, round table and round-result button for nGameState; bRoundOver under the round-win
    // system.
    void UpdateStateDisplay();
    // The paint parts of the view's paint handler, in this order. Each draws into the given painter.
    void PaintJudgePresses(QPainter& painter);
    void PaintJudgeSlots(QPainter& painter);
    void PaintSlotStates(QPainter& painter);
    void PaintMatchInfo(QPainter& painter);
    void UpdateChangeInfo(int unused = 0); // team-tag countdown texts; draws nothing itself
    void PaintReplayQuota(QPainter& painter);
    void PaintLastHits(QPainter& painter);
    void PaintDeviceStatus(QPainter& painter);

    void UpdateHitCount(int chung, int hong);
    void RefreshLevelDisplay();
    // The round clock. Each also keeps m_strClockText.
    void ShowClockMs(int ms);
    void ShowClockSeconds(int seconds);
    void ShowClock(int seconds, int ms); // the static gets the ms text, m_strClockText the seconds text
    void ShowRoundNumber(int round);
    void ShowScores(int chung, int hong);
    void ShowRoundScores();
    void ShowRoundBreakdown(); // also sets each side's nScore to the sum of its round scores
    void ShowRoundLeader();    // round-win system only; sets nRoundLeader
    void HideRoundLeader();
    void ShowRoundWinners(int show);
    void ClearRoundWins();
    void ShowReplayQuota(int chung, int hong);
    void UpdatePenaltyDisplay(int chung, int hong);
    void ShowHitLevel(int side, int type, int level); // keeps the side's last-hit history
    void ClearHitLevels();
    void InvalidateJudgeRows(int side);
    void ShowPlayers(); // upper-cases both players' names in the record
    void RefreshPlayerInfo();
    void ResetCounterTexts();

    std::u16string m_strClockText; // the round clock as last shown; every point and log entry copies it
    std::u16string m_strRoundText; // "%d" of the round, empty before the match
    int m_nTeamPage = 0;           // team member pair (0-based) whose devices the icons show
    int m_nShownHeadBattery[2] = {};
    int m_nShownBodyBattery[2] = {};
    // Team tags: per side the tagging flag and the remaining round time (ms) when the tag began; the joint
    // tag counts both sides at once.
    int m_bTagActive[2] = {};
    int m_nTagStartMs[2] = {};
    int m_bJointTag = 0;

    // ---- record operations (event log, result file, match log, tournament database) ----

    // User-interface thread only. Database failures are written to the debug output; the match goes on.

    // One scoring event of Chung or Hong: a CHUNGLOG / HONGLOG row (column by kind) and, except for judge
    // presses (13..15), the running totals of the match's GAMET row. Only while the match is logged and not
    // in the equipment test. time: the clock text; count 1 valid, 0 not; stamp: the event's time stamp.
    void LogChungEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp);
    void LogHongEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp);
    // The match's GAMET row, once per match (bMatchLogged), and its registration row out of PLAYER.
    void LogMatchRow();
    // show 0 hides both judge-input lamps (1421, 1422); otherwise toggles Chung's lamp, or Hong's when
    // second is non-zero, force first marking it to be shown. Hong's toggle appends "[R<round>:<clock>]" to
    // Log/No<contest>.txt when that file exists.
    void ToggleJudgeLamp(int show, int force, int second);
    // Button 1012 "DRAW": the draw decision.
    void OnClickedDraw();

    std::u16string m_strMatchKey; // GAMET key of the logged match
    int m_bLampNextShow[2] = {};  // per side: the next toggle shows the lamp

    // ---- message hub ----

    // ---- timers ----

    // ---- link senders (outside systems) ----

    // ---- registration ----

    // ---- receiver ----

    // Every command the view gives the receiver goes through here; virtual so tests can record them.
    virtual void SendReceiverCommand(int code, const char* text);

private:
    template <typename T> T* MakeControl(int id);
    std::map<int, QWidget*> m_controls; // children of the view, deleted with it
};

extern HWND g_hMainWnd;
