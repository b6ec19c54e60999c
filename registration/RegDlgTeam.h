// The registration dialog of team matches: the individual dialog widened to up to six members a side, each
// with a trunk protector and a head gear, three levels, and the team forms of class, gender and time.
//
// Thread: user-interface thread only.
#pragma once

#include "registration/RegDlg.h"

class CTK_RegDlg_Team : public CTK_RegDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 765;

    explicit CTK_RegDlg_Team(QWidget* parent = nullptr);

    // The device check lost member devices: their edits show the registered addresses again, lost judges
    // are reset.
    void ShowRegisteredMacs() { ResetDeviceButtons(); }

    using CTK_RegDlg::RegisterMemberPss;

    // "DB 재접속": reconnects the tournament results database after asking.
    void OnDbReconnect();
};
