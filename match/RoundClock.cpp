// The clocks of the match: the 10 ms round clock with the end of a round, the rest between rounds, the
// injury count (Kye-Shi) and the coach time-out. Each step measures the real time since the last one on
// the steady tick count, so late or merged timer ticks do not slow the clocks; the round clock takes every
// step whole, so a stalled UI thread delays what is shown, never the time kept.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Timers.h"
#include "match/ClockRules.h"
#include "match/FlowNotices.h"
#include "match/MatchFlowSteps.h"
#include "platform/TickSource.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QString>

#include <cstdio>

using namespace MatchFlowSteps;

namespace {

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Team matches without the round-win system stop the clock at each member bout's change.
void CheckTeamBoutSignal(CMainWnd& view, MatchData& md) {
    const int bout = md.nTeamIndCompetitionTime;
    if (md.nCompetitionType != 1 || md.nCompetitionRule == 1 || bout <= 0)
        return;
    const int shown = view.m_nShownSeconds;
    if (shown % bout != 0 || shown == view.m_nBoongSecond)
        return;
    const bool regular = (md.nCurRound == 1 || (md.nCurRound == 2 && md.nRound == 4)) &&
                         (md.nTeam1RndMatchType == 0 || (md.nRound >= 2 && md.nRound <= 4));
    const bool golden = md.nCurRound >= md.nRound + 1 && md.nTeamGRndMatchType == 1;
    if (!regular && !golden)
        return;
    view.OnClickedStop();
    PlayFlowSound(u"boong");
    view.m_nBoongSecond = shown;
    if (golden && view.m_nTeamMember >= 0 && view.m_nTeamMember < 6)
        view.m_bTeamMemberDone[view.m_nTeamMember] = 1;
}

// Between whole seconds: the team tag panel, the punch indicators and the fine clock.
void StepWithinSecond(CMainWnd& view, MatchData& md) {
    if (md.nGameState == 3) {
        const bool tagging = view.m_bTagActive[0] || view.m_bTagActive[1] || view.m_bJointTag;
        if (md.nCompetitionType == 1 && tagging &&
            (view.m_nTagMarkMs - md.nRemainTime >= 500 || view.m_nTagMarkMs < md.nRemainTime)) {
            view.m_nTagMarkMs = md.nRemainTime;
            view.UpdateChangeInfo();
            view.RedrawTagPanel();
        }
    }
    // A punch waits for the judges only nJudgeButtonTime; then its indicator goes and the side's
    // unconfirmed punch slot with it.
    if (md.bUsePunch) {
        for (int side = 0; side < 2; ++side) {
            if (view.m_nPunchState[side] != 0 &&
                view.m_nPunchTime[side] - md.nRemainTime > md.nJudgeButtonTime) {
                view.m_nPunchState[side] = 0;
                if (view.m_pExtScrDlg)
                    view.m_pExtScrDlg->SetSideIndicators(view.m_nPunchState[0], view.m_nPunchState[1]);
                view.CompactJudgeSlots(side);
            }
        }
    }
    if (md.nRemainTime < ClockRules::kFineClockMs)
        view.ShowClock(view.m_nShownSeconds, md.nRemainTime);
    else
        view.ShowClockSeconds(view.m_nShownSeconds);
}

// The round-win system, or the point gap, or the last regular round, or the golden round.
void SettleRoundOutcome(CMainWnd& view, MatchData& md) {
    const int gapRound = md.nCompetitionType == 1 ? md.nTeamPTGCheckRound : md.nRound - 1;
    if (md.nCurRound == gapRound && md.bUsePointGap) {
        int side = 0;
        if (view.CheckPointGap(&side)) {
            md.nWinSide = side;
            md.nDecisionKind = 1;
            md.nWinRound = md.nCurRound;
            view.DecideWinner(side, 1);
        }
    } else if (md.nCurRound == md.nRound && md.nCompetitionRule != 1) {
        if (ClockRules::MatchTotal(md, 0) == ClockRules::MatchTotal(md, 1)) {
            if (md.nCompetitionType == 1 && md.bTeamDrawUse)
                view.ShowDlgItem(OperatorIds::Draw, true);
            if (!AskYes(view, u"Are you sure to play a Golden Point Round?"))
                md.nGameState = 4;
        } else {
            AskYes(view, u"Are you sure to end this game?");
        }
    } else if (md.nCurRound >= md.nRound + 1) {
        view.DecideRoundEnd();
    }
}

void EndRoundByClock(CMainWnd& view, MatchData& md) {
    view.StopTechWindows();
    view.KillTimer(TIMER_ROUND_CLOCK);
    md.nLastTick = md.nRemainTime = 0;
    view.ShowClockMs(0);
    // The time ran out, then the round ended: the end-of-round line reads the ended round's 0:00.
    view.SendIvrMessage(6, u"", u"", u"", u"");
    view.SendWtMessage(0, 0, 4, 0);
    md.nGameState = 5;
    view.SendWtMessage(0, 0, 5, 0);
    view.UpdateStateDisplay();
    view.SetTimer(TIMER_ROUND_END_DELAY, 2000);
    view.m_bRoundEndPending = 1;
    // Tags, punch indicators and unconfirmed slots belong to the round that ended.
    for (int side = 0; side < 2; ++side) {
        view.m_bTagActive[side] = 0;
        view.m_nTagStartMs[side] = 0;
        view.m_nPunchState[side] = 0;
        view.ResetJudgeWindow(side);
        view.CompactJudgeSlots(side);
    }
    view.m_bJointTag = 0;
    view.RedrawTagPanel();
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->SetSideIndicators(0, 0);
    PlayFlowSound(u"boong");
    SendFlowNotices(view, FlowStep::RoundEnd);
    LogFlowEvent(view, 1, u"0:00");
    SettleRoundOutcome(view, md);
    view.PrepareRest(true);
}

// The end of an injury count or a coach time-out: the match goes back to where it was.
void RestoreSavedState(CMainWnd& view, MatchData& md) {
    md.nGameState = view.m_nSavedState;
    md.nRemainTime = md.nLastTick = view.m_nSavedRemain;
    view.m_bSaved = 0;
    view.UpdateStateDisplay();
}

} // namespace

