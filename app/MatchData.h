// The match record: one flat block of plain data that holds the court program's settings, the monitor
// layout, the nation table, the loaded match, the clock and round state, both sides' scores, the device and
// link state and the decision. Every subsystem reaches it through g_pMatchData. A second block of the same
// layout, g_pMatchSnapshot, is a copy taken once a second so that the display refresh can repaint only what
// changed.
//
// The record has no lock. One rule: the user-interface thread is the only writer, except the worker-written
// fields (nDeviceStatus, bReceiverOpen, nBodyBattery, nHeadBattery, nJudgeBattery), which the receiver's
// threads write and every thread reads only atomically (SharedLoad / SharedStore below; the snapshot copies
// them so; nDeviceStatus changes only through the DeviceStatus* helpers). The worker-read fields
// (nCompetitionType and bUseESocks, read by the receive thread's dispatch) are written only with
// SharedStore. The WT post thread reads szMatchId, wszWTBaseUrl and wszWTApiKey.
//
// Narrow texts are char arrays in the ANSI code page (UTF-8 here), wide texts are UTF-16 WCHAR arrays; both
// are written only with a bounded copy of their declared size.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>
#include <type_traits>

// Rule.ini Round is 1..4, so the golden round can be round 5. Arrays indexed by round - 1 have kMaxRounds
// entries; arrays indexed by the 1-based round number (entry 0 with a meaning of its own) have
// kRoundNumberSlots entries.
constexpr int kMaxRounds = 5;
constexpr int kRoundNumberSlots = kMaxRounds + 1;
constexpr int kPlayerSlots = 12; // 0 Chung, 1 Hong, 2..11 team members (even Chung, odd Hong)
constexpr int kJudges = 3;
constexpr int kQueueSlots = 8; // technique slots per side
constexpr int kNationRows = 300;

using WideText = WCHAR[260];

// One row of Cfg\nation.csv: its four comma-separated fields in file order.
// [0] nation code, [1] not interpreted, [2] nation text, [3] flag picture file under Img\Flag\.
// Row 0 stands for no nation.
struct TTK_Nation {
    WCHAR wszField[4][260];
};

// A judge's current press, or a judge's mark on one technique slot.
struct TTK_JudgeMark {
    int nKind;  // press code; for a slot mark its state 0..10 (2: the slot was scored)
    int nValue; // extra value, the number shown
    int bSet;   // 1 when set while a round was running
};

// One technique slot of a side's queue.
struct TTK_QueueSlot {
    int nState;      // 0 empty, 1 punch, 2 trunk, 3 head, 4 the third technique of competition type 2
    int nValue;      // the hit level; 99 for a point given by the judges
    BYTE bConfirmed; // 1 once the judges' agreement is recorded for the slot
};

// One entry of a side's hit-level history, newest first.
struct TTK_LastHit {
    int nType; // 0 none, 1 trunk, 2 head, 3 punch
    int nLevel;
};

// One side's score. aSide[0] is Chung (blue), aSide[1] Hong (red). Round arrays have one entry more than
// the regular rounds so the golden round has its own.
struct TTK_SideScore {
    int nVRRemain;                  // video-replay requests left
    int nScore;                     // own points of the match
    int nRoundScore[kMaxRounds];    // own points per round, index round - 1
    int nTechTally[15][kMaxRounds]; // per technique row and round index: points of a kind, then its count
    int nRoundWins;                 // rounds won under the round-win system
    int nPenaltyCount1;             // single gam-jeoms; the opponent gains counter 1 + 2 x counter 2 points
    int nPenaltyCount2;             // double gam-jeoms
    int nRoundPenalty1[kMaxRounds]; // single gam-jeoms per round, index round - 1
    int nRoundPenalty2[kMaxRounds]; // double gam-jeoms per round
    int nRoundPenaltyPoints1[kMaxRounds]; // points the round's single gam-jeoms gave the opponent
    int nRoundPenaltyPoints2[kMaxRounds]; // points the round's double gam-jeoms gave the opponent
    // Protector hits, indexed by the 1-based round number under the round-win system; entry 0 counts the
    // golden round (or the whole match) otherwise. Six entries: the golden round is round 5.
    int nPssHits[kRoundNumberSlots];
    int nTagCount[kRoundNumberSlots];   // team tags per round, indexed by the 1-based round number
    TTK_JudgeMark aJudgePress[kJudges]; // each judge's current press
    TTK_JudgeMark aJudgeSlot[kJudges][kQueueSlots]; // each judge's mark on each technique slot
    TTK_QueueSlot aSlotState[kQueueSlots];
    TTK_LastHit aLastHit[3];
};

