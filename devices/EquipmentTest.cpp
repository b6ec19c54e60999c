// The equipment test: the operator view's state 13, in which hits and presses light the tiles of the test
// screens instead of scoring, and its way in and out with the match state kept.
#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Timers.h"
#include "devices/PssTestDlg.h"
#include "platform/MessageBox.h"
#include "platform/TickSource.h"
#include "screens/ExtScrDlg.h"

#include <QPushButton>

#include <string>

namespace {

constexpr int kEquipmentTestButton = 1243;
constexpr std::u16string_view kEquipmentTestNotice =
    u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment Test Mode.";

bool AskYes(CMainWnd& view, std::u16string_view text) {
    return MessageBox(view.GetSafeHwnd(), text, u"Information", MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

// The state the match goes back to after the test. Nothing runs during the test, so a running round comes
// back stopped, and an injury count or coach time-out comes back as the state it interrupted.
int StateToKeep(CMainWnd& view, MatchData& md) {
    int state = md.nGameState;
    if ((state == 9 || state == 10 || state == 15) && view.m_bSaved) {
        state = view.m_nSavedState;
        md.nRemainTime = md.nLastTick = view.m_nSavedRemain;
        view.m_bSaved = 0;
    }
    if (state == 3 || state == 9 || state == 10)
        return 8;
    if (state == 15)
        return 5;
    return state;
}

// A screen may be the sender of the message that closes it: it goes once its handler has returned, and
// takes no message meanwhile.
template <typename Screen> void CloseLater(Screen*& screen) {
    if (!screen)
        return;
    screen->DestroyWindow();
    screen->hide();
    screen->deleteLater();
    screen = nullptr;
}

} // namespace

void CMainWnd::CloseTestScreens() {
    CloseLater(m_pPssTestDlg);
    CloseLater(m_pPssTestDlgOp);
}

void CMainWnd::OnClickedEquipmentTest() {
    MatchData* record = g_pMatchData;
    if (!record)
        return;
    MatchData& md = *record;
    QPushButton* button = Button(kEquipmentTestButton);
    button->setCheckable(true);
    if (md.nGameState != 13) {
        if (!AskYes(*this, u"Are you sure to go to Equipment Test Mode?")) {
            button->setChecked(false);
            return;
        }
        if (md.nGameState == 3)
            StopTechWindows();
        for (const UINT_PTR id :
             {TIMER_KYESHI_CLOCK, TIMER_ROUND_CLOCK, TIMER_TIMEOUT_CLOCK, TIMER_REST_CLOCK})
            KillTimer(id);
        m_nTestSavedState = StateToKeep(*this, md);
        md.nGameState = 13;
        CloseTestScreens();
        if (md.nMonitorCount >= 2) {
            m_pPssTestDlg = new CTK_PssTestDlg(PublicScreenRect(md), this);
            m_pPssTestDlg->show();
        }
        if (md.bStandAloneMode) {
            m_pPssTestDlgOp = new CTK_PssTestDlg_Op(GetSafeHwnd(), this);
            m_pPssTestDlgOp->show();
        }
        button->setChecked(true);
        UpdateStateDisplay();
        return;
    }
    if (!AskYes(*this, u"Are you sure to exit from Equipment Test Mode?")) {
        button->setChecked(true);
        return;
    }
    CloseTestScreens();
    int state = m_nTestSavedState;
    if (state == 5) {
        // The rest goes on from where the test stopped it; a rest already over waits for the next round.
        if (m_nRestCount > 0) {
            m_nRestTick = GetTickCount();
            SetTimer(TIMER_REST_CLOCK, 1000);
        } else {
            state = 6;
        }
    }
    md.nGameState = state;
    ShowClockMs(md.nRemainTime);
    button->setChecked(false);
    UpdateStateDisplay();
}

bool CMainWnd::CheckEquipmentTestMode() {
    if (!g_pMatchData || g_pMatchData->nGameState != 13)
        return false;
    AfxMessageBox(kEquipmentTestNotice);
    return true;
}

void CMainWnd::UpdateTestScreens(int tile, std::string_view text) {
    const std::string copy(text);
    for (MessageWindow* screen :
         {static_cast<MessageWindow*>(m_pPssTestDlg), static_cast<MessageWindow*>(m_pPssTestDlgOp)})
        if (screen)
            SendMessage(screen->GetSafeHwnd(), UM_PSS_TEST_UPDATE, static_cast<WPARAM>(tile),
                        reinterpret_cast<LPARAM>(copy.c_str()));
}

void CMainWnd::ResetPublicEquipmentTest() {
    if (m_pPssTestDlg)
        SendMessage(m_pPssTestDlg->GetSafeHwnd(), UM_PSS_TEST_RESET, 0, 0);
}
