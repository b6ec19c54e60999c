#include "match/HitRules.h"
#include "tests/match/RecordingView.h"
#include "tests/support/EventLogSettle.h"

#include "app/AdoObject.h"
#include "app/Timers.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "screens/ExtScrDlg.h"

#include <gtest/gtest.h>

#include <limits>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using namespace HitRules;
using Lines = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------------------------------------------------
// Reading the text and the level rules

TEST(HitRulesTest, KgfConversionFollowsTheReceiversTwoLines) {
    struct Case {
        int raw, level;
    };
    // The level drops where the steeper line takes over at raw 33.
    const Case cases[] = {{0, 0}, {1, 3}, {10, 29}, {32, 93}, {33, 91}, {34, 96}, {35, 101}, {65535, 311881}};
    for (const Case& c : cases) {
        SCOPED_TRACE("raw " + std::to_string(c.raw));
        EXPECT_EQ(TrunkLevel(c.raw, true), c.level);
        EXPECT_EQ(TrunkLevel(c.raw, false), c.raw);
    }
    // A raw value past the receiver's 16 bits (a simulator's text) is held there before the conversion.
    for (const int raw : {65536, 48309664, std::numeric_limits<int>::max()}) {
        SCOPED_TRACE("raw " + std::to_string(raw));
        EXPECT_EQ(TrunkLevel(raw, true), 311881);
        EXPECT_EQ(TrunkLevel(raw, false), 65535);
    }
    const auto simulated = ParseHitText("valid,48309664,0,01", true);
    ASSERT_TRUE(simulated);
    EXPECT_FALSE(Admitted(TrunkLevel(simulated->raw, true), 3, 1000));
}

TEST(HitRulesTest, AdmissionAndThresholdsByGameState) {
    struct Case {
        int level, state, remain;
        bool admitted;
    };
    const Case cases[] = {
        {100, 3, 1000, true}, {101, 3, 1000, false}, {101, 13, 0, false},  {50, 3, 0, false},
        {50, 13, 0, true},    {50, 8, 1000, false},  {50, 5, 1000, false}, {0, 3, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + ", state " + std::to_string(c.state));
        EXPECT_EQ(Admitted(c.level, c.state, c.remain), c.admitted);
    }
    const Thresholds running = ThresholdsFor(3, 25, 15, 30);
    EXPECT_EQ(running.trunk, 25);
    EXPECT_EQ(running.head, 15);
    EXPECT_EQ(running.punch, 30);
    const Thresholds test = ThresholdsFor(13, 25, 15, 30);
    EXPECT_EQ(test.trunk + test.head + test.punch, 3);
}

TEST(HitRulesTest, SensorBytesSplitPunchFromFoot) {
    // The receiver prints the byte with %X: "1" as well as "01" is the single foot sensor.
    for (const char* code : {"31", "41"})
        EXPECT_EQ(ContactOf(ParseHitText((std::string("valid,5,0,") + code).c_str(), true)->sensor),
                  Contact::Punch)
            << code;
    for (const char* code : {"1", "01", "11", "15", "21", "25"})
        EXPECT_EQ(ContactOf(ParseHitText((std::string("valid,5,0,") + code).c_str(), true)->sensor),
                  Contact::Foot)
            << code;
    for (const char* code : {"10", "16", "20", "26", "30", "42", "0", "FF"})
        EXPECT_EQ(ContactOf(ParseHitText((std::string("valid,5,0,") + code).c_str(), true)->sensor),
                  Contact::Other)
            << code;
    // A device named like a sensor byte is still a name.
    EXPECT_EQ(ParseHitText("none,5,0,31", true)->sensor, -1);
    EXPECT_EQ(ContactOf(-1), Contact::Other);
}

