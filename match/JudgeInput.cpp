// The judges' presses and their consensus windows: a press is decoded, marks its judge's slot and opens
// the window of its technique; every 100 ms the window counts the judges that agree and scores through
// AddPoint once the quorum agrees; when its time is over it closes and drops the slots nobody confirmed.
#include "app/MainWnd.h"

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "match/JudgeRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"
#include "records/MatchRecords.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QString>

#include <algorithm>
#include <string>

using JudgeRules::Vote;

namespace {

constexpr const UINT_PTR (*kWindowTimers[kJudgeWindows])[2] = {&TIMER_TECH_WINDOW_A, &TIMER_TECH_WINDOW_B,
                                                               &TIMER_TECH_WINDOW_C, &TIMER_TECH_WINDOW_D};

UINT_PTR WindowTimer(int window, int side) {
    return (*kWindowTimers[window])[side];
}

std::u16string Num(int value) {
    return QString::number(value).toStdU16String();
}

std::u16string Label(int cls) {
    const std::string_view label = JudgeRules::TechniqueLabel(cls);
    return QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())).toStdU16String();
}

bool ValidSide(int side) {
    return side == 0 || side == 1;
}

// The clock text a press is logged with, and the judge's milliseconds part: below ten seconds the clock
// shows "s.cc", which the log keeps as the whole second that was running.
std::u16string LoggedTime(const CMainWnd& view, const MatchData& md, int& judgeMs) {
    std::u16string time = md.nGameState == 5 ? u"0:00" : view.m_strClockText;
    if (time.size() > 1 && time[1] == u'.') {
        const int seconds = time[0] - u'0' + 1;
        time = (seconds < 10 ? u"0:0" : u"0:") + Num(seconds);
        judgeMs = 1000 - md.nRemainTime % 1000;
    }
    return time;
}

void LogPress(CMainWnd& view, int side, std::u16string_view time, int judge, int code, int agreed, int ms) {
    const int logged = JudgeRules::LoggingCode(code);
    const auto stamp = static_cast<std::uint32_t>(ms);
    if (side == 0)
        view.LogChungEvent(time, judge + 13, logged, agreed, stamp);
    else
        view.LogHongEvent(time, judge + 13, logged, agreed, stamp);
}

// A press of a side's button that counts, or only its log line.
bool Counts(const MatchData& md, bool judgeDriven, int code, int top) {
    if (code == 0)
        return false;
    const bool refereeButton = judgeDriven ? md.nPSSType == 1 : md.nPSSType == 2;
    return !(refereeButton && code == top);
}

void DecodeJudgePress(CMainWnd& view, int judge, const char* text, int* flagOut, bool judgeDriven) {
    const JudgeRules::Press press = JudgeRules::ParsePress(text ? text : "");
    if (flagOut)
        *flagOut = press.flag;
    MatchData* record = g_pMatchData;
    if (!record || judge < 0 || judge >= kJudges)
        return;
    MatchData& md = *record;
    if (md.nGameState == 13) {
        view.ShowTestJudge(judge + 20, press.chung, press.hong);
        return;
    }
    int c = press.chung;
    int h = press.hong;
    if ((judgeDriven || md.nPSSType == 2) && (c == 4 || c == 9 || h == 8 || h == 10))
        return;
    if (md.nJudgePointBottom == 0) {
        c = c == 1 ? 0 : c;
        h = h == 5 ? 0 : h;
    }
    if (md.nJudgePointMiddle == 0) {
        c = c == 2 ? 0 : c;
        h = h == 6 ? 0 : h;
    }
    if (md.nJudgePointTop == 0) {
        c = c == 3 ? 0 : c;
        h = h == 7 ? 0 : h;
    }
    if (c == 0 && h == 0)
        return;

    const bool refereeButton = judgeDriven ? md.nPSSType == 1 : md.nPSSType == 2;
    if (refereeButton && (c == 3 || h == 7)) {
        if (!view.m_bRefereeCallMute) {
            PlaySound(AppPath(u"Sound/refereecall.wav"));
            view.m_bRefereeCallMute = 1;
            view.SetTimer(TIMER_REFEREE_CALL_MUTE, 2000);
        }
        view.SendIvrMessage(11, ScoreRules::SideLetter(c == 3 ? 0 : 1), u"", Num(judge + 1), u"");
    }

    const std::u16string time = LoggedTime(view, md, view.m_nJudgeMs[judge]);
    const bool chungCounts = Counts(md, judgeDriven, c, 3);
    const bool hongCounts = Counts(md, judgeDriven, h, 7);
    if (!chungCounts && !hongCounts) {
        const int ms = view.m_nJudgeMs[judge];
        if (c)
            LogPress(view, 0, time, judge, c, 0, ms);
        if (h)
            LogPress(view, 1, time, judge, h, 0, ms);
        return;
    }
    if (chungCounts)
        view.JudgePressSide(time, 0, judge, c);
    if (hongCounts)
        view.JudgePressSide(time, 1, judge, h);
}

} // namespace

