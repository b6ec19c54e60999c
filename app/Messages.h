// The custom window messages of the court program. Unless marked "posted", senders use the synchronous
// SendMessage, so a text passed in lParam (a const char* owned by the sender) is valid during the call only;
// posted messages carry integers only.
#pragma once

#include "platform/WinTypes.h"

// To the operator view (g_hMainWnd).
constexpr UINT UM_SERIAL_DATA = WM_USER + 1;            // serial external link: bytes arrived
constexpr UINT UM_SET_COURT_CHANNEL = WM_USER + 10;     // settings page: 0 / the channel to give the receiver
constexpr UINT UM_UDP_EVENT = WM_USER + 100;            // UDP external link event
constexpr UINT UM_TCP_EVENT = WM_USER + 101;            // TCP external link event
constexpr UINT UM_REGISTER_DEVICE = WM_USER + 102;      // registration: device index / address text or ""
constexpr UINT UM_RELEASE_DEVICE = WM_USER + 103;       // registration: device index / 0
constexpr UINT UM_REGISTER_TEAM_DEVICE = WM_USER + 104; // team registration: team device index / text
constexpr UINT UM_RELEASE_TEAM_DEVICE = WM_USER + 105;  // team registration: team device index / 0
constexpr UINT UM_SET_ROUND_TIME = WM_USER + 106;       // registration: 0 / "time,round" text
constexpr UINT UM_IVR_DECISION = WM_USER + 107;         // video-replay dialog: 0 / decision text
constexpr UINT UM_IVR_CLOSED = WM_USER + 108;           // video-replay dialog closed with OK: result flag / 0
constexpr UINT UM_IVR_DESTROYED = WM_USER + 109;        // video-replay dialog destroyed: 0 / 0
constexpr UINT UM_REGDLG_DESTROYED = WM_USER + 110;     // a registration dialog destroyed: 0 / 0
constexpr UINT UM_MATCH_INFO_CHANGED = WM_USER + 111;  // registration or match import: a new match is written
constexpr UINT UM_POWER_LEVEL_CHANGED = WM_USER + 112; // registration: hit-level thresholds changed
constexpr UINT UM_EXT_LINK_CONTROL = WM_USER + 113;    // link settings page: link 0..4 / open flag 0 or 1
constexpr UINT UM_TRUNK_HIT = WM_USER + 115;          // receiver dispatch, simulator: scoring side / hit text
constexpr UINT UM_HEAD_HIT = WM_USER + 116;           // receiver dispatch, simulator: scoring side / hit text
constexpr UINT UM_JUDGE1_INPUT = WM_USER + 117;       // receiver dispatch, simulator: 0 / button-code text
constexpr UINT UM_JUDGE2_INPUT = WM_USER + 118;       // as UM_JUDGE1_INPUT for judge 2
constexpr UINT UM_JUDGE3_INPUT = WM_USER + 119;       // as UM_JUDGE1_INPUT for judge 3
constexpr UINT UM_MATCH_TYPE_CHANGED = WM_USER + 121; // settings page: competition type changed
constexpr UINT UM_MATCH_LOADED = WM_USER + 122;       // registration: a match was loaded
constexpr UINT UM_DEVICE_STATE_LOG = WM_USER + 123;   // receiver dispatch: 1 when the device state is 5 / 0
constexpr UINT UM_RECEIVER_PRESENT = WM_USER + 124;   // receiver check thread: the receiver answers
constexpr UINT UM_ROUND_WINNER_DECIDED = WM_USER + 125; // posted, round result dialog: winner 1/2 / reason
constexpr UINT UM_ROUND_RESULT_CLOSED = WM_USER + 126;  // posted, round result dialog destroyed: 0 / 0
constexpr UINT UM_CONNECT_STATE = WM_USER + 140; // registration connect buttons: 1 connect, 0 disconnect
constexpr UINT UM_ROUND_WIN_MODE_CHANGED = WM_USER + 150; // settings page: round-win system switched
constexpr UINT UM_EVENT_LOG_SETTLED = WM_USER + 160; // posted, event-log writer: sequence / 1 written, 0 failed
constexpr UINT UM_SHOW_ROUND_WINNER = WM_USER + 151;  // posted, round result dialog: winner - 1 / criterion
constexpr UINT UM_CLOSE_ROUND_WINNER = WM_USER + 152; // posted, round result dialog: 0 / 0
constexpr UINT UM_PSS_TEST_REFRESH = WM_USER + 153;   // operator equipment-test dialog: 0 / 0
constexpr UINT UM_DEVICE_PAIRED_MAIN = WM_USER + 158; // receiver dispatch after a pairing reply; not handled
constexpr UINT UM_LINK_READY = WM_USER + 200;         // a database link or the receiver network is ready
constexpr UINT UM_RECEIVER_LOST = WM_USER + 204;      // receiver check thread: the receiver is gone
constexpr UINT UM_WIRED_JUDGE_INPUT = WM_USER + 300;  // wired judge reader: judge number / "%d,%d" text
constexpr UINT UM_WIRED_JUDGE_VALUE = WM_USER + 301;  // wired judge reader: judge number / "%d" text
constexpr UINT UM_WIRED_JUDGE_LOST = WM_USER + 302; // wired judge reader: judge number / 0; its port hung up
constexpr UINT UM_PSS_TEST_CLOSE = WM_USER + 306;   // operator equipment-test dialog closed with OK

// From the operator view and the receiver to the registration dialogs (g_hRegDlg).
constexpr UINT UM_REG_REFRESH_DEVICES = WM_USER + 120; // refresh the device buttons
constexpr UINT UM_REG_LOG_LINE = WM_USER + 141;        // 0 / a line for the dialog's log
constexpr UINT UM_REG_SET_FLAG = WM_USER + 155;        // set the pairing-on flag
constexpr UINT UM_REG_DEVICE_PAIRED = WM_USER + 201;   // 0 protector, 1 judge device / "name,address" text

// To the equipment-test screens.
constexpr UINT UM_PSS_TEST_UPDATE = WM_USER + 114; // tile / "%d" level text, or "%d,%d"
constexpr UINT UM_PSS_TEST_RESET = WM_USER + 154;  // to the public equipment-test dialog: 0 / 0
