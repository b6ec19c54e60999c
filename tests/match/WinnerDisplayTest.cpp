// The winner displays and the reason banner: their texts, colours, layouts and pictures as tables, and the
// windows as the operator view shows, replaces and closes them.
#include "app/ColorRef.h"
#include "controls/AnimatedPicture.h"
#include "match/WinnerDisplayDlg.h"
#include "match/WinnerDisplayRules.h"
#include "resources/Artwork.h"
#include "resources/ArtworkIds.h"
#include "resources/ArtworkPainters.h"
#include "screens/ExtScrDlg.h"
#include "screens/ScoreboardRules.h"
#include "tests/match/DialogHelpers.h"
#include "tests/match/RecordingView.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TextContrast.h"

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace WinnerDisplayRules;

namespace {

void SetPlayer(MatchData& md, int slot, const char* name, const char* code, int nation) {
    std::strcpy(md.aPlayer[slot].szName, name);
    std::strcpy(md.aPlayer[slot].szNationCode, code);
    md.aPlayer[slot].nNation = nation;
}

void SetFlagFile(MatchData& md, int row, const char16_t* file) {
    std::u16string text(file);
    std::copy(text.begin(), text.end(), md.aNation[row].wszField[3]);
    md.aNation[row].wszField[3][text.size()] = 0;
}

} // namespace

class WinnerDisplayTest : public MatchTest {
protected:
    WinnerDisplayTest() {
        SetPlayer(*md, 0, "KIM Minjun", "KOR", 3);
        SetPlayer(*md, 1, "SMITH John", "GBR", 5);
        std::strcpy(md->szContestNo, "1012");
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        md->nMonitorCount = 2;
    }
};

