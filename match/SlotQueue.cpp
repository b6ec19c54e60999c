// Each side's queue of technique slots: scored points enter it, the judges mark its slots, windows that end
// without agreement drop the slots nobody confirmed, a full queue drops its oldest slot; the device-hit
// windows a scored point opens; and the match screen cleared for a new match.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "app/Timers.h"
#include "match/JudgeWindows.h"
#include "platform/DebugOutput.h"
#include "platform/TickSource.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <algorithm>
#include <iterator>

using SlotRules::QueueLength;

namespace {

constexpr int kChungEventList = 1081;
constexpr int kHongEventList = 1080;

bool ValidSide(int side) {
    return side == 0 || side == 1;
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kQueueSlots;
}

int Reversed() {
    return g_pMatchData ? g_pMatchData->nReverseScreen : 0;
}

void RepaintPress(CMainWnd& view, int side, int judge) {
    view.update(OperatorLayout::JudgePress(side, judge));
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->InvalidateJudgePress(side, 0, judge, view.m_nSlotIndex[side][judge], Reversed());
}

void RepaintMarks(CMainWnd& view, int side, int slot) {
    for (int j = 0; j < kJudges; ++j) {
        view.update(OperatorLayout::JudgeSlot(side, j, slot));
        if (view.m_pExtScrDlg)
            view.m_pExtScrDlg->InvalidateJudgeSlot(side, j, slot, Reversed());
    }
}

void RepaintSlot(CMainWnd& view, int side, int slot) {
    view.update(OperatorLayout::SlotState(side, slot));
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->InvalidateSlot(side, slot, Reversed());
    RepaintMarks(view, side, slot);
}

// The whole queue as one rectangle: the slots lie in one block, and one area costs the repaint manager
// less than a region of every slot's tiles.
void RepaintQueue(CMainWnd& view, int side) {
    QRect queue;
    for (int slot = 0; slot < kQueueSlots; ++slot) {
        queue |= OperatorLayout::SlotState(side, slot);
        for (int j = 0; j < kJudges; ++j)
            queue |= OperatorLayout::JudgeSlot(side, j, slot);
    }
    view.update(queue);
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->InvalidateSlotRow(side, Reversed());
}

void MoveSlot(TTK_SideScore& s, int to, int from) {
    s.aSlotState[to] = s.aSlotState[from];
    for (int j = 0; j < kJudges; ++j)
        s.aJudgeSlot[j][to] = s.aJudgeSlot[j][from];
}

void EmptySlot(TTK_SideScore& s, int slot) {
    s.aSlotState[slot] = TTK_QueueSlot{};
    for (int j = 0; j < kJudges; ++j)
        s.aJudgeSlot[j][slot] = TTK_JudgeMark{};
}

// The slots of the windows that are open.
template <typename F> void ForOpenWindows(JudgeWindowState& w, F f) {
    for (int k = 0; k < kJudgeWindows; ++k)
        if (w.windowOpen[k])
            f(w.windowSlot[k]);
}

} // namespace

int CMainWnd::SlotOfKind(int side, int kind) const {
    if (!ValidSide(side) || !g_pMatchData)
        return -1;
    const MatchData& md = *g_pMatchData;
    const JudgeWindowState& w = m_judgeWindows[side];
    if (kind == 0 && md.bUsePunch != 1)
        return w.windowSlot[kWindowA];
    if (md.nPSSType == 1 || md.nPSSType == 2) {
        if (kind == 8)
            return w.windowSlot[kWindowB];
        if (md.nPSSType == 1 && (kind == 6 || kind == 7))
            return w.windowSlot[kWindowC];
        return m_nCurrentSlot[side];
    }
    if (kind == 3 || kind == 4 || kind == 5)
        return w.windowSlot[kWindowD];
    if (kind == 6 || kind == 7)
        return w.windowSlot[kWindowC];
    return -1;
}

