// The operator view: the operator's scoring screen and the hub of the match engine. It owns the screen's
// controls, the pop-ups and the public scoreboard, and receives every device and dialog message and every
// timer. UI thread only, except GetSafeHwnd() (see platform/WindowMessages.h).
#pragma once

#include "app/JsonActionQueue.h"
#include "app/Monitors.h"
#include "app/SerialBuffers.h"
#include "match/DecisionRules.h"
#include "match/JudgeWindows.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"
#include "screens/FontsKept.h"

#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CExtScrDlg;
class CTK_IVRDlg;
class CTK_RndResDlg;
class CTK_WinDispDlg;
class CTK_WinDispDlg_OP;
class CTK_WinPopDlg;
class CTK_GRndSupDlg;
class CTK_GRndWinDispDlg;
class CTK_GRndWinDispDlg_OP;
class CMyListCtrl;
class CTK_DevErrDlg;
class CPanelStatic;
class CTK_ExtIvrScrDlg;
class CTK_PssTestDlg;
class CTK_PssTestDlg_Op;
class CTK_SimDlg;
class CTK_SuDlg;
class QLabel;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QPushButton;
struct TTK_Receiver;

class CMainWnd : public QWidget, public MessageWindow, public DisplayChangeHandler {
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
    // The paint parts of the view's paint handler, in this order. Each draws into the given painter, and
    // within the paint handler only the items that meet the area being repainted.
    void PaintBackground(QPainter& painter); // the background picture
    void PaintJudgePresses(QPainter& painter);
    void PaintJudgeSlots(QPainter& painter);
    void PaintSlotStates(QPainter& painter);
    void PaintMatchInfo(QPainter& painter);
    // Team-tag countdown texts, run by the round clock while a tag counts; draws nothing itself. Outside a
    // team match the tag controls are hidden, in one they are shown.
    void UpdateChangeInfo(int unused = 0);
    void ShowTeamControls(); // the team tag and team point controls, shown only in a team match
    // Repaints a rectangle of the view (the once-a-second refresh goes through it; tests record it).
    virtual void InvalidateArea(const QRect& rect);
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
    void HideRoundLeader();    // and no leader in nRoundLeader
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
    int m_nTeamPage = 0;           // team member pair (0-based) to compare at the next tick
    int m_nDevicePage = 0;         // team member pair whose devices the icons show (the one last compared)
    // Pictures of the screen, made once by SetupControls; a missing picture is not drawn.
    struct PaintImages;
    std::shared_ptr<PaintImages> m_pImages;
    std::vector<QFont> m_fonts; // the eighteen fonts of the screen, font n at index n - 1
    CFontsKept m_fontsKept;     // every font the view and its controls paint with, kept loaded
    // The area the paint handler repaints; empty outside it, when a part draws everything. An item is
    // drawn when its rectangle, widened by what an outline may spill over it, meets that area.
    QRegion m_paintArea;
    bool InPaintArea(const QRect& rect) const {
        return m_paintArea.isEmpty() || m_paintArea.intersects(rect.adjusted(-8, -8, 8, 8));
    }
    CPanelStatic* Mark(int id); // a bitmap panel of the screen, made on first use
    int m_nShownHeadBattery[2] = {};
    int m_nShownBodyBattery[2] = {};
    // Team tags: per side the tagging flag and the remaining round time (ms) when the tag began; the joint
    // tag counts both sides at once.
    int m_bTagActive[2] = {};
    int m_nTagStartMs[2] = {};
    int m_bJointTag = 0;

    // ---- record operations (event log, result file, match log, tournament database) ----

    // User-interface thread only. Database failures are written to the debug output; the match goes on.

