#include "app/Monitors.h"

#include <QGuiApplication>
#include <QScreen>

ScreenMonitors::ScreenMonitors() {
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        changed();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenMonitors::changed);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &ScreenMonitors::changed);
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
}

std::vector<MonitorRect> ScreenMonitors::monitors() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    std::vector<MonitorRect> result;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        // QRect::right() is the last pixel inside; the measured edge is the first one outside.
        result.push_back({g.x(), g.y(), g.x() + g.width(), g.y() + g.height(), screen == primary});
    }
    return result;
}

void ScreenMonitors::setChangeHandler(std::function<void()> onChange) {
    m_onChange = std::move(onChange);
}

void ScreenMonitors::watchScreen(QScreen* screen) {
    // A resolution change moves no screen in or out of the list, but the edges change all the same.
    connect(screen, &QScreen::geometryChanged, this, &ScreenMonitors::changed);
}

void ScreenMonitors::changed() {
    if (m_onChange)
        m_onChange();
}

void FakeMonitors::setLayout(std::vector<MonitorRect> layout) {
    m_layout = std::move(layout);
    if (m_onChange)
        m_onChange();
}
