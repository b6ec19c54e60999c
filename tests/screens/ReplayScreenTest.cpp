// The public video-replay screen: the picture of each mode, the count text of the modes that have one, and
// the picture changing with the mode.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "match/VideoReplayDlg.h"
#include "resources/Artwork.h"
#include "screens/ExtIvrScrDlg.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <string>

namespace {

class ReplayScreenTest : public ::testing::Test {
protected:
    void SetUp() override { CreateMatchData(); }
    void TearDown() override { FreeMatchData(); }
};

TEST_F(ReplayScreenTest, PictureOfEachMode) {
    struct Case {
        int mode;
        int small, large;
    };
    const Case cases[] = {{0, 848, 838},   {2, 850, 840},   {5, 853, 843},   {6, 0, 0},
                          {7, 1026, 1026}, {8, 1024, 1024}, {9, 1028, 1028}, {10, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(CTK_ExtIvrScrDlg::PictureId(c.mode, true), c.small);
        EXPECT_EQ(CTK_ExtIvrScrDlg::PictureId(c.mode, false), c.large);
    }
    EXPECT_LE(CTK_ExtIvrScrDlg::CountRect(true).bottom(), 719) << "inside the small screen";
}

TEST_F(ReplayScreenTest, CountTextOnlyInTheModesThatCountAndANewModeShowsItsPicture) {
    g_pMatchData->nDisplayResolution = 1;
    CTK_ExtIvrScrDlg screen(4, QRect(0, 0, 1280, 720));
    ASSERT_TRUE(screen.Small());
    screen.SetDisplay(4, QStringLiteral("Kye-Shi: 0:42"));
    EXPECT_EQ(screen.CountText(), QStringLiteral("Kye-Shi: 0:42"));
    const QImage counting = screen.grab().toImage();
    const QRect count = CTK_ExtIvrScrDlg::CountRect(true);
    bool white = false;
    for (int y = count.top(); y <= count.bottom() && !white; y += 2)
        for (int x = count.left(); x <= count.right() && !white; x += 2)
            white = counting.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white) << "the count is drawn over the picture";

    screen.SetDisplay(2, QStringLiteral("Kye-Shi: 0:41"));
    EXPECT_EQ(screen.Mode(), 2);
    EXPECT_EQ(screen.CountText(), QString()) << "mode 2 has no count";
    const QImage rejected = screen.grab().toImage();
    const std::unique_ptr<QImage> picture = LoadPngResource(850);
    ASSERT_TRUE(picture);
    const QPoint probe(20, 20);
    EXPECT_EQ(rejected.pixelColor(probe), picture->pixelColor(probe)) << "the new mode's picture";
}

// Each step of a replay, taken through the operator view, and what the arena then reads on its screen.
class ReplayStatesTest : public ::testing::Test, protected TestCourt {
protected:
    ReplayStatesTest() {
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        md->nGameState = 8;
        md->nRound = 3;
        md->nCurRound = 1;
        md->nVRQuota = 1;
    }

    // The words on the picture the public video-replay screen shows; empty without a screen.
    static std::string Says(const CMainWnd& view) {
        const CTK_ExtIvrScrDlg* screen = view.m_pExtIvrScrDlg;
        if (!screen || !screen->isVisible())
            return {};
        const int id = CTK_ExtIvrScrDlg::PictureId(screen->Mode(), screen->Small());
        return ArtworkSays(ImageKind::Png, id).toStdString();
    }
};

TEST_F(ReplayStatesTest, EachRequestAndOutcomeShowsThePictureThatSaysIt) {
    struct Case {
        const char* step;
        std::function<void(CMainWnd&)> act;
        const char* says;
    };
    const Case cases[] = {
        {"Chung's request", [](CMainWnd& v) { v.RequestVideoReplay(0); }, "VIDEO REPLAY\nCHUNG REQUEST"},
        {"Hong's request", [](CMainWnd& v) { v.RequestVideoReplay(1); }, "VIDEO REPLAY\nHONG REQUEST"},
        {"the referee's request", [](CMainWnd& v) { v.OnClickedIvrRequest(); },
         "VIDEO REPLAY\nREFEREE REQUEST"},
        {"Chung's accepted", [](CMainWnd& v) { v.OnFinalDecision("B,B,P,2,A,1"); },
         "VIDEO REPLAY\nCHUNG REQUEST ACCEPTED"},
        {"Hong's accepted", [](CMainWnd& v) { v.OnFinalDecision("R,R,M,1,A,1"); },
         "VIDEO REPLAY\nHONG REQUEST ACCEPTED"},
        {"Chung's rejected", [](CMainWnd& v) { v.OnFinalDecision("B,B,P,2,R,1"); },
         "VIDEO REPLAY\nCHUNG REQUEST REJECTED"},
        {"Hong's rejected", [](CMainWnd& v) { v.OnFinalDecision("R,B,P,G,R,0"); },
         "VIDEO REPLAY\nHONG REQUEST REJECTED"},
        {"the referee's accepted", [](CMainWnd& v) { v.OnFinalDecision("J,R,P,G,A,0"); },
         "VIDEO REPLAY\nREFEREE REQUEST ACCEPTED"},
        {"the referee's rejected", [](CMainWnd& v) { v.OnFinalDecision("J,B,P,G,R,0"); },
         "VIDEO REPLAY\nREFEREE REQUEST REJECTED"},
    };
    for (const int resolution : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.step << " at resolution " << resolution);
            md->nDisplayResolution = resolution;
            md->aSide[0].nVRRemain = md->aSide[1].nVRRemain = 1;
            CMainWnd view;
            c.act(view);
            EXPECT_EQ(Says(view), c.says);
            delete view.m_pIvrDlg.data();
        }
    }
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace
