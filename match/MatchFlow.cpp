// The operator's control of the match: start, resume and the next round, stop, stop all, the injury count
// (Kye-Shi), the coach time-out, the injury display check box and the pause key between rounds.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/RuleSettings.h"
#include "app/Timers.h"
#include "match/ClockRules.h"
#include "match/DecisionRules.h"
#include "match/FlowNotices.h"
#include "match/MatchFlowSteps.h"
#include "platform/TickSource.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QAbstractButton>
#include <QString>

#include <algorithm>
#include <iterator>

using namespace MatchFlowSteps;

namespace {

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The round limits of the start path; true when the start may go on.
bool RoundLimitsAllowStart(const CMainWnd& view, const MatchData& md) {
    if (md.nCompetitionRule != 1)
        return md.nCurRound <= md.nRound + 1;
    // No round starts after the regular ones (the golden round begins from state 4 in the last one); a
    // golden round that was stopped resumes like any other.
    const bool resume = md.nGameState >= 7 && md.nGameState <= 9;
    if (md.nCurRound > md.nRound && !resume)
        return false;
    if (!md.bRoundOver)
        return true;
    if (md.nCurRound >= 1 && md.nRoundWinner[md.nCurRound - 1] == 0) {
        Tell(view, u"The round winner does not decided! \r\nPlease decide the round winner!");
        return false;
    }
    return md.nCurRound != 3 && md.aSide[0].nRoundWins <= 1 && md.aSide[1].nRoundWins <= 1;
}

// In a team golden round of member bouts a bout decided by the operator closes, and the clock restarts with
// the time the following member bouts have left. Bouts exist only there: a resume in any other round, or
// of another match, closes nothing.
void CloseDecidedTeamBout(CMainWnd& view, MatchData& md) {
    if (md.nCompetitionType != 1 || md.nCurRound < md.nRound + 1 || md.nTeamGRndMatchType != 1)
        return;
    const int bout = view.m_nTeamMember;
    if (bout < 0 || bout >= 6)
        return;
    if (md.nDecisionKind == 2)
        view.m_bTeamMemberDone[bout] = 1;
    if (!view.m_bTeamMemberDone[bout])
        return;
    view.DecideRoundWinner(bout, 3, 11, 1);
    ++view.m_nTeamMember;
    md.nDecisionKind =
        DecisionRules::kNoDecision; // the decision was this bout's; the next bout starts undecided
    view.CloseWinnerPopup();
    // Held at 0: a bout count past the golden round's length ends that round at once instead of running a
    // negative clock.
    const int seconds = ClockRules::ClampClockSeconds(md.nTeamGRndMatchTime -
                                                      md.nTeamIndCompetitionTime * view.m_nTeamMember);
    md.nRemainTime = md.nLastTick = seconds * 1000;
    view.m_nShownSeconds = seconds;
}

} // namespace

void CMainWnd::ResetTeamBouts() {
    m_nTeamMember = 0;
    std::fill(std::begin(m_bTeamMemberDone), std::end(m_bTeamMemberDone), 0);
}

namespace {

// Algorithm of the Start button; nextRound: the round-result click, which asks nothing in state 5 and
// knows no state 15.
void StartClock(CMainWnd& view, bool nextRound) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    HideInjuryDisplay(view);
    if (md->nCompetitionType == 1) {
        view.ShowDlgItem(OperatorIds::Draw, false);
        LoadTeamRules(*md);
    }
    if (!CheckDevicesRegistered(*md)) {
        Tell(view, u"Some equipments are not registered!");
        return;
    }
    const int state = md->nGameState;
    if (state == 13) {
        Tell(view,
             u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment "
             u"Test Mode.");
        return;
    }
    if (state == 15 && !nextRound) {
        md->nGameState = 5;
        view.OnClickedStart();
        view.UpdateStateDisplay();
        return;
    }
    if (state < 1 || state > 9)
        return;
    if (!RoundLimitsAllowStart(view, *md))
        return;

