// The operator view's side of the device simulator.
#include "app/MainWnd.h"
#include "devices/SimDlg.h"

void CMainWnd::OnClickedSimulation() {
    if (!m_pSimDlg)
        m_pSimDlg = new CTK_SimDlg(this);
    m_pSimDlg->show();
    m_pSimDlg->raise();
}