    // One scoring event of Chung or Hong: a CHUNGLOG / HONGLOG row (column by kind, dbindex the next
    // nLogIndex) and, except for judge presses (13..15), the running totals of the match's GAMET row, in one
    // commit. Only while the match is logged and not in the equipment test. time: the clock text; count 1
    // valid, 0 not; stamp: the event's time stamp.
    void LogChungEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp);
    void LogHongEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp);
    // The match's GAMET row, once per match (bMatchLogged), under a key unique on this court, and its
    // registration row out of PLAYER. A row that cannot be written is tried again before the next event.
    void LogMatchRow();
    // GAMET's win column of the logged match ("%s(%s)": the winner and the decision; "" empties it, for a
    // decision taken back), queued behind its events; a match without a key writes nothing.
    void LogMatchWin(std::u16string_view win);
    // UM_EVENT_LOG_SETTLED: the event-log writer ended an attempt; the link records that waited for it go
    // out, and a failed one is reported once per match.
    void OnEventLogSettled(bool written);
    // show 0 hides both judge-input lamps (1421, 1422); otherwise toggles Chung's lamp, or Hong's when
    // second is non-zero, force first marking it to be shown. Hong's toggle appends "[R<round>:<clock>]" to
    // Log/No<contest>.txt when that file exists.
    void ToggleJudgeLamp(int show, int force, int second);
    // At the match's first start: Log/No<contest>.txt is made (with the Log folder) when it is not there,
    // so the lamp lines of the match are kept; an existing file keeps its lines.
    void CreateJudgeLampLog();
    // Button 1012 "DRAW": the draw decision.
    void OnClickedDraw();

    // A new match has no row yet: its key, start and the error notice are those of no match.
    void ForgetMatchRow();

    std::u16string m_strMatchKey;    // GAMET key of the logged match
    std::string m_strMatchStarted;   // its start, "YYYY-MM-DD HH:MM:SS" local time
    bool m_bMatchRowMissing = false; // its GAMET row could not be queued: the next event queues it first
    bool m_bLogErrorShown = false;   // "DB Error!" was shown for an event-log failure of this match
    int m_bLampNextShow[2] = {};     // per side: the next toggle shows the lamp

    // ---- message hub ----

    // WindowProc (above) is the hub: every custom message of app/Messages.h from the worker threads and the
    // dialogs reaches its handler here, on the UI thread. A text in lParam belongs to the sender and lives
    // only during the call; no handler keeps a pointer to it. Every message returns 0 but
    // UM_SERIAL_DATA (1).

    // The frame calls it after measuring the monitors again: the public windows are placed again and shown
    // only with two or more monitors (the scoreboard also only while its toggle is on).
    void OnDisplayChange() override;

    // The press-time stamp of a device or judge event, in ms: 10 ms for each round-clock step since the
    // round was prepared, plus the time since the last step (GetTickCount).
    DWORD PressTime() const;
    // The round clock calls it at each 10 ms step with the tick count it read.
    void OnRoundClockStep(DWORD now);

    DWORD m_nRoundSteps = 0;         // round-clock steps of the round; PrepareRound sets 0
    DWORD m_nRoundTick = 0;          // GetTickCount() of the last round-clock step, or of the clock's start
    DWORD m_nJudgePressTime[3] = {}; // press time of each judge's last press
    DWORD m_nLastInputTime = 0;      // press time of the last device or judge event; point buttons set 0
    int m_bConnectState = 0;   // registration's connect button (UM_CONNECT_STATE); Swiss Timing reads it
    int m_bLinkReady = 0;      // UM_LINK_READY arrived
    int m_bReadyEventSent = 0; // control-character event 8 went out; it goes once a run

    // Handlers the messages lead to that come with the match engine, the devices and the pop-ups; virtual
    // so tests can see which handler a message reaches. The texts are the senders' (never null).
    virtual void RegisterDevice(int index, const char* text, int team); // pairing request, index 0..27
    virtual void ReleaseDevice(int index, int team);
    virtual void SetRoundAndTime(const char* text); // "time,round"
    virtual void OnFinalDecision(const char* text); // the video-replay decision
    virtual void StartNextMatch();                  // the registration wrote a new match
    // Hits of side 0 Chung / 1 Hong and judge presses of judge 0..2; flagOut gets the flag the lamp shows.
    virtual void OnTrunkHit(int side, const char* text, int* flagOut);
    virtual void OnHeadHit(int side, const char* text, int* flagOut);
    // The frame of the scoring side (0 Chung, 1 Hong) to each wired judge device in use whose port is open.
    virtual void NotifyWiredJudges(int side);
    // A wired judge's port hung up (judge 1..3): treated as a lost wireless judge is
    // (devices/WiredJudges.cpp).
    void OnWiredJudgeLost(int judge);
    // Each device check: a lost wired judge whose port answers again is opened and counts again.
    void ReopenReturnedWiredJudges();
    virtual void OnJudgeInput(int judge, const char* text, int* flagOut);
    virtual void OnJudgeInputType2(int judge, const char* text, int* flagOut); // nCompetitionType 2
    // EndRound: winner 1 Chung, 2 Hong.
    virtual void EndRound(int winner, int reason);
    virtual void OnClickedEquipmentTest(); // enters or leaves the equipment test
    virtual void UpdateCourtReceiver();    // the receiver's identity into the tournament database
    // The round-winner pop-up on the public screen (winner 0 Chung / 1 Hong, criterion 0..7), and closing
    // it; the winner pop-up's closing; the round result dialog's pointer dropped as the dialog goes; the
    // public equipment-test screen's reset.
    virtual void ShowRoundWinnerPopup(int winner, int criterion);
    virtual void CloseRoundWinnerPopup();
    virtual void CloseWinnerPopup();
    virtual void ForgetRoundResultDialog();
    virtual void ResetPublicEquipmentTest();

    // ---- timers ----

    // OnTimer dispatches every timer of app/Timers.h to its action below. UI thread only.

    // The WT JSON action of a point of the kind (0..21) for side 0 Chung / 1 Hong; 8 for any other kind or
    // side. Point kind 8 (the judges' bonus) takes the kind of the technique in the side's current slot.
    int JsonPointActionKind(int side, int pointKind) const;

    JsonActionQueue m_JsonQueue; // drained by TIMER_JSON_QUEUE, one action per tick
    SerialBuffers m_SerialRecv;  // emptied by the TIMER_SERIAL_FLUSH of each link
    int m_nCurrentSlot[2] = {};  // per side: the judge-slot queue's current slot, kept by the judges' input
    int m_bRefereeCallMute = 0;  // the referee-call sound played less than 2 s ago (TIMER_REFEREE_CALL_MUTE)
    int m_bRoundEndPending = 0;  // a round ended less than 2 s ago (TIMER_ROUND_END_DELAY)

    // Timer actions of the match flow that arrive with it; virtual so tests can see which action a tick
    // reaches.
    virtual void CheckDeviceStatus();                // device table and registrations, each second
    virtual void OnRoundClockTick();                 // round clock step
    virtual void OnRestTick();                       // rest between rounds, each second
    virtual void OnKyeShiTick();                     // injury count, each second
    virtual void OnTimeoutTick();                    // coach time-out, each second
    virtual void OnJudgeWindowTimer(int side);       // device-hit window 1 of the judges
    virtual void OnJudgeWindowTimerB(int side);      // device-hit window 2 (punch)
    virtual void OnTechWindowA(int side, int force); // the judges' technique windows; force 1 closes at once
    virtual void OnTechWindowB(int side, int force);
    virtual void OnTechWindowC(int side, int force);
    virtual void OnTechWindowD(int side, int force);

    // ---- link senders (outside systems) ----

    // Each sender turns one match event into the records of its outside system and hands them to the
    // transport. It checks its own supplier setting and link state first and returns at once when they do
    // not select it: a link that is down is skipped, nothing is reported, nothing waits for a reply.
    // Texts are the event's texts from the match engine, unused ones empty. UI thread only; virtual so
    // tests of the engine can record the events.

    // OVR supplier 0 (and the pre-registration link): control-character records.
    virtual void SendControlCharEvent(int code, std::u16string_view text1, std::u16string_view text2,
                                      std::u16string_view text3);
    // OVR supplier 2 (or pre-registration on): colon records, each also appended to Log/log.txt.
    virtual void SendColonEvent(int code, std::u16string_view text1, std::u16string_view text2,
                                std::u16string_view text3);
    // OVR supplier 7 (or pre-registration on): pipe records.
    virtual void SendPipeEvent(int code, std::u16string_view text1, std::u16string_view text2,
                               std::u16string_view text3);
    // OVR supplier 4: bracket records on the UDP OVR link.
    virtual void SendBracketEvent(int code, std::u16string_view text1, std::u16string_view text2,
                                  std::u16string_view text3);
    // WT text protocol to the IVR (supplier 2), TVG (supplier 2) and OVR (supplier 6) links; target 0 all,
    // 1 the IVR link only, 2 the TVG link only.
    virtual void SendWtMessage(int target, int code, int side, int value);
    // IVR suppliers 0 and 1: control-character IVR records.
    virtual void SendIvrMessage(int code, std::u16string_view text1, std::u16string_view text2,
                                std::u16string_view text3, std::u16string_view text4);
    // TVG suppliers 0 and 1 ("TM" and "PT" records), each also appended to Log/log_tvg.txt.
    virtual void SendTvgMessage(int supplier, int code, std::u16string_view text1, std::u16string_view text2,
                                std::u16string_view text3);
    // Swiss Timing: 0 the periodic device status, 2 connect (opens the day's log), 3 disconnect (closes it).
    // Each record is logged while connected and listed in the open registration dialog.
    virtual void SendSwissTiming(int code);
    QString m_strStLog; // Log/<date time>.txt while Swiss Timing is connected, else ""
    // OVR supplier 8: one WT JSON document; kind 3 an action (value the action kind), 4 a round's
    // intermediate result (value the round), 5 the final result.
    virtual void BuildJsonAction(int kind, int value, int hitLevel);
    int m_nJsonPosition = 1; // "position" of the next WT JSON document; 1 again for each new match
    // Button 1053 "Show": reading unchecked after the click, the golden-round superiority window is shown
    // over the public screen area (two or more monitors only); reading checked, it is hidden.
    void OnClickedShowIvrScreen();
    // The superiority window at the rectangle, mode 1 under the round-win system: made once, then shown;
    // and hidden. Virtual so tests see the calls.
    virtual void ShowSuperiorityWindow(const QRect& rect, int mode);
    virtual void HideSuperiorityWindow();

    // Openers of the outside links (UM_EXT_LINK_CONTROL); flag 1 opens, 0 the sender is closing the link.
    virtual void OpenOvrLink();
    virtual void OpenPreRegLink();
    virtual void OpenIvrLink(int flag);
    virtual void OpenTvgLink(int flag);
    virtual void OpenSwissTimingLink(int flag);

    // ---- link opening and link events (links/LinkOpening.cpp) ----

    // The view owns the links; the settings page asks it to open them. UI thread only.
    void OnSerialData();                               // UM_SERIAL_DATA: the serial OVR, IVR, TVG links
    void OnTcpSocketEvent(WPARAM code, LPARAM linkId); // UM_TCP_EVENT: event code, the link's id
    void OnUdpSocketEvent(WPARAM code, LPARAM linkId); // UM_UDP_EVENT: 2 for data, the link's id
    // Every link closed and its slot cleared: the view's end.
    void CloseLinks();
    // OVR supplier 3: the tournament results database instead of a link; virtual so tests see the call.
    virtual void ConnectTournamentDb();
    // Each second: while results-database writes wait for a server that does not take them, a notice on
    // the operator screen says how many; it goes once they are written.
    void ShowTournamentBacklog();

    // Every record of the senders leaves through here, to CommSend; virtual so tests can read the bytes.
    // While links are held the records wait, in order, and count as sent.
    virtual BOOL SendOnLink(int commType, void* link, std::string_view bytes);
    // A score change holds the links until the event-log writer has committed the event, so no peer hears
    // of a point the records could still lose; the hold never waits longer than that commit, and not at
    // all while the writer fails. ReleaseLinks ends the hold: its records then wait for the events queued so
    // far, and any record sent while some wait goes behind them, so each link keeps its order. It is safe to
    // call when nothing is held. LinkHold releases at the end of its scope. SendSettledLinks sends the
    // records whose events have settled.
    void HoldLinks();
    void ReleaseLinks();
    void SendSettledLinks();
    struct HeldLinkRecord {
        int commType;
        void* link;
        std::string bytes;
        std::uint64_t after; // the event-log batch it waits for; kHeldOpen while the hold lasts
    };
    static constexpr std::uint64_t kHeldOpen = ~std::uint64_t{0};
    bool m_bHoldLinks = false;
    bool m_bSendingHeld = false; // SendSettledLinks is passing a record on
    std::deque<HeldLinkRecord> m_heldLinks;
    class LinkHold {
    public:
        explicit LinkHold(CMainWnd& view) : m_view(view) { view.HoldLinks(); }
        ~LinkHold() { m_view.ReleaseLinks(); }
        LinkHold(const LinkHold&) = delete;
        LinkHold& operator=(const LinkHold&) = delete;

    private:
        CMainWnd& m_view;
    };

    int m_nBracketPointCount = 0;   // NEW_POINT records of the match; 0 after NEW_FIGHT
    int m_nRestCount = 0;           // rest countdown in seconds, kept by the rest clock
    std::u16string m_strInjuryText; // the injury (Kye-Shi) clock as last shown, kept by the injury clock

    // ---- configuration ----

    // Button 1249: opens the Configuration dialog, modal to the operator; an open one is replaced. The
    // dialog deletes itself when it closes.
    void OnClickedConfiguration();
    QPointer<CTK_SuDlg> m_pSuDlg;

    // ---- registration ----

    // The open registration dialogs (individual or team), null while closed; their window handle is
    // g_hRegDlg. Created by the registration button, forgotten on UM_REGDLG_DESTROYED.
    CTK_RegDlg* m_pRegDlg = nullptr;
    CTK_RegDlg_Team* m_pRegDlgTeam = nullptr;
    CTK_DevErrDlg* m_pDevErrDlg = nullptr; // device-error pop-up over the public scoreboard while open

    // Button 1308: the registration dialog (the team one in a team match), made once and shown; refused
    // with a box until the receiver has reported its network.
    void OnClickedRegistration();
    // The device check lost a device: the dialog comes up wide with the lost devices' buttons reset.
    void ShowRegistrationForLostDevices();
    // The device-error pop-up: show 0 closes it; otherwise the open one is shown again or, with two or more
    // monitors, one is made for the current device status over the public scoreboard.
    void ShowDeviceErrorPopup(int show);

    // ---- points and the score event record ----

    // Every score change of a side passes through AddPoint or RemovePoint, and ends in RecordScoreEvent.
    // UI thread only. time: the clock text; source 0 operator, 1 devices and the judges' technique windows,
    // 2 the judges' punch window; side 0 Chung, 1 Hong; kind the technique kind (match/ScoreRules.h); value
    // the points, -1 to take them from the settings; extra the kind's detail (hit level, 2 trunk or 3 head
    // technique, video-replay outcome 1..7). Each returns true when it changed the match: a point outside its
    // game states, or a removal that would take the round below zero, changes nothing and says nothing.
    bool AddPoint(std::u16string_view time, int source, int side, int kind, int value, int extra);
    bool RemovePoint(std::u16string_view time, int side, int kind, int value, int extra);
    // The common tail of every score change (gam-jeoms too): the history row, the event log and the
    // match-log workbook, then the rules that end a round or the match at once. removal 0 add, 1 remove.
    void RecordScoreEvent(std::u16string_view time, int side, int kind, int removal, int points, int source,
                          int extra);
    // Equipment test: a hit (side, kind, level) or a judge press ("a,b" on tile 20..22) lights its tile.
    void ShowTestHit(int side, int kind, int level);
    void ShowTestJudge(int tile, int a, int b);
    // The point buttons of both sides, by control id (1119 .. 1431); the technical-point buttons ask first.
    void OnClickedPointButton(int id);
    // Connects the point buttons to OnClickedPointButton; once, when the view is built.
    void ConnectPointButtons();

    int m_nHistoryRows[2] = {}; // rows of each side's event list in this match
    BOOL m_bLogOpen = FALSE;    // the match-log workbook is open
    int m_nShownSeconds = 0;    // whole seconds the round clock shows
    // Per side: a device trunk or head hit whose judges' window is open; a judges' point of value -1 takes
    // the value of that technique. Raised by the judge-slot queue, cleared as the window ends.
    int m_bTrunkHit[2] = {};
    int m_bHeadHit[2] = {};

    // Handlers of the parts of the match engine still to come, called by the points; virtual so tests can
    // see what a score change asked for. Each only says on the debug output what reached it.
    virtual void StopAll();                        // round clock: every clock stops
    virtual void DecideWinner(int side, int kind); // decisions: side 0/1, kind 11 lets the operator choose
    virtual void ShowDecisionPopup(int kind, int side); // decisions: the winner pop-up, side 1 Chung 2 Hong
    virtual void DecideRoundEnd();                      // end of round: the golden round's cascade
    // Round result: the dialog for the round index with the winner (1, 2; 0 none) and reason proposed, or
    // the open one shown again.
    virtual void ShowRoundResultDialog(int roundIndex, int winner, int reason);
    // Judge-slot queue: a scored point enters it, and the marks of a slot.
    virtual void QueueScoredPoint(int side, int kind, int source, int value);
    virtual void SetJudgeMarks(int side, int slot, int value);
    virtual void ClearJudgeMarks(int side, int slot);
    virtual void MarkSlotScored(int side, int kind);
    virtual void ClearSlot(int side, int slot);
    // Judges' input: the side's slot cursors reset, or stepped back by one with the cursor of the kind
    // (0 punch, 3 trunk, 6 head, 16 hit), each unless already negative.
    virtual void ResetSlotCursors(int side);
    virtual void StepBackSlotCursors(int side, int kind);
    // Equipment test: UM_PSS_TEST_UPDATE with the tile and text to each test screen that is open.
    virtual void UpdateTestScreens(int tile, std::string_view text);

    // ---- round clock and match flow ----

    // The match by the clock: round preparation, the 10 ms round clock, rest, Kye-Shi and coach time-out
    // countdowns, and start, stop and next round with their notices to the outside systems. UI thread only.

    void OnClickedStart();  // button 1071, Start key: start, resume or the next round
    void OnClickedStop();   // button 1070, Stop key: stops a running clock (state 8)
    void NextRound();       // round-result click: the start path without its question in state 5
    void OnClickedKyeShi(); // button 1075, Kye-Shi key: the injury count (state 9, or 15 between rounds)
    void OnClickedCoachTimeout(); // button 1141: the coach time-out (state 10)
    void OnClickedKyeShiCheck();  // check box 1245: the injury display shown or hidden
    // The pause key in state 5 (rest clock stopped, state 14) and its resume (state 5, rest clock again).
    void PauseRest();
    void ResumeRest();
    // Kills the running technique-window timers and closes their windows.
    void StopTechWindows();
    // The rest after a round: the rest clock set and started before the golden round, nothing after it; the
    // round result dialog opened under the round-win system when openRoundResult is set.
    void PrepareRest(bool openRoundResult);
    // Resets the clock to the round's length and clears every per-round trace of the round before.
    void PrepareRound();
    // Stops the side's judge window and clears its counters.
    void ResetJudgeWindow(int side);

    DWORD m_nRestTick = 0;   // GetTickCount() of the last rest-clock step (seconds: m_nRestCount)
    DWORD m_nKyeShiTick = 0; // last step and time left (ms) of the injury count
    int m_nKyeShiRemain = 0;
    DWORD m_nTimeoutTick = 0; // last step and time left (ms) of the coach time-out
    int m_nTimeoutRemain = 0;
    // nGameState and nRemainTime when the first of an injury count or a coach time-out began; restored when
    // the count ends. m_bSaved: a saved state waits, so a second count does not overwrite it.
    int m_nSavedState = 0;
    int m_nSavedRemain = 0;
    int m_bSaved = 0;
    int m_nTeamMember = 0;         // team golden round: the member bout
    int m_bTeamMemberDone[6] = {}; // per member bout (at most six): decided
    void ResetTeamBouts();         // no bout played or decided: at a new match and at a match's end
    int m_nBoongSecond = -1;       // shown second at which the team bout signal last sounded
    int m_nTagMarkMs = 0;          // nRemainTime when the tag panel was last refreshed
    // Punch indicator per side (0 none, 1 below threshold, 2 scored) and nRemainTime when it was set; kept
    // by the protector-hit scoring, expired by the round clock.
    int m_nPunchState[2] = {};
    int m_nPunchTime[2] = {};
    // Judges' window counters per side, cleared by ResetJudgeWindow; kept by the judges' input.
    int m_nJudgeWindowCount[2][6] = {};
    int m_nSlotIndex[2][3] = {}; // per side and judge: the slot showing the judge's last press; -1 none
    int m_nSlotCount[2] = {};

    // What the match flow calls in other parts; virtual so tests see the calls.
    virtual void DecideRoundWinner(int roundIndex, int winner, int reason, int notify); // match/RoundWin.cpp
    virtual bool CheckPointGap(int* side);    // match/RoundEnd.cpp: the point gap ends the match; side 0/1
    virtual void CompactJudgeSlots(int side); // judge-slot queue (pending)
    virtual void RedrawTagPanel();            // match/TeamTags.cpp: team tags on both screens

    // ---- keyboard shortcuts ----

    // The key table (match/KeyTable.h) as the view's pre-translation of a key press: the application's key
    // filter (match/KeyFilter.h) hands over every press meant for the program's windows before the focused
    // control sees it. zDown: the Z key is held. Runs the key's action and returns TRUE when the key is
    // consumed. UI thread only.
    BOOL PreTranslateMessage(const QKeyEvent& event, bool zDown);
    // Shift+Z: hides the public pop-ups (video replay, equipment test, round winner, winner, superiority,
    // device error) without closing them. UI thread only.
    void HidePublicPopups();

    // What the keys reach; virtual so tests see the calls.
    virtual void OnClickedAddChungGamJeom(); // button 1125: a gam-jeom against Chung
    virtual void OnClickedAddHongGamJeom();  // button 1134: a gam-jeom against Hong
    virtual bool CheckEquipmentTestMode();   // true, after its notice, while the equipment test runs

    QObject* m_pKeyFilter = nullptr; // the key filter on the application: from OnInitialUpdate to OnDestroy

    // ---- new match and round set-up ----

    // StartNextMatch and SetRoundAndTime (message hub, above) live in match/NewMatch.cpp. UI thread only.

    // Handler of the part still to come that the new-match set-up calls; virtual so tests see the call.
    virtual void ResetMatchScreen(); // match screen and per-match counters cleared for a new match

    std::int64_t m_nNewMatchDay = 0; // local calendar day (Julian) of the last new match; 0 before the first

    // ---- gam-jeom penalties ----

    // A gam-jeom against side 0 Chung / 1 Hong given or taken back, single or double: the side's penalty
    // counters of the current round, the scores and counts shown, a sound, the outside systems, then
    // RecordScoreEvent, which applies the gam-jeom limit. Only in game states 2 and 4..9 (the equipment test
    // shows its notice). A gam-jeom beyond the round's limit under the round-win system, or a removal from a
    // round without a gam-jeom of that kind, changes nothing and says nothing. UI thread only.
    void AddGamJeom(int side);
    void AddDoubleGamJeom(int side);
    void RemoveGamJeom(int side);
    void RemoveDoubleGamJeom(int side);
    // The eight gam-jeom buttons (1125 .. 1295); the double ones ask the operator first.
    void OnClickedGamJeomButton(int id);
    // Connects the gam-jeom buttons to OnClickedGamJeomButton; once, when the view is built.
    void ConnectGamJeomButtons();

    // ---- end of round ----

    // CheckPointGap, DecideRoundEnd and EndRound (declared above) live in match/RoundEnd.cpp with this
    // section. UI thread only.

    // True when a side has reached the point ceiling; side gets the winner (0 Chung, Chung first when both
    // have), else 0.
    bool CheckPointCeiling(int* side);

    // What the end of a golden round opens and records; virtual so tests see the calls. The screens only say
    // on the debug output what reached them until they exist.
    virtual void ShowSuperiorityScreen(); // public superiority screen
    // Winner selection dialog for the side with the decision proposed (modal); on OK it has stored nWinSide,
    // nDecisionKind and nWinRound and returns true.
    virtual bool ConfirmRoundEndWinner(int side, int decision);
    virtual void ShowRoundWinnerScreens(int side); // public round-winner screen, operator copy stand-alone
    virtual void CloseRoundEndScreens();           // superiority and round-winner screens closed
    // A confirmed decision written and announced: "Winner Cancel" shown, the local database row, the
    // notices to the outside systems.
    virtual void RecordConfirmedDecision();

    // ---- video-replay requests ----

    // A coach's request for a video replay against the side's quota, the quota buttons, and the decision
    // the replay dialog sends (OnFinalDecision, message hub above). UI thread only.

    void OnClickedChungVideoReplay(); // button 1127
    void OnClickedHongVideoReplay();  // button 1135
    // A request of side 0 Chung / 1 Hong: refused with a box when the side has no request left; otherwise
    // the replay dialog opens (unless one is open) and the outside systems are told.
    void RequestVideoReplay(int side);
    void OnClickedChungReplayRejected(); // button 1002: one request less, not below 0
    void OnClickedHongReplayRejected();  // button 1003
    void OnClickedChungReplayQuotaUp();  // button 1025: one request more, at most the quota in force
    void OnClickedHongReplayQuotaUp();   // button 1026
    // Connects the six buttons above; once, when the view is built.
    void ConnectVideoReplayButtons();

    // The replay dialog (match/MatchDialogs.cpp); virtual so tests see the call. Opens the dialog for the
    // requester (0 Chung, 1 Hong, 2 referee) and returns true, or returns false when one is already open.
    virtual bool OpenReplayDialog(int requester);

    // ---- finishing a match ----

    // The operator's "finish" and the small handlers around the result pop-ups. UI thread only.

    // Button 1072: after the operator's Yes, clocks stop, pop-ups close, devices are released (bPSSAutoOff),
    // the match log is completed, the state returns to 0 and the outside systems learn the match is over.
    // Refused with its notice in the equipment test.
    void OnClickedFinishGame();
    // Every result pop-up the view holds closes (device error, round winner, replay screen, winner,
    // decision, superiority, operator copies).
    virtual void CloseResultPopups();
    // Button 1000 "Winner Cancel": the winner pop-ups close, the decision is withdrawn (WithdrawDecision) and
    // the match goes back to the wait it was decided in (before or between rounds), else to state 7 so
    // Start resumes the stopped round.
    void OnClickedWinnerCancel();
    // Button 1014: under the round-win system, while a finished round waits (states 2, 4..8), its result
    // dialog for round nCurRound-1.
    void OnClickedRoundResult();
    // A left click at (x, y) of the view: under the round-win system, while a finished round waits, the
    // next-round marks ask for the next round and the round result area opens the round result dialog.
    void OnLButtonDown(int x, int y);
    // Buttons 1289/1291 "+" and 1290/1292 "-": a team point (kind 20) for Chung or Hong; team matches only.
    void OnClickedAddChungTeamPoint();
    void OnClickedAddHongTeamPoint();
    void OnClickedRemoveChungTeamPoint();
    void OnClickedRemoveHongTeamPoint();
    // Connects the buttons above; once, when the view is built.
    void ConnectFinishButtons();
    void mousePressEvent(QMouseEvent* event) override;

    // The display reset at the end of a match: match identity and players cleared, screen reset, round
    // number emptied and the clock at 0. Virtual so tests see the call.
    virtual void ResetAfterMatch();
    // The tournament database learns the match is finished (game_status '3'); false when the statement
    // could not be executed. Virtual so tests can make it fail.
    virtual bool SendTournamentMatchFinished();

    // ---- team tag counters ----

    // A team tag of a side: counted in the side's nTagCount of the current round and opening the tag window
    // that the round clock runs down; the cancel buttons take the side's last tag back. UI thread only.

    void OnClickedChungTag();       // button 1130 "C-TAG": only in game states 3 and 8, no window open
    void OnClickedHongTag();        // button 1287 "H-TAG"
    void OnClickedChungTagCancel(); // button 1284 "C-CANCEL": one tag less (not below 0), window closed
    void OnClickedHongTagCancel();  // button 1288 "H-CANCEL"
    // Connects the four tag buttons above; once, when the view is built.
    void ConnectTagButtons();

    // ---- receiver ----

    // Every command the view gives the receiver goes through here; virtual so tests can record them.
    virtual void SendReceiverCommand(int code, const char* text);
    // MatchData::nDeviceStatus as the device status check last read it: the next check compares with the
    // value it read itself, so a change between the check and the snapshot copy is still seen once.
    int m_nCheckedDeviceStatus = 0;

    // ---- decisions and winner ----

    // DecideWinner and ShowDecisionPopup (points section, above) live in match/Decision.cpp. UI thread only.

    void OnClickedChungWinner(); // button 1068: the operator decides for Chung
    void OnClickedHongWinner();  // button 1069: the operator decides for Hong

    // The winner dialogs a decision opens (match/MatchDialogs.cpp); virtual so tests see the calls.
    // The winner selection for side 0/1 with the proposed decision, modal: on OK it has stored nWinSide,
    // nDecisionKind and nWinRound and returns IDOK; IDCANCEL leaves them.
    virtual int ChooseWinner(int side, int proposedKind);
    // The decision pop-up (kind, side 1 Chung / 2 Hong) shown over the desktop rectangle, replacing an open
    // one.
    virtual void OpenDecisionPopup(int kind, int side, int left, int top, int right, int bottom);
    // Every winner screen closes: the winner displays, the pop-up and the golden-round screens.
    virtual void CloseWinnerScreens();
    // The winner display on the public screen and, or, on the operator's screen.
    virtual void ShowWinnerScreens(bool publicScreen, bool operatorScreen);
    // The golden-round winner screen with its criterion.
    virtual void ShowGoldenRoundWinnerScreen(int criterion);
    // The standing decision: the match state it began in and the round record it replaced, which "Winner
    // Cancel" puts back.
    int m_nStateBeforeDecision = 0;
    DecisionRules::RoundDecision m_roundDecision;
    // "Winner Cancel" takes the decision back: the round record it replaced, GAMET's win column (empty
    // again) and, for a match-input match, the result file (no winner, no result type).
    void WithdrawDecision();
    // The open round result dialog closes without posting an outcome: a decision or a new match made it
    // stale.
    void CloseRoundResultDialog();
    // A decided match that was not finished when the next one loads: finished as "finish" would (rest
    // clock stopped, log completed, the match end told to the JSON and video-replay links), without asking.
    void FinishDecidedMatch();

    // ---- judges' input and the technique-slot queues ----

    // Each side's queue of technique slots with the judges' marks, and the judges' consensus windows that
    // fill it (match/SlotQueue.cpp, match/JudgeInput.cpp). The queue operations that other parts call are
    // declared with them above (QueueScoredPoint, SetJudgeMarks ... CompactJudgeSlots, ResetMatchScreen).
    // Every change repaints only the slots and marks it touched, on both screens. Slots below 0 or past
    // the queue are ignored. UI thread only.

    int SlotOfKind(int side, int kind) const; // the slot a point of the kind goes to; -1 none
    void SetJudgePress(int side, int judge, int value, int extra); // set flag only in a running round
    void SetJudgeMark(int side, int judge, int slot, int value, int extra); // the press, and the mark
    void RemoveSlot(int side, int from, int end); // slots from..end-1 move down by one; end-1 emptied
    // The presses of the judges that have a slot cleared, their marks on empty slots too; window A's slot
    // and the current slot step back from the end of the queue.
    void CloseJudgeWindow(int side);
    // When a judge pressed in the window of the timer id: the slot leaves the queue (up to last).
    void DropSlotIfMarked(int side, UINT_PTR timerId, int slot, int last);
    // A window ended: slots the judges did not confirm lose their marks (empty ones leave the queue).
    void DropUnconfirmedSlots(int side, UINT_PTR timerId);
    void DropUnconfirmedSlotsType2(int side, UINT_PTR timerId); // nCompetitionType 2
    void OpenHitWindow(int side, int window);                   // kHitWindow1 or kHitWindow2

    // A press of the judge (0..2) for the side (the judges' input decodes the text first): logged, its
    // class bit set in the judge's mask, a slot opened or joined, the window opened, the mark shown and the
    // IVR link told. Presses outside a running round are logged and shown but open nothing.
    void JudgePressSide(std::u16string_view time, int side, int judge, int code);
    // The first class of the side whose judges agree: its point kind (-1 none) and value; true when one
    // did. The consensus bits of every agreeing class are kept.
    bool EvaluateJudgeVotes(int side, int* kind, int* value);
    bool EvaluateJudgeVotesType2(int side, int* kind, int* value); // nCompetitionType 2
    static std::u16string TechniqueLabel(int cls);                 // "P ", "T ", "SK" ... "  " for none
    // The match-log workbook's line of a press, while the workbook is open.
    void LogJudgeTechnique(std::u16string_view time, int side, int judge, int code);

    JudgeWindowState m_judgeWindows[2]; // per side
    int m_nJudgeMs[kJudges] = {};       // milliseconds part of each judge's logged press time

    // ---- equipment test ----

    // State 13 (devices/EquipmentTest.cpp): OnClickedEquipmentTest (button 1243) goes in and out,
    // UpdateTestScreens feeds the screens, CheckEquipmentTestMode guards the operator's functions (all
    // declared above). Entering stops every clock: a running round, an injury count or a coach time-out
    // comes back stopped (state 8), a rest goes on from where it stopped. UI thread only.

    void CloseTestScreens(); // both test screens go once the current message is handled

    CTK_PssTestDlg* m_pPssTestDlg = nullptr;      // public test screen, with two or more monitors
    CTK_PssTestDlg_Op* m_pPssTestDlgOp = nullptr; // operator's copy, in stand-alone mode
    int m_nTestSavedState = 0;                    // nGameState to go back to after the test

    // ---- match dialogs ----

    // The modeless round result and video-replay dialogs while they are open (each deletes itself when
    // closed), and the winner displays and the reason banner the view shows and deletes. UI thread only.
    QPointer<CTK_RndResDlg> m_pRndResDlg;
    QPointer<CTK_IVRDlg> m_pIvrDlg;
    QPointer<CTK_WinDispDlg> m_pWinDispDlg;
    QPointer<CTK_WinDispDlg_OP> m_pWinDispDlgOp;
    QPointer<CTK_WinPopDlg> m_pWinPopDlg;
    // Button 1015: the referee's video-replay request.
    void OnClickedIvrRequest();
    // After a display change: the public winner display and the reason banner placed again over the
    // scoreboard area and shown only with two or more monitors.
    void PlaceWinnerScreens();

    // ---- result view and printing ----

    // Button 1138: the result browser, modal. Ctrl+P: the result sheet of the rows last loaded, through the
    // print dialog. Connected once, when the view is built.
    void OnClickedResultView();
    void OnFilePrint();
    void ConnectPrintCommands();

    // ---- device simulator ----

    // Button 1001 "Simulation": the simulator dialog, made once and kept, modeless; shown again when hidden.
    void OnClickedSimulation();
    QPointer<CTK_SimDlg> m_pSimDlg;

    // ---- decision pop-ups (screens/ResultPopupHandlers.cpp) ----

    // The superiority pop-up and the public round or match result while they show, the operator's copy of
    // the result in stand-alone mode; the view shows and deletes them. UI thread only.
    QPointer<CTK_GRndSupDlg> m_pGRndSupDlg;
    QPointer<CTK_GRndWinDispDlg> m_pGRndWinDispDlg;
    QPointer<CTK_GRndWinDispDlg_OP> m_pGRndWinDispDlgOp;
    // After a display change: the superiority pop-up keeps its size and offset inside the public screen, the
    // public result covers it again, both shown only with two or more monitors; the operator's copy is
    // centred on the primary monitor again.
    void PlaceRoundEndScreens();

private:
    // The control of the id as a T, made as a Made (a T) when it does not exist yet.
    template <typename T, typename Made = T> T* MakeControl(int id);
    std::map<int, QWidget*> m_controls; // children of the view, deleted with it
};

extern HWND g_hMainWnd;