void CMainWnd::QueueScoredPoint(int side, int kind, int source, int value) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    constexpr int kQueued[] = {0, 3, 4, 5, 6, 7, 16, 17, 18};
    if (std::ranges::find(kQueued, kind) == std::end(kQueued))
        return;
    JudgeWindowState& w = m_judgeWindows[side];
    const bool punch = kind == 0 || kind == 18;
    if (md.bUsePunch && punch)
        OnJudgeWindowTimerB(side);
    else
        OnJudgeWindowTimer(side);

    const int n = QueueLength(md);
    int& current = m_nCurrentSlot[side];
    if (md.nPSSType == 2) {
        if (kind == 3 || kind == 16 || kind == 6 || kind == 17)
            current += 1;
        else if (md.bUsePunch && punch && source == 1)
            current = std::max(current, w.windowSlot[kWindowA]) + 1;
    } else if (md.nPSSType == 1 && (kind == 3 || kind == 16)) {
        current = std::max(current, w.windowSlot[kWindowC]) + 1;
    }
    if (kind == 0 && source == 0) {
        current = std::max(current, w.windowSlot[kWindowA]) + 1;
        if (current < n)
            w.windowSlot[kWindowA] = current;
    }
    if (current >= n) {
        RemoveSlot(side, 1, kQueueSlots);
        current = n - 1;
        ForOpenWindows(w, [](int& slot) { slot -= 1; });
    }

    const int slot = SlotOfKind(side, kind);
    if (ValidSlot(slot) && slot < n) {
        TTK_QueueSlot& entry = md.aSide[side].aSlotState[slot];
        entry.nState = SlotRules::TechniqueState(kind);
        entry.nValue = value;
        if (kind == 0 && (value == 99 || value == 0))
            entry.bConfirmed = 1;
        RepaintSlot(*this, side, slot);
    }

    if (md.nCompetitionType != 2 && md.nPSSType == 2) {
        if (kind == 6) {
            m_bHeadHit[side] = 1;
            OpenHitWindow(side, kHitWindow1);
        } else if (kind == 3) {
            m_bTrunkHit[side] = 1;
            OpenHitWindow(side, kHitWindow1);
        } else if (kind == 0 && md.bUsePunch) {
            w.punchHit = 1;
            OpenHitWindow(side, kHitWindow2);
        }
    } else if (md.nPSSType == 1 && kind == 3) {
        m_bTrunkHit[side] = 1;
        OpenHitWindow(side, kHitWindow1);
    }
}

void CMainWnd::OpenHitWindow(int side, int window) {
    if (!ValidSide(side) || window < 0 || window >= kHitWindows)
        return;
    JudgeWindowState& w = m_judgeWindows[side];
    w.hitWindowOpen[window] = 1;
    w.hitWindowTick[window] = GetTickCount();
    SetTimer(window == kHitWindow1 ? TIMER_JUDGE_WINDOW[side] : TIMER_JUDGE_WINDOW_B[side], 100);
}

void CMainWnd::OnJudgeWindowTimer(int side) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    JudgeWindowState& w = m_judgeWindows[side];
    if (!w.hitWindowOpen[kHitWindow1] ||
        GetTickCount() - w.hitWindowTick[kHitWindow1] < static_cast<DWORD>(g_pMatchData->nJudgeButtonTime))
        return;
    KillTimer(TIMER_JUDGE_WINDOW[side]);
    w.hitWindowOpen[kHitWindow1] = 0;
    m_bTrunkHit[side] = 0;
    m_bHeadHit[side] = 0;
}

void CMainWnd::OnJudgeWindowTimerB(int side) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    JudgeWindowState& w = m_judgeWindows[side];
    if (!w.hitWindowOpen[kHitWindow2] ||
        GetTickCount() - w.hitWindowTick[kHitWindow2] < static_cast<DWORD>(g_pMatchData->nJudgeButtonTime))
        return;
    KillTimer(TIMER_JUDGE_WINDOW_B[side]);
    w.hitWindowOpen[kHitWindow2] = 0;
    w.punchHit = 0;
    w.windowSlot[kWindowA] = m_nCurrentSlot[side];
}

