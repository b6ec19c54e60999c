// A court in round 1 of a three-round match under way (2:00 rounds, 1:23 left, trunk protectors, trunk level
// 25, one monitor), its local database open, and the operator view made by MakeView once a fixture has set
// what else its record holds: laid out at its size, its controls made, and shown.
#pragma once

#include "app/MainWnd.h"
#include "app/VeziruduzApp.h"
#include "screens/OperatorLayout.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <memory>

class RunningRoundView : protected TestCourt {
protected:
    RunningRoundView() {
        md->nRound = 3;
        md->nCurRound = 1;
        md->nGameState = 3;
        md->nPSSType = 1;
        md->nLevelBody = 25;
        md->nMatchTime = 120;
        md->nRemainTime = 83000;
        md->nMonitorCount = 1;
        EXPECT_EQ(home.makeLocalDatabase(), "");
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    }
    ~RunningRoundView() {
        view.reset();
        theApp.m_dbLocal.Close();
    }
    void MakeView() {
        view = std::make_unique<CMainWnd>();
        view->resize(OperatorLayout::Width, OperatorLayout::Height);
        view->SetupControls();
        view->show();
    }

    std::unique_ptr<CMainWnd> view;
};