TEST_F(WinnerDisplayTest, NameTextAndColours) {
    // 20 Hangul syllables: 60 bytes, cut to 16 characters.
    const char* longKorean =
        "\xea\xb0\x80\xea\xb0\x81\xea\xb0\x82\xea\xb0\x83\xea\xb0\x84\xea\xb0\x85\xea\xb0"
        "\x86\xea\xb0\x87\xea\xb0\x88\xea\xb0\x89\xea\xb0\x8a\xea\xb0\x8b\xea\xb0\x8c\xea"
        "\xb0\x8d\xea\xb0\x8e\xea\xb0\x8f\xea\xb0\x90\xea\xb0\x91\xea\xb0\x92\xea\xb0\x93";
    struct Case {
        const char* what;
        const char* name;
        int winSide;
        const char* want;
    };
    const Case cases[] = {
        {"Chung", "KIM Minjun", 0, "KIM Minjun (KOR)"},
        {"a long name is cut to 16 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, "ABCDEFGHIJKLMNOP (KOR)"},
        {"exactly 16 stays whole", "ABCDEFGHIJKLMNOP", 0, "ABCDEFGHIJKLMNOP (KOR)"},
        {"a cut never splits a character", longKorean, 0,
         "\xea\xb0\x80\xea\xb0\x81\xea\xb0\x82\xea\xb0\x83\xea\xb0\x84\xea\xb0\x85\xea\xb0\x86\xea\xb0\x87"
         "\xea"
         "\xb0\x88\xea\xb0\x89\xea\xb0\x8a\xea\xb0\x8b\xea\xb0\x8c\xea\xb0\x8d\xea\xb0\x8e\xea\xb0\x8f "
         "(KOR)"},
        {"a draw", "KIM Minjun", 3, "DRAW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::strcpy(md->aPlayer[0].szName, c.name);
        EXPECT_EQ(NameText(*md, c.winSide).toStdString(), c.want);
    }
    EXPECT_EQ(NameText(*md, 1).toStdString(), "SMITH John (GBR)");
    // The scoreboard's side colours, on which white reads.
    EXPECT_EQ(NameColours(0).background, ColorFromRef(Scoreboard::SideColour(0, false)));
    EXPECT_EQ(NameColours(0).text, QColor(Qt::white));
    EXPECT_EQ(NameColours(1).background, ColorFromRef(Scoreboard::SideColour(1, false)));
    EXPECT_EQ(NameColours(1).text, QColor(Qt::white));
    EXPECT_EQ(NameColours(3).background, QColor(255, 255, 0));
    EXPECT_EQ(NameColours(3).text, QColor(Qt::black));
}

TEST_F(WinnerDisplayTest, FlagOnlyWithChungsNationAndNotForADraw) {
    EXPECT_TRUE(ShowsFlag(*md, 0));
    EXPECT_TRUE(ShowsFlag(*md, 1));
    EXPECT_FALSE(ShowsFlag(*md, 3));
    md->aPlayer[0].nNation = 0; // an individual match without nations
    EXPECT_FALSE(ShowsFlag(*md, 1));
    SetFlagFile(*md, 5, u"gb.png");
    EXPECT_EQ(FlagPath(*md, QStringLiteral("/court/"), 1), "/court/Img/Flag/gb.png");
    md->aPlayer[1].nNation = kNationRows; // outside the table
    EXPECT_EQ(FlagPath(*md, QStringLiteral("/court/"), 1), "");
}

TEST_F(WinnerDisplayTest, LayoutsByScreenAndNation) {
    struct Case {
        Screen screen;
        bool nation;
        QRect title, name, flag;
        int titleFont, nameFont;
    };
    const Case cases[] = {
        {Screen::Public1920,
         true,
         {442, 120, 1034, 245},
         {545, 715, 1275, 265},
         {100, 715, 397, 265},
         90,
         110},
        {Screen::Public1920,
         false,
         {442, 120, 1034, 245},
         {100, 715, 1720, 265},
         {100, 715, 397, 265},
         90,
         110},
        {Screen::Public1280, true, {295, 80, 689, 163}, {363, 477, 850, 177}, {67, 477, 265, 177}, 60, 73},
        {Screen::Public1280, false, {295, 80, 689, 163}, {67, 477, 1146, 177}, {67, 477, 265, 177}, 60, 73},
        {Screen::Operator, true, {234, 64, 548, 130}, {289, 379, 676, 140}, {53, 379, 210, 140}, 48, 57},
        {Screen::Operator, false, {234, 64, 548, 130}, {53, 379, 912, 140}, {53, 379, 210, 140}, 48, 57},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.screen) * 2 + c.nation);
        const Layout l = LayoutFor(c.screen, c.nation);
        EXPECT_EQ(l.title, c.title);
        EXPECT_EQ(l.name, c.name);
        EXPECT_EQ(l.flag, c.flag);
        EXPECT_EQ(l.flagFrame, c.flag.adjusted(-1, -1, 1, 1));
        EXPECT_EQ(l.titleFont, c.titleFont);
        EXPECT_EQ(l.nameFont, c.nameFont);
    }
    EXPECT_EQ(LayoutFor(Screen::Public1920, true).chungScore, QRect(1158, 367, 320, 265));
    EXPECT_EQ(LayoutFor(Screen::Public1920, true).hongScore, QRect(1485, 367, 320, 265));
    EXPECT_EQ(LayoutFor(Screen::Operator, true).flagFrame, QRect(52, 378, 212, 142));
    EXPECT_EQ(LayoutFor(Screen::Operator, true).chungScore, QRect(612, 195, 170, 140));
    EXPECT_EQ(OperatorRect(1366, 768), QRect(173, 7, 1024, 574));
}

TEST_F(WinnerDisplayTest, TitleAndScores) {
    EXPECT_EQ(TitleText(*md), "MATCH 1012 RESULT");
    md->aSide[0].nScore = 7;
    md->aSide[1].nScore = 4;
    md->aSide[1].nPenaltyCount1 = 1; // Chung gains 1 + 2 x 2
    md->aSide[1].nPenaltyCount2 = 2;
    md->aSide[0].nRoundWins = 2;
    EXPECT_EQ(Scores(*md), std::make_pair(12, 4));
    EXPECT_EQ(ScoreCaption(*md), "FINAL SCORE");
    md->nCompetitionRule = 1;
    EXPECT_EQ(Scores(*md), std::make_pair(2, 0));
    EXPECT_EQ(ScoreCaption(*md), "ROUNDS WON");
}