void CMainWnd::SetJudgePress(int side, int judge, int value, int extra) {
    if (!ValidSide(side) || judge < 0 || judge >= kJudges || !g_pMatchData)
        return;
    g_pMatchData->aSide[side].aJudgePress[judge] =
        TTK_JudgeMark{value, extra, g_pMatchData->nGameState == 3 ? 1 : 0};
    RepaintPress(*this, side, judge);
}

void CMainWnd::SetJudgeMark(int side, int judge, int slot, int value, int extra) {
    SetJudgePress(side, judge, value, extra);
    if (!ValidSide(side) || judge < 0 || judge >= kJudges || !ValidSlot(slot) || !g_pMatchData ||
        g_pMatchData->nGameState != 3)
        return;
    g_pMatchData->aSide[side].aJudgeSlot[judge][slot] = TTK_JudgeMark{value, extra, 1};
    update(OperatorLayout::JudgeSlot(side, judge, slot));
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateJudgeSlot(side, judge, slot, Reversed());
}

void CMainWnd::SetJudgeMarks(int side, int slot, int value) {
    if (!ValidSide(side) || !ValidSlot(slot) || !g_pMatchData)
        return;
    for (TTK_JudgeMark(&row)[kQueueSlots] : g_pMatchData->aSide[side].aJudgeSlot) {
        row[slot].nKind = value;
        row[slot].bSet = 1;
    }
    RepaintMarks(*this, side, slot);
}

void CMainWnd::ClearJudgeMarks(int side, int slot) {
    if (!ValidSide(side) || !ValidSlot(slot) || !g_pMatchData)
        return;
    for (TTK_JudgeMark(&row)[kQueueSlots] : g_pMatchData->aSide[side].aJudgeSlot)
        row[slot] = TTK_JudgeMark{};
    RepaintMarks(*this, side, slot);
}

void CMainWnd::MarkSlotScored(int side, int kind) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    const TTK_SideScore& s = g_pMatchData->aSide[side];
    int slot = -1;
    const int wanted = kind == 2 ? 2 : kind == 5 ? 3 : 0;
    for (int i = QueueLength(*g_pMatchData) - 1; wanted && i >= 0 && slot < 0; --i)
        if (s.aSlotState[i].nState == wanted)
            slot = i;
    SetJudgeMarks(side, slot >= 0 ? slot : m_nCurrentSlot[side], 2);
}

void CMainWnd::ClearSlot(int side, int slot) {
    if (!ValidSide(side) || !ValidSlot(slot) || !g_pMatchData)
        return;
    g_pMatchData->aSide[side].aSlotState[slot] = TTK_QueueSlot{};
    update(OperatorLayout::SlotState(side, slot));
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateSlot(side, slot, Reversed());
    ClearJudgeMarks(side, slot);
}

void CMainWnd::RemoveSlot(int side, int from, int end) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    from = std::max(from, 1);
    end = std::min(end, kQueueSlots);
    if (from > end)
        return;
    TTK_SideScore& s = g_pMatchData->aSide[side];
    for (int i = from; i < end; ++i)
        MoveSlot(s, i - 1, i);
    EmptySlot(s, end - 1);
    RepaintQueue(*this, side);
}

void CMainWnd::CloseJudgeWindow(int side) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    TTK_SideScore& s = g_pMatchData->aSide[side];
    for (int j = 0; j < kJudges; ++j) {
        const int slot = m_nSlotIndex[side][j];
        if (slot < 0)
            break;
        s.aJudgePress[j] = TTK_JudgeMark{};
        RepaintPress(*this, side, j);
        if (ValidSlot(slot) && s.aSlotState[slot].nState == 0) {
            s.aJudgeSlot[j][slot] = TTK_JudgeMark{};
            update(OperatorLayout::JudgeSlot(side, j, slot));
            if (m_pExtScrDlg)
                m_pExtScrDlg->InvalidateJudgeSlot(side, j, slot, Reversed());
        }
    }
    const int n = QueueLength(*g_pMatchData);
    int& windowA = m_judgeWindows[side].windowSlot[kWindowA];
    if (windowA >= n - 1)
        windowA -= 1;
    if (m_nCurrentSlot[side] >= n - 1)
        m_nCurrentSlot[side] -= 1;
}

