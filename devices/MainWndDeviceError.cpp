// The operator view's device-error pop-up over the public scoreboard.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "devices/DevErrDlg.h"
#include "screens/ExtScrDlg.h"

void CMainWnd::ShowDeviceErrorPopup(int show) {
    if (!show) {
        delete m_pDevErrDlg;
        m_pDevErrDlg = nullptr;
        return;
    }
    if (m_pDevErrDlg) {
        m_pDevErrDlg->show();
        return;
    }
    const MatchData* md = g_pMatchData;
    if (!md || md->nMonitorCount < 2)
        return;
    const QRect r = PublicScreenRect(*md);
    m_pDevErrDlg = new CTK_DevErrDlg(DeviceStatusLoad(*md), r.left(), r.top(), r.left() + r.width(),
                                     r.top() + r.height(), this);
    m_pDevErrDlg->show();
}