TEST(WinnerDisplayRules, BannerPictureByReasonResolutionSystemAndSide) {
    struct Case {
        int reason;
        bool res1280, roundWins;
        int chung, hong;
    };
    // The round-win system's 1920 board has banner pictures of its own size for every reason.
    const Case cases[] = {
        {1, true, false, 830, 832},
        {1, false, false, 829, 831},
        {1, false, true, 978, 978},
        {1, true, true, 830, 832},
        {2, true, false, 822, 824},
        {2, false, false, 821, 823},
        {2, false, true, ArtworkIds::GoldenPointBannerChung, ArtworkIds::GoldenPointBannerHong},
        {7, true, false, 834, 836},
        {7, false, false, 833, 835},
        {7, false, true, 982, 982},
        {20, true, false, 865, 865},
        {20, false, false, 864, 864},
        {20, false, true, ArtworkIds::RoundDecidedBanner, ArtworkIds::RoundDecidedBanner},
        {30, true, false, 867, 867},
        {30, false, false, 962, 962},
        {30, false, true, ArtworkIds::MatchDecidedBanner, ArtworkIds::MatchDecidedBanner},
        {40, true, false, 869, 869},
        {40, false, true, ArtworkIds::FinalDecisionBanner, ArtworkIds::FinalDecisionBanner},
        {713, false, false, 713, 713},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason * 10 + c.res1280 * 2 + c.roundWins);
        EXPECT_EQ(BannerImageId(c.reason, c.res1280, c.roundWins, 0), c.chung);
        EXPECT_EQ(BannerImageId(c.reason, c.res1280, c.roundWins, 1), c.hong);
    }
    EXPECT_EQ(BannerSize(true, true), QSize(962, 122));
    EXPECT_EQ(BannerSize(false, true), QSize(472, 320));
    EXPECT_EQ(BannerSize(false, false), QSize(1444, 183));
}

TEST_F(WinnerDisplayTest, BannerWinnerIndex) {
    md->nWinSide = 1;
    EXPECT_EQ(BannerWinner(*md, 1), 1); // without the round-win system the record's winner
    md->nCompetitionRule = 1;
    EXPECT_EQ(BannerWinner(*md, 1), 0);
    EXPECT_EQ(BannerWinner(*md, 2), 1);
    EXPECT_EQ(BannerWinner(*md, 0), 0);
}

TEST_F(WinnerDisplayTest, TheViewShowsReplacesAndClosesTheDisplays) {
    md->nWinSide = 1;
    view->ShowWinnerScreens(true, true);
    ASSERT_FALSE(view->m_pWinDispDlg.isNull());
    ASSERT_FALSE(view->m_pWinDispDlgOp.isNull());
    EXPECT_EQ(view->m_pWinDispDlg->geometry(), PublicScreenRect(*md));
    EXPECT_EQ(view->m_pWinDispDlgOp->geometry(), QRect(173, 7, 1024, 574));
    auto* name = Child<QLabel>(*view->m_pWinDispDlg, WinnerDisplay::IDC_NAME);
    EXPECT_EQ(name->text(), "SMITH John (GBR)");
    EXPECT_EQ(name->geometry(), QRect(545, 715, 1275, 265));
    EXPECT_FALSE(Child<CAnimatedPicture>(*view->m_pWinDispDlg, WinnerDisplay::IDC_FLAG)->isHidden());

    // A draw replaces them: "DRAW" on yellow, no flag; the operator's copy only in stand-alone mode.
    view->OnClickedDraw();
    EXPECT_TRUE(view->m_pWinDispDlgOp.isNull());
    ASSERT_FALSE(view->m_pWinDispDlg.isNull());
    name = Child<QLabel>(*view->m_pWinDispDlg, WinnerDisplay::IDC_NAME);
    EXPECT_EQ(name->text(), "DRAW");
    EXPECT_NE(name->styleSheet().indexOf(QStringLiteral("#ffff00")), -1);
    EXPECT_TRUE(Child<CAnimatedPicture>(*view->m_pWinDispDlg, WinnerDisplay::IDC_FLAG)->isHidden());

    // Without the round-win system the banner names the record's winner.
    md->nWinSide = 1;
    view->OpenDecisionPopup(7, 2, 10, 20, 1454, 203);
    ASSERT_FALSE(view->m_pWinPopDlg.isNull());
    EXPECT_EQ(view->m_pWinPopDlg->ImageId(), 835);
    EXPECT_EQ(view->m_pWinPopDlg->geometry(), QRect(10, 20, 1444, 183));
    md->nWinSide = 0;
    view->OpenDecisionPopup(1, 1, 10, 20, 1454, 203); // replaces the open one
    EXPECT_EQ(view->m_pWinPopDlg->ImageId(), 829);
    EXPECT_EQ(view->findChildren<CTK_WinPopDlg*>().size(), 1);

    view->CloseWinnerScreens();
    EXPECT_TRUE(view->m_pWinDispDlg.isNull());
    EXPECT_TRUE(view->m_pWinPopDlg.isNull());
    EXPECT_TRUE(view->findChildren<WinnerDisplay*>().isEmpty());
}