// One player slot with the addresses of its protectors.
struct TTK_Player {
    int nNation; // row of aNation, 0 = none
    char szShortName[260];
    char szName[260];
    char szNationCode[260];
    char szNationName[260];
    char szExtId[260];   // the competitor's identifier in an outside system
    char szMacBody[260]; // trunk protector address, 16 hexadecimal digits
    char szMacHead[260]; // head gear address, used when nPSSType is 2
};

// Transport settings of one external link.
struct TTK_LinkCfg {
    WCHAR wszComPort[260];
    int nBaudrate;
    int nDataBits; // index 0..3 = 5..8 bits
    int nParity;
    int nStopBits; // 0 one, 1 two
    DWORD dwTcpIp;
    int nTcpPort;
    DWORD dwUdpIp;
    int nUdpTx;
    int nUdpRx;
};

struct MatchData {
    // Header and screens: program folder and nation table by the settings loader, monitors by the frame.
    char szAppDirA[260]; // program folder, ending in the path separator
    int nNationCount;
    int nGameState; // match state of the round clock and match flow; above 1 a match is running
    int nMonitorCount;
    int nPrimaryRight;
    int nPrimaryBottom;
    int nSecondRight;
    int nSecondBottom;
    int nSecondLeft; // the second monitor's top-left corner, valid when bSecondOrigin is 1
    int nSecondTop;
    int bSecondOrigin;      // 0: the second monitor is taken to lie right of the primary one, from the top
    int nReverseScreen;     // 1: sides swapped on the public screen
    int nDisplayResolution; // 1: public screen 1280 x 720, 0: 1920 x 1080
    int nExtScrWidth;
    int nExtScrHeight;
    TTK_Nation aNation[kNationRows];

    // Match identity: written by the match import and the registration dialogs, cleared by the operator view.
    char szMatchId[260];   // match id of the WT JSON interface
    char szContestNo[260]; // empty: no match loaded
    char szWeightClass[260];
    char szGender[260]; // "F" for women, "x" for a mixed team
    char szDiscipline[260];
    char szWeight[260];
    char szPhase[260];
    char szSportClass[260];
    char szOvrMatchKey[260]; // key of the last supplier-2 reply
    int nLevelBody;          // minimum hit levels of the loaded weight class
    int nLevelHead;
    int nLevelPunch;

