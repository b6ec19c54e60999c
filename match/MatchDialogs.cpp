// The operator view's side of the match dialogs: the round result dialog it keeps one of, and the winner
// selection it runs for a decision.
#include "app/MainWnd.h"
#include "match/RoundResultDlg.h"
#include "match/WinSelDlg.h"

void CMainWnd::ShowRoundResultDialog(int roundIndex, int winner, int reason) {
    // One at a time: a dialog still open is brought forward instead; one that is closing does not count.
    if (m_pRndResDlg && m_pRndResDlg->isVisible()) {
        m_pRndResDlg->raise();
        m_pRndResDlg->activateWindow();
        return;
    }
    m_pRndResDlg = new CTK_RndResDlg(roundIndex, winner, reason, this);
    m_pRndResDlg->show();
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
