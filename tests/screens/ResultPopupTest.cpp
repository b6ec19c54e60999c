// The superiority pop-up and the round and match result pop-ups: their cell texts, the verdict, the winner
// line with its flag, where they go, and the operator view's handlers that open and close them.
#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "controls/AnimatedPicture.h"
#include "screens/ExtScrDlg.h"
#include "screens/ResultPopupRules.h"
#include "screens/ResultPopups.h"
#include "screens/ScoreboardRules.h"
#include "tests/screens/ScreenTestSupport.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ResultPopups;

QStringList Texts(const std::vector<QString>& cells) {
    return QStringList(cells.begin(), cells.end());
}

class ResultPopupTest : public ::testing::Test {
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
        md().nExtScrWidth = 1920;
        md().nExtScrHeight = 1080;
        md().nRound = 3;
        md().nCurRound = 2;
        Put(md().szContestNo, "101");
        Put(md().aPlayer[0].szName, "KIM Minjun");
        Put(md().aPlayer[0].szNationCode, "KOR");
        Put(md().aPlayer[1].szName, "SMITH John");
        Put(md().aPlayer[1].szNationCode, "GBR");
        QImage flag(30, 20, QImage::Format_RGB32);
        flag.fill(QColor(0, 200, 0));
        ASSERT_TRUE(flag.save(QString::fromStdString(home.file("Img/Flag/KOR.gif")), "PNG"));
        PutWide(md().aNation[1].wszField[3], QStringLiteral("KOR.gif"));
        PutWide(md().aNation[2].wszField[3], QStringLiteral("none.gif"));
        md().aPlayer[0].nNation = 1;
    }
    void TearDown() override {
        FreeMatchData();
        g_strAppDir.clear();
    }
    MatchData& md() { return *g_pMatchData; }

    TempHome home;
};

TEST_F(ResultPopupTest, SuperiorityTotalsAndVerdict) {
    md().aSide[0].nScore = 5;
    md().aSide[1].nScore = 6;
    md().aSide[1].nPenaltyCount2 = 1; // two points for Chung
    md().aSide[0].nPenaltyCount1 = 1;
    md().aSide[0].nTechTally[10][0] = 2;
    md().aSide[0].nTechTally[10][2] = 3;
    md().aSide[0].nTechTally[10][3] = 9; // the golden round's: not in the totals
    const Table totals = SuperiorityTable(md(), 1);
    EXPECT_EQ(Texts(totals.chung), QStringList({"7", "5", "1"}));
    EXPECT_EQ(Texts(totals.hong), QStringList({"7", "0", "1"}));

    struct Case {
        int winSide;
        const char* text;
        COLORREF colour;
    };
    // Light side colours and white: the pictures behind are dark.
    for (const Case& c : {Case{0, "CHUNG WIN", kChungOnDark}, Case{1, "HONG WIN", kHongOnDark},
                          Case{2, "Tie", 0xFFFFFF}, Case{-1, "Tie", 0xFFFFFF}}) {
        SCOPED_TRACE(c.winSide);
        const Verdict verdict = SuperiorityVerdict(c.winSide);
        EXPECT_EQ(verdict.text.toStdString(), c.text);
        EXPECT_EQ(verdict.colour, c.colour);
    }
    EXPECT_EQ(SuperiorityBackground(md(), 1), 890);
    md().nCompetitionType = 2;
    EXPECT_EQ(SuperiorityBackground(md(), 0), 881);
    md().nDisplayResolution = 1;
    EXPECT_EQ(SuperiorityBackground(md(), 0), 882);
}

