// A window's repaints paced to the display's frames: a lone change shows at once, a burst of changes is
// painted once a frame and not once a change, and the last change of a burst always shows.
#include "screens/PaintPacer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;
constexpr auto kFrame = 16ms;

// Shows its value as a grey level and notes when it painted.
class Shade final : public QWidget {
public:
    Shade() {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(64, 48);
    }
    void Set(int value) {
        m_value = value;
        update();
    }
    QColor Colour() const { return QColor(m_value, m_value, m_value); }
    std::vector<qint64> paints; // ms since the clock's start

    QElapsedTimer clock;

protected:
    void paintEvent(QPaintEvent*) override {
        paints.push_back(clock.elapsed());
        QPainter(this).fillRect(rect(), Colour());
    }

private:
    int m_value = 0;
};

class PaintPacerTest : public ::testing::Test {
protected:
    PaintPacerTest() {
        new CPaintPacer(shade, kFrame);
        shade.clock.start();
        shade.show();
        Run(100ms); // the first paint, then a quiet window
        shade.paints.clear();
    }
    static void Run(std::chrono::milliseconds span) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < span.count())
            QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    // The window's pixels as the platform keeps them.
    QColor Shown() const { return shade.screen()->grabWindow(shade.winId()).toImage().pixelColor(10, 10); }
    Shade shade;
};

TEST_F(PaintPacerTest, ALoneChangeShowsAtOnce) {
    shade.Set(90);
    QApplication::processEvents();
    ASSERT_EQ(shade.paints.size(), 1u);
    EXPECT_EQ(Shown(), shade.Colour());
}

TEST_F(PaintPacerTest, ABurstIsPaintedOnceAFrameAndItsLastChangeShows) {
    QElapsedTimer burst;
    burst.start();
    int value = 0;
    while (burst.elapsed() < 160) {
        shade.Set(++value % 256);
        QApplication::processEvents();
        QElapsedTimer gap;
        gap.start();
        while (gap.nsecsElapsed() < 500'000) // a change every half millisecond, as a line's frames come
            QApplication::processEvents();
    }
    const std::size_t duringBurst = shade.paints.size();
    Run(2 * kFrame);
    // About 320 changes: painted each, the window would have taken some 320 paints.
    EXPECT_GE(duringBurst, 5u);
    EXPECT_LE(shade.paints.size(), 160 / kFrame.count() + 3);
    for (std::size_t n = 1; n < shade.paints.size(); ++n)
        EXPECT_GE(shade.paints[n] - shade.paints[n - 1], kFrame.count() - 1) << "paint " << n;
    EXPECT_EQ(Shown(), shade.Colour()) << "the last change is on the screen";
}

} // namespace
