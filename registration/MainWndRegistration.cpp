// The operator view's side of registration: its registration button and bringing the dialog up for lost
// devices.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Messages.h"
#include "devices/PacketDispatch.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include <mutex>

void CMainWnd::OnClickedRegistration() {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    // The dialogs pair devices through the receiver, which needs its court and channel first.
    int panId = 0;
    {
        std::lock_guard guard(g_receiverNetworkLock); // the receive thread writes it
        panId = g_nReceiverPanId;
    }
    if (panId == 0) {
        MessageBox(GetSafeHwnd(), u"Please set the channel and court");
        return;
    }
    if (md->nCompetitionType == 1) {
        if (!m_pRegDlgTeam)
            m_pRegDlgTeam = new CTK_RegDlg_Team(this);
        m_pRegDlgTeam->show();
        m_pRegDlgTeam->raise();
        return;
    }
    if (!m_pRegDlg)
        m_pRegDlg = new CTK_RegDlg(this);
    m_pRegDlg->show();
    m_pRegDlg->raise();
}

void CMainWnd::ShowRegistrationForLostDevices() {
    if (!m_pRegDlg && !m_pRegDlgTeam) {
        if (const HWND other = g_hRegDlg.load()) {
            // A registration window the view does not hold refreshes its device display on its own.
            SendMessage(other, UM_REG_REFRESH_DEVICES, 0, 0);
            return;
        }
        OnClickedRegistration();
    }
    if (m_pRegDlgTeam) {
        m_pRegDlgTeam->ShowRegisteredMacs();
        m_pRegDlgTeam->PlaceOnScreen(1);
        m_pRegDlgTeam->show();
    } else if (m_pRegDlg) {
        m_pRegDlg->ResetDeviceButtons();
        m_pRegDlg->PlaceOnScreen(1);
        m_pRegDlg->show();
    }
}