TEST(HitRulesTest, TextsAreReadAtTheBorder) {
    const auto trunk = ParseHitText("valid,1234,1,2A", true);
    ASSERT_TRUE(trunk);
    EXPECT_TRUE(trunk->valid);
    EXPECT_EQ(trunk->raw, 1234);
    EXPECT_EQ(trunk->flag, 1);
    EXPECT_EQ(trunk->sensor, 0x2A);
    const auto named = ParseHitText("none,7,0,PSS,01", true); // the name is the whole tail
    ASSERT_TRUE(named);
    EXPECT_FALSE(named->valid);
    EXPECT_EQ(named->raw, 7);
    EXPECT_TRUE(ParseHitText("none,7,0,", true));
    EXPECT_TRUE(ParseHitText("valid,7,0", false));
    EXPECT_TRUE(ParseHitText("none,7,0,HEAD-1", false));
    EXPECT_FALSE(ParseHitText("Valid,7,0,11", true)->valid);
    for (const char* signed_ :
         {"valid,0,2,-2", "valid,0,2,+2", "valid,0,2, 2", "valid,-1,0,01", "valid,1,-0,01"})
        EXPECT_FALSE(ParseHitText(signed_, true)) << signed_;
    EXPECT_EQ(SideFrame(0), (std::array<std::uint8_t, 7>{0x55, 0x55, 0x02, 0x01, 0x00, 0xAA, 0xAA}));
    EXPECT_EQ(SideFrame(1), (std::array<std::uint8_t, 7>{0x55, 0x55, 0x02, 0x01, 0x01, 0xAA, 0xAA}));
}

const std::string kOverlong = "none,30,0," + std::string(54, 'N'); // 64 characters

struct Malformed {
    const char* text;
    bool trunk;
};
const Malformed kMalformed[] = {
    {"", true},
    {"valid", true},
    {"valid,30", true},
    {"valid,30,0", true}, // a trunk text without its sensor field
    {"valid,x,0,11", true},
    {"valid,30,y,11", true},
    {"valid,-3,0,11", true},
    {"valid,+3,0,11", true},
    {"valid, 30,0,11", true},
    {"valid,30,0,", true},
    {"valid,30,0,1G", true},
    {"valid,30,0,123", true},
    {"valid,99999999999,0,11", true},
    {kOverlong.c_str(), true},
    {"none,30", false},
    {"none,,0", false},
    {"valid,3.5,0", false},
    {kOverlong.c_str(), false},
};

TEST(HitRulesTest, MalformedTextsAreRefused) {
    for (const Malformed& m : kMalformed)
        EXPECT_FALSE(ParseHitText(m.text, m.trunk)) << '"' << m.text << "\" trunk " << m.trunk;
    EXPECT_FALSE(ParseHitText(nullptr, true));
    EXPECT_TRUE(ParseHitText(kOverlong.substr(1).c_str(), true)); // 63 characters still fit
}

// ---------------------------------------------------------------------------------------------------------
// The handlers on the view, with the event log in a real database

class HitView : public RecordingView {
public:
    void SendReceiverCommand(int code, const char* text) override {
        events.push_back("recv " + std::to_string(code) + " " + text);
    }
    void NotifyWiredJudges(int side) override { events.push_back("wired " + std::to_string(side)); }
    void OnTechWindowA(int side, int force) override {
        events.push_back("techA " + std::to_string(side) + " " + std::to_string(force));
    }
    void OnTechWindowB(int side, int force) override {
        events.push_back("techB " + std::to_string(side) + " " + std::to_string(force));
    }
};

struct Settings {
    int state = 3;
    int pss = 1;
    bool kgf = false;
    bool esocks = false;
    bool punch = false;
    bool vibration = false;
    int rule = 0;
    int round = 1;
    int remain = 60000;
};

