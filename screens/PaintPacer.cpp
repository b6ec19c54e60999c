#include "screens/PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <QWidget>

CPaintPacer::CPaintPacer(QWidget& window, std::chrono::milliseconds frame)
    : QObject(&window), m_window(window), m_frame(frame) {
    window.installEventFilter(this);
}

bool CPaintPacer::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest || m_painting)
        return false;
    // Swallowed, the request leaves the window's updates waiting: Qt posts no other until one is handled.
    if (m_due.isActive())
        return true;
    const auto now = std::chrono::steady_clock::now();
    const auto since = now - m_lastPaint;
    if (since >= m_frame) {
        m_lastPaint = now;
        return false;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_frame - since);
    m_due.start(static_cast<int>(wait.count()), Qt::PreciseTimer, this);
    return true;
}

void CPaintPacer::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_due.timerId())
        return QObject::timerEvent(event);
    m_due.stop();
    Paint();
}

void CPaintPacer::Paint() {
    m_lastPaint = std::chrono::steady_clock::now();
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
    m_painting = false;
}