    // The round's time runs from the press, not from the end of the records and notices below; after a
    // question, from the answer.
    DWORD pressed = GetTickCount();
    if (state == 4 && md->nCurRound == md->nRound) {
        if (!AskYes(view, u"Are you sure to start a Golden Point Round and clear all point?"))
            return;
        pressed = GetTickCount();
        const bool tied = md->nCompetitionRule == 1
                              ? md->aSide[0].nRoundWins == md->aSide[1].nRoundWins
                              : ClockRules::MatchTotal(*md, 0) == ClockRules::MatchTotal(*md, 1);
        if (!tied)
            return;
        view.DecideRoundWinner(md->nCurRound - 1, 3, 11, 1);
        ++md->nCurRound;
        view.PrepareRound();
        SendFlowNotices(view, FlowStep::NextRound);
        view.SendIvrMessage(1, u"", u"", u"", u"");
    } else if (state == 1 || state == 2 || state == 6) {
        if (!ClockRules::RoundMayFollow(*md))
            return;
        ++md->nCurRound;
        view.LogMatchRow();
        view.PrepareRound();
        SendFlowNotices(view, FlowStep::RoundStart);
        // The video replay hears of the match's start with its information, of a later round by its number.
        if (md->nCurRound == 1) {
            view.CreateJudgeLampLog();
            view.SendIvrMessage(0, u"", u"", u"", u"");
            if (md->pTvgLink && md->bTvgConnected)
                view.KillTimer(TIMER_TVG_CLOCK);
        } else {
            view.SendIvrMessage(1, u"", u"", u"", u"");
        }
    } else if (state == 5) {
        if (!ClockRules::RoundMayFollow(*md))
            return;
        if (!nextRound && !AskYes(view, u"Are you sure to start the next round?"))
            return;
        pressed = GetTickCount();
        ++md->nCurRound;
        view.PrepareRound();
        SendFlowNotices(view, FlowStep::NextRound);
        view.SendIvrMessage(1, u"", u"", u"", u"");
    } else if (state >= 7) {
        SendFlowNotices(view, FlowStep::Resume);
        view.SendIvrMessage(3, u"", u"", u"", u"");
        if (state == 9) {
            LogFlowEvent(view, 5, view.m_strClockText);
            view.SendWtMessage(0, 8, 2, 0);
        } else {
            LogFlowEvent(view, 3, view.m_strClockText);
        }
        CloseDecidedTeamBout(view, *md);
    }

    view.KillTimer(TIMER_REST_CLOCK);
    view.KillTimer(TIMER_KYESHI_CLOCK);
    view.KillTimer(TIMER_TIMEOUT_CLOCK);
    view.m_bSaved = 0;
    md->nGameState = 3;
    view.UpdateStateDisplay();
    view.ShowClockSeconds(view.m_nShownSeconds);
    SendFlowNotices(view, FlowStep::ClockRunning);
    view.SendWtMessage(0, 0, 1, 0);
    view.SendWtMessage(0, 2, 0, 0);
    if (md->nCompetitionRule == 1)
        view.SendWtMessage(0, 25, 0, 0);
    view.m_nRoundTick = pressed;
    view.SetTimer(TIMER_ROUND_CLOCK, 10);
    view.SendTvgMessage(md->nTvgSupplier, 0, u"", u"", u"");
    if (view.m_bRoundEndPending) {
        view.KillTimer(TIMER_ROUND_END_DELAY);
        view.m_bRoundEndPending = 0;
    }
    view.StopTechWindows();
}

// Saves the match's state for an injury count or a coach time-out. A count that begins while another runs
// keeps the first saved state and stops the other count, so the end of this one goes back to the match
// and never to the other count's state.
void SaveStateForCount(CMainWnd& view, MatchData& md) {
    if (view.m_bSaved) {
        view.KillTimer(TIMER_KYESHI_CLOCK);
        view.KillTimer(TIMER_TIMEOUT_CLOCK);
        return;
    }
    view.m_nSavedState = md.nGameState;
    view.m_nSavedRemain = md.nRemainTime;
    view.m_bSaved = 1;
}

} // namespace

void CMainWnd::OnClickedStart() {
    StartClock(*this, false);
}

void CMainWnd::NextRound() {
    StartClock(*this, true);
}

void CMainWnd::OnClickedStop() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    HideInjuryDisplay(*this);
    if (md->nGameState <= 2 || md->nGameState == 5)
        return;
    StopTechWindows();
    KillTimer(TIMER_KYESHI_CLOCK);
    KillTimer(TIMER_TIMEOUT_CLOCK);
    KillTimer(TIMER_ROUND_CLOCK);
    m_bSaved = 0;
    SendFlowNotices(*this, FlowStep::Stop);
    SendIvrMessage(2, u"", u"", u"", u"");
    SendWtMessage(0, 0, 2, 0);
    md->nGameState = 8;
    UpdateStateDisplay();
    LogFlowEvent(*this, 1, m_strClockText); // "Stop round N"
}

void CMainWnd::StopAll() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    for (UINT_PTR id : {TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK, TIMER_REST_CLOCK, TIMER_ROUND_CLOCK})
        KillTimer(id);
    m_bSaved = 0;
    if (md->nOvrSupplier == 4)
        SendBracketEvent(2, u"", u"", u"");
    SendIvrMessage(2, u"", u"", u"", u"");
    md->nGameState = 8;
    UpdateStateDisplay();
    if (md->nOvrSupplier == 8)
        m_JsonQueue.Append(4);
    SendWtMessage(0, 0, 2, 0);
    LogFlowEvent(*this, 1, m_strClockText); // "Stop round N"
}