void CMainWnd::DropSlotIfMarked(int side, UINT_PTR timerId, int slot, int last) {
    if (!ValidSide(side) || !ValidSlot(slot) || !g_pMatchData)
        return;
    JudgeWindowState& w = m_judgeWindows[side];
    const bool judgeDriven = g_pMatchData->nCompetitionType == 2;
    const std::uint32_t bits = SlotRules::WindowBits(timerId, judgeDriven);
    bool marked = false;
    for (const std::uint32_t mask : w.mask)
        marked = marked || (mask & bits) != 0;
    if (!marked)
        return;
    ClearJudgeMarks(side, slot);
    RemoveSlot(side, slot + 1, last + 1);
    if (m_nCurrentSlot[side] >= slot)
        m_nCurrentSlot[side] -= 1;
    ForOpenWindows(w, [slot](int& windowSlot) {
        if (windowSlot >= slot)
            windowSlot -= 1;
    });
}

void CMainWnd::DropUnconfirmedSlots(int side, UINT_PTR timerId) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const JudgeWindowState& w = m_judgeWindows[side];
    const int last =
        std::min(QueueLength(md) - 1, std::max({m_nCurrentSlot[side], w.windowSlot[kWindowA],
                                                w.windowSlot[kWindowC], w.windowSlot[kWindowD]}));
    for (int slot = 0; slot <= last; ++slot) {
        TTK_SideScore& s = g_pMatchData->aSide[side];
        const int state = s.aSlotState[slot].nState;
        if (state == 0) {
            DropSlotIfMarked(side, timerId, slot, last);
            continue;
        }
        const SlotRules::ConfirmingCodes codes = SlotRules::CodesConfirming(md.nPSSType, state);
        bool confirmed = false;
        for (const int code : codes.code) {
            int count = 0;
            for (int j = 0; j < kJudges && code; ++j)
                count += s.aJudgeSlot[j][slot].bSet && s.aJudgeSlot[j][slot].nKind == code;
            confirmed = confirmed || (code && count >= md.nJudgeQuorum);
        }
        if (!confirmed) {
            s.aSlotState[slot].bConfirmed = 0;
            CloseJudgeWindow(side);
            ClearJudgeMarks(side, slot);
        }
    }
}

void CMainWnd::DropUnconfirmedSlotsType2(int side, UINT_PTR) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const int last = std::min(QueueLength(md) - 1,
                              std::max(m_nCurrentSlot[side], m_judgeWindows[side].windowSlot[kWindowD]));
    TTK_SideScore& s = g_pMatchData->aSide[side];
    for (int slot = 0; slot <= last; ++slot) {
        const SlotRules::ConfirmingCodes codes =
            SlotRules::CodesConfirmingType2(md.nPSSType, s.aSlotState[slot].nState);
        if (!codes.inspected)
            continue;
        bool confirmed = false;
        for (const int code : codes.code) {
            int count = 0;
            for (int j = 0; j < kJudges && code; ++j)
                count += s.aJudgeSlot[j][slot].bSet && s.aJudgeSlot[j][slot].nKind == code;
            confirmed = confirmed || (code && count >= md.nJudgeQuorum);
        }
        if (!confirmed) {
            CloseJudgeWindow(side);
            ClearJudgeMarks(side, slot);
        }
    }
}

void CMainWnd::CompactJudgeSlots(int side) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    TTK_SideScore& s = g_pMatchData->aSide[side];
    const int n = QueueLength(*g_pMatchData);
    int k = 0;
    for (int slot = 0; slot < n; ++slot) {
        const TTK_QueueSlot& entry = s.aSlotState[slot];
        if (entry.nState == 0 || (entry.nState == 1 && !entry.bConfirmed))
            continue;
        if (k != slot)
            MoveSlot(s, k, slot);
        ++k;
    }
    for (int slot = k; slot < kQueueSlots; ++slot)
        EmptySlot(s, slot);
    JudgeWindowState& w = m_judgeWindows[side];
    m_nCurrentSlot[side] = k - 1;
    for (const int window : {kWindowA, kWindowC, kWindowD})
        w.windowSlot[window] = k - 1;
    RepaintQueue(*this, side);
}