    // Settings: loaded from the ini files at start-up, written by the configuration pages.
    int nCourtNo;
    int nChannelNo;
    int nCompetitionType; // 0 individual, 1 team, 2 the judge-driven type
    int nTeamType;
    int nRound; // regular rounds, 1..4
    int nGamJeom;
    int nGamJeomPoint;
    int nVRQuota;
    BYTE bUsePointGap;
    int nPointGap;
    BYTE bUsePointCeil;
    int nPointCeil;
    int nMatchTime; // seconds
    int nRestTime;
    int nKyeShiTime;
    int nRCTime;
    int nGRndMatchTime;
    int nCompetitionRule;  // 1: round-win system
    int nTeamMatchTime[4]; // per regular round
    int nTeamGRndMatchTime;
    int nTeamIndCompetitionTime;
    int nTeamGRndGPoint;
    int nTeamPTGCheckRound;
    int nTeam1RndMatchType;
    int nTeamGRndMatchType;
    BYTE bTeamDrawUse;
    int nTeamVRQuota;
    int nTeamLevB;
    int nTeamLevH;
    int nTeamLevP;
    int nPSSType; // 0 no protectors, 1 trunk, 2 trunk and head gear with its own device
    BYTE bUseESocks;
    int nEBPPoint;
    int nEHPPoint;
    int nJudgeNumber;
    int nJudgePointTop;
    int nJudgePointMiddle;
    int nJudgePointBottom;
    BYTE bPSSAutoOff;
    BYTE bUseSoundEffect;
    BYTE bUseVibration;
    BYTE bUseKgfUnit;
    BYTE bReceiverMajorNew; // receiver firmware major version above 3
    BYTE bGoldenPoint;
    BYTE bUseDeviceList;
    BYTE bShowRefereeInfo;
    BYTE bUsePunch;
    BYTE bUseWTProtocol;
    WCHAR wszWTBaseUrl[260];
    WCHAR wszWTApiKey[260]; // kept in memory only
    int nWTMat;
    int nOvrSupplier;
    int nOvrCommType; // 0 serial, 1 TCP, 2 UDP
    TTK_LinkCfg cfgOvr;
    int nIvrSupplier;
    int nIvrCommType;
    TTK_LinkCfg cfgIvr;
    int nTvgSupplier;
    int nTvgCommType;
    TTK_LinkCfg cfgTvg;
    TTK_LinkCfg cfgSt; // Swiss Timing, serial only
    DWORD dwPreRegIp;
    int nPreRegPort;
    int bUsePreReg;
    int bOnlyMatchInfo;
    int nLedNumberOfBlink;
    int nLedDurationTime; // ms
    int nLedRestTime;     // ms
    int nJudgeUse[kJudges];
    BYTE bShowTestLev;
    BYTE bStandAloneMode;
    int nTeamTagTime;
    int nJudgeButtonTime; // ms
    int nJudgeTechTime;   // ms

    // Round, clock and device status: the round clock and match flow; nDeviceStatus by the receiver.
    int nCurRound;   // 1-based, 0 before the first round; above nRound the golden round
    int nRemainTime; // ms left on the round clock
    int nLastTick;   // nRemainTime at the last whole-second step; 0 when a round ends
    // Per round, index round - 1. Five entries: the golden round is index 4.
    int nRoundWinner[kMaxRounds]; // 0 none, 1 Chung, 2 Hong, 3 tie
    int nRoundReason[kMaxRounds]; // the reason or decision kind stored with the winner
    int bRoundEnded[kMaxRounds];  // 1 once the round's winner record is final
    int bRoundOver;               // round-win system: a finished round waits for its winner
    int nRoundLeader;             // 0 none, 1 Chung, 2 Hong
    int bRoundTableShown;
    int bCloseNoAsk; // 1 lets the frame close without asking
    // Link bits: 0 CH, 1 CV, 2 HH, 3 HV, 4-6 judge devices 1-3, 7-14 CH2, CV2, HH2, HV2, CH3, CV3, HH3, HV3;
    // 0x800000 while the USB receiver is lost. Written by more than one thread: use the DeviceStatus*
    // helpers, never a plain read-modify-write.
    int nDeviceStatus;
    int nJudgeQuorum; // judges that must agree

    // Scores and players: the match engine.
    TTK_SideScore aSide[2];
    TTK_Player aPlayer[kPlayerSlots];

