// What the operator screen repaints for the events of a running round: the areas whose content changed,
// never the whole screen; and what it repaints when a round or a match begins: every mark the round before
// left.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/VeziruduzApp.h"
#include "screens/OperatorLayout.h"
#include "tests/support/RunningRoundView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QRegion>
#include <QScreen>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

namespace {

using namespace OperatorIds;

// The paints of the view and of its controls, by region and by control id.
class PaintLog final : public QObject {
public:
    explicit PaintLog(CMainWnd& view) : m_view(view) {
        view.installEventFilter(this);
        for (QWidget* child : view.findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        if (watched == &m_view)
            view += static_cast<QPaintEvent*>(event)->region();
        else
            controls.insert(watched);
        return false;
    }
    void clear() {
        view = QRegion();
        controls.clear();
    }
    QRegion view;
    std::set<QObject*> controls;

private:
    CMainWnd& m_view;
};

class OperatorRepaintTest : public ::testing::Test, protected RunningRoundView {
protected:
    OperatorRepaintTest() {
        md->nEBPPoint = 2;
        md->nOvrSupplier = 6;
        MakeView();
        Settle();
        log = std::make_unique<PaintLog>(*view);
    }
    void Settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    std::unique_ptr<PaintLog> log;
};

// What the operator sees after the repaints (the window's backing store) against the view drawn whole.
QImage Shown(CMainWnd& view) {
    return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage DrawnWhole(CMainWnd& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The hit history boxes of both sides.
QRegion LastHits() {
    QRegion boxes;
    for (int side = 0; side < 2; ++side)
        for (int age = 0; age < 2; ++age)
            boxes += OperatorLayout::LastHit(side, age);
    return boxes;
}
// A side's queue of techniques: each judge's marks and the state of each slot.
QRegion Queue(int side) {
    QRegion queue;
    for (int row = 0; row < kQueueSlots; ++row) {
        queue += OperatorLayout::SlotState(side, row);
        for (int j = 0; j < kJudges; ++j)
            queue += OperatorLayout::JudgeSlot(side, j, row);
    }
    return queue;
}

// The rectangle of the pixels that differ by more than the rounding of two ways of drawing the same
// scaled picture or outline; empty when none does.
QRect Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QRect(QPoint(0, 0), a.size().expandedTo(b.size()));
    const auto apart = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
               std::abs(qBlue(p) - qBlue(q)) > 24;
    };
    QRect differing;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (apart(a.pixel(x, y), b.pixel(x, y)))
                differing |= QRect(x, y, 1, 1);
    return differing;
}

TEST_F(OperatorRepaintTest, EachEventRepaintsOnlyWhatItChangedAndTheScreenShowsIt) {
    const struct {
        const char* what;
        void (*event)(CMainWnd&);
        QRegion mayRepaint; // of the view's own drawing; the controls repaint themselves
    } cases[] = {
        {"a clock step", [](CMainWnd& v) { v.ShowClockMs(9870); }, QRegion()},
        {"a clock second", [](CMainWnd& v) { v.ShowClockSeconds(81); }, QRegion()},
        {"a scored trunk kick", [](CMainWnd& v) { v.OnTrunkHit(0, "valid,40,0,1", nullptr); },
         LastHits() + Queue(0)},
        {"a kick under the level", [](CMainWnd& v) { v.OnTrunkHit(1, "valid,10,0,1", nullptr); },
         LastHits() + Queue(1)},
    };
    ASSERT_EQ(Differing(Shown(*view), DrawnWhole(*view)), QRect()) << "the screen as first shown";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage before = Shown(*view);
        log->clear();
        c.event(*view);
        Settle();
        const QRegion outside = log->view - c.mayRepaint;
        EXPECT_TRUE(outside.isEmpty())
            << "repainted beyond what changed: " << outside.boundingRect().x() << ","
            << outside.boundingRect().y() << " " << outside.boundingRect().width() << "x"
            << outside.boundingRect().height();
        EXPECT_NE(Differing(before, Shown(*view)), QRect()) << "the screen does not show the event";
        EXPECT_EQ(Differing(Shown(*view), DrawnWhole(*view)), QRect())
            << "the screen differs from the view drawn whole";
    }
}

TEST_F(OperatorRepaintTest, ANewRoundOrMatchLeavesNoMarkOfTheRoundBeforeOnTheScreen) {
    md->nJudgeNumber = 3;
    md->nJudgeQuorum = 2;
    md->nJudgePointTop = 3;
    md->nJudgeButtonTime = 1000;
    view->update(); // the judges' icons as the one-second refresh would show them
    Settle();
    const auto nextRound = [](CMainWnd& v) {
        g_pMatchData->nGameState = 5;
        ++g_pMatchData->nCurRound;
        v.PrepareRound();
    };
    const struct {
        const char* what;
        int rule; // 1 the round-win system
        void (*begin)(CMainWnd&);
    } cases[] = {
        {"the next round", 0, nextRound},
        {"the next round under the round-win system", 1, nextRound},
        {"the next match", 0, [](CMainWnd& v) { v.ResetMatchScreen(); }},
    };
    const QImage fresh = Shown(*view);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        md->nCompetitionRule = c.rule;
        md->nGameState = 3;
        // A scored kick and a judge's press that no other judge joins: the hit's level, the technique slot
        // and the press's tile.
        view->OnTrunkHit(0, "valid,40,0,1", nullptr);
        int flag = -1;
        view->OnJudgeInput(1, "3,0", &flag);
        Settle();
        const QRect press = OperatorLayout::JudgePress(0, 1);
        ASSERT_NE(Differing(fresh.copy(press), Shown(*view).copy(press)), QRect()) << "the press shows";

        c.begin(*view);
        Settle();
        EXPECT_EQ(Differing(fresh.copy(press), Shown(*view).copy(press)), QRect()) << "the press is gone";
        const QRect stale = Differing(Shown(*view), DrawnWhole(*view));
        EXPECT_EQ(stale, QRect()) << "a mark of the round before stays at " << stale.x() << "," << stale.y()
                                  << " " << stale.width() << "x" << stale.height();
    }
}

} // namespace
