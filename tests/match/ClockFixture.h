// A recording view with the match flow's own calls recorded too, over a fresh program folder, a manual
// clock and a loaded three-round individual match.
#pragma once

#include "app/Timers.h"
#include "app/VeziruduzApp.h"
#include "platform/TickSource.h"
#include "tests/match/RecordingView.h"

#include <algorithm>
#include <cstring>

class ClockView : public RecordingView {
public:
    std::vector<std::string> flow; // round winners, point-gap checks, slot compaction
    bool gapEndsMatch = false;

    void DecideRoundWinner(int roundIndex, int winner, int reason, int notify) override {
        flow.push_back("roundwinner " + std::to_string(roundIndex) + " " + std::to_string(winner) + " " +
                       std::to_string(reason) + " " + std::to_string(notify));
    }
    bool CheckPointGap(int* side) override {
        flow.push_back("gap");
        *side = 1;
        return gapEndsMatch;
    }
    void CompactJudgeSlots(int side) override { flow.push_back("compact " + std::to_string(side)); }
};

class ClockTest : public ::testing::Test {
protected:
    ClockTest() : m_savedAppDir(g_strAppDir) {
        g_strAppDir = home.widePath();
        CreateMatchData();
        md = g_pMatchData;
        md->nRound = 3;
        md->nMatchTime = 120;
        md->nGRndMatchTime = 60;
        md->nRestTime = 60;
        md->nKyeShiTime = 60;
        md->nRCTime = 60;
        md->nOvrSupplier = 6; // no OVR records unless a test chooses a supplier
        md->nGameState = 1;
        std::strcpy(md->szContestNo, "101");
        view = std::make_unique<ClockView>();
        hwnd = view->GetSafeHwnd();
        // A round's start writes the match's row: the records are kept, as on a court.
        EXPECT_EQ(home.makeLocalDatabase(), "");
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    }
    ~ClockTest() override {
        theApp.m_dbLocal.Close();
        view.reset();
        FreeMatchData();
        g_strAppDir = m_savedAppDir;
    }

    bool Armed(UINT_PTR id) const { return clock.isArmed(hwnd, id); }
    long Played(const std::string& name) const {
        return std::count(sound.played.begin(), sound.played.end(), name);
    }

    TempHome home;
    ScriptedPrompter prompter{IDYES};
    RecordingSound sound;
    platform::ManualTime clock{1000};
    MatchData* md = nullptr;
    std::unique_ptr<ClockView> view;
    HWND hwnd = 0;

private:
    std::u16string m_savedAppDir;
};
