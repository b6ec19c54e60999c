// Paces the repaints of a top-level window to the display's frame rate. An update after a quiet spell is
// painted at once; the updates that come within a frame of the last paint wait for the frame's end and are
// painted together. A monitor shows no more than a frame anyway: in a burst of points the public
// scoreboard's paint, some milliseconds of the UI thread each, ran after almost every hit and held up the
// operator's screen and the next hits.
//
// Thread: UI thread. A child of the window it paces, installed as its event filter.
#pragma once

#include <QBasicTimer>
#include <QObject>

#include <chrono>

class QWidget;

class CPaintPacer final : public QObject {
public:
    CPaintPacer(QWidget& window, std::chrono::milliseconds frame);

    // A display's frame at 60 frames a second.
    static constexpr std::chrono::milliseconds kDisplayFrame{16};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The window's waiting updates painted now.
    void Paint();

    QWidget& m_window;
    std::chrono::milliseconds m_frame;
    std::chrono::steady_clock::time_point m_lastPaint;
    QBasicTimer m_due; // runs while updates wait for the frame's end
    bool m_painting = false;
};