void CMainWnd::OnRoundClockTick() {
    MatchData* md = g_pMatchData;
    if (!md) {
        KillTimer(TIMER_ROUND_CLOCK);
        return;
    }
    const DWORD now = GetTickCount();
    const DWORD elapsed = now - m_nRoundTick;
    OnRoundClockStep(now);
    const ClockRules::RoundStep step = ClockRules::StepRound(md->nRemainTime, m_nShownSeconds, elapsed);
    md->nRemainTime = step.remainMs;
    m_nShownSeconds = step.shownSeconds;
    if (step.warning)
        PlayFlowSound(u"hittech");
    if (step.ended) {
        EndRoundByClock(*this, *md);
        return;
    }
    if (static_cast<UINT>(md->nRemainTime) < ClockRules::kRoundTickMs)
        SetTimer(TIMER_ROUND_CLOCK, ClockRules::RoundTickMs(md->nRemainTime));
    if (!step.secondPassed) {
        StepWithinSecond(*this, *md);
        return;
    }
    ShowClockSeconds(m_nShownSeconds);
    CheckTeamBoutSignal(*this, *md);
    md->nLastTick = md->nRemainTime;
    SendFlowNotices(*this, FlowStep::Time);
    SendIvrMessage(10, u"", u"", u"", u"");
    SendWtMessage(0, 0, 0, 0);
    SendTvgMessage(md->nTvgSupplier, 0, u"", u"", u"");
}

void CMainWnd::PrepareRest(bool openRoundResult) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    md->nRemainTime = ClockRules::ClampClockSeconds(md->nRestTime) * 1000;
    m_nRestCount = md->nRemainTime / 1000;
    ShowClockSeconds(m_nRestCount);
    md->nLastTick = md->nRemainTime;
    m_nRestTick = m_nRoundTick;
    KillTimer(TIMER_KYESHI_CLOCK);
    KillTimer(TIMER_TIMEOUT_CLOCK);
    m_bSaved = 0;
    if (md->nCurRound < md->nRound + 1) {
        SendWtMessage(0, 1, 0, 0);
        SetTimer(TIMER_REST_CLOCK, 1000);
    } else {
        md->nRemainTime = 0;
    }
    if (openRoundResult && md->nCompetitionRule == 1)
        SetTimer(TIMER_OPEN_ROUND_RESULT, 2);
}

