// The External page of the configuration dialog comes with the links to outside systems: it is built into
// ExternalTab() here and saved by SaveExternalPage. Until then the tab stays empty and saves nothing.
#include "match/SuDlg.h"

#include "platform/DebugOutput.h"

void CTK_SuDlg::CreateExternalPage() {
    DebugPrintf("configuration: the External page is not built yet; its tab stays empty");
}

void CTK_SuDlg::SaveExternalPage() {
    DebugPrintf("configuration: the External page is not built yet; nothing of it saved");
}
