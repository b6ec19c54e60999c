// Finishing a match, and the small handlers of the operator view around the result pop-ups: "Winner
// Cancel", the round result button and click areas, and the team point buttons.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Timers.h"
#include "devices/DeviceRegistration.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QPushButton>

#include <mutex>
#include <string_view>

namespace {

constexpr int kWinnerCancel = 1000;
constexpr int kFinishGame = 1072;
constexpr int kKyeShiCheck = 1245;
constexpr int kAddChungTeamPoint = 1289;
constexpr int kRemoveChungTeamPoint = 1290;
constexpr int kAddHongTeamPoint = 1291;
constexpr int kRemoveHongTeamPoint = 1292;
constexpr int kTeamPointKind = 20;
constexpr int kTeamPointValue = 10;
constexpr int kJsonMatchEndKind = 7;
constexpr int kIvrMatchEnd = 8;

constexpr std::u16string_view kEquipmentTestNotice =
    u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test Mode.";
constexpr std::u16string_view kInformation = u"Information";

bool AskYes(CMainWnd& view, std::u16string_view question) {
    return MessageBox(view.GetSafeHwnd(), question, kInformation, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

// Under the round-win system a finished round waits for its result in states 2 and 4..8.
bool RoundResultWaits(const MatchData& md) {
    const int state = md.nGameState;
    return md.nCompetitionRule == 1 && md.bRoundOver && (state == 2 || (state >= 4 && state <= 8));
}

// Where "Winner Cancel" takes the match: back to a wait before or between rounds (so Start begins the next
// round, never a round 0 or an ended one again), else to a stopped round that Start resumes.
int StateAfterCancel(int stateBefore, bool restCounting) {
    switch (stateBefore) {
    case 1:
    case 2:
    case 4:
    case 6:
    case 14:
        return stateBefore;
    case 5:
        return restCounting ? 5 : 6; // the rest may have run out while the match stood decided
    default:
        return 7;
    }
}

bool Within(int v, int low, int high) {
    return v >= low && v <= high;
}

void CompleteMatchLog(const MatchData& md) {
    WriteMatchLogTimes(1);
    for (int round = 0; round < md.nCurRound; ++round)
        WriteMatchLogRoundScores(round);
    WriteMatchLogRoundScores(10); // the match totals
    CloseMatchLog();
}

} // namespace

void CMainWnd::OnClickedFinishGame() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (auto* check = qobject_cast<QAbstractButton*>(GetDlgItem(kKyeShiCheck)))
        check->setChecked(false);
    ShowDlgItem(OperatorIds::SecondPanel, false);
    if (md->nGameState == 13) {
        AfxMessageBox(kEquipmentTestNotice);
        return;
    }
    if (!AskYes(*this, u"Do you want finish the game?"))
        return;

    KillTimer(TIMER_KYESHI_CLOCK);
    KillTimer(TIMER_TIMEOUT_CLOCK);
    KillTimer(TIMER_ROUND_CLOCK);
    KillTimer(TIMER_REST_CLOCK);
    CloseResultPopups();
    CloseRoundResultDialog();
    if (md->bPSSAutoOff)
        ReleaseMatchDevices(*this, md->nCompetitionType == 1);
    if (md->nOvrSupplier == 8)
        BuildJsonAction(3, kJsonMatchEndKind, 0);
    if (m_bLogOpen) {
        CompleteMatchLog(*md);
        m_bLogOpen = FALSE;
    }
    md->nGameState = 0;
    UpdateStateDisplay();
    ResetAfterMatch();

    // The match is finished here whatever the tournament database answers; only its notice is retried.
    if (md->bOvrConnected && md->nOvrSupplier == 3) {
        while (!SendTournamentMatchFinished()) {
            if (!AskYes(*this, u"Fail to sending the results[1]!!\r\nWould you send the results again?")) {
                MessageBox(GetSafeHwnd(),
                           u"Fail to sending the results[1]!!\r\nPlease inform the person concerned!",
                           kInformation, MB_OK | MB_ICONINFORMATION);
                return;
            }
        }
    }
    SendIvrMessage(kIvrMatchEnd, u"", u"", u"", u"");
}

void CMainWnd::FinishDecidedMatch() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    DebugPrintf("the decided match was not finished: finished now, before the next match");
    KillTimer(TIMER_REST_CLOCK);
    if (md->nOvrSupplier == 8)
        BuildJsonAction(3, kJsonMatchEndKind, 0);
    if (m_bLogOpen) {
        CompleteMatchLog(*md);
        m_bLogOpen = FALSE;
    }
    SendIvrMessage(kIvrMatchEnd, u"", u"", u"", u"");
}