void CMainWnd::OnRestTick() {
    MatchData* md = g_pMatchData;
    if (!md) {
        KillTimer(TIMER_REST_CLOCK);
        return;
    }
    const DWORD now = GetTickCount();
    const ClockRules::RestStep step = ClockRules::StepRest(md->nRemainTime, m_nRestCount, now - m_nRestTick);
    md->nRemainTime = step.remainMs;
    m_nRestTick = now;
    m_nRestCount = step.seconds;
    if (step.ended) {
        KillTimer(TIMER_REST_CLOCK);
        md->nLastTick = md->nRemainTime = 0;
        PlayFlowSound(u"boong");
        // A decided match, the equipment test and a declined golden point (4) keep their state: 4 turned
        // into 6 would let Start begin the golden round without its question.
        if (md->nGameState != 11 && md->nGameState != 13 && md->nGameState != 4)
            md->nGameState = 6;
        UpdateStateDisplay();
        ShowClockMs(0);
        SendWtMessage(0, 1, 1, 0);
        return;
    }
    if (!step.secondPassed)
        return;
    if (step.warning)
        PlayFlowSound(u"mboong");
    ShowClockSeconds(m_nRestCount);
    md->nLastTick = md->nRemainTime;
    SendWtMessage(0, 1, 0, 0);
}

void CMainWnd::OnKyeShiTick() {
    MatchData* md = g_pMatchData;
    if (!md) {
        KillTimer(TIMER_KYESHI_CLOCK);
        return;
    }
    const DWORD now = GetTickCount();
    m_nKyeShiRemain =
        ClockRules::StepCountdown(m_nKyeShiRemain, now - m_nKyeShiTick, ClockRules::kKyeShiStepCapMs);
    const int seconds = m_nKyeShiRemain / 1000;
    if (m_pExtIvrScrDlg) {
        char text[32];
        std::snprintf(text, sizeof text, "Kye-Shi: %d:%02d", seconds / 60, seconds % 60);
        m_pExtIvrScrDlg->SetDisplay(m_pExtIvrScrDlg->Mode(), QString::fromUtf8(text));
    }
    m_strInjuryText = ClockRules::CountdownCaption(u"Kye-Shi", m_nKyeShiRemain);
    if (seconds == 0) {
        KillTimer(TIMER_KYESHI_CLOCK);
        m_strInjuryText = u"0:00";
        ShowCountdown(*this, Q(m_strInjuryText));
        RestoreSavedState(*this, *md);
        SendTvgMessage(md->nTvgSupplier, 1, u"", u"", u"");
        SendWtMessage(0, 8, 2, 0);
        return;
    }
    ShowCountdown(*this, Q(m_strInjuryText));
    m_nKyeShiTick = now;
    SendTvgMessage(md->nTvgSupplier, 1, u"", u"", u"");
    SendWtMessage(0, 8, 1, 0);
}

void CMainWnd::OnTimeoutTick() {
    MatchData* md = g_pMatchData;
    if (!md) {
        KillTimer(TIMER_TIMEOUT_CLOCK);
        return;
    }
    const DWORD now = GetTickCount();
    // The coach's minute is counted by the real time passed, without a cap per step.
    m_nTimeoutRemain =
        ClockRules::StepCountdown(m_nTimeoutRemain, now - m_nTimeoutTick, ClockRules::kNoStepCap);
    if (m_nTimeoutRemain / 1000 > 0) {
        ShowCountdown(*this, Q(ClockRules::CountdownCaption(u"Time out", m_nTimeoutRemain)));
        m_nTimeoutTick = now;
        return;
    }
    KillTimer(TIMER_TIMEOUT_CLOCK);
    ShowCountdown(*this, QStringLiteral("Time out\n0:00"));
    RestoreSavedState(*this, *md);
}