void CMainWnd::ResetSlotCursors(int side) {
    if (!ValidSide(side) || !g_pMatchData)
        return;
    // The cursors continue after the last slot still in use, so the next point takes the next free slot.
    const TTK_SideScore& s = g_pMatchData->aSide[side];
    int last = -1;
    for (int slot = 0; slot < QueueLength(*g_pMatchData); ++slot)
        if (s.aSlotState[slot].nState != 0)
            last = slot;
    m_nCurrentSlot[side] = last;
    for (int& slot : m_judgeWindows[side].windowSlot)
        slot = last;
}

void CMainWnd::StepBackSlotCursors(int side, int kind) {
    if (!ValidSide(side))
        return;
    const auto stepBack = [](int& cursor) {
        if (cursor >= 0)
            cursor -= 1;
    };
    stepBack(m_nCurrentSlot[side]);
    JudgeWindowState& w = m_judgeWindows[side];
    switch (kind) {
    case 0:
        stepBack(w.windowSlot[kWindowA]);
        break;
    case 3:
    case 16:
        stepBack(w.windowSlot[kWindowB]);
        break;
    case 6:
        stepBack(w.windowSlot[kWindowC]);
        break;
    default:
        break;
    }
}

void CMainWnd::ResetMatchScreen() {
    MatchData* record = g_pMatchData;
    if (!record)
        return;
    MatchData& md = *record;
    KillTimer(TIMER_JSON_QUEUE);

    for (int side = 0; side < 2; ++side) {
        for (const UINT_PTR id :
             {TIMER_JUDGE_WINDOW_B[side], TIMER_TECH_WINDOW_A[side], TIMER_TECH_WINDOW_B[side],
              TIMER_TECH_WINDOW_C[side], TIMER_TECH_WINDOW_D[side]})
            KillTimer(id);
        ResetJudgeWindow(side);
        TTK_SideScore& s = md.aSide[side];
        s = TTK_SideScore{};
        s.nVRRemain = md.nCompetitionType == 1 ? md.nTeamVRQuota : md.nVRQuota;
        m_judgeWindows[side] = JudgeWindowState{};
        for (int& slot : m_nSlotIndex[side])
            slot = -1;
        m_nCurrentSlot[side] = -1;
        m_bTrunkHit[side] = 0;
        m_bHeadHit[side] = 0;
        m_nPunchState[side] = 0;
        m_nPunchTime[side] = 0;
        CompactJudgeSlots(side);
        InvalidateJudgeRows(side);
        for (int j = 0; j < kJudges; ++j)
            RepaintPress(*this, side, j);
        // The history lists show this match's events only.
        m_nHistoryRows[side] = 0;
        EventList(side == 0 ? kChungEventList : kHongEventList)->setRowCount(0);
    }
    m_bRefereeCallMute = 0;
    KillTimer(TIMER_REFEREE_CALL_MUTE);

    md.nWinSide = 0;
    md.nWinRound = 0;
    md.nDecisionKind = 11;
    std::fill(std::begin(md.bRoundEnded), std::end(md.bRoundEnded), 0);
    std::fill(std::begin(md.nRoundReason), std::end(md.nRoundReason), 0);
    md.bRoundOver = 0;
    HideRoundLeader();

    ClearHitLevels();
    ClearRoundWins();
    ResetCounterTexts();
    ShowReplayQuota(md.aSide[0].nVRRemain, md.aSide[1].nVRRemain);
    // The last match's scores and counts leave the screen with it.
    ShowScores(0, 0);
    UpdatePenaltyDisplay(0, 0);
    UpdateHitCount(0, 0);
    update();
    if (m_pExtScrDlg) {
        m_pExtScrDlg->ResetDisplay(); // the public scoreboard starts the match empty too, and is repainted
        m_pExtScrDlg->SetSideIndicators(0, 0);
        m_pExtScrDlg->UpdateRoundScores();
    }
}
