#include "app/MainWnd.h"
#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/MyListCtrl.h"
#include "app/Timers.h"
#include "controls/IconButton.h"
#include "links/MatchInput.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "tests/platform/EventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCourt.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Each test has its own program folder and match record; boxes go to a script.
class MainWndTest : public ::testing::Test, protected TestCourt {
protected:
    MainWndTest() {
        md->nMonitorCount = 1;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
    }

    // A second monitor of 1920 x 1080 right of the 1366 x 768 primary.
    void PlugSecondMonitor() {
        md->nMonitorCount = 2;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
    }

    std::string RuleValue(const char16_t* key) {
        WCHAR value[kIniValueChars] = {};
        ReadIniString(u"Rule", key, value, u"Rule.ini");
        return QString::fromStdU16String(value).toStdString();
    }
};

void Fill(char* text, const char* value) {
    std::strcpy(text, value);
}

TEST_F(MainWndTest, ClearingAMatchKeepsDevicesOnlyAfterStartWithAutoOffOff) {
    struct Case {
        const char* name;
        int competitionType;
        BYTE autoOff;
        BOOL initialised;
        int levels[3];       // body, head, punch after the clear
        bool leadersCleared; // devices of slots 0 and 1
        bool membersCleared; // devices of slots 2..11
    };
    // Rule.ini gives the team levels 12 (trunk) and 2 (head); the punch level is never loaded.
    const Case cases[] = {
        {"individual, auto-off, running", 0, 1, TRUE, {0, 0, 7}, true, false},
        {"individual, auto-off, starting", 0, 1, FALSE, {0, 0, 7}, true, false},
        {"individual, kept, running", 0, 0, TRUE, {0, 0, 7}, false, false},
        {"individual, kept, starting", 0, 0, FALSE, {0, 0, 7}, true, false},
        {"team, auto-off, running", 1, 1, TRUE, {12, 2, 4}, true, true},
        {"team, auto-off, starting", 1, 1, FALSE, {12, 2, 4}, true, true},
        {"team, kept, running", 1, 0, TRUE, {12, 2, 4}, false, false},
        {"team, kept, starting", 1, 0, FALSE, {12, 2, 4}, true, true},
        {"judge-driven, kept, starting", 2, 0, FALSE, {0, 0, 7}, true, false},
    };
    home.write("ini/Rule.ini", "[Rule]\r\nTeam_Lev_B=12\r\nTeam_Lev_H=2\r\nTeam_Lev_P=4\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMainWnd view;
        md->nCompetitionType = c.competitionType;
        md->bPSSAutoOff = c.autoOff;
        view.m_bInitialised = c.initialised;
        Fill(md->szContestNo, "101");
        Fill(md->szWeightClass, "-58");
        Fill(md->szGender, "F");
        Fill(md->szWeight, "58");
        Fill(md->szPhase, "Final");
        g_strMatchTitle = u"Final -58";
        g_strMatchWeight = u"-58";
        md->nCurRound = 3;
        md->nLevelBody = 5;
        md->nLevelHead = 6;
        md->nLevelPunch = 7;
        for (int slot = 0; slot < kPlayerSlots; ++slot) {
            TTK_Player& player = md->aPlayer[slot];
            player.nNation = 9;
            Fill(player.szShortName, "KIM");
            Fill(player.szName, "KIM Minho");
            Fill(player.szNationCode, "KOR");
            Fill(player.szMacBody, "0011000000000001");
            Fill(player.szMacHead, "0011010000000001");
            md->bRegBody[slot] = 1;
            md->bRegHead[slot] = 1;
        }

        view.ClearMatchIdentity();
        view.ClearPlayers();

        for (const char* text : {md->szContestNo, md->szWeightClass, md->szGender, md->szWeight, md->szPhase})
            EXPECT_STREQ(text, "");
        EXPECT_TRUE(g_strMatchTitle.empty());
        EXPECT_TRUE(g_strMatchWeight.empty());
        EXPECT_EQ(md->nCurRound, 0);
        EXPECT_EQ(md->nLevelBody, c.levels[0]);
        EXPECT_EQ(md->nLevelHead, c.levels[1]);
        EXPECT_EQ(md->nLevelPunch, c.levels[2]);
        for (int slot = 0; slot < kPlayerSlots; ++slot) {
            SCOPED_TRACE(slot);
            const TTK_Player& player = md->aPlayer[slot];
            const bool cleared = slot < 2 ? c.leadersCleared : c.membersCleared;
            EXPECT_EQ(md->bRegBody[slot], cleared ? 0 : 1);
            EXPECT_EQ(md->bRegHead[slot], cleared ? 0 : 1);
            EXPECT_STREQ(player.szMacBody, cleared ? "" : "0011000000000001");
            EXPECT_STREQ(player.szMacHead, cleared ? "" : "0011010000000001");
            // Only the two players' names and nations go; team members keep theirs.
            EXPECT_EQ(player.nNation, slot < 2 ? 0 : 9);
            EXPECT_STREQ(player.szName, slot < 2 ? "" : "KIM Minho");
            EXPECT_STREQ(player.szShortName, slot < 2 ? "" : "KIM");
            EXPECT_STREQ(player.szNationCode, slot < 2 ? "" : "KOR");
        }
    }
}