void CMainWnd::OnJudgeInput(int judge, const char* text, int* flagOut) {
    DecodeJudgePress(*this, judge, text, flagOut, false);
}

void CMainWnd::OnJudgeInputType2(int judge, const char* text, int* flagOut) {
    DecodeJudgePress(*this, judge, text, flagOut, true);
}

void CMainWnd::JudgePressSide(std::u16string_view time, int side, int judge, int code) {
    MatchData* record = g_pMatchData;
    if (!record || !ValidSide(side) || judge < 0 || judge >= kJudges)
        return;
    MatchData& md = *record;
    JudgeWindowState& w = m_judgeWindows[side];
    const bool judgeDriven = md.nCompetitionType == 2;
    const bool running = md.nGameState == 3;
    const int ms = m_nJudgeMs[judge];
    const JudgeRules::PressClass press = JudgeRules::ClassOf(md, code);
    if (!JudgeRules::IsSideCode(side, code) || press.cls == 0 || press.window < 0) {
        LogPress(*this, side, time, judge, code, 0, ms); // outside every class: only logged
        return;
    }
    const std::uint32_t bit = JudgeRules::ClassBit(side, press.bit);
    const std::u16string label = Label(press.cls);
    const std::u16string judgeText = Num(judge + 1);

    std::uint32_t allBits = 0;
    for (int c = JudgeRules::kBitA; c <= (judgeDriven ? JudgeRules::kBitC : JudgeRules::kBitE); ++c)
        allBits |= JudgeRules::ClassBit(side, c);
    if ((w.mask[judge] & allBits) == allBits) {
        SendIvrMessage(11, ScoreRules::SideLetter(side), label, judgeText, u"");
        return;
    }

    int agreed = 0;
    if (running) {
        for (int j = 0; j < kJudges; ++j)
            agreed = agreed || (j != judge && (w.mask[j] & bit));
        if (press.bit == JudgeRules::kBitA && md.bUsePunch && !w.punchHit)
            agreed = 0;
        if (press.bit == JudgeRules::kBitB && !judgeDriven && !m_bTrunkHit[side] && !m_bHeadHit[side])
            agreed = 0;
    }
    LogPress(*this, side, time, judge, code, agreed, ms);
    if (running)
        w.mask[judge] |= bit;

    const int n = SlotRules::QueueLength(md);
    const int window = press.window;
    int& judgeSlot = m_nSlotIndex[side][judge];
    if (!w.windowOpen[window] && running) {
        int slot = m_nCurrentSlot[side] + 1;
        if (md.bUsePunch && press.bit == JudgeRules::kBitA && !judgeDriven) {
            const TTK_QueueSlot* queue = md.aSide[side].aSlotState;
            for (int i = 0; i < n; ++i)
                if (queue[i].nState == 1 && !queue[i].bConfirmed) {
                    slot = i;
                    break;
                }
        }
        // A new slot never shares a slot with another open window.
        for (int k = 0; k < kJudgeWindows; ++k)
            if (k != window && w.windowOpen[k] && w.windowSlot[k] >= slot)
                slot = w.windowSlot[k] + 1;
        w.windowSlot[window] = slot;
        judgeSlot = slot;
    } else {
        judgeSlot = w.windowSlot[window];
    }

    if (press.bit == JudgeRules::kBitB && !judgeDriven && w.hitWindowOpen[kHitWindow1]) {
        KillTimer(TIMER_JUDGE_WINDOW[side]);
        w.hitWindowOpen[kHitWindow1] = 0;
    }

    if (running && judgeSlot >= n) {
        bool othersOpen = false;
        for (int k = 0; k < kJudgeWindows; ++k)
            othersOpen = othersOpen || (k != window && w.windowOpen[k]);
        if (md.aSide[side].aSlotState[n - 1].nState != 0 || othersOpen) {
            RemoveSlot(side, 1, kQueueSlots);
            // The queue moved up: every cursor into it moves with it.
            for (int k = 0; k < kJudgeWindows; ++k)
                if (k != window && w.windowOpen[k])
                    w.windowSlot[k] -= 1;
            if (m_nCurrentSlot[side] >= 0)
                m_nCurrentSlot[side] -= 1;
            for (int j = 0; j < kJudges; ++j)
                if (j != judge && m_nSlotIndex[side][j] > 0)
                    m_nSlotIndex[side][j] -= 1;
        }
        judgeSlot = n - 1;
        w.windowSlot[window] = n - 1;
    }

    if (!w.windowOpen[window] && running) {
        w.windowOpen[window] = 1;
        w.windowTick[window] = GetTickCount();
        w.consensus &= ~JudgeRules::WindowResultBits(window);
        w.scored &= ~JudgeRules::WindowResultBits(window);
        SetTimer(WindowTimer(window, side), 100);
    }

    const int value = JudgeRules::PointValueOfKind(md, code);
    if (judgeSlot >= 0)
        SetJudgeMark(side, judge, judgeSlot, press.cls, value);
    else
        SetJudgePress(side, judge, press.cls, value);
    LogJudgeTechnique(time, side, judge, code);
    SendIvrMessage(11, ScoreRules::SideLetter(side), label, judgeText, u"");
}

