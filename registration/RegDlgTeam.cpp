#include "registration/RegDlgTeam.h"

CTK_RegDlg_Team::CTK_RegDlg_Team(QWidget* parent) : CTK_RegDlg(parent, true) {
    AddDbReconnectButton();
}