TEST_F(MainWndTest, MatchInputClearEmptiesTheTextsAndKeepsTheMode) {
    g_MatchInput.bValid = 1;
    for (int i = 0; i < TTK_MatchInput::FieldCount; ++i)
        g_MatchInput.field[i] = u"text " + QString::number(i).toStdU16String();
    const TTK_MatchInput copy = g_MatchInput;

    ClearMatchInput();

    EXPECT_EQ(g_MatchInput.bValid, 1);
    for (const std::u16string& text : g_MatchInput.field)
        EXPECT_TRUE(text.empty());
    EXPECT_EQ(copy.bValid, 1);
    EXPECT_EQ(copy.field[TTK_MatchInput::RestTime], u"text 16");
    g_MatchInput = TTK_MatchInput();
}

TEST_F(MainWndTest, PublicScreenIsCentredOnTheSecondMonitor) {
    struct Case {
        const char* name;
        int primaryRight, secondRight, secondBottom, width, height;
        QRect expected;
    };
    const Case cases[] = {
        {"full HD beside 1366x768", 1366, 3286, 1080, 1920, 1080, {1366, 0, 1920, 1080}},
        {"720p on a full HD second", 1366, 3286, 1080, 1280, 720, {1686, 180, 1280, 720}},
        {"720p on a 1280x1024 second", 1920, 3200, 1024, 1280, 720, {1920, 152, 1280, 720}},
        {"odd sizes round down", 1366, 3286, 1080, 1279, 719, {1686, 180, 1279, 719}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nPrimaryRight = c.primaryRight;
        md->nSecondRight = c.secondRight;
        md->nSecondBottom = c.secondBottom;
        md->nExtScrWidth = c.width;
        md->nExtScrHeight = c.height;
        EXPECT_EQ(PublicScreenRect(*md), c.expected);
    }
    EXPECT_EQ(PublicScreenSize(1), QSize(1280, 720));
    EXPECT_EQ(PublicScreenSize(0), QSize(1920, 1080));
}

TEST_F(MainWndTest, StartsWithTheDeviceTimerAndTheScoreboardHiddenOnOneMonitor) {
    platform::ManualTime clock;
    CMainWnd view;
    const HWND hwnd = view.GetSafeHwnd();
    EXPECT_FALSE(clock.isArmed(hwnd, TIMER_DEVICE_STATUS));

    view.OnInitialUpdate();

    EXPECT_EQ(g_hMainWnd, hwnd);
    EXPECT_TRUE(view.m_bInitialised);
    EXPECT_TRUE(clock.isArmed(hwnd, TIMER_DEVICE_STATUS));
    EXPECT_EQ(clock.interval(hwnd, TIMER_DEVICE_STATUS), 1000u);
    ASSERT_NE(view.m_pExtScrDlg, nullptr);
    EXPECT_FALSE(view.m_pExtScrDlg->isVisible());
    EXPECT_TRUE(view.m_pExtScrDlg->isWindow());

    // The show toggle cannot bring it up, nor can a video-replay request open its public screen.
    QPushButton* show = view.Button(1247);
    show->setChecked(false);
    show->click();
    EXPECT_FALSE(view.m_pExtScrDlg->isVisible());
    view.ShowExtIvrScreen(0, 1);
    EXPECT_EQ(view.m_pExtIvrScrDlg, nullptr);

    view.OnDestroy();
    EXPECT_FALSE(clock.isArmed(hwnd, TIMER_DEVICE_STATUS));
}

TEST_F(MainWndTest, StartsWithTheScreenOfANewMatch) {
    PlugSecondMonitor();
    // What a record may hold before the view starts: scores, gam-jeoms, an open round, no replay quota.
    md->nVRQuota = 2;
    md->aSide[0].nScore = 7;
    md->aSide[0].nRoundScore[0] = 7;
    md->aSide[1].nPenaltyCount1 = 3;
    md->bRoundOver = 1;
    CMainWnd view;
    view.OnInitialUpdate();
    EXPECT_EQ(md->aSide[0].nScore, 0);
    EXPECT_EQ(md->aSide[1].nPenaltyCount1, 0);
    EXPECT_EQ(md->bRoundOver, 0);
    for (const int id : {1503, 1504}) // the scores
        EXPECT_EQ(view.Static(id)->text().trimmed().toStdString(), "0") << id;
    for (const int id : {1161, 1190}) // each side's video-replay quota
        EXPECT_EQ(view.Static(id)->text().trimmed().toStdString(), "2") << id;
    ASSERT_NE(view.m_pExtScrDlg, nullptr);
    EXPECT_EQ(view.m_pExtScrDlg->Score(0), 0);
    EXPECT_EQ(view.m_pExtScrDlg->Score(1), 0);
    view.OnDestroy();
}

TEST_F(MainWndTest, ScoreboardShowsOnTheSecondMonitorAndFollowsItsToggle) {
    PlugSecondMonitor();
    md->nExtScrWidth = 1280;
    md->nExtScrHeight = 720;
    CMainWnd view;
    view.OnInitialUpdate();
    CExtScrDlg* scoreboard = view.m_pExtScrDlg;
    ASSERT_NE(scoreboard, nullptr);
    EXPECT_TRUE(scoreboard->isVisible());
    EXPECT_EQ(scoreboard->geometry(), QRect(1686, 180, 1280, 720));

    view.OnInitialUpdate();
    EXPECT_EQ(view.m_pExtScrDlg, scoreboard) << "created once";

    QPushButton* show = view.Button(1247);
    show->setChecked(true);
    show->click();
    EXPECT_FALSE(scoreboard->isVisible());
    show->click();
    EXPECT_TRUE(scoreboard->isVisible());

    // A resolution change resizes and re-centres it, and keeps the record's public-screen size in step.
    md->nDisplayResolution = 0;
    scoreboard->ApplyResolution();
    EXPECT_EQ(scoreboard->geometry(), QRect(1366, 0, 1920, 1080));
    EXPECT_EQ(md->nExtScrWidth, 1920);
    EXPECT_EQ(md->nExtScrHeight, 1080);
    EXPECT_TRUE(scoreboard->isVisible());
    // Unplugged: a re-layout never brings it back on the primary monitor.
    md->nMonitorCount = 1;
    scoreboard->ApplyResolution();
    EXPECT_FALSE(scoreboard->isVisible());
}

TEST_F(MainWndTest, PublicReplayScreenIsCreatedOnceOverThePublicScreenAndDeleted) {
    PlugSecondMonitor();
    CMainWnd view;
    view.ShowExtIvrScreen(1, 1);
    CTK_ExtIvrScrDlg* screen = view.m_pExtIvrScrDlg;
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->Mode(), 1);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->geometry(), QRect(1366, 0, 1920, 1080));

    screen->hide();
    view.ShowExtIvrScreen(1, 1);
    EXPECT_EQ(view.m_pExtIvrScrDlg, screen);
    EXPECT_TRUE(screen->isVisible());

    view.ShowExtIvrScreen(1, 0);
    EXPECT_EQ(view.m_pExtIvrScrDlg, nullptr);
}

