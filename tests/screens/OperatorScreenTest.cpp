// The operator screen as the operator sees it: its owner-drawn controls, their pictures and colours, the
// once-a-second refresh, the paint parts and what reaches the public scoreboard.
#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "controls/IconButton.h"
#include "controls/MyStatic.h"
#include "controls/PanelStatic.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorImages.h"
#include "screens/OperatorLayout.h"
#include "tests/screens/OperatorViewTest.h"
#include "tests/screens/ScreenTestSupport.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace OperatorIds;

using RecordingView = RecordingRepaints<CMainWnd>;

class OperatorScreenTest : public OperatorViewTest<RecordingView> {
protected:
    // One tick of the device-status timer: compare, then take the snapshot.
    void Tick() {
        view->invalidated.clear();
        view->RefreshFromSnapshot();
        std::memcpy(static_cast<void*>(g_pMatchSnapshot), g_pMatchData, sizeof(MatchData));
    }
};

TEST_F(OperatorScreenTest, CorrectionButtonsStandInTwoRowsOfSevenASideWithTheirIds) {
    const struct {
        int id;
        int x, y;
        int bitmap;
    } cases[] = {
        {1119, 17, 492, 913},   {1142, 17, 529, 912},   {1120, 105, 492, 897},   {1143, 105, 529, 896},
        {1122, 193, 492, 905},  {1145, 193, 529, 904},  {1124, 281, 492, 893},   {1146, 281, 529, 892},
        {1430, 369, 492, 909},  {1144, 369, 529, 908},  {1125, 457, 492, 901},   {1147, 457, 529, 900},
        {1283, 545, 492, 1030}, {1293, 545, 529, 1031}, {1128, 661, 492, 915},   {1148, 661, 529, 914},
        {1129, 749, 492, 899},  {1277, 749, 529, 898},  {1131, 837, 492, 907},   {1280, 837, 529, 906},
        {1133, 925, 492, 895},  {1281, 925, 529, 894},  {1431, 1013, 492, 911},  {1279, 1013, 529, 910},
        {1134, 1101, 492, 903}, {1282, 1101, 529, 902}, {1294, 1189, 492, 1028}, {1295, 1189, 529, 1029},
    };
    ASSERT_EQ(OperatorLayout::CorrectionButtons().size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        auto* button = qobject_cast<CIconButton*>(view->GetDlgItem(c.id));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(c.x, c.y, 74, 37));
        EXPECT_TRUE(button->isVisibleTo(view.get()));
        EXPECT_NE(button->ShownImage(false), nullptr) << "its bitmap is set";
        EXPECT_FALSE(button->toolTip().isEmpty()) << "a button without a caption says what it does";
        EXPECT_EQ(button->accessibleName(), button->toolTip());
        bool found = false;
        for (const CorrectionButton& entry : OperatorLayout::CorrectionButtons())
            if (entry.id == c.id) {
                found = true;
                EXPECT_EQ(entry.bitmap, c.bitmap);
            }
        EXPECT_TRUE(found);
        EXPECT_LE(c.x + 74, OperatorLayout::Width) << "inside the screen";
    }
}

TEST_F(OperatorScreenTest, EveryButtonHoversInTheSameColourAndEveryPictureButtonSaysWhatItDoes) {
    int buttons = 0;
    for (const ControlPlace& place : OperatorLayout::Controls()) {
        auto* button = qobject_cast<CIconButton*>(view->GetDlgItem(place.id));
        if (!button)
            continue;
        SCOPED_TRACE(place.id);
        ++buttons;
        EXPECT_EQ(button->m_crColors[CIconButton::BkIn], RGB(238, 245, 255)) << "Hong's as well as Chung's";
        EXPECT_EQ(button->m_crColors[CIconButton::BkOut], RGB(255, 255, 255));
        if (button->text().isEmpty()) {
            EXPECT_FALSE(button->toolTip().isEmpty());
            EXPECT_NE(button->ShownImage(false), nullptr) << "an empty button must show a picture";
        }
    }
    EXPECT_GE(buttons, 50);
}

