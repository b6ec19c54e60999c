// The public scoreboard as the arena sees it after each change the operator view makes: what the board's
// window holds once the repaints it asked for have run must be what a whole new paint of it shows. A
// change whose area is not repainted stays on the screen (a cleared tile, an old score, a leader's colour).
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/ExtScrDlg.h"
#include "tests/support/TestCourt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

class ScoreboardRepaintTest : public ::testing::Test, protected TestCourt {
protected:
    ScoreboardRepaintTest() {
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nPrimaryBottom = 768;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
        md->nExtScrWidth = 1920;
        md->nExtScrHeight = 1080;
        md->nRound = 3;
        md->nJudgeNumber = 3;
        md->nLevelBody = 20;
        md->nLevelHead = 10;
    }

    // What the board's window holds a frame later: its repaints, paced to the frames, run, then its pixels
    // as the platform keeps them.
    static QImage Shown(QWidget& board) {
        QElapsedTimer frame;
        frame.start();
        while (frame.elapsed() < 40)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        return board.screen()->grabWindow(board.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // What a whole new paint of the board shows.
    static QImage Fresh(QWidget& board) {
        return board.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Two paints of one text may round its edge pixels a little apart; a stale area is far off.
    static constexpr int kAlike = 48;
    // The pixels where the two differ, and the rectangle around them.
    static int Differing(const QImage& a, const QImage& b, QRect* around) {
        int count = 0;
        *around = {};
        if (a.size() != b.size())
            return -1;
        for (int y = 0; y < a.height(); ++y) {
            const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
            const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x) {
                const int apart = std::max({std::abs(qRed(rowA[x]) - qRed(rowB[x])),
                                            std::abs(qGreen(rowA[x]) - qGreen(rowB[x])),
                                            std::abs(qBlue(rowA[x]) - qBlue(rowB[x]))});
                if (apart > kAlike) {
                    ++count;
                    *around |= QRect(x, y, 1, 1);
                }
            }
        }
        return count;
    }
};

TEST_F(ScoreboardRepaintTest, EveryChangeLeavesTheBoardAsANewPaintShowsIt) {
    struct Case {
        const char* change;
        std::function<void(CMainWnd&, MatchData&)> before, act;
    };
    const auto judgeMarks = [](CMainWnd& v, MatchData& m) {
        for (int side = 0; side < 2; ++side) {
            for (int judge = 0; judge < 3; ++judge) {
                m.aSide[side].aJudgePress[judge] = {2, 2, 0};
                m.aSide[side].aJudgeSlot[judge][0] = {2, 2, 0};
            }
            m.aSide[side].aSlotState[0].nState = 2;
            v.InvalidateJudgeRows(side);
            v.m_pExtScrDlg->InvalidateSlotRow(side, 0);
        }
    };
    const Case cases[] = {
        {"a score", nullptr, [](CMainWnd& v, MatchData&) { v.ShowScores(12, 7); }},
        {"a score of three digits", [](CMainWnd& v, MatchData&) { v.ShowScores(99, 7); },
         [](CMainWnd& v, MatchData&) { v.ShowScores(100, 7); }},
        {"one side's score", [](CMainWnd& v, MatchData&) { v.ShowScores(12, 7); },
         [](CMainWnd& v, MatchData&) { v.ShowScores(14, 7); }},
        {"the clock", [](CMainWnd& v, MatchData&) { v.ShowClockMs(65'000); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'990); }},
        // The clock's steps in the last ten seconds repaint only the glyphs that change.
        {"the clock's last digit", [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'870); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'860); }},
        {"the clock's last two digits", [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'900); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'890); }},
        {"the clock's digits narrowing", [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'200); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'190); }},
        {"the clock's whole seconds", [](CMainWnd& v, MatchData&) { v.ShowClockMs(7'000); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(6'990); }},
        {"the clock from seconds to hundredths", [](CMainWnd& v, MatchData&) { v.ShowClockMs(10'000); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(9'990); }},
        {"the clock's colours under five and a half seconds",
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(5'500); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(5'490); }},
        {"the clock's minute", [](CMainWnd& v, MatchData&) { v.ShowClockMs(60'000); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(59'000); }},
        {"the clock run out", [](CMainWnd& v, MatchData&) { v.ShowClockMs(10); },
         [](CMainWnd& v, MatchData&) { v.ShowClockMs(0); }},
        {"the next round clears the judges' marks", judgeMarks,
         [](CMainWnd& v, MatchData& m) {
             m.nCurRound = 2;
             v.PrepareRound();
         }},
        {"a new match clears the judges' marks", judgeMarks,
         [](CMainWnd& v, MatchData&) { v.ResetMatchScreen(); }},
        {"a hit level", nullptr,
         [](CMainWnd& v, MatchData& m) {
             m.nPSSType = 1;
             v.ShowHitLevel(0, 1, 31);
         }},
        {"a hit shows the other side's level box its blink had hidden",
         [](CMainWnd& v, MatchData& m) {
             m.nPSSType = 1;
             v.ShowHitLevel(1, 1, 31);
             v.m_pExtScrDlg->OnTimer(CExtScrDlg::kBlinkTimer[1]);
         },
         [](CMainWnd& v, MatchData&) { v.ShowHitLevel(0, 1, 40); }},
        {"the hit levels cleared",
         [](CMainWnd& v, MatchData& m) {
             m.nPSSType = 1;
             v.ShowHitLevel(1, 1, 31);
         },
         [](CMainWnd& v, MatchData&) { v.ClearHitLevels(); }},
        {"a gam-jeom", nullptr,
         [](CMainWnd& v, MatchData& m) {
             m.aSide[1].nPenaltyCount1 = 1;
             m.aSide[1].nRoundPenalty1[0] = 1;
             v.UpdatePenaltyDisplay(0, 1);
         }},
        {"the replay quota", nullptr,
         [](CMainWnd& v, MatchData& m) {
             m.aSide[0].nVRRemain = 0;
             v.ShowReplayQuota(0, 1);
         }},
        {"a round won", nullptr,
         [](CMainWnd& v, MatchData& m) {
             m.aSide[0].nRoundWins = 1;
             m.nRoundWinner[0] = 1;
             v.ShowRoundWinners(1);
         }},
        {"the round wins cleared",
         [](CMainWnd& v, MatchData& m) {
             m.aSide[1].nRoundWins = 1;
             m.nRoundWinner[0] = 2;
             v.ShowRoundWinners(1);
         },
         [](CMainWnd& v, MatchData&) { v.ClearRoundWins(); }},
        {"the round leader leaves with the match",
         [](CMainWnd& v, MatchData& m) {
             m.nCompetitionRule = 1;
             m.nCurRound = 1; // the view's start leaves the round to the first start
             m.aSide[1].nRoundScore[0] = 2;
             v.ShowScores(0, 2);
             v.ShowRoundLeader();
         },
         [](CMainWnd& v, MatchData&) {
             v.ResetMatchScreen();
             v.ShowScores(0, 2);
         }},
    };
    // The layouts: 1920 and 1280 under the points system, and the round-win system's one-judge board, where
    // the judges' marks stand elsewhere.
    struct Layout {
        const char* name;
        int resolution, rule, judges;
        bool judgeMarksOnly;
    };
    const Layout layouts[] = {
        {"1920", 0, 0, 3, false},
        {"1280", 1, 0, 3, false},
        {"1920 one judge", 0, 1, 1, true},
    };
    for (const Layout& layout : layouts) {
        for (const Case& c : cases) {
            if (layout.judgeMarksOnly && !std::string(c.change).ends_with("judges' marks"))
                continue;
            SCOPED_TRACE(testing::Message() << c.change << " on the " << layout.name << " board");
            md->nDisplayResolution = layout.resolution;
            md->nExtScrWidth = layout.resolution == 1 ? 1280 : 1920;
            md->nExtScrHeight = layout.resolution == 1 ? 720 : 1080;
            md->nCompetitionRule = layout.rule;
            md->nJudgeNumber = layout.judges;
            md->nPSSType = 0;
            md->nGameState = 3;
            md->nCurRound = 1;
            md->aSide[0] = md->aSide[1] = TTK_SideScore{};
            md->nVRQuota = 1; // the view's start gives each side the court's quota
            md->aSide[0].nVRRemain = md->aSide[1].nVRRemain = 1;
            std::fill(std::begin(md->nRoundWinner), std::end(md->nRoundWinner), 0);
            CMainWnd view;
            view.OnInitialUpdate();
            CExtScrDlg* board = view.m_pExtScrDlg;
            ASSERT_NE(board, nullptr);
            ASSERT_TRUE(board->isVisible());
            if (c.before)
                c.before(view, *md);
            QRect around;
            ASSERT_EQ(Differing(Shown(*board), Fresh(*board), &around), 0)
                << "before the change, at " << around.x() << "," << around.y();
            const QImage old = Fresh(*board);
            c.act(view, *md);
            const QImage now = Fresh(*board);
            EXPECT_GT(Differing(old, now, &around), 0) << "the change shows on the board";
            const int stale = Differing(Shown(*board), now, &around);
            EXPECT_EQ(stale, 0) << "left unpainted around " << around.x() << "," << around.y() << " "
                                << around.width() << "x" << around.height();
            view.OnDestroy();
        }
    }
}

} // namespace