TEST_F(MainWndTest, ReverseScreenActsOnlyWhileTheScoreboardIsOn) {
    struct Case {
        const char* name;
        bool scoreboardOn;
        int expectedReverse;
        bool expectedToggle;
    };
    const Case cases[] = {
        {"scoreboard off: the toggle springs back", false, 0, false},
        {"scoreboard on: the sides swap", true, 1, true},
    };
    PlugSecondMonitor();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nReverseScreen = 0;
        CMainWnd view;
        view.OnInitialUpdate();
        view.Button(1247)->setChecked(c.scoreboardOn);

        view.Button(1252)->click();

        EXPECT_EQ(md->nReverseScreen, c.expectedReverse);
        EXPECT_EQ(view.Button(1252)->isChecked(), c.expectedToggle);
        EXPECT_EQ(view.m_pExtScrDlg->Reversed(), c.expectedReverse);
    }
}

TEST_F(MainWndTest, ColourSwapButtonsReskinTheirSidesPointButtons) {
    struct Case {
        const char* name;
        int button;
        int clicks;
        int side;
        COLORREF background;
        std::vector<int> bitmaps;
        int pointButton; // one of the side's point buttons
    };
    const Case cases[] = {
        {"Chung on: blue", 1136, 1, 0, RGB(238, 245, 255), {483, 484, 664, 486, 488, 489}, 1120},
        {"Chung off: red", 1136, 2, 0, RGB(254, 241, 242), {490, 491, 661, 493, 495, 660}, 1144},
        {"Hong on: red", 1139, 1, 1, RGB(254, 241, 242), {490, 491, 662, 493, 495, 660}, 1129},
        {"Hong off: blue", 1139, 2, 1, RGB(238, 245, 255), {483, 484, 663, 486, 488, 489}, 1279},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMainWnd view;
        view.OnInitialUpdate();
        const CMainWnd::ButtonSkin otherSide = view.m_pointButtonSkin[1 - c.side];
        for (int i = 0; i < c.clicks; ++i)
            view.Button(c.button)->click();

        const CMainWnd::ButtonSkin& skin = view.m_pointButtonSkin[c.side];
        EXPECT_EQ(skin.background, c.background);
        EXPECT_EQ(std::vector<int>(std::begin(skin.bitmaps), std::end(skin.bitmaps)), c.bitmaps);
        auto* point = qobject_cast<CIconButton*>(view.Button(c.pointButton));
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(point->m_crColors[CIconButton::BkIn], c.background) << "its colour under the pointer";
        EXPECT_EQ(view.m_pointButtonSkin[1 - c.side].background, otherSide.background)
            << "other side untouched";
    }
}

