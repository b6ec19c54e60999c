// Video-replay requests: a coach's request against the side's quota, the operator's quota buttons, and the
// decision the replay dialog sends, turned into a score or gam-jeom change or the loss of a request.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/ClockRules.h"
#include "match/MatchFlowSteps.h"
#include "match/ScoreRules.h"
#include "match/VideoReplayRules.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/MatchRecords.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QPushButton>
#include <QString>

#include <cassert>
#include <cstring>
#include <string>

using VideoReplayRules::Change;
using VideoReplayRules::Decision;

namespace {

std::u16string U16(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

// The public video-replay screen for the side in the mode; nothing with fewer than two monitors.
void ShowReplayScreen(CMainWnd& view, int side, int mode) {
    view.ShowExtIvrScreen(side, 1);
    if (view.m_pExtIvrScrDlg)
        view.m_pExtIvrScrDlg->SetDisplay(mode, QString());
}

void QueueJson(CMainWnd& view, const MatchData& md, const std::vector<int>& actions) {
    if (md.nOvrSupplier != 8)
        return;
    for (int action : actions)
        view.m_JsonQueue.Append(action);
}

void ShowQuotas(CMainWnd& view, const MatchData& md) {
    view.ShowReplayQuota(md.aSide[0].nVRRemain, md.aSide[1].nVRRemain);
}

void ApplyAccepted(CMainWnd& view, MatchData& md, const Decision& d) {
    QueueJson(view, md, VideoReplayRules::AcceptedJsonActions(d));
    view.SendWtMessage(0, 13, d.requester, 1);
    switch (d.change) {
    case Change::GamJeom:
        if (d.add)
            view.AddGamJeom(d.side);
        else
            view.RemoveGamJeom(d.side);
        break;
    case Change::DoubleGamJeom:
        if (d.add)
            view.AddDoubleGamJeom(d.side);
        else
            view.RemoveDoubleGamJeom(d.side);
        break;
    case Change::Points: {
        const int points = VideoReplayRules::DecisionPoints(d, md.nJudgePointMiddle);
        const std::u16string time = view.m_strClockText; // the change may redraw the clock text
        if (d.add)
            view.AddPoint(time, ScoreRules::kOperator, d.side, ScoreRules::kVideoReplay, points, d.category);
        else
            view.RemovePoint(time, d.side, ScoreRules::kVideoReplay, points, d.category);
        break;
    }
    }
    ShowReplayScreen(view, d.side, VideoReplayRules::AcceptedScreenMode(d.requester));
    view.InvalidateJudgeRows(0);
    view.InvalidateJudgeRows(1);
}

void ApplyRejected(CMainWnd& view, MatchData& md, const Decision& d) {
    const bool referee = d.requester == VideoReplayRules::kReferee;
    ShowReplayScreen(view, referee ? d.side : d.requester, VideoReplayRules::RejectedScreenMode(d.requester));
    if (!referee) {
        int& remain = md.aSide[d.requester].nVRRemain;
        remain = VideoReplayRules::QuotaDown(remain);
    }
    QueueJson(view, md, VideoReplayRules::RejectedJsonActions(d));
    view.SendWtMessage(0, 13, d.requester, 0);
}

// A decision that ties the match at the end of the last round asks whether a golden point round follows.
void AskGoldenPoint(CMainWnd& view, MatchData& md) {
    if (md.nCurRound != md.nRound || view.m_nShownSeconds != 0)
        return;
    if (ClockRules::MatchTotal(md, 0) != ClockRules::MatchTotal(md, 1))
        return;
    if (MatchFlowSteps::AskYes(view, u"Are you sure to play a Golden Point Round?"))
        return;
    md.nGameState = 4;
    // The round is no longer over waiting for its winner: without this the round-win system would refuse
    // to start the golden round.
    view.UpdateStateDisplay();
}

void AdjustQuota(CMainWnd& view, int side, bool up) {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    int& remain = md.aSide[side].nVRRemain;
    remain = up ? VideoReplayRules::QuotaUp(
                      remain, VideoReplayRules::QuotaLimit(md.nCompetitionType, md.nVRQuota, md.nTeamVRQuota))
                : VideoReplayRules::QuotaDown(remain);
    ShowQuotas(view, md);
}

} // namespace

void CMainWnd::RequestVideoReplay(int side) {
    if (side < 0 || side > 1) {
        assert(!"video-replay request of a side that does not exist");
        DebugPrintf("video-replay request of side %d dropped", side);
        return;
    }
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    if (md.aSide[side].nVRRemain < 1) {
        MessageBox(GetSafeHwnd(), u"There is no Video Request Quota!");
        return;
    }
    if (OpenReplayDialog(side))
        ShowReplayScreen(*this, side, VideoReplayRules::RequestScreenMode(side));
    if (m_bLogOpen)
        LogMatchEvent(md.nCurRound, 0, m_strClockText, side, 0, 0, 0);
    QueueJson(*this, md, {VideoReplayRules::RequestJsonAction(side)});
    SendWtMessage(0, 11, side, 0);
}

void CMainWnd::OnFinalDecision(const char* text) {
    // Read no further than one byte past the longest text the dialog sends, so an unterminated or huge
    // text is refused as overlong instead of being scanned.
    const std::size_t length = text ? strnlen(text, VideoReplayRules::kMaxDecisionText + 1) : 0;
    const std::string_view raw(text ? text : "", length);
    std::string error;
    const std::optional<Decision> decision = VideoReplayRules::ParseDecision(raw, &error);
    if (!decision) {
        DebugPrintf("video-replay decision \"%.*s\" ignored: %s", static_cast<int>(raw.size()), raw.data(),
                    error.c_str());
        // The operator confirmed it and must know that it changed nothing.
        MessageBox(GetSafeHwnd(), "The video replay decision was not applied: " + error + ".");
        return;
    }
    if (!g_pMatchData) {
        OutputDebugString("video-replay decision without a match ignored");
        return;
    }
    MatchData& md = *g_pMatchData;
    ShowExtIvrScreen(0, 0);
    SendControlCharEvent(10, U16(decision->requesterLetter), U16(decision->sideLetter),
                         U16(decision->summary));
    if (decision->accepted)
        ApplyAccepted(*this, md, *decision);
    else
        ApplyRejected(*this, md, *decision);
    ShowQuotas(*this, md);
    AskGoldenPoint(*this, md);
}

void CMainWnd::OnClickedChungVideoReplay() {
    RequestVideoReplay(0);
}

void CMainWnd::OnClickedHongVideoReplay() {
    RequestVideoReplay(1);
}

void CMainWnd::OnClickedChungReplayRejected() {
    AdjustQuota(*this, 0, false);
}

void CMainWnd::OnClickedHongReplayRejected() {
    AdjustQuota(*this, 1, false);
}

void CMainWnd::OnClickedChungReplayQuotaUp() {
    AdjustQuota(*this, 0, true);
}

void CMainWnd::OnClickedHongReplayQuotaUp() {
    AdjustQuota(*this, 1, true);
}

void CMainWnd::ConnectVideoReplayButtons() {
    connect(Button(1127), &QPushButton::clicked, this, &CMainWnd::OnClickedChungVideoReplay);
    connect(Button(1135), &QPushButton::clicked, this, &CMainWnd::OnClickedHongVideoReplay);
    connect(Button(1002), &QPushButton::clicked, this, &CMainWnd::OnClickedChungReplayRejected);
    connect(Button(1003), &QPushButton::clicked, this, &CMainWnd::OnClickedHongReplayRejected);
    connect(Button(1025), &QPushButton::clicked, this, &CMainWnd::OnClickedChungReplayQuotaUp);
    connect(Button(1026), &QPushButton::clicked, this, &CMainWnd::OnClickedHongReplayQuotaUp);
    connect(Button(OperatorIds::RefereeReplay), &QPushButton::clicked, this, &CMainWnd::OnClickedIvrRequest);
}