TEST_F(OperatorScreenTest, EveryTextIsReadableOnItsBackgroundInEveryState) {
    for (const int state : {0, 1, 3, 5, 8, 9, 11, 14}) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        md().nGameState = state;
        md().nCompetitionRule = state == 5 ? 1 : 0;
        view->UpdateStateDisplay();
        view->ShowRoundLeader();
        for (const ControlPlace& place : OperatorLayout::Controls()) {
            auto* label = qobject_cast<CMyStatic*>(view->GetDlgItem(place.id));
            if (!label || place.rect.height() < 12)
                continue; // the 8-pixel lamps and leader bars carry no text
            SCOPED_TRACE(place.id);
            EXPECT_GE(Contrast(ColorFromRef(label->m_crText), ColorFromRef(label->m_crFill)), 4.5);
        }
    }
}

TEST_F(OperatorScreenTest, JudgeNumbersSitAboveTheirIconsNotOnThem) {
    for (int judge = 0; judge < 3; ++judge) {
        SCOPED_TRACE(judge);
        const QRect number = OperatorLayout::JudgeNumber(judge);
        EXPECT_FALSE(number.intersects(OperatorLayout::JudgeIcon(judge)));
        EXPECT_GE(number.top(), 0);
        EXPECT_GE(number.height(), 16) << "room for the 16-pixel font";
    }
}