TEST_F(MainWndTest, RoundBreakdownStaticsPaintTheirBackgrounds) {
    struct Case {
        int id;
        std::optional<COLORREF> colour;
    };
    const Case cases[] = {
        {1149, RGB(255, 255, 255)}, {1152, RGB(255, 255, 255)}, {1161, RGB(255, 255, 255)},
        {1180, RGB(255, 255, 255)}, {1190, RGB(255, 255, 255)}, {1153, RGB(250, 235, 237)},
        {1159, RGB(250, 235, 237)}, {1183, RGB(250, 235, 237)}, {1188, RGB(250, 235, 237)},
        {1154, RGB(247, 225, 228)}, {1189, RGB(247, 225, 228)}, {1148, std::nullopt},
        {1162, std::nullopt},       {1179, std::nullopt},       {1191, std::nullopt},
    };
    CMainWnd view;
    view.OnInitialUpdate(); // the dressing of the controls keeps these backgrounds
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(CMainWnd::StaticBackground(c.id), c.colour);
        if (!c.colour)
            continue;
        QWidget* label = view.GetDlgItem(c.id);
        ASSERT_NE(label, nullptr);
        const QColor expected(*c.colour & 0xFF, (*c.colour >> 8) & 0xFF, *c.colour >> 16);
        EXPECT_EQ(label->grab().toImage().pixelColor(1, 1), expected) << "the static is painted in it";
    }
}

TEST_F(MainWndTest, EventListRowsAlternateInColour) {
    struct Case {
        int row;
        COLORREF text;
        COLORREF background;
    };
    const Case cases[] = {
        {0, RGB(128, 37, 0), RGB(254, 252, 253)},
        {1, RGB(0, 0, 0), RGB(238, 251, 255)},
        {2, RGB(128, 37, 0), RGB(254, 252, 253)},
        {7, RGB(0, 0, 0), RGB(238, 251, 255)},
    };
    CMainWnd view;
    auto* list = qobject_cast<CMyListCtrl*>(view.GetDlgItem(1081));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(qobject_cast<CMyListCtrl*>(view.GetDlgItem(1080)), nullptr);
    list->setRowCount(8);
    list->setColumnCount(1);
    list->resize(200, 300);
    const QImage shot = list->grab().toImage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(CMyListCtrl::OnGetCellTextColor(c.row, 3), c.text);
        EXPECT_EQ(CMyListCtrl::OnGetCellBkColor(c.row, 0), c.background);
        const QRect cell = list->visualRect(list->model()->index(c.row, 0));
        const QPoint inside = list->viewport()->mapTo(list, cell.center());
        const QColor painted = shot.pixelColor(inside);
        EXPECT_EQ(painted, QColor(c.background & 0xFF, (c.background >> 8) & 0xFF, c.background >> 16));
    }
}