namespace {

std::vector<Vote> WindowVotes(CMainWnd& view, int side, int window) {
    const MatchData& md = *g_pMatchData;
    JudgeWindowState& w = view.m_judgeWindows[side];
    std::vector<Vote> votes;
    if (md.nGameState != 3)
        return votes;
    if (md.nCompetitionType == 2)
        votes = JudgeRules::VotesType2(md, side, w.mask, view.m_bTrunkHit[side] != 0);
    else if (md.nPSSType == 0 && (window == kWindowC || window == kWindowD))
        votes = JudgeRules::OwnVotes(md, side, w.mask, window);
    else
        votes = JudgeRules::Votes(md, side, w.mask, view.m_bTrunkHit[side] != 0, view.m_bHeadHit[side] != 0);
    for (const Vote& vote : votes)
        w.consensus |= vote.bit;
    return votes;
}

void ScoreWindow(CMainWnd& view, int side, int window) {
    MatchData& md = *g_pMatchData;
    JudgeWindowState& w = view.m_judgeWindows[side];
    const std::u16string time = view.m_strClockText;
    for (const Vote& vote : WindowVotes(view, side, window)) {
        if (!JudgeRules::WindowScores(window, vote.kind) || (w.scored & vote.bit))
            continue;
        if (window != kWindowA) {
            w.scored |= vote.bit;
            view.AddPoint(time, 1, side, vote.kind, vote.value, 0);
            continue;
        }
        const int slot = w.windowSlot[kWindowA];
        if (md.bUsePunch && !w.punchHit)
            continue; // a punch of the judges needs a punch of the protector
        w.scored |= vote.bit;
        if (slot >= 0 && slot < kQueueSlots) {
            TTK_QueueSlot& entry = md.aSide[side].aSlotState[slot];
            entry.nState = 1;
            entry.bConfirmed = 1;
            view.update(OperatorLayout::SlotState(side, slot));
            if (view.m_pExtScrDlg)
                view.m_pExtScrDlg->InvalidateSlot(side, slot, md.nReverseScreen);
        }
        view.AddPoint(time, 2, side, md.bUsePunch ? 19 : 0, vote.value, 99);
    }
}

void TechWindowTick(CMainWnd& view, int side, int window, int force) {
    MatchData* record = g_pMatchData;
    if (!record || !ValidSide(side))
        return;
    MatchData& md = *record;
    JudgeWindowState& w = view.m_judgeWindows[side];
    const UINT_PTR timer = WindowTimer(window, side);
    if (!w.windowOpen[window]) {
        view.KillTimer(timer);
        return;
    }
    const DWORD length = window == kWindowA ? static_cast<DWORD>(std::max(md.nJudgeButtonTime, 0)) : 1000;
    if (!force && GetTickCount() - w.windowTick[window] < length) {
        ScoreWindow(view, side, window);
        return;
    }

    view.KillTimer(timer);
    ScoreWindow(view, side, window);
    const bool judgeDriven = md.nCompetitionType == 2;
    const auto drop = [&] {
        if (judgeDriven)
            view.DropUnconfirmedSlotsType2(side, timer);
        else
            view.DropUnconfirmedSlots(side, timer);
    };
    const std::uint32_t results = w.consensus & JudgeRules::WindowResultBits(window);
    switch (window) {
    case kWindowA:
        if (!w.punchHit || (w.consensus & 0x1))
            view.CloseJudgeWindow(side);
        else
            drop();
        break;
    case kWindowB:
        if ((!view.m_bTrunkHit[side] && !view.m_bHeadHit[side]) || (w.consensus & 0x300) == 0x300) {
            view.CloseJudgeWindow(side);
        } else {
            const int slot = w.windowSlot[kWindowB];
            if (slot >= 0 && slot < kQueueSlots)
                md.aSide[side].aSlotState[slot].bConfirmed = 1;
            drop();
        }
        // A bonus press ended the hit's window early; the hit waits for no further bonus once this window
        // is over, or its flag would stay up for the rest of the round.
        if (!w.hitWindowOpen[kHitWindow1]) {
            view.m_bTrunkHit[side] = 0;
            view.m_bHeadHit[side] = 0;
        }
        break;
    default:
        if (results)
            view.CloseJudgeWindow(side);
        else
            drop();
        view.m_bTrunkHit[side] = 0;
        view.m_bHeadHit[side] = 0;
        break;
    }
    w.windowOpen[window] = 0;
    if (window == kWindowA && md.bUsePunch) {
        view.KillTimer(TIMER_TECH_WINDOW_B[side]);
        w.windowOpen[kWindowB] = 0;
        w.punchHit = 0;
    }
    const std::uint32_t classBits = JudgeRules::WindowClassBits(md, side, window);
    for (std::uint32_t& mask : w.mask)
        mask &= ~classBits;
    if (w.scored & JudgeRules::WindowResultBits(window))
        view.m_nCurrentSlot[side] = w.windowSlot[window];
}

} // namespace

