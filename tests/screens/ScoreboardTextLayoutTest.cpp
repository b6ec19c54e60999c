// The public scoreboard's texts as the stands read them, on every layout with long names in Latin, Hangul
// and Chinese letters: each text stays inside its area, none runs into another, none is too small to read
// from the stands, and each stands out from what is behind it.
#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MatchData.h"
#include "screens/ExtScrDlg.h"
#include "screens/ScoreboardLayout.h"
#include "tests/screens/ScreenTestSupport.h"
#include "tests/support/TempHome.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace Scoreboard;

// The contrast of a text against what lies behind it: the ring of pixels just around its glyphs' box, at
// the median (a neighbour's edge in the ring is not what the text stands on).
double ContrastBehind(const QImage& board, const QRect& box, QColor text) {
    std::vector<double> ratios;
    const QRect ring = box.adjusted(-3, -3, 3, 3);
    for (int x = ring.left(); x <= ring.right(); ++x)
        for (const int y : {ring.top(), ring.bottom()})
            if (board.rect().contains(x, y))
                ratios.push_back(Contrast(board.pixelColor(x, y), text));
    for (int y = ring.top(); y <= ring.bottom(); ++y)
        for (const int x : {ring.left(), ring.right()})
            if (board.rect().contains(x, y))
                ratios.push_back(Contrast(board.pixelColor(x, y), text));
    if (ratios.empty())
        return 0;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    return ratios[ratios.size() / 2];
}

class ScoreboardTextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        MatchData& md = *g_pMatchData;
        Put(md.szAppDirA, home.path().c_str());
        md.nMonitorCount = 2;
        md.nRound = 3;
        md.nCurRound = 2;
        md.nGameState = 3;
        md.nLevelBody = 24;
        md.nLevelHead = 12;
        Put(md.szContestNo, "1207");
        md.aSide[0].nVRRemain = md.aSide[1].nVRRemain = 1;
        md.aSide[0].nPenaltyCount1 = 2;
        md.aSide[1].nRoundWins = 1;
        md.nRoundWinner[0] = 2;
    }
    void TearDown() override {
        FreeMatchData();
        g_strAppDir.clear();
    }
    TempHome home;
};

TEST_F(ScoreboardTextLayoutTest, LongNamesStayInTheirBoxesAndEveryTextCanBeRead) {
    struct Layout {
        const char* name;
        int resolution, rule, judges;
    };
    const Layout layouts[] = {
        {"1920 points", 0, 0, 3},    {"1280 points", 1, 0, 3},
        {"1920 round-win", 0, 1, 3}, {"1920 round-win, one judge", 0, 1, 1},
        {"1280 round-win", 1, 1, 3},
    };
    struct Names {
        const char* script;
        const char *chung, *hong, *chungTeam, *hongTeam;
    };
    const Names names[] = {
        {"Latin", "MAXIMILIAN HOHENBERG-SCHWARZENSTEIN", "AHMAD ABUGHAUSH AL-HASHEMI", "KOREA NATIONAL TEAM",
         "JORDAN NATIONAL TEAM"},
        {"Hangul",
         "\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80 "
         "\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0",
         "\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88 "
         "\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c",
         "\xeb\x8c\x80\xed\x95\x9c\xeb\xaf\xbc\xea\xb5\xad", "\xed\x95\x9c\xea\xb5\xad"},
        {"Chinese",
         "\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e"
         "\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89",
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e"
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e",
         "\xe4\xb8\xad\xe5\x9b\xbd\xe5\x9b\xbd\xe5\xae\xb6\xe9\x98\x9f",
         "\xe4\xb8\xad\xe5\x8d\x8e\xe5\x8f\xb0"
         "\xe5\x8c\x97"},
    };
    MatchData& md = *g_pMatchData;
    for (const Layout& layout : layouts) {
        for (const int team : {0, 1}) {
            for (const Names& n : names) {
                SCOPED_TRACE(testing::Message() << n.script << " names on the " << layout.name << " board"
                                                << (team ? ", a team match" : ""));
                md.nCompetitionType = team;
                md.nDisplayResolution = layout.resolution;
                md.nCompetitionRule = layout.rule;
                md.nJudgeNumber = layout.judges;
                const QSize size = layout.resolution == 1 ? QSize(1280, 720) : QSize(1920, 1080);
                md.nExtScrWidth = size.width();
                md.nExtScrHeight = size.height();
                Put(md.aPlayer[0].szName, n.chung);
                Put(md.aPlayer[1].szName, n.hong);
                Put(md.aPlayer[0].szNationCode, n.chungTeam);
                Put(md.aPlayer[1].szNationCode, n.hongTeam);
                CExtScrDlg board;
                board.resize(size);
                board.SetScores(12, 7, 0);
                board.SetRoundText(2);
                board.ApplyClockMode();
                board.SetClockText(QStringLiteral("1:23"));
                const QImage shown = board.grab().toImage();
                const std::vector<CExtScrDlg::DrawnText>& texts = board.DrawnTexts();
                ASSERT_FALSE(texts.empty());
                bool namesShown[2] = {};
                for (const CExtScrDlg::DrawnText& t : texts) {
                    const std::string what = t.text.toStdString();
                    SCOPED_TRACE(what);
                    for (int side = 0; side < 2; ++side) {
                        const QString name = QString::fromUtf8(side == 0 ? n.chung : n.hong);
                        if (t.text.startsWith(name.left(3)))
                            namesShown[side] = true;
                    }
                    EXPECT_TRUE(t.area.contains(t.box)) << "leaves its area";
                    // The cards' own captions aside, no box lies on a video-replay card.
                    const Scoreboard::Layout shape = LayoutOf(md);
                    const bool caption = t.area == AreaRect(shape, ReplayCardLeft) ||
                                         t.area == AreaRect(shape, ReplayCardRight);
                    for (const bool right : {false, true})
                        EXPECT_FALSE(!caption && t.area.intersects(ReplayCardPictureRect(shape, right)))
                            << "its box lies on a video-replay card";
                    EXPECT_GE(t.pixelSize * 100, size.height() * 2) << "under 2 % of the board's height";
                    EXPECT_GE(ContrastBehind(shown, t.box, ColorFromRef(t.colour)), 4.5);
                    for (const CExtScrDlg::DrawnText& other : texts) {
                        // Apart by a gap the stands see, not only not overlapping.
                        const int gap = size.width() / 200;
                        if (&other != &t) {
                            EXPECT_FALSE(t.box.adjusted(-gap, -gap, gap, gap).intersects(other.box))
                                << "runs into " << other.text.toStdString();
                        }
                    }
                }
                EXPECT_TRUE(namesShown[0] && namesShown[1]) << "both names are on the board";
            }
        }
    }
}

} // namespace