void CMainWnd::OnClickedKyeShi() {
    MatchData* md = g_pMatchData;
    if (!md || md->nGameState <= 2)
        return;
    SaveStateForCount(*this, *md);
    const int saved = m_nSavedState;
    md->nGameState = saved == 5 || saved == 6 || saved == 15 ? 15 : 9;
    HideInjuryDisplay(*this);
    KillTimer(TIMER_ROUND_CLOCK);
    UpdateStateDisplay();
    ShowClockSeconds(m_nShownSeconds);
    m_nKyeShiRemain = ClockRules::ClampClockSeconds(md->nKyeShiTime) * 1000;
    m_nKyeShiTick = GetTickCount();
    m_strInjuryText = ClockRules::CountdownCaption(u"Kye-Shi", m_nKyeShiRemain);
    ShowCountdown(*this, Q(m_strInjuryText));
    LogFlowEvent(*this, 7, m_strClockText);
    SendWtMessage(0, 8, 0, 0);
    SendWtMessage(0, 8, 1, 0);
    SendTvgMessage(md->nTvgSupplier, 1, u"", u"", u"");
    SetTimer(TIMER_KYESHI_CLOCK, 1000);
}

void CMainWnd::OnClickedCoachTimeout() {
    MatchData* md = g_pMatchData;
    if (!md || md->nGameState <= 2)
        return;
    SaveStateForCount(*this, *md);
    md->nGameState = 10;
    HideInjuryDisplay(*this);
    KillTimer(TIMER_ROUND_CLOCK);
    UpdateStateDisplay();
    ShowClockSeconds(m_nShownSeconds);
    m_nTimeoutRemain = ClockRules::ClampClockSeconds(md->nRCTime) * 1000;
    m_nTimeoutTick = GetTickCount();
    ShowCountdown(*this, Q(ClockRules::CountdownCaption(u"Time out", m_nTimeoutRemain)));
    KillTimer(TIMER_KYESHI_CLOCK);
    SetTimer(TIMER_TIMEOUT_CLOCK, 1000);
}

void CMainWnd::OnClickedKyeShiCheck() {
    MatchData* md = g_pMatchData;
    if (!md || md->nGameState < 3)
        return;
    auto* check = qobject_cast<QAbstractButton*>(GetDlgItem(kKyeShiCheck));
    if (!check || !check->isChecked()) {
        ShowDlgItem(OperatorIds::SecondPanel, false);
        return;
    }
    if (md->nGameState == 3) {
        Tell(*this, u"Please click 'Kye-Shi' button.");
        check->setChecked(false);
        return;
    }
    ShowDlgItem(OperatorIds::SecondPanel, true);
    LogFlowEvent(*this, 32, m_strInjuryText);
}

void CMainWnd::PauseRest() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    StopTechWindows();
    for (UINT_PTR id : {TIMER_REST_CLOCK, TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK, TIMER_ROUND_CLOCK})
        KillTimer(id);
    m_bSaved = 0;
    md->nGameState = 14;
    UpdateStateDisplay();
    if (md->nOvrSupplier == 4)
        SendBracketEvent(2, u"", u"", u"");
    SendIvrMessage(2, u"", u"", u"", u"");
    if (md->nOvrSupplier == 8)
        m_JsonQueue.Append(4);
    SendWtMessage(0, 1, 1, 0); // the rest stopped by key
    LogFlowEvent(*this, 2, m_strClockText);
}

void CMainWnd::ResumeRest() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    KillTimer(TIMER_ROUND_CLOCK);
    md->nGameState = 5;
    UpdateStateDisplay();
    // The pause does not count as rest: the rest clock goes on from where it stopped.
    m_nRestTick = GetTickCount();
    SetTimer(TIMER_REST_CLOCK, 1000);
}

void CMainWnd::StopTechWindows() {
    for (int side = 0; side < 2; ++side) {
        if (KillTimer(TIMER_TECH_WINDOW_A[side]))
            OnTechWindowA(side, 1);
        if (KillTimer(TIMER_TECH_WINDOW_B[side]))
            OnTechWindowB(side, 1);
        if (KillTimer(TIMER_TECH_WINDOW_C[side]))
            OnTechWindowC(side, 1);
        if (KillTimer(TIMER_TECH_WINDOW_D[side]))
            OnTechWindowD(side, 1);
    }
}
