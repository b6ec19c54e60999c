// Steps of the registration dialogs whose parts are not built yet. Each does nothing, answers "not done" and
// says so on the debug output.
#include "registration/RegDlg.h"

#include "platform/DebugOutput.h"

bool CTK_RegDlg::OpenJudgePort(int judge) {
    DebugPrintf("wired judge %d: serial judge ports are not built; the port is not opened", judge + 1);
    return false;
}

void CTK_RegDlg::CloseJudgePort(int judge) {
    DebugPrintf("wired judge %d: serial judge ports are not built; nothing to close", judge + 1);
}