void CMainWnd::CloseResultPopups() {
    CloseRoundEndScreens();
    ShowExtIvrScreen(0, 0);
    CloseWinnerScreens();
    CloseRoundWinnerPopup();
    ShowDeviceErrorPopup(0);
}

void CMainWnd::OnClickedWinnerCancel() {
    MatchData* md = g_pMatchData;
    // Only a decided match can be taken back; elsewhere state 7 would stop a running clock's match.
    if (!md || md->nGameState != 11)
        return;
    CloseWinnerScreens();
    CloseRoundEndScreens();
    CloseRoundWinnerPopup();
    WithdrawDecision();
    md->nGameState = StateAfterCancel(m_nStateBeforeDecision, m_nRestCount > 0);
    ShowDlgItem(kWinnerCancel, false);
    UpdateStateDisplay();
}

void CMainWnd::OnClickedRoundResult() {
    MatchData* md = g_pMatchData;
    if (md && RoundResultWaits(*md))
        ShowRoundResultDialog(md->nCurRound - 1, 0, 11);
}

void CMainWnd::OnLButtonDown(int x, int y) {
    MatchData* md = g_pMatchData;
    if (!md || !RoundResultWaits(*md))
        return;
    const bool nextRoundMark = (Within(x, 555, 655) || Within(x, 680, 780)) && Within(y, 450, 550);
    if (nextRoundMark) {
        if (AskYes(*this, u"Are you sure to go to the next round?"))
            NextRound();
    } else if (Within(x, 550, 730) && Within(y, 185, 260)) {
        OnClickedRoundResult();
    }
}

void CMainWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        OnLButtonDown(at.x(), at.y());
    }
    QWidget::mousePressEvent(event);
}

void CMainWnd::OnClickedAddChungTeamPoint() {
    if (g_pMatchData && g_pMatchData->nCompetitionType == 1)
        AddPoint(m_strClockText, 0, 0, kTeamPointKind, kTeamPointValue, 0);
}
void CMainWnd::OnClickedAddHongTeamPoint() {
    if (g_pMatchData && g_pMatchData->nCompetitionType == 1)
        AddPoint(m_strClockText, 0, 1, kTeamPointKind, kTeamPointValue, 0);
}
void CMainWnd::OnClickedRemoveChungTeamPoint() {
    if (g_pMatchData && g_pMatchData->nCompetitionType == 1)
        RemovePoint(m_strClockText, 0, kTeamPointKind, kTeamPointValue, 0);
}
void CMainWnd::OnClickedRemoveHongTeamPoint() {
    if (g_pMatchData && g_pMatchData->nCompetitionType == 1)
        RemovePoint(m_strClockText, 1, kTeamPointKind, kTeamPointValue, 0);
}

void CMainWnd::ConnectFinishButtons() {
    connect(Button(kFinishGame), &QPushButton::clicked, this, &CMainWnd::OnClickedFinishGame);
    connect(Button(kWinnerCancel), &QPushButton::clicked, this, &CMainWnd::OnClickedWinnerCancel);
    connect(Button(OperatorIds::RoundResult), &QPushButton::clicked, this, &CMainWnd::OnClickedRoundResult);
    connect(Button(kAddChungTeamPoint), &QPushButton::clicked, this, &CMainWnd::OnClickedAddChungTeamPoint);
    connect(Button(kAddHongTeamPoint), &QPushButton::clicked, this, &CMainWnd::OnClickedAddHongTeamPoint);
    connect(Button(kRemoveChungTeamPoint), &QPushButton::clicked, this,
            &CMainWnd::OnClickedRemoveChungTeamPoint);
    connect(Button(kRemoveHongTeamPoint), &QPushButton::clicked, this,
            &CMainWnd::OnClickedRemoveHongTeamPoint);
}

void CMainWnd::ResetAfterMatch() {
    ClearMatchIdentity();
    ClearPlayers();
    ResetMatchScreen();
    ShowPlayers();
    RefreshPlayerInfo();
    RedrawTagPanel();
    m_strRoundText.clear();
    SetDlgItemText(OperatorIds::RoundNumber, QString());
    m_nShownSeconds = 0;
    m_nBoongSecond = 0;
    ResetTeamBouts();
    ShowClock(0, 0);
}
