// The operator view's window timers: every periodic activity of the match engine runs here, on the UI
// thread, in order with the message hub.

#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Timers.h"
#include "platform/ProfileFile.h"

#include <iterator>
#include <optional>

namespace {

// The side whose timer of a per-side pair the id is.
std::optional<int> SideOf(const UINT_PTR (&pair)[2], UINT_PTR id) {
    for (int side = 0; side < 2; ++side) {
        if (pair[side] == id)
            return side;
    }
    return std::nullopt;
}

// WT JSON action kind of a point, by point kind 0..21 and side (Chung, Hong). Kind 8 is decided by the
// technique in the side's current slot and only holds the fallback here.
constexpr int kPointActionKinds[][2] = {
    {8, 14},  {8, 8},   {8, 8}, {9, 15}, {10, 16}, {58, 59}, {11, 17}, {12, 18}, {8, 8}, {10, 16}, {13, 19},
    {21, 21}, {21, 21}, {8, 8}, {8, 8},  {8, 8},   {8, 8},   {8, 8},   {8, 8},   {8, 8}, {60, 61}, {64, 65},
};
constexpr int kPointKinds = static_cast<int>(std::size(kPointActionKinds));
constexpr int kJudgeBonusPoint = 8;
constexpr int kOtherAction = 8;

// Technique states of a queue slot that a judges' bonus turns into a turning kick to the trunk or the head.
int BonusActionKind(int side, int slotState) {
    switch (slotState) {
    case 2: // trunk
    case 4: // the third technique of the judge-driven type
        return side == 0 ? 10 : 16;
    case 3: // head
        return side == 0 ? 12 : 18;
    default:
        return kOtherAction;
    }
}

} // namespace

void CMainWnd::OnTimer(UINT_PTR id) {
    if (id == TIMER_DEVICE_STATUS) {
        CheckDeviceStatus();
        // The refresh compares the record with the state of one second before, so the copy comes after it.
        RefreshFromSnapshot();
        TakeMatchSnapshot();
        ShowTournamentBacklog();
    } else if (id == TIMER_ROUND_CLOCK) {
        OnRoundClockTick();
    } else if (id == TIMER_REST_CLOCK) {
        OnRestTick();
    } else if (id == TIMER_KYESHI_CLOCK) {
        OnKyeShiTick();
    } else if (const auto side = SideOf(TIMER_JUDGE_WINDOW, id)) {
        OnJudgeWindowTimer(*side);
    } else if (const auto side = SideOf(TIMER_TECH_WINDOW_A, id)) {
        OnTechWindowA(*side, 0);
    } else if (const auto side = SideOf(TIMER_TECH_WINDOW_B, id)) {
        OnTechWindowB(*side, 0);
    } else if (const auto side = SideOf(TIMER_TECH_WINDOW_C, id)) {
        OnTechWindowC(*side, 0);
    } else if (const auto side = SideOf(TIMER_TECH_WINDOW_D, id)) {
        OnTechWindowD(*side, 0);
    } else if (id == TIMER_REFEREE_CALL_MUTE) {
        KillTimer(id);
        m_bRefereeCallMute = 0;
    } else if (id == TIMER_ROUND_END_DELAY) {
        KillTimer(id);
        m_bRoundEndPending = 0;
    } else if (id == TIMER_TIMEOUT_CLOCK) {
        OnTimeoutTick();
    } else if (id == TIMER_OPEN_ROUND_RESULT) {
        KillTimer(id);
        const MatchData* md = g_pMatchData;
        // Only a regular round of the round-win system has a round result; before the first round there
        // is no round to show.
        if (md && md->nCompetitionRule == 1 && md->nCurRound >= 1 && md->nCurRound <= md->nRound)
            ShowRoundResultDialog(md->nCurRound - 1, 0, 11); // no winner yet: the dialog decides
    } else if (const auto side = SideOf(TIMER_JUDGE_WINDOW_B, id)) {
        OnJudgeWindowTimerB(*side);
    } else if (id >= TIMER_SERIAL_FLUSH[0] && id < TIMER_SERIAL_FLUSH[0] + SerialBuffers::kLinks) {
        m_SerialRecv.FlushTick(static_cast<int>(id - TIMER_SERIAL_FLUSH[0]));
    } else if (id == TIMER_TVG_CLOCK) {
        if (g_pMatchData)
            SendTvgMessage(g_pMatchData->nTvgSupplier, 0, u"", u"", u"");
    } else if (id == TIMER_SWISS_TIMING) {
        SendSwissTiming(0);
    } else if (id == TIMER_JSON_QUEUE) {
        if (const std::optional<JsonQueueEntry> entry = m_JsonQueue.TakeNext()) {
            if (entry->nKind == JsonActionQueue::kIntermediateResult)
                BuildJsonAction(4, entry->nValue, 0);
            else if (entry->nKind == JsonActionQueue::kFinalResult)
                BuildJsonAction(5, 0, 0);
            else
                BuildJsonAction(3, entry->nKind, _wtoi(entry->strText.c_str()));
        }
    }
    MessageWindow::OnTimer(id);
}

int CMainWnd::JsonPointActionKind(int side, int pointKind) const {
    if (side < 0 || side > 1 || pointKind < 0 || pointKind >= kPointKinds)
        return kOtherAction;
    if (pointKind != kJudgeBonusPoint)
        return kPointActionKinds[pointKind][side];
    const int slot = m_nCurrentSlot[side];
    if (!g_pMatchData || slot < 0 || slot >= kQueueSlots)
        return kOtherAction;
    return BonusActionKind(side, g_pMatchData->aSide[side].aSlotState[slot].nState);
}