TEST_F(WinnerDisplayTest, WithoutChungsNationTheNameTakesTheFullWidth) {
    md->aPlayer[0].nNation = 0;
    md->nWinSide = 0;
    md->nDisplayResolution = 1;
    view->ShowWinnerScreens(true, false);
    ASSERT_FALSE(view->m_pWinDispDlg.isNull());
    EXPECT_EQ(Child<QLabel>(*view->m_pWinDispDlg, WinnerDisplay::IDC_NAME)->geometry(),
              QRect(67, 477, 1146, 177));
    EXPECT_TRUE(Child<CAnimatedPicture>(*view->m_pWinDispDlg, WinnerDisplay::IDC_FLAG)->isHidden());
    EXPECT_TRUE(view->m_pWinDispDlgOp.isNull());
}

TEST_F(WinnerDisplayTest, ADisplayChangeFollowsTheMonitors) {
    md->nWinSide = 0;
    view->ShowWinnerScreens(true, false);
    view->OpenDecisionPopup(1, 1, 0, 0, 10, 10);
    md->nMonitorCount = 1;
    view->OnDisplayChange();
    EXPECT_TRUE(view->m_pWinDispDlg->isHidden());
    EXPECT_TRUE(view->m_pWinPopDlg->isHidden());
    md->nMonitorCount = 2;
    md->nPrimaryRight = 1920; // the second monitor moved right
    md->nSecondRight = 3840;
    view->OnDisplayChange();
    EXPECT_FALSE(view->m_pWinDispDlg->isHidden());
    EXPECT_EQ(view->m_pWinDispDlg->geometry(), QRect(1920, 0, 1920, 1080));
    EXPECT_EQ(view->m_pWinPopDlg->geometry(), QRect(1920 + 240, 115, 1444, 183));
}

TEST_F(WinnerDisplayTest, TheFlagIsReadWithinTheFlagBoundsAndOneThatCannotShowTakesItsFrameAlong) {
    QImage red(6, 4, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(home.file("Img/Flag/gb.png")), "PNG"));
    QFile huge(QString::fromStdString(home.file("Img/Flag/hug.gif")));
    QFile corpus(QStringLiteral(BELVANTA_SOURCE_DIR "/fuzz/corpus/flag_picture/huge-screen.gif"));
    ASSERT_TRUE(corpus.open(QIODevice::ReadOnly) && huge.open(QIODevice::WriteOnly));
    huge.write(corpus.readAll());
    huge.close();
    const struct {
        const char16_t* file;
        bool shown;
    } cases[] = {{u"gb.png", true}, {u"hug.gif", false}, {u"missing.png", false}};
    md->nWinSide = 1;
    for (const auto& c : cases) {
        SetFlagFile(*md, 5, c.file);
        CTK_WinDispDlg_OP display(nullptr);
        auto* flag = Child<CAnimatedPicture>(display, WinnerDisplay::IDC_FLAG);
        auto* frame = Child<QFrame>(display, WinnerDisplay::IDC_FLAG_FRAME);
        ASSERT_TRUE(pumpUntil([&] { return !flag->IsLoading(); })) << U8(c.file);
        EXPECT_EQ(flag->isHidden(), !c.shown) << U8(c.file);
        EXPECT_EQ(frame->isHidden(), !c.shown) << U8(c.file);
        if (c.shown) {
            EXPECT_EQ(flag->geometry(), display.Layout().flag);
            ASSERT_FALSE(flag->Surface().isNull());
            EXPECT_EQ(flag->Surface().pixelColor(flag->width() / 2, flag->height() / 2), QColor(255, 0, 0));
        }
    }
}