    // Devices and links: the receiver and the wired judge ports; the link slots by the external links.
    int bReceiverOpen;
    int bReceiverVerOk;            // a receiver with an accepted firmware version answered
    int bJudgeWired[kJudges];      // 1 while the judge's wired port is open or its device is registered
    int nJudgeWiredValue[kJudges]; // last value (battery) from each wired judge device
    char szJudgeMac[kJudges][260];
    int bRegBody[kPlayerSlots]; // trunk protector of the player slot registered
    int bRegHead[kPlayerSlots]; // head gear of the player slot registered
    int nBodyBattery[kPlayerSlots];
    int nHeadBattery[kPlayerSlots];
    int nJudgeBattery[kJudges]; // status value (battery) of each wireless judge device, from the receiver
    void* pOvrLink;
    int bOvrConnected;
    void* pIvrLink;
    int bIvrConnected;
    void* pTvgLink;
    int bTvgConnected;
    void* pStLink;
    int bStConnected;
    void* pPreRegLink;
    int bPreRegConnected;
    // Echo texts of the last supplier-0 match reply, at most 9 characters each: [0] record kind ("K" from
    // the operator view's construction), [1] court, [2]..[9] match fields, [8] Chung and [9] Hong athlete id.
    char szLinkTag[10][10];
    char szOvrRecv[1024];    // last text received on the OVR link
    char szPreRegRecv[1024]; // last text received on the pre-registration link
    int nOvrRecvOverflow;    // ReplyOverflow of szOvrRecv (links/LinkSlots.h)
    int nPreRegRecvOverflow; // ReplyOverflow of szPreRegRecv

    // Weight divisions: loaded from WeightDiv.ini and WeightDiv_init.ini, edited by the division page.
    // The tables are allocated by the loader, one row per division and one entry per weight class.
    int nDivisionCount;
    int* pClassCount;         // [division]
    WideText* pDivisionName;  // [division]
    WideText** pClassName[2]; // [gender: 0 male, 1 female][division][class]
    WideText** pClassKg[2];   // kilogram text
    WideText** pClassLb[2];   // pound text
    // [table][division][class]: male body, head, punch, female body, head, punch from WeightDiv.ini,
    // then the same six with the factory levels of WeightDiv_init.ini.
    int** pLevelTable[12];
    int nCurDivision; // the last selection
    int nCurGender;
    int nCurWeight;
    int nCurPhase;

    // Decision: the decision dialogs and the winner selection.
    int nWinSide; // 0 Chung, 1 Hong, other a draw
    int nWinRound;
    int nDecisionKind; // 0..9 decision kinds, 10 draw, 11 reset

    // Records: the event log.
    int bMatchLogged; // the match's GAMET row is written
    int nLogIndex;    // running event-row number of the match
    int nMatchStarts; // matches started since start-up (their GAMET row made): an import awaited across a
                      // start sees that one began
};

// Copied whole into the snapshot each second, split only around nDeviceStatus.
static_assert(std::is_trivially_copyable_v<MatchData>);
static_assert(std::is_standard_layout_v<MatchData>);
static_assert(alignof(int) >= std::atomic_ref<int>::required_alignment);

extern MatchData* g_pMatchData;
extern MatchData* g_pMatchSnapshot;
extern int g_nMatchDataRef;

// User-interface thread. Counts a creator; the first allocates the zero-filled record and snapshot, the two
// result-sheet row arrays and the empty device table. Always returns 1.
int CreateMatchData();

// User-interface thread. Returns 0 when nothing was created; otherwise counts a creator down and, when the
// last one goes, frees everything CreateMatchData made and nulls the pointers. Returns 1.
int FreeMatchData();

// User-interface thread (the one-second timer, after the display refresh compared record and snapshot).
void TakeMatchSnapshot();

// User-interface thread. TRUE when every protector and judge device the settings require is registered.
BOOL CheckDevicesRegistered(const MatchData& md);

// Any thread: an atomic read or write of a worker-written or worker-read field of the record.
template <class T> T SharedLoad(const T& field) {
    // atomic_ref needs a non-const object; the record itself is never const, only this view of it.
    return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_relaxed);
}
template <class T, class V> void SharedStore(T& field, V value) {
    std::atomic_ref<T>(field).store(static_cast<T>(value), std::memory_order_relaxed);
}

// Any thread: atomic updates and reads of nDeviceStatus.
void DeviceStatusSet(MatchData& md, int bits);
void DeviceStatusClear(MatchData& md, int bits);
int DeviceStatusLoad(const MatchData& md);