TEST_F(OperatorScreenTest, TheRefreshRepaintsOnlyWhatChanged) {
    md().nPSSType = 2;
    md().nJudgeNumber = 3;
    Tick();
    Tick();
    EXPECT_TRUE(view->invalidated.empty()) << "no change, no repaint";

    const struct {
        const char* what;
        void (*change)(MatchData&);
        QRect area;
    } cases[] = {
        {"receiver opens", [](MatchData& m) { m.bReceiverOpen = 1; }, OperatorLayout::ReceiverIcon()},
        {"Chung's trunk protector stops reporting", [](MatchData& m) { DeviceStatusSet(m, 1 << 1); },
         OperatorLayout::TrunkIcon(0)},
        {"Hong's head gear stops reporting", [](MatchData& m) { DeviceStatusSet(m, 1 << 2); },
         OperatorLayout::HeadIcon(1)},
        {"judge 2's device stops reporting", [](MatchData& m) { DeviceStatusSet(m, 1 << 5); },
         OperatorLayout::JudgeIcon(1)},
        {"Hong's trunk protector registers", [](MatchData& m) { m.bRegBody[1] = 1; },
         OperatorLayout::TrunkIcon(1)},
        {"a battery value changes", [](MatchData& m) { m.nBodyBattery[0] = 110; },
         OperatorLayout::TrunkIcon(0)},
        {"a wired judge reports", [](MatchData& m) { m.nJudgeWiredValue[2] = 115; },
         OperatorLayout::JudgeIcon(2)},
        {"the number of judges changes", [](MatchData& m) { m.nJudgeNumber = 2; },
         OperatorLayout::JudgeIcon(0)},
        {"the protectors in use change", [](MatchData& m) { m.nPSSType = 1; }, OperatorLayout::HeadIcon(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.change(md());
        // The change is seen against the snapshot (a battery against the value last shown, so within two
        // ticks), and then no more.
        Tick();
        bool seen = view->Invalidated(c.area);
        Tick();
        seen = seen || view->Invalidated(c.area);
        EXPECT_TRUE(seen);
        Tick();
        EXPECT_TRUE(view->invalidated.empty());
    }
}

TEST_F(OperatorScreenTest, TeamDevicesArePaintedForThePairThatWasCompared) {
    md().nCompetitionType = 1;
    md().nTeamType = 0; // three pairs
    md().nPSSType = 1;
    for (int tick = 0; tick < 4; ++tick) {
        const int compared = view->m_nTeamPage;
        Tick();
        EXPECT_EQ(view->m_nDevicePage, compared) << tick;
        if (tick > 0) {
            EXPECT_TRUE(view->Invalidated(OperatorLayout::TrunkIcon(0))) << "a new pair shows each second";
        }
    }
}

TEST_F(OperatorScreenTest, APaintWithEveryPictureMissingDrawsNoneOfThem) {
    md().nGameState = 3;
    md().nPSSType = 2;
    md().nJudgeNumber = 3;
    md().aSide[0].aJudgePress[0] = {2, 0, 1};
    md().aSide[1].aJudgeSlot[1][4] = {3, 1, 1};
    md().aSide[0].aSlotState[2].nState = 2;
    md().aSide[1].aLastHit[0] = {1, 30};
    md().aSide[0].nVRRemain = 2;
    md().bRegBody[0] = 1;
    view->m_pImages = std::make_shared<CMainWnd::PaintImages>(); // every picture null
    const QImage shot = view->grab().toImage();
    const QColor background = shot.pixelColor(OperatorLayout::JudgePress(1, 2).center());
    for (const QRect& area : {OperatorLayout::JudgePress(0, 0), OperatorLayout::JudgeSlot(1, 1, 4),
                              OperatorLayout::SlotState(0, 2), OperatorLayout::LastHit(1, 0),
                              OperatorLayout::ReplayImage(0), OperatorLayout::ReceiverIcon()})
        EXPECT_EQ(shot.pixelColor(area.center()), background) << area.x() << "," << area.y();
}

TEST_F(OperatorScreenTest, HitLevelHistoryAcceptsByTheProtectorsInUse) {
    const struct {
        int competition, pss, type, level;
        bool usePunch, accepted;
    } cases[] = {
        {0, 0, 1, 30, false, false}, // no protectors: nothing
        {0, 1, 1, 30, false, true},
        {0, 1, 2, 30, false, false},
        {0, 1, 3, 30, false, true},
        {0, 2, 1, 30, false, true},
        {0, 2, 2, 30, false, true},
        {0, 2, 3, 30, false, true},
        {0, 2, 4, 30, false, false}, // no such hit
        {0, 2, 3, 99, true, false},  // a punch given by the judges is no hit level
        {0, 2, 3, 99, false, true},
        {2, 1, 2, 30, false, true}, // the third judging type takes any hit with
                                    // trunk protectors only
        {2, 2, 1, 30, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.competition << "/" << c.pss << " type " << c.type << " level " << c.level);
        md().nCompetitionType = c.competition;
        md().nPSSType = c.pss;
        md().bUsePunch = c.usePunch;
        view->ClearHitLevels();
        view->ShowHitLevel(1, c.type, c.level);
        EXPECT_EQ(md().aSide[1].aLastHit[0].nType != 0, c.accepted);
        EXPECT_EQ(md().aSide[0].aLastHit[0].nType, 0) << "only the side's own history";
    }
}

TEST_F(OperatorScreenTest, ValuesAreHandedToThePublicScoreboard) {
    view->m_pExtScrDlg = new CExtScrDlg(view.get());
    md().nGameState = 3;
    md().nVRQuota = 2;
    md().nPSSType = 1;
    md().nLevelBody = 20;
    view->ShowScores(4, 11);
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 4);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 11);
    view->ShowClockMs(9'870);
    EXPECT_EQ(view->m_pExtScrDlg->ClockText(), QStringLiteral("9.87"));
    view->ShowRoundNumber(2);
    EXPECT_EQ(view->m_pExtScrDlg->RoundText(), QStringLiteral("2"));
    view->ShowReplayQuota(2, 0);
    EXPECT_EQ(view->m_pExtScrDlg->ReplayText(0), QStringLiteral("2"));
    EXPECT_EQ(view->m_pExtScrDlg->ReplayText(1), QString()) << "no request left";
    view->ShowHitLevel(1, 1, 25);
    EXPECT_TRUE(view->m_pExtScrDlg->HitLevelBlinking(1)) << "a valid hit";
    view->ShowHitLevel(0, 1, 5);
    EXPECT_FALSE(view->m_pExtScrDlg->HitLevelBlinking(0)) << "below the minimum";
    view->ClearHitLevels();
    EXPECT_FALSE(view->m_pExtScrDlg->HitLevelBlinking(1));
    delete view->m_pExtScrDlg;
    view->m_pExtScrDlg = nullptr;
}

TEST_F(OperatorScreenTest, TeamControlsShowOnlyInATeamMatch) {
    EXPECT_FALSE(view->GetDlgItem(TagChung)->isVisibleTo(view.get()));
    md().nCompetitionType = 1;
    view->UpdateStateDisplay();
    for (int id : {TagChung, TagHong, TagCancelChung, TeamPointAddHong, TagTextChung})
        EXPECT_TRUE(view->GetDlgItem(id)->isVisibleTo(view.get())) << id;
    md().nCompetitionType = 0;
    view->UpdateStateDisplay();
    EXPECT_FALSE(view->GetDlgItem(TagHong)->isVisibleTo(view.get()));
}

TEST_F(OperatorScreenTest, PaintingNeverEndsATagOnlyTheClockDoes) {
    md().nCompetitionType = 1;
    md().nTeamTagTime = 60;
    md().nGameState = 3;
    view->m_bTagActive[0] = 1;
    view->m_nTagStartMs[0] = 100'000;
    md().nRemainTime = 30'000; // seventy seconds on: the window has run out
    view->grab();
    EXPECT_EQ(view->m_bTagActive[0], 1) << "a repaint decides nothing";
    view->UpdateChangeInfo(); // what the round clock runs while a tag counts
    EXPECT_EQ(view->m_bTagActive[0], 0);
}

TEST_F(OperatorScreenTest, TheRoundTableTakesThePlaceOfTheScores) {
    md().nCompetitionRule = 1;
    md().nCurRound = 1;
    md().nGameState = 5;
    view->UpdateStateDisplay();
    EXPECT_FALSE(view->GetDlgItem(ScoreChung)->isVisibleTo(view.get()));
    EXPECT_TRUE(view->GetDlgItem(RoundCellChung[0])->isVisibleTo(view.get()));
    md().nGameState = 3;
    view->UpdateStateDisplay();
    EXPECT_TRUE(view->GetDlgItem(ScoreChung)->isVisibleTo(view.get()));
}

TEST_F(OperatorScreenTest, ControlsStayInsideTheScreenAndDoNotOverlap) {
    std::vector<const ControlPlace*> shown;
    for (const ControlPlace& place : OperatorLayout::Controls()) {
        if (place.kind == ControlKind::Area || place.rect.isEmpty())
            continue;
        EXPECT_TRUE(QRect(0, 0, OperatorLayout::Width, OperatorLayout::Height).contains(place.rect))
            << place.id;
        if (place.visible)
            shown.push_back(&place);
    }
    for (const ControlPlace* a : shown)
        for (const ControlPlace* b : shown)
            if (a < b) {
                EXPECT_FALSE(a->rect.intersects(b->rect)) << a->id << " and " << b->id;
            }
}

TEST_F(OperatorScreenTest, TheNamesLeaveTheTeamButtonsUncoveredWithOrWithoutANation) {
    using namespace OperatorIds;
    const int buttons[] = {TagChung, TagCancelChung, TeamPointAddChung, TeamPointRemoveChung,
                           TagHong,  TagCancelHong,  TeamPointAddHong,  TeamPointRemoveHong};
    for (const int nation : {0, 1}) {
        SCOPED_TRACE(nation ? "with a nation" : "without a nation");
        g_pMatchData->nNationCount = 2;
        g_pMatchData->aPlayer[0].nNation = g_pMatchData->aPlayer[1].nNation = nation;
        view->ShowPlayers();
        for (const int label : {NameChung, NameHong, NationChung, NationHong}) {
            for (const int button : buttons) {
                EXPECT_FALSE(
                    view->GetDlgItem(label)->geometry().intersects(view->GetDlgItem(button)->geometry()))
                    << label << " covers " << button;
            }
        }
    }
}

} // namespace