bool CMainWnd::EvaluateJudgeVotes(int side, int* kind, int* value) {
    if (kind)
        *kind = -1;
    if (!g_pMatchData || !ValidSide(side) || g_pMatchData->nCompetitionType == 2)
        return false;
    const std::vector<Vote> votes = WindowVotes(*this, side, kWindowA);
    if (votes.empty())
        return false;
    if (kind)
        *kind = votes.front().kind;
    if (value)
        *value = votes.front().value;
    return true;
}

bool CMainWnd::EvaluateJudgeVotesType2(int side, int* kind, int* value) {
    if (kind)
        *kind = -1;
    if (!g_pMatchData || !ValidSide(side) || g_pMatchData->nCompetitionType != 2)
        return false;
    const std::vector<Vote> votes = WindowVotes(*this, side, kWindowD);
    if (votes.empty())
        return false;
    if (kind)
        *kind = votes.front().kind;
    if (value)
        *value = votes.front().value;
    return true;
}

void CMainWnd::OnTechWindowA(int side, int force) {
    TechWindowTick(*this, side, kWindowA, force);
}
void CMainWnd::OnTechWindowB(int side, int force) {
    TechWindowTick(*this, side, kWindowB, force);
}
void CMainWnd::OnTechWindowC(int side, int force) {
    TechWindowTick(*this, side, kWindowC, force);
}
void CMainWnd::OnTechWindowD(int side, int force) {
    TechWindowTick(*this, side, kWindowD, force);
}

std::u16string CMainWnd::TechniqueLabel(int cls) {
    return Label(cls);
}

void CMainWnd::LogJudgeTechnique(std::u16string_view time, int side, int judge, int code) {
    const MatchData* md = g_pMatchData;
    if (!m_bLogOpen || !md)
        return;
    const JudgeRules::PressClass press = JudgeRules::ClassOf(*md, code);
    // A punch class is a punch press of the judge, the others technique presses; the technique column
    // names the target: 1 punch, 5 trunk technique, 6 head technique.
    const bool punch = press.bit == JudgeRules::kBitA && md->nCompetitionType != 2;
    const int technique = punch                                                                     ? 1
                          : (press.cls == 4 || press.cls == 5 || press.cls == 8 || press.cls == 10) ? 6
                                                                                                    : 5;
    LogMatchEvent(md->nCurRound, punch ? 6 : 12, time, side, 3, 0, judge + 1, technique);
}
