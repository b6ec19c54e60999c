// The operator view's side of the keyboard shortcuts: a key press through the key table to its action.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "devices/DevErrDlg.h"
#include "devices/PssTestDlg.h"
#include "match/KeyTable.h"
#include "platform/MessageBox.h"
#include "screens/ExtIvrScrDlg.h"

#include <QKeyEvent>

#include <cassert>

namespace {

constexpr int kEquipmentTestState = 13;

ShortcutKey KeyOf(int key) {
    switch (key) {
    case Qt::Key_Left:
        return ShortcutKey::Left;
    case Qt::Key_Right:
        return ShortcutKey::Right;
    case Qt::Key_Up:
        return ShortcutKey::Up;
    case Qt::Key_Down:
        return ShortcutKey::Down;
    case Qt::Key_Space:
        return ShortcutKey::Space;
    default:
        return ShortcutKey::Other;
    }
}

} // namespace

BOOL CMainWnd::PreTranslateMessage(const QKeyEvent& event, bool zDown) {
    const MatchData* md = g_pMatchData;
    if (!md) {
        assert(!"key press without a match record");
        return FALSE;
    }
    KeyPressInput in;
    in.key = KeyOf(event.key());
    in.shiftAndZ = event.modifiers().testFlag(Qt::ShiftModifier) && zDown;
    in.autoRepeat = event.isAutoRepeat();
    in.gameState = md->nGameState;
    in.matchLoaded = md->szContestNo[0] != '\0';
    in.equipmentTest = md->nGameState == kEquipmentTestState;
    const KeyDecision decision = DecideKey(in);

    constexpr UINT kAsk = MB_YESNO | MB_ICONINFORMATION;
    switch (decision.action) {
    case KeyAction::None:
        break;
    case KeyAction::AskChungGamJeom:
        if (MessageBox(GetSafeHwnd(), u"CHUNG - Add Gam-Jeom", u"Information", kAsk) == IDYES)
            OnClickedAddChungGamJeom();
        break;
    case KeyAction::AskHongGamJeom:
        if (MessageBox(GetSafeHwnd(), u"HONG - Add Gam-Jeom", u"Information", kAsk) == IDYES)
            OnClickedAddHongGamJeom();
        break;
    case KeyAction::EquipmentTestNotice:
        CheckEquipmentTestMode();
        break;
    case KeyAction::Start:
        OnClickedStart();
        break;
    case KeyAction::Stop:
        OnClickedStop();
        break;
    case KeyAction::PauseRest:
        PauseRest();
        break;
    case KeyAction::ResumeRest:
        ResumeRest();
        break;
    case KeyAction::HidePopups:
        HidePublicPopups();
        break;
    case KeyAction::KyeShi:
        OnClickedKyeShi();
        break;
    }
    return decision.consumed ? TRUE : FALSE;
}

void CMainWnd::HidePublicPopups() {
    if (m_pExtIvrScrDlg)
        m_pExtIvrScrDlg->hide();
    if (m_pDevErrDlg)
        m_pDevErrDlg->hide();
    if (m_pPssTestDlg)
        m_pPssTestDlg->hide();
    // The round-winner, winner and superiority pop-ups are hidden here the same way as they arrive.
}
