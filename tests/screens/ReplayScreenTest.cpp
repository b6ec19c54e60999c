// The public video-replay screen: the picture of each mode, the count text of the modes that have one, and
// the picture changing with the mode.
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "screens/ExtIvrScrDlg.h"

#include <gtest/gtest.h>

#include <QImage>

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

} // namespace
