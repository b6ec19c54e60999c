// The state of the judges' consensus windows of one side, kept by the operator view (UI thread only),
// and the small rules of the technique-slot queue that need no window.
#pragma once

#include "app/MatchData.h"
#include "platform/WinTypes.h"

#include <cstdint>

// Technique windows A..D, each collecting its own classes of presses.
enum JudgeWindow { kWindowA = 0, kWindowB, kWindowC, kWindowD, kJudgeWindows };
// Device-hit windows: 1 after a scored trunk or head point, 2 after a scored punch.
enum HitWindow { kHitWindow1 = 0, kHitWindow2, kHitWindows };

struct JudgeWindowState {
    std::uint32_t mask[kJudges] = {}; // each judge's press mask: class bits of the presses in open windows
    int windowSlot[kJudgeWindows] = {-1, -1, -1, -1}; // the queue slot of each window; -1 none
    int windowOpen[kJudgeWindows] = {};
    DWORD windowTick[kJudgeWindows] = {}; // GetTickCount() when the window opened
    int punchHit = 0; // a scored punch waits for the judges (trunk and head: m_bTrunkHit, m_bHeadHit)
    int hitWindowOpen[kHitWindows] = {};
    DWORD hitWindowTick[kHitWindows] = {};
    std::uint32_t consensus = 0; // results already found in the open windows
    std::uint32_t scored = 0;    // results already scored in the open windows
};

namespace SlotRules {

// Slots a side's queue uses: 8, or 5 under the round-win system with a single judge.
int QueueLength(const MatchData& md);
// The technique state a point kind gives its slot (1 punch, 2 trunk, 3 head, 4 the third technique of
// the judge-driven type); 0 for kinds that do not enter the queue.
int TechniqueState(int kind);
// The press-mask bits of the window whose timer id is given (technique windows A, C and D per side); 0 for
// any other id.
std::uint32_t WindowBits(UINT_PTR timerId, bool judgeDriven);
// The judges' mark codes that confirm a slot in the given technique state when a window ends: each code is
// counted on its own and one reaching the quorum confirms; 0 entries are unused. Nothing confirms a state
// without codes, and the judge-driven type inspects only its own states (`inspected` false otherwise).
struct ConfirmingCodes {
    bool inspected = false;
    int code[2] = {};
};
ConfirmingCodes CodesConfirming(int pssType, int slotState);
ConfirmingCodes CodesConfirmingType2(int pssType, int slotState);

} // namespace SlotRules
