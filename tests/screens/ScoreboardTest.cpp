// The public scoreboard: where it goes, what each area shows, which rectangles each update repaints, the
// hit-level blink on its timer, and the layouts as they come out of a real paint.
#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MatchData.h"
#include "controls/AnimatedPicture.h"
#include "platform/TickSource.h"
#include "screens/ExtScrDlg.h"
#include "screens/ScoreboardRules.h"
#include "tests/platform/EventPump.h"
#include "tests/screens/ScreenTestSupport.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <memory>

namespace {

using namespace Scoreboard;

using RecordingBoard = RecordingRepaints<CExtScrDlg>;

class ScoreboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        Put(md().szAppDirA, home.path().c_str());
        md().nMonitorCount = 2;
        md().nPrimaryRight = 1366;
        md().nPrimaryBottom = 768;
        md().nSecondRight = 1366 + 1920;
        md().nSecondBottom = 1080;
        md().nDisplayResolution = 0;
        md().nExtScrWidth = 1920;
        md().nExtScrHeight = 1080;
        md().nRound = 3;
        md().nJudgeNumber = 3;
    }
    void TearDown() override {
        board.reset();
        FreeMatchData();
        g_strAppDir.clear();
    }
    MatchData& md() { return *g_pMatchData; }
    RecordingBoard& Board() {
        if (!board)
            board = std::make_unique<RecordingBoard>();
        return *board;
    }
    // A nation row whose flag is a plain PNG of one colour in the program folder.
    void Nation(int row, const char* code, QColor colour) {
        const QString file = QStringLiteral("%1.gif").arg(QLatin1String(code));
        QImage flag(30, 20, QImage::Format_RGB32);
        flag.fill(colour);
        ASSERT_TRUE(flag.save(QString::fromStdString(home.file("Img/Flag/")) + file, "PNG"));
        PutWide(md().aNation[row].wszField[0], QLatin1String(code));
        PutWide(md().aNation[row].wszField[3], file);
    }
    QImage Render() {
        Board().resize(SizeOf(LayoutOf(md())));
        return Board().grab().toImage();
    }

    TempHome home;
    std::unique_ptr<RecordingBoard> board;
};