class ProtectorHitsTest : public MatchTest {
protected:
    void SetUp() override {
        view = std::make_unique<HitView>();
        ASSERT_EQ(home.makeLocalDatabase(), "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
        std::strcpy(md->szContestNo, "101");
        view->ShowRoundNumber(1);
        view->LogMatchRow();
        ASSERT_EQ(md->bMatchLogged, 1);
        md->nLevelBody = 25;
        md->nLevelHead = 15;
        md->nLevelPunch = 30;
    }
    void TearDown() override {
        TheEventLogWriter().Stop();
        theApp.m_dbLocal.Close();
    }

    void Apply(const Settings& s) {
        md->nGameState = s.state;
        md->nPSSType = s.pss;
        md->bUseKgfUnit = s.kgf;
        md->bUseESocks = s.esocks;
        md->bUsePunch = s.punch;
        md->bUseVibration = s.vibration;
        md->nCompetitionRule = s.rule;
        md->nCurRound = s.round;
        md->nRemainTime = s.remain;
        view->m_strClockText = u"1:23";
        view->m_nLastInputTime = 777;
        view->events.clear();
    }

    // The calls the handlers make to the devices, the outside links, the judges' windows and slot queue and
    // the test screens, in order.
    Lines Calls() const {
        Lines out;
        for (const std::string& e : view->events)
            for (const char* prefix : {"wt 0 21 ", "recv", "wired", "tech", "queue", "test"})
                if (e.starts_with(prefix))
                    out.push_back(e);
        return out;
    }
    // The side's event-log rows: the non-zero value columns, whether valid, the clock text and the stamp.
    Lines LogRows(int side) {
        EXPECT_TRUE(SettleEventLog());
        theApp.m_dbLocal.Select(
            "SELECT vest, face, point, jpoint, itemvalid, rtime, ptime FROM %s ORDER BY dbindex",
            side == 0 ? "CHUNGLOG" : "HONGLOG");
        Lines rows;
        const char* names[] = {"vest", "face", "point", "jpoint"};
        for (int r = 0; r < theApp.m_dbLocal.nRows; ++r) {
            std::string row;
            for (int c = 0; c < 4; ++c) {
                const std::string value = U8(VariantToString(theApp.m_dbLocal.cell(r, c)));
                if (value != "0")
                    row += std::string(names[c]) + "=" + value + " ";
            }
            for (int c = 4; c < 7; ++c)
                row += U8(VariantToString(theApp.m_dbLocal.cell(r, c))) + (c < 6 ? " " : "");
            rows.push_back(row);
        }
        return rows;
    }
    std::string LastHit(int side) const {
        const TTK_LastHit& hit = md->aSide[side].aLastHit[0];
        return hit.nType ? std::to_string(hit.nType) + ":" + std::to_string(hit.nLevel) : "-";
    }
};

struct HitCase {
    const char* name;
    bool trunk;
    int side;
    const char* text;
    Settings settings;
    Lines calls;
    Lines log;        // rows of the side's event log
    int score;        // the side's score after the hit
    int punch;        // the side's punch indicator
    const char* last; // the side's last hit shown, type:level
};

// Chung unless the case says Hong. Thresholds: trunk 25, head 15, punch 30; trunk 2 points, head 3.
const HitCase kCases[] = {
    // Without e-socks the receiver names the device instead of a sensor byte.
    {"trunk scores",
     true,
     0,
     "none,30,0,CHUNG1",
     {},
     {"techB 0 1", "wt 0 21 0 30", "queue 0 3 1 30"},
     {"vest=30 TRUE 1:23 777", "point=2 TRUE 1:23 777"},
     2,
     0,
     "1:30"},
    {"trunk under the threshold",
     true,
     0,
     "none,20,0,CHUNG1",
     {},
     {"techB 0 1", "wt 0 21 0 20"},
     {"vest=20 FALSE 1:23 777"},
     0,
     0,
     "1:20"},
    {"trunk under the threshold, round wins",
     true,
     0,
     "none,20,0,CHUNG1",
     {.rule = 1},
     {"techB 0 1", "wt 0 21 0 20"},
     {"vest=20 FALSE 1:23 777", "TRUE 1:23 777"},
     0,
     0,
     "1:20"},
    {"trunk under the threshold, golden round",
     true,
     0,
     "none,20,0,CHUNG1",
     {.round = 4},
     {"techB 0 1", "wt 0 21 0 20", "queue 0 16 1 20"},
     {"vest=20 FALSE 1:23 777", "TRUE 1:23 777"},
     0,
     0,
     "1:20"},
    {"Hong's trunk scores with feedback",
     true,
     1,
     "none,30,1,HONG1",
     {.vibration = true},
     {"techB 1 1", "wt 0 21 1 30", "queue 1 3 1 30", "recv 45 HV", "wired 1"},
     {"vest=30 TRUE 1:23 777", "point=2 TRUE 1:23 777"},
     2,
     0,
     "1:30"},
    {"kgf raw 10 is level 29",
     true,
     0,
     "none,10,0,X",
     {.kgf = true},
     {"techB 0 1", "wt 0 21 0 29", "queue 0 3 1 29"},
     {"vest=29 TRUE 1:23 777", "point=2 TRUE 1:23 777"},
     2,
     0,
     "1:29"},
    {"kgf raw 35 is level 101", true, 0, "none,35,0,X", {.kgf = true}, {}, {}, 0, 0, "-"},
    {"kgf raw 35 in the equipment test",
     true,
     0,
     "none,35,0,X",
     {.state = 13, .kgf = true},
     {},
     {},
     0,
     0,
     "-"},
    {"clock at zero", true, 0, "none,30,0,X", {.remain = 0}, {}, {}, 0, 0, "-"},
    {"clock stopped", true, 0, "none,30,0,X", {.state = 8}, {}, {}, 0, 0, "-"},
    {"equipment test, clock at zero",
     true,
     0,
     "none,1,0,X",
     {.state = 13, .remain = 0},
     {"techB 0 1", "test 2 1"},
     {},
     0,
     0,
     "-"},
    // E-socks without punches.
    {"e-socks: no reading", true, 0, "none,30,0,CHUNG1", {.esocks = true}, {}, {}, 0, 0, "-"},
    {"e-socks: foot scores",
     true,
     0,
     "valid,30,0,11",
     {.esocks = true, .vibration = true},
     {"techB 0 1", "wt 0 21 0 30", "queue 0 3 1 30", "recv 45 CV", "wired 0"},
     {"vest=30 TRUE 1:23 777", "point=2 TRUE 1:23 777"},
     2,
     0,
     "1:30"},
    {"e-socks: punch ignored",
     true,
     0,
     "valid,40,0,31",
     {.esocks = true},
     {"techA 0 1", "wt 0 21 0 40"},
     {},
     0,
     0,
     "-"},
    // E-socks and punches.
    {"punch scores",
     true,
     0,
     "valid,40,0,31",
     {.esocks = true, .punch = true},
     {"techA 0 1", "queue 0 0 1 40"},
     {"vest=40 TRUE 1:23 777", "TRUE 1:23 777"},
     0,
     2,
     "3:40"},
    {"punch noise",
     true,
     0,
     "valid,9,0,41",
     {.esocks = true, .punch = true},
     {"techA 0 1"},
     {"vest=9 FALSE 1:23 777"},
     0,
     0,
     "-"},
    {"punch under the threshold",
     true,
     0,
     "valid,20,0,41",
     {.esocks = true, .punch = true},
     {"techA 0 1"},
     {"jpoint=20 FALSE 1:23 777"},
     0,
     1,
     "3:20"},
    {"punch in the equipment test",
     true,
     1,
     "valid,40,0,31",
     {.state = 13, .esocks = true, .punch = true, .vibration = true},
     {"techA 1 1", "test 23 40", "recv 45 HV", "wired 1"},
     {},
     0,
     0,
     "-"},
    {"single foot sensor",
     true,
     0,
     "valid,30,0,1",
     {.esocks = true, .punch = true, .vibration = true},
     {"techB 0 1", "wt 0 21 0 30", "queue 0 3 1 30"},
     {"vest=30 TRUE 1:23 777", "point=2 TRUE 1:23 777"},
     2,
     0,
     "1:30"},
    {"foot in the equipment test",
     true,
     0,
     "valid,30,0,25",
     {.state = 13, .esocks = true, .punch = true, .vibration = true},
     {"techB 0 1", "recv 45 CV", "wired 0", "test 2 30"},
     {},
     0,
     0,
     "-"},
    {"unknown sensor",
     true,
     0,
     "valid,30,0,16",
     {.esocks = true, .punch = true},
     {"techB 0 1", "wt 0 21 0 30"},
     {},
     0,
     0,
     "-"},
    // Head gear.
    {"head without e-socks: felt, not scored",
     false,
     0,
     "none,20,0,HEAD1",
     {.pss = 2, .vibration = true},
     {"techB 0 1", "recv 45 CV", "wired 0"},
     {"face=20 TRUE 1:23 777"},
     0,
     0,
     "-"},
    {"head without e-socks under the threshold",
     false,
     0,
     "none,10,0,HEAD1",
     {.pss = 2},
     {"techB 0 1"},
     {"face=10 FALSE 1:23 777"},
     0,
     0,
     "2:10"},
    {"head with e-socks scores",
     false,
     1,
     "valid,20,1,31",
     {.pss = 2, .esocks = true},
     {"techB 1 1", "queue 1 6 1 20"},
     {"face=20 TRUE 1:23 777", "point=3 TRUE 1:23 777"},
     3,
     0,
     "2:20"},
    {"head with e-socks, no reading",
     false,
     0,
     "none,30,0,HEAD1",
     {.pss = 2, .esocks = true},
     {"techB 0 1"},
     {"face=30 FALSE 1:23 777"},
     0,
     0,
     "2:30"},
    {"head, trunk-only protectors",
     false,
     0,
     "none,30,0,HEAD1",
     {.pss = 1, .esocks = true},
     {"techB 0 1"},
     {"face=30 FALSE 1:23 777"},
     0,
     0,
     "-"},
    {"head under the threshold, golden round",
     false,
     0,
     "none,10,0,HEAD1",
     {.pss = 2, .round = 4},
     {"techB 0 1", "queue 0 17 1 10"},
     {"face=10 FALSE 1:23 777", "TRUE 1:23 777"},
     0,
     0,
     "2:10"},
    {"head is never converted",
     false,
     0,
     "none,35,0,HEAD1",
     {.pss = 2, .kgf = true, .esocks = true},
     {"techB 0 1"},
     {"face=35 FALSE 1:23 777"},
     0,
     0,
     "2:35"},
};

TEST_F(ProtectorHitsTest, HitsByTextAndSettings) {
    for (const HitCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(SettleEventLog()); // the last case's rows are in before they go
        theApp.m_dbLocal.Execute("DELETE FROM CHUNGLOG");
        theApp.m_dbLocal.Execute("DELETE FROM HONGLOG");
        for (TTK_SideScore& side : md->aSide)
            side = TTK_SideScore{};
        view->m_nPunchState[0] = view->m_nPunchState[1] = 0;
        view->m_nPunchTime[0] = view->m_nPunchTime[1] = 0;
        Apply(c.settings);
        int flag = -7;
        if (c.trunk)
            view->OnTrunkHit(c.side, c.text, &flag);
        else
            view->OnHeadHit(c.side, c.text, &flag);
        EXPECT_EQ(flag, ParseHitText(c.text, c.trunk)->flag); // handed back even for a dropped hit
        EXPECT_EQ(Calls(), c.calls);
        EXPECT_EQ(LogRows(c.side), c.log);
        EXPECT_EQ(md->aSide[c.side].nScore, c.score);
        EXPECT_EQ(view->m_nPunchState[c.side], c.punch);
        if (c.punch) {
            EXPECT_EQ(view->m_nPunchTime[c.side], c.settings.remain);
        }
        EXPECT_EQ(LastHit(c.side), c.last);
    }
}

// The scoreboard's punch indicators follow both sides; the device's hit ends the judges' window of its
// technique, whose timer no longer runs.
TEST_F(ProtectorHitsTest, PunchesShowOnTheScoreboardAndEndTheJudgesWindow) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    Apply({.esocks = true, .punch = true, .remain = 45000});
    ASSERT_TRUE(view->SetTimer(TIMER_TECH_WINDOW_A[0], 100));
    ASSERT_TRUE(view->SetTimer(TIMER_TECH_WINDOW_B[1], 100));
    view->OnTrunkHit(0, "valid,40,0,31", nullptr); // scored
    EXPECT_FALSE(view->KillTimer(TIMER_TECH_WINDOW_A[0]));
    md->nRemainTime = 44000;
    view->OnTrunkHit(1, "valid,20,0,41", nullptr); // under the threshold
    EXPECT_EQ(view->m_pExtScrDlg->SideIndicator(0), 2);
    EXPECT_EQ(view->m_pExtScrDlg->SideIndicator(1), 1);
    EXPECT_EQ(view->m_nPunchTime[0], 45000);
    EXPECT_EQ(view->m_nPunchTime[1], 44000);
    view->OnHeadHit(1, "valid,20,0,1", nullptr);
    EXPECT_FALSE(view->KillTimer(TIMER_TECH_WINDOW_B[1]));

