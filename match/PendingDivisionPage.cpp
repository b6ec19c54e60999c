// The division and level page of the configuration dialog comes with the grid control. Until then its tab
// stays empty, saves nothing and restores nothing.
#include "match/SuDlg.h"

#include "platform/DebugOutput.h"

void CTK_SuDlg::CreateDivisionPage() {
    DebugPrintf("configuration: the division page is not built yet; its tab stays empty");
}

void CTK_SuDlg::SaveDivisionPage() {
    DebugPrintf("configuration: the division page is not built yet; no level saved");
}

void CTK_SuDlg::DefaultDivisionPage() {
    DebugPrintf("configuration: the division page is not built yet; no level restored");
}