TEST_F(ResultPopupTest, GoldenRoundAndMatchColumnsByCompetitionType) {
    md().aSide[0].nPssHits[0] = 4;
    md().aSide[0].nTechTally[0][3] = 6; // the golden round (index nRound)
    md().aSide[0].nRoundWins = 2;
    md().aSide[0].nTechTally[7][0] = 1;
    md().aSide[0].nTechTally[7][2] = 2;
    md().aSide[0].nTechTally[7][3] = 5; // the golden round's: not summed
    md().aSide[0].nPenaltyCount1 = 1;
    md().aSide[0].nPenaltyCount2 = 2;
    EXPECT_EQ(Texts(MatchTable(md()).chung), QStringList({"6", "4", "2", "3"}));
    md().nCompetitionType = 2;
    EXPECT_EQ(Texts(MatchTable(md()).chung), QStringList({"4", "2", "3", "3"}));
    EXPECT_EQ(Texts(SuperiorityTable(md(), 0).chung), QStringList({"4", "2", "3", "3"}));
}

TEST_F(ResultPopupTest, RoundResultCellsByCriterion) {
    TTK_SideScore& chung = md().aSide[0];
    const int r = 1; // round 2
    chung.nTechTally[10][r] = 8;
    chung.nTechTally[3][r] = 5;
    chung.nTechTally[7][r] = 2;
    chung.nTechTally[5][r] = 4;
    chung.nTechTally[1][r] = 3;
    chung.nTechTally[12][r] = 1;
    chung.nPssHits[2] = 7;
    md().aSide[1].nRoundPenalty1[r] = 2;
    md().aSide[1].nRoundPenalty2[r] = 1;
    struct Case {
        int criterion, type;
        const char* cell;
    };
    const Case cases[] = {
        {3, 0, "3 - B"},  {2, 0, "4 - H"},  {2, 2, "4 - S"},  {4, 0, "3 - P"},
        {7, 0, "1 - KD"}, {0, 0, "3 - GJ"}, {5, 0, "3 - GJ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.criterion);
        md().nCompetitionType = c.type;
        const Table table = RoundTable(md(), c.criterion);
        EXPECT_EQ(Texts(table.chung), QStringList({"8", c.cell, "7"}));
    }
    chung.nTechTally[9][r] = 1; // row 9 is taken off row 5 once it is at least 1
    EXPECT_EQ(RoundTable(md(), 2).chung[1], QStringLiteral("3 - H"));
}

TEST_F(ResultPopupTest, WinnerLineNamesTheWinnerWithNationAndFlag) {
    const WinnerLine chung = WinnerLineOf(md(), 0);
    EXPECT_EQ(chung.text, QStringLiteral("KIM Minjun (KOR)"));
    EXPECT_EQ(chung.back, Scoreboard::SideColour(0, false));
    EXPECT_EQ(chung.text_colour, 0xFFFFFFu);
    EXPECT_TRUE(chung.flagShown);
    EXPECT_TRUE(chung.flagPath.endsWith(QStringLiteral("Img/Flag/KOR.gif")));

    const WinnerLine hong = WinnerLineOf(md(), 1);
    EXPECT_EQ(hong.text, QStringLiteral("SMITH John (GBR)"));
    EXPECT_EQ(hong.back, Scoreboard::SideColour(1, false));
    EXPECT_FALSE(hong.flagShown) << "no nation row";
    md().aPlayer[1].nNation = 2;
    EXPECT_FALSE(WinnerLineOf(md(), 1).flagShown) << "a row naming none.gif";

    const WinnerLine tie = WinnerLineOf(md(), 2);
    EXPECT_EQ(tie.text, QStringLiteral("Tie"));
    EXPECT_EQ(tie.back, 0x00FFFFu);
    EXPECT_EQ(tie.text_colour, 0u);
    EXPECT_FALSE(tie.flagShown);
}

TEST_F(ResultPopupTest, PublicResultShowsTheWinnerLineAndFlag) {
    CTK_GRndWinDispDlg popup(1366, 0, 1366 + 1920, 1080, 1, 0, 3, QStringLiteral("Final M -68kg"));
    EXPECT_EQ(popup.geometry(), QRect(1366, 0, 1920, 1080));
    ASSERT_TRUE(popup.Flag()->isVisibleTo(&popup));
    EXPECT_EQ(popup.Flag()->geometry(), PublicFlagRect(false));
    const QImage shot = popup.grab().toImage();
    const QRect line = PublicWinnerLineRect(false, true);
    EXPECT_EQ(shot.pixelColor(line.topLeft() + QPoint(3, 3)), ColorFromRef(Scoreboard::SideColour(0, false)));
    EXPECT_EQ(shot.pixelColor(PublicFlagRect(false).center()), QColor(0, 200, 0));

    // A tie: yellow across the whole width, no flag.
    CTK_GRndWinDispDlg tie(0, 0, 1280, 720, 1, 2, 0, QString());
    EXPECT_FALSE(tie.Flag()->isVisibleTo(&tie));
    const QImage tieShot = tie.grab().toImage();
    EXPECT_EQ(tieShot.pixelColor(PublicWinnerLineRect(true, false).topLeft() + QPoint(3, 3)),
              ColorFromRef(0x00FFFF));
}

TEST_F(ResultPopupTest, OperatorTotalsShowTheMarkOnlyWhenAllIsEqual) {
    md().nWinSide = 1;
    CTK_GRndWinDispDlg_OP copy(1);
    EXPECT_EQ(copy.MarkShown(), 930);
    md().nWinSide = 0;
    EXPECT_EQ(copy.MarkShown(), 928);
    md().aSide[0].nScore = 1;
    EXPECT_EQ(copy.MarkShown(), 0);
    CTK_GRndWinDispDlg_OP match(0);
    md().aSide[0].nScore = 0;
    EXPECT_EQ(match.MarkShown(), 0) << "the match form has no mark";

    // Centred on the primary monitor; on a short one its top stays on it.
    EXPECT_EQ(copy.geometry(), QRect(173, 7, 1024, 574));
    md().nPrimaryBottom = 600;
    copy.PlaceOnScreen();
    EXPECT_EQ(copy.geometry().top(), 0);
}

TEST_F(ResultPopupTest, ViewOpensThePopUpsOnTheSecondMonitorAndKeepsTheirPlaces) {
    CMainWnd view;
    md().nMonitorCount = 1;
    view.ShowRoundWinnerPopup(0, 3);
    view.ShowSuperiorityScreen();
    EXPECT_TRUE(view.m_pGRndWinDispDlg.isNull());
    EXPECT_TRUE(view.m_pGRndSupDlg.isNull());

    md().nMonitorCount = 2;
    view.ShowRoundWinnerPopup(1, 3);
    ASSERT_FALSE(view.m_pGRndWinDispDlg.isNull());
    EXPECT_EQ(view.m_pGRndWinDispDlg->geometry(), QRect(1366, 0, 1920, 1080));
    EXPECT_EQ(view.m_pGRndWinDispDlg->Winner(), 1);
    EXPECT_EQ(view.m_pGRndWinDispDlg->Criterion(), 3);
    view.CloseRoundWinnerPopup();
    EXPECT_TRUE(view.m_pGRndWinDispDlg.isNull());

    md().nCompetitionRule = 1;
    view.ShowSuperiorityScreen();
    ASSERT_FALSE(view.m_pGRndSupDlg.isNull());
    EXPECT_EQ(view.m_pGRndSupDlg->Mode(), 1);
    EXPECT_EQ(view.m_pGRndSupDlg->geometry(), QRect(1366 + 325, 220, 1270, 641));
    // A display change keeps its size and its offset inside the public screen.
    md().nDisplayResolution = 1;
    md().nExtScrWidth = 1280;
    md().nExtScrHeight = 720;
    view.PlaceRoundEndScreens();
    EXPECT_EQ(view.m_pGRndSupDlg->geometry(), QRect(1686 + 218, 180 + 147, 846, 427));

    md().nWinSide = 0;
    md().bStandAloneMode = 1;
    view.ShowRoundWinnerScreens(0);
    ASSERT_FALSE(view.m_pGRndWinDispDlg.isNull());
    EXPECT_EQ(view.m_pGRndWinDispDlg->Criterion(), 2);
    ASSERT_FALSE(view.m_pGRndWinDispDlgOp.isNull());
    EXPECT_EQ(view.m_pGRndWinDispDlgOp->Mode(), 1);
    view.CloseRoundEndScreens();
    EXPECT_TRUE(view.m_pGRndSupDlg.isNull());
    EXPECT_TRUE(view.m_pGRndWinDispDlg.isNull());
    EXPECT_TRUE(view.m_pGRndWinDispDlgOp.isNull());
}

TEST_F(ResultPopupTest, TheShowButtonsWindowOpensWhereAskedAndHides) {
    CMainWnd view;
    view.ShowSuperiorityWindow(QRect(QPoint(1366 + 100, 50), QPoint(1366 + 899, 549)), 0);
    ASSERT_FALSE(view.m_pGRndSupDlg.isNull());
    EXPECT_EQ(view.m_pGRndSupDlg->geometry(), QRect(1366 + 100, 50, 800, 500));
    EXPECT_EQ(view.m_pGRndSupDlg->Mode(), 0);
    EXPECT_TRUE(view.m_pGRndSupDlg->isVisible());
    view.HideSuperiorityWindow();
    EXPECT_TRUE(view.m_pGRndSupDlg.isNull());
}

TEST_F(ResultPopupTest, EveryTableSaysWhatItsNumbersAreAndEveryTextReads) {
    md().aSide[0].nTechTally[10][0] = 4;
    md().aSide[1].nPenaltyCount1 = 1;
    md().nWinSide = 0;
    struct Form {
        const char* name;
        bool small;
        std::function<QWidget*()> make;
        std::function<QRect(int column, int side)> cell;
        int columns;
        QRect label;   // the form's own caption or verdict
        int labelLeft; // where its rows' side names begin
    };
    const Form forms[] = {
        {"superiority totals 1920", false, [] { return new CTK_GRndSupDlg(0, 0, 1270, 641, 1); },
         [](int c, int s) { return SuperiorityCell(false, 1, c, s); }, 3, SuperiorityVerdictRect(false, 1),
         10},
        {"superiority golden round 1280", true, [] { return new CTK_GRndSupDlg(0, 0, 846, 427, 0); },
         [](int c, int s) { return SuperiorityCell(true, 0, c, s); }, 4, SuperiorityVerdictRect(true, 0), 10},
        {"round result 1920", false,
         [] { return new CTK_GRndWinDispDlg(0, 0, 1920, 1080, 1, 0, 3, QStringLiteral("Final M -68kg")); },
         [](int c, int s) { return PublicCell(false, 1, c, s); }, 3, PublicRoundCaptionRect(false), 245},
        {"match result 1280", true,
         [] { return new CTK_GRndWinDispDlg(0, 0, 1280, 720, 0, 0, 0, QString()); },
         [](int c, int s) { return PublicCell(true, 0, c, s); }, 4, PublicTitleRect(true, 0), 163},
        {"operator copy, totals",
         false,
         [] { return new CTK_GRndWinDispDlg_OP(1); },
         [](int c, int s) { return OperatorCell(1, c, s); },
         3,
         {},
         130},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        md().nDisplayResolution = form.small ? 1 : 0;
        std::unique_ptr<QWidget> popup(form.make());
        const QImage shot = popup->grab().toImage();
        std::vector<std::pair<std::string, QRect>> boxes;
        for (int c = 0; c < form.columns; ++c) {
            boxes.push_back({"header " + std::to_string(c), HeaderRect(form.cell(c, 0))});
            boxes.push_back({"Chung's value " + std::to_string(c), form.cell(c, 0)});
            boxes.push_back({"Hong's value " + std::to_string(c), form.cell(c, 1)});
        }
        boxes.push_back({"Chung's row", RowLabelRect(form.cell(0, 0), form.labelLeft)});
        boxes.push_back({"Hong's row", RowLabelRect(form.cell(0, 1), form.labelLeft)});
        if (!form.label.isNull())
            boxes.push_back({"caption", form.label});
        for (const auto& [what, box] : boxes)
            EXPECT_GE(InkContrast(shot, box), 4.5) << what;
    }
}

} // namespace
