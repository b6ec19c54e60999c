#include "match/MatchFlowSteps.h"
#include "screens/ExtScrDlg.h"

#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"

#include <QAbstractButton>

#include <string>

namespace MatchFlowSteps {

void PlayFlowSound(std::u16string_view name) {
    std::u16string relative = u"Sound/";
    relative += name;
    relative += u".wav";
    PlaySound(AppPath(relative));
}

void LogFlowEvent(const CMainWnd& view, int code, std::u16string_view time) {
    if (view.m_bLogOpen && g_pMatchData)
        LogMatchEvent(g_pMatchData->nCurRound, code, time, 0, 0, 0, 0);
}

void HideInjuryDisplay(CMainWnd& view) {
    if (auto* check = qobject_cast<QAbstractButton*>(view.GetDlgItem(kKyeShiCheck)))
        check->setChecked(false);
    view.ShowDlgItem(OperatorIds::SecondPanel, false);
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->SetNoticeText({});
}

void ShowCountdown(CMainWnd& view, const QString& text) {
    view.SetDlgItemText(OperatorIds::SecondPanel, text);
    if (view.m_pExtScrDlg)
        view.m_pExtScrDlg->SetNoticeText(text);
}

bool AskYes(const CMainWnd& view, std::u16string_view text) {
    return MessageBox(view.GetSafeHwnd(), text, u"Information", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Tell(const CMainWnd& view, std::u16string_view text) {
    MessageBox(view.GetSafeHwnd(), text, u"Information", MB_OK | MB_ICONINFORMATION);
}

} // namespace MatchFlowSteps
