#include "app/MainWnd.h"

#include "app/MatchData.h"
#include "match/SuDlg.h"

void CMainWnd::OnClickedConfiguration() {
    delete m_pSuDlg.data();
    auto* dialog = new CTK_SuDlg(g_pMatchData, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    m_pSuDlg = dialog;
    dialog->show();
}
