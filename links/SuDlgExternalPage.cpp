// The External page in the configuration dialog's tab: built when the dialog opens, saved by its "Okay"
// and "Apply".
#include "links/ExtItfWnd.h"
#include "match/SuDlg.h"

#include <QVBoxLayout>

void CTK_SuDlg::CreateExternalPage() {
    auto* layout = new QVBoxLayout(m_pExternalTab);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pExternalPage = new CTK_ExtItfWnd(m_pMatch, m_pExternalTab);
    layout->addWidget(m_pExternalPage);
}

void CTK_SuDlg::SaveExternalPage() {
    if (auto* page = qobject_cast<CTK_ExtItfWnd*>(m_pExternalPage))
        page->SaveSettings();
}