TEST(ScoreboardRulesTest, PlacementCentresOnTheSecondMonitorWhereverItLies) {
    struct Case {
        const char* name;
        QRect monitor;
        QSize size;
        QRect expected;
    };
    const Case cases[] = {
        {"right of the primary", {1366, 0, 1920, 1080}, {1280, 720}, {1686, 180, 1280, 720}},
        {"left of the primary", {-1920, 0, 1920, 1080}, {1280, 720}, {-1600, 180, 1280, 720}},
        {"above the primary", {0, -1200, 1920, 1200}, {1920, 1080}, {0, -1140, 1920, 1080}},
        {"smaller than the layout keeps the corner on it",
         {1920, 0, 1366, 768},
         {1920, 1080},
         {1920, 0, 1920, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CentreOnMonitor(c.monitor, c.size), c.expected);
    }
}

TEST_F(ScoreboardTest, PublicScreenUsesTheMeasuredMonitorAndOtherwiseTheOneRightOfThePrimary) {
    md().nExtScrWidth = 1280;
    md().nExtScrHeight = 720;
    EXPECT_EQ(PublicScreenRect(md()), QRect(1686, 180, 1280, 720)) << "edges alone: right of the primary";
    md().bSecondOrigin = 1;
    md().nSecondLeft = -1920;
    md().nSecondTop = -100;
    md().nSecondRight = 0;
    md().nSecondBottom = 980;
    EXPECT_EQ(PublicScreenRect(md()), QRect(-1600, 80, 1280, 720));
}

TEST(ScoreboardRulesTest, ClockColoursFollowTheTimeLeft) {
    struct Case {
        const char* text;
        COLORREF textColour, back;
    };
    const Case cases[] = {
        {"0:09", kBlack, kYellow},     {"0:10", kWhite, kNearBlack}, {"1:00", kWhite, kNearBlack},
        {"5.50", kYellow, kNearBlack}, {"5.49", kBlack, kYellow},    {"0.00", kBlack, kYellow},
        {"", kWhite, kNearBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TextColours colours = ClockColours(QString::fromLatin1(c.text));
        EXPECT_EQ(colours.text, c.textColour);
        EXPECT_EQ(colours.back, c.back);
    }
}

TEST_F(ScoreboardTest, TitleLineByMatchTypeLinkAndGender) {
    struct Case {
        const char* name;
        int type, supplier, connected;
        const char *phase, *weightClass, *gender, *weight;
        const char* expected;
    };
    const Case cases[] = {
        {"individual", 0, 0, 0, "Final", "Senior", "F", "-57kg", "Final Senior W -57kg"},
        {"team: mixed", 1, 0, 0, "Final", "Team", "x", "", "Final Team Mixed "},
        {"supplier 8 has no gender", 0, 8, 0, "Final", "Senior", "M", "-68kg", "Final Senior  -68kg"},
        {"type 2: the letter after the first space", 2, 0, 0, "R16", "Jr", "F", "-44 kg", "R16 Jr -44 Wkg"},
        {"type 2: no space, after the first character", 2, 0, 0, "R16", "Jr", "M", "-44kg", "R16 Jr -M44kg"},
        {"type 2: no gender keeps the weight", 2, 0, 0, "R16", "Jr", "", "-44 kg", "R16 Jr -44 kg"},
        {"type 2: at most 13 characters", 2, 0, 0, "F", "C", "", "1234567890ABCDEF", "F C 1234567890ABC"},
        {"type 2 without a weight", 2, 0, 0, "R16", "Jr", "F", "", ""},
        {"OVR 3: final", 0, 3, 1, "2", "Senior", "F", "-57kg", "Final Senior -57kg"},
        {"OVR 3: quarter-final", 0, 3, 1, "8", "Senior", "F", "-57kg", "Quarter-final Senior -57kg"},
        {"OVR 3: round of 16", 0, 3, 1, "16", "Senior", "F", "-57kg", "Round of 16 Senior -57kg"},
        {"OVR 3 not connected", 0, 3, 0, "8", "Senior", "F", "-57kg", "8 Senior W -57kg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md().nCompetitionType = c.type;
        md().nOvrSupplier = c.supplier;
        md().bOvrConnected = c.connected;
        Put(md().szPhase, c.phase);
        Put(md().szWeightClass, c.weightClass);
        Put(md().szGender, c.gender);
        Put(md().szWeight, c.weight);
        EXPECT_EQ(TitleLine(md()).toStdString(), c.expected);
    }
}

TEST(ScoreboardRulesTest, ScoresOfAHundredShrink) {
    struct Case {
        Layout layout;
        int left, right;
        bool rightSide;
        ScoreStyle expected;
    };
    const Case cases[] = {
        {Layout::Small, 99, 99, false, {270, 0, 0}},  {Layout::Small, 100, 5, false, {200, -8, 60}},
        {Layout::Small, 100, 5, true, {200, -6, 60}}, {Layout::Small, 5, 100, false, {270, 0, 0}},
        {Layout::Small, 5, 100, true, {200, -6, 60}}, {Layout::Large, 5, 5, true, {400, 0, 0}},
        {Layout::Large, 100, 5, true, {300, 0, 80}},  {Layout::RoundWinOneJudge, 5, 120, false, {400, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << " : " << c.right << (c.rightSide ? " right" : " left"));
        const ScoreStyle style = ScoreStyleFor(c.layout, c.left, c.right, c.rightSide);
        EXPECT_EQ(style.size, c.expected.size);
        EXPECT_EQ(style.dx, c.expected.dx);
        EXPECT_EQ(style.dy, c.expected.dy);
    }
}

TEST_F(ScoreboardTest, ValuesOfTheAreas) {
    md().nGameState = 3;
    md().nCurRound = 2;
    md().aSide[0].nRoundScore[0] = 4;
    md().aSide[1].nRoundPenaltyPoints1[0] = 1;
    md().aSide[1].nRoundPenaltyPoints2[0] = 2;
    EXPECT_EQ(RoundScoreText(md(), 0, 0), QStringLiteral("7"));
    EXPECT_EQ(RoundScoreText(md(), 0, 1), QStringLiteral("0"));
    EXPECT_EQ(RoundScoreText(md(), 0, 2), QString()) << "a round not begun";

    md().aSide[1].nPenaltyCount1 = 2;
    md().aSide[1].nPenaltyCount2 = 1;
    md().aSide[1].nRoundPenalty1[1] = 1;
    md().aSide[1].nRoundPenalty1[3] = 4;
    EXPECT_EQ(PenaltyCount(md(), 1), 3) << "the match's";
    md().nCompetitionRule = 1;
    EXPECT_EQ(PenaltyCount(md(), 1), 1) << "the current round's";
    md().nCurRound = 4;
    EXPECT_EQ(PenaltyCount(md(), 1), 4) << "the golden round's";

    md().aSide[0].nRoundWins = 1;
    EXPECT_EQ(RoundsWonText(md(), 0), QStringLiteral("1"));
    md().nJudgeNumber = 1;
    EXPECT_EQ(RoundsWonText(md(), 0), QStringLiteral("\u25CF"));
    EXPECT_EQ(RoundsWonText(md(), 1), QString());
    md().nCompetitionRule = 0;
    EXPECT_EQ(RoundsWonText(md(), 0), QString()) << "outside the round-win system";

    struct TagCase {
        int tagTime, active, startMs, remainMs;
        const char* text;
    };
    const TagCase tags[] = {
        {30, 1, 75'000, 60'000, "15"}, {30, 1, 75'000, 45'000, "TAG"},  {30, 0, 75'000, 70'000, "TAG"},
        {60, 1, 120'000, 61'000, "1"}, {60, 1, 120'000, 60'000, "TAG"}, // a whole minute ends the window
    };
    for (const TagCase& t : tags) {
        md().nTeamTagTime = t.tagTime;
        md().nRemainTime = t.remainMs;
        EXPECT_EQ(TagText(md(), t.active, t.startMs).toStdString(), t.text) << t.tagTime << " " << t.remainMs;
    }
}

TEST_F(ScoreboardTest, ClockModesByGameState) {
    struct Case {
        int state;
        QRect clock;
        COLORREF text, back;
        bool timeOut, notice;
        QRect timeOutRect;
    };
    md().nDisplayResolution = 1;
    const Case cases[] = {
        {6, {493, 397, 294, 170}, kWhite, kBlack, true, false, {493, 330, 294, 67}},
        {14, {493, 397, 294, 170}, kBlack, kYellow, true, false, {493, 330, 294, 67}},
        {8, {493, 330, 294, 170}, kYellow, kBlack, true, false, {493, 500, 294, 67}},
        {15, {493, 330, 294, 170}, kYellow, kBlack, false, true, {}},
        {3, {493, 330, 294, 170}, kBlack, kYellow, false, false, {}},
    };
    Board().SetClockText(QStringLiteral("0:05"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        md().nGameState = c.state;
        Board().ApplyClockMode();
        EXPECT_EQ(Board().ClockRect(), c.clock);
        EXPECT_EQ(Board().ClockTextColour(), c.text);
        EXPECT_EQ(Board().ClockBackColour(), c.back);
        EXPECT_EQ(Board().TimeOutShown(), c.timeOut);
        EXPECT_EQ(Board().NoticeShown(), c.notice);
    }
    // The round-win panel comes with the rest and goes when the clock runs again.
    md().nCompetitionRule = 1;
    md().nGameState = 6;
    Board().ApplyClockMode();
    EXPECT_TRUE(Board().RoundWinPanelShown());
    md().nGameState = 3;
    Board().ApplyClockMode();
    EXPECT_FALSE(Board().RoundWinPanelShown());
}

TEST_F(ScoreboardTest, ClockTicksRepaintOnlyTheClock) {
    RecordingBoard& board = Board();
    md().nGameState = 3;
    board.ApplyClockMode();
    board.invalidated.clear();
    board.SetClockText(QStringLiteral("9.87"));
    board.SetClockText(QStringLiteral("9.86"));
    ASSERT_FALSE(board.invalidated.empty());
    for (const QRect& r : board.invalidated)
        EXPECT_TRUE(board.ClockRect().contains(r))
            << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    // A hundredth later only the last digit is new: "9.8" stays as it is on the screen.
    EXPECT_GT(board.invalidated.back().left(), board.ClockRect().center().x());
    EXPECT_EQ(board.ClockTextColour(), kYellow);
}

TEST_F(ScoreboardTest, TheClockRepaintsOnlyWhenWhatItShowsChanges) {
    RecordingBoard& board = Board();
    md().nGameState = 3;
    board.ApplyClockMode();
    board.SetClockText(QStringLiteral("1:59"));
    board.invalidated.clear();
    // The round clock's 10 ms steps within a second set the same text again.
    for (int step = 0; step < 99; ++step)
        board.SetClockText(QStringLiteral("1:59"));
    EXPECT_TRUE(board.invalidated.empty());
    board.SetClockText(QStringLiteral("1:58"));
    ASSERT_EQ(board.invalidated.size(), 1u);
    EXPECT_TRUE(board.ClockRect().contains(board.invalidated[0]));
    EXPECT_NE(board.invalidated[0], board.ClockRect()) << "only the changed digit";
    // The same text in the colours of another state is a change of the whole clock.
    board.invalidated.clear();
    md().nGameState = 15;
    board.ApplyClockMode();
    board.invalidated.clear();
    md().nGameState = 3;
    board.SetClockText(QStringLiteral("1:58"));
    EXPECT_EQ(board.invalidated, std::vector<QRect>{board.ClockRect()});
    EXPECT_EQ(board.ClockTextColour(), kWhite);
}

TEST_F(ScoreboardTest, NoRoundZeroAndRoundWinnerMarksOnlyOnTheRoundTable) {
    // A contest loaded and not started yet: no round to show.
    md().nGameState = 1;
    Board().SetRoundText(0);
    EXPECT_EQ(Board().RoundText(), QString());
    Board().SetRoundText(1);
    EXPECT_EQ(Board().RoundText(), QStringLiteral("1"));

    struct Case {
        const char* name;
        int rule, state;
        bool marks;
    };
    const Case cases[] = {
        {"points system, round running", 0, 3, false},
        {"points system, rest", 0, 6, false},
        {"round-win system, round running", 1, 3, false},
        {"round-win system, rest", 1, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board.reset();
        md().nCompetitionRule = c.rule;
        md().nGameState = c.state;
        md().nCurRound = 2;
        md().nRoundWinner[0] = 1;
        md().nRoundWinner[1] = 2;
        Board().ApplyClockMode();
        Board().UpdateRoundScores();
        EXPECT_EQ(Board().RoundWinnerMark(false, 0) != 0, c.marks);
        EXPECT_EQ(Board().RoundWinnerMark(true, 1) != 0, c.marks);
    }
}

TEST_F(ScoreboardTest, IndexesOutOfRangeRepaintNothing) {
    RecordingBoard& board = Board();
    board.invalidated.clear();
    board.InvalidateJudgePress(0, 0, 3, 0, 0);
    board.InvalidateJudgePress(0, 0, -1, 0, 0);
    board.InvalidateJudgePress(0, 0, 0, 8, 0);
    board.InvalidateJudgeSlot(1, 5, 0, 0);
    board.InvalidateJudgeSlot(1, 0, -2, 0);
    board.InvalidateSlot(0, 8, 0);
    board.InvalidateSlot(0, -1, 0);
    EXPECT_TRUE(board.invalidated.empty());

    // In range: the tile of the side's display position, and the one above it.
    board.InvalidateJudgeSlot(0, 1, 3, 1);
    EXPECT_TRUE(board.Invalidated(JudgeTileRect(Layout::Large, 1, 3, true))) << "Chung drawn right";
    EXPECT_TRUE(board.Invalidated(JudgeTileRect(Layout::Large, 1, 2, true)));
    EXPECT_FALSE(board.Invalidated(JudgeTileRect(Layout::Large, 1, 3, false)));
}

TEST_F(ScoreboardTest, HitLevelBoxBlinksOnItsTimerAndEndsShown) {
    platform::ManualTime clock;
    RecordingBoard& board = Board();
    board.StartHitLevelBlink(0, true);
    ASSERT_TRUE(board.HitLevelBlinking(0));
    EXPECT_EQ(clock.interval(board.GetSafeHwnd(), CExtScrDlg::kBlinkTimer[0]), 750u);
    const bool expected[] = {true, false, true, false};
    for (const bool hidden : expected) {
        board.invalidated.clear();
        clock.advance(750);
        EXPECT_EQ(board.HitLevelHidden(0), hidden);
        ASSERT_EQ(board.invalidated.size(), 1u) << "only the outer box";
        EXPECT_EQ(board.invalidated[0], AreaRect(Layout::Large, HitBoxLeftOuter));
    }
    EXPECT_FALSE(board.HitLevelBlinking(0)) << "four ticks, then it stops";
    clock.advance(3000);
    EXPECT_FALSE(board.HitLevelHidden(0));

    // Started again in the middle: the count starts over. Hong drawn left when reversed.
    md().nReverseScreen = 1;
    board.StartHitLevelBlink(1, true);
    clock.advance(750 * 2);
    board.StartHitLevelBlink(1, true);
    EXPECT_FALSE(board.HitLevelHidden(1)) << "a restart shows the box";
    for (int tick = 0; tick < 4; ++tick) {
        board.invalidated.clear();
        clock.advance(750);
        EXPECT_TRUE(board.Invalidated(AreaRect(Layout::Large, HitBoxLeftOuter)));
    }
    EXPECT_FALSE(board.HitLevelBlinking(1));
    EXPECT_FALSE(board.HitLevelHidden(1));
    board.StartHitLevelBlink(1, true);
    board.ClearHitLevels();
    EXPECT_FALSE(board.HitLevelBlinking(1));
}

TEST_F(ScoreboardTest, ReverseMovesChungsElementsRightAndSwapsTheColours) {
    Nation(1, "KOR", QColor(0, 200, 0));
    Nation(2, "GBR", QColor(200, 0, 200));
    md().aPlayer[0].nNation = 1;
    md().aPlayer[1].nNation = 2;
    md().nCompetitionType = 1; // team texts show the side colours
    md().nGameState = 3;
    md().nCurRound = 1;
    md().aSide[0].nRoundWins = 1; // one round-win mark
    for (const int reversed : {0, 1}) {
        SCOPED_TRACE(reversed);
        md().nReverseScreen = reversed;
        Board().ApplyReverseScreen(reversed);
        EXPECT_EQ(Board().Reversed(), reversed);
        const bool chungRight = reversed == 1;
        // Chung's flag on Chung's side, once its file is read off the user-interface thread.
        ASSERT_TRUE(pumpUntil([&] { return !Board().Flag(chungRight)->IsLoading(); }));
        const QImage chungFlag = Board().Flag(chungRight)->Surface();
        ASSERT_FALSE(chungFlag.isNull());
        EXPECT_EQ(chungFlag.pixelColor(5, 5), QColor(0, 200, 0));
        EXPECT_TRUE(Board().Flag(!chungRight)->isVisibleTo(&Board()));
        EXPECT_EQ(Board().RoundWinMark(chungRight, 0), 480);
        EXPECT_EQ(Board().RoundWinMark(!chungRight, 0), 0);
        // The team penalty box of Chung's side is blue, the other red.
        const QImage shot = Render();
        const QRect chungBox = AreaRect(Layout::Large, chungRight ? TeamPenaltyRight : TeamPenaltyLeft);
        const QRect hongBox = AreaRect(Layout::Large, chungRight ? TeamPenaltyLeft : TeamPenaltyRight);
        EXPECT_EQ(shot.pixelColor(chungBox.topLeft() + QPoint(2, 2)), ColorFromRef(SideColour(0, false)));
        EXPECT_EQ(shot.pixelColor(hongBox.topLeft() + QPoint(2, 2)), ColorFromRef(SideColour(1, false)));
    }
}

TEST_F(ScoreboardTest, PlayerWithoutANationRowHasNoFlag) {
    Nation(1, "KOR", Qt::green);
    PutWide(md().aNation[2].wszField[3], QStringLiteral("none.gif"));
    md().aPlayer[0].nNation = 1;
    md().aPlayer[1].nNation = 0;
    Board().ApplySideNames(0);
    EXPECT_TRUE(Board().Flag(false)->isVisibleTo(&Board()));
    EXPECT_TRUE(Board().FlagFrameShown(false));
    EXPECT_FALSE(Board().Flag(true)->isVisibleTo(&Board()));
    EXPECT_FALSE(Board().FlagFrameShown(true));
    md().aPlayer[1].nNation = 2; // the row names "none.gif"
    Board().ApplySideNames(0);
    EXPECT_FALSE(Board().Flag(true)->isVisibleTo(&Board()));
}

TEST_F(ScoreboardTest, AFlagFileThatCannotBeShownTakesItsFrameWithIt) {
    Nation(1, "KOR", Qt::green);
    PutWide(md().aNation[2].wszField[3], QStringLiteral("missing.png"));
    md().aPlayer[0].nNation = 1;
    md().aPlayer[1].nNation = 2;
    Board().ApplySideNames(0);
    EXPECT_TRUE(Board().FlagFrameShown(true)) << "a named file shows its frame while it is read";
    ASSERT_TRUE(
        pumpUntil([&] { return !Board().Flag(false)->IsLoading() && !Board().Flag(true)->IsLoading(); }));
    EXPECT_TRUE(Board().Flag(false)->isVisibleTo(&Board()));
    EXPECT_TRUE(Board().FlagFrameShown(false));
    EXPECT_FALSE(Board().Flag(true)->isVisibleTo(&Board()));
    EXPECT_FALSE(Board().FlagFrameShown(true));
}

TEST_F(ScoreboardTest, WithOneMonitorARelayoutNeverShowsTheBoard) {
    Board().PlaceOnScreen();
    Board().show();
    md().nMonitorCount = 1;
    md().nDisplayResolution = 1;
    Board().ApplyResolution();
    EXPECT_FALSE(Board().isVisible());
    EXPECT_EQ(md().nExtScrWidth, 1280);
    Board().ApplyReverseScreen(1);
    EXPECT_FALSE(Board().isVisible());
    md().nMonitorCount = 2;
    Board().show();
    Board().ApplyReverseScreen(0);
    EXPECT_TRUE(Board().isVisible()) << "shown before, shown after";
    EXPECT_EQ(Board().geometry(), QRect(1686, 180, 1280, 720));
}

TEST_F(ScoreboardTest, EachLayoutPaintsItsAreasAtTheirPlaces) {
    struct Case {
        const char* name;
        int resolution, rule, judges;
    };
    const Case cases[] = {
        {"1280 x 720", 1, 0, 3},
        {"1920 x 1080", 0, 0, 3},
        {"1920 round-win, one judge", 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md().nDisplayResolution = c.resolution;
        md().nCompetitionRule = c.rule;
        md().nJudgeNumber = c.judges;
        md().nGameState = 3;
        md().nCurRound = 1;
        md().aSide[0].aJudgeSlot[0][0] = {2, 0, 1};
        board.reset();
        Board().ApplyResolution();
        Board().ApplyClockMode();
        Board().SetClockText(QStringLiteral("0:05"));
        Board().SetScores(7, 3, 0);
        const Layout layout = LayoutOf(md());
        const QImage shot = Render();
        ASSERT_EQ(shot.size(), SizeOf(layout));
        // The clock box is yellow in the last ten seconds, at the clock's place of this layout.
        const QRect clock = Board().ClockRect();
        EXPECT_EQ(shot.pixelColor(clock.topLeft() + QPoint(3, 3)), ColorFromRef(kYellow));
        // The background covers the whole window: no corner is left unpainted black and white alike.
        EXPECT_NE(shot.pixelColor(shot.width() - 2, shot.height() - 2), QColor(Qt::transparent));
        // Chung's judge mark on the first tile of judge 1, left.
        const QRect tile = JudgeTileRect(layout, 0, 0, false);
        if (tile.left() >= 0) {
            EXPECT_NE(shot.pixelColor(tile.center()),
                      shot.pixelColor(tile.center() + QPoint(0, tile.height() * 2)))
                << "a marked tile differs from an empty one";
        }
        // The left score is drawn: white pixels inside its area's upper part.
        const QRect score = AreaRect(layout, ScoreLeft);
        bool white = false;
        for (int y = score.top(); y < score.top() + score.height() / 2 && !white; y += 2)
            for (int x = score.left(); x < score.right() && !white; x += 2)
                white = shot.pixelColor(x, y) == QColor(Qt::white);
        EXPECT_TRUE(white);
    }
}

} // namespace