// The winner display as the stands read it, on both public sizes and the operator's copy, for each winner
// with long names in Latin, Hangul and Chinese letters: every text stands out from what is behind it, the
// scores say whose they are and what they count, the name stays whole inside its line, and no text is
// under 2 % of the display's height.
TEST_F(WinnerDisplayTest, TheScoresSayWhoseTheyAreAndEveryTextReadsWithLongNames) {
    struct Names {
        const char* script;
        const char *chung, *hong;
    };
    const Names names[] = {
        {"Latin", "MAXIMILIAN HOHENBERG-SCHWARZENSTEIN", "AHMAD ABUGHAUSH AL-HASHEMI"},
        {"Hangul",
         "\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80 "
         "\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0",
         "\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88 "
         "\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c"},
        {"Chinese",
         "\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e"
         "\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89",
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e"
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e"},
    };
    struct Display {
        const char* what;
        int resolution; // nDisplayResolution of the public ones
        bool operatorCopy;
        int chungNation; // 0: no nations, the name takes the full width
    };
    const Display displays[] = {
        {"public 1920", 0, false, 3},
        {"public 1280", 1, false, 3},
        {"operator", 0, true, 3},
        {"public 1920 without nations", 0, false, 0},
        {"public 1280 without nations", 1, false, 0},
    };
    std::strcpy(md->szContestNo, "A-1012");
    md->aSide[0].nScore = 14;
    md->aSide[1].nScore = 21;
    md->aSide[0].nRoundWins = 1;
    md->aSide[1].nRoundWins = 2;
    for (const Display& d : displays) {
        for (const int rule : {0, 1}) {
            for (const int winner : {0, 1, 3}) {
                for (const Names& n : names) {
                    SCOPED_TRACE(testing::Message() << d.what << (rule ? ", round-win" : ", points")
                                                    << ", winner " << winner << ", " << n.script << " names");
                    md->nDisplayResolution = d.resolution;
                    md->aPlayer[0].nNation = d.chungNation;
                    md->nCompetitionRule = rule;
                    md->nWinSide = winner;
                    std::strcpy(md->aPlayer[0].szName, n.chung);
                    std::strcpy(md->aPlayer[1].szName, n.hong);
                    const QSize size = d.operatorCopy      ? QSize(1024, 574)
                                       : d.resolution == 1 ? QSize(1280, 720)
                                                           : QSize(1920, 1080);
                    std::unique_ptr<WinnerDisplay> display;
                    if (d.operatorCopy)
                        display = std::make_unique<CTK_WinDispDlg_OP>(nullptr);
                    else
                        display =
                            std::make_unique<CTK_WinDispDlg>(0, 0, size.width(), size.height(), nullptr);
                    ASSERT_EQ(display->size(), size);
                    const QImage shot = display->grab().toImage();
                    const Layout& l = display->Layout();
                    const auto* flag = Child<CAnimatedPicture>(*display, WinnerDisplay::IDC_FLAG);
                    const bool flagShown = flag->isVisibleTo(display.get());
                    EXPECT_FALSE(flag->accessibleName().isEmpty() || flag->toolTip().isEmpty());
                    const std::vector<std::pair<std::string, QRect>> boxes = {
                        {"title", l.title},
                        {"Chung's side name", l.chungHeader},
                        {"Hong's side name", l.hongHeader},
                        {"Chung's score", l.chungValue},
                        {"Hong's score", l.hongValue},
                        {"what the scores count", l.scoreCaption},
                        {"winner's name", l.name},
                    };
                    for (const auto& [what, box] : boxes) {
                        EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(box)) << what << " leaves the display";
                        EXPECT_GE(InkContrast(shot, box), 4.5) << what;
                        for (const auto& [other, otherBox] : boxes)
                            EXPECT_TRUE(what == other || !box.intersects(otherBox))
                                << what << " runs into " << other;
                        EXPECT_FALSE(flagShown && box.intersects(l.flagFrame)) << what << " lies on the flag";
                    }
                    // The name stays whole: nothing of it reaches the ends of its line.
                    const QColor line = shot.pixelColor(l.name.topLeft() + QPoint(2, 2));
                    for (int y = l.name.top(); y <= l.name.bottom(); ++y)
                        for (const int x : {l.name.left() + 4, l.name.right() - 4})
                            ASSERT_EQ(shot.pixelColor(x, y), line) << "the name reaches the end of its line";
                    const auto* name = Child<QLabel>(*display, WinnerDisplay::IDC_NAME);
                    EXPECT_FALSE(name->text().endsWith(QChar(0x2026))) << "a name of 16 characters fits";
                    EXPECT_GE(name->font().pixelSize() * 100, size.height() * 2);
                    EXPECT_GE(l.labelFont * 100, size.height() * 2);
                }
            }
        }
    }
}