    // The equipment test leaves the scoreboard's indicators alone.
    view->m_pExtScrDlg->SetSideIndicators(0, 0);
    md->nGameState = 13;
    view->OnTrunkHit(0, "valid,20,0,41", nullptr);
    EXPECT_EQ(view->m_pExtScrDlg->SideIndicator(1), 0);
    EXPECT_EQ(view->m_pExtScrDlg->SideIndicator(0), 0);
}

TEST_F(ProtectorHitsTest, MalformedTextsChangeNothing) {
    Apply({.esocks = true, .punch = true, .vibration = true});
    for (const Malformed& m : kMalformed) {
        SCOPED_TRACE(m.text);
        int flag = -7;
        testing::internal::CaptureStderr();
        if (m.trunk)
            view->OnTrunkHit(0, m.text, &flag);
        else
            view->OnHeadHit(0, m.text, &flag);
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_NE(debug.find("malformed"), std::string::npos) << debug;
        EXPECT_EQ(flag, -7);
    }
    int flag = -7;
    view->OnTrunkHit(2, "valid,30,0,11", &flag); // no such side
    view->OnHeadHit(0, nullptr, &flag);
    EXPECT_EQ(flag, -7);
    EXPECT_EQ(view->events, Lines{});
    EXPECT_EQ(LogRows(0), Lines{});
    EXPECT_EQ(md->aSide[0].nScore, 0);
}

} // namespace
