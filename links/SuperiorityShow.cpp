#include "links/SuperiorityShow.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/OperatorLayout.h"

#include <QPushButton>

QRect SuperiorityWindowRect(const MatchData& md) {
    // The public screen is centred on the second monitor, which lies right of the primary one.
    const int x0 = (md.nSecondRight - md.nExtScrWidth - md.nPrimaryRight) / 2 + md.nPrimaryRight;
    const int y0 = (md.nSecondBottom - md.nExtScrHeight) / 2;
    if (md.nDisplayResolution == 1)
        return QRect(QPoint(x0 + 218, y0 + 147), QPoint(x0 + 1064, y0 + 574));
    return QRect(QPoint(x0 + 325, y0 + 220), QPoint(x0 + 1595, y0 + 861));
}

void CMainWnd::OnClickedShowIvrScreen() {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (!Button(OperatorIds::Superiority)->isChecked()) {
        if (md->nMonitorCount >= 2)
            ShowSuperiorityWindow(SuperiorityWindowRect(*md), md->nCompetitionRule == 1 ? 1 : 0);
    } else {
        HideSuperiorityWindow();
    }
}
