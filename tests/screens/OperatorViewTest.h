// The operator screen tests' fixture: a fresh match on one monitor and the operator view laid out at its
// screen's size, its controls made.
#pragma once

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "screens/OperatorLayout.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>

template <class View> class OperatorViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        md().nMonitorCount = 1;
        md().nRound = 3;
        md().nGamJeom = 10;
        BeforeView();
        view = std::make_unique<View>();
        view->resize(OperatorLayout::Width, OperatorLayout::Height);
        view->SetupControls();
    }
    void TearDown() override {
        view.reset();
        FreeMatchData();
        g_strAppDir.clear();
    }
    // What the match record holds before the view reads it.
    virtual void BeforeView() {}
    MatchData& md() { return *g_pMatchData; }

    TempHome home;
    std::unique_ptr<View> view;
};
