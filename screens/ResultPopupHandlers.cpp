// The operator view's handlers that open, place and close the decision pop-ups: the superiority pop-up and
// the round and match result pop-ups (screens/ResultPopups.h). The public ones open only with two or more
// monitors; the operator's copy in stand-alone mode.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/ExtScrDlg.h"
#include "screens/ResultPopupRules.h"
#include "screens/ResultPopups.h"

namespace {

// The criterion a golden-round decision passes to the round result.
constexpr int kGoldenRoundCriterion = 2;

template <typename T> void Delete(QPointer<T>& window) {
    delete window.data();
    window.clear();
}

} // namespace

void CMainWnd::ShowRoundWinnerPopup(int winner, int criterion) {
    const MatchData* md = g_pMatchData;
    if (!md || md->nMonitorCount < 2)
        return;
    Delete(m_pGRndWinDispDlg);
    const QRect area = PublicScreenRect(*md);
    m_pGRndWinDispDlg =
        new CTK_GRndWinDispDlg(area.left(), area.top(), area.right() + 1, area.bottom() + 1, 1, winner,
                               criterion, QString::fromStdU16String(g_strMatchTitle), this);
    m_pGRndWinDispDlg->show();
}

void CMainWnd::CloseRoundWinnerPopup() {
    Delete(m_pGRndWinDispDlg);
}

void CMainWnd::ShowGoldenRoundWinnerScreen(int criterion) {
    if (const MatchData* md = g_pMatchData)
        ShowRoundWinnerPopup(md->nWinSide, criterion);
}

void CMainWnd::ShowSuperiorityScreen() {
    const MatchData* md = g_pMatchData;
    if (!md || md->nMonitorCount < 2)
        return;
    Delete(m_pGRndSupDlg);
    const QRect area = ResultPopups::SuperiorityRect(*md);
    m_pGRndSupDlg = new CTK_GRndSupDlg(area.left(), area.top(), area.right() + 1, area.bottom() + 1,
                                       md->nCompetitionRule == 1 ? 1 : 0, this);
    m_pGRndSupDlg->show();
}

// The operator's "Show" button: the same superiority window, where the button asks for it.
void CMainWnd::ShowSuperiorityWindow(const QRect& rect, int mode) {
    Delete(m_pGRndSupDlg);
    m_pGRndSupDlg =
        new CTK_GRndSupDlg(rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1, mode, this);
    m_pGRndSupDlg->show();
}

void CMainWnd::HideSuperiorityWindow() {
    Delete(m_pGRndSupDlg);
}

void CMainWnd::ShowRoundWinnerScreens(int side) {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    ShowRoundWinnerPopup(side, kGoldenRoundCriterion);
    if (md->bStandAloneMode) {
        Delete(m_pGRndWinDispDlgOp);
        m_pGRndWinDispDlgOp = new CTK_GRndWinDispDlg_OP(1, this);
        m_pGRndWinDispDlgOp->show();
    }
}

void CMainWnd::CloseRoundEndScreens() {
    Delete(m_pGRndSupDlg);
    Delete(m_pGRndWinDispDlg);
    Delete(m_pGRndWinDispDlgOp);
}

void CMainWnd::PlaceRoundEndScreens() {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool twoMonitors = md->nMonitorCount >= 2;
    if (m_pGRndSupDlg) {
        m_pGRndSupDlg->PlaceOnScreen();
        m_pGRndSupDlg->setVisible(twoMonitors);
    }
    if (m_pGRndWinDispDlg) {
        m_pGRndWinDispDlg->PlaceOnScreen();
        m_pGRndWinDispDlg->setVisible(twoMonitors);
    }
    if (m_pGRndWinDispDlgOp)
        m_pGRndWinDispDlgOp->PlaceOnScreen();
}
