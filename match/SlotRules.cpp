// The small rules of the technique-slot queue: its length, the state a point kind gives a slot, the window
// bits a slot drop looks for and the marks that confirm a slot.
#include "match/JudgeWindows.h"

#include "app/Timers.h"

namespace SlotRules {

int QueueLength(const MatchData& md) {
    return md.nCompetitionRule == 1 && md.nJudgeNumber == 1 ? 5 : kQueueSlots;
}

int TechniqueState(int kind) {
    switch (kind) {
    case 0:
    case 18:
    case 19:
        return 1;
    case 3:
    case 4:
    case 16:
        return 2;
    case 6:
    case 7:
    case 17:
        return 3;
    case 5:
        return 4;
    default:
        return 0;
    }
}

std::uint32_t WindowBits(UINT_PTR timerId, bool judgeDriven) {
    if (timerId == TIMER_TECH_WINDOW_A[0])
        return 0x2;
    if (timerId == TIMER_TECH_WINDOW_A[1])
        return 0x20;
    if (timerId == TIMER_TECH_WINDOW_D[0])
        return judgeDriven ? 0xE : 0x14;
    if (timerId == TIMER_TECH_WINDOW_D[1])
        return judgeDriven ? 0xE0 : 0x140;
    if (timerId == TIMER_TECH_WINDOW_C[0])
        return 0x208;
    if (timerId == TIMER_TECH_WINDOW_C[1])
        return 0x480;
    return 0;
}

ConfirmingCodes CodesConfirming(int pssType, int slotState) {
    if (slotState < 1 || slotState > 3)
        return {true, {}};
    // Rows: protector type 2, 1, 0; columns: states 1, 2, 3.
    static constexpr int kCodes[3][3][2] = {
        {{1, 0}, {2, 0}, {2, 0}},
        {{1, 0}, {2, 0}, {4, 5}},
        {{6, 0}, {7, 9}, {8, 10}},
    };
    const int row = pssType == 2 ? 0 : pssType == 1 ? 1 : 2;
    const int* codes = kCodes[row][slotState - 1];
    return {true, {codes[0], codes[1]}};
}

ConfirmingCodes CodesConfirmingType2(int pssType, int slotState) {
    if (pssType == 1)
        return slotState == 2 ? ConfirmingCodes{true, {2, 3}} : ConfirmingCodes{};
    if (slotState == 2)
        return {true, {7, 8}};
    if (slotState == 4)
        return {true, {9, 0}};
    return {};
}

} // namespace SlotRules