// Every decision banner the arena can be shown is a picture drawn at the size the banner shows it, whose
// lines stand out from the picture behind them and name no side but the winner.
TEST_F(WinnerDisplayTest, EveryBannerIsShownAtItsPicturesSizeAndItsWordsRead) {
    for (const int rule : {0, 1}) {
        for (const int resolution : {0, 1}) {
            for (const int reason : {1, 2, 7, 20, 30, 40}) {
                for (const int winner : {1, 2}) {
                    SCOPED_TRACE(testing::Message()
                                 << "reason " << reason << (rule ? ", round-win" : ", points")
                                 << (resolution ? ", 1280" : ", 1920") << ", winner " << winner);
                    md->nCompetitionRule = rule;
                    md->nDisplayResolution = resolution;
                    md->nWinSide = winner - 1;
                    const QSize size = BannerSize(resolution == 1, rule == 1);
                    CTK_WinPopDlg banner(0, 0, size.width(), size.height(), reason, winner, nullptr);
                    ASSERT_TRUE(banner.HasPicture());
                    EXPECT_EQ(Artwork(ImageKind::Png, banner.ImageId()).size(), size) << "drawn out of shape";
                    const QString says = ArtworkSays(ImageKind::Png, banner.ImageId());
                    EXPECT_EQ(banner.accessibleName(), QString(says).replace('\n', ' '));
                    EXPECT_FALSE(
                        says.contains(winner == 1 ? QStringLiteral("HONG") : QStringLiteral("CHUNG")))
                        << says.toStdString();
                    const QImage shot = banner.grab().toImage();
                    const ArtworkPaint::BannerLines lines =
                        ArtworkPaint::BannerLayout(size, says.contains('\n'));
                    EXPECT_GE(InkContrast(shot, lines.caption.toRect()), 4.5) << "caption";
                    if (!lines.subcaption.isNull()) {
                        EXPECT_GE(InkContrast(shot, lines.subcaption.toRect()), 4.5) << "second line";
                    }
                }
            }
        }
    }
}

// A reason without a picture (the point ceiling's) opens no banner: an empty box would hide the scoreboard's
// names at the moment of the decision.
TEST_F(WinnerDisplayTest, AReasonWithoutAPictureOpensNoEmptyBanner) {
    md->nWinSide = 0;
    view->OpenDecisionPopup(9, 1, 10, 20, 1454, 203);
    EXPECT_TRUE(view->m_pWinPopDlg.isNull());
    EXPECT_TRUE(view->findChildren<CTK_WinPopDlg*>().isEmpty());
    view->OpenDecisionPopup(1, 1, 10, 20, 1454, 203);
    ASSERT_FALSE(view->m_pWinPopDlg.isNull());
    EXPECT_TRUE(view->m_pWinPopDlg->isVisible());
}
