// The operator view's side of the match dialogs: the round result dialog it keeps one of, the winner
// selection it runs for a decision, the video-replay dialog of a request, and the winner displays and the
// reason banner it shows and deletes.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/DecisionRules.h"
#include "match/RoundResultDlg.h"
#include "match/ScoreRules.h"
#include "match/VideoReplayDlg.h"
#include "match/WinSelDlg.h"
#include "match/WinnerDisplayDlg.h"
#include "platform/DebugOutput.h"
#include "records/MatchRecords.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"

namespace {

// The referee's request shows the public video-replay screen with this kind.
constexpr int kRefereeRequestScreen = 9;
constexpr int kRefereeRequestLogEvent = 15;
constexpr int kReferee = 2;

template <typename T> void Delete(QPointer<T>& window) {
    delete window.data();
    window = nullptr;
}

} // namespace

void CMainWnd::ShowRoundResultDialog(int roundIndex, int winner, int reason) {
    const MatchData* md = g_pMatchData;
    // A decided or finished match has no round left to settle.
    if (!md || md->nGameState == 11 || md->nGameState == 0) {
        DebugPrintf("round result of round index %d not shown: the match is decided or finished", roundIndex);
        return;
    }
    // One at a time: a dialog still open shows the scores as they are now and comes forward; one that is
    // closing does not count.
    if (m_pRndResDlg && m_pRndResDlg->isVisible()) {
        m_pRndResDlg->Reevaluate(roundIndex, winner, reason);
        m_pRndResDlg->raise();
        m_pRndResDlg->activateWindow();
        return;
    }
    m_pRndResDlg = new CTK_RndResDlg(roundIndex, winner, reason, this);
    m_pRndResDlg->show();
}

void CMainWnd::CloseRoundResultDialog() {
    if (m_pRndResDlg)
        m_pRndResDlg->Dismiss();
    m_pRndResDlg = nullptr;
}

void CMainWnd::ForgetRoundResultDialog() {
    // The notice comes after the dialog has gone; a newer dialog opened meanwhile stays known.
    if (m_pRndResDlg && !m_pRndResDlg->isVisible())
        m_pRndResDlg = nullptr;
}

int CMainWnd::ChooseWinner(int side, int proposedKind) {
    CTK_WinSelDlg dialog(side, proposedKind, this);
    return dialog.DoModal();
}

bool CMainWnd::ConfirmRoundEndWinner(int side, int decision) {
    return ChooseWinner(side, decision) == IDOK;
}

bool CMainWnd::OpenReplayDialog(int requester) {
    if (m_pIvrDlg)
        return false;
    m_pIvrDlg = new CTK_IVRDlg(requester, this);
    m_pIvrDlg->show();
    return true;
}

void CMainWnd::OnClickedIvrRequest() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (!m_pIvrDlg) {
        ShowExtIvrScreen(kRefereeRequestScreen, 1);
        OpenReplayDialog(kReferee);
    }
    if (m_bLogOpen)
        LogMatchEvent(md->nCurRound, kRefereeRequestLogEvent, m_strClockText, kReferee, 0, 0, 0);
    SendWtMessage(0, 11, kReferee, 0);
}

void CMainWnd::ShowWinnerScreens(bool publicScreen, bool operatorScreen) {
    Delete(m_pWinDispDlg);
    Delete(m_pWinDispDlgOp);
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (publicScreen) {
        const QRect area = PublicScreenRect(*md);
        m_pWinDispDlg = new CTK_WinDispDlg(area.left(), area.top(), area.left() + area.width(),
                                           area.top() + area.height(), this);
        m_pWinDispDlg->show();
    }
    if (operatorScreen) {
        m_pWinDispDlgOp = new CTK_WinDispDlg_OP(this);
        m_pWinDispDlgOp->show();
    }
}

void CMainWnd::OpenDecisionPopup(int kind, int side, int left, int top, int right, int bottom) {
    Delete(m_pWinPopDlg);
    m_pWinPopDlg = new CTK_WinPopDlg(left, top, right, bottom, kind, side, this);
    // A reason with no picture of its own would cover the scoreboard with an empty box.
    if (!m_pWinPopDlg->HasPicture()) {
        DebugPrintf("decision banner of reason %d not shown: there is no picture %d", kind,
                    m_pWinPopDlg->ImageId());
        Delete(m_pWinPopDlg);
        return;
    }
    m_pWinPopDlg->show();
}

void CMainWnd::CloseWinnerPopup() {
    Delete(m_pWinPopDlg);
}

void CMainWnd::CloseWinnerScreens() {
    Delete(m_pWinDispDlgOp);
    Delete(m_pWinDispDlg);
    Delete(m_pWinPopDlg);
    CloseRoundEndScreens();
}

void CMainWnd::PlaceWinnerScreens() {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool twoMonitors = md->nMonitorCount >= 2;
    const QRect area = PublicScreenRect(*md);
    if (m_pWinDispDlg) {
        m_pWinDispDlg->setGeometry(area);
        m_pWinDispDlg->setVisible(twoMonitors);
    }
    if (m_pWinPopDlg) {
        const DecisionRules::PopupRect r =
            DecisionRules::DecisionPopupRect(md->nDisplayResolution, ScoreRules::UsesRoundWins(*md));
        m_pWinPopDlg->setGeometry(area.left() + r.left, area.top() + r.top, r.right - r.left,
                                  r.bottom - r.top);
        m_pWinPopDlg->setVisible(twoMonitors);
    }
}