TEST_F(MainWndTest, TheNewestEventRowComesIntoViewWholeOnceTheListIsLaidOut) {
    md->nGameState = 3;
    CMainWnd view;
    view.resize(OperatorLayout::Width, OperatorLayout::Height);
    view.SetupControls();
    view.show();
    CMyListCtrl* list = view.EventList(1081);
    // Every column of the newest row inside the list, nothing to scroll sideways.
    const auto newestInView = [&] {
        const int row = list->rowCount() - 1;
        const QRect cells =
            list->visualItemRect(list->item(row, 0)).united(list->visualItemRect(list->item(row, 4)));
        return list->viewport()->rect().contains(cells);
    };
    for (int n = 0; n < 12; ++n)
        view.RecordScoreEvent(u"1:00", 0, 3, 0, 2, 1, 0);
    ASSERT_TRUE(pumpUntil(newestInView, std::chrono::seconds(5)));
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    // The operator scrolls back to the first events; the next event brings the newest row back.
    list->verticalScrollBar()->setValue(0);
    view.RecordScoreEvent(u"0:59", 0, 3, 0, 2, 1, 0);
    EXPECT_TRUE(pumpUntil(newestInView, std::chrono::seconds(5)));
    EXPECT_EQ(list->item(list->rowCount() - 1, 4)->text(), QStringLiteral("0:59"));
}

TEST_F(MainWndTest, DestructionWritesReverseScreenAndFreesTheDivisions) {
    struct Case {
        const char* name;
        bool started;
        int reverseAtStart;
        bool clickReverse;
        const char* written;
    };
    const Case cases[] = {
        {"reversed, untouched", true, 1, false, "1"},
        {"normal, reversed by the operator", true, 0, true, "1"},
        {"reversed, set back by the operator", true, 1, true, "0"},
        {"never started: the saved setting stays", false, 1, false, "7"},
    };
    home.write(
        "ini/WeightDiv.ini",
        "[Division]\r\nNumber=1\r\nName_0=Senior\r\n[Senior_Male]\r\nCat_Number=1\r\nCat_Name_0=-58\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        home.write("ini/Rule.ini", "[Rule]\r\nCourt_No=3\r\nReverse_Screen=7\r\n");
        md->nReverseScreen = c.reverseAtStart;
        auto view = std::make_unique<CMainWnd>();
        if (c.started) {
            view->OnInitialUpdate();
            ASSERT_EQ(md->nDivisionCount, 1);
            view->Button(1247)->setChecked(true);
        }
        if (c.clickReverse)
            view->Button(1252)->click();

        view.reset();

        EXPECT_EQ(RuleValue(u"Reverse_Screen"), c.written);
        EXPECT_EQ(RuleValue(u"Court_No"), "3");
        EXPECT_EQ(md->nReverseScreen, c.started ? std::stoi(c.written) : c.reverseAtStart);
        EXPECT_EQ(md->nDivisionCount, 0);
        EXPECT_EQ(md->pDivisionName, nullptr);
    }
}

TEST_F(MainWndTest, ClosingTheViewReleasesAWorkerBlockedSendingToIt) {
    auto view = std::make_unique<CMainWnd>();
    const HWND hwnd = view->GetSafeHwnd();
    std::atomic<bool> returned{false};
    std::atomic<LRESULT> result{-1};
    std::thread worker([&] {
        result = SendMessage(hwnd, UM_RECEIVER_PRESENT, 0, 0);
        returned = true;
    });
    // The UI thread does not pump: the send stays queued, as while the UI thread is busy closing.
    ASSERT_TRUE(pumpUntil([] { return platform::pendingSendCount() == 1; }, std::chrono::seconds(20), false));

    // The first phase of the end alone releases it, before the destructor goes on to join the workers.
    view->OnDestroy();

    const bool released = pumpUntil([&] { return returned.load(); }, std::chrono::seconds(20), false);
    if (!released)
        platform::shutdownMessages(); // never leave the worker hanging
    worker.join();
    platform::restartMessagesForTests();
    EXPECT_TRUE(released);
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(IsWindow(hwnd));
    view.reset();
}

} // namespace
